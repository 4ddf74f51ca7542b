#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/cad/vaq_cad_find_parameter.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_poly_base_render_data.h"
#include "gcad/host/cad/vaq_cad_poly_boundary.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

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

// The unit cube, corner k at (k & 1, k >> 1 & 1, k >> 2 & 1), two outward triangles per face;
// without its top face (z = 1) when open.
void makeCube(PolyBase &mesh, bool open = false)
{
    std::vector<BaVec3d<double>> corners;
    for (int k = 0; k < 8; ++k)
        corners.emplace_back(k & 1, k >> 1 & 1, k >> 2 & 1);
    std::vector<Triangle> triangles = { { 0, 2, 3 }, { 0, 3, 1 }, { 0, 1, 5 }, { 0, 5, 4 }, { 0, 4, 6 },
        { 0, 6, 2 }, { 1, 3, 7 }, { 1, 7, 5 }, { 2, 6, 7 }, { 2, 7, 3 } };
    if (!open)
        triangles.insert(triangles.end(), { { 4, 5, 7 }, { 4, 7, 6 } });
    mesh.setMesh(std::move(corners), std::move(triangles));
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

TEST(PolyBaseNormals, creasesGiveACubeFlatFacesAndCopiesWhatEachVertexCarries)
{
    PolyBase mesh;
    makeCube(mesh);
    std::vector<Color> colors;
    for (uint8_t k = 0; k < 8; ++k)
        colors.emplace_back(k, 0, 0);
    mesh.setDrawColors(colors);
    mesh.setDeviations({ 0, 1, 2, 3, 4, 5, 6, 7 });
    mesh.setPointFlag({ 7 }, PointFlags::SELECTED, true);
    mesh.updateVisualization(STAGE, false, false);
    mesh.computeNormals(PolyBase::DEFAULT_CREASE_ANGLE);
    const PolyBaseData &data = *mesh.getData(STAGE);

    // Three faces meet at right angles in each corner: one vertex per corner and face.
    ASSERT_EQ(data.vertices.size(), 24u);
    std::vector<int> copiesOfCorner(8, 0);
    for (std::size_t v = 0; v < 24; ++v) {
        const BaVec3d<double> &p = data.vertices[v];
        const int corner = int(p.x) + 2 * int(p.y) + 4 * int(p.z);
        ++copiesOfCorner[corner];
        EXPECT_EQ(data.drawColors[v], colors[corner]) << v;
        EXPECT_EQ(data.deviations[v], float(corner)) << v;
        EXPECT_EQ(data.pointFlags[v].isSelected(), corner == 7) << v;
    }
    EXPECT_EQ(copiesOfCorner, std::vector<int>(8, 3));
    // Flat: every corner of a triangle has the triangle's normal.
    for (std::size_t t = 0; t < 12; ++t)
        for (uint32_t v : data.triangles[t])
            expectNear(data.vertexNormals[v],
                BaVec3d<double>(
                    data.triangleNormals[t].x, data.triangleNormals[t].y, data.triangleNormals[t].z));

    // The tree is built anew over all copies; the closed cube still has no boundary.
    EXPECT_EQ(mesh.getPolyBaseRenderData(STAGE), nullptr);
    mesh.updateVisualization(STAGE, false, false);
    EXPECT_EQ(mesh.getNumberOfVisiblePoints(STAGE), 24u);
    EXPECT_EQ(mesh.getNumberOfVisibleTriangles(STAGE), 12u);
    ASSERT_NE(mesh.getBoundary(), nullptr);
    EXPECT_TRUE(mesh.getBoundary()->getPolylines().empty());

    // Each call starts from the mesh as set: faces at 90 degrees split under 89, not under 91.
    for (const auto &[crease, vertices] :
        { std::pair(91.0, 8u), std::pair(89.0, 24u), std::pair(180.0, 8u) }) {
        mesh.computeNormals(crease);
        EXPECT_EQ(data.vertices.size(), vertices) << crease;
        EXPECT_EQ(data.drawColors.size(), vertices) << crease;
        EXPECT_EQ(data.vertexNormals.size(), vertices) << crease;
    }
    EXPECT_EQ(data.drawColors, colors);
    // Smooth again: the corner's normal points out of the cube on all three axes.
    for (std::size_t v = 0; v < 8; ++v) {
        const BaVec3d<float> &n = data.vertexNormals[v];
        EXPECT_TRUE((n.x > 0) == (v & 1) && (n.y > 0) == (v >> 1 & 1) && (n.z > 0) == (v >> 2 & 1)) << v;
    }
}

TEST(PolyBaseNormals, theBoundaryIsTheMeshsNotTheCreasesAndASmoothSphereKeepsItsVertices)
{
    // An open box: the rim of its missing top is the only boundary, though its side walls split.
    PolyBase box;
    makeCube(box, true);
    box.computeNormals(PolyBase::DEFAULT_CREASE_ANGLE);
    box.updateVisualization(STAGE, false, false);
    EXPECT_EQ(box.getData(STAGE)->vertices.size(), 4u * 3 + 4u * 2);
    ASSERT_NE(box.getBoundary(), nullptr);
    ASSERT_EQ(box.getBoundary()->getPolylines().size(), 1u);
    const std::vector<uint32_t> &rim = box.getBoundary()->getPolylines()[0];
    EXPECT_EQ(std::set<uint32_t>(rim.begin(), rim.end()), (std::set<uint32_t> { 4, 5, 6, 7 }));

    // A sphere of 64 meridians and 31 parallels: neighbouring facets differ by about 6 degrees.
    std::vector<BaVec3d<double>> points = { { 0, 0, 1 }, { 0, 0, -1 } };
    std::vector<Triangle> triangles;
    const uint32_t meridians = 64, parallels = 31;
    for (uint32_t i = 1; i <= parallels; ++i) {
        const double theta = M_PI * i / (parallels + 1);
        for (uint32_t j = 0; j < meridians; ++j) {
            const double phi = 2 * M_PI * j / meridians;
            points.emplace_back(
                std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta));
        }
    }
    auto at = [&](uint32_t i, uint32_t j) { return 2 + (i - 1) * meridians + j % meridians; };
    for (uint32_t j = 0; j < meridians; ++j) {
        triangles.push_back({ 0, at(1, j), at(1, j + 1) });
        triangles.push_back({ 1, at(parallels, j + 1), at(parallels, j) });
        for (uint32_t i = 1; i < parallels; ++i) {
            triangles.push_back({ at(i, j), at(i + 1, j), at(i + 1, j + 1) });
            triangles.push_back({ at(i, j), at(i + 1, j + 1), at(i, j + 1) });
        }
    }
    PolyBase sphere;
    sphere.setMesh(points, triangles);
    sphere.computeNormals(PolyBase::DEFAULT_CREASE_ANGLE);
    const PolyBaseData &data = *sphere.getData(STAGE);
    ASSERT_EQ(data.vertices.size(), points.size());
    EXPECT_EQ(data.triangles, triangles);
    for (std::size_t v = 0; v < points.size(); ++v)
        EXPECT_GT(data.vertexNormals[v].dot(BaVec3d<float>(points[v].x, points[v].y, points[v].z)), 0.999f)
            << v;
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

namespace {

// Model to window: 10 pixels per unit in x and y around pixel (100, 100); window depth
// 0.5 - z / 100, so a larger z is nearer the viewer, who looks along -z.
Transformation topView()
{
    const double m[16] = { 10, 0, 0, 100, 0, 10, 0, 100, 0, 0, -0.01, 0.5, 0, 0, 0, 1 };
    return Transformation(m);
}

// The pick of model point (x, y) seen from above.
FindParameter pickAt(double x, double y)
{
    return FindParameter(Line3d({ x, y, 50 }, { 0, 0, -1 }), topView());
}

// Two parallel unit grids of n x n vertices in one mesh, at z = 0 (listed first) and z = 1,
// split into leaves of at most 40 vertices so that the ray passes several of them.
void makeTwoLayers(PolyBase &mesh, uint32_t n)
{
    std::vector<BaVec3d<double>> vertices;
    std::vector<Triangle> triangles;
    for (int layer = 0; layer < 2; ++layer) {
        const uint32_t base = uint32_t(vertices.size());
        for (uint32_t i = 0; i < n; ++i)
            for (uint32_t j = 0; j < n; ++j)
                vertices.emplace_back(double(j) / (n - 1), double(i) / (n - 1), layer);
        for (uint32_t i = 0; i + 1 < n; ++i) {
            for (uint32_t j = 0; j + 1 < n; ++j) {
                const uint32_t k = base + i * n + j;
                triangles.push_back({ k, k + 1, k + 1 + n });
                triangles.push_back({ k, k + 1 + n, k + n });
            }
        }
    }
    mesh.setMesh(std::move(vertices), std::move(triangles));
    mesh.setMaxLeafVertices(40);
    mesh.updateVisualization(STAGE, false, false);
}

} // namespace

TEST(PolyBaseFind, theFrontLayerIsFoundUnlessHiddenOrCutAwayAndTheRenderTransformationCounts)
{
    PolyBase mesh;
    makeTwoLayers(mesh, 11);
    ASSERT_GT(mesh.getPolyBaseRenderData(STAGE)->getAllLeaves().size(), 4u);

    FindParameter parameter = pickAt(0.33, 0.71);
    ASSERT_TRUE(mesh.findElementAtPixel(STAGE, parameter, 0.0));
    BaVec3d<double> point;
    double z = 0.0;
    ASSERT_TRUE(parameter.getFoundPoint(&point));
    ASSERT_TRUE(parameter.getFoundZ(&z));
    EXPECT_NEAR((point - BaVec3d<double>(0.33, 0.71, 1)).length(), 0.0, 1e-12);
    EXPECT_DOUBLE_EQ(z, -(0.5 - 0.01)); // the window depth of z = 1, negated
    EXPECT_FALSE(parameter.existsFoundRenderTrafo());

    // Beside the mesh: nothing, and the earlier result is gone.
    parameter = pickAt(1.2, 0.5);
    EXPECT_FALSE(mesh.findElementAtPixel(STAGE, parameter, 10.0));
    EXPECT_FALSE(parameter.getFoundZ(&z));

    // The clipping plane keeps z <= 0.5: the back layer is found.
    parameter = pickAt(0.33, 0.71);
    parameter.setClippingPlane(Plane3d({ 0, 0, 0.5 }, { 0, 0, -1 }));
    ASSERT_TRUE(mesh.findElementAtPixel(STAGE, parameter, 0.0));
    parameter.getFoundPoint(&point);
    EXPECT_NEAR(point.z, 0.0, 1e-12);

    // The front layer's triangles (the second half) hidden: the back layer again.
    std::vector<uint32_t> front;
    for (uint32_t i = 200; i < 400; ++i)
        front.push_back(i);
    mesh.setTriangleFlag(front, PointFlags::HIDDEN, true);
    mesh.updateVisualization(STAGE, false, false);
    parameter = pickAt(0.33, 0.71);
    ASSERT_TRUE(mesh.findElementAtPixel(STAGE, parameter, 0.0));
    parameter.getFoundPoint(&point);
    EXPECT_NEAR(point.z, 0.0, 1e-12);
    mesh.setTriangleFlag(front, PointFlags::HIDDEN, false);
    mesh.updateVisualization(STAGE, false, false);

    // Turned upside down (about the x axis) and moved by 5 in x: the layer at z = 0 is now on
    // top (at z = 0 + 3), and the point comes back in the mesh's own coordinates.
    const Transformation toWorld = Transformation::translation({ 5, 0, 3 })
        * Transformation::rotation({ 1, 0, 0 }, 3.14159265358979323846);
    mesh.setRenderTransformation(STAGE, toWorld);
    parameter = pickAt(5.33, -0.71);
    ASSERT_TRUE(mesh.findElementAtPixel(STAGE, parameter, 0.0));
    parameter.getFoundPoint(&point);
    parameter.getFoundZ(&z);
    EXPECT_NEAR((point - BaVec3d<double>(0.33, 0.71, 0)).length(), 0.0, 1e-9);
    EXPECT_NEAR(z, -(0.5 - 0.03), 1e-12);
    Transformation found;
    ASSERT_TRUE(parameter.getFoundRenderTrafo(&found));
    EXPECT_EQ(found, toWorld);
    parameter = pickAt(0.33, 0.71);
    EXPECT_FALSE(mesh.findElementAtPixel(STAGE, parameter, 0.0));
}
