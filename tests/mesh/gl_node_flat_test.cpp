#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"
#include "gcad/mesh/gcad_gl_node.h"
#include "gcad/mesh/gcad_mesh_render_types.h"
#include "tests/mesh/mesh_node_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>

using namespace Vaq;
using namespace Vaq::GCAD;
using namespace Vaq::Test;

namespace {

constexpr unsigned FLAT = RT_TRIANGLES;

// Five triangles (r_i, r_i+1, c) around a raised centre c = vertex 5: the centre is the last
// corner of all of them, and every face has a normal of its own.
MeshWithTree fan()
{
    std::vector<BaVec3d<double>> vertices;
    for (int i = 0; i < 5; ++i)
        vertices.emplace_back(
            std::cos(2 * std::numbers::pi * i / 5), std::sin(2 * std::numbers::pi * i / 5), 0);
    vertices.emplace_back(0, 0, 1);
    std::vector<CAD::Triangle> triangles;
    for (uint32_t i = 0; i < 5; ++i)
        triangles.push_back({ i, (i + 1) % 5, 5 });
    return MeshWithTree(vertices, triangles);
}

// Seven copies of one triangle (0, 1, 2): every corner can carry two of them, the seventh
// has none left.
MeshWithTree sevenCopies()
{
    return MeshWithTree(
        { { 0, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 } }, std::vector<CAD::Triangle>(7, { 0, 1, 2 }));
}

} // namespace

TEST(GLNodeFlat, aFanTakesTheCentreTwiceAndThenEachFirstCorner)
{
    MeshWithTree mesh = fan();
    GLNode node(STAGE, mesh.leaf());
    node.prepare(FLAT, 0);
    ASSERT_EQ(node.getVertexType(), 4u);
    EXPECT_EQ(node.getFlatSelectedCount(0) + node.getFlatSelectedCount(1), 0u);
    ASSERT_EQ(node.getFlatUnselectedCount(0), 12u);
    ASSERT_EQ(node.getFlatUnselectedCount(1), 3u);
    // Slot 0: t0 on the centre, then t2, t3, t4 rotated so that their first corner is last.
    EXPECT_EQ(indices(node, 0, 12), (std::vector<uint16_t> { 0, 1, 5, 3, 5, 2, 4, 5, 3, 0, 5, 4 }));
    // Slot 1: t1, the centre's second use.
    EXPECT_EQ(indices(node, 12, 3), (std::vector<uint16_t> { 1, 2, 5 }));
    EXPECT_TRUE(node.getLeftovers(false).empty());

    // A provoking vertex carries its triangles' normals (vertex, slot, triangle), the others
    // their vertex normal.
    const CAD::PolyBaseData &data = *mesh.mesh.getData(STAGE);
    for (const auto &[k, slot, t] : { std::tuple(5, 0, 0), { 5, 1, 1 }, { 2, 0, 2 }, { 4, 0, 4 } })
        EXPECT_EQ(shortNormal(node, k, slot), asShort(data.triangleNormals[t])) << k << " " << slot;
    EXPECT_EQ(shortNormal(node, 0, 0), asShort(data.vertexNormals[0]));
    EXPECT_NE(data.triangleNormals[0], data.triangleNormals[1]);
}

TEST(GLNodeFlat, theSeventhCopyIsALeftoverThatKeepsItsRoom)
{
    MeshWithTree mesh = sevenCopies();
    GLNode node(STAGE, mesh.leaf());
    node.prepare(FLAT, 1);
    ASSERT_EQ(node.getVertexType(), 5u);
    // Corners in the order p3, p3, p1, p1, p2, p2: slot 0 gets copies 0, 2, 4, slot 1 copies 1, 3, 5.
    const std::vector<uint16_t> rotations { 0, 1, 2, 1, 2, 0, 2, 0, 1 };
    EXPECT_EQ(indices(node, 0, 9), rotations);
    EXPECT_EQ(indices(node, 9, 9), rotations);
    EXPECT_EQ(node.getFlatUnselectedCount(0), 9u);
    EXPECT_EQ(node.getFlatUnselectedCount(1), 9u);
    ASSERT_EQ(node.getLeftovers(false).size(), 1u);
    EXPECT_EQ(node.getLeftovers(false)[0], 6u);
    // 36 bytes written and 6 kept for the leftover.
    EXPECT_EQ(node.getIndexBytes(), 42u);
}

TEST(GLNodeFlat, selectedTrianglesComeFirstInEachSlot)
{
    auto dome = CAD::createDomeMesh(5, false); // 32 triangles
    MeshWithTree mesh(dome->getData(STAGE)->vertices, dome->getData(STAGE)->triangles);
    mesh.mesh.setTriangleFlag({ 3, 4, 5, 20, 31 }, CAD::PointFlags::SELECTED, true);
    mesh.tree = std::make_unique<CAD::BspTree>(&mesh.mesh, *mesh.mesh.getData(STAGE));
    GLNode node(STAGE, mesh.leaf());
    node.prepare(FLAT, 0);
    const CAD::PolyBaseData &data = *mesh.mesh.getData(STAGE);

    // Each drawn triple is a triangle of the right group, its last index the provoking vertex,
    // no vertex provoking twice in one slot, and that slot holding the triangle's normal.
    std::multiset<std::set<uint32_t>> drawn;
    unsigned offset = 0, selectedDrawn = 0;
    for (int slot = 0; slot < 2; ++slot) {
        std::set<uint16_t> provoking;
        for (int group = 0; group < 2; ++group) {
            const unsigned count
                = group == 0 ? node.getFlatSelectedCount(slot) : node.getFlatUnselectedCount(slot);
            for (unsigned i = offset; i < offset + count; i += 3) {
                const std::vector<uint16_t> c = indices(node, i, 3);
                const std::set<uint32_t> corners(c.begin(), c.end());
                uint32_t triangle = 0;
                while (std::set<uint32_t>(data.triangles[triangle].begin(), data.triangles[triangle].end())
                    != corners)
                    ++triangle;
                EXPECT_EQ(data.triangleFlags[triangle].isSelected(), group == 0);
                EXPECT_TRUE(provoking.insert(c[2]).second);
                EXPECT_EQ(shortNormal(node, c[2], slot), asShort(data.triangleNormals[triangle]));
                drawn.insert(corners);
                selectedDrawn += group == 0;
            }
            offset += count;
        }
    }
    const unsigned leftovers = unsigned(node.getLeftovers(true).size() + node.getLeftovers(false).size());
    EXPECT_EQ(drawn.size() + leftovers, 32u);
    EXPECT_EQ(selectedDrawn + node.getLeftovers(true).size(), 5u);
}

TEST(GLNodeFlat, leftoversOfColourMappedMeshesKeepTheirCornerCoordinates)
{
    Legend2::LegendHandler &legend = *Legend2::LegendHandler::getCurrent();
    const Legend2::LegendHandler saved = legend;
    legend.getColorMap().setToleranceMode(false);
    legend.getColorMap().setDataRange(0.0, 1.0);
    legend.setNumberOfRenderColors(4);
    MeshWithTree mesh = sevenCopies();
    mesh.mesh.setDeviations({ 0.1f, 0.6f, CAD::NO_VALUE });
    mesh.mesh.setTriangleFlag({ 0, 1, 2, 3, 4, 5, 6 }, CAD::PointFlags::SELECTED, true);
    mesh.tree = std::make_unique<CAD::BspTree>(&mesh.mesh, *mesh.mesh.getData(STAGE));
    GLNode node(STAGE, mesh.leaf());
    node.prepare(FLAT | RT_COLOR_MAP, 0);
    legend = saved;

    ASSERT_EQ(node.getVertexType(), 10u);
    EXPECT_EQ(node.getFlatSelectedCount(0), 9u);
    ASSERT_EQ(node.getLeftovers(true).size(), 1u);
    const auto &coordinates = node.getLeftoverTexCoords(true);
    ASSERT_EQ(coordinates.size(), 3u);
    // 0.1 and 0.6 in the first and third of four texels, no value in the special row.
    EXPECT_FLOAT_EQ(coordinates[0].s, 0.5f / 4);
    EXPECT_EQ(coordinates[0].t, 0.0f);
    EXPECT_FLOAT_EQ(coordinates[1].s, 2.5f / 4);
    EXPECT_EQ(coordinates[2].s, 1.0f);
    EXPECT_EQ(coordinates[2].t, GLNode::SPECIAL_ROW);
}
