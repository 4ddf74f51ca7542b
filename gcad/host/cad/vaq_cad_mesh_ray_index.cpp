#include "gcad/host/cad/vaq_cad_mesh_ray_index.h"

#include "gcad/host/cad/vaq_cad_bsp_node.h"

#include <algorithm>
#include <limits>

namespace Vaq::CAD {

MeshRayIndex::MeshRayIndex(const std::vector<BaVec3d<double>> &vertices,
    const std::vector<Triangle> &triangles, const std::vector<BspNode *> &leaves)
    : m_vertices(vertices)
    , m_triangles(triangles)
    , m_leaves(leaves)
    , m_leaf_hierarchies(leaves.size())
{
}

MeshRayIndex::~MeshRayIndex() = default;

bool MeshRayIndex::castRay(const Ray &ray, const AcceptHit &accept, RayHit *hit)
{
    double limit = std::numeric_limits<double>::infinity();
    std::vector<std::pair<double, std::size_t>> entered;
    for (std::size_t i = 0; i < m_leaves.size(); ++i) {
        double t = 0.0;
        if (rayHitsBox(ray, m_leaves[i]->getBoundingBox(BBT_GEOMETRY), limit, &t))
            entered.emplace_back(t, i);
    }
    std::sort(entered.begin(), entered.end());
    bool found = false;
    for (const auto &[t, leaf] : entered) {
        if (t > limit)
            break;
        std::unique_ptr<TriangleBvh> &hierarchy = m_leaf_hierarchies[leaf];
        if (!hierarchy)
            hierarchy
                = std::make_unique<TriangleBvh>(m_vertices, m_triangles, m_leaves[leaf]->getTriangles());
        found = hierarchy->intersect(ray, &limit, accept, hit) || found;
    }
    return found;
}

} // namespace Vaq::CAD
