// File import of the programs: a mesh or point file, chosen by its extension, into the data
// the scene shows. Every file the user names goes through here, so that each way a file can
// be wrong gives one clear reason.
#pragma once

#include "apps/scene/scene_mesh_import.h"

#include <QString>

namespace Gcad::Scene {

// Reads path: .stl, .obj and .ply through importMeshFile (a .ply without faces gives a point
// cloud), .xyz with readXyzPoints; the extension in any case. Throws ImportError for path:
// "no such file", "is a folder, not a file", "unknown file type '.<ext>' (expected .stl,
// .ply, .obj or .xyz)" (without the quoted part when there is no extension), "cannot be read (<system
// reason>)", "empty file", or the reason the format's reader gives.
ImportedData importFile(const QString &path);

} // namespace Gcad::Scene
