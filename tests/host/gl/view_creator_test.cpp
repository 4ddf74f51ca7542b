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

TEST(ViewCreator, NamesListTheSidesTheViewerStandsOnAndTheRotationTurnsThemTowardsTheViewer)
{
    const char *names[] = { "x+", "x-", "y+", "y-", "z+", "z-", "x+y+z+", "x-y+z+", "x+y-z+", "x+y+z-",
        "x-y-z+", "x-y+z-", "x+y-z-", "x-y-z-" };
    for (int d = 0; d < ViewCreator::VD_NONE; ++d) {
        const auto direction = ViewCreator::ViewDirection_t(d);
        const QString name = QString::fromLatin1(names[d]);
        EXPECT_EQ(ViewCreator::getViewName(direction), name);
        BaVec3d<double> angles(9, 9, 9);
        EXPECT_EQ(ViewCreator::getViewForName(name, &angles), direction);
        // Standing on those sides, the viewer looks along minus their sum.
        BaVec3d<double> sides;
        for (int axis = 0; axis < 3; ++axis) {
            const qsizetype at = name.indexOf(QChar('x' + axis));
            sides[axis] = at < 0 ? 0.0 : (name[at + 1] == '+' ? 1.0 : -1.0);
        }
        const BaVec3d<double> looking = ViewCreator::getViewDirectionVector(direction);
        EXPECT_NEAR((looking + sides.normalized()).length(), 0.0, 1e-12) << names[d];
        const auto opposite = ViewCreator::getOppositeDirection(direction);
        EXPECT_NEAR((ViewCreator::getViewDirectionVector(opposite) + looking).length(), 0.0, 1e-12)
            << names[d];
        // The viewer sits on +z of eye space, so the look direction must come out as -z.
        const BaVec3d<double> eye = rotationOf(angles).transformVector(looking);
        EXPECT_NEAR((eye - BaVec3d<double>(0, 0, -1)).length(), 0.0, 1e-12) << names[d];
    }
    // Side views keep z up on screen.
    BaVec3d<double> angles;
    ASSERT_TRUE(ViewCreator::getRotationForView(ViewCreator::VD_X_PLUS, &angles));
    EXPECT_NEAR(rotationOf(angles).transformVector({ 0, 0, 1 }).y, 1.0, 1e-12);
    EXPECT_FALSE(ViewCreator::getRotationForView(ViewCreator::VD_NONE, &angles));

    // Upper case, blanks and "iso" are understood; anything else is no view.
    const std::pair<const char *, ViewCreator::ViewDirection_t> others[]
        = { { "iso", ViewCreator::VD_XP_YP_ZP }, { "X+", ViewCreator::VD_X_PLUS },
              { " z- ", ViewCreator::VD_Z_MINUS }, { "x", ViewCreator::VD_NONE } };
    for (const auto &[name, direction] : others)
        EXPECT_EQ(ViewCreator::getViewForName(QString::fromLatin1(name)), direction) << name;
    EXPECT_EQ(ViewCreator::getOppositeDirection(ViewCreator::VD_NONE), ViewCreator::VD_NONE);
}

} // namespace
