// StrainTools::FreePoint: a reference, fixture or target point (types 70 to 72) followed
// through the stages of a strain evaluation keeps its stage points as children. They show the
// same label, so when the user moves the point's label, its stage points' labels move with it.
#pragma once

#include <vector>

namespace Vaq::CAD {

class Element;
class StrainStagePoint;

namespace StrainTools {

class FreePoint
{
public:
    // Whether the element is a reference, fixture or target point.
    static bool isFreePointType(const Element *element);
    // The stage points below such an element (none for other elements).
    static std::vector<StrainStagePoint *> getStagePoints(const Element *element);
    // Copies the label offset of a free point to the labels of its stage points; returns how
    // many took it. Does nothing for other elements or an element without a label.
    static unsigned propagateLabelPosition(const Element *element);
};

} // namespace StrainTools

} // namespace Vaq::CAD
