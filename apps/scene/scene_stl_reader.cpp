#include "apps/scene/scene_stl_reader.h"

#include "apps/scene/scene_reader_support.h"
#include "apps/scene/scene_vertex_merger.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace Gcad::Scene {

namespace {

using Vaq::BaVec3d;

constexpr std::size_t HEADER_BYTES = 84;
constexpr std::size_t TRIANGLE_BYTES = 50;
// How much is read between two releases of the pages behind.
constexpr std::size_t RELEASE_STEP = std::size_t(32) << 20;

float littleEndianFloat(const char *at)
{
    uint32_t bits;
    std::memcpy(&bits, at, 4);
    if constexpr (std::endian::native == std::endian::big)
        bits = __builtin_bswap32(bits);
    return std::bit_cast<float>(bits);
}

bool startsWithSolid(std::string_view bytes)
{
    const std::size_t start = bytes.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && bytes.substr(start, 5) == "solid";
}

MeshData readBinary(
    std::string_view bytes, uint32_t count, const QString &fileName, const ReleaseRead &release)
{
    MeshData mesh;
    reserveToFill(mesh.triangles, count, fileName);
    // A closed mesh has about half as many vertices as triangles.
    VertexMerger merger(fileName, count / 2);
    std::size_t released = 0;
    // Corners go to the merger a block of triangles at a time.
    constexpr uint32_t BLOCK = VertexMerger::BLOCK / 3;
    BaVec3d<double> corners[3 * BLOCK];
    uint32_t indices[3 * BLOCK];
    for (uint64_t first = 0; first < count; first += BLOCK) {
        const uint32_t size = uint32_t(std::min<uint64_t>(BLOCK, count - first));
        for (uint32_t t = 0; t < size; ++t) {
            const std::size_t offset = HEADER_BYTES + std::size_t(first + t) * TRIANGLE_BYTES + 12;
            for (uint32_t c = 0; c < 3; ++c) {
                const char *at = bytes.data() + offset + 12 * c;
                BaVec3d<double> &p = corners[3 * t + c];
                p = { littleEndianFloat(at), littleEndianFloat(at + 4), littleEndianFloat(at + 8) };
                if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
                    throw ImportError(fileName,
                        QStringLiteral("byte %1: non-finite vertex coordinates").arg(offset + 12 * c));
            }
        }
        merger.indicesOf(corners, 3 * size, indices);
        for (uint32_t t = 0; t < size; ++t)
            mesh.triangles.push_back({ indices[3 * t], indices[3 * t + 1], indices[3 * t + 2] });
        const std::size_t offset = HEADER_BYTES + std::size_t(first) * TRIANGLE_BYTES;
        if (release && offset - released > RELEASE_STEP) {
            release(offset);
            released = offset;
        }
    }
    mesh.vertices = merger.takeVertices();
    return mesh;
}

BaVec3d<double> readCorner(TextCursor &text)
{
    text.expect("vertex");
    // Braces: the three are read in order.
    const BaVec3d<double> p { text.number("a coordinate"), text.number("a coordinate"),
        text.number("a coordinate") };
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
        text.fail(QStringLiteral("non-finite vertex coordinates"));
    return p;
}

MeshData readAscii(std::string_view bytes, const QString &fileName, const ReleaseRead &release)
{
    MeshData mesh;
    // A facet takes at least some 100 bytes of text.
    VertexMerger merger(fileName, bytes.size() / 200);
    TextCursor text(bytes, fileName);
    std::size_t released = 0;
    while (text.skipBlanks()) {
        text.expect("solid");
        text.skipLine(); // the solid's name
        for (std::string_view word = text.word(); word != "endsolid"; word = text.word()) {
            if (word != "facet")
                text.failFound("'facet' or 'endsolid'", word);
            text.expect("normal");
            for (int i = 0; i < 3; ++i)
                text.number("a normal coordinate");
            text.expect("outer");
            text.expect("loop");
            Vaq::CAD::Triangle triangle;
            for (int c = 0; c < 3; ++c)
                triangle[c] = merger.indexOf(readCorner(text));
            text.expect("endloop");
            text.expect("endfacet");
            appendOrFail(mesh.triangles, triangle, fileName);
            if (release && text.offset() - released > RELEASE_STEP) {
                release(text.offset());
                released = text.offset();
            }
        }
        text.skipLine(); // the name again
    }
    mesh.vertices = merger.takeVertices();
    return mesh;
}

} // namespace

MeshData readStlMesh(std::string_view bytes, const QString &fileName, const ReleaseRead &release)
{
    uint32_t count = 0;
    if (bytes.size() >= HEADER_BYTES) {
        std::memcpy(&count, bytes.data() + 80, 4);
        if constexpr (std::endian::native == std::endian::big)
            count = __builtin_bswap32(count);
    }
    const uint64_t binarySize = HEADER_BYTES + uint64_t(count) * TRIANGLE_BYTES;
    MeshData mesh;
    if (bytes.size() >= HEADER_BYTES && bytes.size() == binarySize)
        mesh = readBinary(bytes, count, fileName, release);
    else if (startsWithSolid(bytes))
        mesh = readAscii(bytes, fileName, release);
    else if (bytes.size() < HEADER_BYTES)
        throw ImportError(fileName,
            QStringLiteral(
                "neither ascii (no 'solid') nor binary STL (%1 bytes, less than the 84 of a header)")
                .arg(bytes.size()));
    else
        throw ImportError(fileName,
            QStringLiteral(
                "neither ascii (no 'solid') nor binary STL (%1 triangles need %2 bytes, the file has %3)")
                .arg(count)
                .arg(binarySize)
                .arg(bytes.size()));
    if (mesh.triangles.empty())
        throw ImportError(fileName, QStringLiteral("no triangles"));
    return mesh;
}

} // namespace Gcad::Scene
