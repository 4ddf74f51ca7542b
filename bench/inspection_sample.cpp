// inspection_sample FOLDER [--triangles N]: writes the sample part and a scan of it,
// FOLDER/nominal.stl (binary, 160000 triangles or about N) and FOLDER/scan.ply (binary, 240000
// points with normals), for pictures such as
//   gcad render FOLDER/nominal.stl --actual FOLDER/scan.ply --deviation --section z=66
// and, with ten million triangles, for timing the viewer on a large part.
#include "apps/scene/scene_inspection_sample.h"

#include <QFile>
#include <QString>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

template<typename T> void put(QByteArray &bytes, T value)
{
    bytes.append(reinterpret_cast<const char *>(&value), sizeof value);
}

QByteArray stl(const Gcad::Scene::MeshData &mesh)
{
    QByteArray bytes(80, ' ');
    bytes.replace(0, 22, "gcad inspection sample");
    put(bytes, uint32_t(mesh.triangles.size()));
    for (const Vaq::CAD::Triangle &t : mesh.triangles) {
        const Vaq::BaVec3d<double> &a = mesh.vertices[t[0]], &b = mesh.vertices[t[1]],
                                   &c = mesh.vertices[t[2]];
        const Vaq::BaVec3d<double> n = (b - a).cross(c - a).normalized();
        for (const auto &v : { n, a, b, c }) {
            put(bytes, float(v.x));
            put(bytes, float(v.y));
            put(bytes, float(v.z));
        }
        put(bytes, uint16_t(0));
    }
    return bytes;
}

QByteArray ply(const Gcad::Scene::PointCloud &scan)
{
    QByteArray bytes = QStringLiteral("ply\nformat binary_little_endian 1.0\nelement vertex %1\n"
                                      "property float x\nproperty float y\nproperty float z\n"
                                      "property float nx\nproperty float ny\nproperty float nz\nend_header\n")
                           .arg(scan.positions.size())
                           .toLatin1();
    for (std::size_t i = 0; i < scan.positions.size(); ++i) {
        for (const float v : { float(scan.positions[i].x), float(scan.positions[i].y),
                 float(scan.positions[i].z), scan.normals[i].x, scan.normals[i].y, scan.normals[i].z })
            put(bytes, v);
    }
    return bytes;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        return true;
    std::fprintf(
        stderr, "inspection_sample: error: %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    // The part has sides x sides / 2 quads, so sides x sides triangles.
    unsigned sides = 400;
    const bool sized = argc == 4 && std::strcmp(argv[2], "--triangles") == 0;
    if (sized) {
        char *end = nullptr;
        const double triangles = std::strtod(argv[3], &end);
        if (*end != '\0' || !(triangles >= 8.0 && triangles <= 1e9)) {
            std::fprintf(stderr,
                "inspection_sample: error: --triangles wants a count from 8 to 1e9, not %s\n", argv[3]);
            return 2;
        }
        sides = 2 * unsigned(std::lround(std::sqrt(triangles) / 2.0));
    }
    if ((argc != 2 && !sized) || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr,
            "usage: inspection_sample FOLDER [--triangles N] (writes FOLDER/nominal.stl and "
            "FOLDER/scan.ply)\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const bool written = write(folder + "/nominal.stl", stl(Gcad::Scene::makeSamplePart(sides, sides / 2)))
        && write(folder + "/scan.ply", ply(Gcad::Scene::makeSampleScan(600, 400, 0.03, 1)));
    return written ? 0 : 1;
}
