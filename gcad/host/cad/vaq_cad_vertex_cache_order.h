// Triangle order for the GPU's post-transform vertex cache, and how well an order uses it.
// The order comes from meshoptimizer's FIFO optimiser, which follows "Fast Triangle
// Reordering for Vertex Locality and Reduced Overdraw" (Sander, Nehab, Barczak 2007); the
// measure is meshoptimizer's FIFO cache model. Both are linear in the number of triangles.
#pragma once

#include <cstdint>
#include <vector>

namespace Vaq::CAD {

// Caches smaller than one triangle are not modelled: the order stays and nothing hits.
inline constexpr unsigned MIN_MODELLED_CACHE_SIZE = 3;

// Reorders a block of triangles for a FIFO cache of cacheSize entries. triangleIds[i] has
// the corners corners[3i .. 3i + 2], local indices below vertexCount; both lists are
// permuted together. A cache size below MIN_MODELLED_CACHE_SIZE keeps the order.
void orderForVertexCache(std::vector<uint32_t> &triangleIds, std::vector<uint32_t> &corners,
    std::size_t vertexCount, unsigned cacheSize);

// The vertices a FIFO cache of cacheSize entries transforms when the corners are drawn in
// order: each corner not in the cache is one. Every corner misses for caches below
// MIN_MODELLED_CACHE_SIZE.
std::size_t countTransformedVertices(
    const std::vector<uint32_t> &corners, std::size_t vertexCount, unsigned cacheSize);

} // namespace Vaq::CAD
