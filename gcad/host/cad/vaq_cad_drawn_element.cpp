#include "gcad/host/cad/vaq_cad_drawn_element.h"

#include "gcad/host/base/vaq_prog_error.h"

#include <algorithm>
#include <cmath>

namespace Vaq::CAD {

DrawnElement::DrawnElement(ElementCreator::Element_t type,
    std::initializer_list<ElementCreator::Element_t> kinds, const char *function)
    : Element(type)
{
    if (std::find(kinds.begin(), kinds.end(), type) == kinds.end())
        VAQ_PROG_ERROR(function, "wrong element type");
    // Drawn over the scene, where blended figures and the handles that are picked belong.
    setRenderLevel(RL_FOREGROUND);
}

bool DrawnElement::getBoundingBox(
    const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const
{
    Box3d data;
    extendBox(data);
    return getStoredOrDataBox(data, stage, type, context, box);
}

void DrawnElement::extend(Box3d &box, const BaVec3d<double> &point)
{
    if (std::isfinite(point.x) && std::isfinite(point.y) && std::isfinite(point.z))
        box.extend(point);
}

} // namespace Vaq::CAD
