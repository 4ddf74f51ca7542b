// GPU mesh nodes prepared without GL: vertex types, layouts, far corners, flat slots and leftovers.
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"
#include "gcad/mesh/gcad_gl_node.h"
#include "gcad/mesh/gcad_growable_array.h"
#include "gcad/mesh/gcad_mesh_render_types.h"
#include "tests/mesh/mesh_node_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace Vaq;
using namespace Vaq::GCAD;
using namespace Vaq::Test;

namespace {

// Two leaves: B on the far left owns vertices 0 to 11; A on the right owns the ten strip
// vertices 12 to 21 and two overlap triangles whose six corners (7, 9, 8 and 7, 11, 10)
// all belong to B, vertex 7 twice. The strip faces +z, B's triangles -z.
MeshWithTree twoLeaves()
{
    std::vector<BaVec3d<double>> vertices { { -200, 0, 0 }, { -200, 1, 0 }, { -201, 0, 0 }, { -201, 1, 0 },
        { -202, 0, 0 }, { -202, 1, 0 }, { -203, 0, 0 }, { 60, 0, 0 }, { 60, 1, 0 }, { 61, 0, 0 },
        { 61, 1, 0 }, { 62, 0, 0 } };
    for (int k = 0; k < 10; ++k)
        vertices.emplace_back(100 + k % 5, k / 5, 0);
    std::vector<CAD::Triangle> triangles { { 7, 0, 1 }, { 8, 0, 1 }, { 9, 0, 1 }, { 10, 0, 1 }, { 11, 0, 1 },
        { 0, 2, 1 }, { 1, 2, 3 }, { 2, 4, 3 }, { 3, 4, 5 }, { 4, 6, 5 } };
    for (uint32_t k = 12; k < 16; ++k)
        triangles.insert(triangles.end(), { { k, k + 1, k + 6 }, { k, k + 6, k + 5 } });
    triangles.insert(triangles.end(), { { 7, 9, 8 }, { 7, 11, 10 } });
    return MeshWithTree(vertices, triangles, 20);
}

// A unit square of two triangles facing +z.
MeshWithTree square()
{
    return MeshWithTree({ { 0, 0, 0 }, { 1, 0, 0 }, { 1, 1, 0 }, { 0, 1, 0 } }, { { 0, 1, 2 }, { 0, 2, 3 } });
}

constexpr unsigned FLAT = RT_TRIANGLES;

} // namespace

TEST(VertexType, followsTheFlagsAndTheRenderMode)
{
    const std::pair<unsigned, unsigned> cases[] = { { RT_TRIANGLES | RT_SMOOTH, 0 }, { RT_TRIANGLES, 4 },
        { RT_EDGES, 0 }, // no triangles asked for: not flat
        { RT_VERTEX_COLORS | RT_POINTS, 2 }, { RT_VERTEX_COLORS | RT_TRIANGLES, 6 },
        { RT_COLOR_MAP | RT_TRIANGLES, 10 }, { RT_COLOR_MAP | RT_VERTEX_COLORS | RT_POINTS, 8 } };
    for (const auto &[flags, type] : cases) {
        // Only render mode 1 asks for float normals.
        for (int mode : { 0, 3 })
            EXPECT_EQ(GLNode::determinVertexType(flags, mode), type) << flags << " mode " << mode;
        EXPECT_EQ(GLNode::determinVertexType(flags, 1), type + 1) << flags;
    }
    EXPECT_EQ(progErrorMessage([] { GLNode::determinVertexType(RT_POINTS, 5); }), "vertex type not handled");
    EXPECT_EQ(progErrorMessage([] { GLNode::determinVertexType(RT_POINTS, -1); }), "vertex type not handled");
}

TEST(GrowableArray, growsInStepsChosenByItsCapacity)
{
    // The small steps show in the capacities below.
    for (const auto &[capacity, step] :
        { std::pair<std::size_t, std::size_t> { 262143, 65536 }, { 262144, 131072 }, { 10000000, 131072 } })
        EXPECT_EQ(GrowableArray<int>::growthStep(capacity), step) << capacity;

    GrowableArray<int> array;
    std::vector<std::size_t> capacities;
    for (int i = 0; i < 100; ++i) {
        array.push_back(i);
        if (capacities.empty() || capacities.back() != array.capacity())
            capacities.push_back(array.capacity());
    }
    EXPECT_EQ(capacities, (std::vector<std::size_t> { 4, 8, 12, 16, 32, 48, 64, 128 }));
}

TEST(GLNodePrepare, farCornersGetOneSlotEachAfterTheOwnVerticesAndPointsNone)
{
    MeshWithTree mesh = twoLeaves();
    ASSERT_EQ(mesh.tree->getAllLeaves().size(), 2u);
    const CAD::PolyBaseData &data = *mesh.mesh.getData(STAGE);
    GLNode node(STAGE, mesh.leaf(1));
    node.prepare(RT_TRIANGLES | RT_SMOOTH, 0);
    EXPECT_EQ(node.getOwnVertexCount(), 10u);
    EXPECT_EQ(node.getForeignVertexCount(), 6u); // slots 10 to 15, vertex 7 in two of them
    EXPECT_EQ(node.getVertexBytes(), 16u * 18u);
    EXPECT_EQ(node.getIndexBytes(), 10u * 6u);
    // The strip in mesh order with local indices (vertex - 12), then the overlap triangles.
    EXPECT_EQ(indices(node, 0, 6), (std::vector<uint16_t> { 0, 1, 6, 0, 6, 5 }));
    EXPECT_EQ(indices(node, 24, 6), (std::vector<uint16_t> { 10, 11, 12, 13, 14, 15 }));
    const uint32_t farCorners[6] = { 7, 9, 8, 7, 11, 10 };
    for (unsigned k = 0; k < 16; ++k) {
        const BaVec3d<double> &v = data.vertices[k < 10 ? 12 + k : farCorners[k - 10]];
        EXPECT_EQ(position(node, k), BaVec3d<float>(float(v.x), float(v.y), float(v.z))) << k;
    }
    // Normals of +z and -z come out as +-32767.
    EXPECT_EQ(shortNormal(node, 0), (std::array<int16_t, 3> { 0, 0, 32767 }));
    EXPECT_EQ(shortNormal(node, 10), (std::array<int16_t, 3> { 0, 0, -32767 }));

    // Points alone: no index data and no far-corner slots; float normals before the position.
    node.clear();
    node.prepare(RT_POINTS, 1);
    EXPECT_FALSE(node.hasTriangleData());
    EXPECT_EQ(node.getVertexBytes(), 10u * 24u);
    EXPECT_EQ(readAt<float>(node.getVertexData(0), 3 * 24 + 8), 1.0f);
    EXPECT_EQ(position(node, 3), BaVec3d<float>(103, 0, 0));
}

TEST(GLNodePrepare, vertexColoursAreCopiedOrTakenFromTheElement)
{
    MeshWithTree mesh = square();
    mesh.mesh.setDrawColors({ { 1, 2, 3, 4 }, { 5, 6, 7, 8 }, { 9, 10, 11, 12 }, { 13, 14, 15, 16 } });
    GLNode node(STAGE, mesh.leaf());
    node.prepare(RT_VERTEX_COLORS | RT_TRIANGLES | RT_SMOOTH, 0);
    EXPECT_EQ(readAt<Color>(node.getVertexData(0), 2 * 22), Color(9, 10, 11, 12));

    mesh.mesh.setDrawColors({});
    mesh.mesh.getElemProperties()->color = Color(50, 60, 70);
    node.clear();
    node.prepare(RT_VERTEX_COLORS | RT_POINTS, 0);
    EXPECT_EQ(readAt<Color>(node.getVertexData(0), 22), Color(50, 60, 70));
}

TEST(GLNodeColourMap, toleranceModeNeedsAValidToleranceForEachVertex)
{
    Legend2::LegendHandler &legend = *Legend2::LegendHandler::getInstance();
    const Legend2::LegendHandler saved = legend;
    legend.getColorMap().setToleranceMode(true);
    legend.setNumberOfRenderColors(9); // three texels per band
    MeshWithTree mesh = square();
    mesh.mesh.setDeviations({ 0.0f, 0.0f, 0.0f, 2.0f });
    GLNode node(STAGE, mesh.leaf());
    auto texCoord = [&](unsigned k) {
        const uint8_t *p = node.getVertexData(0) + k * node.getVertexSize();
        return std::pair(readAt<float>(p, 0), readAt<float>(p, 4));
    };
    node.prepare(RT_COLOR_MAP | RT_POINTS, 0);
    // No tolerance indices: the special colour of missing tolerances.
    EXPECT_EQ(texCoord(3), std::pair(1.0f, GLNode::SPECIAL_ROW));

    mesh.mesh.setDistancePointTolerances({ { -1.0, 1.0 }, { 1.0, -1.0 } }); // the second is empty
    mesh.mesh.setToleranceIndices({ 0, 1, 7, 0 });
    node.clear();
    node.prepare(RT_COLOR_MAP | RT_POINTS, 0);
    legend = saved;
    EXPECT_EQ(node.getTolerances(), mesh.mesh.getDistancePointTolerances());
    EXPECT_FLOAT_EQ(texCoord(0).first, 4.5f / 9); // inside: the middle band
    EXPECT_EQ(texCoord(0).second, 0.0f);
    EXPECT_EQ(texCoord(1), std::pair(0.0f, GLNode::SPECIAL_ROW)); // invalid tolerance
    EXPECT_EQ(texCoord(2), std::pair(0.0f, GLNode::SPECIAL_ROW)); // index beyond the list
    EXPECT_FLOAT_EQ(texCoord(3).first, 7.5f / 9); // above
}

TEST(GLNodeFlat, aFanTakesTheCentreTwiceAndThenEachFirstCorner)
{
    // Five triangles (r_i, r_i+1, c) around a raised centre c = vertex 5, the last corner of all.
    std::vector<BaVec3d<double>> vertices;
    std::vector<CAD::Triangle> triangles;
    for (uint32_t i = 0; i < 5; ++i) {
        vertices.emplace_back(
            std::cos(2 * std::numbers::pi * i / 5), std::sin(2 * std::numbers::pi * i / 5), 0);
        triangles.push_back({ i, (i + 1) % 5, 5 });
    }
    vertices.emplace_back(0, 0, 1);
    MeshWithTree mesh(vertices, triangles);
    GLNode node(STAGE, mesh.leaf());
    node.prepare(FLAT, 0);
    ASSERT_EQ(node.getFlatUnselectedCount(0), 12u);
    ASSERT_EQ(node.getFlatUnselectedCount(1), 3u);
    // Slot 0: t0 on the centre, then t2, t3, t4 rotated so that their first corner is last.
    EXPECT_EQ(indices(node, 0, 12), (std::vector<uint16_t> { 0, 1, 5, 3, 5, 2, 4, 5, 3, 0, 5, 4 }));
    // Slot 1: t1, the centre's second use.
    EXPECT_EQ(indices(node, 12, 3), (std::vector<uint16_t> { 1, 2, 5 }));
    EXPECT_TRUE(node.getLeftovers(false).empty());
    // The centre carries t0's normal in slot 0 and t1's in slot 1.
    const CAD::PolyBaseData &data = *mesh.mesh.getData(STAGE);
    EXPECT_EQ(shortNormal(node, 5, 0), asShort(data.triangleNormals[0]));
    EXPECT_EQ(shortNormal(node, 5, 1), asShort(data.triangleNormals[1]));
}

TEST(GLNodeFlat, theSeventhCopyIsALeftoverThatKeepsItsRoomAndCornerCoordinates)
{
    Legend2::LegendHandler &legend = *Legend2::LegendHandler::getInstance();
    const Legend2::LegendHandler saved = legend;
    legend.getColorMap().setToleranceMode(false);
    legend.getColorMap().setDataRange(0.0, 1.0);
    legend.setNumberOfRenderColors(4);
    // Every corner can carry two copies of the triangle, the seventh has none left.
    MeshWithTree mesh({ { 0, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 } }, std::vector<CAD::Triangle>(7, { 0, 1, 2 }));
    mesh.mesh.setDeviations({ 0.6f, 5.0f, CAD::NO_VALUE });
    mesh.mesh.setTriangleFlag({ 0, 1, 2, 3, 4, 5, 6 }, CAD::PointFlags::SELECTED, true);
    mesh.tree = std::make_unique<CAD::BspTree>(&mesh.mesh, *mesh.mesh.getData(STAGE));
    GLNode node(STAGE, mesh.leaf());
    node.prepare(FLAT | RT_COLOR_MAP, 0);
    legend = saved;

    // Corners in the order p3, p3, p1, p1, p2, p2: slot 0 gets copies 0, 2, 4, slot 1 copies 1, 3, 5.
    const std::vector<uint16_t> rotations { 0, 1, 2, 1, 2, 0, 2, 0, 1 };
    EXPECT_EQ(indices(node, 0, 9), rotations);
    EXPECT_EQ(indices(node, 9, 9), rotations);
    EXPECT_EQ(node.getFlatSelectedCount(0), 9u);
    EXPECT_EQ(node.getFlatSelectedCount(1), 9u);
    ASSERT_EQ(node.getLeftovers(true).size(), 1u);
    EXPECT_EQ(node.getLeftovers(true)[0], 6u);
    // 36 bytes written and 6 kept for the leftover.
    EXPECT_EQ(node.getIndexBytes(), 42u);
    const auto &coordinates = node.getLeftoverTexCoords(true);
    ASSERT_EQ(coordinates.size(), 3u);
    // 0.6 in the third of four texels, 5.0 beyond the range in the last, no value in the special row.
    EXPECT_FLOAT_EQ(coordinates[0].s, 2.5f / 4);
    EXPECT_EQ(coordinates[0].t, 0.0f);
    EXPECT_FLOAT_EQ(coordinates[1].s, 3.5f / 4);
    EXPECT_EQ(coordinates[2].s, 1.0f);
    EXPECT_EQ(coordinates[2].t, GLNode::SPECIAL_ROW);
}
