#include "gcad/host/base/vaq_box.h"
#include "gcad/host/base/vaq_cheby.h"
#include "gcad/host/base/vaq_paraboloid.h"
#include "gcad/host/base/vaq_shapes.h"
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

TEST(Box3d, emptyUntilExtendedAndCornersSpanTheBox)
{
    Box3d box;
    EXPECT_TRUE(box.isEmpty());
    box.extend(Box3d()); // an empty box changes nothing
    EXPECT_TRUE(box.isEmpty());
    const Box3d wide({ -1, -2, -3 }, { 1, 2, 3 });
    Box3d around;
    for (const auto &c : wide.getCorners())
        around.extend(c);
    EXPECT_EQ(around, wide);
}

TEST(Cheby, roughSphereContainsAllPointsAndIsNearlyMinimal)
{
    // The corners of a cube of side 2: the minimal sphere has radius sqrt(3).
    std::vector<BaVec3d<double>> points;
    for (const auto &c : Box3d({ -1, -1, -1 }, { 1, 1, 1 }).getCorners())
        points.push_back(c + BaVec3d<double>(10, 0, 0));
    BaVec3d<double> centre;
    double radius = 0;
    ASSERT_TRUE(Cheby::computeOuterSphereRough(points, &centre, &radius));
    for (const auto &p : points)
        EXPECT_LE((p - centre).length(), radius);
    EXPECT_LT(radius, std::sqrt(3.0) * 1.1);
    EXPECT_FALSE(Cheby::computeOuterSphereRough({}, &centre, &radius));
}

TEST(Transformation, composesRightToLeftAndTheInverseUndoesIt)
{
    // Rotate a quarter turn about z, then move by x + 10.
    const Transformation t
        = Transformation::translation({ 10, 0, 0 }) * Transformation::rotation({ 0, 0, 1 }, M_PI / 2);
    expectNear(t.transform({ 1, 0, 0 }), { 10, 1, 0 });
    expectNear(t.transformVector({ 1, 0, 0 }), { 0, 1, 0 });
    Transformation inverse;
    ASSERT_TRUE((t * Transformation::scaling(2, 4, 8)).getInverse(&inverse));
    expectNear(inverse.transform(t.transform({ 1, -4, 8 })), { 0.5, -1, 1 });

    Transformation unchanged = Transformation::translation({ 5, 5, 5 });
    EXPECT_FALSE(Transformation::scaling(1, 1, 0).getInverse(&unchanged));
    EXPECT_EQ(unchanged, Transformation::translation({ 5, 5, 5 }));
}

TEST(Transformation, glMatrixIsColumnMajor)
{
    double gl[16];
    Transformation::translation({ 7, 8, 9 }).getGLTransformation(gl);
    // glTranslate puts the offset in elements 12, 13, 14.
    EXPECT_EQ(gl[12], 7);
    EXPECT_EQ(gl[14], 9);
    EXPECT_EQ(gl[3], 0);
    EXPECT_EQ(Transformation::fromGLTransformation(gl), Transformation::translation({ 7, 8, 9 }));
}

TEST(Transformation, boxOfRotatedBoxContainsCorners)
{
    const Box3d turned
        = Transformation::rotation({ 0, 0, 1 }, M_PI / 4).transformBox(Box3d({ 0, 0, 0 }, { 1, 1, 1 }));
    EXPECT_NEAR(turned.getMin().x, -std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(turned.getMax().y, std::sqrt(2.0), 1e-12);
    EXPECT_TRUE(Transformation().transformBox(Box3d()).isEmpty());
}

TEST(Shapes, RotationAboutAnOffAxisAndTheShapesBuiltOnIt)
{
    // A quarter turn about the vertical line through (1, 1, 0) takes (2, 1, 5) to (1, 2, 5).
    const Transformation quarter
        = Transformation::computeTransformationRotateAxis({ 1, 1, 0 }, { 0, 0, 3 }, M_PI / 2);
    expectNear(quarter.transform({ 2, 1, 5 }), { 1, 2, 5 });
    expectNear(quarter.transform({ 1, 1, -4 }), { 1, 1, -4 });

    // A square's corners follow each other clockwise seen from the normal's tip.
    const RegularPolygon3d square({ 1, 1, 0 }, { 0, 0, 1 }, { 2, 1, 0 }, 4);
    ASSERT_EQ(square.getPoints().size(), 4u);
    expectNear(square.getPoints()[1], { 1, 0, 0 });
    expectNear(square.getPoints()[3], { 1, 2, 0 });
    EXPECT_TRUE(square.isValid());
    EXPECT_FALSE(RegularPolygon3d({ 0, 0, 0 }, { 0, 0, 1 }, { 1, 0, 0 }, 2).isValid());
    EXPECT_FALSE(RegularPolygon3d({ 0, 0, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, 5).isValid());
}

TEST(Paraboloid3d, PointsLieOnTheSurfaceWithNormalsAwayFromTheFocus)
{
    // Focal length 2: z = r^2 / 8; the rim at height 2 has radius 4.
    const Paraboloid3d bowl(Transformation(), 2.0, 2.0);
    EXPECT_DOUBLE_EQ(bowl.getRimRadius(), 4.0);
    BaVec3d<double> point, normal;
    bowl.compute(4.0, M_PI / 2, &point, &normal);
    expectNear(point, { 0, 4, 2 });
    // The slope dz/dr = r / 2f is 1 at the rim: the normal is (0, 1, -1) normalised.
    expectNear(normal, BaVec3d<double>(0, 1, -1).normalized());
    bowl.compute(0.0, 1.0, &point, &normal);
    expectNear(normal, { 0, 0, -1 });
    EXPECT_TRUE(bowl.isValid());
    EXPECT_FALSE(Paraboloid3d(Transformation(), 0.0, 1.0).isValid());
    EXPECT_FALSE(Paraboloid3d(Transformation(), 1.0, std::nan("")).isValid());
}
