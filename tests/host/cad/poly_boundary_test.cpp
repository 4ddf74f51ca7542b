#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_poly_boundary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace Vaq;
using namespace Vaq::CAD;

namespace {

const StageIdentifier STAGE = StageIdentifier::DEFAULT_DATASET;

// A 4 x 4 vertex grid with its middle cell (vertices 5, 6, 10, 9) cut out: an outer rim of
// 12 vertices and a hole of 4.
std::unique_ptr<PolyBase> gridWithHole()
{
    auto grid = createDomeMesh(4, false);
    std::vector<Triangle> triangles;
    for (std::size_t t = 0; t < 18; ++t) {
        if (t / 2 != 4) // cell (1, 1)
            triangles.push_back(grid->getData(STAGE)->triangles[t]);
    }
    auto mesh = std::make_unique<PolyBase>();
    mesh->setMesh(grid->getData(STAGE)->vertices, triangles);
    return mesh;
}

std::set<uint32_t> asSet(const std::vector<uint32_t> &v)
{
    return { v.begin(), v.end() };
}

} // namespace

TEST(PolyBoundary, theRimAndTheHoleAreClosedLoopsAndHiddenPointsCutThemIntoOpenRuns)
{
    auto mesh = gridWithHole();
    mesh->needsNoBoundary(true);
    mesh->updateVisualization(STAGE, false, false);
    EXPECT_EQ(mesh->getBoundary(), nullptr);
    mesh->needsNoBoundary(false);
    mesh->updateVisualization(STAGE, false, false);
    const PolyBoundary *boundary = mesh->getBoundary();
    ASSERT_NE(boundary, nullptr);
    ASSERT_EQ(boundary->getPolylines().size(), 2u);
    EXPECT_EQ(boundary->getClosedFlags(), (std::vector<bool> { true, true }));
    std::set<std::set<uint32_t>> loops;
    for (const auto &line : boundary->getPolylines()) {
        loops.insert(asSet(line));
        // Consecutive points of a loop are neighbours on the grid.
        for (std::size_t i = 0; i < line.size(); ++i) {
            const int a = int(line[i]), b = int(line[(i + 1) % line.size()]);
            EXPECT_TRUE(std::abs(a - b) == 1 || std::abs(a - b) == 4) << a << " " << b;
        }
    }
    EXPECT_EQ(loops,
        (std::set<std::set<uint32_t>> { { 5, 6, 9, 10 }, { 0, 1, 2, 3, 4, 7, 8, 11, 12, 13, 14, 15 } }));

    // Hiding one hole corner leaves a run of the other three; hiding the opposite corner
    // too leaves runs of one point, which are dropped. A preview point stays, marked.
    mesh->setPointFlag({ 5 }, PointFlags::HIDDEN, true);
    mesh->setPointFlag({ 0 }, PointFlags::PREVIEW, true);
    const auto lines = boundary->getVisibleBoundaries();
    const auto closed = boundary->getVisibleClosedFlag();
    const auto flags = boundary->getVisibleFlags();
    ASSERT_EQ(lines.size(), 2u);
    const std::size_t hole = lines[0].size() == 3 ? 0 : 1;
    EXPECT_EQ(lines[hole].size(), 3u);
    EXPECT_FALSE(closed[hole]);
    EXPECT_TRUE(closed[1 - hole]);
    const auto &rim = lines[1 - hole];
    const auto corner = std::find(rim.begin(), rim.end(), BaVec3d<double>(-0.5, -0.5, 0.0));
    ASSERT_NE(corner, rim.end());
    EXPECT_TRUE(flags[1 - hole][corner - rim.begin()].isPreview());
    mesh->setPointFlag({ 10 }, PointFlags::HIDDEN, true);
    EXPECT_EQ(boundary->getVisibleBoundaries().size(), 1u);
}
