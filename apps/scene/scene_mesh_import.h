// Import of OBJ meshes through assimp. Corners that share a position become one vertex,
// polygons are cut into triangles, and lines and points inside the file are left out.
#pragma once

#include "apps/scene/scene_mesh_data.h"

#include <QString>

#include <string_view>

namespace Gcad::Scene {

// The mesh of bytes, an OBJ file (with colours when every vertex has one). Throws ImportError
// for fileName when assimp cannot read it ("malformed OBJ file (<assimp's reason>)"), when a
// coordinate is not finite, when a face names a vertex that does not exist, or when its vertices
// do not fit 32-bit indices.
MeshData readObjMesh(std::string_view bytes, const QString &fileName);

} // namespace Gcad::Scene
