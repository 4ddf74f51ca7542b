#include "gcad/host/base/vaq_box.h"
#include "gcad/host/base/vaq_cheby.h"
#include "gcad/host/base/vaq_plane.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Vaq;

TEST(Box3d, emptyUntilExtendedAndCornersSpanTheBox)
{
    Box3d box;
    EXPECT_TRUE(box.isEmpty());
    box.extend(BaVec3d<double>(1, 2, 3));
    EXPECT_EQ(box, Box3d({ 1, 2, 3 }, { 1, 2, 3 }));
    box.extend(Box3d()); // an empty box changes nothing
    EXPECT_EQ(box.getSize(), BaVec3d<double>(0, 0, 0));

    const Box3d wide({ -1, -2, -3 }, { 1, 2, 3 });
    Box3d around;
    for (const auto &c : wide.getCorners())
        around.extend(c);
    EXPECT_EQ(around, wide);
    EXPECT_EQ(wide.getCorners()[5], BaVec3d<double>(1, -2, 3));
}

TEST(Plane3d, signedDistanceAndEquation)
{
    const Plane3d plane({ 0, 0, 2 }, { 0, 0, 5 });
    EXPECT_DOUBLE_EQ(plane.distance({ 1, 1, 5 }), 3.0);
    double e[4];
    plane.getEquation(e);
    EXPECT_EQ(e[2], 1.0);
    EXPECT_EQ(e[3], -2.0);
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
