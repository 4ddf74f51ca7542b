#include "gcad/host/base/vaq_transformation.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Vaq;

namespace {
void expectNear(const BaVec3d<double> &a, const BaVec3d<double> &b)
{
    EXPECT_NEAR((a - b).length(), 0.0, 1e-12) << a.x << " " << a.y << " " << a.z;
}
} // namespace

TEST(Transformation, composesRightToLeft)
{
    // Rotate a quarter turn about z, then move by x + 10.
    const Transformation t
        = Transformation::translation({ 10, 0, 0 }) * Transformation::rotation({ 0, 0, 1 }, M_PI / 2);
    expectNear(t.transform({ 1, 0, 0 }), { 10, 1, 0 });
    expectNear(t.transformVector({ 1, 0, 0 }), { 0, 1, 0 });
}

TEST(Transformation, inverseUndoesAndSingularIsRefused)
{
    const Transformation t = Transformation::translation({ 1, 2, 3 }) * Transformation::scaling(2, 4, 8)
        * Transformation::rotation({ 1, 1, 0 }, 0.7);
    Transformation inverse;
    ASSERT_TRUE(t.getInverse(&inverse));
    expectNear(inverse.transform(t.transform({ 0.5, -3, 7 })), { 0.5, -3, 7 });

    const Transformation flat = Transformation::scaling(1, 1, 0);
    Transformation unchanged = Transformation::translation({ 5, 5, 5 });
    EXPECT_FALSE(flat.getInverse(&unchanged));
    EXPECT_EQ(unchanged, Transformation::translation({ 5, 5, 5 }));
}

TEST(Transformation, glMatrixIsColumnMajor)
{
    double gl[16];
    Transformation::translation({ 7, 8, 9 }).getGLTransformation(gl);
    // glTranslate puts the offset in elements 12, 13, 14.
    EXPECT_EQ(gl[12], 7);
    EXPECT_EQ(gl[13], 8);
    EXPECT_EQ(gl[14], 9);
    EXPECT_EQ(gl[3], 0);
    EXPECT_EQ(Transformation::fromGLTransformation(gl), Transformation::translation({ 7, 8, 9 }));
}

TEST(Transformation, transformZAndProjectiveDivide)
{
    double m[16] = { 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0 }; // w = z
    const Transformation perspective(m);
    expectNear(perspective.transform({ 2, 4, 2 }), { 1, 2, 1 });
    EXPECT_DOUBLE_EQ(perspective.transformZ({ 2, 4, 2 }), 1.0);
    EXPECT_DOUBLE_EQ(Transformation::translation({ 0, 0, -3 }).transformZ({ 1, 1, 1 }), -2.0);
}

TEST(Transformation, boxOfRotatedBoxContainsCorners)
{
    const Box3d box({ 0, 0, 0 }, { 1, 1, 1 });
    const Box3d turned = Transformation::rotation({ 0, 0, 1 }, M_PI / 4).transformBox(box);
    EXPECT_NEAR(turned.getMin().x, -std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(turned.getMax().x, std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(turned.getMax().y, std::sqrt(2.0), 1e-12);
    EXPECT_TRUE(Transformation().transformBox(Box3d()).isEmpty());
}
