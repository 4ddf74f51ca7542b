// The shapes behind the drawing routines, without GL: vector helpers, the marker's
// icosahedron, arc tessellation and the figures built from them.
#include "gcad/renderers/gcad_tessellation.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

using namespace Vaq;
using namespace Vaq::GCAD::Tessellation;

namespace {

using Vec = BaVec3d<double>;

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

void expectNear(const Vec &a, const Vec &b)
{
    EXPECT_NEAR((a - b).length(), 0.0, 1e-12) << a.x << " " << a.y << " " << a.z;
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

} // namespace
