// Reader of PLY files (ascii, binary little- and big-endian): a mesh when the file has faces,
// otherwise a point cloud. One pass over the bytes; every count the header declares is checked
// against the bytes left before anything is allocated.
//
// What it takes from the elements:
// - vertex: x y z (any numeric type); for a point cloud also nx ny nz, and a scalar from the
//   first property named quality, value, intensity, deviation or scalar_<anything>; colours
//   red green blue (alpha skipped) as integers 0 to 255 or as float 0 to 1, for meshes too.
// - face: the list vertex_indices (or vertex_index) of any integer types; polygons become fans.
// - tristrips: the same list as triangle strips, -1 restarting a strip; triangles of a strip
//   that repeat a vertex (the joints between strips) are left out.
// Every other property and element is skipped by its declared size. A face with fewer than three
// corners, an index beyond the vertices, a non-integer list or a missing x, y or z is refused.
#pragma once

#include "apps/scene/scene_mapped_file.h"
#include "apps/scene/scene_mesh_data.h"

#include <QString>

#include <string_view>
#include <variant>

namespace Gcad::Scene {

using PlyData = std::variant<MeshData, PointCloud>;

// The mesh or points of bytes. Throws ImportError for fileName with the line (header and ascii
// body) or the byte offset (binary body) and what is wrong there; "no points" or "no triangles"
// (faces or strips that make none) when there is nothing to show.
PlyData readPly(std::string_view bytes, const QString &fileName, const ReleaseRead &release = {});

} // namespace Gcad::Scene
