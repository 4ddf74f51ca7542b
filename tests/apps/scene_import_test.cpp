// File import from small literal files: the meshes and point clouds each format gives
// (vertex and triangle counts, coordinates, colours) and the reason for every file refused.
#include "apps/scene/scene_import.h"
#include "tests/apps/scene_test_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <limits>
#include <optional>

using namespace Gcad::Scene;
using Gcad::Test::binaryStl;
using Gcad::Test::TestFolder;
using Vaq::Color;
using Vaq::CAD::PolyBase;
using Vaq::CAD::PolyBaseData;
using V = Vaq::BaVec3d<double>;

namespace {

// The mesh's data; std::get throws, and so fails the test, where the file gave no mesh.
const PolyBaseData &meshData(const ImportedData &data)
{
    return *std::get<std::unique_ptr<PolyBase>>(data)->getData(Vaq::CAD::StageIdentifier::NO_STAGE);
}

// The corners of triangle t as positions, so that checks do not depend on vertex order.
std::array<V, 3> corners(const PolyBaseData &data, std::size_t t)
{
    const Vaq::CAD::Triangle &c = data.triangles[t];
    return { data.vertices[c[0]], data.vertices[c[1]], data.vertices[c[2]] };
}

const QByteArray PLY_HEADER = "ply\nformat ascii 1.0\nelement vertex 4\n"
                              "property float x\nproperty float y\nproperty float z\n";
const QByteArray PLY_COLORS = "property uchar red\nproperty uchar green\nproperty uchar blue\n";
const QByteArray PLY_FACES = "property list uchar int vertex_indices\nend_header\n";

} // namespace

TEST(MeshImport, stlCornersBecomeSharedVerticesWithUpwardNormals)
{
    TestFolder folder;
    // The unit square in z = 0 as two counter-clockwise triangles, each corner written per
    // triangle as STL does.
    const QString path = folder.write(
        "square.STL", binaryStl({ { 0, 0, 0, 1, 0, 0, 1, 1, 0 }, { 0, 0, 0, 1, 1, 0, 0, 1, 0 } }));
    const ImportedData data = importFile(path);
    EXPECT_EQ(std::get<std::unique_ptr<PolyBase>>(data)->getType(), Vaq::CAD::ElementCreator::MESH_SCAN);
    const PolyBaseData &square = meshData(data);
    // Six corners, four places; counter-clockwise seen from above, so the normals point up.
    ASSERT_EQ(square.vertices.size(), 4u);
    ASSERT_EQ(square.triangles.size(), 2u);
    EXPECT_EQ(corners(square, 1), (std::array<V, 3> { V(0, 0, 0), V(1, 1, 0), V(0, 1, 0) }));
    EXPECT_EQ(square.vertexNormals, std::vector<Vaq::BaVec3d<float>>(4, Vaq::BaVec3d<float>(0, 0, 1)));
}

TEST(MeshImport, plyWithFacesIsAMeshWithItsVertexColours)
{
    TestFolder folder;
    const ImportedData data = importFile(folder.write("quad.ply",
        PLY_HEADER + PLY_COLORS + "element face 1\n" + PLY_FACES
            + "0 0 0 255 0 0\n1 0 0 0 255 0\n1 1 0 0 0 255\n0 1 0 10 20 30\n4 0 1 2 3\n"));
    const PolyBaseData &quad = meshData(data);
    // Two triangles over the four corners, each keeping its own colour whichever index it got.
    ASSERT_EQ(quad.triangles.size(), 2u);
    ASSERT_EQ(quad.drawColors.size(), 4u);
    const std::pair<V, Color> expected[]
        = { { V(0, 0, 0), Color(255, 0, 0) }, { V(1, 0, 0), Color(0, 255, 0) },
              { V(1, 1, 0), Color(0, 0, 255) }, { V(0, 1, 0), Color(10, 20, 30) } };
    for (const auto &[position, color] : expected) {
        const auto at = std::find(quad.vertices.begin(), quad.vertices.end(), position);
        ASSERT_NE(at, quad.vertices.end());
        EXPECT_EQ(quad.drawColors[at - quad.vertices.begin()], color);
    }
}

TEST(MeshImport, plyWithoutFacesAndXyzArePointCloudsOfEveryPoint)
{
    TestFolder folder;
    // Duplicates stay: in a point cloud each line is a measured point.
    const PointCloud ply = std::get<PointCloud>(importFile(folder.write("colored.ply",
        PLY_HEADER + PLY_COLORS
            + "end_header\n0 0 0 255 0 0\n1 2 3 0 255 0\n1 2 3 0 255 0\n-4 5.5 6 1 2 3\n")));
    EXPECT_EQ(ply.positions, std::vector<V>({ V(0, 0, 0), V(1, 2, 3), V(1, 2, 3), V(-4, 5.5, 6) }));
    EXPECT_EQ(ply.colors,
        std::vector<Color>({ Color(255, 0, 0), Color(0, 255, 0), Color(0, 255, 0), Color(1, 2, 3) }));

    const PointCloud xyz
        = std::get<PointCloud>(importFile(folder.write("scan.XYZ", "# x y z r g b\n1 2 3 4 5 6\n")));
    EXPECT_EQ(xyz.positions, std::vector<V>({ V(1, 2, 3) }));
    EXPECT_EQ(xyz.colors, std::vector<Color>({ Color(4, 5, 6) }));
}

TEST(MeshImport, objGroupsBecomeOneMeshAndPolygonsTriangles)
{
    TestFolder folder;
    // A quad in group a and a triangle in group b that refers to the quad's vertices too.
    const ImportedData data = importFile(folder.write("parts.obj",
        "# two parts\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 2\n"
        "o a\nf 1 2 3 4\n"
        "o b\nf 1 2 5\n"));
    const PolyBaseData &parts = meshData(data);
    ASSERT_EQ(parts.triangles.size(), 3u);
    double area = 0.0;
    for (std::size_t t = 0; t < 3; ++t) {
        const auto c = corners(parts, t);
        area += (c[1] - c[0]).cross(c[2] - c[0]).length() / 2.0;
    }
    EXPECT_DOUBLE_EQ(area, 2.0); // the unit quad and a triangle of base 1 and height 2
}

TEST(FileImport, everyFileRefusedNamesItselfAndTheReason)
{
    TestFolder folder;
    ASSERT_TRUE(QDir().mkdir(folder.path("dir.stl")));
    // A FIFO without a writer: opening it for reading as usual would wait for ever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.path("fifo.stl")).constData(), 0600), 0);
    const float inf = std::numeric_limits<float>::infinity();
    const std::array<float, 12> infCorners { 0, 0, 0, 1, 0, 0, 0, inf, 0, 0, 0, 1 };
    struct Case
    {
        QString name;
        std::optional<QByteArray> contents; // none: not written
        QString reason;
    };
    const Case cases[] = {
        { "missing.stl", std::nullopt, "no such file" },
        { "dir.stl", std::nullopt, "is a folder, not a file" },
        { "notes.txt", "1 2 3\n", "unknown file type '.txt' (expected .stl, .ply, .obj or .xyz)" },
        { "mesh", "1 2 3\n", "unknown file type (expected .stl, .ply, .obj or .xyz)" },
        { "empty.stl", "", "empty file" },
        { "fifo.stl", std::nullopt, "is not a regular file" },
        // The readers' reasons are tested with them; one a format shows that they reach the caller.
        { "garbage.stl", "garbage here\n",
            "neither ascii (no 'solid') nor binary STL (13 bytes, less than the 84 of a header)" },
        { "bad.obj", "v 0 0 0\nv 1 0 0\nf 1 2 7\n", "malformed OBJ file (OBJ: vertex index out of range)" },
        { "lines.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2 3\n", "no triangles" },
        // A point cloud is checked as well.
        { "inf.ply",
            QByteArray(PLY_HEADER).replace("ascii", "binary_little_endian") + "end_header\n"
                + QByteArray(reinterpret_cast<const char *>(infCorners.data()), sizeof infCorners),
            "byte 139: non-finite vertex coordinates" },
        { "bad.xyz", "1 2 3\n4 5\n", "line 2: expected 3 values like the first point, found 2" },
    };
    for (const Case &c : cases) {
        const QString path = c.contents ? folder.write(c.name, *c.contents) : folder.path(c.name);
        EXPECT_EQ(Gcad::Test::importError([&] { importFile(path); }), path + ": " + c.reason);
    }
}
