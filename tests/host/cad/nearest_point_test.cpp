// The nearest point of a mesh: the triangle kernel in each of its regions, the hierarchy
// against a plain loop over every triangle, the search limit, and the sign at faces, edges and
// corners, where a single face normal would get it wrong.
#include "gcad/host/cad/vaq_cad_triangle_bvh.h"
#include "gcad/host/cad/vaq_cad_triangle_point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <numeric>
#include <random>
#include <tuple>

using namespace Vaq;
using namespace Vaq::CAD;

namespace {

using P = BaVec3d<double>;

const P A { 0, 0, 0 }, B { 2, 0, 0 }, C { 0, 2, 0 };

void expectPoint(const TrianglePoint &actual, const P &point, TriangleFeature feature)
{
    EXPECT_NEAR(actual.point.x, point.x, 1e-12);
    EXPECT_NEAR(actual.point.y, point.y, 1e-12);
    EXPECT_NEAR(actual.point.z, point.z, 1e-12);
    EXPECT_EQ(int(actual.feature), int(feature));
}

std::vector<uint32_t> allOf(std::size_t count)
{
    std::vector<uint32_t> all(count);
    std::iota(all.begin(), all.end(), 0u);
    return all;
}

// The unit cube, corner k at (k & 1, k >> 1 & 1, k >> 2 & 1), two outward triangles per face.
struct Cube
{
    std::vector<P> vertices;
    std::vector<Triangle> triangles = { { 0, 2, 3 }, { 0, 3, 1 }, { 0, 1, 5 }, { 0, 5, 4 }, { 0, 4, 6 },
        { 0, 6, 2 }, { 1, 3, 7 }, { 1, 7, 5 }, { 2, 6, 7 }, { 2, 7, 3 }, { 4, 5, 7 }, { 4, 7, 6 } };
    Cube()
    {
        for (int k = 0; k < 8; ++k)
            vertices.emplace_back(k & 1, k >> 1 & 1, k >> 2 & 1);
    }
};

} // namespace

TEST(ClosestPointOnTriangle, eachCornerEdgeAndTheInsideAndATriangleWithoutArea)
{
    using F = TriangleFeature;
    // Beyond a corner, the corner; beside an edge, the foot on it; above the inside, the foot.
    expectPoint(closestPointOnTriangle({ -1, -1, 3 }, A, B, C), A, F::CORNER_A);
    expectPoint(closestPointOnTriangle({ 3, -1, 0 }, A, B, C), B, F::CORNER_B);
    expectPoint(closestPointOnTriangle({ -0.5, 4, -1 }, A, B, C), C, F::CORNER_C);
    expectPoint(closestPointOnTriangle({ 1, -2, 1 }, A, B, C), { 1, 0, 0 }, F::EDGE_AB);
    expectPoint(closestPointOnTriangle({ 2, 2, 0 }, A, B, C), { 1, 1, 0 }, F::EDGE_BC);
    expectPoint(closestPointOnTriangle({ -3, 0.5, 0 }, A, B, C), { 0, 0.5, 0 }, F::EDGE_CA);
    expectPoint(closestPointOnTriangle({ 0.5, 0.7, -4 }, A, B, C), { 0.5, 0.7, 0 }, F::FACE);
    // Collinear corners: the nearest point of the longest edge, never NaN.
    expectPoint(closestPointOnTriangle({ 1.5, 1, 0 }, A, { 1, 0, 0 }, B), { 1.5, 0, 0 }, F::EDGE_CA);
    expectPoint(closestPointOnTriangle({ 1, 1, 1 }, A, A, A), A, F::CORNER_A);
}

TEST(TriangleBvhNearest, findsWhatALoopOverEveryTriangleFindsWithinTheLimitWithAndWithoutHint)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    // A small soup, and one big enough to be built on two threads.
    for (const auto &[count, queries, size, maxDistance] :
        { std::tuple(3000u, 2000, 0.05, 0.04), std::tuple(150000u, 150, 0.01, 0.01) }) {
        std::uniform_real_distribution<double> small(-size, size);
        std::vector<P> vertices;
        std::vector<Triangle> triangles;
        for (uint32_t i = 0; i < count; ++i) {
            const P centre { unit(random), unit(random), unit(random) };
            for (int k = 0; k < 3; ++k)
                vertices.push_back(centre + P { small(random), small(random), small(random) });
            triangles.push_back({ 3 * i, 3 * i + 1, 3 * i + 2 });
        }
        const TriangleBvh bvh(vertices, triangles, allOf(triangles.size()));
        int found = 0, beyond = 0;
        uint32_t hint = TriangleBvh::NO_HINT;
        for (int q = 0; q < queries; ++q) {
            const P p { unit(random) * 1.2 - 0.1, unit(random) * 1.2 - 0.1, unit(random) * 1.2 - 0.1 };
            double nearest = INFINITY;
            for (const Triangle &t : triangles) {
                const P foot
                    = closestPointOnTriangle(p, vertices[t[0]], vertices[t[1]], vertices[t[2]]).point;
                nearest = std::min(nearest, (p - foot).length());
            }
            NearestPoint plain, hinted;
            const bool hit = bvh.nearest(p, maxDistance, TriangleBvh::NO_HINT, &plain);
            // A hint far off (the previous query's triangle) must not change the answer.
            const bool hitHinted = bvh.nearest(p, maxDistance, hint, &hinted);
            ASSERT_EQ(hit, nearest <= maxDistance) << count << " " << q;
            ASSERT_EQ(hitHinted, hit) << q;
            if (!hit) {
                ++beyond;
                continue;
            }
            ++found;
            hint = plain.triangle;
            EXPECT_NEAR(plain.distance, nearest, 1e-12);
            EXPECT_NEAR(hinted.distance, nearest, 1e-12);
            EXPECT_NEAR((p - plain.point).length(), nearest, 1e-12);
            EXPECT_NEAR(std::abs(plain.signedDistance), nearest, 1e-12);
        }
        // Both outcomes occur often enough to mean something.
        EXPECT_GT(found, queries / 10) << count;
        EXPECT_GT(beyond, queries / 10) << count;
    }
}

TEST(TriangleBvhNearest, signIsPositiveOutsideAndNegativeInsideAtFacesEdgesAndCorners)
{
    const Cube cube;
    const TriangleBvh bvh(cube.vertices, cube.triangles, allOf(cube.triangles.size()));
    NearestPoint n;
    const struct
    {
        P point;
        double expected;
    } cases[] = {
        { { 0.5, 0.5, 1.25 }, 0.25 }, // above the top face
        { { 0.5, 0.5, 0.9 }, -0.1 }, // under it, inside
        { { 1.3, 0.5, 1.4 }, 0.5 }, // beyond the edge x = 1, z = 1
        { { 0.5, 0.6, 0.55 }, -0.4 }, // inside, nearest to the face y = 1
        { { 1.2, 1.2, 1.1 }, std::sqrt(0.09) }, // beyond the corner (1, 1, 1)
        { { 0.9, 0.9, 0.9 }, -0.1 }, // inside, equally near three faces at the corner
        { { -0.2, -0.2, -0.2 }, std::sqrt(0.12) }, // beyond the corner at the origin
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(bvh.nearest(c.point, 10.0, TriangleBvh::NO_HINT, &n));
        EXPECT_NEAR(n.signedDistance, c.expected, 1e-12) << c.point.x << " " << c.point.y << " " << c.point.z;
    }
    // Nothing within the limit: no answer, and the result keeps what it had.
    n.distance = -1.0;
    EXPECT_FALSE(bvh.nearest({ 0.5, 0.5, 3.0 }, 1.99, TriangleBvh::NO_HINT, &n));
    EXPECT_EQ(n.distance, -1.0);
    EXPECT_TRUE(bvh.nearest({ 0.5, 0.5, 3.0 }, 2.0, TriangleBvh::NO_HINT, &n));
    EXPECT_FALSE(bvh.nearest({ 0.5, 0.5, 0.5 }, -1.0, TriangleBvh::NO_HINT, &n));
}

TEST(TriangleBvhNearest, aSharpEdgeTakesItsSignFromBothFacesNotFromTheOneThatWasFoundFirst)
{
    // A closed wedge along y with a 20 degree edge at x = 1: its faces' outward normals are 160
    // degrees apart, so a point outside the edge can lie behind one face's plane.
    const double half = 10.0 * std::numbers::pi / 180.0;
    const double h = std::tan(half);
    const std::vector<P> vertices
        = { { 0, 0, -h }, { 1, 0, 0 }, { 0, 0, h }, { 0, 1, -h }, { 1, 1, 0 }, { 0, 1, h } };
    const std::vector<Triangle> triangles = { { 0, 4, 1 }, { 0, 3, 4 }, { 1, 5, 2 }, { 1, 4, 5 }, { 2, 3, 0 },
        { 2, 5, 3 }, { 0, 1, 2 }, { 3, 5, 4 } };
    const TriangleBvh bvh(vertices, triangles, allOf(triangles.size()));
    const P lower = P(std::sin(half), 0, -std::cos(half)), upper = P(std::sin(half), 0, std::cos(half));
    for (const P &side : { lower + upper * 0.2, upper + lower * 0.2 }) {
        // Both outward normals weighted positively: outside, nearest to the edge.
        const P p = P { 1, 0.5, 0 } + side * 0.01;
        NearestPoint n;
        ASSERT_TRUE(bvh.nearest(p, 1.0, TriangleBvh::NO_HINT, &n));
        EXPECT_NEAR(n.point.x, 1.0, 1e-12);
        EXPECT_GT(n.signedDistance, 0.0);
        EXPECT_NEAR(n.signedDistance, (p - P { 1, 0.5, 0 }).length(), 1e-12);
        // The point lies behind the plane of the face its side vector leans away from.
        EXPECT_LT((p - n.point).dot(side == lower + upper * 0.2 ? upper : lower), 0.0);
    }
}
