#include "gcad/host/cad/vaq_cad_strain_free_point.h"

#include "gcad/host/cad/vaq_cad_strain_stage_point.h"

namespace Vaq::CAD::StrainTools {

bool FreePoint::isFreePointType(const Element *element)
{
    if (!element)
        return false;
    const ElementCreator::Element_t type = element->getType();
    return type == ElementCreator::REFERENCE_POINT || type == ElementCreator::FIXTURE_POINT
        || type == ElementCreator::TARGET_POINT;
}

std::vector<StrainStagePoint *> FreePoint::getStagePoints(const Element *element)
{
    std::vector<StrainStagePoint *> points;
    if (!isFreePointType(element))
        return points;
    for (TObject *child : element->getChildren())
        if (auto *point = dynamic_cast<StrainStagePoint *>(child))
            points.push_back(point);
    return points;
}

unsigned FreePoint::propagateLabelPosition(const Element *element)
{
    const LabelElement *label = element ? element->getLabel() : nullptr;
    if (!label)
        return 0;
    unsigned count = 0;
    for (StrainStagePoint *point : getStagePoints(element)) {
        if (LabelElement *own = point->getLabel()) {
            own->setManualOriginOffset(label->getManualOriginOffset());
            ++count;
        }
    }
    return count;
}

} // namespace Vaq::CAD::StrainTools
