#include "gcad/host/cad/vaq_cad_bsp_node.h"

#include "gcad/host/cad/vaq_cad_node_render_data.h"

namespace Vaq::CAD {

BspNode::BspNode(BspTree *tree)
    : m_tree(tree)
{
}

BspNode::~BspNode()
{
    if (AbstractNodeRenderData *data = m_render_data) {
        m_render_data = nullptr;
        data->m_linked = false;
        data->nodeDropped();
    }
}

void BspNode::setNodeRenderData(AbstractNodeRenderData *data)
{
    AbstractNodeRenderData *old = m_render_data;
    if (old == data)
        return;
    m_render_data = data;
    if (data)
        data->m_linked = true;
    if (old) {
        old->m_linked = false;
        // Detaching (null) is the data's own wish; replacing it drops it.
        if (data)
            old->nodeDropped();
    }
}

bool BspNode::isOutside(const Transformation &transformation, int width, int height) const
{
    if (m_box.isEmpty())
        return true;
    bool left = true, right = true, below = true, above = true;
    for (const BaVec3d<double> &corner : m_box.getCorners()) {
        const double w = transformation(3, 0) * corner.x + transformation(3, 1) * corner.y
            + transformation(3, 2) * corner.z + transformation(3, 3);
        if (w <= 0.0)
            return false;
        const BaVec3d<double> p = transformation.transform(corner);
        left = left && p.x < 0.0;
        right = right && p.x > width;
        below = below && p.y < 0.0;
        above = above && p.y > height;
    }
    return left || right || below || above;
}

double BspNode::getDepth(const Transformation &transformation) const
{
    return -transformation.transformZ(m_box.getCenter());
}

} // namespace Vaq::CAD
