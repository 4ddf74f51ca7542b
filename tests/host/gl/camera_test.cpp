#include "gcad/host/gl/vaq_gl_camera.h"

#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace GL = Vaq::GL;
using Vaq::BaVec3d;
using Vaq::Test::progErrorMessage;
using V = BaVec3d<double>;

namespace {

// A 40 x 20 viewport on the flat box (1, -2, 5) to (7, 6, 5): its sides 6 and 8 make a
// diagonal of 10, so the fitted scale is 10 units over the 20 pixel side, 2 pixels per
// unit; the centre (4, 2, 5) sits at the window centre (20, 10); the depth range is the
// sphere of radius 5 widened by 5 %, view z from +5.25 (depth 0) to -5.25 (depth 1).
GL::Camera boxCamera()
{
    GL::Camera camera;
    camera.setViewportSize(40, 20);
    EXPECT_TRUE(camera.setViewVolume(V(1, -2, 5), V(7, 6, 5)));
    return camera;
}

void expectNear(const V &actual, const V &expected)
{
    EXPECT_NEAR((actual - expected).length(), 0.0, 1e-9)
        << "(" << actual.x << ", " << actual.y << ", " << actual.z << ")";
}

TEST(Camera, FittedViewPutsTheBoxCentreMidWindowAndItsSphereOnTheDepthRange)
{
    GL::Camera camera = boxCamera();
    EXPECT_EQ(camera.getScale(), 10.0);
    expectNear(camera.get3d2dTransformation().transform(V(4, 2, 5)), V(20, 10, 0.5));
    // One unit right is two pixels right; the sphere's front and back are depth 0 and 1.
    expectNear(camera.get3d2dTransformation().transform(V(5, 2, 5)), V(22, 10, 0.5));
    expectNear(camera.get3d2dTransformation().transform(V(4, 2, 10.25)), V(20, 10, 0.0));
    expectNear(camera.get3d2dTransformation().transform(V(4, 2, -0.25)), V(20, 10, 1.0));
    EXPECT_TRUE(camera.isInViewVolume(V(4, 2, 5)));
    EXPECT_FALSE(camera.isInViewVolume(V(14.5, 2, 5))); // window x 41
    EXPECT_FALSE(camera.isInViewVolume(V(4, 2, 10.5))); // in front of the sphere

    // The pixel right of the centre at depth 0 shows the line through (5, 2, 10.25) into the
    // screen; the same line at depth 0.5 reaches the box plane.
    const Vaq::Line3d line = camera.unproject(22, 10, 0.0);
    expectNear(line.getPoint(), V(5, 2, 10.25));
    expectNear(line.getDirection(), V(0, 0, -1));
    expectNear(camera.getInverse3d2dTransformation().transform(V(22, 10, 0.5)), V(5, 2, 5));

    // Pan (1, -1) view units at 2 pixels each; a pan along z moves the depth range with the
    // scene, so the centre stays at mid depth.
    camera.setTranslation(V(1, -1, 3));
    expectNear(camera.get3d2dTransformation().transform(V(4, 2, 5)), V(22, 8, 0.5));
    // A scale of 20 units over 20 pixels: 1 pixel per unit. fitView drops scale and pan.
    camera.setScale(20.0);
    expectNear(camera.get3d2dTransformation().transform(V(5, 2, 5)), V(22, 9, 0.5));
    camera.fitView();
    EXPECT_EQ(camera.getScale(), 10.0);
    expectNear(camera.get3d2dTransformation().transform(V(4, 2, 5)), V(20, 10, 0.5));
}

TEST(Camera, ViewDirectionFollowsRotationAndAxisStretch)
{
    GL::Camera camera = boxCamera();
    expectNear(camera.getViewDirection(), V(0, 0, -1));
    const double quarter = std::numbers::pi / 2;

    // A quarter turn about z takes model +x to screen up: (5, 2, 5) moves 2 pixels up.
    camera.setRotation(V(0, 0, quarter));
    expectNear(camera.getViewDirection(), V(0, 0, -1));
    expectNear(camera.get3d2dTransformation().transform(V(5, 2, 5)), V(20, 12, 0.5));

    // A quarter turn about y takes model +x to view (cos 90, 0, -sin 90) = -z: the viewer now
    // looks along +x, and (5, 2, 5) lies one unit behind the centre: depth 0.5 + 0.5 / 5.25.
    camera.setRotation(V(0, quarter, 0));
    expectNear(camera.getViewDirection(), V(1, 0, 0));
    expectNear(camera.get3d2dTransformation().transform(V(5, 2, 5)), V(20, 10, 0.5 + 0.5 / 5.25));

    // 45 degrees about x: view -z comes back through the transposed rotation as
    // (0, -sin 45, -cos 45); undoing a stretch of 2 along y halves y: (0, -1, -2) / sqrt 5.
    camera.setRotation(V(std::numbers::pi / 4, 0, 0));
    camera.setAxisScale(V(1, 2, 1));
    expectNear(camera.getViewDirection(), V(0, -1, -2) * (1.0 / std::sqrt(5.0)));
    expectNear(camera.unproject(7, 3, 0.2).getDirection(), camera.getViewDirection());
    // The stretch widens the box to sides 6 and 16: the fitted scale is its diagonal.
    EXPECT_NEAR(camera.getScale(), std::sqrt(36.0 + 256.0), 1e-12);
}

TEST(Camera, BadValuesAreRefusedAndChangeNothing)
{
    GL::Camera camera = boxCamera();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(camera.setViewVolume(V(8, 0, 0), V(7, 1, 1)));
    EXPECT_FALSE(camera.setViewVolume(V(0, 0, 0), V(1, nan, 1)));
    EXPECT_EQ(progErrorMessage([&] { camera.setScale(0.0); }), "scale must be positive");
    EXPECT_EQ(progErrorMessage([&] { camera.setScale(-1.0); }), "scale must be positive");
    EXPECT_EQ(progErrorMessage([&] { camera.setRotation(V(0, nan, 0)); }), "rotation must be finite");
    EXPECT_EQ(
        progErrorMessage([&] { camera.setTranslation(V(0, 0, std::numeric_limits<double>::infinity())); }),
        "translation must be finite");
    EXPECT_EQ(
        progErrorMessage([&] { camera.setAxisScale(V(1, 0, 1)); }), "axis scale must be finite and not zero");
    expectNear(camera.get3d2dTransformation().transform(V(5, 2, 5)), V(22, 10, 0.5));
}

} // namespace
