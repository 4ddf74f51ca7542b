#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/mesh/gcad_gl_node.h"
#include "gcad/mesh/gcad_mesh_render_types.h"
#include "tests/mesh/mesh_node_fixture.h"

#include <gtest/gtest.h>

#include <numeric>
#include <tuple>

using namespace Vaq;
using namespace Vaq::GCAD;
using namespace Vaq::Test;

namespace {

using Reason = CAD::AbstractNodeRenderData::ModificationReason_t;
constexpr unsigned SMOOTH = RT_TRIANGLES | RT_SMOOTH;
constexpr unsigned FLAT = RT_TRIANGLES;

// A dome element with its own render data, so that edits reach the node through the tree.
struct DomeWithNode
{
    explicit DomeWithNode(unsigned flags)
        : dome(CAD::createDomeMesh(6, false)) // 36 vertices, 50 triangles, one leaf
    {
        dome->updateVisualization(STAGE, false, false);
        node = std::make_unique<GLNode>(STAGE, leavesOf(*dome).at(0));
        node->prepare(flags, 0);
    }
    void selectAll(bool on)
    {
        std::vector<uint32_t> points(36), triangles(50);
        std::iota(points.begin(), points.end(), 0);
        std::iota(triangles.begin(), triangles.end(), 0);
        dome->setPointFlag(points, CAD::PointFlags::SELECTED, on);
        dome->setTriangleFlag(triangles, CAD::PointFlags::SELECTED, on);
        dome->updateVisualization(STAGE, false, false);
    }

    std::unique_ptr<CAD::PolyBase> dome;
    std::unique_ptr<GLNode> node;
};

} // namespace

TEST(GLNodeRebuild, aPreparedNodeIsKeptForTheFlagsItWasMadeFor)
{
    // Prepared with, asked for, rebuilt.
    const std::tuple<unsigned, unsigned, bool> cases[] = {
        { SMOOTH | RT_POINTS | RT_EDGES, RT_POINTS, false }, // less than prepared is fine
        { SMOOTH | RT_POINTS | RT_EDGES, SMOOTH | RT_COLOR_MAP, true },
        { SMOOTH | RT_POINTS | RT_EDGES, FLAT, true },
        { FLAT | RT_VERTEX_COLORS, FLAT | RT_VERTEX_COLORS | RT_EDGES, false },
        { FLAT | RT_VERTEX_COLORS, FLAT, true }, // colours no longer wanted
        // With the colour map, vertex colours are not wanted even when asked for.
        { SMOOTH | RT_COLOR_MAP, SMOOTH | RT_COLOR_MAP | RT_VERTEX_COLORS, false },
        { RT_POINTS, RT_POINTS | RT_BACK_SIDE, true }, // no index data
    };
    for (const auto &[prepared, asked, rebuilt] : cases)
        EXPECT_EQ(DomeWithNode(prepared).node->updateOrNeedsRebuild(STAGE, asked), rebuilt)
            << prepared << " for " << asked;

    DomeWithNode points(RT_POINTS);
    const CAD::StageIdentifier other { 7 }; // the stage asked for is kept
    points.node->updateOrNeedsRebuild(other, RT_POINTS);
    EXPECT_EQ(points.node->getStage(), other);
    points.node->clear();
    EXPECT_TRUE(points.node->updateOrNeedsRebuild(STAGE, RT_POINTS)); // nothing prepared
    // Without a node container a new tree only detaches the node; its creator deletes it.
    points.dome->updateVisualization(STAGE, true, false);
    EXPECT_FALSE(points.node->isLinked());
}

TEST(GLNodeRebuild, materialOffsetChangesAskForANewOffsetSurface)
{
    DomeWithNode withNode(SMOOTH);
    CAD::PolyBase &dome = *withNode.dome;
    GLNode &node = *withNode.node;
    const CAD::PolyBaseData &data = *dome.getData(STAGE);
    dome.setOffsetSurface(data.vertices, data.vertexNormals, data.triangleNormals);
    dome.updateVisualization(STAGE, false, false);
    const unsigned flags = SMOOTH | RT_MATERIAL_OFFSET;
    auto prepareAgain = [&] {
        node.clear();
        node.prepare(flags, 0);
    };

    dome.setElementMaterialOffset(1.0);
    EXPECT_TRUE(node.updateOrNeedsRebuild(STAGE, flags)); // prepared without an offset
    prepareAgain();
    dome.setElementMaterialOffset(2.0);
    EXPECT_TRUE(node.updateOrNeedsRebuild(STAGE, flags));
    EXPECT_FALSE(node.updateOrNeedsRebuild(STAGE, SMOOTH)); // not asked for: not compared

    // An offset of 0.0 has no surface, so its absence is no reason.
    dome.setElementMaterialOffset(0.0);
    prepareAgain();
    EXPECT_EQ(node.getVertexData(1), nullptr);
    EXPECT_FALSE(node.updateOrNeedsRebuild(STAGE, flags));

    dome.setPatchMaterialOffset(CAD::PatchInfo({ { 0.5, true, true } }));
    EXPECT_TRUE(node.updateOrNeedsRebuild(STAGE, flags)); // another type
    prepareAgain();
    EXPECT_FALSE(node.updateOrNeedsRebuild(STAGE, flags));
    dome.setPatchMaterialOffset(CAD::PatchInfo({ { 0.5, true, false } }));
    EXPECT_TRUE(node.updateOrNeedsRebuild(STAGE, flags)); // a patch flag
    dome.setPatchMaterialOffset(CAD::PatchInfo({ { 0.5, true, true }, { 0.5, true, true } }));
    EXPECT_TRUE(node.updateOrNeedsRebuild(STAGE, flags)); // the patch count
}

TEST(GLNodeRebuild, wholeLeafSelectionMergesTheFlatRangesInsteadOfRebuilding)
{
    DomeWithNode flat(FLAT);
    const unsigned slot0 = flat.node->getFlatUnselectedCount(0);
    const unsigned slot1 = flat.node->getFlatUnselectedCount(1);
    const std::size_t leftovers = flat.node->getLeftovers(false).size();
    ASSERT_GT(slot0, 0u);

    flat.selectAll(true);
    EXPECT_FALSE(flat.node->updateOrNeedsRebuild(STAGE, FLAT));
    EXPECT_EQ(flat.node->getModificationReason(), Reason::MR_NONE);
    EXPECT_EQ(flat.node->getFlatSelectedCount(0), slot0);
    EXPECT_EQ(flat.node->getFlatSelectedCount(1), slot1);
    EXPECT_EQ(flat.node->getFlatUnselectedCount(0), 0u);
    EXPECT_EQ(flat.node->getLeftovers(true).size(), leftovers);
    EXPECT_TRUE(flat.node->getLeftovers(false).empty());

    flat.selectAll(false);
    EXPECT_FALSE(flat.node->updateOrNeedsRebuild(STAGE, FLAT));
    EXPECT_EQ(flat.node->getFlatUnselectedCount(0), slot0);
    EXPECT_EQ(flat.node->getFlatSelectedCount(1), 0u);

    // Part of the leaf selected: the ranges must be built anew.
    flat.dome->setTriangleFlag({ 4 }, CAD::PointFlags::SELECTED, true);
    flat.dome->updateVisualization(STAGE, false, false);
    EXPECT_TRUE(flat.node->updateOrNeedsRebuild(STAGE, FLAT));
    // Smooth data only forgets the reason: its ranges come from the leaf's counts.
    DomeWithNode smooth(SMOOTH);
    smooth.node->setModificationReason(Reason::MR_NODE_SELECTED);
    EXPECT_FALSE(smooth.node->updateOrNeedsRebuild(STAGE, SMOOTH));
    EXPECT_EQ(smooth.node->getModificationReason(), Reason::MR_NONE);
}
