// The shapes behind the drawing routines, without GL: vector helpers, the marker's
// icosahedron, arc tessellation and the figures built from them.
#include "gcad/renderers/gcad_tessellation.h"

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

} // namespace
