// GPU mesh nodes in buffer objects on a real context: the round trip with the reuse of buffer
// names, the memory budget and the accounting errors.
#include "gcad/mesh/gcad_buffer_name_pool.h"
#include "tests/mesh/mesh_draw_scene.h"
#include "tests/support/gcad_driver_guard.h"

#include <gtest/gtest.h>

#include <regex>

using namespace Vaq;
using namespace Vaq::GCAD;
using namespace Vaq::Test;

namespace {

std::vector<uint8_t> bytes(const void *data, std::size_t size)
{
    const auto *p = static_cast<const uint8_t *>(data);
    return { p, p + size };
}

// Nodes of every leaf of mesh, prepared smooth with 16-bit normals.
std::vector<GLNode *> prepareAll(const CAD::PolyBase &mesh)
{
    std::vector<GLNode *> nodes;
    for (CAD::BspNode *leaf : leavesOf(mesh)) {
        nodes.push_back(new GLNode(STAGE, leaf));
        nodes.back()->prepare(RT_TRIANGLES | RT_SMOOTH, 0);
    }
    return nodes;
}

using NodeBuffers = MeshDrawTest;

} // namespace

TEST_F(NodeBuffers, uploadThenDownloadGivesBackThePreparedBytes)
{
    GCAD_SKIP_WITHOUT(bufferObjects);
    auto mesh = grid(6, 64);
    std::vector<BaVec3d<double>> lifted = mesh->getData(STAGE)->vertices;
    for (auto &v : lifted)
        v.z += 0.25;
    mesh->setOffsetSurface(
        lifted, std::vector<BaVec3d<float>>(36, { 0, 0, -1 }), std::vector<BaVec3d<float>>(50, { 0, 0, -1 }));
    mesh->setElementMaterialOffset(0.25);
    GLNode *node = new GLNode(STAGE, leavesOf(*mesh)[0]);
    node->prepare(RT_TRIANGLES | RT_SMOOTH | RT_MATERIAL_OFFSET | RT_VERTEX_COLORS, 0);
    // The offset surface is the second vertex set: colour, normal z at byte 8, position.
    EXPECT_EQ(readAt<int16_t>(node->getVertexData(1), 8), -32767);
    EXPECT_EQ(position(*node, 0, 1).z, 0.25f);
    const std::vector<uint8_t> nominal = bytes(node->getVertexData(0), node->getVertexBytes());
    const std::vector<uint8_t> offset = bytes(node->getVertexData(1), node->getVertexBytes());
    const std::vector<uint8_t> indices = bytes(node->getIndexData(), node->getIndexBytes());

    ASSERT_TRUE(nodes.ensureOnGPU(node));
    EXPECT_NE(node->getVertexBuffer(1), 0u);
    // Both vertex sets and the indices; asking again uploads nothing more.
    EXPECT_EQ(nodes.getUsedBytes(), 2u * node->getVertexBytes() + node->getIndexBytes());
    EXPECT_TRUE(nodes.ensureOnGPU(node));
    EXPECT_EQ(nodes.getNodesOnGPU(), 1u);

    {
        // Drivers that need float normals cannot read buffers back.
        DriverGuard driver("VAQ_GL_RENDER_MODE", "1");
        scene.resetAllRenderData();
        EXPECT_TRUE(node->isOnGPU());
    }
    scene.resetAllRenderData();
    EXPECT_FALSE(node->isOnGPU());
    EXPECT_EQ(bytes(node->getVertexData(0), node->getVertexBytes()), nominal);
    EXPECT_EQ(bytes(node->getVertexData(1), node->getVertexBytes()), offset);
    EXPECT_EQ(bytes(node->getIndexData(), node->getIndexBytes()), indices);
    EXPECT_EQ(nodes.getUsedBytes(), 0u);

    // Released names are handed out again, the smallest first; discarding drops the data.
    ASSERT_FALSE(BufferNamePool::getNames().empty());
    const unsigned smallest = *BufferNamePool::getNames().begin();
    ASSERT_TRUE(nodes.ensureOnGPU(node));
    EXPECT_EQ(node->getVertexBuffer(0), smallest);
    nodes.saveFromGPU(node, true);
    EXPECT_EQ(node->getVertexData(0), nullptr);
    EXPECT_EQ(nodes.getUsedBytes(), 0u);

    // Data on the GPU must be cleared before it is prepared again.
    node->prepare(RT_TRIANGLES | RT_SMOOTH, 0);
    ASSERT_TRUE(nodes.ensureOnGPU(node));
    EXPECT_EQ(progErrorMessage([&] { node->prepare(RT_TRIANGLES, 0); }), "node data is on the GPU");
    node->clear();
    EXPECT_EQ(nodes.getUsedBytes(), 0u);
    // The pooled names go with the view's context.
    scene.widgetAboutToBeDestroyed();
    EXPECT_TRUE(BufferNamePool::getNames().empty());
}

TEST_F(NodeBuffers, theNodeThatCrossesTheBudgetIsTheLastOneUploaded)
{
    // 1 MB cannot spare any screen's reserve, so all of it is the budget.
    GCAD_SKIP_WITHOUT(bufferObjects);
    DriverGuard driver;
    driver.disableExtensions("GL_NVX_gpu_memory_info,GL_ATI_meminfo");
    driver.set("VAQ_GL_MEMORY_MB", "1");
    const auto mesh = grid(200, 3000);
    const std::vector<GLNode *> leaves = prepareAll(*mesh);
    ASSERT_GT(leaves.size(), 6u);

    std::size_t refused = 0;
    for (GLNode *node : leaves) {
        const std::uint64_t before = nodes.getUsedBytes();
        const bool uploaded = nodes.ensureOnGPU(node);
        // Up to the budget every node goes up, the one crossing it included.
        EXPECT_EQ(uploaded, before < 1048576u) << before;
        refused += uploaded ? 0 : 1;
    }
    EXPECT_EQ(nodes.getBudgetBytes(), 1048576u);
    EXPECT_GT(refused, 0u);
    // A refused node keeps its data in client memory.
    EXPECT_NE(leaves.back()->getVertexData(0), nullptr);
}

TEST_F(NodeBuffers, aNodeThePoolDidNotAccountIsADoubleDelete)
{
    GCAD_SKIP_WITHOUT(bufferObjects);
    const auto small = grid(4, 64), large = grid(6, 64);
    GLNode *counted = prepareAll(*small).front();
    GLNode *uncounted = prepareAll(*large).front();
    ASSERT_TRUE(nodes.ensureOnGPU(counted));
    // Uploaded past the container: its memory was never added to the account.
    uncounted->restoreVBO();
    const std::uint64_t used = nodes.getUsedBytes();

    EXPECT_EQ(progErrorMessage([&] { nodes.saveFromGPU(uncounted, false); }), "double delete node");
    // Its data came back all the same, and the account is untouched.
    EXPECT_NE(uncounted->getVertexData(0), nullptr);
    EXPECT_EQ(nodes.getUsedBytes(), used);

    // Deleting the node only traces it.
    uncounted->restoreVBO();
    takeTraces();
    delete uncounted;
    EXPECT_TRUE(std::regex_match(
        takeTraces(), std::regex(R"(Vaq::GCAD::GLNodeContainer::removeNode\(\d+\): double delete node\n)")));
}
