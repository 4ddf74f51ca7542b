// The points renderer. Every render type walks the points in slices (calculateStepping): a
// still view draws 100000 points per step, a moving one every n-th point of the whole set in
// one step, so that at most about 300000 are drawn per frame, and thins them further by the
// stepping of the frame-rate adjustment's plan. Only points that are visible and no preview
// are drawn.
//
// Plain points (render type 0) are the bulk of every large cloud, and one immediate-mode call
// per vertex costs more than the rasteriser needs for the point itself (llvmpipe drew 10
// million points that way at 0.61 of the rate of one glDrawArrays from a buffer object). They are therefore
// drawn with vertex arrays (PointsBuffer): float positions, normals with (0, 0, 0) replaced by (0, 0, 1), and
// the colours, in one buffer object per element, built at the first draw and kept until the element's data or
// colour choice changes, the element goes, or the view's render data is released. A slice of
// points that are all shown is one glDrawArrays (every n-th point of a moving view read with a
// stride of n records), any other slice one glDrawElements of the shown points. Drivers and
// views without buffer objects get the same arrays in client memory: one path, so the pixels
// never depend on the memory the points sit in (one call per vertex drew a few pixels of a
// million differently from the arrays).
#include "gcad/renderers/gcad_r_points.h"

#include "gcad/benchmark/gcad_benchmark_result.h"
#include "gcad/benchmark/gcad_benchmark_result_container.h"
#include "gcad/host/base/vaq_init.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/base/vaq_translation.h"
#include "gcad/host/cad/vaq_cad_displacement_field.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"
#include "gcad/rcb/gcad_rcb.h"

#include <QFont>

#include <algorithm>

namespace Vaq::GCAD {

using CAD::ElementClassification;
using CAD::ElementCreator;

namespace {

// Markers are replaced by plain points in a moving view of more points than this.
constexpr unsigned MAX_INTERACTIVE_MARKERS = 2000;
// Shorter normals are drawn as they are, not normalised.
constexpr double MIN_NORMAL_LENGTH = 1e-50;
constexpr double MIN_LABEL_FONT_SIZE = 2.0;

// The application kinds that label the points of scans and probed point sets.
bool applicationLabelsScans()
{
    return VaqInit::_app == 6 || VaqInit::_app == 10 || VaqInit::_app == 11;
}

[[noreturn]] void wrongRenderer()
{
    VAQ_PROG_ERROR("Vaq::GCAD::PointsRenderer::getRenderTypes", "wrong renderer for element");
}

void line(const BaVec3d<double> &from, const BaVec3d<double> &to)
{
    ::glVertex3d(from.x, from.y, from.z);
    ::glVertex3d(to.x, to.y, to.z);
}

BaVec3d<double> toDouble(const BaVec3d<float> &v)
{
    return { v.x, v.y, v.z };
}

} // namespace

PointsRenderer::PointsRenderer(RenderCallback *callback)
    : CADGLRenderer(callback)
{
    m_supported_types = { ElementCreator::POINT_CLOUD, ElementCreator::POINTS_DEVIATION,
        ElementCreator::POINTS_SPRINGBACK, ElementCreator::REFERENCE_POINTS,
        ElementCreator::POINTS_DISPLACEMENT, ElementCreator::POINTS_SCAN, ElementCreator::POINTS_PROBED };
}

PointsRenderer::~PointsRenderer() = default;

void PointsRenderer::removeElement(CAD::Element *element)
{
    m_buffers.erase(element);
}

void PointsRenderer::removeAllElements()
{
    m_buffers.clear();
}

double PointsRenderer::estimateRenderTime(const std::vector<unsigned> &renderTypes, unsigned stepping) const
{
    const auto *points = dynamic_cast<const CAD::PointsBase *>(m_current_element);
    if (!points || renderTypes.empty())
        return 0.0;
    // What one frame draws before the plan's stepping: the slice rule's share of the points.
    const unsigned count = unsigned(points->getPointVector(m_stage).size());
    unsigned thinning = 1, end = count;
    calculateStepping(count, 0, &thinning, &end);
    const double drawn = double(points->getNumberOfVisiblePoints(m_stage)) / thinning;

    BenchmarkResult rates;
    if (BenchmarkResultContainer *store = BenchmarkResultContainer::getInstance())
        store->getResult(GL::WidgetOptions::getInstance()->getCurrentWidgetOptions(), &rates);
    // Lit points, coloured when the set has colours; every further pass costs a pass of points.
    const bool colored = !points->getColorVector(m_stage).empty();
    return renderTypes.size() * drawn / rates.getPointStats(true, colored, stepping);
}

bool PointsRenderer::reduceRenderTime(std::vector<unsigned> *, unsigned *stepping) const
{
    const auto &steppings = BenchmarkResult::_steppings;
    const auto at = std::find(steppings.begin(), steppings.end(), *stepping);
    if (at == steppings.end() || at + 1 == steppings.end())
        return false;
    *stepping = *(at + 1);
    return true;
}

std::vector<unsigned> PointsRenderer::getRenderTypes() const
{
    const CAD::ElemProp &p = *m_element_properties;
    const ElementCreator::Element_t type = m_current_element->getType();
    std::vector<unsigned> types;

    switch (type) {
    case ElementCreator::POINT_CLOUD:
    case ElementCreator::POINTS_SCAN:
    case ElementCreator::POINTS_PROBED:
        if (p.showIdentifiers && applicationLabelsScans())
            types.push_back(PRT_LABELS);
        break;
    case ElementCreator::REFERENCE_POINTS:
        if (p.showIdentifiers)
            types.push_back(PRT_LABELS);
        break;
    case ElementCreator::POINTS_DEVIATION:
    case ElementCreator::POINTS_SPRINGBACK:
    case ElementCreator::POINTS_DISPLACEMENT:
        break;
    default:
        wrongRenderer();
    }

    switch (p.displayMode) {
    case 0:
        types.push_back(PRT_POINTS);
        break;
    case 1: {
        const bool moving = m_render_callback->getUpdateOptions().interactiveUpdate;
        const bool many = m_current_element->getNumberOfVisiblePoints(m_stage) > MAX_INTERACTIVE_MARKERS;
        types.push_back(moving && many ? PRT_POINTS : PRT_MARKERS);
        break;
    }
    case 2:
        types.push_back(PRT_CROSSES);
        break;
    default:
        break;
    }

    switch (type) {
    case ElementCreator::POINT_CLOUD:
    case ElementCreator::POINTS_SCAN:
    case ElementCreator::POINTS_PROBED:
        if (p.pointsShown && p.deviationNeedles)
            types.push_back(PRT_DEVIATION_NEEDLES);
        if (p.vectorNeedles)
            types.push_back(PRT_SPRING_CUTOFF_NEEDLES);
        if (p.showNormals)
            types.push_back(PRT_NORMALS);
        break;
    case ElementCreator::REFERENCE_POINTS:
        if (p.showNormals)
            types.push_back(PRT_NORMALS);
        break;
    case ElementCreator::POINTS_DEVIATION:
        if (p.deviationNeedles)
            types.push_back(PRT_DEVIATION_NEEDLES);
        if (p.showNormals)
            types.push_back(PRT_NORMALS);
        break;
    case ElementCreator::POINTS_SPRINGBACK:
        if (p.showNormals)
            types.push_back(PRT_NORMALS);
        // The springback needles are what such a result is for: its own switches decide.
        types.push_back(PRT_SPRING_CUTOFF_NEEDLES);
        break;
    case ElementCreator::POINTS_DISPLACEMENT:
        types.push_back(PRT_DISPLACEMENT);
        break;
    default:
        wrongRenderer();
    }
    return types;
}

void PointsRenderer::chooseColorVector()
{
    m_colors = &m_points->getColorVector(m_stage);
    const bool choice = m_current_element->getType() == ElementCreator::POINTS_SPRINGBACK
        || (m_points->existsSpringColorVector(m_stage) && m_points->existsCutoffColorVector(m_stage));
    if (!choice)
        return;
    if (m_element_properties->colorSource == 1)
        m_colors = &m_points->getSpringColorVector(m_stage);
    else if (m_element_properties->colorSource == 2)
        m_colors = &m_points->getCutoffColorVector(m_stage);
}

const Color &PointsRenderer::colorOf(unsigned i) const
{
    // A set without colours of its own is drawn in its material colour.
    return m_colors->empty() ? m_front_color : (*m_colors)[i];
}

void PointsRenderer::setColor(const Color &color)
{
    ::glColor3ub(color.r, color.g, color.b);
}

void PointsRenderer::preDrawInternal(unsigned renderType, int phase)
{
    ElementClassification classification;
    ElementCreator::getElementClassification(m_current_element, &classification);
    auto *points = dynamic_cast<CAD::PointsBase *>(m_current_element);
    if (!classification[ElementClassification::POINTS_DATASET] || !points)
        VAQ_PROG_ERROR("Vaq::GCAD::PointsRenderer::preDrawInternal", "wrong element type");
    m_points = points;
    if (phase == 1 || phase == 3)
        m_next = 0;
    m_type = renderType;
    if (phase != 2 && phase != 3)
        return;

    chooseColorVector();
    const CAD::ElemProp &p = *m_element_properties;
    switch (renderType) {
    case PRT_POINTS:
        ::glEnable(GL_COLOR_MATERIAL);
        ::glPointSize(float(m_snapshot_scaling * p.pointSize));
        initMaterial(m_current_element, false, false, false);
        break;
    case PRT_MARKERS:
        ::glEnable(GL_COLOR_MATERIAL);
        initMaterial(m_current_element, false, false, false);
        break;
    case PRT_CROSSES:
        ::glEnable(GL_COLOR_MATERIAL);
        enableRenderMode(RM_WIREFRAME);
        initMaterial(m_current_element, false, false, false);
        break;
    case PRT_NORMALS:
    case PRT_DEVIATION_NEEDLES:
    case PRT_SPRING_CUTOFF_NEEDLES:
    case PRT_DISPLACEMENT:
        enableRenderMode(RM_LINES);
        setLineWidth(renderType == PRT_DISPLACEMENT ? p.displacementLineWidth : p.needleLineWidth);
        initMaterial(m_current_element, false, false, false);
        ::glEnable(GL_COLOR_MATERIAL);
        break;
    case PRT_LABELS:
        initMaterial(m_current_element, false, false, false);
        ::glDisable(GL_LIGHTING);
        break;
    default:
        break;
    }
}

void PointsRenderer::postDrawInternal(int phase)
{
    if (phase != 2 && phase != 3)
        return;
    switch (m_type) {
    case PRT_POINTS:
        ::glDisable(GL_COLOR_MATERIAL);
        ::glPointSize(1.0f);
        break;
    case PRT_MARKERS:
        ::glDisable(GL_COLOR_MATERIAL);
        break;
    case PRT_CROSSES:
        disableRenderMode(RM_WIREFRAME);
        ::glDisable(GL_COLOR_MATERIAL);
        break;
    case PRT_NORMALS:
    case PRT_DEVIATION_NEEDLES:
    case PRT_SPRING_CUTOFF_NEEDLES:
    case PRT_DISPLACEMENT:
        disableRenderMode(RM_LINES);
        resetLineWidth();
        ::glDisable(GL_COLOR_MATERIAL);
        break;
    case PRT_LABELS:
        ::glEnable(GL_LIGHTING);
        break;
    default:
        break;
    }
}

bool PointsRenderer::drawInternal()
{
    switch (m_type) {
    case PRT_POINTS:
        return drawPoints();
    case PRT_MARKERS:
        return drawMarkers();
    case PRT_CROSSES:
        return drawCrosses();
    case PRT_NORMALS:
        return drawNormals();
    case PRT_LABELS:
        return drawLabels();
    case PRT_DEVIATION_NEEDLES:
    case PRT_SPRING_CUTOFF_NEEDLES:
        return drawNeedles();
    case PRT_DISPLACEMENT:
        return drawDisplacements();
    default:
        return true;
    }
}

void PointsRenderer::calculateSlice(unsigned count, unsigned *stepping, unsigned *end) const
{
    calculateStepping(count, m_next, stepping, end);
    // A frame-rate plan thins out what a moving view draws even further; a still view always
    // shows every point.
    if (m_render_types_given && m_render_callback->getUpdateOptions().interactiveUpdate)
        *stepping *= std::max(m_stepping, 1u);
}

template<typename Visit> bool PointsRenderer::forEachPointOfSlice(Visit visit)
{
    const auto &flags = m_points->getFlagVector(m_stage);
    const unsigned count = unsigned(flags.size());
    unsigned stepping = 1, end = count;
    calculateSlice(count, &stepping, &end);
    for (unsigned i = m_next; i < end; i += stepping) {
        if (flags[i].isVisibleAndNotPreview())
            visit(i);
    }
    m_next = std::max(m_next, end);
    return end == count;
}

bool PointsRenderer::drawPoints()
{
    if (m_colors->empty())
        setColor(m_front_color);
    const GL::RenderObject *view = m_render_callback->getRenderObject();
    std::unique_ptr<PointsBuffer> &buffer = m_buffers[m_current_element];
    if (!buffer)
        buffer = std::make_unique<PointsBuffer>();
    buffer->prepare(*m_points, m_stage, *m_colors, view && view->allowGPURessources());

    const auto &flags = m_points->getFlagVector(m_stage);
    const unsigned count = unsigned(flags.size());
    unsigned stepping = 1, end = count;
    calculateSlice(count, &stepping, &end);
    buffer->draw(flags, m_points->getNumberOfVisiblePoints(m_stage) == count, m_next, end, stepping);
    m_next = std::max(m_next, end);
    return end == count;
}

bool PointsRenderer::drawMarkers()
{
    const auto &positions = m_points->getPointVector(m_stage);
    const double size = m_element_properties->markerSize;
    return forEachPointOfSlice(
        [&](unsigned i) { drawPointMarker(positions[i], size, colorOf(i), 1, false); });
}

bool PointsRenderer::drawCrosses()
{
    const auto &positions = m_points->getPointVector(m_stage);
    const float h = float(0.5 * calculateDrawSize(true, m_element_properties->crossSize));
    ::glBegin(GL_LINES);
    const bool finished = forEachPointOfSlice([&](unsigned i) {
        setColor(colorOf(i));
        const float x = float(positions[i].x), y = float(positions[i].y), z = float(positions[i].z);
        ::glVertex3f(x - h, y, z);
        ::glVertex3f(x + h, y, z);
        ::glVertex3f(x, y - h, z);
        ::glVertex3f(x, y + h, z);
        ::glVertex3f(x, y, z - h);
        ::glVertex3f(x, y, z + h);
    });
    ::glEnd();
    return finished;
}

bool PointsRenderer::drawNormals()
{
    const auto &positions = m_points->getPointVector(m_stage);
    const auto &normals = m_points->getNormalVector(m_stage);
    if (normals.empty())
        return true;
    const double length = calculateDrawSize(true, m_element_properties->normalLength);
    ::glBegin(GL_LINES);
    const bool finished = forEachPointOfSlice([&](unsigned i) {
        BaVec3d<double> n = toDouble(normals[i]);
        if (n.length() > MIN_NORMAL_LENGTH)
            n = n.normalized();
        setColor(colorOf(i));
        line(positions[i], positions[i] + n * length);
    });
    ::glEnd();
    return finished;
}

bool PointsRenderer::drawLabels()
{
    GL::RenderObject *view = m_render_callback->getRenderObject();
    const auto &ids = m_points->getIdVector(m_stage);
    if (!view || ids.empty())
        return true;
    const auto &positions = m_points->getPointVector(m_stage);
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    font.setFamily(font.defaultFamily());
    // The texts are painted on the picture in its own pixels, so a snapshot's scaling grows them
    // with everything else.
    font.setPointSizeF(
        int(std::max(MIN_LABEL_FONT_SIZE, m_element_properties->labelFontSize) + 0.5) * m_snapshot_scaling);
    const QString out = QStringLiteral("  ") + translate("GCAD", "(out)");
    return forEachPointOfSlice([&](unsigned i) {
        if (ids[i] == CAD::PointsBase::NO_ID)
            return;
        const Color &color = colorOf(i);
        setColor(color);
        const QString text = ids[i] == CAD::PointsBase::OUT_ID ? out : QStringLiteral("  %1").arg(ids[i]);
        view->renderText(positions[i], text, font, color);
    });
}

bool PointsRenderer::drawNeedles()
{
    const GL::RenderObject *view = m_render_callback->getRenderObject();
    const auto &distances = m_points->getDistanceVector(m_stage);
    if (!view || distances.empty())
        return true;
    const auto &positions = m_points->getPointVector(m_stage);
    const auto &values = m_points->getDataVector(m_stage);
    const auto &springs = m_points->getSpringVector(m_stage);
    const auto &cutoffs = m_points->getCutoffVector(m_stage);
    const auto &springColors = m_points->getSpringColorVector(m_stage);
    const auto &cutoffColors = m_points->getCutoffColorVector(m_stage);
    const CAD::ElemProp &p = *m_element_properties;
    const bool all = m_type == PRT_DEVIATION_NEEDLES;
    const double scale = p.needleScale;

    // Needles are lines: lit by a normal towards the viewer, they keep their colour.
    const BaVec3d<double> towards = view->getViewDirection();
    ::glNormal3d(towards.x, towards.y, towards.z);
    ::glBegin(GL_LINES);
    const bool finished = forEachPointOfSlice([&](unsigned i) {
        const float value = values.empty() ? 0.0f : values[i];
        if (value == CAD::NO_VALUE)
            return;
        BaVec3d<float> v;
        if (!all && p.cutoffNeedles && !cutoffs.empty()
            && CAD::PointsBase::transferDistToVector(value, cutoffs[i], &v)) {
            setColor(cutoffColors.empty() ? colorOf(i) : cutoffColors[i]);
            line(positions[i], positions[i] + toDouble(v) * scale);
        }
        if (!all && p.springNeedles && !springs.empty()
            && CAD::PointsBase::transferDistToVector(value, springs[i], &v)) {
            setColor(springColors.empty() ? colorOf(i) : springColors[i]);
            line(positions[i], positions[i] + toDouble(v) * scale);
        }
        if (all || p.deviationNeedles) {
            setColor(colorOf(i));
            line(positions[i], positions[i] + toDouble(distances[i]) * scale);
        }
    });
    ::glEnd();
    return finished;
}

bool PointsRenderer::drawDisplacements()
{
    const GL::RenderObject *view = m_render_callback->getRenderObject();
    const auto &displacements = m_points->getDistanceVector(m_stage);
    if (!view || displacements.empty())
        return true;
    const auto &positions = m_points->getPointVector(m_stage);
    const auto &values = m_points->getDataVector(m_stage);
    const CAD::ElemProp &p = *m_element_properties;

    // Which axes each component selection (0 to 6) shows; other selections show none.
    static constexpr bool AXES[7][3] = { { true, true, true }, { true, false, false }, { false, true, false },
        { false, false, true }, { true, true, false }, { true, false, true }, { false, true, true } };
    const int selection = p.displacementComponents;
    const bool valid = selection >= 0 && selection <= 6;
    const bool *axes = valid ? AXES[selection] : nullptr;
    // A single component is its own resultant.
    const bool resultant = valid && p.displacementResultant && (selection < 1 || selection > 3);
    const CAD::DisplacementFieldMeasurement::ComponentsColor colors
        = CAD::DisplacementFieldMeasurement::getComponentsColor();
    const Color *axisColors[3] = { &colors.x, &colors.y, &colors.z };

    const BaVec3d<double> towards = view->getViewDirection();
    ::glNormal3d(towards.x, towards.y, towards.z);
    ::glBegin(GL_LINES);
    const bool finished = forEachPointOfSlice([&](unsigned i) {
        if (!valid || (!values.empty() && values[i] == CAD::NO_VALUE))
            return;
        const BaVec3d<double> d = toDouble(displacements[i]) * p.displacementScale;
        BaVec3d<double> sum;
        for (int axis = 0; axis < 3; ++axis) {
            if (!axes[axis])
                continue;
            BaVec3d<double> component;
            component[axis] = d[axis];
            sum += component;
            setColor(*axisColors[axis]);
            line(positions[i], positions[i] + component);
        }
        if (resultant) {
            setColor(colors.resultant);
            line(positions[i], positions[i] + sum);
        }
    });
    ::glEnd();
    return finished;
}

} // namespace Vaq::GCAD
