// The PLY reader on literal files: meshes from faces of any integer list types and from
// triangle strips, point clouds with normals, colours and a value, binary in either byte order,
// and the line or byte it names for each file it refuses.
#include "apps/scene/scene_ply_reader.h"
#include "apps/scene/scene_reader_support.h"
#include "tests/apps/scene_test_files.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

using namespace Gcad::Scene;
using Vaq::Color;
using Vaq::CAD::Triangle;
using V = Vaq::BaVec3d<double>;
using N = Vaq::BaVec3d<float>;

namespace {

PlyData read(const QByteArray &bytes)
{
    return readPly(std::string_view(bytes.constData(), std::size_t(bytes.size())), QStringLiteral("m.ply"));
}

// Binary values in the chosen byte order.
class Binary
{
public:
    explicit Binary(bool bigEndian)
        : m_big(bigEndian)
    {
    }
    template<typename T> Binary &operator<<(T value)
    {
        char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        if (m_big)
            std::reverse(bytes, bytes + sizeof(T));
        m_data.append(bytes, sizeof(T));
        return *this;
    }
    const QByteArray &data() const { return m_data; }

private:
    bool m_big;
    QByteArray m_data;
};

} // namespace

TEST(PlyReader, binaryFacesOfAnyListTypesInEitherByteOrderSkippingWhatIsNotGeometry)
{
    for (const bool big : { false, true }) {
        // An extra double per vertex, an extra list per face and an element nobody draws, all
        // skipped by their declared sizes; a quad becomes a fan of two triangles.
        const QByteArray header = QByteArray("ply\nformat ")
            + (big ? "binary_big_endian" : "binary_little_endian")
            + " 1.0\ncomment made by hand\nelement vertex 4\nproperty float x\nproperty double confidence\n"
              "property float y\nproperty float z\nproperty uchar red\nproperty uchar green\nproperty uchar "
              "blue\n"
              "element edge 1\nproperty int vertex1\nproperty int vertex2\n"
              "element face 2\nproperty list uchar float texcoord\nproperty list ushort uint vertex_indices\n"
              "end_header\n";
        Binary body(big);
        const float corners[4][3] = { { 0, 0, 0 }, { 1, 0, 0 }, { 1, 1, 0 }, { 0, 1, 0 } };
        for (int v = 0; v < 4; ++v)
            body << corners[v][0] << 0.5 << corners[v][1] << corners[v][2] << uint8_t(10 * v) << uint8_t(1)
                 << uint8_t(2);
        body << int32_t(0) << int32_t(1);
        body << uint8_t(2) << 0.25f << 0.75f << uint16_t(4) << 0u << 1u << 2u << 3u;
        body << uint8_t(0) << uint16_t(3) << 3u << 2u << 1u;
        const MeshData mesh = std::get<MeshData>(read(header + body.data()));
        EXPECT_EQ(mesh.vertices, std::vector<V>({ V(0, 0, 0), V(1, 0, 0), V(1, 1, 0), V(0, 1, 0) })) << big;
        EXPECT_EQ(mesh.triangles, std::vector<Triangle>({ { 0, 1, 2 }, { 0, 2, 3 }, { 3, 2, 1 } })) << big;
        EXPECT_EQ(mesh.colors,
            std::vector<Color>({ Color(0, 1, 2), Color(10, 1, 2), Color(20, 1, 2), Color(30, 1, 2) }));
    }
}

TEST(PlyReader, triangleStripsRestartAtMinusOneAndAllFaceOneWay)
{
    // Two strips over a 3 x 2 grid, the second restarted by -1, and a strip of one repeated
    // vertex that gives no triangle. Every second triangle of a strip is turned round, so that
    // all four face -z like the first.
    const QByteArray file = "ply\nformat ascii 1.0\nelement vertex 6\nproperty float x\nproperty float y\n"
                            "property float z\nelement tristrips 2\nproperty list int int vertex_indices\n"
                            "end_header\n0 0 0\n0 1 0\n1 0 0\n1 1 0\n2 0 0\n2 1 0\n"
                            "9 0 1 2 3 -1 2 3 4 5\n3 0 0 1\n";
    const MeshData mesh = std::get<MeshData>(read(file));
    EXPECT_EQ(mesh.triangles, std::vector<Triangle>({ { 0, 1, 2 }, { 2, 1, 3 }, { 2, 3, 4 }, { 4, 3, 5 } }));
    for (const Triangle &t : mesh.triangles) {
        const V &a = mesh.vertices[t[0]];
        EXPECT_LT((mesh.vertices[t[1]] - a).cross(mesh.vertices[t[2]] - a).z, 0.0);
    }
}

TEST(PlyReader, pointCloudsKeepNormalsColoursAndOneValue)
{
    // Float colours run from 0 to 1; the first value property wins, the second is skipped.
    const PointCloud ascii = std::get<PointCloud>(read(
        "ply\nformat ascii 1.0\nelement vertex 2\nproperty double x\nproperty double y\nproperty double z\n"
        "property float nx\nproperty float ny\nproperty float nz\nproperty float red\nproperty float green\n"
        "property float blue\nproperty float quality\nproperty float scalar_other\nend_header\n"
        "1 2 3 0 0 1 1 0.5 0 0.25 7\n-1 -2 -3.5 1 0 0 0 0 1 -2 8\n"));
    EXPECT_EQ(ascii.positions, std::vector<V>({ V(1, 2, 3), V(-1, -2, -3.5) }));
    EXPECT_EQ(ascii.normals, std::vector<N>({ N(0, 0, 1), N(1, 0, 0) }));
    EXPECT_EQ(ascii.colors, std::vector<Color>({ Color(255, 128, 0), Color(0, 0, 255) }));
    EXPECT_EQ(ascii.values, std::vector<float>({ 0.25f, -2.0f }));

    Binary body(false);
    body << 1.0f << 2.0f << 3.0f << uint8_t(9) << uint8_t(8) << uint8_t(7) << uint8_t(255);
    const PointCloud binary = std::get<PointCloud>(
        read("ply\nformat binary_little_endian 1.0\nelement vertex 1\nproperty float x\nproperty float y\n"
             "property float z\nproperty uchar red\nproperty uchar green\nproperty uchar blue\nproperty "
             "uchar alpha\n"
             "end_header\n"
            + body.data()));
    EXPECT_EQ(binary.positions, std::vector<V>({ V(1, 2, 3) }));
    EXPECT_EQ(binary.colors, std::vector<Color>({ Color(9, 8, 7) }));
    EXPECT_TRUE(binary.normals.empty() && binary.values.empty());
}

TEST(PlyReader, refusesEveryLieAndCutWithTheLineOrByte)
{
    const QByteArray xyz = "property float x\nproperty float y\nproperty float z\n";
    const QByteArray ascii = "ply\nformat ascii 1.0\nelement vertex 3\n" + xyz;
    const QByteArray faces = "element face 1\nproperty list uchar int vertex_indices\nend_header\n";
    // Long enough that a face of fewer corners passes the check of the sizes.
    const QByteArray three = "0.0 0.0 0.0\n1.0 0.0 0.0\n0.0 1.0 0.0\n";
    const QByteArray binaryHeader = "ply\nformat binary_little_endian 1.0\nelement vertex 3\n" + xyz + faces;
    Binary vertices(false);
    for (float c : { 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.f })
        vertices << c;
    // 169 bytes of header, then 36 of vertices and 13 for one triangle.
    Binary quadCut = vertices, triangle = vertices;
    quadCut << uint8_t(4) << 0 << 1 << 2;
    triangle << uint8_t(3) << 0 << 1 << 2;
    QByteArray twoBillion = binaryHeader;
    twoBillion.replace("face 1", "face 2000000000");
    twoBillion += vertices.data() + QByteArray(13, '\0');
    twoBillion.append(QByteArray(231 - twoBillion.size(), '\0'));

    const std::pair<QByteArray, QString> cases[] = {
        { "ply\nformat ascii 1.0\nelement vertex 3\nprop",
            "line 4: the file ends inside the header (no 'end_header')" },
        { "solid x\n", "line 1: not a PLY file (it does not start with 'ply')" },
        { "ply\nformat utf8 1.0\nend_header\n", "line 2: unknown format 'utf8'" },
        { "ply\nformat ascii 1.0\nelement vertex 1\nproperty quad x\nend_header\n",
            "line 4: unknown type 'quad'" },
        { "ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\nproperty float y\nend_header\n1 2\n",
            "line 3: element 'vertex' lacks x, y or z" },
        { ascii + "element face 1\nproperty list uchar float vertex_indices\nend_header\n",
            "line 7: the list 'vertex_indices' of element 'face' is not of integers" },
        { ascii + faces + three + "0\n", "line 13: a face of 0 corners" },
        { ascii + faces + three + "2 0 1\n", "line 13: a face of 2 corners" },
        { ascii + faces + three + "3 0 1 3\n", "line 13: vertex index 3 is not one of the 3 vertices" },
        { ascii + faces + QByteArray(three).replace("1.0 0.0\n", "1.0 nan\n") + "3 0 1 2\n",
            "line 12: non-finite vertex coordinates" },
        // Counts larger than the lines that follow, with enough bytes to pass the size check.
        { QByteArray(ascii).replace("vertex 3", "vertex 4")
                + "end_header\n0.000 0.000 0.000\n1.000 0.000 0.000\n"
                  "0.000 1.000 0.000\n",
            "line 11: expected a number, found the end of the file" },
        { QByteArray(ascii + faces).replace("face 1", "face 2") + "0 0 0\n1 0 0\n0 1 0\n3 0 1 2          \n",
            "line 14: expected a whole number, found the end of the file" },
        { ascii + "end_header\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n",
            "line 11: more values than the header declares" },
        { QByteArray(binaryHeader).replace("vertex 3", "vertex 1000") + vertices.data()
                + QByteArray(13, '\0'),
            "line 3: 1000 entries of element 'vertex' need at least 12000 bytes, only 49 follow the header" },
        { twoBillion,
            "line 7: 2000000000 entries of element 'face' need at least 26000000000 bytes, only 53 follow "
            "the header" },
        { binaryHeader + quadCut.data(), "byte 205: a list of 4 corners, more than the file holds" },
        { binaryHeader + triangle.data() + "x", "byte 218: 1 bytes more than the header declares" },
        { "ply\nformat ascii 1.0\nelement vertex 0\n" + xyz + "end_header\n", "no points" },
        // Strips whose every triangle repeats a vertex.
        { ascii + "element tristrips 1\nproperty list int int vertex_indices\nend_header\n" + three
                + "4 0 0 1 1\n",
            "no triangles" },
    };
    for (const auto &[file, reason] : cases)
        EXPECT_EQ(Gcad::Test::importError([&] { read(file); }), "m.ply: " + reason) << file.toStdString();
}

TEST(ReaderSupport, outOfMemoryIsSaidWithTheSizeNeeded)
{
    // 2^62 doubles are beyond what a vector can hold: 2^65 bytes, 36893488147419.1 MB.
    std::vector<double> values;
    EXPECT_EQ(Gcad::Test::importError([&] { reserveOrFail(values, std::size_t(1) << 62, "m.ply"); }),
        "m.ply: out of memory (36893488147419.1 MB needed)");
}
