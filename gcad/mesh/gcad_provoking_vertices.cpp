// Provoking vertices for flat shading over shared vertices. GL takes a flat triangle's normal
// from its last (provoking) vertex; a vertex with two normal slots can carry the normals of
// two triangles. Each triangle greedily takes the first corner with a free slot, trying its
// last, first and second corner, and is rotated so that this corner comes last (the winding
// stays); a triangle with no free corner is a leftover, drawn with its own normal directly.
// One pass: O(triangles + vertices) time, the index lists as extra memory.
#include "gcad/mesh/gcad_provoking_vertices.h"

#include <algorithm>

namespace Vaq::GCAD {

FlatTriangleOrder orderFlatTriangles(uint16_t *destination, int8_t *provokingCount,
    uint32_t *const slotTriangle[2], const uint16_t *corners, const uint8_t *selected,
    std::size_t triangleCount, std::size_t vertexCount)
{
    std::fill(provokingCount, provokingCount + vertexCount, int8_t(0));
    FlatTriangleOrder order;
    std::vector<uint16_t> lists[2][2]; // [slot][0 selected, 1 unselected]

    // Puts triangle i on its last, first or second corner, whichever has a slot left first.
    auto place = [&](uint32_t i, const uint16_t *c, int group) {
        const uint16_t rotations[3][3] = { { c[0], c[1], c[2] }, { c[1], c[2], c[0] }, { c[2], c[0], c[1] } };
        for (const auto &rotated : rotations) {
            const uint16_t v = rotated[2];
            if (provokingCount[v] < 2) {
                const int slot = provokingCount[v]++;
                slotTriangle[slot][v] = i;
                lists[slot][group].insert(lists[slot][group].end(), rotated, rotated + 3);
                return true;
            }
        }
        return false;
    };
    for (std::size_t i = 0; i < triangleCount; ++i) {
        const int group = selected[i] ? 0 : 1;
        if (!place(uint32_t(i), corners + 3 * i, group))
            order.leftovers[group].push_back(uint32_t(i));
    }

    for (int slot = 0; slot < 2; ++slot) {
        for (int group = 0; group < 2; ++group) {
            const std::vector<uint16_t> &list = lists[slot][group];
            order.indexCount[slot][group] = unsigned(list.size());
            destination = std::copy(list.begin(), list.end(), destination);
        }
    }
    return order;
}

} // namespace Vaq::GCAD
