// MeshRayIndex: the nearest triangle of a mesh along a ray, through the mesh's spatial tree.
// The leaves whose boxes the ray meets are visited front to back, and a leaf that starts beyond
// the best hit so far ends the search; within a leaf a hierarchy of its triangles, built when a
// ray first reaches the leaf, finds the hit. The index belongs to one tree and dies with it.
#pragma once

#include "gcad/host/cad/vaq_cad_triangle_bvh.h"

#include <memory>
#include <vector>

namespace Vaq::CAD {

class BspNode;

class MeshRayIndex
{
public:
    // vertices, triangles and the leaves must outlive the index; a leaf's set of triangles must
    // not change (re-ordering them is fine).
    MeshRayIndex(const std::vector<BaVec3d<double>> &vertices, const std::vector<Triangle> &triangles,
        const std::vector<BspNode *> &leaves);
    ~MeshRayIndex();

    // The nearest hit that accept admits; false when the ray meets no such triangle.
    bool castRay(const Ray &ray, const AcceptHit &accept, RayHit *hit);

private:
    const std::vector<BaVec3d<double>> &m_vertices;
    const std::vector<Triangle> &m_triangles;
    const std::vector<BspNode *> &m_leaves;
    std::vector<std::unique_ptr<TriangleBvh>> m_leaf_hierarchies;
};

} // namespace Vaq::CAD
