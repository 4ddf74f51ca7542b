#include "tests/host/gl/quad_scene.h"

#include "gcad/host/gl/vaq_gl_view_navigation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

namespace GL = Vaq::GL;
namespace Nav = Vaq::GL::ViewNavigation;
using Vaq::BaVec3d;
using Vaq::Test::QuadScene;

namespace {

constexpr int W = 40, H = 30;

struct View
{
    QuadScene scene { W, H };
    std::unique_ptr<GL::RenderObject> view { GL::RenderObject::createRenderObject(&scene, W, H) };
    BaVec3d<double> window(const BaVec3d<double> &p) const
    {
        return view->get3d2dTransformation().transform(p);
    }
};

double distance(const BaVec3d<double> &a, const BaVec3d<double> &b)
{
    return (a - b).length();
}

// Apart on screen: window x and y only (the depth range follows the pan along z).
double apart(const BaVec3d<double> &a, const BaVec3d<double> &b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

TEST(ViewNavigation, EulerAnglesGiveBackTheRotationAlsoInGimbalLock)
{
    for (const BaVec3d<double> &angles : { BaVec3d<double>(0.3, -0.7, 1.1), BaVec3d<double>(-2.5, 1.2, -3.0),
             BaVec3d<double>(0.4, std::numbers::pi / 2, 0.9),
             BaVec3d<double>(0.4, -std::numbers::pi / 2, 0.9) }) {
        const Vaq::Transformation r = Nav::rotationMatrix(angles);
        const Vaq::Transformation back = Nav::rotationMatrix(Nav::eulerAngles(r));
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                EXPECT_NEAR(back(i, j), r(i, j), 1e-9) << angles.x << ' ' << angles.y << ' ' << angles.z;
    }
}

TEST(ViewNavigation, TurnPanAndZoomMoveThePictureAsTheHandDoes)
{
    View v;
    v.view->setRotation({ 0.2, -0.4, 0.1 });
    // A sideways drag across the smaller side turns half a turn about the screen's vertical:
    // the view direction flips.
    const BaVec3d<double> before = v.view->getViewDirection();
    Nav::turn(*v.view, H, 0.0);
    EXPECT_NEAR(distance(v.view->getViewDirection(), before * -1.0), 0.0, 1e-9);
    // Turning about a point keeps that point where it is on screen; without, it moves.
    const BaVec3d<double> centre(0.7, -0.3, 0.5), at = v.window(centre);
    Nav::turn(*v.view, 5.0, -3.0, &centre);
    EXPECT_NEAR(apart(v.window(centre), at), 0.0, 1e-9);
    Nav::turn(*v.view, 5.0, -3.0);
    EXPECT_GT(apart(v.window(centre), at), 0.5);

    // A drag right and down moves the picture right and down (window y counts upward).
    const BaVec3d<double> p(0.2, 0.1, -0.3), from = v.window(p);
    Nav::pan(*v.view, 4.0, 3.0);
    EXPECT_NEAR(apart(v.window(p), from + BaVec3d<double>(4.0, -3.0, 0.0)), 0.0, 1e-9);

    // Zooming at a pixel keeps the model point under it there and scales the rest about it.
    const double scale = v.view->getScale();
    const BaVec3d<double> under = v.window(p);
    Nav::zoomAt(*v.view, under.x, under.y, 0.5);
    EXPECT_DOUBLE_EQ(v.view->getScale(), 0.5 * scale);
    EXPECT_NEAR(apart(v.window(p), under), 0.0, 1e-9);
    const BaVec3d<double> q(-0.4, 0.6, 0.0);
    const BaVec3d<double> offset = v.window(q) - under;
    Nav::zoomAt(*v.view, under.x, under.y, 2.0);
    EXPECT_NEAR(v.window(q).x - under.x, 0.5 * offset.x, 1e-9);
    EXPECT_NEAR(v.window(q).y - under.y, 0.5 * offset.y, 1e-9);
}

} // namespace
