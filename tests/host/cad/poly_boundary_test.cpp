#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_poly_boundary.h"

#include <gtest/gtest.h>

#include <set>

using namespace Vaq;
using namespace Vaq::CAD;

TEST(PolyBoundary, theRimAndTheHoleAreClosedLoopsAndHiddenPointsCutThemIntoOpenRuns)
{
    // A 4 x 4 vertex grid with its middle cell (vertices 5, 6, 10, 9) cut out.
    const StageIdentifier stage = StageIdentifier::DEFAULT_DATASET;
    auto grid = createDomeMesh(4, false);
    std::vector<Triangle> triangles = grid->getData(stage)->triangles;
    triangles.erase(triangles.begin() + 8, triangles.begin() + 10);
    PolyBase mesh;
    mesh.setMesh(grid->getData(stage)->vertices, triangles);
    mesh.updateVisualization(stage, false, false);
    const PolyBoundary *boundary = mesh.getBoundary();
    ASSERT_NE(boundary, nullptr);
    EXPECT_EQ(boundary->getClosedFlags(), (std::vector<bool> { true, true }));
    std::set<std::set<uint32_t>> loops;
    for (const auto &line : boundary->getPolylines()) {
        loops.insert({ line.begin(), line.end() });
        // Consecutive points of a loop are neighbours on the grid.
        for (std::size_t i = 0; i < line.size(); ++i) {
            const int a = int(line[i]), b = int(line[(i + 1) % line.size()]);
            EXPECT_TRUE(std::abs(a - b) == 1 || std::abs(a - b) == 4) << a << " " << b;
        }
    }
    EXPECT_EQ(loops,
        (std::set<std::set<uint32_t>> { { 5, 6, 9, 10 }, { 0, 1, 2, 3, 4, 7, 8, 11, 12, 13, 14, 15 } }));

    // Hiding a hole corner leaves an open run of the other three.
    mesh.setPointFlag({ 5 }, PointFlags::HIDDEN, true);
    const auto lines = boundary->getVisibleBoundaries();
    const auto closed = boundary->getVisibleClosedFlag();
    ASSERT_EQ(lines.size(), 2u);
    const std::size_t hole = lines[0].size() == 3 ? 0 : 1;
    EXPECT_EQ(lines[hole].size(), 3u);
    EXPECT_EQ(closed[hole], false);
    EXPECT_EQ(closed[1 - hole], true);
    // With the opposite corner hidden too, runs of one point are dropped.
    mesh.setPointFlag({ 10 }, PointFlags::HIDDEN, true);
    EXPECT_EQ(boundary->getVisibleBoundaries().size(), 1u);
}
