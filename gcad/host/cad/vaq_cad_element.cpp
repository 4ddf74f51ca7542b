#include "gcad/host/cad/vaq_cad_element.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_find_parameter.h"

#include <algorithm>

namespace Vaq::CAD {

namespace {

int boxIndex(BoundingBoxType_t type, const char *function)
{
    const int index = int(type);
    if (index < 0 || index >= NUMBER_OF_BOUNDING_BOX_TYPES)
        VAQ_PROG_ERROR(function, "unknown bounding box type");
    return index;
}

} // namespace

Element::Element(ElementCreator::Element_t type, const QString &fileName)
    : m_type(type)
    , m_file_name(fileName)
{
}

Element::~Element() = default;

bool Element::isStageValid(const StageIdentifier &stage) const
{
    const StageData *data = m_stages.findStage(stage);
    return data && data->valid;
}

void Element::setStageValid(const StageIdentifier &stage, bool valid)
{
    m_stages.getOrCreateStage(stage).valid = valid;
}

bool Element::removeStage(const StageIdentifier &stage)
{
    return m_stages.removeStage(stage);
}

bool Element::getStoredOrDataBox(const Box3d &dataBox, const StageIdentifier &stage, BoundingBoxType_t type,
    ContextCS_t context, Box3d &box) const
{
    if (Element::getBoundingBox(stage, type, context, box))
        return true;
    if (dataBox.isEmpty() || !isStageValid(stage))
        return false;
    Transformation transformation;
    box = context == CCS_WORLD && getRenderTransformation(stage, &transformation)
        ? transformation.transformBox(dataBox)
        : dataBox;
    return true;
}

bool Element::getBoundingBox(
    const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const
{
    const int index = boxIndex(type, "Vaq::CAD::Element::getBoundingBox");
    const StageData *data = m_stages.findStage(stage);
    if (!data)
        return false;
    const std::optional<Box3d> *stored = &data->boxes[index];
    if (!stored->has_value() && type == BBT_DISPLAY)
        stored = &data->boxes[BBT_GEOMETRY];
    if (!stored->has_value())
        return false;
    if (context == CCS_WORLD && data->renderTransformation)
        box = data->renderTransformation->transformBox(**stored);
    else
        box = **stored;
    return true;
}

void Element::setBoundingBox(const StageIdentifier &stage, BoundingBoxType_t type, const Box3d &box)
{
    const int index = boxIndex(type, "Vaq::CAD::Element::setBoundingBox");
    if (box.isEmpty())
        VAQ_PROG_ERROR("Vaq::CAD::Element::setBoundingBox", "empty bounding box");
    StageData &data = m_stages.getOrCreateStage(stage);
    data.boxes[index] = box;
    data.visualizationOutdated = true;
}

void Element::clearBoundingBox(const StageIdentifier &stage, BoundingBoxType_t type)
{
    const int index = boxIndex(type, "Vaq::CAD::Element::clearBoundingBox");
    if (StageData *data = m_stages.findStage(stage)) {
        data->boxes[index].reset();
        data->visualizationOutdated = true;
    }
}

bool Element::expandBoundingBoxForDrawing(const StageIdentifier &, double pixelSize, Box3d &box) const
{
    const double margin = 0.5 * m_properties.symbolSize * pixelSize;
    if (box.isEmpty() || !(margin > 0.0))
        return false;
    const BaVec3d<double> d(margin, margin, margin);
    box = Box3d(box.getMin() - d, box.getMax() + d);
    return true;
}

bool Element::getRenderTransformation(const StageIdentifier &stage, Transformation *transformation) const
{
    const StageData *data = m_stages.findStage(stage);
    if (!data || !data->renderTransformation)
        return false;
    if (transformation)
        *transformation = *data->renderTransformation;
    return true;
}

bool Element::existsRenderTransformation(const StageIdentifier &stage) const
{
    return getRenderTransformation(stage, nullptr);
}

void Element::setRenderTransformation(const StageIdentifier &stage, const Transformation &transformation)
{
    StageData &data = m_stages.getOrCreateStage(stage);
    data.renderTransformation = transformation;
    data.visualizationOutdated = true;
}

void Element::clearRenderTransformation(const StageIdentifier &stage)
{
    if (StageData *data = m_stages.findStage(stage)) {
        data->renderTransformation.reset();
        data->visualizationOutdated = true;
    }
}

unsigned Element::getNumberOfVisiblePoints(const StageIdentifier &stage) const
{
    const StageData *data = m_stages.findStage(stage);
    return data ? data->numberOfVisiblePoints : 0;
}

void Element::setNumberOfVisiblePoints(const StageIdentifier &stage, unsigned count)
{
    StageData &data = m_stages.getOrCreateStage(stage);
    data.numberOfVisiblePoints = count;
    data.visualizationOutdated = true;
}

bool Element::getActiveStatus(const StageIdentifier &stage) const
{
    const StageData *data = m_stages.findStage(stage);
    return !data || data->active;
}

void Element::setActiveStatus(const StageIdentifier &stage, bool active)
{
    StageData &data = m_stages.getOrCreateStage(stage);
    data.active = active;
    data.visualizationOutdated = true;
}

bool Element::hasMissingData(const StageIdentifier &stage) const
{
    const StageData *data = m_stages.findStage(stage);
    return data && data->missingData;
}

void Element::setMissingData(const StageIdentifier &stage, bool missing)
{
    StageData &data = m_stages.getOrCreateStage(stage);
    data.missingData = missing;
    data.visualizationOutdated = true;
}

void Element::updateVisualization(const StageIdentifier &stage, bool, bool)
{
    if (StageData *data = m_stages.findStage(stage))
        data->visualizationOutdated = false;
}

bool Element::isVisualizationOutdated(const StageIdentifier &stage) const
{
    const StageData *data = m_stages.findStage(stage);
    return data && data->visualizationOutdated;
}

bool Element::findElementAtPixel(const StageIdentifier &, FindParameter &parameter, double) const
{
    parameter.clearFound();
    return false;
}

bool Element::isVisible(VisibleRequest_t request) const
{
    return request == VR_HIERARCHY ? isHirarchyVisible() : m_visible;
}

bool Element::isHirarchyVisible() const
{
    for (const TObject *o = this; o; o = o->getParent()) {
        const auto *element = dynamic_cast<const Element *>(o);
        if (element && !element->m_visible)
            return false;
    }
    return true;
}

void Element::highlightElement(bool on)
{
    if (m_highlighted == on)
        return;
    m_highlighted = on;
    m_stages.markVisualizationOutdated();
}

void Element::setHighlightColor(const Color &color)
{
    if (m_highlight_color == color)
        return;
    m_highlight_color = color;
    m_stages.markVisualizationOutdated();
}

void Element::highlightPoint(const std::vector<int> &indices, const Color &color)
{
    if (!m_point_highlight_possible)
        VAQ_PROG_ERROR("Vaq::CAD::Element::highlightPoint", "highlight of points not possible");
    if (std::any_of(indices.begin(), indices.end(), [](int i) { return i < 0; }))
        VAQ_PROG_ERROR("Vaq::CAD::Element::highlightPoint", "negative point index");
    for (const int index : indices)
        m_highlighted_points[index] = color;
    m_stages.markVisualizationOutdated();
}

bool Element::isPointHighlighted(const std::vector<int> &indices, Color *color) const
{
    if (indices.empty())
        return false;
    const auto first = m_highlighted_points.find(indices.front());
    if (first == m_highlighted_points.end())
        return false;
    for (const int index : indices) {
        const auto it = m_highlighted_points.find(index);
        if (it == m_highlighted_points.end() || it->second != first->second)
            return false;
    }
    if (color)
        *color = first->second;
    return true;
}

bool Element::clearHighlightPoint()
{
    if (m_highlighted_points.empty())
        return false;
    m_highlighted_points.clear();
    m_stages.markVisualizationOutdated();
    return true;
}

bool Element::clearHighlightPoint(const std::vector<int> &indices)
{
    std::size_t erased = 0;
    for (const int index : indices)
        erased += m_highlighted_points.erase(index);
    if (erased)
        m_stages.markVisualizationOutdated();
    return erased != 0;
}

LabelElement *Element::setLabel(const QString &text)
{
    if (m_label)
        m_label->setText(text);
    else
        m_label = std::make_unique<LabelElement>(text);
    return m_label.get();
}

bool Element::mustLabelBeRendered(const StageIdentifier &stage) const
{
    return m_label && m_label->mustBeRendered() && isVisible(VR_HIERARCHY) && isStageValid(stage);
}

void Element::updateFigureElements(
    const StageIdentifier &stage, int viewHeight, const Transformation &view, double pixelSize)
{
    if (m_label)
        m_label->updateFigureElements(stage, viewHeight, view, pixelSize);
}

std::vector<Fig2::Element *> Element::getFigureElements(const StageIdentifier &stage) const
{
    return m_label ? m_label->getFigureElements(stage) : std::vector<Fig2::Element *>();
}

bool Element::getConnectorPoint(const StageIdentifier &stage, BaVec3d<double> *point) const
{
    return m_label && m_label->getConnectorPoint(stage, point);
}

} // namespace Vaq::CAD
