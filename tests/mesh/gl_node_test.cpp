#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"
#include "gcad/mesh/gcad_gl_node.h"
#include "gcad/mesh/gcad_mesh_render_types.h"
#include "tests/mesh/mesh_node_fixture.h"

#include <gtest/gtest.h>

using namespace Vaq;
using namespace Vaq::GCAD;
using namespace Vaq::Test;

namespace {

// Two leaves: B on the far left owns vertices 0 to 11; A on the right owns the ten strip
// vertices 12 to 21 and two overlap triangles whose six corners (7, 9, 8 and 7, 11, 10)
// all belong to B, vertex 7 twice. The strip faces +z, B's triangles -z.
MeshWithTree twoLeaves()
{
    std::vector<BaVec3d<double>> vertices { { -200, 0, 0 }, { -200, 1, 0 }, { -201, 0, 0 }, { -201, 1, 0 },
        { -202, 0, 0 }, { -202, 1, 0 }, { -203, 0, 0 }, { 60, 0, 0 }, { 60, 1, 0 }, { 61, 0, 0 },
        { 61, 1, 0 }, { 62, 0, 0 } };
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 5; ++column)
            vertices.emplace_back(100 + column, row, 0);
    }
    std::vector<CAD::Triangle> triangles { { 7, 0, 1 }, { 8, 0, 1 }, { 9, 0, 1 }, { 10, 0, 1 }, { 11, 0, 1 },
        { 0, 2, 1 }, { 1, 2, 3 }, { 2, 4, 3 }, { 3, 4, 5 }, { 4, 6, 5 } };
    for (uint32_t k = 12; k < 16; ++k) {
        triangles.push_back({ k, k + 1, k + 6 });
        triangles.push_back({ k, k + 6, k + 5 });
    }
    triangles.push_back({ 7, 9, 8 });
    triangles.push_back({ 7, 11, 10 });
    return MeshWithTree(vertices, triangles, 20);
}

// A unit square of two triangles facing +z.
MeshWithTree square()
{
    return MeshWithTree({ { 0, 0, 0 }, { 1, 0, 0 }, { 1, 1, 0 }, { 0, 1, 0 } }, { { 0, 1, 2 }, { 0, 2, 3 } });
}

// Every colour-map test starts from the same legend and gives the old one back.
class GLNodeColourMap : public testing::Test
{
protected:
    void SetUp() override
    {
        legend().getColorMap().setDataRange(-1.0, 1.0);
        legend().getColorMap().setToleranceMode(false);
        legend().setNumberOfRenderColors(8);
    }
    void TearDown() override { legend() = m_saved; }
    static Legend2::LegendHandler &legend() { return *Legend2::LegendHandler::getCurrent(); }

    static std::pair<float, float> texCoord(const GLNode &node, unsigned k)
    {
        const uint8_t *p = node.getVertexData(0) + k * node.getVertexSize();
        return { readAt<float>(p, 0), readAt<float>(p, 4) };
    }

private:
    Legend2::LegendHandler m_saved = *Legend2::LegendHandler::getCurrent();
};

} // namespace

TEST(GLNodePrepare, farCornersGetOneSlotEachAfterTheOwnVertices)
{
    MeshWithTree mesh = twoLeaves();
    ASSERT_EQ(mesh.tree->getAllLeaves().size(), 2u);
    const CAD::PolyBaseData &data = *mesh.mesh.getData(STAGE);
    // Edges alone are drawn from the same smooth index data.
    for (unsigned flags : { RT_TRIANGLES | RT_SMOOTH, unsigned(RT_EDGES) }) {
        SCOPED_TRACE(flags);
        GLNode node(STAGE, mesh.leaf(1));
        node.prepare(flags, 0);
        EXPECT_EQ(node.getVertexType(), 0u);
        EXPECT_EQ(node.getOwnVertexCount(), 10u);
        EXPECT_EQ(node.getForeignVertexCount(), 6u); // slots 10 to 15, vertex 7 in two of them
        EXPECT_EQ(node.getVertexBytes(), 16u * 18u);
        EXPECT_EQ(node.getIndexBytes(), 10u * 6u);
        // The strip in mesh order with local indices (vertex - 12), then the overlap triangles.
        EXPECT_EQ(indices(node, 0, 6), (std::vector<uint16_t> { 0, 1, 6, 0, 6, 5 }));
        EXPECT_EQ(indices(node, 24, 6), (std::vector<uint16_t> { 10, 11, 12, 13, 14, 15 }));
        const uint32_t farCorners[6] = { 7, 9, 8, 7, 11, 10 };
        for (unsigned k = 0; k < 16; ++k) {
            const BaVec3d<double> &v = data.vertices[k < 10 ? 12 + k : farCorners[k - 10]];
            EXPECT_EQ(position(node, k), BaVec3d<float>(float(v.x), float(v.y), float(v.z))) << k;
        }
        // Normals of +z and -z come out as +-32767.
        EXPECT_EQ(shortNormal(node, 0), (std::array<int16_t, 3> { 0, 0, 32767 }));
        EXPECT_EQ(shortNormal(node, 10), (std::array<int16_t, 3> { 0, 0, -32767 }));
        EXPECT_EQ(node.getVertexData(1), nullptr);
        EXPECT_EQ(node.getModificationReason(), CAD::AbstractNodeRenderData::MR_NONE);
    }
}

TEST(GLNodePrepare, floatNormalsAndPointsWithoutTriangles)
{
    MeshWithTree mesh = twoLeaves();
    GLNode node(STAGE, mesh.leaf(1));
    node.prepare(RT_POINTS, 1);
    EXPECT_EQ(node.getVertexType(), 1u);
    // No triangles: no index data and no far-corner slots.
    EXPECT_FALSE(node.hasTriangleData());
    EXPECT_EQ(node.getIndexBytes(), 0u);
    EXPECT_EQ(node.getForeignVertexCount(), 0u);
    EXPECT_EQ(node.getVertexBytes(), 10u * 24u);
    EXPECT_EQ(readAt<float>(node.getVertexData(0), 3 * 24 + 8), 1.0f);
    EXPECT_EQ(position(node, 3), BaVec3d<float>(103, 0, 0));
}

TEST(GLNodePrepare, vertexColoursAreCopiedOrTakenFromTheElement)
{
    MeshWithTree mesh = square();
    mesh.mesh.setDrawColors({ { 1, 2, 3, 4 }, { 5, 6, 7, 8 }, { 9, 10, 11, 12 }, { 13, 14, 15, 16 } });
    GLNode node(STAGE, mesh.leaf());
    node.prepare(RT_VERTEX_COLORS | RT_TRIANGLES | RT_SMOOTH, 0);
    ASSERT_EQ(node.getVertexType(), 2u);
    EXPECT_EQ(readAt<Color>(node.getVertexData(0), 2 * 22), Color(9, 10, 11, 12));

    mesh.mesh.setDrawColors({});
    mesh.mesh.getElemProperties()->color = Color(50, 60, 70);
    node.clear();
    node.prepare(RT_VERTEX_COLORS | RT_POINTS, 0);
    EXPECT_EQ(readAt<Color>(node.getVertexData(0), 22), Color(50, 60, 70));
}

TEST(GLNodePrepare, materialOffsetSurfaceIsTheSecondVertexSet)
{
    MeshWithTree mesh = square();
    std::vector<BaVec3d<double>> lifted;
    for (const auto &v : mesh.mesh.getData(STAGE)->vertices)
        lifted.push_back(v + BaVec3d<double>(0, 0, 0.5));
    mesh.mesh.setOffsetSurface(
        lifted, std::vector<BaVec3d<float>>(4, { 0, 0, -1 }), std::vector<BaVec3d<float>>(2, { 0, 0, -1 }));
    const unsigned flags = RT_TRIANGLES | RT_SMOOTH | RT_MATERIAL_OFFSET;
    GLNode node(STAGE, mesh.leaf());
    auto prepare = [&](unsigned f) {
        node.clear();
        node.prepare(f, 0);
    };

    mesh.mesh.setElementMaterialOffset(0.5);
    prepare(flags);
    EXPECT_EQ(node.getMaterialOffsetType(), CAD::MO_ELEMENT);
    EXPECT_EQ(node.getElementMaterialOffset(), 0.5);
    ASSERT_NE(node.getVertexData(1), nullptr);
    EXPECT_EQ(position(node, 2, 1), BaVec3d<float>(1, 1, 0.5f));
    EXPECT_EQ(readAt<int16_t>(node.getVertexData(1), 2 * 18 + 4), -32767);

    // An offset of 0.0 has no surface of its own; without the flag nothing is read.
    mesh.mesh.setElementMaterialOffset(0.0);
    prepare(flags);
    EXPECT_EQ(node.getMaterialOffsetType(), CAD::MO_ELEMENT);
    EXPECT_EQ(node.getVertexData(1), nullptr);
    prepare(RT_TRIANGLES | RT_SMOOTH);
    EXPECT_EQ(node.getMaterialOffsetType(), CAD::MO_NONE);

    mesh.mesh.setPatchMaterialOffset(CAD::PatchInfo({ { 0.25, true, true }, { 0.75, false, true } }));
    prepare(flags);
    EXPECT_EQ(node.getMaterialOffsetType(), CAD::MO_PER_PATCH);
    EXPECT_EQ(node.getPatchCount(), 2u);
    EXPECT_EQ(node.getPatchFlags(), (std::vector<bool> { true, false }));
    EXPECT_EQ(node.getPatchOffsets(), (std::vector<double> { 0.25, 0.75 }));
    EXPECT_NE(node.getVertexData(1), nullptr);
}

TEST(GLNodeLifecycle, attachesToItsLeafClearsAndOutlivesADroppedLeaf)
{
    EXPECT_EQ(progErrorMessage([] { GLNode(STAGE, nullptr); }), "node must not be 0");

    auto dome = CAD::createDomeMesh(4, false);
    dome->updateVisualization(STAGE, false, false);
    CAD::BspNode *leaf = leavesOf(*dome).at(0);
    auto node = std::make_unique<GLNode>(STAGE, leaf);
    EXPECT_EQ(leaf->getNodeRenderData(), node.get());
    EXPECT_EQ(node->getPoly(), dome.get());
    // Visible in every view until that view says otherwise, and again after clearing.
    const auto *view = reinterpret_cast<const GL::RenderCallback *>(dome.get());
    EXPECT_TRUE(node->isVisibleInView(view));
    node->setVisibleInView(view, false);
    EXPECT_FALSE(node->isVisibleInView(view));
    EXPECT_TRUE(node->isVisibleInView(nullptr));

    node->prepare(RT_TRIANGLES | RT_SMOOTH, 0);
    node->clear();
    EXPECT_FALSE(node->hasTriangleData());
    EXPECT_EQ(node->getVertexData(0), nullptr);
    EXPECT_EQ(node->getVertexSize(), 0u);
    EXPECT_EQ(node->getOwnVertexCount(), 0u);
    EXPECT_TRUE(node->isVisibleInView(view));

    // Without a node container a new tree only detaches the node; its creator deletes it.
    dome->updateVisualization(STAGE, true, false);
    EXPECT_FALSE(node->isLinked());
    node.reset();
    EXPECT_EQ(leavesOf(*dome).at(0)->getNodeRenderData(), nullptr);
}

TEST_F(GLNodeColourMap, deviationsPickTheColourRowAndMissingValuesTheSpecialRow)
{
    MeshWithTree mesh = square();
    mesh.mesh.setDeviations({ -1.0f, 1.0f, CAD::NO_VALUE, 5.0f });
    GLNode node(STAGE, mesh.leaf());
    // With vertex colours asked for too, the colour map wins and no colour is stored.
    node.prepare(RT_COLOR_MAP | RT_VERTEX_COLORS | RT_TRIANGLES | RT_SMOOTH, 0);
    ASSERT_EQ(node.getVertexType(), 8u);
    EXPECT_EQ(node.getVertexSize(), 26u);
    const std::pair<float, float> expected[4]
        = { { 0.5f / 8, 0 }, { 7.5f / 8, 0 }, { 1, 4096 }, { 7.5f / 8, 0 } };
    for (unsigned k = 0; k < 4; ++k) {
        EXPECT_FLOAT_EQ(texCoord(node, k).first, expected[k].first) << k;
        EXPECT_EQ(texCoord(node, k).second, expected[k].second) << k;
    }
}

TEST_F(GLNodeColourMap, toleranceModeNeedsAValidToleranceForEachVertex)
{
    legend().getColorMap().setToleranceMode(true);
    legend().setNumberOfRenderColors(9); // three texels per band
    MeshWithTree mesh = square();
    mesh.mesh.setDeviations({ 0.0f, 0.0f, 0.0f, 2.0f });
    GLNode node(STAGE, mesh.leaf());
    node.prepare(RT_COLOR_MAP | RT_POINTS, 0);
    // No tolerance indices: every vertex shows the special colour of missing tolerances.
    for (unsigned k = 0; k < 4; ++k)
        EXPECT_EQ(texCoord(node, k), std::pair(1.0f, 4096.0f)) << k;

    mesh.mesh.setDistancePointTolerances({ { -1.0, 1.0 }, { 1.0, -1.0 } }); // the second is empty
    mesh.mesh.setToleranceIndices({ 0, 1, 7, 0 });
    node.clear();
    node.prepare(RT_COLOR_MAP | RT_POINTS, 0);
    EXPECT_EQ(node.getTolerances(), mesh.mesh.getDistancePointTolerances());
    EXPECT_FLOAT_EQ(texCoord(node, 0).first, 4.5f / 9); // inside: the middle band
    EXPECT_EQ(texCoord(node, 0).second, 0.0f);
    EXPECT_EQ(texCoord(node, 1), std::pair(0.0f, 4096.0f)); // invalid tolerance
    EXPECT_EQ(texCoord(node, 2), std::pair(0.0f, 4096.0f)); // index beyond the list
    EXPECT_FLOAT_EQ(texCoord(node, 3).first, 7.5f / 9); // above
}
