// Provoking vertices for flat shading over shared vertices. GL takes a flat triangle's normal
// from its last (provoking) vertex; a vertex with two normal slots can carry the normals of
// two triangles. Each triangle greedily takes the first corner with a free slot, trying its
// last, first and second corner, and is rotated so that this corner comes last (the winding
// stays); a triangle with no free corner is a leftover, drawn with its own normal directly.
// A vertex provokes at most one triangle per slot. Each slot's lists follow the vertex order
// the caller gives, a spatially compact one, which keeps neighbouring triangles together (the
// leaf's cache order cut in two by the slots does not): a triangle comes where the last of
// its corners comes in that order, so the vertex cache holds its other corners already.
// O(triangles + vertices) time (a counting sort), two corners and a group per vertex and slot
// and a rank per vertex as extra memory.
#include "gcad/mesh/gcad_provoking_vertices.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace Vaq::GCAD {

FlatTriangleOrder orderFlatTriangles(uint16_t *destination, int8_t *provokingCount,
    uint32_t *const slotTriangle[2], const uint16_t *corners, const uint8_t *selected,
    std::size_t triangleCount, std::size_t vertexCount, const uint32_t *vertexOrder)
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

    // Each list by the corner its triangles reach last in vertexOrder, so that the other two
    // came up shortly before; ties keep the order of the provoking vertices.
    std::vector<uint32_t> rank(vertexCount);
    for (std::size_t i = 0; i < vertexCount; ++i)
        rank[vertexOrder[i]] = uint32_t(i);
    std::vector<uint32_t> first(vertexCount + 1), sorted;
    for (int slot = 0; slot < 2; ++slot) {
        for (uint8_t g = 0; g < 2; ++g) {
            auto reach = [&](uint32_t v) {
                return std::max({ rank[v], rank[leading[slot][v][0]], rank[leading[slot][v][1]] });
            };
            auto listed = [&](uint32_t v) { return provokingCount[v] > slot && group[slot][v] == g; };
            // A counting sort: first[r + 1] counts the triangles reaching r, then becomes
            // where they start.
            std::fill(first.begin(), first.end(), 0u);
            for (std::size_t v = 0; v < vertexCount; ++v) {
                if (listed(uint32_t(v)))
                    ++first[reach(uint32_t(v)) + 1];
            }
            std::partial_sum(first.begin(), first.end(), first.begin());
            sorted.resize(first.back());
            for (std::size_t i = 0; i < vertexCount; ++i) {
                const uint32_t v = vertexOrder[i];
                if (listed(v))
                    sorted[first[reach(v)]++] = v;
            }
            for (const uint32_t v : sorted) {
                *destination++ = leading[slot][v][0];
                *destination++ = leading[slot][v][1];
                *destination++ = uint16_t(v);
            }
            order.indexCount[slot][g] = unsigned(3 * sorted.size());
        }
    }
    return order;
}

} // namespace Vaq::GCAD
