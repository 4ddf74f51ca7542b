// TriangleBvh: a bounding-volume hierarchy over some triangles of a mesh, for the nearest hit of
// a ray and for the point of the mesh nearest to a given point. Built top-down by splitting the
// triangles at the median centroid along the longest axis of their centroids' box (O(n log n),
// about n / 2 nodes; the two halves of a big set on two threads); a query visits the nearer child first and
// skips every box that lies beyond the best answer so far, so it touches O(log n) nodes on typical surfaces.
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

// The point of a mesh nearest to a query point.
struct NearestPoint
{
    uint32_t triangle = 0;
    BaVec3d<double> point;
    // The unit pseudo-normal there (see TriangleBvh::nearest); zero where the triangles that
    // meet there have no area.
    BaVec3d<double> normal;
    double distance = 0.0;
    // The distance, negative when the query lies behind the surface.
    double signedDistance = 0.0;
};

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

    static constexpr uint32_t NO_HINT = UINT32_MAX;
    // The point of the triangles nearest to p at a distance of at most maxDistance; false,
    // *result unchanged, when there is none. hint, a triangle of the set that probably lies
    // near (the previous answer, when a scan is walked in order), or NO_HINT, only bounds the
    // search at first: the answer is the same without it.
    // The sign comes from the pseudo-normal of the feature the nearest point lies on
    // (Baerentzen and Aanaes, 2005), which is right on both sides of sharp edges and corners
    // where a single face normal is not: the face normal inside a triangle, the sum of both
    // face normals on an edge, the sum of the face normals around a corner weighted by their
    // angles there. Every triangle whose nearest point lies at the nearest distance (within
    // rounding) adds its share, so the mesh needs no adjacency.
    bool nearest(const BaVec3d<double> &p, double maxDistance, uint32_t hint, NearestPoint *result) const;

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
    // The axis to split items[begin, end) along, the longest of their centroids' box; false
    // when they make a leaf (few, or all centroids in one point).
    static bool splitAxis(const std::vector<Item> &items, uint32_t begin, uint32_t end, int *axis);
    // Puts the median centroid along axis in the middle, smaller ones before it; the middle.
    static uint32_t splitAtMedian(std::vector<Item> &items, uint32_t begin, uint32_t end, int axis);
    // Builds nodes[node] over items[begin, end), its descendants appended to nodes.
    void build(std::vector<Node> &nodes, uint32_t node, uint32_t begin, uint32_t end,
        std::vector<Item> &items) const;

    const std::vector<BaVec3d<double>> &m_vertices;
    const std::vector<Triangle> &m_triangles;
    std::vector<uint32_t> m_order;
    std::vector<Node> m_nodes;
    // Distances closer than this are the same distance for the pseudo-normal: far above the
    // rounding of coordinates, far below any triangle of the mesh.
    double m_tie = 0.0;
};

} // namespace Vaq::CAD
