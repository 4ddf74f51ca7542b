// How the render callback looks after the GPU mesh nodes between repaints.
#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/gapp/vaq_gapp_view_widget_container.h"
#include "tests/mesh/mesh_draw_scene.h"
#include "tests/support/gcad_driver_guard.h"

#include <gtest/gtest.h>

#include <regex>

using namespace Vaq;
using namespace Vaq::GCAD;
using namespace Vaq::Test;

namespace {

// Two meshes drawn by a view that the application has opened.
class NodeHousekeeping : public MeshDrawTest
{
protected:
    void SetUp() override
    {
        MeshDrawTest::SetUp();
        GApp::ViewWidgetContainer::addView(view.get());
        first = show(CAD::createDomeMesh(6, false));
        second = show(CAD::createDomeMesh(5, false));
        paint();
    }
    void TearDown() override
    {
        GApp::ViewWidgetContainer::removeView(view.get());
        MeshDrawTest::TearDown();
    }
    static GLNode *node(const CAD::PolyBase *mesh) { return NodeRenderer::nodeOf(*mesh); }

    CAD::PolyBase *first = nullptr;
    CAD::PolyBase *second = nullptr;
};

} // namespace

TEST_F(NodeHousekeeping, nodesOfHiddenOrDroppedElementsLeaveTheGPUAndAreFreed)
{
    GCAD_SKIP_WITHOUT(bufferObjects);
    ASSERT_TRUE(node(first)->isOnGPU());
    ASSERT_TRUE(node(second)->isOnGPU());
    scene.entries.resize(1); // the second mesh is no longer shown
    paint(GL::UpdateOptions(GL::UpdateOptions::US_ALL, GL::UpdateOptions::UT_KEEP_GPU_DATA));
    EXPECT_TRUE(node(second)->isOnGPU());

    paint();
    EXPECT_TRUE(node(first)->isOnGPU());
    EXPECT_FALSE(node(second)->isOnGPU());
    // Its data is kept for when it is shown again.
    EXPECT_TRUE(node(second)->hasTriangleData());
    EXPECT_EQ(nodes.getUsedBytes(), node(first)->getGPUSize());

    // The application frees the render data of elements no view shows.
    RenderCallback::freeInvisibleElementRenderData();
    EXPECT_EQ(node(second), nullptr);
    ASSERT_NE(node(first), nullptr);
    EXPECT_TRUE(node(first)->isOnGPU());
    EXPECT_EQ(nodes.getNumberOfNodes(), 1u);
    // A new tree drops the old node, which goes at the next repaint.
    GLNode *old = node(first);
    first->updateVisualization(STAGE, true, false);
    paint();
    EXPECT_FALSE(nodes.isPending(old));
    EXPECT_TRUE(node(first)->isOnGPU());
    // A view the application does not list shows nothing.
    GApp::ViewWidgetContainer::removeView(view.get());
    RenderCallback::freeInvisibleElementRenderData();
    EXPECT_EQ(node(first), nullptr);
    EXPECT_EQ(nodes.getUsedBytes(), 0u);
}

TEST_F(NodeHousekeeping, meshesChangedWithoutAnUpdateAreReported)
{
    // An update asked for is run before the mesh is drawn.
    first->setDrawColors(std::vector<Color>(36, Color(1, 2, 3)));
    first->requestDelayedUpdateVisualization();
    takeTraces();
    paint();
    EXPECT_EQ(takeTraces(), "");

    first->setDrawColors({});
    paint();
    EXPECT_TRUE(std::regex_match(takeTraces(),
        std::regex(
            R"(Vaq::GCAD::RenderCallback::initAllElementsForDrawing\(\d+\): update visualization missing\n)")));
}
