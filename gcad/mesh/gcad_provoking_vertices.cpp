// Provoking vertices for flat shading over shared vertices. GL takes a flat triangle's normal
// from its last (provoking) vertex; a vertex with two normal slots can carry the normals of
// two triangles. Each triangle greedily takes the first corner with a free slot, trying its
// last, first and second corner, and is rotated so that this corner comes last (the winding
// stays); a triangle with no free corner is a leftover, drawn with its own normal directly.
// A vertex provokes at most one triangle per slot, so each slot's lists come out ordered by
// provoking vertex through one scan over the vertices: they walk the vertex array in its
// order, which draws faster than the leaf's cache order cut in two by the slots.
// O(triangles + vertices) time, two corners and a group per vertex and slot as extra memory.
#include "gcad/mesh/gcad_provoking_vertices.h"

#include <algorithm>
#include <array>

namespace Vaq::GCAD {

FlatTriangleOrder orderFlatTriangles(uint16_t *destination, int8_t *provokingCount,
    uint32_t *const slotTriangle[2], const uint16_t *corners, const uint8_t *selected,
    std::size_t triangleCount, std::size_t vertexCount)
{
    std::fill(provokingCount, provokingCount + vertexCount, int8_t(0));
    FlatTriangleOrder order;
    // Per slot and provoking vertex: the two corners before it and the group (0 selected,
    // 1 unselected) of its triangle.
    std::vector<std::array<uint16_t, 2>> leading[2];
    std::vector<uint8_t> group[2];
    for (int slot = 0; slot < 2; ++slot) {
        leading[slot].resize(vertexCount);
        group[slot].resize(vertexCount);
    }

    // Puts triangle i on its last, first or second corner, whichever has a slot left first.
    auto place = [&](uint32_t i, const uint16_t *c, uint8_t g) {
        const uint16_t rotations[3][3] = { { c[0], c[1], c[2] }, { c[1], c[2], c[0] }, { c[2], c[0], c[1] } };
        for (const auto &rotated : rotations) {
            const uint16_t v = rotated[2];
            if (provokingCount[v] < 2) {
                const int slot = provokingCount[v]++;
                slotTriangle[slot][v] = i;
                leading[slot][v] = { rotated[0], rotated[1] };
                group[slot][v] = g;
                return true;
            }
        }
        return false;
    };
    for (std::size_t i = 0; i < triangleCount; ++i) {
        const uint8_t g = selected[i] ? 0 : 1;
        if (!place(uint32_t(i), corners + 3 * i, g))
            order.leftovers[g].push_back(uint32_t(i));
    }

    for (int slot = 0; slot < 2; ++slot) {
        for (uint8_t g = 0; g < 2; ++g) {
            const uint16_t *start = destination;
            for (std::size_t v = 0; v < vertexCount; ++v) {
                if (provokingCount[v] > slot && group[slot][v] == g) {
                    *destination++ = leading[slot][v][0];
                    *destination++ = leading[slot][v][1];
                    *destination++ = uint16_t(v);
                }
            }
            order.indexCount[slot][g] = unsigned(destination - start);
        }
    }
    return order;
}

} // namespace Vaq::GCAD
