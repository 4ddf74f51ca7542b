#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_poly_base_render_data.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Vaq;
using namespace Vaq::CAD;
using Vaq::Test::progErrorMessage;

namespace {

const StageIdentifier STAGE = StageIdentifier::DEFAULT_DATASET;

// An octahedron around the origin: vertices on the axes, eight outward-facing triangles.
void makeOctahedron(PolyBase &mesh)
{
    mesh.setMesh({ { 1, 0, 0 }, { -1, 0, 0 }, { 0, 1, 0 }, { 0, -1, 0 }, { 0, 0, 1 }, { 0, 0, -1 } },
        { { 0, 2, 4 }, { 2, 1, 4 }, { 1, 3, 4 }, { 3, 0, 4 }, { 2, 0, 5 }, { 1, 2, 5 }, { 3, 1, 5 },
            { 0, 3, 5 } });
}

void expectNear(const BaVec3d<float> &actual, const BaVec3d<double> &expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-6);
    EXPECT_NEAR(actual.y, expected.y, 1e-6);
    EXPECT_NEAR(actual.z, expected.z, 1e-6);
}

} // namespace

TEST(PolyBaseNormals, octahedronNormalsPointAlongTheAxesAndTheFaceDiagonals)
{
    PolyBase mesh;
    makeOctahedron(mesh);
    mesh.computeNormals();
    const PolyBaseData &data = *mesh.getData(STAGE);
    // Every vertex sits in four equal faces whose normals sum along its own axis.
    for (std::size_t v = 0; v < 6; ++v)
        expectNear(data.vertexNormals[v], data.vertices[v]);
    // Each face's normal is the mean direction of its three corners.
    const double s = 1.0 / std::sqrt(3.0);
    for (std::size_t t = 0; t < 8; ++t) {
        const Triangle &c = data.triangles[t];
        expectNear(
            data.triangleNormals[t], (data.vertices[c[0]] + data.vertices[c[1]] + data.vertices[c[2]]) * s);
    }
}

TEST(PolyBaseData, badInputIsRefusedAndChangesNothing)
{
    EXPECT_EQ(progErrorMessage([] { PolyBase(ElementCreator::POINT_CLOUD); }), "not a mesh type");
    EXPECT_NO_THROW(PolyBase(ElementCreator::MESH_CLOSED));

    PolyBase mesh;
    makeOctahedron(mesh);
    EXPECT_EQ(progErrorMessage([&] {
        mesh.setMesh({ { 0, 0, 0 } }, { { 0, 0, 1 } });
    }),
        "triangle corner out of range");
    EXPECT_EQ(mesh.getData(STAGE)->vertices.size(), 6u);
    EXPECT_EQ(progErrorMessage([&] { mesh.setOffsetSurface(std::vector<BaVec3d<double>>(6), {}, {}); }),
        "wrong number of values");
    EXPECT_EQ(progErrorMessage([&] {
        mesh.setPointFlag({ 1, 6 }, PointFlags::SELECTED, true);
    }),
        "point index out of range");
    EXPECT_FALSE(mesh.getData(STAGE)->pointFlags[1].isSelected());
    EXPECT_EQ(progErrorMessage([&] { mesh.setTriangleFlag({ 8 }, PointFlags::HIDDEN, true); }),
        "triangle index out of range");
}

TEST(PolyBaseVisualization, boxAndModificationFlagsThatLastUntilTheUpdate)
{
    PolyBase mesh;
    makeOctahedron(mesh);
    // The box is the vertices' box.
    Box3d box;
    mesh.setRenderTransformation(STAGE, Transformation::translation({ 10, 0, 0 }));
    ASSERT_TRUE(mesh.getBoundingBox(STAGE, BBT_GEOMETRY, CCS_WORLD, box));
    EXPECT_EQ(box, Box3d({ 9, -1, -1 }, { 11, 1, 1 }));
    // Normals missing at the update are computed then.
    mesh.updateVisualization(STAGE, false, false);
    const PolyBaseData &data = *mesh.getData(STAGE);
    EXPECT_FALSE(data.renderDataModified);
    EXPECT_EQ(data.vertexNormals.size(), 6u);
    ASSERT_NE(mesh.getPolyBaseRenderData(STAGE), nullptr);
    EXPECT_EQ(mesh.getNumberOfVisibleTriangles(STAGE), 8u);

    mesh.setTriangleFlag({ 0, 1 }, PointFlags::HIDDEN, true);
    mesh.setDeviations(std::vector<float>(6, NO_VALUE));
    EXPECT_TRUE(data.renderFlagsModified);
    EXPECT_TRUE(data.renderVisualizationModified);
    EXPECT_EQ(mesh.getNumberOfVisibleTriangles(STAGE), 8u); // not re-sorted yet

    // A delayed update runs only when asked for.
    mesh.executeDelayedUpdateVisualization();
    EXPECT_TRUE(data.renderFlagsModified);
    mesh.requestDelayedUpdateVisualization();
    mesh.executeDelayedUpdateVisualization();
    EXPECT_FALSE(data.renderFlagsModified);
    EXPECT_FALSE(data.renderVisualizationModified);
    EXPECT_EQ(mesh.getNumberOfVisibleTriangles(STAGE), 6u);

    // New geometry drops the tree at once.
    mesh.setMesh({ { 0, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 } }, { { 0, 1, 2 } });
    EXPECT_EQ(mesh.getPolyBaseRenderData(STAGE), nullptr);
    EXPECT_TRUE(data.deviations.empty());

    // An invalid stage has neither data, render data nor feature lines.
    mesh.setLines({ { { 0, 0, 0 }, { 1, 0, 0 } } });
    mesh.updateVisualization(STAGE, false, false);
    mesh.setStageValid(STAGE, false);
    EXPECT_EQ(mesh.getLines(STAGE), nullptr);
    EXPECT_EQ(mesh.getData(STAGE), nullptr);
    EXPECT_EQ(mesh.getPolyBaseRenderData(STAGE), nullptr);
}

TEST(PolyBaseMaterialOffset, onlyTheOffsetSetLastIsReported)
{
    PolyBase mesh;
    makeOctahedron(mesh);
    mesh.setPatchMaterialOffset(PatchInfo({ { 0.5, true, true }, { 1.5, true, false } }));
    EXPECT_EQ(mesh.existsMaterialOffset(), MO_PER_PATCH);
    ASSERT_NE(mesh.getPatchInfoObject(), nullptr);
    EXPECT_FALSE(mesh.getPatchInfoObject()->getPatchFlag(1)); // one switch off

    mesh.setElementMaterialOffset(2.0);
    EXPECT_EQ(mesh.existsMaterialOffset(), MO_ELEMENT);
    EXPECT_EQ(mesh.getPatchInfoObject(), nullptr);
    mesh.clearMaterialOffset();
    EXPECT_EQ(mesh.existsMaterialOffset(), MO_NONE);
    EXPECT_EQ(mesh.getElementMaterialOffset(), 0.0);

    EXPECT_FALSE(mesh.isOffsetMeshValid());
    mesh.setOffsetSurface(
        std::vector<BaVec3d<double>>(6), std::vector<BaVec3d<float>>(6), std::vector<BaVec3d<float>>(8));
    EXPECT_TRUE(mesh.isOffsetMeshValid());
}

TEST(DomeMesh, heightAndColourFollowTheGridPosition)
{
    auto dome = createDomeMesh(5, true);
    const PolyBaseData &data = *dome->getData(STAGE);
    ASSERT_EQ(data.triangles.size(), 32u); // 2 (n - 1)^2
    // Row 1, column 2 (vertex 7): z = 0.5 sin(pi / 2) sin(pi / 4); red follows the column, green the row.
    EXPECT_DOUBLE_EQ(data.vertices[7].z, 0.5 * std::sin(M_PI / 4));
    EXPECT_EQ(data.drawColors[7], Color(127, 63, 0));
    EXPECT_EQ(progErrorMessage([] { createDomeMesh(1, false); }), "dome size out of range");
}
