// PolyBaseRenderData: what a mesh element keeps for drawing, its spatial tree. The element
// makes a new one whenever its geometry changes; renderers reach the leaves through it.
#pragma once

#include "gcad/host/cad/vaq_cad_bsp_tree.h"

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

private:
    BspTree m_tree;
};

} // namespace Vaq::CAD
