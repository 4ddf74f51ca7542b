// Kd split of a triangle mesh into leaves of bounded size: a median split of the triangle
// centroids along the longest axis of their box (Bentley's kd-tree), repeated until every
// leaf addresses few enough local vertices. O(n log n) for n triangles.
#pragma once

#include "gcad/host/base/vaq_vec.h"

#include <array>
#include <cstdint>
#include <vector>

namespace Vaq::CAD {

struct KdSplit
{
    // Triangles of each leaf, and the vertices that no triangle uses, placed by position.
    std::vector<std::vector<uint32_t>> leafTriangles;
    std::vector<std::vector<uint32_t>> leafLoneVertices;
    // The one leaf that owns each vertex: the leaf of the lowest-numbered triangle using it.
    std::vector<uint32_t> vertexLeaf;
    std::vector<uint32_t> triangleLeaf;
};

// Splits until each leaf's local vertex count is at most maxLocalVertices (at least 3): its
// own vertices plus one slot for every corner of its triangles whose vertex another leaf
// owns. Leaves come in depth-first order, so neighbours in the list are neighbours in space.
KdSplit splitMesh(const std::vector<BaVec3d<double>> &vertices,
    const std::vector<std::array<uint32_t, 3>> &triangles, unsigned maxLocalVertices);

} // namespace Vaq::CAD
