// Picking on a real view: the rotation centre under a pixel over meshes drawn by the library's
// mesh renderer (front surface, children of entries, render transformations, invisible
// elements, the clipping plane, the background) and the pull-out handle near a pixel.
#include "gcad/host/base/vaq_transformation.h"
#include "gcad/mesh/gcad_gl_node_container.h"
#include "tests/support/gcad_gl_test.h"
#include "tests/support/gcad_grid_mesh.h"
#include "tests/support/gcad_plane_clipping.h"

#include <limits>
#include <memory>

using namespace Vaq;
using CAD::ElementCreator;
using Vaq::Test::makeGridMesh;
using Vaq::Test::STAGE;

namespace {

class Picking : public Vaq::Test::GLTest
{
protected:
    void TearDown() override
    {
        scene.clipping = nullptr;
        nodes.deleteAllNodes();
        Vaq::Test::GLTest::TearDown();
    }

    // The rotation centre under the pixel at which model point p appears.
    bool centreAt(const BaVec3d<double> &p, BaVec3d<double> *point, double *depth)
    {
        const BaVec2d<double> pixel = pixelOf(p);
        return scene.getRotationCenterPoint(int(pixel.x), int(pixel.y), depth, point);
    }

    GCAD::GLNodeContainer nodes;
};

// Less than a pixel of this view, in model units: the pixel is rounded down to whole pixels.
constexpr double PIXEL = 0.02;

} // namespace

TEST_F(Picking, TheRotationCentreIsTheFrontSurfacePointUnderThePixel)
{
    // The floor: the unit square at z = 0. On it, as the floor's child, a smaller square moved
    // by its render transformation to [0.5, 0.9] x [0.5, 0.9] at z = 0.5.
    const std::unique_ptr<CAD::PolyBase> floor = makeGridMesh(21, 21);
    CAD::PolyBase *lid = makeGridMesh(5, 5).release();
    lid->setRenderTransformation(
        STAGE, Transformation::translation({ 0.5, 0.5, 0.5 }) * Transformation::scaling(0.4, 0.4, 1.0));
    floor->addChild(lid);
    scene.show(floor.get(), STAGE);
    view->repaintWidget();

    BaVec3d<double> point;
    double depth = 0.0;
    ASSERT_TRUE(centreAt({ 0.25, 0.3, 0 }, &point, &depth));
    EXPECT_LT((point - BaVec3d<double>(0.25, 0.3, 0)).length(), PIXEL);
    // The depth is the point's window depth, negated.
    EXPECT_NEAR(depth, -view->get3d2dTransformation().transformZ(point), 1e-9);
    const double floorDepth = depth;

    ASSERT_TRUE(centreAt({ 0.7, 0.6, 0.5 }, &point, &depth));
    EXPECT_LT((point - BaVec3d<double>(0.7, 0.6, 0.5)).length(), PIXEL);
    EXPECT_GT(depth, floorDepth);

    // The clipping plane keeps z <= 0.25: the lid is cut away.
    Vaq::Test::PlaneClipping clipping;
    clipping.setClippingPlane(Plane3d({ 0, 0, 0.25 }, { 0, 0, -1 }));
    clipping.setClippingActive(true);
    scene.clipping = &clipping;
    ASSERT_TRUE(centreAt({ 0.7, 0.6, 0.5 }, &point, &depth));
    EXPECT_LT((point - BaVec3d<double>(0.7, 0.6, 0)).length(), PIXEL);
    clipping.setClippingActive(false);

    // An invisible lid does not count either.
    lid->setVisible(false);
    ASSERT_TRUE(centreAt({ 0.7, 0.6, 0.5 }, &point, &depth));
    EXPECT_LT((point - BaVec3d<double>(0.7, 0.6, 0)).length(), PIXEL);
    lid->setVisible(true);

    // Beside the floor there is only background.
    point = BaVec3d<double>(7, 7, 7);
    EXPECT_FALSE(centreAt({ -0.2, 0.5, 0 }, &point, &depth));
    EXPECT_EQ(depth, -std::numeric_limits<double>::max());
    EXPECT_EQ(point, BaVec3d<double>(7, 7, 7));
}

TEST_F(Picking, ThePullOutHandleNearestTheViewerWithinFourPixelsWins)
{
    CAD::Element near(ElementCreator::DISTANCE), far(ElementCreator::DISTANCE);
    // The handles are opaque to picking: any distinct addresses do.
    char handles[3];
    auto *nearHandle = reinterpret_cast<CAD::DistPullOut *>(&handles[0]);
    auto *farHandle = reinterpret_cast<CAD::DistPullOut *>(&handles[1]);
    auto *laterHandle = reinterpret_cast<CAD::DistPullOut *>(&handles[2]);
    scene.addDistanceHandler({ 50, 50, -0.7 }, &far, farHandle);
    scene.addDistanceHandler({ 54, 46, -0.2 }, &near, nearHandle);

    CAD::Element *element = nullptr;
    EXPECT_EQ(scene.getPullOutDist({ 50.5, 50 }, &element), nearHandle);
    EXPECT_EQ(element, &near);
    // Only the far one is within 4 pixels in x and in y.
    EXPECT_EQ(scene.getPullOutDist({ 49, 50 }, &element), farHandle);
    EXPECT_EQ(element, &far);
    EXPECT_EQ(scene.getPullOutDist({ 54, 51 }, nullptr), farHandle);
    EXPECT_EQ(scene.getPullOutDist({ 58, 46 }, nullptr), nearHandle);
    element = &far;
    EXPECT_EQ(scene.getPullOutDist({ 58.5, 46 }, &element), nullptr);
    EXPECT_EQ(element, &far);
    // Of two at the same depth, the later one.
    scene.addDistanceHandler({ 51, 51, -0.2 }, &far, laterHandle);
    EXPECT_EQ(scene.getPullOutDist({ 52, 48 }, nullptr), laterHandle);
}
