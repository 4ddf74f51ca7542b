#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"

#include <gtest/gtest.h>

using Vaq::BaVec3d;
using Vaq::Transformation;
using Vaq::GL::ViewCreator;

namespace {

// The rotation RenderObject builds from Euler angles: z first, then y, then x.
Transformation rotationOf(const BaVec3d<double> &angles)
{
    return Transformation::rotation({ 1, 0, 0 }, angles.x) * Transformation::rotation({ 0, 1, 0 }, angles.y)
        * Transformation::rotation({ 0, 0, 1 }, angles.z);
}

TEST(ViewCreator, NamesMapToTheirDirections)
{
    const struct
    {
        const char *name;
        ViewCreator::ViewDirection_t direction;
    } cases[] = {
        { "x+", ViewCreator::VD_X_PLUS },
        { "x-", ViewCreator::VD_X_MINUS },
        { "y+", ViewCreator::VD_Y_PLUS },
        { "y-", ViewCreator::VD_Y_MINUS },
        { "z+", ViewCreator::VD_Z_PLUS },
        { "z-", ViewCreator::VD_Z_MINUS },
        { "x+y+z+", ViewCreator::VD_XP_YP_ZP },
        { "x-y+z+", ViewCreator::VD_XM_YP_ZP },
        { "x+y-z+", ViewCreator::VD_XP_YM_ZP },
        { "x+y+z-", ViewCreator::VD_XP_YP_ZM },
        { "x-y-z+", ViewCreator::VD_XM_YM_ZP },
        { "x-y+z-", ViewCreator::VD_XM_YP_ZM },
        { "x+y-z-", ViewCreator::VD_XP_YM_ZM },
        { "x-y-z-", ViewCreator::VD_XM_YM_ZM },
        { "iso", ViewCreator::VD_XP_YP_ZP },
        { "X+", ViewCreator::VD_X_PLUS },
        { " z- ", ViewCreator::VD_Z_MINUS },
        { "", ViewCreator::VD_NONE },
        { "x", ViewCreator::VD_NONE },
        { "w+", ViewCreator::VD_NONE },
    };
    for (const auto &c : cases)
        EXPECT_EQ(ViewCreator::getViewForName(QString::fromLatin1(c.name)), c.direction) << c.name;
    // Values 0 to 13 round-trip through their names.
    for (int d = 0; d < ViewCreator::VD_NONE; ++d) {
        const auto direction = ViewCreator::ViewDirection_t(d);
        EXPECT_EQ(ViewCreator::getViewForName(ViewCreator::getViewName(direction)), direction);
    }
    EXPECT_TRUE(ViewCreator::getViewName(ViewCreator::VD_NONE).isEmpty());
}

TEST(ViewCreator, RotationTurnsTheNamedSideTowardsTheViewer)
{
    for (int d = 0; d < ViewCreator::VD_NONE; ++d) {
        const auto direction = ViewCreator::ViewDirection_t(d);
        BaVec3d<double> angles(9, 9, 9);
        ASSERT_TRUE(ViewCreator::getRotationForView(direction, &angles));
        // The viewer sits on +z of eye space, so the side the view is named after must
        // come out as +z, and the look direction as -z.
        const BaVec3d<double> looking = ViewCreator::getViewDirectionVector(direction);
        const BaVec3d<double> eye = rotationOf(angles).transformVector(looking);
        EXPECT_NEAR(eye.x, 0.0, 1e-12) << d;
        EXPECT_NEAR(eye.y, 0.0, 1e-12) << d;
        EXPECT_NEAR(eye.z, -1.0, 1e-12) << d;
        BaVec3d<double> fromName;
        EXPECT_EQ(ViewCreator::getViewForName(ViewCreator::getViewName(direction), &fromName), direction);
        EXPECT_EQ(fromName, angles);
    }
    // Side views keep z up on screen.
    BaVec3d<double> angles;
    ViewCreator::getRotationForView(ViewCreator::VD_X_PLUS, &angles);
    const BaVec3d<double> up = rotationOf(angles).transformVector({ 0, 0, 1 });
    EXPECT_NEAR(up.y, 1.0, 1e-12);
    EXPECT_FALSE(ViewCreator::getRotationForView(ViewCreator::VD_NONE, &angles));
}

TEST(ViewCreator, OppositeDirectionsPairUp)
{
    EXPECT_EQ(ViewCreator::getOppositeDirection(ViewCreator::VD_X_PLUS), ViewCreator::VD_X_MINUS);
    EXPECT_EQ(ViewCreator::getOppositeDirection(ViewCreator::VD_Z_MINUS), ViewCreator::VD_Z_PLUS);
    EXPECT_EQ(ViewCreator::getOppositeDirection(ViewCreator::VD_XP_YP_ZP), ViewCreator::VD_XM_YM_ZM);
    EXPECT_EQ(ViewCreator::getOppositeDirection(ViewCreator::VD_XM_YP_ZP), ViewCreator::VD_XP_YM_ZM);
    EXPECT_EQ(ViewCreator::getOppositeDirection(ViewCreator::VD_NONE), ViewCreator::VD_NONE);
    for (int d = 0; d < ViewCreator::VD_NONE; ++d) {
        const auto direction = ViewCreator::ViewDirection_t(d);
        EXPECT_EQ(ViewCreator::getOppositeDirection(ViewCreator::getOppositeDirection(direction)), direction);
    }
}

TEST(ViewCreator, MainViewDirectionIsNoneWithoutAView)
{
    ViewCreator creator;
    EXPECT_EQ(creator.getMainViewDirection(), ViewCreator::VD_NONE);
    creator.setBackgroundColor(Vaq::Color(1, 2, 3));
    EXPECT_EQ(creator.getBackgroundColor(), Vaq::Color(1, 2, 3));
}

} // namespace
