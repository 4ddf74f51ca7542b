// elementData: the data class behind an element of a given type, for the renderers of the
// element kinds that the model keeps in classes of their own. An element whose object is not of
// that class (built by a model that does not know the kind) is left undrawn with a trace.
#pragma once

#include "gcad/host/base/vaq_trace.h"
#include "gcad/host/cad/vaq_cad_element.h"

namespace Vaq::GCAD {

template<typename T> T *elementData(CAD::Element *element, const char *function)
{
    auto *data = dynamic_cast<T *>(element);
    if (!data)
        VAQ_TRACE(function,
            QStringLiteral("element %1 of type %2 has no data of its kind; not drawn")
                .arg(element->getFileName())
                .arg(int(element->getType())));
    return data;
}

} // namespace Vaq::GCAD
