// The node container without GL: the budget formula, and how nodes enter it, wait in it
// after the element model dropped them, and leave it.
#include "gcad/mesh/gcad_gl_node_container.h"
#include "gcad/mesh/gcad_mesh_render_types.h"
#include "tests/mesh/mesh_node_fixture.h"

#include <gtest/gtest.h>

using namespace Vaq;
using namespace Vaq::GCAD;
using namespace Vaq::Test;

namespace {

// A grid split into leaves of at most 20 vertices, with a node for every leaf (owned by
// the container when one exists).
struct GridNodes
{
    explicit GridNodes(unsigned n = 8)
        : mesh(grid(n, 20))
    {
        for (CAD::BspNode *leaf : leavesOf(*mesh))
            nodes.push_back(new GLNode(STAGE, leaf));
    }

    std::unique_ptr<CAD::PolyBase> mesh;
    std::vector<GLNode *> nodes;
};

} // namespace

TEST(GLNodeContainer, budgetLeavesTwentyBytesPerScreenPixel)
{
    // 256 MB less 1600 x 1200 x 20 bytes.
    EXPECT_EQ(GLNodeContainer::computeBudget(256, QSize(1600, 1200)), 268435456u - 38400000u);
    // 36 MB cannot spare the 38.4 MB reserve: the whole memory is the budget.
    EXPECT_EQ(GLNodeContainer::computeBudget(36, QSize(1600, 1200)), 36u * 1048576u);
    // Cards beyond 4 GB do not wrap around.
    EXPECT_EQ(
        GLNodeContainer::computeBudget(81920, QSize(1920, 1200)), 81920ull * 1048576 - 1920 * 1200 * 20);
}

TEST(GLNodeContainer, registersNodesOnceAndForgetsDeletedOnes)
{
    GLNodeContainer container;
    GridNodes grid;
    ASSERT_GT(grid.nodes.size(), 1u);
    EXPECT_EQ(container.getNumberOfNodes(), grid.nodes.size());
    EXPECT_EQ(
        progErrorMessage([&] { container.addNode(grid.nodes[0]); }), "node has already been registered");
    EXPECT_EQ(progErrorMessage([] { GLNode(STAGE, nullptr); }), "node must not be 0");
    EXPECT_EQ(progErrorMessage([] { GLNodeContainer second; }), "only one instance allowed");

    delete grid.nodes[0];
    EXPECT_EQ(container.getNumberOfNodes(), grid.nodes.size() - 1);
    EXPECT_EQ(leavesOf(*grid.mesh)[0]->getNodeRenderData(), nullptr);
}

TEST(GLNodeContainer, droppedNodesWaitForTheNextCleanUpAndGoWithTheContainer)
{
    auto container = std::make_unique<GLNodeContainer>();
    GridNodes first, second(5);
    // A new tree drops every leaf: the nodes are detached and queued, not deleted.
    first.mesh->updateVisualization(STAGE, true, false);
    for (GLNode *node : first.nodes)
        EXPECT_TRUE(container->isPending(node));
    EXPECT_EQ(container->getNumberOfNodes(), second.nodes.size());

    // Removing an element queues only its nodes.
    container->removeNodes(second.mesh.get());
    for (GLNode *node : second.nodes) {
        EXPECT_TRUE(container->isPending(node));
        EXPECT_FALSE(node->isLinked());
    }
    EXPECT_EQ(leavesOf(*second.mesh)[0]->getNodeRenderData(), nullptr);
    EXPECT_EQ(container->getNumberOfNodes(), 0u);

    // The leaves may go first; the container deletes the queued nodes when it goes.
    second.mesh.reset();
    container.reset();
}
