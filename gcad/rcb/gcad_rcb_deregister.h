// DeregisterCADElement: the destroy notifier a render callback attaches to every element it
// draws or marks, so that the callback and its renderers forget the element before it is
// gone. The callback owns it.
#pragma once

#include "gcad/host/cad/vaq_cad_tobject.h"

namespace Vaq::CAD {
class Element;
}

namespace Vaq::GCAD {

class RenderCallback;

class DeregisterCADElement : public TObjectDestroyNotifier
{
public:
    // Attaches to element and enters itself into the callback's list.
    DeregisterCADElement(RenderCallback *callback, CAD::Element *element);
    ~DeregisterCADElement() override;

protected:
    void objectDestroyed(TObject *object) override;

private:
    RenderCallback *m_callback;
    // Kept because the element's derived parts are gone by the time it is reported.
    CAD::Element *m_element;
};

} // namespace Vaq::GCAD
