// The ray kernels of picking: ray against triangle and box at their edges, for parallel rays and
// from behind, and the triangle hierarchy against a plain test of every triangle.
#include "gcad/host/cad/vaq_cad_ray_hit.h"
#include "gcad/host/cad/vaq_cad_triangle_bvh.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

using namespace Vaq;
using namespace Vaq::CAD;

namespace {

constexpr double INF = std::numeric_limits<double>::infinity();

const BaVec3d<double> A { 0, 0, 0 }, B { 1, 0, 0 }, C { 0, 1, 0 };

// Straight down onto the plane z = 0 from height 5.
Ray down(double x, double y)
{
    return Ray({ x, y, 5 }, { 0, 0, -1 });
}

} // namespace

TEST(RayHitsTriangle, insideEdgesAndCornersCountFromBothSidesButNotBehindOrParallel)
{
    double t = -1.0;
    EXPECT_TRUE(rayHitsTriangle(down(0.25, 0.25), A, B, C, &t));
    EXPECT_DOUBLE_EQ(t, 5.0);
    // The hypotenuse and a corner belong to the triangle: a ray through the diagonal of a quad
    // made of two triangles hits both.
    EXPECT_TRUE(rayHitsTriangle(down(0.5, 0.5), A, B, C, &t));
    EXPECT_TRUE(rayHitsTriangle(down(0.5, 0.5), B, { 1, 1, 0 }, C, &t));
    EXPECT_TRUE(rayHitsTriangle(down(1, 0), A, B, C, &t));
    EXPECT_FALSE(rayHitsTriangle(down(-0.001, 0.5), A, B, C, &t));
    EXPECT_FALSE(rayHitsTriangle(down(0.5, 0.5001), A, B, C, &t));

    // From below the triangle faces away (counter-clockwise seen from +z): still a hit.
    EXPECT_TRUE(rayHitsTriangle(Ray({ 0.2, 0.2, -2 }, { 0, 0, 1 }), A, B, C, &t));
    EXPECT_DOUBLE_EQ(t, 2.0);
    // The triangle behind the ray's start is not hit.
    EXPECT_FALSE(rayHitsTriangle(Ray({ 0.2, 0.2, -2 }, { 0, 0, -1 }), A, B, C, &t));
    // Parallel rays miss, in the plane and above it; so does a triangle without area.
    EXPECT_FALSE(rayHitsTriangle(Ray({ -1, 0.2, 0 }, { 1, 0, 0 }), A, B, C, &t));
    EXPECT_FALSE(rayHitsTriangle(Ray({ -1, 0.2, 1 }, { 1, 0, 0 }), A, B, C, &t));
    EXPECT_FALSE(rayHitsTriangle(down(0.5, 0), A, B, { 2, 0, 0 }, &t));
    // A slanted ray meets the plane where the line says.
    EXPECT_TRUE(rayHitsTriangle(Ray({ 0.1, 0.1, 1 }, { 0.2, 0.2, -1 }), A, B, C, &t));
    EXPECT_DOUBLE_EQ(t, 1.0);
}

TEST(RayHitsBox, entryParameterFacesAndParallelRaysAndTheParameterLimit)
{
    const Box3d box({ 0, 0, 0 }, { 1, 1, 1 });
    double t = -1.0;
    EXPECT_TRUE(rayHitsBox(down(0.5, 0.5), box, INF, &t));
    EXPECT_DOUBLE_EQ(t, 4.0);
    // Starting inside: entered at once.
    EXPECT_TRUE(rayHitsBox(Ray({ 0.5, 0.5, 0.5 }, { 0, 0, -1 }), box, INF, &t));
    EXPECT_DOUBLE_EQ(t, 0.0);
    // Behind the start, or beyond the limit: missed.
    EXPECT_FALSE(rayHitsBox(Ray({ 0.5, 0.5, 5 }, { 0, 0, 1 }), box, INF, &t));
    EXPECT_FALSE(rayHitsBox(down(0.5, 0.5), box, 3.9, &t));
    EXPECT_TRUE(rayHitsBox(down(0.5, 0.5), box, 4.0, &t));
    // Rays in the plane of a face (at min and at max) and through an edge are inside; a
    // parallel ray just outside is not.
    EXPECT_TRUE(rayHitsBox(down(0, 0.5), box, INF, &t));
    EXPECT_TRUE(rayHitsBox(down(1, 0.5), box, INF, &t));
    EXPECT_TRUE(rayHitsBox(down(1, 1), box, INF, &t));
    EXPECT_FALSE(rayHitsBox(down(1.0001, 0.5), box, INF, &t));
    // Touching an edge only, and passing just beside it.
    EXPECT_TRUE(rayHitsBox(Ray({ 2, 0, 0.5 }, { -1, 1, 0 }), box, INF, &t));
    EXPECT_DOUBLE_EQ(t, 1.0);
    EXPECT_FALSE(rayHitsBox(Ray({ 2.1, 0, 0.5 }, { -1, 1, 0 }), box, INF, &t));
    EXPECT_FALSE(rayHitsBox(down(0, 0), Box3d(), INF, &t));
}

TEST(TriangleBvh, findsTheSameNearestHitAsTestingEveryTriangleAndHonoursTheFilter)
{
    // A soup of small random triangles in the unit cube, some left out of the hierarchy.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> position(0.0, 1.0), offset(-0.08, 0.08);
    std::vector<BaVec3d<double>> vertices;
    std::vector<Triangle> triangles;
    for (uint32_t i = 0; i < 3000; ++i) {
        const BaVec3d<double> c(position(random), position(random), position(random));
        for (int k = 0; k < 3; ++k)
            vertices.push_back(c + BaVec3d<double>(offset(random), offset(random), offset(random)));
        triangles.push_back({ 3 * i, 3 * i + 1, 3 * i + 2 });
    }
    std::vector<uint32_t> subset;
    for (uint32_t i = 0; i < triangles.size(); i += 3)
        subset.push_back(i), subset.push_back(i + 1);
    const TriangleBvh bvh(vertices, triangles, subset);

    int hits = 0;
    for (int r = 0; r < 500; ++r) {
        const Ray ray({ position(random), position(random), 2.0 },
            BaVec3d<double>(offset(random), offset(random), -1.0));
        double expected = INF;
        uint32_t expectedTriangle = 0;
        for (const uint32_t i : subset) {
            double t = 0.0;
            const Triangle &tri = triangles[i];
            if (rayHitsTriangle(ray, vertices[tri[0]], vertices[tri[1]], vertices[tri[2]], &t)
                && t < expected)
                expected = t, expectedTriangle = i;
        }
        double limit = INF;
        RayHit hit;
        ASSERT_EQ(bvh.intersect(ray, &limit, {}, &hit), expected < INF) << r;
        if (expected < INF) {
            ++hits;
            EXPECT_EQ(hit.triangle, expectedTriangle) << r;
            EXPECT_EQ(hit.t, expected) << r;
            EXPECT_EQ(limit, expected) << r;
            // Turning the nearest triangle down yields a farther one, and a limit before the
            // nearest hit yields none.
            RayHit next;
            double all = INF;
            if (bvh.intersect(
                    ray, &all, [&](uint32_t tri, double) { return tri != expectedTriangle; }, &next)) {
                EXPECT_GT(next.t, expected);
            }
            double before = expected * 0.999;
            EXPECT_FALSE(bvh.intersect(ray, &before, {}, &next));
        }
    }
    EXPECT_GT(hits, 100);
}
