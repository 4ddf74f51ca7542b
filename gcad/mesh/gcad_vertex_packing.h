// Packing mesh vertices into the interleaved arrays of GPU mesh nodes: per vertex, in the
// layout of its vertex type, the colour-map coordinate or the colour, one or two normals
// (16-bit ones scaled by 32767 and truncated toward zero) and the float position. One linear
// pass, O(vertices); nothing is allocated.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/mesh/gcad_vertex_layout.h"

#include <cstddef>
#include <cstdint>

namespace Vaq::GCAD {

// Where packVertices reads. Arrays named per element vertex or triangle are indexed with
// the element's numbers, those per packed vertex with the vertex's place in the output.
struct VertexSources
{
    const BaVec3d<double> *positions = nullptr; // per element vertex
    const BaVec3d<float> *vertexNormals = nullptr; // per element vertex
    // Colour types: per element vertex, or null for colour on every vertex.
    const Color *colours = nullptr;
    Color colour;
    // Colour-map types: per packed vertex.
    const TexCoord *texCoords = nullptr;
    // Two-normal types: per packed vertex, the normal slots its provoking triangles fill
    // (0 to 2) and the element triangle of each (orderFlatTriangles); a vertex that
    // provokes none carries its vertex normal in slot 0.
    const int8_t *provokingCount = nullptr;
    const uint32_t *slotTriangle[2] = { nullptr, nullptr };
    const BaVec3d<float> *triangleNormals = nullptr; // per element triangle

    // The same sources for the packed vertices from first on, for packing them separately.
    VertexSources from(std::size_t first) const;
};

// Writes count vertices of vertexType (0 to 11) to destination, count x vertex size bytes:
// packed vertex i is element vertex vertices[i]. Slots no triangle fills stay unwritten.
void packVertices(uint8_t *destination, unsigned vertexType, const uint32_t *vertices, std::size_t count,
    const VertexSources &sources);

} // namespace Vaq::GCAD
