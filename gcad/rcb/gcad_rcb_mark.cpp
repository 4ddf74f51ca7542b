// The render callback's marking: which elements this view marks, in which colour, and how
// an element's own highlight state (and its label's) is brought in line with this view.
#include "gcad/rcb/gcad_rcb.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/gl/vaq_gl_render_object.h"

#include <algorithm>

namespace Vaq::GCAD {

namespace {

// Meshes whose highlight the mesh pipeline applies itself while drawing.
bool highlightsWhileDrawing(const CAD::Element *element)
{
    const CAD::ElementCreator::Element_t type = element->getType();
    return type == CAD::ElementCreator::MESH_INSPECTION || type == CAD::ElementCreator::MESH_PREVIEW;
}

void refresh(CAD::Element *element)
{
    if (highlightsWhileDrawing(element))
        return;
    for (const CAD::StageIdentifier &stage : element->getStages())
        element->updateVisualization(stage, false, false);
}

} // namespace

void RenderCallback::repaintForMarking()
{
    if (GL::RenderObject *view = getRenderObject()) {
        // Marked elements are drawn in their marking colour: the kept picture of the scene is
        // out of date.
        view->invalidateSavedFrame();
        view->repaintWidget(GL::UpdateOptions(GL::UpdateOptions::US_OVERLAY, GL::UpdateOptions::UT_DEFAULT));
    }
}

bool RenderCallback::isMarkedIn(const CAD::Element *element, const Color &color) const
{
    const auto found = _marked_elements.find(element);
    return found != _marked_elements.end() && found->second == color;
}

bool RenderCallback::markElement(CAD::Element *element, const Color &color)
{
    if (isMarkedIn(element, color))
        return false;
    _marked_elements[element] = color;
    createDeregisterObject(element);
    updateHighlighting(element, true, color, false);
    refresh(element);
    repaintForMarking();
    return true;
}

bool RenderCallback::markElements(
    const std::vector<CAD::Element *> &elements, const std::vector<Color> &colors, unsigned *renderLevel)
{
    if (elements.size() != colors.size())
        VAQ_PROG_ERROR("Vaq::GCAD::RenderCallback::markElements", QStringLiteral("Wrong size for vectors!"));
    bool changed = false;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        CAD::Element *element = elements[i];
        if (isMarkedIn(element, colors[i]))
            continue;
        changed = true;
        if (renderLevel)
            *renderLevel = std::min<unsigned>(*renderLevel, element->getRenderLevel());
        _marked_elements[element] = colors[i];
        createDeregisterObject(element);
        updateHighlighting(element, true, colors[i], false);
        refresh(element);
    }
    repaintForMarking();
    return changed;
}

bool RenderCallback::unmarkElement(CAD::Element *element)
{
    const auto found = _marked_elements.find(element);
    if (found == _marked_elements.end())
        return false;
    updateHighlighting(element, false, false);
    refresh(element);
    // Out of the map before the repaint, whose drawing would mark it again otherwise.
    _marked_elements.erase(found);
    repaintForMarking();
    return true;
}

bool RenderCallback::unmarkElements(const std::vector<CAD::Element *> &elements, unsigned *renderLevel)
{
    bool changed = false;
    for (CAD::Element *element : elements) {
        if (!_marked_elements.count(element))
            continue;
        changed = true;
        if (renderLevel)
            *renderLevel = std::min<unsigned>(*renderLevel, element->getRenderLevel());
        updateHighlighting(element, false, false);
        refresh(element);
        _marked_elements.erase(element);
    }
    repaintForMarking();
    return changed;
}

bool RenderCallback::unmarkElement()
{
    if (_marked_elements.empty())
        return false;
    for (const auto &[element, color] : _marked_elements) {
        auto *marked = const_cast<CAD::Element *>(element);
        updateHighlighting(marked, false, false);
        refresh(marked);
    }
    _marked_elements.clear();
    repaintForMarking();
    return true;
}

bool RenderCallback::markPointOfElement(
    CAD::Element *element, const std::vector<int> &indices, const Color &color)
{
    if (!element->isHighligtOfPointsPossible())
        VAQ_PROG_ERROR("Vaq::GCAD::RenderCallback::markPointOfElement",
            QStringLiteral("highlight of points not possible"));
    Color current;
    if (element->isPointHighlighted(indices, &current) && current == color)
        return false;
    element->highlightPoint(indices, color);
    for (const CAD::StageIdentifier &stage : element->getStages())
        element->updateVisualization(stage, false, false);
    repaintForMarking();
    return true;
}

bool RenderCallback::unmarkPointOfElement(CAD::Element *element, const std::vector<int> &indices)
{
    return element->clearHighlightPoint(indices);
}

bool RenderCallback::unmarkPointOfElement(CAD::Element *element)
{
    return element->clearHighlightPoint();
}

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
