#include "gcad/renderers/gcad_renderer_container.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/renderers/gcad_renderer.h"

namespace Vaq::GCAD {

RendererContainer::~RendererContainer()
{
    freeAll();
}

void RendererContainer::registerRenderer(CADRenderer *renderer)
{
    m_renderers.push_back(renderer);
    for (CAD::ElementCreator::Element_t type : renderer->getSupportedTypes()) {
        if (!m_types.emplace(type, renderer).second)
            VAQ_PROG_ERROR("Vaq::GCAD::RendererContainer::registerRenderer",
                "cad renderer for this type has already been registered");
    }
}

CADRenderer *RendererContainer::getRenderer(CAD::ElementCreator::Element_t type) const
{
    const auto found = m_types.find(type);
    return found == m_types.end() ? nullptr : found->second;
}

void RendererContainer::removeElement(CAD::Element *element)
{
    for (CADRenderer *renderer : m_renderers)
        renderer->removeElement(element);
}

void RendererContainer::removeAllElements()
{
    for (CADRenderer *renderer : m_renderers)
        renderer->removeAllElements();
}

void RendererContainer::updateStatistics()
{
    for (CADRenderer *renderer : m_renderers)
        renderer->updateStatistics();
}

void RendererContainer::freeAll()
{
    for (CADRenderer *renderer : m_renderers)
        delete renderer;
    m_renderers.clear();
    m_types.clear();
}

} // namespace Vaq::GCAD
