// File import of the programs: a mesh or point file, chosen by its extension, into the data
// the scene shows. Every file the user names goes through here, so that each way a file can
// be wrong gives one clear reason.
#pragma once

#include "apps/scene/scene_mesh_data.h"

#include <QString>

namespace Gcad::Scene {

// Reads path, a regular file mapped into memory: .stl with readStlMesh, .ply with readPly (a
// mesh, or a point cloud without faces), .xyz with readXyzPoints, .obj with readObjMesh; the
// extension in any case. Throws ImportError for path: "unknown file type '.<ext>' (expected
// .stl, .ply, .obj or .xyz)" (without the quoted part when there is no extension), what
// MappedFile refuses ("no such file", "is not a regular file", "empty file", ...), or the reason
// the format's reader gives. A mesh's vertex normals are split where its facets differ by
// more than creaseAngle degrees (see PolyBase::computeNormals).
ImportedData importFile(const QString &path, double creaseAngle = Vaq::CAD::PolyBase::DEFAULT_CREASE_ANGLE);

} // namespace Gcad::Scene
