#include "gcad/host/cad/vaq_cad_points_base.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_deviation_legend.h"
#include "gcad/host/cad/vaq_cad_find_parameter.h"
#include "gcad/host/fig2/vaq_fig2_global_legend.h"

#include <algorithm>

namespace Vaq::CAD {

namespace {

ElementCreator::Element_t checkedPointsType(ElementCreator::Element_t type)
{
    ElementClassification classification;
    if (!ElementCreator::getElementClassification(type, &classification)
        || !classification[ElementClassification::POINTS_DATASET])
        VAQ_PROG_ERROR("Vaq::CAD::PointsBase::PointsBase", "not a points type");
    return type;
}

// Shorter directions are taken as no direction at all.
constexpr double MIN_DIRECTION_LENGTH = 1e-50;

} // namespace

PointsBase::PointsBase(ElementCreator::Element_t type, const QString &fileName)
    : Element(checkedPointsType(type), fileName)
{
}

template<typename T>
const PointsRecordVector<T> &PointsBase::forStage(
    const StageIdentifier &stage, const PointsRecordVector<T> &v) const
{
    static const PointsRecordVector<T> none;
    return isStageValid(stage) ? v : none;
}

const PointsRecordVector<BaVec3d<double>> &PointsBase::getPointVector(const StageIdentifier &stage) const
{
    return forStage(stage, m_points);
}

const PointsRecordVector<BaVec3d<float>> &PointsBase::getNormalVector(const StageIdentifier &stage) const
{
    return forStage(stage, m_normals);
}

const PointsRecordVector<PointFlags> &PointsBase::getFlagVector(const StageIdentifier &stage) const
{
    return forStage(stage, m_flags);
}

const PointsRecordVector<Color> &PointsBase::getColorVector(const StageIdentifier &stage) const
{
    return forStage(stage, m_colors);
}

const PointsRecordVector<Color> &PointsBase::getSpringColorVector(const StageIdentifier &stage) const
{
    return forStage(stage, m_spring_colors);
}

const PointsRecordVector<Color> &PointsBase::getCutoffColorVector(const StageIdentifier &stage) const
{
    return forStage(stage, m_cutoff_colors);
}

const PointsRecordVector<int32_t> &PointsBase::getIdVector(const StageIdentifier &stage) const
{
    return forStage(stage, m_ids);
}

const PointsRecordVector<float> &PointsBase::getDataVector(const StageIdentifier &stage) const
{
    return forStage(stage, m_values);
}

const PointsRecordVector<BaVec3d<float>> &PointsBase::getDistanceVector(const StageIdentifier &stage) const
{
    return forStage(stage, m_distances);
}

const PointsRecordVector<BaVec3d<float>> &PointsBase::getSpringVector(const StageIdentifier &stage) const
{
    return forStage(stage, m_spring_directions);
}

const PointsRecordVector<BaVec3d<float>> &PointsBase::getCutoffVector(const StageIdentifier &stage) const
{
    return forStage(stage, m_cutoff_directions);
}

bool PointsBase::existsDistanceVector(const StageIdentifier &stage) const
{
    return !getDistanceVector(stage).empty();
}

bool PointsBase::existsSpringColorVector(const StageIdentifier &stage) const
{
    return !getSpringColorVector(stage).empty();
}

bool PointsBase::existsCutoffColorVector(const StageIdentifier &stage) const
{
    return !getCutoffColorVector(stage).empty();
}

void PointsBase::setPoints(std::vector<BaVec3d<double>> positions)
{
    m_points = std::move(positions);
    for (auto *v : { &m_normals, &m_distances, &m_spring_directions, &m_cutoff_directions })
        v->clear();
    for (auto *v : { &m_colors, &m_spring_colors, &m_cutoff_colors })
        v->clear();
    m_ids.clear();
    m_values.clear();
    m_flags.assign(m_points.size(), PointFlags());
    m_visible = unsigned(m_points.size());
    m_box = Box3d();
    for (const BaVec3d<double> &p : m_points)
        m_box.extend(p);
    ++m_version;
}

template<typename T>
void PointsBase::setPerPoint(std::vector<T> &target, std::vector<T> values, const char *function)
{
    if (!values.empty() && values.size() != m_points.size())
        VAQ_PROG_ERROR(function, "wrong number of values");
    target = std::move(values);
    ++m_version;
}

void PointsBase::setNormals(std::vector<BaVec3d<float>> normals)
{
    setPerPoint(m_normals, std::move(normals), "Vaq::CAD::PointsBase::setNormals");
}

void PointsBase::setColors(std::vector<Color> colors)
{
    setPerPoint(m_colors, std::move(colors), "Vaq::CAD::PointsBase::setColors");
}

void PointsBase::setSpringColors(std::vector<Color> colors)
{
    setPerPoint(m_spring_colors, std::move(colors), "Vaq::CAD::PointsBase::setSpringColors");
}

void PointsBase::setCutoffColors(std::vector<Color> colors)
{
    setPerPoint(m_cutoff_colors, std::move(colors), "Vaq::CAD::PointsBase::setCutoffColors");
}

void PointsBase::setIds(std::vector<int32_t> ids)
{
    setPerPoint(m_ids, std::move(ids), "Vaq::CAD::PointsBase::setIds");
}

void PointsBase::setValues(std::vector<float> values)
{
    setPerPoint(m_values, std::move(values), "Vaq::CAD::PointsBase::setValues");
}

void PointsBase::setDistances(std::vector<BaVec3d<float>> distances)
{
    setPerPoint(m_distances, std::move(distances), "Vaq::CAD::PointsBase::setDistances");
}

void PointsBase::setSpringDirections(std::vector<BaVec3d<float>> directions)
{
    setPerPoint(m_spring_directions, std::move(directions), "Vaq::CAD::PointsBase::setSpringDirections");
}

void PointsBase::setCutoffDirections(std::vector<BaVec3d<float>> directions)
{
    setPerPoint(m_cutoff_directions, std::move(directions), "Vaq::CAD::PointsBase::setCutoffDirections");
}

void PointsBase::setPointFlag(const std::vector<uint32_t> &points, PointFlags::Flag flag, bool on)
{
    if (std::any_of(points.begin(), points.end(), [this](uint32_t i) { return i >= m_flags.size(); }))
        VAQ_PROG_ERROR("Vaq::CAD::PointsBase::setPointFlag", "point index out of range");
    for (uint32_t i : points)
        m_flags[i].set(flag, on);
    m_visible = unsigned(std::count_if(
        m_flags.begin(), m_flags.end(), [](const PointFlags &f) { return f.isVisibleAndNotPreview(); }));
    ++m_version;
}

unsigned PointsBase::getNumberOfVisiblePoints(const StageIdentifier &stage) const
{
    return isStageValid(stage) ? m_visible : 0;
}

bool PointsBase::findElementAtPixel(
    const StageIdentifier &stage, FindParameter &parameter, double tolerancePixels) const
{
    parameter.clearFound();
    if (!isStageValid(stage))
        return false;
    Transformation toWorld;
    const bool transformed = getRenderTransformation(stage, &toWorld);
    // One transformation from element coordinates to the window.
    const Transformation &view = parameter.get3d2dTransformation();
    const Transformation toWindow = transformed ? view * toWorld : view;
    const BaVec3d<double> pixel = view.transform(parameter.getViewLine().getPoint());
    const double limit = tolerancePixels * tolerancePixels;
    bool found = false;
    std::size_t best = 0;
    double bestZ = 0.0;
    for (std::size_t i = 0; i < m_points.size(); ++i) {
        if (!m_flags.empty() && !m_flags[i].isVisibleAndNotPreview())
            continue;
        const BaVec3d<double> window = toWindow.transform(m_points[i]);
        const double dx = window.x - pixel.x, dy = window.y - pixel.y;
        if (dx * dx + dy * dy > limit || (found && -window.z <= bestZ))
            continue;
        if (parameter.isCutAway(transformed ? toWorld.transform(m_points[i]) : m_points[i]))
            continue;
        found = true;
        best = i;
        bestZ = -window.z;
    }
    if (!found)
        return false;
    parameter.setFound(m_points[best], bestZ);
    if (transformed)
        parameter.setFoundRenderTrafo(toWorld);
    return true;
}

bool PointsBase::getBoundingBox(
    const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const
{
    return getStoredOrDataBox(m_box, stage, type, context, box);
}

bool PointsBase::transferDistToVector(float distance, const BaVec3d<float> &direction, BaVec3d<float> *vector)
{
    const double length = direction.length();
    if (distance == NO_VALUE || !(length > MIN_DIRECTION_LENGTH))
        return false;
    *vector = direction * float(distance / length);
    return true;
}

bool PointsBase::isColorMapShown(const StageIdentifier &stage) const
{
    return getElemProperties()->colorMapEnabled && !getDataVector(stage).empty();
}

bool PointsBase::mustLabelBeRendered(const StageIdentifier &stage) const
{
    return Element::mustLabelBeRendered(stage) || (isColorMapShown(stage) && isVisible(VR_HIERARCHY));
}

void PointsBase::updateFigureElements(
    const StageIdentifier &stage, int viewHeight, const Transformation &view, double pixelSize)
{
    Element::updateFigureElements(stage, viewHeight, view, pixelSize);
    if (isColorMapShown(stage))
        updateDeviationLegend();
}

std::vector<Fig2::Element *> PointsBase::getFigureElements(const StageIdentifier &stage) const
{
    std::vector<Fig2::Element *> elements = Element::getFigureElements(stage);
    if (isColorMapShown(stage))
        elements.push_back(GLegend2::GlobalLegend::getInstance());
    return elements;
}

} // namespace Vaq::CAD
