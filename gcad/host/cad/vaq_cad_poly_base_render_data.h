// PolyBaseRenderData: what a mesh element keeps for drawing and picking, its spatial tree and
// the ray index over its leaves. The element makes a new one whenever its geometry changes;
// renderers reach the leaves through it.
#pragma once

#include "gcad/host/cad/vaq_cad_bsp_tree.h"
#include "gcad/host/cad/vaq_cad_mesh_ray_index.h"

#include <memory>

namespace Vaq::CAD {

class PolyBaseRenderData
{
public:
    // Builds the tree of poly's data with leaves of at most maxLeafVertices vertices; poly
    // and data must outlive the render data.
    PolyBaseRenderData(PolyBase *poly, const PolyBaseData &data, unsigned maxLeafVertices)
        : m_tree(poly, data, maxLeafVertices)
    {
    }

    BspTree &getBspTree() { return m_tree; }
    const BspTree &getBspTree() const { return m_tree; }
    const std::vector<BspNode *> &getAllLeaves() const { return m_tree.getAllLeaves(); }

    // The ray index over the leaves; null until the mesh is first picked.
    MeshRayIndex *getRayIndex() const { return m_ray_index.get(); }
    void setRayIndex(std::unique_ptr<MeshRayIndex> index) { m_ray_index = std::move(index); }

private:
    BspTree m_tree;
    std::unique_ptr<MeshRayIndex> m_ray_index;
};

} // namespace Vaq::CAD
