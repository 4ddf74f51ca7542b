// inspection_sample FOLDER [--triangles N]: writes the sample part and a scan of it,
// FOLDER/nominal.stl (binary, 160000 triangles or about N) and FOLDER/scan.ply (binary, 240000
// points with normals), for pictures such as
//   gcad render FOLDER/nominal.stl --actual FOLDER/scan.ply --deviation --section z=66
// and, with ten million triangles, for timing the viewer on a large part; and an inspection
// report's view, FOLDER/report.json: the part with 199 inspected points on its wall, each
// labelled with its name and deviation (200 labels, for `gcad render FOLDER/report.json`).
#include "apps/scene/scene_inspection_sample.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

// The scene of the part (the STL beside it) and REPORT_POINTS of its wall vertices, spread by
// a stride prime to their count, each a point element labelled with one to three lines.
constexpr int REPORT_POINTS = 199;

QByteArray report(const Gcad::Scene::MeshData &part)
{
    QJsonArray elements { QJsonObject { { "kind", "mesh" }, { "name", "nominal" },
        { "label", "Vase, nominal" }, { "file", "nominal.stl" }, { "color", "silver" } } };
    const std::size_t count = part.vertices.size();
    for (int i = 1; i <= REPORT_POINTS; ++i) {
        const Vaq::BaVec3d<double> &p = part.vertices[(std::size_t(i) * 7919) % count];
        const double deviation = Gcad::Scene::sampleDeformation(std::atan2(p.y, p.x), p.z);
        QString text = QString::asprintf(i % 3 ? "P%d\n%+.3f mm" : "P%d %+.3f", i, deviation);
        if (i % 7 == 0)
            text += QStringLiteral("\ntol \u00b10.5");
        elements.append(QJsonObject { { "kind", "point" }, { "name", QStringLiteral("P%1").arg(i) },
            { "at", QJsonArray { p.x, p.y, p.z } }, { "label", text } });
    }
    const QJsonObject view { { "direction", "iso" }, { "size", QJsonArray { 1920, 1080 } } };
    return QJsonDocument(QJsonObject { { "view", view }, { "elements", elements } }).toJson();
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
            "usage: inspection_sample FOLDER [--triangles N] (writes FOLDER/nominal.stl, "
            "FOLDER/scan.ply and FOLDER/report.json)\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const Gcad::Scene::MeshData part = Gcad::Scene::makeSamplePart(sides, sides / 2);
    const bool written = write(folder + "/nominal.stl", stl(part))
        && write(folder + "/scan.ply", ply(Gcad::Scene::makeSampleScan(600, 400, 0.03, 1)))
        && write(folder + "/report.json", report(part));
    return written ? 0 : 1;
}
