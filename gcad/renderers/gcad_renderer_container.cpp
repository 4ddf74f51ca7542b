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
        const std::size_t index = std::size_t(type);
        if (index >= m_types.size())
            m_types.resize(index + 1, nullptr);
        if (m_types[index])
            VAQ_PROG_ERROR("Vaq::GCAD::RendererContainer::registerRenderer",
                "cad renderer for this type has already been registered");
        m_types[index] = renderer;
    }
}

CADRenderer *RendererContainer::getRenderer(CAD::ElementCreator::Element_t type) const
{
    const std::size_t index = std::size_t(type);
    return index < m_types.size() ? m_types[index] : nullptr;
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
