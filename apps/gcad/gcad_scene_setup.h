// Filling a scene from the command line's files, as every command that shows files does it:
// meshes and point clouds by their extension, or one scene file with its elements and view.
#pragma once

#include "apps/scene/scene.h"
#include "apps/scene/scene_file.h"
#include "apps/scene/scene_import_error.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace Gcad {

// Whether the argument names a scene file (.json).
bool isSceneFile(const QString &file);

// Loads files, or the one scene file among them, into scene; meshes get vertex normals split
// where their facets differ by more than creaseAngle degrees. A file that cannot be read is
// handed to failed and the next one loaded (a scene file fails whole); failed may throw to
// stop. Returns what a scene file says of the view, after giving scene its background.
std::optional<Scene::ViewDescription> loadSceneFiles(const QStringList &files, double creaseAngle,
    Scene::Scene &scene, const std::function<void(const Scene::ImportError &)> &failed);

} // namespace Gcad
