// The shapes behind the drawing routines, without GL: vector helpers, the marker's
// icosahedron, arc tessellation and the figures built from them.
#include "gcad/renderers/gcad_tessellation.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
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

// Every face of the batch (taken corners at a time) looks away from the line through point
// along axis, or from the point itself for a zero axis; faces that shrink to a line have no side.
void expectFacingAway(
    const Batch &batch, std::size_t corners, const Vec &point, const Vec &axis, bool away = true)
{
    for (std::size_t f = 0; f + corners <= batch.cornerCount(); f += corners) {
        const Vec &p = batch.corner(f), &q = batch.corner(f + 1), &r = batch.corner(f + 2);
        const Vec normal = (q - p).cross(r - p);
        Vec out = (p + q + r) * (1.0 / 3.0) - point;
        out -= axis * out.dot(axis);
        if (normal.length() > 1e-12) {
            EXPECT_EQ(normal.dot(out) > 0.0, away) << "face " << f / corners;
        }
    }
}

// The largest distance of the batch's vertices from the x axis through (0, 1, 1), and their
// reach along x from x0.
std::pair<double, double> extent(const Batch &batch, double x0)
{
    double width = 0, reach = 0;
    for (const Vec &v : batch.vertices) {
        width = std::max(width, std::hypot(v.y - 1, v.z - 1));
        reach = std::max(reach, std::abs(v.x - x0));
    }
    return { width, reach };
}

TEST(Figures, ArrowHeadsPutTheirApexOnTheTipAndFaceOut)
{
    const Vec tip(1, 1, 1), x(1, 0, 0);
    const Batch single = arrowHead(tip, Vec(9, 1, 1), 4.0), twin = doubleArrowHead(tip, Vec(-5, 1, 1), 3.0);
    ASSERT_EQ(single.vertices.size(), 4u * 3u);
    ASSERT_EQ(twin.vertices.size(), 8u * 3u);
    expectFacingAway(single, 3, tip, x);
    expectFacingAway(twin, 3, tip, x);
    for (const Vec &v : single.vertices)
        EXPECT_GE(v.x, tip.x); // the body lies towards the direction point
    // Half widths of length x sin 15 degrees; the double head's diamond sits at two thirds.
    EXPECT_NEAR(extent(single, tip.x).first, 4.0 * std::sin(M_PI / 12), 1e-12);
    EXPECT_DOUBLE_EQ(extent(single, tip.x).second, 4.0);
    EXPECT_NEAR(extent(twin, tip.x).first, 2.0 * std::sin(M_PI / 12), 1e-12);
    EXPECT_DOUBLE_EQ(extent(twin, tip.x).second, 3.0);
}

TEST(Figures, SpheresAndParaboloidsLieOnTheirSurfacesAndFaceOut)
{
    const Vec centre(2, -1, 3);
    const Batch sphere = surfaceOfRevolution(halfCircle(1.5, 8), 8, Transformation::translation(centre));
    // 8 rings of 8 quads over 9 x 9 shared corners.
    ASSERT_EQ(sphere.cornerCount(), 8u * 8u * 4u);
    ASSERT_EQ(sphere.vertices.size(), 9u * 9u);
    for (std::size_t i = 0; i < sphere.cornerCount(); ++i)
        expectNear(sphere.cornerNormal(i) * 1.5, sphere.corner(i) - centre);
    expectFacingAway(sphere, 4, centre, Vec());
    // Spheres from the kept tables are the surface of revolution to the last bit, whichever
    // sizes were asked for before.
    for (const auto &[at, radius, n] : { std::tuple(centre, 1.5, 8u),
             std::tuple(Vec(-7.25, 0.1, 1e3), 0.3, 50u), std::tuple(Vec(1, 2, -3), 42.0, 8u) }) {
        const Batch kept = GCAD::Tessellation::sphere(at, radius, n);
        const Batch turned = surfaceOfRevolution(halfCircle(radius, n), n, Transformation::translation(at));
        EXPECT_EQ(kept.vertices, turned.vertices) << n;
        EXPECT_EQ(kept.normals, turned.normals) << n;
        EXPECT_EQ(kept.indices, turned.indices) << n;
    }

    // A bowl of focal length 0.5 whose vertex sits at (0, 0, 5), opening along -x: the model
    // maps into its frame by moving the vertex to the origin and turning -x onto +z.
    const Transformation toLocal
        = Transformation::rotation(Vec(0, 1, 0), M_PI / 2) * Transformation::translation(Vec(0, 0, -5));
    const Batch bowl = paraboloid(Paraboloid3d(toLocal, 0.5, 2.0), 12);
    ASSERT_FALSE(bowl.vertices.empty());
    for (std::size_t i = 0; i < bowl.vertices.size(); ++i) {
        const Vec &v = bowl.vertices[i];
        EXPECT_NEAR(-v.x, (v.y * v.y + (v.z - 5) * (v.z - 5)) / 2.0, 1e-9); // depth r^2 / 4f
        EXPECT_LE(-v.x, 2.0 + 1e-9);
        EXPECT_GE(bowl.normals[i].x, 0.0); // away from the focus, which lies along -x
    }
    expectFacingAway(bowl, 3, Vec(-10, 0, 5), Vec());
    EXPECT_TRUE(paraboloid(Paraboloid3d(toLocal, -1.0, 2.0), 12).vertices.empty());
}

TEST(Figures, CylindersAndConesShowBothSidesAndConesNeedAnApex)
{
    // Outside first, then inside with the opposite winding and normals.
    // Each side shares the corners of its two rims: 2 x 361 of them.
    const Batch tube = cylinder(Vec(0, 0, 1), Vec(0, 0, 2), 0.5, 4.0);
    ASSERT_EQ(tube.cornerCount(), 2u * 360u * 4u);
    ASSERT_EQ(tube.vertices.size(), 4u * 361u);
    Batch outside, inside;
    for (std::size_t i = 0; i < tube.cornerCount(); ++i)
        (i < 1440 ? outside : inside).vertices.push_back(tube.corner(i));
    expectFacingAway(outside, 4, Vec(), Vec(0, 0, 1));
    expectFacingAway(inside, 4, Vec(), Vec(0, 0, 1), false);
    for (std::size_t i = 0; i < tube.cornerCount(); ++i) {
        const Vec &v = tube.corner(i);
        EXPECT_NEAR(std::abs(v.z - 1.0), 2.0, 1e-12);
        EXPECT_NEAR(tube.cornerNormal(i).dot(Vec(v.x, v.y, 0) * 2.0), i < 1440 ? 1.0 : -1.0, 1e-12);
    }

    // Radii 2 and 1 four apart: the sides meet 8 from the wide end, whichever end comes first.
    const Cone3d cone(Vec(0, 0, 4), 1.0, Vec(0, 0, 0), 2.0);
    Vec apex, swapped;
    ASSERT_TRUE(coneApex(cone, &apex));
    ASSERT_TRUE(coneApex(Cone3d(Vec(0, 0, 0), 2.0, Vec(0, 0, 4), 1.0), &swapped));
    EXPECT_NEAR((apex - Vec(0, 0, 8)).length(), 0.0, 1e-9);
    EXPECT_NEAR((swapped - Vec(0, 0, 8)).length(), 0.0, 1e-9);
    EXPECT_FALSE(coneApex(Cone3d(Vec(0, 0, 0), 1.0, Vec(0, 0, 4), 1.0), &apex)); // parallel sides
    const Batch surface = coneSurface(cone, Vec(0, 0, 8));
    ASSERT_EQ(surface.cornerCount(), 2u * 360u * 4u);
    for (std::size_t i = 0; i < surface.cornerCount(); ++i) {
        const Vec side = surface.corner(i) - Vec(0, 0, 8);
        EXPECT_NEAR(surface.cornerNormal(i).dot(side), 0.0, 1e-9); // square to the side line
        EXPECT_EQ(surface.cornerNormal(i).dot(Vec(side.x, side.y, 0)) > 0, i < 1440) << i;
    }
}

TEST(Figures, RoundedRectanglesTurnClockwiseCornerByCornerAndSlotsHaveRoundEnds)
{
    const Vec up(0, 0, 1);
    const RoundedRectangle box = roundedRectangle(Vec(0, 0, 0), Vec(6, 0, 0), up, 4.0, 0.5);
    for (int k = 0; k < 4; ++k) { // each arc starts where the last one turned to, clockwise about +z
        const Vec &s = box.starts[k];
        expectNear(Vec(s.y, -s.x, s.z), box.starts[(k + 1) % 4]);
    }
    // Corners sit 1.5 in from the outline, which reaches 2 beyond both ends.
    for (const Vec &c : box.centres)
        EXPECT_TRUE(std::abs(c.y) == 1.5 && (c.x == 7.5 || c.x == -1.5)) << c.x << " " << c.y;
    EXPECT_EQ(box.sides.size(), 8u);
    for (const Vec &p : box.quads)
        EXPECT_TRUE(std::abs(p.y) <= 2.0 && p.x >= -2.0 && p.x <= 8.0) << p.x << " " << p.y;

    // A slot: two half circles, each two quarters about one end centre, and two straight sides.
    const RoundedRectangle slot = roundedRectangle(Vec(0, 0, 0), Vec(6, 0, 0), up, 4.0, 5.0);
    EXPECT_EQ(slot.radius, 2.0);
    EXPECT_EQ(slot.centres, (std::array<Vec, 4> { Vec(6, 0, 0), Vec(6, 0, 0), Vec(0, 0, 0), Vec(0, 0, 0) }));
    EXPECT_EQ(slot.sides.size(), 4u);
    expectNear(slot.centres[0] + slot.starts[0], Vec(6, 2, 0)); // the far end's arc runs over +x
}

TEST(Figures, AxisArrowsKeepTheirProportionsAndThinOnesHalveThem)
{
    for (bool thin : { false, true }) {
        // Along x from (1, 1, 1), L = 10: head 1.5 long and 0.35 wide, shaft 0.15 thick.
        const AxisArrow arrow = axisArrow(thin, Vec(1, 1, 1), Vec(5, 0, 0));
        ASSERT_EQ(arrow.head.vertices.size(), 12u * 2u * 3u);
        const double f = thin ? 0.5 : 1.0;
        EXPECT_NEAR(extent(arrow.head, 1).first, 0.35 * f, 1e-12);
        EXPECT_DOUBLE_EQ(extent(arrow.head, 1).second, 5.0);
        EXPECT_NEAR(extent(arrow.shaft, 1).first, 0.15 * f, 1e-12);
        EXPECT_NEAR(extent(arrow.shaft, 1).second, 5.0 - 1.5 * f, 1e-12);
        expectFacingAway(arrow.shaft, 4, Vec(1, 1, 1), Vec(1, 0, 0));
    }
    // A jaw along x whose back lies against +y falls back 1 from its edge (45-degree flanks
    // reaching 1 to each side) and closes round its inside.
    const Jaw jaw = caliperJaw(Vec(0, 0, 0), Vec(2, 0, 0), Vec(0, 1, 0), 4.0, 2.0);
    for (const Vec &v : jaw.faces.vertices)
        EXPECT_NEAR(v.y, v.z == 0.0 ? 0.0 : -1.0, 1e-12);
    expectFacingAway(jaw.faces, 3, Vec(0, -2.0 / 3.0, 0), Vec());
}

} // namespace
