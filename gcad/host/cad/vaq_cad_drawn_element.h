// DrawnElement: the base of the element kinds that are built from a few points and shapes
// (measurements, tolerances, measuring-plan features, scale bars, cameras ...). It checks the
// kind number it is made for and reports the box of whatever geometry the kind adds to it.
#pragma once

#include "gcad/host/cad/vaq_cad_element.h"

#include <initializer_list>

namespace Vaq::CAD {

class DrawnElement : public Element
{
public:
    // The box of the element's geometry (see extendBox), unless a box was stored.
    bool getBoundingBox(
        const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const override;

protected:
    // Throws ProgError "wrong element type" (naming function) when type is not one of kinds.
    DrawnElement(ElementCreator::Element_t type, std::initializer_list<ElementCreator::Element_t> kinds,
        const char *function);

    // Adds the element's points to box; points that are not finite are left out.
    virtual void extendBox(Box3d &box) const = 0;
    static void extend(Box3d &box, const BaVec3d<double> &point);
};

} // namespace Vaq::CAD
