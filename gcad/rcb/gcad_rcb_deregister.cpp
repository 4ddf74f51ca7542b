#include "gcad/rcb/gcad_rcb_deregister.h"

#include "gcad/host/cad/vaq_cad_element.h"
#include "gcad/rcb/gcad_rcb.h"

namespace Vaq::GCAD {

DeregisterCADElement::DeregisterCADElement(RenderCallback *callback, CAD::Element *element)
    : TObjectDestroyNotifier(element)
    , m_callback(callback)
    , m_element(element)
{
    m_callback->_deregister_objects[element] = this;
}

DeregisterCADElement::~DeregisterCADElement() = default;

void DeregisterCADElement::objectDestroyed(TObject *)
{
    // Deletes this notifier.
    m_callback->deregisterMarkedElement(m_element);
}

} // namespace Vaq::GCAD
