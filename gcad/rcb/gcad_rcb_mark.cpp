// The render callback's marking: which elements this view marks, in which colour, and how
// an element's own highlight state (and its label's) is brought in line with this view.
#include "gcad/rcb/gcad_rcb.h"

namespace Vaq::GCAD {

bool RenderCallback::isElementMarked(const CAD::Element *element, Color *color) const
{
    if (getUpdateOptions().snapshotRendering)
        return false;
    const auto found = _marked_elements.find(element);
    if (found == _marked_elements.end())
        return false;
    if (color)
        *color = found->second;
    return true;
}

void RenderCallback::updateHighlighting(CAD::Element *element, bool on, bool checkValid)
{
    if (checkValid && !isElementValid(element))
        return;
    element->highlightElement(on);
    CAD::LabelElement *label = element->getLabel();
    if (label && label->isLabelVisible()) {
        label->highlightLabel(on);
        label->update(getActualStageIdentifier());
    }
}

void RenderCallback::updateHighlighting(CAD::Element *element, bool on, const Color &color, bool checkValid)
{
    if (checkValid && !isElementValid(element))
        return;
    // Single points and point clouds light up only where this view marks them.
    CAD::ElementClassification classification;
    CAD::ElementCreator::getElementClassification(element, &classification);
    const bool pointLike = element->getType() == CAD::ElementCreator::POINT_CLOUD
        || classification[CAD::ElementClassification::POINT_ELEMENT];
    if (!pointLike || isElementMarked(element, nullptr))
        element->highlightElement(on);
    element->setHighlightColor(color);
    CAD::LabelElement *label = element->getLabel();
    if (label && label->isLabelVisible()) {
        label->highlightLabel(on);
        label->setHighlightColor(color);
        label->update(getActualStageIdentifier());
    }
}

} // namespace Vaq::GCAD
