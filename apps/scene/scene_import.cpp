#include "apps/scene/scene_import.h"

#include "apps/scene/scene_import_error.h"
#include "apps/scene/scene_xyz_reader.h"

#include <QFile>
#include <QFileInfo>

namespace Gcad::Scene {

ImportedData importFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw ImportError(path, QStringLiteral("no such file"));
    if (info.isDir())
        throw ImportError(path, QStringLiteral("is a folder, not a file"));
    const QString suffix = info.suffix().toLower();
    const bool mesh = suffix == "stl" || suffix == "ply" || suffix == "obj";
    if (!mesh && suffix != "xyz") {
        const QString type = suffix.isEmpty() ? QString() : QStringLiteral(" '.%1'").arg(suffix);
        throw ImportError(
            path, QStringLiteral("unknown file type%1 (expected .stl, .ply, .obj or .xyz)").arg(type));
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ImportError(path, QStringLiteral("cannot be read (%1)").arg(file.errorString()));
    if (file.size() == 0)
        throw ImportError(path, QStringLiteral("empty file"));
    if (mesh)
        return importMeshFile(path);

    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ImportError(path, QStringLiteral("cannot be read (%1)").arg(file.errorString()));
    return readXyzPoints(std::string_view(text.constData(), std::size_t(text.size())), path);
}

} // namespace Gcad::Scene
