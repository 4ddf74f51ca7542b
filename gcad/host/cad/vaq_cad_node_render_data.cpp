#include "gcad/host/cad/vaq_cad_node_render_data.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_bsp_tree.h"

namespace Vaq::CAD {

namespace {
BspNode *checkedNode(BspNode *node)
{
    if (!node)
        VAQ_PROG_ERROR("Vaq::CAD::AbstractNodeRenderData::AbstractNodeRenderData", "null node");
    return node;
}
} // namespace

AbstractNodeRenderData::AbstractNodeRenderData(BspNode *node)
    : m_node(checkedNode(node))
    , m_poly(node->getTree()->getPoly())
{
}

AbstractNodeRenderData::~AbstractNodeRenderData()
{
    removeLinks();
}

void AbstractNodeRenderData::removeLinks()
{
    if (m_linked)
        m_node->setNodeRenderData(nullptr);
}

} // namespace Vaq::CAD
