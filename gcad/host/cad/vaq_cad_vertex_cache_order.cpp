#include "gcad/host/cad/vaq_cad_vertex_cache_order.h"

#include <meshoptimizer.h>

#include <algorithm>
#include <array>

namespace Vaq::CAD {

namespace {

// A triangle's corners rotated so that the smallest comes first, winding kept: the same
// triangle gives the same key however the optimiser rotates it.
std::array<uint32_t, 3> rotationKey(const uint32_t *c)
{
    if (c[1] < c[0] && c[1] < c[2])
        return { c[1], c[2], c[0] };
    if (c[2] < c[0] && c[2] < c[1])
        return { c[2], c[0], c[1] };
    return { c[0], c[1], c[2] };
}

} // namespace

void orderForVertexCache(std::vector<uint32_t> &triangleIds, std::vector<uint32_t> &corners,
    std::size_t vertexCount, unsigned cacheSize)
{
    if (cacheSize < MIN_MODELLED_CACHE_SIZE || triangleIds.size() < 2)
        return;
    std::vector<uint32_t> ordered(corners.size());
    meshopt_optimizeVertexCacheFifo(ordered.data(), corners.data(), corners.size(), vertexCount, cacheSize);

    // The optimiser returns corners only; find each output triangle's id by its corners.
    // Triangles with the same corners are interchangeable, so any unused one will do.
    struct Entry
    {
        std::array<uint32_t, 3> key;
        uint32_t id;
    };
    std::vector<Entry> byKey(triangleIds.size());
    for (std::size_t i = 0; i < triangleIds.size(); ++i)
        byKey[i] = { rotationKey(&corners[3 * i]), triangleIds[i] };
    auto less = [](const Entry &a, const Entry &b) { return a.key < b.key; };
    std::sort(byKey.begin(), byKey.end(), less);
    std::vector<bool> taken(byKey.size(), false);
    for (std::size_t i = 0; i < triangleIds.size(); ++i) {
        const Entry probe { rotationKey(&ordered[3 * i]), 0 };
        auto it = std::lower_bound(byKey.begin(), byKey.end(), probe, less);
        while (taken[it - byKey.begin()])
            ++it;
        taken[it - byKey.begin()] = true;
        triangleIds[i] = it->id;
    }
    corners.swap(ordered);
}

std::size_t countTransformedVertices(
    const std::vector<uint32_t> &corners, std::size_t vertexCount, unsigned cacheSize)
{
    if (cacheSize < MIN_MODELLED_CACHE_SIZE)
        return corners.size();
    if (corners.empty())
        return 0;
    return meshopt_analyzeVertexCache(corners.data(), corners.size(), vertexCount, cacheSize, 0, 0)
        .vertices_transformed;
}

} // namespace Vaq::CAD
