// Import of mesh files through assimp: STL (ascii and binary), PLY and OBJ. Corners that share
// a position (and colour) become one vertex, polygons are cut into triangles, and lines and
// points inside a mesh file are left out. A PLY file without faces is a point cloud.
#pragma once

#include "apps/scene/scene_point_cloud.h"

#include "gcad/host/cad/vaq_cad_poly_base.h"

#include <QString>

#include <memory>
#include <variant>

namespace Gcad::Scene {

// A mesh, or the points of a file without faces.
using ImportedData = std::variant<std::unique_ptr<Vaq::CAD::PolyBase>, PointCloud>;

// Reads path, a readable file whose extension (stl, ply or obj, in any case) names its format.
// A mesh comes back as a MESH_SCAN element named path with computed normals and, when the
// file has them, vertex colours; its render data is left to whoever shows it. Throws
// ImportError for path when assimp cannot read the file, when a coordinate is not finite, when
// a face names a vertex that does not exist, when it holds no triangles (a PLY file without
// faces: no vertices), or when its vertices do not fit 32-bit indices.
ImportedData importMeshFile(const QString &path);

} // namespace Gcad::Scene
