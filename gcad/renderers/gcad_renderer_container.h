// RendererContainer: the renderers of one render callback and the element types each draws.
// It owns the renderers, finds the one for an element type, and passes element removal and
// statistics updates on to all of them in registration order.
#pragma once

#include "gcad/host/cad/vaq_cad_element_creator.h"

#include <vector>

namespace Vaq::CAD {
class Element;
}

namespace Vaq::GCAD {

class CADRenderer;

class RendererContainer
{
public:
    RendererContainer() = default;
    ~RendererContainer();

    RendererContainer(const RendererContainer &) = delete;
    RendererContainer &operator=(const RendererContainer &) = delete;

    // Takes ownership of renderer and maps its supported types to it. Throws ProgError
    // "cad renderer for this type has already been registered" when another renderer has
    // one of them; the renderer stays owned and the types mapped before the clash stay.
    void registerRenderer(CADRenderer *renderer);
    // The renderer for type, or null.
    CADRenderer *getRenderer(CAD::ElementCreator::Element_t type) const;

    void removeElement(CAD::Element *element);
    void removeAllElements();
    void updateStatistics();
    // Deletes every renderer.
    void freeAll();

private:
    std::vector<CADRenderer *> m_renderers;
    // The renderer of each type, indexed by type (null: none). Types are small numbers, and
    // the drawing cycle asks for every element it draws.
    std::vector<CADRenderer *> m_types;
};

} // namespace Vaq::GCAD
