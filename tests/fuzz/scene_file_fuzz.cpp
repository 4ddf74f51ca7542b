// Feeds arbitrary bytes to the scene-file reader. Besides crashes, leaks and undefined
// behaviour it catches a reader that lets bad data through: whatever it accepts has at least
// one element, only finite coordinates, triangle corners that name existing vertices,
// per-point lists of one entry per point, primitives that can be built, sections with runs of
// two points or more (or a cut instead) and strain grids with one value per grid point.
// Refusal must come as ImportError.
#include "apps/scene/scene_file.h"
#include "apps/scene/scene_import_error.h"
#include "tests/fuzz/fuzz_checks.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace Gcad::Scene;
using Gcad::Fuzz::checkFinite;

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

void check(const PrimitiveDescription &primitive)
{
    if (primitive.kind.isEmpty() || !primitive.create)
        std::abort();
}

void check(const MeasureDescription &measure)
{
    for (const MeasurePoint *point : { &measure.from, &measure.to, &measure.at }) {
        if (const auto *position = std::get_if<Vaq::BaVec3d<double>>(point))
            checkFinite(*position);
    }
    checkFinite(measure.normal);
    checkFinite(measure.outline);
    if (measure.pullOut)
        checkFinite(*measure.pullOut);
    if (!std::isfinite(measure.radius) || !std::isfinite(measure.tolerance))
        std::abort();
}

void check(const SectionDescription &section)
{
    if (section.cut.has_value() == !section.runs.empty() || section.closed.size() != section.runs.size())
        std::abort();
    checkFinite(section.normal);
    if (!(section.normal.length() > 0.0))
        std::abort();
    for (const auto &run : section.runs) {
        if (run.size() < 2)
            std::abort();
        checkFinite(run);
    }
    if (section.values.empty() && section.needles.empty())
        return;
    if (section.values.size() != section.runs.size() || section.needles.size() != section.runs.size())
        std::abort();
    for (std::size_t r = 0; r < section.runs.size(); ++r) {
        if (section.values[r].size() != section.runs[r].size()
            || section.needles[r].size() != section.runs[r].size())
            std::abort();
    }
}

void check(const StrainDescription &strain)
{
    const std::size_t count = std::size_t(strain.width) * strain.height;
    if (strain.width < 2 || strain.height < 2 || strain.values.size() != count)
        std::abort();
    checkPerPoint(strain.positions, count);
    checkFinite(strain.positions);
    if (strain.range && !(strain.range->second > strain.range->first))
        std::abort();
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
