// The STL reader on literal files: corners merged into vertices by exact position, ascii and
// binary told apart by size, and the line or byte it names for each file it refuses.
#include "apps/scene/scene_stl_reader.h"
#include "tests/apps/scene_test_files.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Gcad::Scene;
using Gcad::Test::binaryStl;
using Vaq::CAD::Triangle;
using V = Vaq::BaVec3d<double>;

namespace {

MeshData read(const QByteArray &bytes)
{
    return readStlMesh(
        std::string_view(bytes.constData(), std::size_t(bytes.size())), QStringLiteral("s.stl"));
}

const char *const FACET = "facet normal 0 0 1\n outer loop\n  vertex 0 0 0\n  vertex 1 0 0\n  vertex 0 1 0\n"
                          " endloop\nendfacet\n";

} // namespace

TEST(StlReader, cornersAtExactlyTheSamePositionShareAVertex)
{
    // -0 is the same place as +0; the float just above 1 is not the same place as 1.
    const float above1 = std::nextafter(1.0f, 2.0f);
    QByteArray file = binaryStl({ { 0, 0, 0, 1, 0, 0, 0, 1, 0 }, { -0.0f, 0, -0.0f, 0, 1, 0, 1, 0, 0 },
        { above1, 0, 0, 1, 0, 0, 0, 1, 0 } });
    // A header that starts like ascii text does not matter when the size fits the count.
    file.replace(0, 9, "solid bin");
    const MeshData mesh = read(file);
    EXPECT_EQ(mesh.vertices, std::vector<V>({ V(0, 0, 0), V(1, 0, 0), V(0, 1, 0), V(above1, 0, 0) }));
    EXPECT_EQ(mesh.triangles, std::vector<Triangle>({ { 0, 1, 2 }, { 0, 2, 1 }, { 3, 1, 2 } }));
    EXPECT_TRUE(mesh.colors.empty());
}

TEST(StlReader, asciiSolidsShareVerticesAcrossFacetsAndSolids)
{
    // Two solids, line ends of either kind, a number with a '+' and an exponent.
    const QByteArray file = QByteArray("solid first part\r\n") + FACET + "endsolid first part\r\n"
        + "solid\nfacet normal 0 0 -1\nouter loop\nvertex 0 1 0\nvertex +1e0 0 0\nvertex 0 0 2.5E-1\n"
          "endloop\nendfacet\nendsolid\n";
    const MeshData mesh = read(file);
    EXPECT_EQ(mesh.vertices, std::vector<V>({ V(0, 0, 0), V(1, 0, 0), V(0, 1, 0), V(0, 0, 0.25) }));
    EXPECT_EQ(mesh.triangles, std::vector<Triangle>({ { 0, 1, 2 }, { 2, 1, 3 } }));
}

TEST(StlReader, refusesWithTheLineOrByteAndOneShortLine)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const QByteArray good = QByteArray("solid a\n") + FACET + "endsolid a\n";
    const std::pair<QByteArray, QString> cases[] = {
        // One bad word in a long line: the message quotes its start only.
        { QByteArray(good).replace("vertex 1 0 0", "vertex 1 0 " + QByteArray(100000, 'q')),
            "line 5: expected a coordinate, found '" + QString(40, 'q') + "...'" },
        { good.left(good.indexOf("  vertex 0 1 0")), "line 6: expected 'vertex', found the end of the file" },
        { QByteArray(good).replace("endsolid a\n", ""),
            "line 9: expected 'facet' or 'endsolid', found the end of the file" },
        { QByteArray(good).replace("loop\n  vertex 0 0 0", "loop\n  vertex 0 0 inf"),
            "line 4: non-finite vertex coordinates" },
        { QByteArray(good).replace("endloop", "vertex 1 1 1"), "line 7: expected 'endloop', found 'vertex'" },
        { "solid a\nendsolid a\n", "no triangles" },
        { binaryStl({}), "no triangles" },
        { binaryStl({ { 0, 0, 0, 1, 0, 0, 0, 1, 0 }, { 0, 0, 0, 1, nan, 0, 0, 1, 0 } }),
            "byte 158: non-finite vertex coordinates" },
        { binaryStl({ { 0, 0, 0, 1, 0, 0, 0, 1, 0 }, { 0, 0, 0, 1, 1, 0, 0, 1, 0 } }) + "x",
            "neither ascii (no 'solid') nor binary STL (2 triangles need 184 bytes, the file has 185)" },
        { "garbage here\n",
            "neither ascii (no 'solid') nor binary STL (13 bytes, less than the 84 of a header)" },
    };
    for (const auto &[file, reason] : cases) {
        const QString error = Gcad::Test::importError([&] { read(file); });
        EXPECT_EQ(error, "s.stl: " + reason) << file.left(200).toStdString();
        EXPECT_LE(error.size(), 200);
    }
}
