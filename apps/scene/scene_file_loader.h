// Loading a scene file: reads it, imports the mesh and point files it names (relative to the
// scene file's folder) and adds every element it describes, and its overlay, to a Scene.
#pragma once

#include "apps/scene/scene.h"
#include "apps/scene/scene_file.h"

#include <QString>

namespace Gcad::Scene {

// Adds the elements of the scene file at path to scene, labelled as the file says (attachLabel),
// adds its raster, point marks and crosshair to the scene's overlay and returns what the file
// says of the view. Throws ImportError for path, "<where>: <why>" (see parseSceneFile); a file an element
// names that cannot be imported gives "elements[<i>].file: <its name>: <why>". Nothing is added
// to scene unless every element could be read. Meshes get their vertex normals split at
// creaseAngle degrees (PolyBase::computeNormals).
ViewDescription loadSceneFile(
    const QString &path, Scene &scene, double creaseAngle = Vaq::CAD::PolyBase::DEFAULT_CREASE_ANGLE);

} // namespace Gcad::Scene
