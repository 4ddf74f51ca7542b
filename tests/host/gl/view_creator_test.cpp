#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"

#include <gtest/gtest.h>

using Vaq::BaVec3d;
using Vaq::Transformation;
using Vaq::GL::ViewCreator;

TEST(ViewCreator, EachNamedViewLooksAtItsSidesAndItsRotationTurnsThatTowardsTheViewer)
{
    const std::tuple<const char *, ViewCreator::ViewDirection_t, BaVec3d<double>> views[] = {
        { "x+", ViewCreator::VD_X_PLUS, { 1, 0, 0 } },
        { " Z- ", ViewCreator::VD_Z_MINUS, { 0, 0, -1 } },
        { "x-y+z-", ViewCreator::VD_XM_YP_ZM, { -1, 1, -1 } },
        { "iso", ViewCreator::VD_XP_YP_ZP, { 1, 1, 1 } },
    };
    for (const auto &[name, direction, sides] : views) {
        BaVec3d<double> angles;
        ASSERT_EQ(ViewCreator::getViewForName(QString::fromLatin1(name), &angles), direction) << name;
        const BaVec3d<double> looking = ViewCreator::getViewDirectionVector(direction);
        EXPECT_NEAR((looking + sides.normalized()).length(), 0.0, 1e-12) << name;
        // Euler angles apply z first, then y, then x; the viewer sits on +z of eye space.
        const Transformation rotation = Transformation::rotation({ 1, 0, 0 }, angles.x)
            * Transformation::rotation({ 0, 1, 0 }, angles.y)
            * Transformation::rotation({ 0, 0, 1 }, angles.z);
        EXPECT_NEAR((rotation.transformVector(looking) - BaVec3d<double>(0, 0, -1)).length(), 0.0, 1e-12)
            << name;
        if (direction == ViewCreator::VD_X_PLUS) { // side views keep z up on screen
            EXPECT_NEAR(rotation.transformVector({ 0, 0, 1 }).y, 1.0, 1e-12);
        }
    }
    EXPECT_EQ(ViewCreator::getViewName(ViewCreator::VD_XM_YP_ZM), QStringLiteral("x-y+z-"));
    EXPECT_EQ(ViewCreator::getViewForName(QStringLiteral("x")), ViewCreator::VD_NONE);
}
