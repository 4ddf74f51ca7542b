// File import from small literal files: the meshes and point clouds each format gives
// (vertex and triangle counts, coordinates, colours) and the reason for every file refused.
#include "apps/scene/scene_import.h"
#include "tests/apps/scene_test_files.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Gcad::Scene;
using Gcad::Test::binaryStl;
using Gcad::Test::importError;
using Gcad::Test::TestFolder;
using Vaq::BaVec3d;
using Vaq::Color;
using Vaq::CAD::ElementCreator;
using Vaq::CAD::PolyBase;
using Vaq::CAD::PolyBaseData;
using Vaq::CAD::StageIdentifier;
using Vaq::CAD::Triangle;

namespace {

const PolyBaseData &meshData(const ImportedData &data)
{
    static const PolyBaseData none;
    const auto *mesh = std::get_if<std::unique_ptr<PolyBase>>(&data);
    EXPECT_TRUE(mesh && *mesh) << "not a mesh";
    return mesh && *mesh ? *(*mesh)->getData(StageIdentifier::NO_STAGE) : none;
}

const PointCloud &points(const ImportedData &data)
{
    static const PointCloud none;
    const auto *cloud = std::get_if<PointCloud>(&data);
    EXPECT_TRUE(cloud) << "not a point cloud";
    return cloud ? *cloud : none;
}

// The corners of triangle t as positions, so that checks do not depend on vertex order.
std::array<BaVec3d<double>, 3> corners(const PolyBaseData &data, std::size_t t)
{
    const Triangle &c = data.triangles[t];
    return { data.vertices[c[0]], data.vertices[c[1]], data.vertices[c[2]] };
}

// The unit square in z = 0 as two counter-clockwise triangles, each corner written per
// triangle as STL does.
const char *ASCII_SQUARE = "solid square\n"
                           "facet normal 0 0 1\n outer loop\n"
                           "  vertex 0 0 0\n  vertex 1 0 0\n  vertex 1 1 0\n"
                           " endloop\nendfacet\n"
                           "facet normal 0 0 1\n outer loop\n"
                           "  vertex 0 0 0\n  vertex 1 1 0\n  vertex 0 1 0\n"
                           " endloop\nendfacet\n"
                           "endsolid square\n";

const char *PLY_HEADER = "ply\nformat ascii 1.0\nelement vertex 4\n"
                         "property float x\nproperty float y\nproperty float z\n";

} // namespace

TEST(MeshImport, stlCornersBecomeSharedVerticesWithUpwardNormals)
{
    TestFolder folder;
    for (const QString &path : { folder.write("ascii.stl", ASCII_SQUARE),
             folder.write("binary.STL",
                 binaryStl({ { 0, 0, 0, 1, 0, 0, 1, 1, 0 }, { 0, 0, 0, 1, 1, 0, 0, 1, 0 } })) }) {
        SCOPED_TRACE(path.toStdString());
        const ImportedData data = importFile(path);
        const PolyBase &mesh = *std::get<std::unique_ptr<PolyBase>>(data);
        EXPECT_EQ(mesh.getType(), ElementCreator::MESH_SCAN);
        EXPECT_EQ(mesh.getFileName(), path);
        const PolyBaseData &square = meshData(data);
        // Six corners, four places.
        ASSERT_EQ(square.vertices.size(), 4u);
        ASSERT_EQ(square.triangles.size(), 2u);
        using V = BaVec3d<double>;
        EXPECT_EQ(corners(square, 0), (std::array<V, 3> { V(0, 0, 0), V(1, 0, 0), V(1, 1, 0) }));
        EXPECT_EQ(corners(square, 1), (std::array<V, 3> { V(0, 0, 0), V(1, 1, 0), V(0, 1, 0) }));
        EXPECT_TRUE(square.drawColors.empty());
        // Counter-clockwise seen from above: the normals point up.
        ASSERT_EQ(square.vertexNormals.size(), 4u);
        for (const BaVec3d<float> &n : square.vertexNormals)
            EXPECT_EQ(n, BaVec3d<float>(0, 0, 1));
    }
}

TEST(MeshImport, plyWithFacesIsAMeshWithItsVertexColours)
{
    TestFolder folder;
    const QByteArray vertices = "0 0 0 255 0 0\n1 0 0 0 255 0\n1 1 0 0 0 255\n0 1 0 10 20 30\n";
    const QString path = folder.write("quad.ply",
        QByteArray(PLY_HEADER)
            + "property uchar red\nproperty uchar green\nproperty uchar blue\n"
              "element face 1\nproperty list uchar int vertex_indices\nend_header\n"
            + vertices + "4 0 1 2 3\n");
    const ImportedData data = importFile(path);
    const PolyBaseData &quad = meshData(data);
    // The quad is cut into two triangles over its four corners.
    ASSERT_EQ(quad.vertices.size(), 4u);
    ASSERT_EQ(quad.triangles.size(), 2u);
    ASSERT_EQ(quad.drawColors.size(), 4u);
    for (std::size_t v = 0; v < 4; ++v) {
        const BaVec3d<double> &p = quad.vertices[v];
        // Each corner keeps its own colour, whichever index it got.
        const Color expected = p == BaVec3d<double>(0, 0, 0) ? Color(255, 0, 0)
            : p == BaVec3d<double>(1, 0, 0)                  ? Color(0, 255, 0)
            : p == BaVec3d<double>(1, 1, 0)                  ? Color(0, 0, 255)
                                                             : Color(10, 20, 30);
        EXPECT_EQ(quad.drawColors[v], expected) << v;
    }

    const QString plain = folder.write("plain.ply",
        QByteArray(PLY_HEADER) + "element face 2\nproperty list uchar int vertex_indices\nend_header\n"
            + "0 0 0\n1 0 0\n1 1 0\n0 1 0\n3 0 1 2\n3 0 2 3\n");
    const ImportedData plainData = importFile(plain);
    EXPECT_EQ(meshData(plainData).triangles.size(), 2u);
    EXPECT_TRUE(meshData(plainData).drawColors.empty());
}

TEST(MeshImport, plyWithoutFacesIsAPointCloudOfEveryVertex)
{
    TestFolder folder;
    // Duplicates stay: in a point cloud each line is a measured point.
    const QString colored = folder.write("colored.ply",
        QByteArray(PLY_HEADER) + "property uchar red\nproperty uchar green\nproperty uchar blue\nend_header\n"
            + "0 0 0 255 0 0\n1 2 3 0 255 0\n1 2 3 0 255 0\n-4 5.5 6 1 2 3\n");
    const ImportedData coloredData = importFile(colored);
    const PointCloud &cloud = points(coloredData);
    ASSERT_EQ(cloud.positions.size(), 4u);
    EXPECT_EQ(cloud.positions[3], BaVec3d<double>(-4, 5.5, 6));
    ASSERT_EQ(cloud.colors.size(), 4u);
    EXPECT_EQ(cloud.colors[3], Color(1, 2, 3));

    const QString plain
        = folder.write("plain.ply", QByteArray(PLY_HEADER) + "end_header\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n");
    const ImportedData data = importFile(plain);
    EXPECT_EQ(points(data).positions.size(), 4u);
    EXPECT_TRUE(points(data).colors.empty());
}

TEST(MeshImport, objGroupsBecomeOneMeshAndPolygonsTriangles)
{
    TestFolder folder;
    // A quad in group a and a triangle in group b that refers to the quad's vertices too.
    const QString path = folder.write("parts.obj",
        "# two parts\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 2\n"
        "o a\nf 1 2 3 4\n"
        "o b\nf 1 2 5\n");
    const ImportedData data = importFile(path);
    const PolyBaseData &parts = meshData(data);
    ASSERT_EQ(parts.triangles.size(), 3u);
    // Every triangle keeps its own corners across the merge of the two groups.
    using V = BaVec3d<double>;
    EXPECT_EQ(corners(parts, 2), (std::array<V, 3> { V(0, 0, 0), V(1, 0, 0), V(0, 0, 2) }));
    double area = 0.0;
    for (std::size_t t = 0; t < 3; ++t) {
        const auto c = corners(parts, t);
        area += (c[1] - c[0]).cross(c[2] - c[0]).length() / 2.0;
    }
    EXPECT_DOUBLE_EQ(area, 2.0); // the unit quad and a triangle of base 1 and height 2
}

TEST(FileImport, xyzFilesArePointClouds)
{
    TestFolder folder;
    const ImportedData data = importFile(folder.write("scan.XYZ", "# x y z r g b\n1 2 3 4 5 6\n"));
    const PointCloud &cloud = points(data);
    ASSERT_EQ(cloud.positions.size(), 1u);
    EXPECT_EQ(cloud.positions[0], BaVec3d<double>(1, 2, 3));
    EXPECT_EQ(cloud.colors, std::vector<Color>({ Color(4, 5, 6) }));
}

TEST(FileImport, everyFileRefusedNamesItselfAndTheReason)
{
    TestFolder folder;
    auto error = [](const QString &path) { return importError([&] { importFile(path); }); };

    const QString missing = folder.path("missing.stl");
    EXPECT_EQ(error(missing), missing + ": no such file");
    const QString dir = folder.path("dir.stl");
    ASSERT_TRUE(QDir().mkdir(dir));
    EXPECT_EQ(error(dir), dir + ": is a folder, not a file");
    const QString text = folder.write("notes.txt", "1 2 3\n");
    EXPECT_EQ(error(text), text + ": unknown file type '.txt' (expected .stl, .ply, .obj or .xyz)");
    const QString bare = folder.write("mesh", "1 2 3\n");
    EXPECT_EQ(error(bare), bare + ": unknown file type (expected .stl, .ply, .obj or .xyz)");

    for (const char *name : { "empty.stl", "empty.ply", "empty.obj", "empty.xyz" }) {
        const QString empty = folder.write(name, "");
        EXPECT_EQ(error(empty), empty + ": empty file");
    }

    const QString garbage = folder.write("garbage.stl", "garbage here\n");
    EXPECT_EQ(error(garbage),
        garbage + ": malformed STL file (Failed to determine STL storage representation for " + garbage
            + ".)");
    const QString badIndex = folder.write("bad.obj", "v 0 0 0\nv 1 0 0\nf 1 2 7\n");
    EXPECT_EQ(error(badIndex), badIndex + ": malformed OBJ file (OBJ: vertex index out of range)");
    const QString truncated
        = folder.write("truncated.stl", binaryStl({ { 0, 0, 0, 1, 0, 0, 0, 1, 0 } }).chopped(10));
    EXPECT_TRUE(error(truncated).startsWith(truncated + ": malformed STL file ("))
        << error(truncated).toStdString();

    // Left to assimp, the corner beyond the three vertices would be read when corners are joined.
    const QString badCorner = folder.write("corner.ply",
        "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\nproperty float z\n"
        "element face 1\nproperty list uchar int vertex_indices\nend_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 9\n");
    EXPECT_EQ(error(badCorner), badCorner + ": a face refers to vertex 9, but there are only 3 vertices");

    const QString noTriangles = folder.write("none.stl", "solid none\nendsolid none\n");
    EXPECT_EQ(error(noTriangles), noTriangles + ": no triangles");
    const QString onlyLines = folder.write("lines.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2 3\n");
    EXPECT_EQ(error(onlyLines), onlyLines + ": no triangles");
    const QString edgesOnly = folder.write("edges.ply",
        QByteArray(PLY_HEADER) + "element face 1\nproperty list uchar int vertex_indices\nend_header\n"
            + "0 0 0\n1 0 0\n1 1 0\n0 1 0\n2 0 1\n");
    EXPECT_EQ(error(edgesOnly), edgesOnly + ": no triangles");

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const QString nanStl = folder.write(
        "nan.stl", binaryStl({ { 0, 0, 0, 1, 0, 0, 0, 1, 0 }, { 0, 0, 0, 1, nan, 0, 0, 1, 0 } }));
    EXPECT_EQ(error(nanStl), nanStl + ": non-finite vertex coordinates");
    const QString infObj = folder.write("inf.obj", "v 0 0 0\nv 1 0 0\nv 0 1e999 0\nf 1 2 3\n");
    EXPECT_EQ(error(infObj), infObj + ": non-finite vertex coordinates");
    const std::array<float, 12> infCorners { 0, 0, 0, 1, 0, 0, 0, inf, 0, 0, 0, 1 };
    const QString infPly = folder.write("inf.ply",
        QByteArray(PLY_HEADER).replace("ascii", "binary_little_endian") + "end_header\n"
            + QByteArray(reinterpret_cast<const char *>(infCorners.data()), sizeof infCorners));
    EXPECT_EQ(error(infPly), infPly + ": non-finite vertex coordinates");

    const QString badXyz = folder.write("bad.xyz", "1 2 3\n4 5\n");
    EXPECT_EQ(error(badXyz), badXyz + ": line 2: expected 3 values like the first point, found 2");
}
