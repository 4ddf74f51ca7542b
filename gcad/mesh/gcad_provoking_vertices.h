// Flat shading over shared vertices: orderFlatTriangles picks the corner of each flat
// triangle that carries its normal and writes the index lists that draw them; the source
// opens with the idea and the cost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Vaq::GCAD {

// What orderFlatTriangles wrote. Triangles are named by their position in the input.
struct FlatTriangleOrder
{
    // Indices written per normal slot: [slot][0 selected, 1 unselected].
    unsigned indexCount[2][2] = {};
    // Triangles without a free corner: [0 selected, 1 unselected], in input order.
    std::vector<uint32_t> leftovers[2];
};

// corners: three local vertex indices (below vertexCount) per triangle; selected: one flag per
// triangle. Writes to destination (room for 3 x triangleCount indices) the placed triangles,
// slot 0 selected, slot 0 unselected, slot 1 selected, slot 1 unselected, each list ordered by
// the corner of each triangle that comes last in vertexOrder (a permutation of the vertices),
// then by the provoking (last) corner in that order. Per vertex v (vertexCount entries each):
// provokingCount[v] = triangles it provokes (0 to 2), and for each slot s below it,
// slotTriangle[s][v] = the triangle whose normal fills that slot; the other slot entries are
// left as they were.
FlatTriangleOrder orderFlatTriangles(uint16_t *destination, int8_t *provokingCount,
    uint32_t *const slotTriangle[2], const uint16_t *corners, const uint8_t *selected,
    std::size_t triangleCount, std::size_t vertexCount, const uint32_t *vertexOrder);

} // namespace Vaq::GCAD
