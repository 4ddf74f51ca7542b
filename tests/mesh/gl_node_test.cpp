// GPU mesh nodes prepared without GL: vertex types, vertex packing, far corners, provoking
// vertices of flat shading and leftovers.
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"
#include "gcad/mesh/gcad_gl_node.h"
#include "gcad/mesh/gcad_growable_array.h"
#include "gcad/mesh/gcad_mesh_render_types.h"
#include "gcad/mesh/gcad_provoking_vertices.h"
#include "gcad/mesh/gcad_vertex_bands.h"
#include "gcad/mesh/gcad_vertex_packing.h"
#include "tests/mesh/mesh_node_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

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

    // Points alone: no index data and no far-corner slots; render mode 1's float normals.
    node.clear();
    node.prepare(RT_POINTS, 1);
    EXPECT_FALSE(node.hasTriangleData());
    EXPECT_EQ(node.getVertexBytes(), 10u * 24u);
    EXPECT_EQ(position(node, 3), BaVec3d<float>(103, 0, 0));

    // Vertex colours asked for on an element without them show the element's colour.
    mesh.mesh.getElemProperties()->color = Color(50, 60, 70);
    node.clear();
    node.prepare(RT_VERTEX_COLORS | RT_POINTS, 0);
    EXPECT_EQ(readAt<Color>(node.getVertexData(0), 22), Color(50, 60, 70));
}

TEST(VertexPacking, eachTypeHoldsItsCoordinateOrColourNormalAndPosition)
{
    const std::vector<BaVec3d<double>> positions { { 1, 2, 3 }, { 4, 5, 6 } };
    const std::vector<BaVec3d<float>> normals { { 0, 0, 1 }, { 0.5f, -1, 0 } };
    const std::vector<Color> colours { { 1, 2, 3, 4 }, { 5, 6, 7, 8 } };
    const TexCoord coordinates[2] = { { 0.25f, 0.0f }, { 1.0f, SPECIAL_ROW } };
    VertexSources sources;
    sources.positions = positions.data();
    sources.vertexNormals = normals.data();
    sources.colours = colours.data();
    sources.texCoords = coordinates;
    const uint32_t vertices[2] = { 1, 0 };
    uint8_t out[2 * 32];
    using Normal = std::array<int16_t, 3>;

    // Type 2: colour, 16-bit normal truncated toward zero, position; 22 bytes.
    packVertices(out, 2, vertices, 2, sources);
    EXPECT_EQ(readAt<Color>(out, 0), Color(5, 6, 7, 8));
    EXPECT_EQ(readAt<Normal>(out, 4), (Normal { 16383, -32767, 0 }));
    EXPECT_EQ(readAt<BaVec3d<float>>(out, 10), BaVec3d<float>(4, 5, 6));
    EXPECT_EQ(readAt<Normal>(out, 22 + 4), (Normal { 0, 0, 32767 }));
    EXPECT_EQ(readAt<BaVec3d<float>>(out, 22 + 10), BaVec3d<float>(1, 2, 3));
    // Without colours every vertex takes the one colour.
    sources.colours = nullptr;
    sources.colour = Color(50, 60, 70);
    packVertices(out, 2, vertices, 2, sources);
    EXPECT_EQ(readAt<Color>(out, 22), Color(50, 60, 70));

    // Type 9: the coordinate of the packed vertex, float normal, position; 32 bytes.
    packVertices(out, 9, vertices, 2, sources);
    EXPECT_EQ(readAt<TexCoord>(out, 32).t, SPECIAL_ROW);
    EXPECT_EQ(readAt<BaVec3d<float>>(out, 8), BaVec3d<float>(0.5f, -1, 0));
    EXPECT_EQ(readAt<BaVec3d<float>>(out, 32 + 20), BaVec3d<float>(1, 2, 3));
}

TEST(VertexPacking, flatTypesCarryTheNormalsOfTheTrianglesTheirVerticesProvoke)
{
    const std::vector<BaVec3d<double>> positions(3);
    const std::vector<BaVec3d<float>> vertexNormals(3, { 0, 0, 1 });
    const std::vector<BaVec3d<float>> triangleNormals { { 1, 0, 0 }, { 0, 1, 0 }, { 0, -1, 0 } };
    // Vertex 0 provokes nothing, vertex 1 triangle 2, vertex 2 triangles 0 and 1.
    const int8_t provoking[3] = { 0, 1, 2 };
    const uint32_t slot0[3] = { 99, 2, 0 }, slot1[3] = { 99, 99, 1 };
    VertexSources sources;
    sources.positions = positions.data();
    sources.vertexNormals = vertexNormals.data();
    sources.triangleNormals = triangleNormals.data();
    sources.provokingCount = provoking;
    sources.slotTriangle[0] = slot0;
    sources.slotTriangle[1] = slot1;
    const uint32_t vertices[3] = { 0, 1, 2 };
    // Type 4: two 16-bit normals, position; 24 bytes. The unused second slots stay as they were.
    std::vector<uint8_t> out(3 * 24, 0xee);
    packVertices(out.data(), 4, vertices, 3, sources);
    using Normal = std::array<int16_t, 3>;
    const Normal unwritten { int16_t(0xeeee), int16_t(0xeeee), int16_t(0xeeee) };
    EXPECT_EQ(readAt<Normal>(out.data(), 0), (Normal { 0, 0, 32767 }));
    EXPECT_EQ(readAt<Normal>(out.data(), 6), unwritten);
    EXPECT_EQ(readAt<Normal>(out.data(), 24), (Normal { 0, -32767, 0 }));
    EXPECT_EQ(readAt<Normal>(out.data(), 24 + 6), unwritten);
    EXPECT_EQ(readAt<Normal>(out.data(), 48), (Normal { 32767, 0, 0 }));
    EXPECT_EQ(readAt<Normal>(out.data(), 48 + 6), (Normal { 0, 32767, 0 }));

    // A later block, such as the far corners, packs on its own from its place on.
    std::vector<uint8_t> rest(2 * 24, 0xee);
    packVertices(rest.data(), 4, vertices + 1, 2, sources.from(1));
    EXPECT_TRUE(std::equal(rest.begin(), rest.end(), out.begin() + 24));
}

TEST(GLNodeColourMap, toleranceModeNeedsAValidToleranceForEachVertex)
{
    Legend2::LegendHandler &legend = *Legend2::LegendHandler::getInstance();
    const Legend2::LegendHandler saved = legend;
    legend.getColorMap().setToleranceMode(true);
    legend.setNumberOfRenderColors(9); // three texels per band
    MeshWithTree mesh({ { 0, 0, 0 }, { 1, 0, 0 }, { 1, 1, 0 }, { 0, 1, 0 } }, { { 0, 1, 2 }, { 0, 2, 3 } });
    mesh.mesh.setDeviations({ 0.0f, 0.0f, 0.0f, 2.0f });
    GLNode node(STAGE, mesh.leaf());
    auto texCoord = [&](unsigned k) {
        const uint8_t *p = node.getVertexData(0) + k * node.getVertexSize();
        return std::pair(readAt<float>(p, 0), readAt<float>(p, 4));
    };
    node.prepare(RT_COLOR_MAP | RT_POINTS, 0);
    // No tolerance indices: the special colour of missing tolerances.
    EXPECT_EQ(texCoord(3), std::pair(1.0f, SPECIAL_ROW));

    mesh.mesh.setDistancePointTolerances({ { -1.0, 1.0 }, { 1.0, -1.0 } }); // the second is empty
    mesh.mesh.setToleranceIndices({ 0, 1, 7, 0 });
    node.clear();
    node.prepare(RT_COLOR_MAP | RT_POINTS, 0);
    legend = saved;
    EXPECT_EQ(node.getTolerances(), mesh.mesh.getDistancePointTolerances());
    EXPECT_FLOAT_EQ(texCoord(0).first, 4.5f / 9); // inside: the middle band
    EXPECT_EQ(texCoord(0).second, 0.0f);
    EXPECT_EQ(texCoord(1), std::pair(0.0f, SPECIAL_ROW)); // invalid tolerance
    EXPECT_EQ(texCoord(2), std::pair(0.0f, SPECIAL_ROW)); // index beyond the list
    EXPECT_FLOAT_EQ(texCoord(3).first, 7.5f / 9); // above
}

TEST(ProvokingVertices, aFanTakesTheCentreTwiceAndThenEachFirstCorner)
{
    // Five triangles (r_i, r_i+1, c) around the centre c = vertex 5, the last corner of all.
    const uint16_t corners[] = { 0, 1, 5, 1, 2, 5, 2, 3, 5, 3, 4, 5, 4, 0, 5 };
    const uint8_t selected[5] = {};
    std::vector<uint16_t> out(15);
    int8_t provoking[6];
    uint32_t slot0[6], slot1[6];
    uint32_t *const slotTriangles[2] = { slot0, slot1 };
    // Visited backwards, slot 0 lists t3 (its last corner is 3), t2 (2), then t0 and t4 (0),
    // of which t0 has the earlier provoking vertex (5).
    const uint32_t backwards[6] = { 5, 4, 3, 2, 1, 0 };
    orderFlatTriangles(out.data(), provoking, slotTriangles, corners, selected, 5, 6, backwards);
    EXPECT_EQ(out, (std::vector<uint16_t> { 4, 5, 3, 3, 5, 2, 0, 1, 5, 0, 5, 4, 1, 2, 5 }));

    const uint32_t forwards[6] = { 0, 1, 2, 3, 4, 5 };
    const FlatTriangleOrder order
        = orderFlatTriangles(out.data(), provoking, slotTriangles, corners, selected, 5, 6, forwards);
    // Slot 0: t0 on the centre, t2, t3, t4 rotated so that their first corner is last; all
    // reach the centre last, so the list runs by provoking vertex: t2 (2), t3 (3), t4 (4),
    // t0 (5). Slot 1: t1, the centre's second use.
    EXPECT_EQ(out, (std::vector<uint16_t> { 3, 5, 2, 4, 5, 3, 0, 5, 4, 0, 1, 5, 1, 2, 5 }));
    EXPECT_EQ(order.indexCount[0][1], 12u);
    EXPECT_EQ(order.indexCount[1][1], 3u);
    EXPECT_EQ(order.indexCount[0][0] + order.indexCount[1][0], 0u);
    EXPECT_TRUE(order.leftovers[0].empty() && order.leftovers[1].empty());
    EXPECT_EQ(std::vector<int8_t>(provoking, provoking + 6), (std::vector<int8_t> { 0, 0, 1, 1, 1, 2 }));
    EXPECT_EQ(slot0[5], 0u);
    EXPECT_EQ(slot1[5], 1u);
    EXPECT_EQ(slot0[2], 2u);
    EXPECT_EQ(slot0[4], 4u);
}

TEST(ProvokingVertices, theSeventhCopyIsALeftoverAndEachSlotListsItsSelectedTrianglesFirst)
{
    // Every corner can carry two copies of the triangle, the seventh has none left. Copies 0,
    // 1 and 6 are selected.
    const uint16_t corners[21] = { 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2 };
    const uint8_t selected[7] = { 1, 1, 0, 0, 0, 0, 1 };
    std::vector<uint16_t> out(21, 0);
    int8_t provoking[3];
    uint32_t slot0[3], slot1[3];
    uint32_t *const slotTriangles[2] = { slot0, slot1 };
    const uint32_t vertexOrder[3] = { 0, 1, 2 };
    const FlatTriangleOrder order
        = orderFlatTriangles(out.data(), provoking, slotTriangles, corners, selected, 7, 3, vertexOrder);
    // Corners in the order p3, p3, p1, p1, p2, p2: slot 0 gets copies 0, 2, 4, slot 1 copies
    // 1, 3, 5; the selected copy first in each.
    const std::vector<uint16_t> slot { 0, 1, 2, 1, 2, 0, 2, 0, 1 };
    EXPECT_EQ(std::vector<uint16_t>(out.begin(), out.begin() + 9), slot);
    EXPECT_EQ(std::vector<uint16_t>(out.begin() + 9, out.begin() + 18), slot);
    EXPECT_EQ(order.indexCount[0][0], 3u);
    EXPECT_EQ(order.indexCount[0][1], 6u);
    EXPECT_EQ(order.indexCount[1][0], 3u);
    EXPECT_EQ(order.indexCount[1][1], 6u);
    EXPECT_EQ(order.leftovers[0], std::vector<uint32_t> { 6 });
    EXPECT_TRUE(order.leftovers[1].empty());
    EXPECT_EQ(std::vector<uint16_t>(out.begin() + 18, out.end()), std::vector<uint16_t>(3, 0));
    EXPECT_EQ(slot0[0], 2u);
    EXPECT_EQ(slot1[1], 5u);
}

TEST(GLNodeFlat, aLeftoverKeepsItsRoomAndItsCornersCoordinates)
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

    EXPECT_EQ(node.getFlatSelectedCount(0) + node.getFlatSelectedCount(1), 18u);
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
    EXPECT_EQ(coordinates[2].t, SPECIAL_ROW);
}

TEST(VertexBands, everyStretchOfTheOrderIsACompactPatch)
{
    // A ramp 48 vertices across x and 96 along y, rising steeper in z than it is wide, listed
    // row by row: 64 vertices in that order span a whole row.
    const int nx = 48, ny = 96;
    std::vector<BaVec3d<double>> ramp;
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i)
            ramp.emplace_back(i, j, 0.75 * j + 0.1 * std::sin(0.3 * i));
    std::vector<uint16_t> corners;
    for (int j = 0; j + 1 < ny; ++j) {
        for (int i = 0; i + 1 < nx; ++i) {
            const uint16_t k = uint16_t(j * nx + i);
            corners.insert(corners.end(),
                { k, uint16_t(k + 1), uint16_t(k + nx + 1), k, uint16_t(k + nx + 1), uint16_t(k + nx) });
        }
    }
    const std::vector<uint32_t> order = bandOrder(ramp, corners.data(), corners.size() / 3, 8);
    std::vector<uint32_t> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (uint32_t k = 0; k < sorted.size(); ++k)
        ASSERT_EQ(sorted[k], k) << "not a permutation";
    // 64 vertices lie in a band 8 wide, unless they reach from the end of one band to the
    // start of the next.
    std::size_t compact = 0, windows = order.size() - 63;
    for (std::size_t first = 0; first < windows; ++first) {
        double low[2] = { INFINITY, INFINITY }, high[2] = { -INFINITY, -INFINITY };
        for (std::size_t k = first; k < first + 64; ++k) {
            const double c[2] = { ramp[order[k]].x, ramp[order[k]].y };
            for (int axis = 0; axis < 2; ++axis) {
                low[axis] = std::min(low[axis], c[axis]);
                high[axis] = std::max(high[axis], c[axis]);
            }
        }
        compact += high[0] - low[0] <= 9.0 && high[1] - low[1] <= 9.0;
    }
    EXPECT_GT(compact, windows * 9 / 10);

    // Points on a line span no area, and a point without a position goes last.
    const std::vector<BaVec3d<double>> line { { 2, 0, 0 }, { 0, 0, 0 }, { 1, 0, 0 } };
    EXPECT_EQ(bandOrder(line, nullptr, 0, 8), (std::vector<uint32_t> { 0, 1, 2 }));
    const std::vector<BaVec3d<double>> square { { 0, 0, 0 }, { NAN, 0, 0 }, { 1, 1, 0 }, { 1, 0, 0 } };
    const uint16_t halves[] = { 0, 3, 2, 0, 2, 1 };
    EXPECT_EQ(bandOrder(square, halves, 2, 8).back(), 1u);
    EXPECT_TRUE(bandOrder({}, nullptr, 0, 8).empty());
}
