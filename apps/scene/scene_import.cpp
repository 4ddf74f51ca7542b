#include "apps/scene/scene_import.h"

#include "apps/scene/scene_import_error.h"
#include "apps/scene/scene_mapped_file.h"
#include "apps/scene/scene_mesh_import.h"
#include "apps/scene/scene_ply_reader.h"
#include "apps/scene/scene_stl_reader.h"
#include "apps/scene/scene_xyz_reader.h"

#include <QFileInfo>

#include <variant>

namespace Gcad::Scene {

ImportedData importFile(const QString &path, double creaseAngle)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != "stl" && suffix != "ply" && suffix != "obj" && suffix != "xyz") {
        // A missing file or a folder is said as such before its name is looked at.
        const MappedFile file(path);
        const QString type = suffix.isEmpty() ? QString() : QStringLiteral(" '.%1'").arg(suffix);
        throw ImportError(
            path, QStringLiteral("unknown file type%1 (expected .stl, .ply, .obj or .xyz)").arg(type));
    }

    // The file is unmapped before the element is built, so that the two are never in memory
    // together.
    std::variant<MeshData, PointCloud> data = [&]() -> std::variant<MeshData, PointCloud> {
        MappedFile file(path);
        if (suffix == "xyz")
            return readXyzPoints(file.bytes(), path, file.releaser());
        if (suffix == "stl")
            return readStlMesh(file.bytes(), path, file.releaser());
        if (suffix == "obj")
            return readObjMesh(file.bytes(), path);
        return readPly(file.bytes(), path, file.releaser());
    }();
    if (PointCloud *cloud = std::get_if<PointCloud>(&data))
        return std::move(*cloud);
    return buildMesh(std::move(std::get<MeshData>(data)), path, creaseAngle);
}

} // namespace Gcad::Scene
