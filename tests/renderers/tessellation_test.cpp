// The shapes behind the drawing routines, without GL: vector helpers, the marker's
// icosahedron, arc tessellation and the figures built from them.
#include "gcad/renderers/gcad_tessellation.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

using namespace Vaq;
using namespace Vaq::GCAD::Tessellation;

namespace {

using Vec = BaVec3d<double>;

void expectNear(const Vec &a, const Vec &b)
{
    EXPECT_NEAR((a - b).length(), 0.0, 1e-12) << a.x << " " << a.y << " " << a.z;
}

TEST(VectorHelpers, PerpendicularDropsTheSmallestComponentAndSetLengthRefusesZero)
{
    // (smallest component, expected): the other two swapped, the second negated.
    EXPECT_EQ(perpendicular(Vec(3, 2, 1)), Vec(2, -3, 0));
    EXPECT_EQ(perpendicular(Vec(1, 3, 2)), Vec(0, 2, -3));
    EXPECT_EQ(perpendicular(Vec(3, -1, 2)), Vec(2, 0, -3));
    // Ties prefer z, then y.
    EXPECT_EQ(perpendicular(Vec(1, 1, 1)), Vec(1, -1, 0));
    EXPECT_EQ(perpendicular(Vec(0, 0, -1)), Vec(-1, 0, 0));
    for (const Vec &v : { Vec(0.3, -7, 2), Vec(1e-3, 5, 5), Vec(-4, 0, 1) })
        EXPECT_EQ(perpendicular(v).dot(v), 0.0);

    Vec v(3, 0, 4);
    ASSERT_TRUE(setLength(&v, 10.0));
    EXPECT_EQ(v, Vec(6, 0, 8));
    Vec tiny(1e-51, 0, 0);
    EXPECT_FALSE(setLength(&tiny, 1.0));
    EXPECT_EQ(tiny, Vec(1e-51, 0, 0));
}

TEST(MarkerTables, TheIcosahedronIsClosedAndEveryFaceLooksOutwards)
{
    std::map<std::pair<int, int>, int> edges; // directed edge -> uses
    for (const auto &t : markerTriangles()) {
        const Vec p = markerVertices()[t[0]], q = markerVertices()[t[1]], r = markerVertices()[t[2]];
        // Counter-clockwise from outside: the face normal points away from the centre.
        EXPECT_GT((q - p).cross(r - p).dot(p + q + r), 0.0) << t[0] << " " << t[1] << " " << t[2];
        // All edges of a regular icosahedron have the same length, 2.
        EXPECT_NEAR((q - p).length(), 2.0, 1e-4);
        for (int i = 0; i < 3; ++i)
            ++edges[{ t[i], t[(i + 1) % 3] }];
    }
    // Closed and consistently wound: each edge is used once in each direction.
    EXPECT_EQ(edges.size(), 60u);
    for (const auto &[edge, uses] : edges) {
        EXPECT_EQ(uses, 1);
        EXPECT_EQ(edges.count({ edge.second, edge.first }), 1u);
    }
    const auto corners = markerCorners(Vec(1, 2, 3), 0.5);
    EXPECT_EQ(corners[4], Vec(1 + 0.5 * 1.61803, 2, 3.5));
}

TEST(Arcs, OneSegmentPerPixelWithinAQuarterTurnAndOneDegree)
{
    const Vec centre(1, 2, 3), normal(0, 0, 1), start(3, 2, 3); // radius 2
    const auto fullCircle = [&](double pixel) {
        return arcPoints(centre, normal, start, arcStep(pixel, 2.0, false, 0, "f"), 2.0 * M_PI);
    };
    // 20 pixels of radius: asin(1/20) per segment, 2 pi / 0.05002 = 125.6 segments.
    EXPECT_EQ(fullCircle(0.1).size(), 126u + 1u);
    // A radius below one pixel: a quarter turn per segment.
    const auto coarse = fullCircle(3.0);
    ASSERT_EQ(coarse.size(), 5u);
    expectNear(coarse[1], Vec(1, 0, 3)); // clockwise seen from the normal's tip
    expectNear(coarse[4], start);
    // Finer than a degree is not drawn: 360 segments and the closing vertex.
    EXPECT_EQ(fullCircle(1e-4).size(), 361u);
    // A part of a turn ends exactly at its sweep, however the steps divide it.
    const auto part = arcPoints(centre, normal, start, arcStep(0.1, 2.0, false, 0, "f"), 1.0);
    EXPECT_EQ(part.size(), 20u + 1u); // 1 / 0.05002 = 19.99 segments
    expectNear(part.back(), centre + Vec(2 * std::cos(-1.0), 2 * std::sin(-1.0), 0));
}

TEST(Arcs, FixedPointsPassThroughTheCornersAndNeedThreeOfThem)
{
    const Vec centre(0, 0, 0), normal(0, 0, 2), start(0, 1, 0);
    for (unsigned n : { 3u, 7u, 360u }) {
        const auto points = arcPoints(centre, normal, start, arcStep(1e-6, 1.0, true, n, "f"), 2.0 * M_PI);
        ASSERT_EQ(points.size(), n + 1) << n;
        expectNear(points.back(), start);
        // Consecutive corners are one n-th of a turn apart, clockwise about the normal.
        const Vec turn = points[0].cross(points[1]);
        EXPECT_NEAR(turn.z, -std::sin(2 * M_PI / n), 1e-12) << n;
    }
    // Even a radius below a pixel keeps the corners.
    EXPECT_NEAR(arcStep(10.0, 1.0, true, 5, "f"), 2 * M_PI / 5, 1e-15);
    EXPECT_EQ(Vaq::Test::progErrorMessage([] { arcStep(0.1, 1.0, true, 2, "f"); }),
        "invalid number of fixed points");
}

// The face normal of each triangle (or quad, from its first three corners) of a batch.
std::vector<Vec> faceNormals(const Batch &batch, std::size_t corners)
{
    std::vector<Vec> normals;
    for (std::size_t i = 0; i + 2 < batch.vertices.size(); i += corners) {
        const Vec &p = batch.vertices[i], &q = batch.vertices[i + 1], &r = batch.vertices[i + 2];
        normals.push_back((q - p).cross(r - p));
    }
    return normals;
}

// Every face of the batch looks away from the line through point along axis (or from the
// point itself for a zero axis): its normal points from the line to the face.
void expectFacingAway(
    const Batch &batch, std::size_t corners, const Vec &point, const Vec &axis, bool away = true)
{
    const auto normals = faceNormals(batch, corners);
    for (std::size_t f = 0; f < normals.size(); ++f) {
        Vec centroid;
        for (std::size_t i = 0; i < corners; ++i)
            centroid += batch.vertices[f * corners + i] * (1.0 / corners);
        Vec out = centroid - point;
        out -= axis * out.dot(axis);
        if (normals[f].length() > 1e-12) { // faces that shrink to a line at a tip have no side
            EXPECT_EQ(normals[f].dot(out) > 0.0, away) << "face " << f;
        }
    }
}

TEST(Figures, ArrowHeadsPointTheirApexAtTheTipWithSidesFacingOut)
{
    const Vec tip(1, 1, 1), x(1, 0, 0);
    const Batch single = arrowHead(tip, Vec(9, 1, 1), 4.0);
    ASSERT_EQ(single.vertices.size(), 12u);
    expectFacingAway(single, 3, tip, x);
    double reach = 0, width = 0;
    for (const Vec &v : single.vertices) {
        reach = std::max(reach, v.x - tip.x);
        EXPECT_GE(v.x, tip.x); // the body lies towards the direction point
        width = std::max(width, (v - Vec(v.x, 1, 1)).length());
    }
    EXPECT_DOUBLE_EQ(reach, 4.0);
    EXPECT_NEAR(width, 4.0 * std::sin(M_PI / 12), 1e-12);

    const Batch twin = doubleArrowHead(tip, Vec(-5, 1, 1), 3.0);
    ASSERT_EQ(twin.vertices.size(), 24u);
    expectFacingAway(twin, 3, tip, x);
    reach = width = 0;
    for (const Vec &v : twin.vertices) {
        reach = std::max(reach, tip.x - v.x);
        width = std::max(width, (v - Vec(v.x, 1, 1)).length());
    }
    EXPECT_DOUBLE_EQ(reach, 3.0);
    EXPECT_NEAR(width, 2.0 * std::sin(M_PI / 12), 1e-12); // the diamond sits at two thirds
}

TEST(Figures, SpheresAndParaboloidsLieOnTheirSurfacesAndFaceOut)
{
    const Vec centre(2, -1, 3);
    const Batch sphere = surfaceOfRevolution(halfCircle(1.5, 8), 8, Transformation::translation(centre));
    ASSERT_EQ(sphere.vertices.size(), 8u * 8u * 4u); // 8 rings of 8 quads
    for (std::size_t i = 0; i < sphere.vertices.size(); ++i) {
        EXPECT_NEAR((sphere.vertices[i] - centre).length(), 1.5, 1e-12);
        EXPECT_NEAR((sphere.normals[i] - (sphere.vertices[i] - centre) * (1 / 1.5)).length(), 0.0, 1e-12);
    }
    expectFacingAway(sphere, 4, centre, Vec());

    // A bowl whose vertex sits at (0, 0, 5), opening along -x: the model maps into its frame by
    // moving the vertex to the origin and turning -x onto +z.
    const Transformation toLocal
        = Transformation::rotation(Vec(0, 1, 0), M_PI / 2) * Transformation::translation(Vec(0, 0, -5));
    const Paraboloid3d bowl(toLocal, 0.5, 2.0);
    const Batch surface = paraboloid(bowl, 12);
    ASSERT_FALSE(surface.vertices.empty());
    for (std::size_t i = 0; i < surface.vertices.size(); ++i) {
        const Vec &v = surface.vertices[i];
        const double r2 = v.y * v.y + (v.z - 5) * (v.z - 5);
        EXPECT_NEAR(-v.x, r2 / 2.0, 1e-9); // depth along -x is r^2 / 4f
        EXPECT_GE(-v.x, -1e-12);
        EXPECT_LE(-v.x, 2.0 + 1e-9);
        EXPECT_GE(surface.normals[i].x, 0.0); // away from the focus, which lies along -x
    }
    for (const Vec &n : faceNormals(surface, 3))
        EXPECT_GT(n.x, 0.0);
    EXPECT_TRUE(paraboloid(Paraboloid3d(toLocal, -1.0, 2.0), 12).vertices.empty());
}

TEST(Figures, CylindersAndConesShowBothSidesAndConesNeedAnApex)
{
    const Vec centre(0, 0, 1), axis(0, 0, 2);
    const Batch tube = cylinder(centre, axis, 0.5, 4.0);
    ASSERT_EQ(tube.vertices.size(), 2u * 360u * 4u);
    for (std::size_t i = 0; i < tube.vertices.size(); ++i) {
        const Vec &v = tube.vertices[i];
        EXPECT_NEAR(std::hypot(v.x, v.y), 0.5, 1e-12);
        EXPECT_NEAR(std::abs(v.z - 1.0), 2.0, 1e-12);
        const bool outside = i < tube.vertices.size() / 2;
        EXPECT_NEAR(tube.normals[i].dot(Vec(v.x, v.y, 0) * 2.0), outside ? 1.0 : -1.0, 1e-12);
    }
    Batch outside, inside;
    outside.vertices.assign(tube.vertices.begin(), tube.vertices.begin() + 1440);
    inside.vertices.assign(tube.vertices.begin() + 1440, tube.vertices.end());
    expectFacingAway(outside, 4, centre, Vec(0, 0, 1));
    expectFacingAway(inside, 4, centre, Vec(0, 0, 1), false);

    // Radii 2 and 1 four apart: the sides meet 8 from the wide end, whichever end comes first.
    const Cone3d cone(Vec(0, 0, 4), 1.0, Vec(0, 0, 0), 2.0);
    Vec apex, swapped;
    ASSERT_TRUE(coneApex(cone, &apex));
    ASSERT_TRUE(coneApex(Cone3d(Vec(0, 0, 0), 2.0, Vec(0, 0, 4), 1.0), &swapped));
    EXPECT_NEAR((apex - Vec(0, 0, 8)).length(), 0.0, 1e-9);
    EXPECT_NEAR((swapped - Vec(0, 0, 8)).length(), 0.0, 1e-9);
    EXPECT_FALSE(coneApex(Cone3d(Vec(0, 0, 0), 1.0, Vec(0, 0, 4), 1.0), &apex)); // parallel sides
    const Batch surface = coneSurface(cone, Vec(0, 0, 8));
    ASSERT_EQ(surface.vertices.size(), 2u * 360u * 4u);
    for (std::size_t i = 0; i < surface.vertices.size(); ++i) {
        const Vec side = surface.vertices[i] - Vec(0, 0, 8);
        EXPECT_NEAR(surface.normals[i].dot(side), 0.0, 1e-9); // square to the side line
        const double out = surface.normals[i].dot(Vec(side.x, side.y, 0));
        EXPECT_EQ(out > 0, i < 1440) << i;
    }
    EXPECT_EQ(coneRims(cone).size(), 4u * 360u);
    // Seen along -y, the outline's sides are the lines at x = +-radius.
    const auto sides = coneSides(cone, Vec(0, -1, 0));
    ASSERT_EQ(sides.size(), 4u);
    EXPECT_NEAR(std::abs(sides[0].x), 1.0, 1e-12);
    EXPECT_NEAR(std::abs(sides[1].x), 2.0, 1e-12);
    EXPECT_NEAR(sides[0].x + sides[2].x, 0.0, 1e-12);
}

TEST(Figures, RoundedRectanglesTurnClockwiseCornerByCornerAndSlotsHaveRoundEnds)
{
    const Vec up(0, 0, 1);
    const auto turnedQuarter = [&](const Vec &v) { return Vec(v.y, -v.x, v.z); }; // clockwise about +z
    const RoundedRectangle box = roundedRectangle(Vec(0, 0, 0), Vec(6, 0, 0), up, 4.0, 0.5);
    for (int k = 0; k < 4; ++k)
        expectNear(turnedQuarter(box.starts[k]), box.starts[(k + 1) % 4]);
    // Corners sit 1.5 in from the outline, which reaches 2 beyond both ends.
    for (const Vec &c : box.centres) {
        EXPECT_DOUBLE_EQ(std::abs(c.y), 1.5);
        EXPECT_TRUE(c.x == 7.5 || c.x == -1.5) << c.x;
    }
    ASSERT_EQ(box.sides.size(), 8u);
    ASSERT_EQ(box.quads.size(), 12u);
    for (const Vec &p : box.quads) {
        EXPECT_LE(std::abs(p.y), 2.0);
        EXPECT_TRUE(p.x >= -2.0 && p.x <= 8.0);
    }
    expectNear(box.middle, Vec(3, 0, 0));

    // A slot: two half circles, each made of two quarters about the same end centre, and two
    // straight sides.
    const RoundedRectangle slot = roundedRectangle(Vec(0, 0, 0), Vec(6, 0, 0), up, 4.0, 5.0);
    EXPECT_EQ(slot.radius, 2.0);
    expectNear(slot.centres[0], Vec(6, 0, 0));
    expectNear(slot.centres[1], Vec(6, 0, 0));
    expectNear(slot.centres[2], Vec(0, 0, 0));
    EXPECT_EQ(slot.sides.size(), 4u);
    expectNear(slot.centres[0] + slot.starts[0], Vec(6, 2, 0)); // the far end's arc runs over +x
}

TEST(Figures, AxisArrowsAndCaliperJawsHaveTheirProportions)
{
    const Vec origin(1, 0, 0), vector(0, 5, 0);
    for (bool thin : { false, true }) {
        const AxisArrow arrow = axisArrow(thin, origin, vector);
        ASSERT_EQ(arrow.head.vertices.size(), 12u * 2u * 3u) << thin;
        ASSERT_EQ(arrow.shaft.vertices.size(), 12u * 4u) << thin;
        // L = 10: head 1.5 long and 0.35 wide, shaft 0.15 thick; all halved when thin.
        const double f = thin ? 0.5 : 1.0;
        double top = 0, headRadius = 0, shaftRadius = 0, shaftEnd = 0;
        for (const Vec &v : arrow.head.vertices) {
            top = std::max(top, v.y);
            headRadius = std::max(headRadius, std::hypot(v.x - 1, v.z));
        }
        for (const Vec &v : arrow.shaft.vertices) {
            shaftRadius = std::max(shaftRadius, std::hypot(v.x - 1, v.z));
            shaftEnd = std::max(shaftEnd, v.y);
        }
        EXPECT_DOUBLE_EQ(top, 5.0);
        EXPECT_NEAR(headRadius, 0.35 * f, 1e-12);
        EXPECT_NEAR(shaftRadius, 0.15 * f, 1e-12);
        EXPECT_NEAR(shaftEnd, 5.0 - 1.5 * f, 1e-12);
        expectFacingAway(arrow.shaft, 4, origin, Vec(0, 1, 0));
    }

    // A jaw along x whose back lies against +y: the edge runs through the position, the body
    // spans 4 along x, 2 across (z) and falls back 1 (45-degree flanks).
    const Jaw jaw = caliperJaw(Vec(0, 0, 0), Vec(2, 0, 0), Vec(0, 1, 0), 4.0, 2.0);
    ASSERT_EQ(jaw.faces.vertices.size(), 8u * 3u);
    EXPECT_EQ(jaw.edges.size(), 18u);
    for (const Vec &v : jaw.faces.vertices) {
        EXPECT_LE(std::abs(v.x), 2.0);
        EXPECT_LE(std::abs(v.z), 1.0);
        EXPECT_NEAR(v.y, v.z == 0.0 ? 0.0 : -1.0, 1e-12);
    }
    expectFacingAway(jaw.faces, 3, Vec(0, -2.0 / 3.0, 0), Vec());
}

} // namespace
