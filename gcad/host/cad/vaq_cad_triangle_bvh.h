// TriangleBvh: a bounding-volume hierarchy over some triangles of a mesh, for the nearest hit of
// a ray. Built top-down by splitting the triangles at the median centroid along the longest
// axis of their centroids' box (O(n log n), about n / 2 nodes); a query visits the nearer child
// first and skips every box that starts beyond the best hit, so it touches O(log n) nodes on
// typical surfaces.
#pragma once

#include "gcad/host/base/vaq_box.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_ray_hit.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace Vaq::CAD {

using Triangle = std::array<uint32_t, 3>;

// The nearest hit: the triangle's index in the mesh and the ray parameter.
struct RayHit
{
    uint32_t triangle = 0;
    double t = 0.0;
};

// Decides whether a hit of a triangle at a ray parameter counts (hidden triangles or points cut
// away do not).
using AcceptHit = std::function<bool(uint32_t triangle, double t)>;

class TriangleBvh
{
public:
    // Over the triangles listed in subset (indices into triangles). vertices and triangles must
    // outlive the hierarchy and keep their contents.
    TriangleBvh(const std::vector<BaVec3d<double>> &vertices, const std::vector<Triangle> &triangles,
        std::vector<uint32_t> subset);

    // The nearest hit at a parameter below *limit that accept admits (every hit when accept is
    // empty); *limit and *hit get it. False, both unchanged, when there is none.
    bool intersect(const Ray &ray, double *limit, const AcceptHit &accept, RayHit *hit) const;

private:
    struct Node
    {
        Box3d box;
        // Leaf: triangles m_order[first, first + count). Inner node: count 0, children first
        // and first + 1.
        uint32_t first = 0;
        uint32_t count = 0;
    };

    struct Item
    {
        uint32_t triangle;
        BaVec3d<double> centroid;
    };
    void build(uint32_t node, uint32_t begin, uint32_t end, std::vector<Item> &items);

    const std::vector<BaVec3d<double>> &m_vertices;
    const std::vector<Triangle> &m_triangles;
    std::vector<uint32_t> m_order;
    std::vector<Node> m_nodes;
};

} // namespace Vaq::CAD
