// Cutting meshes with a plane: closed runs of the right length through a cube and a cylinder,
// planes through vertices and along faces, open surfaces, planes that miss, and the same runs
// whatever the leaves.
#include "gcad/host/cad/vaq_cad_plane_cut.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace Vaq;
using namespace Vaq::CAD;

namespace {

using P = BaVec3d<double>;
const StageIdentifier STAGE = StageIdentifier::DEFAULT_DATASET;

double runLength(const PlaneCutRun &run)
{
    double length = 0.0;
    for (std::size_t i = 1; i < run.points.size(); ++i)
        length += (run.points[i] - run.points[i - 1]).length();
    if (run.closed)
        length += (run.points.front() - run.points.back()).length();
    return length;
}

// The unit cube, corner k at (k & 1, k >> 1 & 1, k >> 2 & 1), two outward triangles per face.
void makeCube(PolyBase &mesh)
{
    std::vector<P> corners;
    for (int k = 0; k < 8; ++k)
        corners.emplace_back(k & 1, k >> 1 & 1, k >> 2 & 1);
    mesh.setMesh(std::move(corners),
        { { 0, 2, 3 }, { 0, 3, 1 }, { 0, 1, 5 }, { 0, 5, 4 }, { 0, 4, 6 }, { 0, 6, 2 }, { 1, 3, 7 },
            { 1, 7, 5 }, { 2, 6, 7 }, { 2, 7, 3 }, { 4, 5, 7 }, { 4, 7, 6 } });
}

// A closed cylinder of radius 1 around the z axis, from z = 0 to z = 2: `sides` corners per
// ring, rings at z = 0, 0.5, ..., 2, a centre vertex in each cap; outward triangles.
void makeCylinder(PolyBase &mesh, int sides, bool caps = true)
{
    constexpr int RINGS = 5;
    std::vector<P> vertices;
    std::vector<Triangle> triangles;
    for (int r = 0; r < RINGS; ++r) {
        for (int s = 0; s < sides; ++s) {
            const double angle = 2.0 * std::numbers::pi * s / sides;
            vertices.emplace_back(std::cos(angle), std::sin(angle), 0.5 * r);
        }
    }
    auto at = [sides](int r, int s) { return uint32_t(r * sides + (s % sides)); };
    for (int r = 0; r + 1 < RINGS; ++r) {
        for (int s = 0; s < sides; ++s) {
            triangles.push_back({ at(r, s), at(r, s + 1), at(r + 1, s + 1) });
            triangles.push_back({ at(r, s), at(r + 1, s + 1), at(r + 1, s) });
        }
    }
    if (caps) {
        const auto bottom = uint32_t(vertices.size()), top = bottom + 1;
        vertices.emplace_back(0, 0, 0);
        vertices.emplace_back(0, 0, 2);
        for (int s = 0; s < sides; ++s) {
            triangles.push_back({ bottom, at(0, s + 1), at(0, s) });
            triangles.push_back({ top, at(RINGS - 1, s), at(RINGS - 1, s + 1) });
        }
    }
    mesh.setMesh(std::move(vertices), std::move(triangles));
}

std::vector<PlaneCutRun> cut(PolyBase &mesh, const Plane3d &plane, unsigned maxLeafVertices = 65536)
{
    mesh.setMaxLeafVertices(maxLeafVertices);
    mesh.updateVisualization(STAGE, true, false);
    return cutWithPlane(mesh, STAGE, plane);
}

const Plane3d AT_Z(double z)
{
    return Plane3d({ 0, 0, z }, { 0, 0, 1 });
}

} // namespace

TEST(PlaneCut, aCubeGivesOneClosedSquareWithNormalsInTheCutPlane)
{
    PolyBase cube;
    makeCube(cube);
    // The cube's crease copies (every edge is sharp) must still join into one run.
    cube.computeNormals(PolyBase::DEFAULT_CREASE_ANGLE);
    const std::vector<PlaneCutRun> runs = cut(cube, AT_Z(0.3));
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(runs[0].closed);
    EXPECT_NEAR(runLength(runs[0]), 4.0, 1e-12);
    ASSERT_EQ(runs[0].normals.size(), runs[0].points.size());
    for (std::size_t i = 0; i < runs[0].points.size(); ++i) {
        EXPECT_NEAR(runs[0].points[i].z, 0.3, 1e-12);
        EXPECT_NEAR(runs[0].normals[i].z, 0.0, 1e-6);
        EXPECT_NEAR(runs[0].normals[i].length(), 1.0, 1e-6);
        // Outward: from the cube's axis towards the point.
        const P out = runs[0].points[i] - P { 0.5, 0.5, 0.3 };
        EXPECT_GT(out.x * runs[0].normals[i].x + out.y * runs[0].normals[i].y, 0.0);
    }
    // A slanted plane through the middle cuts a hexagon of side sqrt(2) / 2.
    const std::vector<PlaneCutRun> slanted
        = cutWithPlane(cube, STAGE, Plane3d({ 0.5, 0.5, 0.5 }, { 1, 1, 1 }));
    ASSERT_EQ(slanted.size(), 1u);
    EXPECT_TRUE(slanted[0].closed);
    EXPECT_NEAR(runLength(slanted[0]), 6.0 * std::sqrt(0.5), 1e-12);
}

TEST(PlaneCut, aCylinderBetweenAndThroughRingsOfVerticesGivesThePolygonsPerimeter)
{
    PolyBase cylinder;
    constexpr int SIDES = 48;
    makeCylinder(cylinder, SIDES);
    const double perimeter = 2.0 * SIDES * std::sin(std::numbers::pi / SIDES);
    for (const double z : { 0.8, 1.0, 1.5, 2.0 }) {
        // z = 1.0 and 1.5 go through rings of vertices, 2.0 along the top cap.
        const std::vector<PlaneCutRun> runs = cut(cylinder, AT_Z(z));
        ASSERT_EQ(runs.size(), 1u) << z;
        EXPECT_TRUE(runs[0].closed) << z;
        EXPECT_NEAR(runLength(runs[0]), perimeter, 1e-9) << z;
        // Through vertices: one point per ring vertex, without zero-length steps between them.
        if (z != 0.8) {
            EXPECT_EQ(runs[0].points.size(), std::size_t(SIDES)) << z;
        }
    }
    // Along the axis: a closed rectangle of the two walls and caps, 2 + 2 high and 2 x 2 wide
    // (the plane y = 0 runs through ring vertices and cap centres).
    const std::vector<PlaneCutRun> along = cutWithPlane(cylinder, STAGE, Plane3d({ 0, 0, 0 }, { 0, 1, 0 }));
    ASSERT_EQ(along.size(), 1u);
    EXPECT_TRUE(along[0].closed);
    EXPECT_NEAR(runLength(along[0]), 8.0, 1e-9);
}

TEST(PlaneCut, runsAreTheSameWhateverTheLeavesAndOpenAtTheBorderOfAnOpenSurface)
{
    PolyBase cylinder;
    makeCylinder(cylinder, 400);
    const std::vector<PlaneCutRun> one = cut(cylinder, AT_Z(1.25));
    const std::vector<PlaneCutRun> many = cut(cylinder, AT_Z(1.25), 40);
    ASSERT_EQ(one.size(), 1u);
    ASSERT_EQ(many.size(), 1u);
    EXPECT_EQ(many[0].points.size(), one[0].points.size());
    EXPECT_NEAR(runLength(many[0]), runLength(one[0]), 1e-12);
    // Every triangle looked at, without the tree: the same run.
    const std::vector<PlaneCutRun> all = cutWithPlane(*cylinder.getData(STAGE), AT_Z(1.25));
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].points.size(), one[0].points.size());
    EXPECT_NEAR(runLength(all[0]), runLength(one[0]), 1e-12);

    // Without caps a plane along the axis cuts two open lines of the wall's height.
    PolyBase tube;
    makeCylinder(tube, 48, false);
    const std::vector<PlaneCutRun> lines = cut(tube, Plane3d({ 0, 0, 0 }, { 0, 1, 0 }), 40);
    ASSERT_EQ(lines.size(), 2u);
    for (const PlaneCutRun &line : lines) {
        EXPECT_FALSE(line.closed);
        EXPECT_NEAR(runLength(line), 2.0, 1e-12);
        EXPECT_NEAR(std::abs(line.points.front().z - line.points.back().z), 2.0, 1e-12);
    }
}

TEST(PlaneCut, planesThatMissOrOnlyTouchFromBelowGiveNothing)
{
    PolyBase cube;
    makeCube(cube);
    EXPECT_TRUE(cut(cube, AT_Z(1.5)).empty());
    EXPECT_TRUE(cut(cube, AT_Z(-0.01)).empty());
    // The bottom face lies in the plane and the cube above it: nothing is cut ...
    EXPECT_TRUE(cut(cube, AT_Z(0.0)).empty());
    // ... while the top face in the plane gives the outline.
    const std::vector<PlaneCutRun> top = cut(cube, AT_Z(1.0));
    ASSERT_EQ(top.size(), 1u);
    EXPECT_NEAR(runLength(top[0]), 4.0, 1e-12);
    // A plane touching only the corner (1, 1, 1) from outside.
    EXPECT_TRUE(cutWithPlane(cube, STAGE, Plane3d({ 1, 1, 1 }, { 1, 1, 1 })).empty());
    // No tree yet: nothing.
    PolyBase fresh;
    makeCube(fresh);
    EXPECT_TRUE(cutWithPlane(fresh, STAGE, AT_Z(0.5)).empty());
}
