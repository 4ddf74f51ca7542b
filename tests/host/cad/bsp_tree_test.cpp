#include "gcad/host/cad/vaq_cad_bsp_tree.h"
#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/cad/vaq_cad_node_render_data.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_poly_base_render_data.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

using namespace Vaq;
using namespace Vaq::CAD;
using Vaq::Test::progErrorMessage;

namespace {

const StageIdentifier STAGE = StageIdentifier::DEFAULT_DATASET;
constexpr PreviewMode_t NO_PREVIEW = PM_WITHOUT_PREVIEW;

// Render data that counts how often its leaf dropped it.
class RecordingData : public AbstractNodeRenderData
{
public:
    using AbstractNodeRenderData::AbstractNodeRenderData;
    void nodeDropped() override { ++dropped; }
    int dropped = 0;
};

bool ownsAllCorners(const BspTree &tree, const BspNode *leaf, const Triangle &t)
{
    return std::all_of(t.begin(), t.end(), [&](uint32_t v) { return tree.getBspNodeForVertex(v) == leaf; });
}

// Own vertices plus one slot per far corner of the overlap triangles, as a renderer counts them.
std::size_t localVertexCount(const BspTree &tree, const BspNode *leaf, const PolyBaseData &data)
{
    std::size_t count = leaf->getVertices().size();
    for (std::size_t i = leaf->overlapStart(); i < leaf->getTriangles().size(); ++i) {
        for (uint32_t v : data.triangles[leaf->getTriangles()[i]])
            count += tree.getBspNodeForVertex(v) != leaf;
    }
    return count;
}

// Every vertex and triangle lies in exactly one leaf and no leaf needs more than limit
// vertex slots; the leaves' lists and offsets agree with the tree's. Returns the leaf count.
std::size_t expectExactPartition(PolyBase &mesh, unsigned limit)
{
    const PolyBaseData &data = *mesh.getData(STAGE);
    BspTree tree(&mesh, data, limit);
    std::vector<int> vertexSeen(data.vertices.size(), 0);
    std::vector<int> triangleSeen(data.triangles.size(), 0);
    for (const BspNode *leaf : tree.getAllLeaves()) {
        EXPECT_LE(localVertexCount(tree, leaf, data), limit);
        for (std::size_t i = 0; i < leaf->getVertices().size(); ++i) {
            const uint32_t v = leaf->getVertices()[i];
            ++vertexSeen[v];
            EXPECT_EQ(tree.getBspNodeForVertex(v), leaf);
            EXPECT_EQ(tree.getVertexOffsetInNode(v), i);
        }
        for (std::size_t i = 0; i < leaf->getTriangles().size(); ++i) {
            const uint32_t t = leaf->getTriangles()[i];
            ++triangleSeen[t];
            // Own triangles have every corner here, overlap triangles at least one elsewhere.
            EXPECT_EQ(ownsAllCorners(tree, leaf, data.triangles[t]), i < leaf->overlapStart());
            // An own triangle's local corners are its corners' offsets in the leaf.
            for (std::size_t c = 0; c < 3 && i < leaf->overlapStart(); ++c)
                EXPECT_EQ(
                    leaf->getLocalCorners()[3 * i + c], tree.getVertexOffsetInNode(data.triangles[t][c]));
        }
    }
    EXPECT_TRUE(std::all_of(vertexSeen.begin(), vertexSeen.end(), [](int n) { return n == 1; }));
    EXPECT_TRUE(std::all_of(triangleSeen.begin(), triangleSeen.end(), [](int n) { return n == 1; }));
    return tree.getAllLeaves().size();
}

} // namespace

TEST(BspTreeSplit, everyVertexAndTriangleLiesInExactlyOneLeafWithinTheLimitInTheIndexRange)
{
    EXPECT_GT(expectExactPartition(*createDomeMesh(40, false), 150), 10u); // 1600 vertices

    // A fan of triangles around vertex 0 plus two vertices no triangle uses. With a limit
    // of 3 every triangle must sit alone: one own vertex more would not fit.
    std::vector<BaVec3d<double>> vertices { { 0, 0, 0 } };
    std::vector<Triangle> triangles;
    for (uint32_t i = 0; i < 6; ++i) {
        vertices.emplace_back(std::cos(i), std::sin(i), 0.0);
        triangles.push_back({ 0, i + 1, (i + 1) % 6 + 1 });
    }
    vertices.emplace_back(5.0, 5.0, 0.0);
    vertices.emplace_back(-5.0, 5.0, 0.0);
    PolyBase fan;
    fan.setMesh(vertices, triangles);
    expectExactPartition(fan, 3);

    EXPECT_EQ(
        progErrorMessage([&] { BspTree(&fan, *fan.getData(STAGE), 2); }), "leaf vertex limit out of range");
    EXPECT_EQ(progErrorMessage([&] { BspTree(nullptr, *fan.getData(STAGE)); }), "null mesh");
}

TEST(BspTreeOrder, selectedComeFirstThenUnselectedThenPreviewThenHidden)
{
    auto mesh = createDomeMesh(12, false); // 144 vertices, 242 triangles
    mesh->setPointFlag({ 5, 17, 40 }, PointFlags::SELECTED, true);
    mesh->setPointFlag({ 65 }, PointFlags::PREVIEW, true); // inside: six triangles around it
    mesh->setPointFlag({ 100 }, PointFlags::HIDDEN, true); // inside, away from 65
    mesh->setTriangleFlag({ 0, 1, 2, 50, 51 }, PointFlags::SELECTED, true);
    mesh->setTriangleFlag({ 90 }, PointFlags::PREVIEW, true); // touches neither vertex
    const PolyBaseData &data = *mesh->getData(STAGE);
    BspTree tree(mesh.get(), data, 40); // many leaves, so both blocks are filled
    ASSERT_GT(tree.getAllLeaves().size(), 4u);

    auto drawn = [&](uint32_t t) {
        return data.triangleFlags[t].isVisibleAndNotPreview()
            && std::all_of(data.triangles[t].begin(), data.triangles[t].end(),
                [&](uint32_t v) { return data.pointFlags[v].isVisibleAndNotPreview(); });
    };
    unsigned visiblePoints = 0, previewPoints = 0, visibleTriangles = 0, previewTriangles = 0, selected = 0;
    for (const BspNode *leaf : tree.getAllLeaves()) {
        const auto &vertices = leaf->getVertices();
        const unsigned n = leaf->numVisiblePoints(NO_PREVIEW);
        for (unsigned i = 0; i < vertices.size(); ++i) {
            const PointFlags &f = data.pointFlags[vertices[i]];
            EXPECT_EQ(f.isSelected(), i < leaf->numSelectedPoints(NO_PREVIEW));
            EXPECT_EQ(f.isVisibleAndNotPreview(), i < n);
            EXPECT_EQ(f.isVisible(), i < leaf->numVisiblePoints(PM_WITH_PREVIEW));
        }
        visiblePoints += n;
        previewPoints += leaf->numVisiblePoints(PM_WITH_PREVIEW) - n;

        const auto &triangles = leaf->getTriangles();
        struct Block
        {
            unsigned start, end, selected, visible, withPreview;
        };
        const Block blocks[2] = {
            { 0, leaf->overlapStart(), leaf->numSelectedTriangles(NO_PREVIEW),
                leaf->numVisibleTriangles(NO_PREVIEW), leaf->numVisibleTriangles(PM_WITH_PREVIEW) },
            { leaf->overlapStart(), unsigned(triangles.size()), leaf->numSelectedOverlapTriangles(NO_PREVIEW),
                leaf->numVisibleOverlapTriangles(NO_PREVIEW),
                leaf->numVisibleOverlapTriangles(PM_WITH_PREVIEW) },
        };
        for (const Block &b : blocks) {
            for (unsigned i = b.start; i < b.end; ++i) {
                const uint32_t t = triangles[i];
                EXPECT_EQ(data.triangleFlags[t].isSelected(), i < b.start + b.selected) << t;
                EXPECT_EQ(drawn(t), i < b.start + b.visible) << t;
            }
            visibleTriangles += b.visible;
            previewTriangles += b.withPreview - b.visible;
            selected += b.selected;
        }
    }
    EXPECT_EQ(visiblePoints, 142u);
    EXPECT_EQ(previewPoints, 1u);
    EXPECT_EQ(selected, 5u);
    EXPECT_EQ(visibleTriangles, 242u - 6u - 6u - 1u);
    EXPECT_EQ(previewTriangles, 7u);
}

TEST(BspTreeEdits, wholeLeafSelectionKeepsTheDataAndEverythingElseAsksForARebuild)
{
    using R = AbstractNodeRenderData;
    auto mesh = createDomeMesh(10, false); // 100 vertices, 162 triangles: one leaf
    mesh->updateVisualization(STAGE, false, false);
    BspNode *leaf = mesh->getPolyBaseRenderData(STAGE)->getAllLeaves().at(0);
    RecordingData data(leaf);
    leaf->setNodeRenderData(&data);
    auto selectAll = [&](bool on) {
        std::vector<uint32_t> points(100), triangles(162);
        std::iota(points.begin(), points.end(), 0);
        std::iota(triangles.begin(), triangles.end(), 0);
        mesh->setPointFlag(points, PointFlags::SELECTED, on);
        mesh->setTriangleFlag(triangles, PointFlags::SELECTED, on);
    };
    auto reasonAfterUpdate = [&] {
        mesh->updateVisualization(STAGE, false, false);
        return data.getModificationReason();
    };

    selectAll(true);
    // Nothing is told before the update.
    EXPECT_EQ(data.getModificationReason(), R::MR_NONE);
    EXPECT_EQ(reasonAfterUpdate(), R::MR_NODE_SELECTED);
    EXPECT_EQ(leaf->numSelectedTriangles(NO_PREVIEW), 162u);
    // The opposite state replaces the first before anyone used it.
    selectAll(false);
    EXPECT_EQ(reasonAfterUpdate(), R::MR_NODE_UNSELECTED);

    data.setModificationReason(R::MR_NONE);
    mesh->setTriangleFlag({ 3 }, PointFlags::SELECTED, true);
    EXPECT_EQ(reasonAfterUpdate(), R::MR_FLAGS);
    // A pending rebuild is not undone by a later whole-leaf selection.
    selectAll(true);
    EXPECT_EQ(reasonAfterUpdate(), R::MR_FLAGS);

    data.setModificationReason(R::MR_NONE);
    mesh->setDrawColors(std::vector<Color>(100, Color(1, 2, 3)));
    EXPECT_EQ(reasonAfterUpdate(), R::MR_VALUES);
    data.setModificationReason(R::MR_NONE);
    mesh->computeNormals();
    EXPECT_EQ(reasonAfterUpdate(), R::MR_GEOMETRY);
    EXPECT_EQ(data.dropped, 0);
}

TEST(BspNodeRenderData, aLeafDropsItsDataWhenItGoesOrIsGivenOther)
{
    auto mesh = createDomeMesh(5, false);
    mesh->updateVisualization(STAGE, false, false);
    BspNode *leaf = mesh->getPolyBaseRenderData(STAGE)->getAllLeaves().at(0);
    RecordingData first(leaf), second(leaf);
    leaf->setNodeRenderData(&first);
    leaf->setNodeRenderData(&second);
    EXPECT_EQ(first.dropped, 1);
    EXPECT_FALSE(first.isLinked());

    // Unlinking on its own is not a drop.
    second.removeLinks();
    EXPECT_EQ(leaf->getNodeRenderData(), nullptr);
    EXPECT_EQ(second.dropped, 0);

    leaf->setNodeRenderData(&second);
    mesh->updateVisualization(STAGE, true, false); // a new tree: the old leaves go
    EXPECT_EQ(second.dropped, 1);
    EXPECT_EQ(second.getPoly(), mesh.get());

    // Data that dies first leaves its leaf without data.
    BspNode *newLeaf = mesh->getPolyBaseRenderData(STAGE)->getAllLeaves().at(0);
    {
        RecordingData shortLived(newLeaf);
        newLeaf->setNodeRenderData(&shortLived);
    }
    EXPECT_EQ(newLeaf->getNodeRenderData(), nullptr);
    EXPECT_EQ(progErrorMessage([] { RecordingData(nullptr); }), "null node");
}

TEST(BspNodeView, outsideOnlyWhenTheWholeBoxIsBesideTheWindow)
{
    // The 3 x 3 dome spans x and y from -0.5 to 0.5 and z from 0 to 0.5 (its centre).
    auto mesh = createDomeMesh(3, false);
    mesh->updateVisualization(STAGE, false, false);
    const BspNode *leaf = mesh->getPolyBaseRenderData(STAGE)->getAllLeaves().at(0);
    // Model x, y in [-0.5, 0.5] land at window pixels offset + 100 x.
    auto toWindow = [](double dx, double dy) {
        return Transformation::translation({ dx, dy, 0 }) * Transformation::scaling(100, 100, 1);
    };
    EXPECT_FALSE(leaf->isOutside(toWindow(-40, 50), 100, 100)); // partly left of the window
    EXPECT_TRUE(leaf->isOutside(toWindow(-60, 50), 100, 100));
    EXPECT_TRUE(leaf->isOutside(toWindow(50, 151), 100, 100));
    // The box centre: z from 0 to 0.5, so 0.25, at window depth -1.75; the depth grows toward
    // the eye, where window depth falls.
    EXPECT_DOUBLE_EQ(leaf->getDepth(Transformation::translation({ 0, 0, -2 })), 1.75);
}
