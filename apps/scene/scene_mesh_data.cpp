#include "apps/scene/scene_mesh_data.h"

#include "apps/scene/scene_import_error.h"
#include "apps/scene/scene_reader_support.h"

#include <new>

namespace Gcad::Scene {

std::unique_ptr<Vaq::CAD::PolyBase> buildMesh(MeshData mesh, const QString &fileName, double creaseAngle)
{
    if (mesh.triangles.empty())
        throw ImportError(fileName, QStringLiteral("no triangles"));
    // What the element adds: per vertex a normal, a flag and the normal sums while computing
    // them; per triangle a normal and a flag.
    const double needed = double(mesh.vertices.size()) * (12 + 1 + 24) + double(mesh.triangles.size()) * 13;
    try {
        auto polyBase = std::make_unique<Vaq::CAD::PolyBase>(Vaq::CAD::ElementCreator::MESH_SCAN, fileName);
        polyBase->setMesh(std::move(mesh.vertices), std::move(mesh.triangles));
        if (!mesh.colors.empty())
            polyBase->setDrawColors(std::move(mesh.colors));
        polyBase->computeNormals(creaseAngle);
        return polyBase;
    } catch (const std::bad_alloc &) {
        failOutOfMemory(fileName, needed);
    }
}

} // namespace Gcad::Scene
