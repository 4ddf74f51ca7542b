// Section rectangles: the minimal rectangle of element boxes on a plane, and the preview a
// new section starts from.
#include "gcad/clipping/gcad_clipping_interface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

using namespace Vaq;
using namespace Vaq::GCAD;
using CAD::ElementCreator;
using CAD::StageIdentifier;

namespace {

const StageIdentifier STAGE { 1 };
const Plane3d XY_PLANE({ 0, 0, 0.5 }, { 0, 0, 1 });

std::unique_ptr<CAD::Element> boxed(const Box3d &box)
{
    auto element = std::make_unique<CAD::Element>(ElementCreator::SPHERE);
    element->setBoundingBox(STAGE, CAD::BBT_GEOMETRY, box);
    return element;
}

// Whether p lies in the rectangle (within eps), in its own coordinates.
bool contains(const LimitedPlane3d &r, const BaVec3d<double> &p, double eps = 1e-9)
{
    const BaVec3d<double> d = p - r.reference;
    const double s = d.dot(r.firstDirection), t = d.dot(r.secondDirection);
    return std::abs(d.dot(r.normal)) < eps && s > -eps && s < r.width + eps && t > -eps && t < r.height + eps;
}

std::set<std::pair<long, long>> roundedCorners(const LimitedPlane3d &r)
{
    std::set<std::pair<long, long>> corners;
    for (const BaVec3d<double> &c : r.getCorners()) {
        EXPECT_NEAR(c.z, XY_PLANE.getPoint().z, 1e-9);
        corners.emplace(std::lround(c.x * 1000), std::lround(c.y * 1000));
    }
    return corners;
}

} // namespace

TEST(MinRectangle, FollowsADiagonalRowOfBoxesAndHoldsEveryProjectedCorner)
{
    // Two unit cubes on the diagonal: along it the rectangle is 11 sqrt(2) by sqrt(2), area 22,
    // where the axis-parallel one would have area 121.
    const auto a = boxed(Box3d({ 0, 0, 0 }, { 1, 1, 1 }));
    const auto b = boxed(Box3d({ 10, 10, 0 }, { 11, 11, 1 }));
    LimitedPlane3d r;
    ASSERT_TRUE(ClippingInterface::calcMinRectangle(
        { { a.get(), STAGE }, { b.get(), STAGE } }, XY_PLANE, &r, CAD::BBT_GEOMETRY));
    EXPECT_NEAR(r.width * r.height, 22.0, 1e-9);
    EXPECT_NEAR(std::max(r.width, r.height), 11.0 * std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(std::abs(r.normal.z), 1.0, 1e-12);
    EXPECT_NEAR(r.firstDirection.length(), 1.0, 1e-12);
    EXPECT_NEAR(r.firstDirection.dot(r.secondDirection), 0.0, 1e-12);
    for (const auto *box : { a.get(), b.get() }) {
        Box3d bb;
        box->getBoundingBox(STAGE, CAD::BBT_GEOMETRY, CAD::CCS_WORLD, bb);
        for (BaVec3d<double> corner : bb.getCorners()) {
            corner.z = 0.5; // projected onto the plane
            EXPECT_TRUE(contains(r, corner)) << corner.x << " " << corner.y;
        }
    }
}

TEST(MinRectangle, IsFalseWhenTheBoxesSpanNoAreaOnThePlane)
{
    LimitedPlane3d r;
    r.width = 7.0;
    EXPECT_FALSE(ClippingInterface::calcMinRectangle({}, XY_PLANE, &r, CAD::BBT_GEOMETRY));
    // An element without a box for the stage.
    CAD::Element bare(ElementCreator::SPHERE);
    EXPECT_FALSE(ClippingInterface::calcMinRectangle({ { &bare, STAGE } }, XY_PLANE, &r, CAD::BBT_GEOMETRY));
    // A flat box standing on edge to the plane projects onto a line.
    const auto sheet = boxed(Box3d({ 0, 2, 0 }, { 5, 2, 3 }));
    EXPECT_FALSE(
        ClippingInterface::calcMinRectangle({ { sheet.get(), STAGE } }, XY_PLANE, &r, CAD::BBT_GEOMETRY));
    // A plane without a normal.
    const auto cube = boxed(Box3d({ 0, 0, 0 }, { 1, 1, 1 }));
    EXPECT_FALSE(ClippingInterface::calcMinRectangle(
        { { cube.get(), STAGE } }, Plane3d({ 0, 0, 0 }, { 0, 0, 0 }), &r, CAD::BBT_GEOMETRY));
    EXPECT_EQ(r.width, 7.0);
}

TEST(SectionPreview, IsTheMinimalRectangleWhenItIsLargeEnough)
{
    const auto plate = boxed(Box3d({ 0, 0, 0 }, { 40, 20, 1 }));
    LimitedPlane3d r;
    ClippingInterface::calcPreviewPlaneForSectionCreation(
        { { plate.get(), STAGE } }, XY_PLANE, &r, CAD::BBT_GEOMETRY);
    EXPECT_EQ(roundedCorners(r),
        (std::set<std::pair<long, long>> { { 0, 0 }, { 40000, 0 }, { 40000, 20000 }, { 0, 20000 } }));
}

TEST(SectionPreview, FallsBackToASquareAboutTheFootOfTheBoxCentre)
{
    LimitedPlane3d r;
    // Nothing at all: the 200 square about the foot of the origin.
    ClippingInterface::calcPreviewPlaneForSectionCreation({}, XY_PLANE, &r, CAD::BBT_GEOMETRY);
    EXPECT_EQ(roundedCorners(r),
        (std::set<std::pair<long, long>> {
            { -100000, -100000 }, { 100000, -100000 }, { 100000, 100000 }, { -100000, 100000 } }));
    EXPECT_NEAR(r.width, 200.0, 1e-9);
    EXPECT_NEAR(r.height, 200.0, 1e-9);

    // A thin strip, 50 by 4: narrower than 10, so a 50 square about (25, 2) on the plane.
    const auto strip = boxed(Box3d({ 0, 0, 0 }, { 50, 4, 1 }));
    ClippingInterface::calcPreviewPlaneForSectionCreation(
        { { strip.get(), STAGE } }, XY_PLANE, &r, CAD::BBT_GEOMETRY);
    EXPECT_EQ(roundedCorners(r),
        (std::set<std::pair<long, long>> {
            { 0, -23000 }, { 50000, -23000 }, { 50000, 27000 }, { 0, 27000 } }));

    // Boxes shorter than 1 across count as the box from -100 to 100.
    const auto speck = boxed(Box3d({ 30, 30, 30 }, { 30.2, 30.2, 30.2 }));
    ClippingInterface::calcPreviewPlaneForSectionCreation(
        { { speck.get(), STAGE } }, XY_PLANE, &r, CAD::BBT_GEOMETRY);
    EXPECT_NEAR(r.getCenter().x, 0.0, 1e-9);
    EXPECT_NEAR(r.getCenter().y, 0.0, 1e-9);
    EXPECT_NEAR(r.width, 200.0, 1e-9);

    // On a slanted plane the square stays on the plane and square.
    const Plane3d slanted({ 1, 2, 3 }, { 1, 1, 0 });
    ClippingInterface::calcPreviewPlaneForSectionCreation({}, slanted, &r, CAD::BBT_GEOMETRY);
    for (const BaVec3d<double> &c : r.getCorners())
        EXPECT_NEAR(slanted.distance(c), 0.0, 1e-9);
    EXPECT_NEAR(r.firstDirection.dot(r.secondDirection), 0.0, 1e-12);
    EXPECT_NEAR((r.getCenter() - slanted.perpend({ 0, 0, 0 })).length(), 0.0, 1e-9);
}
