// Feeds arbitrary bytes to the scene-file reader. Besides crashes, leaks and undefined
// behaviour it catches a reader that lets bad data through: whatever it accepts has at least
// one element, only finite coordinates, triangle corners that name existing vertices and
// per-point lists of one entry per point. Refusal must come as ImportError.
#include "apps/scene/scene_file.h"
#include "apps/scene/scene_import_error.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace Gcad::Scene;

template<typename T> void checkFinite(const std::vector<Vaq::BaVec3d<T>> &vectors)
{
    for (const auto &v : vectors) {
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
            std::abort();
    }
}

template<typename T> void checkPerPoint(const std::vector<T> &values, std::size_t count)
{
    if (!values.empty() && values.size() != count)
        std::abort();
}

void check(const MeshDescription &mesh)
{
    checkFinite(mesh.vertices);
    checkPerPoint(mesh.colors, mesh.vertices.size());
    if (mesh.file.isEmpty() && mesh.triangles.empty())
        std::abort();
    for (const auto &triangle : mesh.triangles) {
        for (uint32_t corner : triangle) {
            if (corner >= mesh.vertices.size())
                std::abort();
        }
    }
}

void check(const PointsDescription &points)
{
    const PointCloud &cloud = points.cloud;
    if (points.file.isEmpty() && cloud.positions.empty())
        std::abort();
    checkFinite(cloud.positions);
    checkFinite(cloud.normals);
    checkFinite(cloud.deviations);
    checkPerPoint(cloud.normals, cloud.positions.size());
    checkPerPoint(cloud.colors, cloud.positions.size());
    checkPerPoint(cloud.values, cloud.positions.size());
    checkPerPoint(cloud.ids, cloud.positions.size());
    checkPerPoint(cloud.deviations, cloud.positions.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SceneDescription scene;
    try {
        scene = parseSceneFile(QByteArrayView(data, qsizetype(size)), "fuzz.json");
    } catch (const ImportError &) {
        return 0;
    }
    if (scene.elements.empty())
        std::abort();
    for (const ElementDescription &element : scene.elements)
        std::visit([](const auto &description) { check(description); }, element.data);
    return 0;
}
