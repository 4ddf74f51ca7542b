// Reader of STL files, binary and ascii, into a mesh whose corners at one position share one
// vertex. A file is binary when its size is exactly what its triangle count says (84 bytes and
// 50 per triangle); otherwise it must be ascii text starting with "solid". One pass over the
// bytes; the triangles are reserved from the count only after the size has confirmed it.
#pragma once

#include "apps/scene/scene_mapped_file.h"
#include "apps/scene/scene_mesh_data.h"

#include <QString>

#include <string_view>

namespace Gcad::Scene {

// The mesh of bytes (no colours). Throws ImportError for fileName with the byte offset (binary)
// or the line (ascii) and what is wrong there: a size that fits no triangle count, a word
// where another was expected, a coordinate that is not a finite number, the end of the file
// inside a facet; "no triangles" when the file holds none.
MeshData readStlMesh(std::string_view bytes, const QString &fileName, const ReleaseRead &release = {});

} // namespace Gcad::Scene
