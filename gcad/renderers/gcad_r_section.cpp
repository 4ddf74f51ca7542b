// The section renderer. Every render type walks the points of all runs as one sequence in
// slices (calculateStepping): a still view draws 100000 points per step, a moving one every
// n-th point of the whole element in one step. Only points that are visible and no preview are
// drawn, in immediate mode; a segment joins two consecutive drawn points of a run, so a hidden
// point breaks its run's line.
#include "gcad/renderers/gcad_r_section.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_section_edge.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/rcb/gcad_rcb.h"

#include <algorithm>

namespace Vaq::GCAD {

using CAD::ElementClassification;
using CAD::ElementCreator;

namespace {

// The marker of a section point and its arrowheads, in pixels; the arrowheads' tips stay
// clear of the marker by the gap.
constexpr double MARKER_SIZE = 3.0;
constexpr double ARROW_LENGTH = 35.0;
constexpr double ARROW_GAP = 6.0;

void vertex(const BaVec3d<double> &p)
{
    ::glVertex3d(p.x, p.y, p.z);
}

void setColor(const Color &color)
{
    ::glColor3ub(color.r, color.g, color.b);
}

BaVec3d<double> toDouble(const BaVec3d<float> &v)
{
    return { v.x, v.y, v.z };
}

// A unit vector square to the unit vector v and, where they are not parallel, to the view
// direction, so that it shows on screen.
BaVec3d<double> perpendicular(const BaVec3d<double> &v, const BaVec3d<double> &viewDirection)
{
    const BaVec3d<double> across = v.cross(viewDirection);
    if (across.length() > 1e-6 * viewDirection.length())
        return across.normalized();
    const BaVec3d<double> axis = std::abs(v.x) < 0.6 ? BaVec3d<double>(1, 0, 0) : BaVec3d<double>(0, 1, 0);
    return v.cross(axis).normalized();
}

} // namespace

SectionRenderer::SectionRenderer(RenderCallback *callback)
    : CADGLRenderer(callback)
{
    m_supported_types = { ElementCreator::SECTION, ElementCreator::SECTION_NOMINAL,
        ElementCreator::SECTION_DEVIATION, ElementCreator::SECTION_SPRINGBACK,
        ElementCreator::SECTION_VECTORS, ElementCreator::SECTION_INSPECTION_2D, ElementCreator::SECTION_CURVE,
        ElementCreator::SECTION_BOUNDARY, ElementCreator::SECTION_CURVE_NOMINAL,
        ElementCreator::SECTION_POINT, ElementCreator::SECTION_IMPORTED };
}

const CAD::SectionDisplay &SectionRenderer::display() const
{
    static const CAD::SectionDisplay none;
    const auto *section = dynamic_cast<const CAD::SectionBase *>(m_current_element);
    if (!section)
        return none;
    return section->getType() == ElementCreator::SECTION_INSPECTION_2D ? section->getInsp2dDisplay()
                                                                       : section->getDisplay();
}

std::vector<unsigned> SectionRenderer::getRenderTypes() const
{
    const CAD::SectionDisplay &d = display();
    const ElementCreator::Element_t type = m_current_element->getType();
    std::vector<unsigned> types;
    const auto add = [&](bool on, unsigned renderType) {
        if (on)
            types.push_back(renderType);
    };

    switch (type) {
    case ElementCreator::SECTION:
    case ElementCreator::SECTION_CURVE:
    case ElementCreator::SECTION_BOUNDARY:
    case ElementCreator::SECTION_NOMINAL:
    case ElementCreator::SECTION_POINT:
    case ElementCreator::SECTION_CURVE_NOMINAL:
    case ElementCreator::SECTION_IMPORTED:
        add(d.points, SRT_POINTS);
        add(d.polyline, SRT_POLYLINE);
        if (d.deviationDisplay) {
            add(d.deviationNeedles, SRT_WANTED_NEEDLES);
            add(d.actualLine, SRT_ACTUAL_LINE);
            add(d.actualPoints, SRT_ACTUAL_POINTS);
        }
        if (d.vectorDisplay) {
            add(d.deviationNeedles, SRT_DISTANCE_NEEDLES);
            add(d.springNeedles, SRT_SPRING_NEEDLES);
            add(d.cutoffNeedles, SRT_CUTOFF_NEEDLES);
        }
        if (type == ElementCreator::SECTION_POINT) {
            types.push_back(SRT_MARKER);
            types.push_back(SRT_ARROWS);
        }
        break;
    case ElementCreator::SECTION_DEVIATION:
        add(d.points, SRT_POINTS);
        add(d.polyline, SRT_POLYLINE);
        add(d.deviationNeedles, SRT_WANTED_NEEDLES);
        add(d.actualLine, SRT_ACTUAL_LINE);
        add(d.actualPoints, SRT_ACTUAL_POINTS);
        break;
    case ElementCreator::SECTION_SPRINGBACK:
        add(d.points, SRT_POINTS);
        add(d.polyline, SRT_POLYLINE);
        add(d.springNeedles, SRT_EDGE_SPRING);
        add(d.cutoffNeedles, SRT_EDGE_CUTOFF);
        break;
    case ElementCreator::SECTION_VECTORS:
        add(d.points, SRT_POINTS);
        add(d.polyline, SRT_POLYLINE);
        add(d.deviationNeedles, SRT_DISTANCE_NEEDLES);
        add(d.springNeedles, SRT_SPRING_NEEDLES);
        add(d.cutoffNeedles, SRT_CUTOFF_NEEDLES);
        break;
    case ElementCreator::SECTION_INSPECTION_2D:
        add(d.tolerance, SRT_TOLERANCE);
        add(d.points, SRT_POINTS);
        add(d.polyline, SRT_POLYLINE);
        add(d.deviationNeedles, SRT_WANTED_NEEDLES);
        add(d.inspectionNeedles, SRT_INSPECTION_NEEDLES);
        add(d.actualPoints, SRT_ACTUAL_POINTS);
        break;
    default:
        VAQ_PROG_ERROR("Vaq::GCAD::SectionRenderer::getRenderTypes", "unsupported type");
    }
    return types;
}

void SectionRenderer::chooseColors()
{
    const ElementCreator::Element_t type = m_section->getType();
    m_colors = &m_section->getColors(m_stage);
    if (type == ElementCreator::SECTION_INSPECTION_2D) {
        m_colors = &m_section->getInsp2dCadColorsVector(m_stage);
        return;
    }
    const bool choice = type == ElementCreator::SECTION_VECTORS
        || (m_section->existsSpringColorVector(m_stage) && m_section->existsCutoffColorVector(m_stage));
    if (!choice)
        return;
    if (display().colorSource == 1)
        m_colors = &m_section->getSpringColorVectors(m_stage);
    else if (display().colorSource == 2)
        m_colors = &m_section->getCutoffColorVectors(m_stage);
}

Color SectionRenderer::colorOf(unsigned run, unsigned index) const
{
    // A section without colours of its own is drawn in its material colour.
    const Color color = m_colors->empty() ? m_front_color : (*m_colors)[run][index];
    if (!m_inspection_colors && m_section->getFlags(m_stage)[run][index].isSelected())
        return Color::fadeColor(color);
    return color;
}

bool SectionRenderer::isShown(unsigned run, unsigned index) const
{
    return m_section->getFlags(m_stage)[run][index].isVisibleAndNotPreview();
}

void SectionRenderer::preDrawInternal(unsigned renderType, int phase)
{
    ElementClassification classification;
    ElementCreator::getElementClassification(m_current_element, &classification);
    auto *section = dynamic_cast<CAD::SectionBase *>(m_current_element);
    if (!classification[ElementClassification::SECTION_DATASET] || !section)
        VAQ_PROG_ERROR("Vaq::GCAD::SectionRenderer::preDrawInternal", "wrong element type");
    m_section = section;
    const ElementCreator::Element_t type = section->getType();
    const bool inspectionType = type == ElementCreator::SECTION || type == ElementCreator::SECTION_NOMINAL
        || type == ElementCreator::SECTION_CURVE || type == ElementCreator::SECTION_BOUNDARY
        || type == ElementCreator::SECTION_IMPORTED;
    m_inspection_colors = inspectionType && (display().deviationDisplay || display().vectorDisplay);
    if (phase == 1 || phase == 3)
        m_next = 0;
    m_type = renderType;
    m_run_starts.clear();
    unsigned start = 0;
    for (const auto &run : section->getSections(m_stage)) {
        m_run_starts.push_back(start);
        start += unsigned(run.size());
    }
    m_run_starts.push_back(start);
    if (phase != 2 && phase != 3)
        return;

    // The material colour of points without colours of their own; the marker's colour.
    initMaterial(m_current_element, false, false, false);
    chooseColors();
    const CAD::SectionDisplay &d = display();
    switch (renderType) {
    case SRT_POINTS:
    case SRT_ACTUAL_POINTS:
        ::glDisable(GL_LIGHTING);
        ::glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        ::glEnable(GL_COLOR_MATERIAL);
        ::glPointSize(
            float(m_snapshot_scaling * (renderType == SRT_POINTS ? d.pointSize : d.actualPointSize)));
        break;
    case SRT_POLYLINE:
    case SRT_ACTUAL_LINE:
    case SRT_INSPECTION_NEEDLES:
    case SRT_WANTED_NEEDLES:
    case SRT_DISTANCE_NEEDLES:
    case SRT_SPRING_NEEDLES:
    case SRT_CUTOFF_NEEDLES:
        enableRenderMode(RM_LINES);
        setLineWidth(renderType == SRT_POLYLINE        ? d.lineWidth
                : renderType == SRT_ACTUAL_LINE        ? d.actualLineWidth
                : renderType == SRT_INSPECTION_NEEDLES ? d.inspectionLineWidth
                                                       : d.needleLineWidth);
        ::glEnable(GL_COLOR_MATERIAL);
        break;
    case SRT_EDGE_SPRING:
    case SRT_EDGE_CUTOFF:
        enableRenderMode(RM_LINES);
        setLineWidth(d.needleLineWidth);
        break;
    default:
        break;
    }
}

void SectionRenderer::postDrawInternal(int phase)
{
    if (phase != 2 && phase != 3)
        return;
    switch (m_type) {
    case SRT_POINTS:
    case SRT_ACTUAL_POINTS:
        ::glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        ::glDisable(GL_COLOR_MATERIAL);
        ::glEnable(GL_LIGHTING);
        ::glPointSize(1.0f);
        break;
    case SRT_POLYLINE:
    case SRT_ACTUAL_LINE:
    case SRT_INSPECTION_NEEDLES:
    case SRT_WANTED_NEEDLES:
    case SRT_DISTANCE_NEEDLES:
    case SRT_SPRING_NEEDLES:
    case SRT_CUTOFF_NEEDLES:
        disableRenderMode(RM_LINES);
        ::glDisable(GL_COLOR_MATERIAL);
        resetLineWidth();
        break;
    case SRT_EDGE_SPRING:
    case SRT_EDGE_CUTOFF:
        disableRenderMode(RM_LINES);
        resetLineWidth();
        break;
    default:
        break;
    }
}

bool SectionRenderer::drawInternal()
{
    switch (m_type) {
    case SRT_POINTS:
    case SRT_ACTUAL_POINTS:
        return drawPoints(m_type == SRT_ACTUAL_POINTS);
    case SRT_POLYLINE:
    case SRT_ACTUAL_LINE:
        return drawLines(m_type == SRT_ACTUAL_LINE);
    case SRT_INSPECTION_NEEDLES:
    case SRT_WANTED_NEEDLES:
    case SRT_EDGE_SPRING:
    case SRT_EDGE_CUTOFF:
    case SRT_DISTANCE_NEEDLES:
    case SRT_SPRING_NEEDLES:
    case SRT_CUTOFF_NEEDLES:
        return drawNeedles();
    case SRT_TOLERANCE:
        return drawTolerance();
    case SRT_MARKER:
    case SRT_ARROWS:
        return drawMarker(m_type == SRT_ARROWS);
    default:
        return true;
    }
}

template<typename Visit> bool SectionRenderer::forEachPointOfSlice(Visit visit)
{
    const unsigned count = m_run_starts.back();
    unsigned stepping = 1, end = count;
    calculateStepping(count, m_next, &stepping, &end);
    m_slice_stepping = stepping;
    auto run
        = unsigned(std::upper_bound(m_run_starts.begin(), m_run_starts.end(), m_next) - m_run_starts.begin());
    for (unsigned i = m_next; i < end; i += stepping) {
        while (i >= m_run_starts[run])
            ++run;
        const unsigned index = i - m_run_starts[run - 1];
        if (isShown(run - 1, index))
            visit(run - 1, index);
    }
    m_next = std::max(m_next, end);
    return end == count;
}

bool SectionRenderer::actualPoint(unsigned run, unsigned index, BaVec3d<double> *point) const
{
    const auto &distances = m_section->getDistanceVector(m_stage);
    const auto &values = m_section->getVData(m_stage);
    const auto &flags = m_section->getInsp2dFlags(m_stage);
    if (distances.empty() || (!values.empty() && values[run][index] == CAD::NO_VALUE)
        || (!flags.empty() && !flags[run][index].drawActLine()))
        return false;
    *point = m_section->getSections(m_stage)[run][index]
        + toDouble(distances[run][index]) * m_element_properties->needleScale;
    return true;
}

bool SectionRenderer::drawPoints(bool actual)
{
    const auto &sections = m_section->getSections(m_stage);
    ::glBegin(GL_POINTS);
    const bool finished = forEachPointOfSlice([&](unsigned run, unsigned index) {
        BaVec3d<double> p = sections[run][index];
        if (actual && !actualPoint(run, index, &p))
            return;
        setColor(colorOf(run, index));
        vertex(p);
    });
    ::glEnd();
    return finished;
}

bool SectionRenderer::drawLines(bool actual)
{
    const auto &sections = m_section->getSections(m_stage);
    // The point as the line takes it: moved for the actual line; false when it has no part.
    const auto pointOf = [&](unsigned run, unsigned index, BaVec3d<double> *p) {
        if (!isShown(run, index))
            return false;
        *p = sections[run][index];
        return !actual || actualPoint(run, index, p);
    };
    ::glBegin(GL_LINES);
    const bool finished = forEachPointOfSlice([&](unsigned run, unsigned index) {
        BaVec3d<double> from, to;
        if (!pointOf(run, index, &from))
            return;
        const unsigned next = index + m_slice_stepping;
        const auto size = unsigned(sections[run].size());
        unsigned toIndex = next;
        if (next >= size) {
            // The last point of the slice's walk through a closed run joins its first point.
            if (!m_section->isClosed(m_stage, run) || index == 0)
                return;
            toIndex = 0;
        }
        if (!pointOf(run, toIndex, &to))
            return;
        if (toIndex == 0 && !actual)
            to = m_section->firstPoint(m_stage, run);
        setColor(colorOf(run, index));
        vertex(from);
        setColor(colorOf(run, toIndex));
        vertex(to);
    });
    ::glEnd();
    return finished;
}

bool SectionRenderer::drawNeedles()
{
    const GL::RenderObject *view = m_render_callback->getRenderObject();
    const CAD::SectionRecords<BaVec3d<float>> *vectors = &m_section->getDistanceVector(m_stage);
    const CAD::SectionRecords<Color> *colors = m_colors;
    const auto *edge = dynamic_cast<const CAD::SectionEdge *>(m_section);
    switch (m_type) {
    case SRT_EDGE_SPRING:
        vectors = edge ? &edge->getSpringVectors(m_stage) : nullptr;
        colors = &m_section->getSpringColorVectors(m_stage);
        break;
    case SRT_EDGE_CUTOFF:
        vectors = edge ? &edge->getCutoffVectors(m_stage) : nullptr;
        colors = &m_section->getCutoffColorVectors(m_stage);
        break;
    case SRT_SPRING_NEEDLES:
        vectors = &m_section->getSpringDistVectors(m_stage);
        colors = &m_section->getSpringColorVectors(m_stage);
        break;
    case SRT_CUTOFF_NEEDLES:
        vectors = &m_section->getCutoffDistVectors(m_stage);
        colors = &m_section->getCutoffColorVectors(m_stage);
        break;
    default:
        break;
    }
    if (!view || !vectors || vectors->empty())
        return true;
    const auto &sections = m_section->getSections(m_stage);
    const auto &values = m_section->getVData(m_stage);
    const auto &flags = m_section->getInsp2dFlags(m_stage);
    const double scale = display().needleScale * m_element_properties->needleScale;

    // Needles are lines: lit by a normal towards the viewer, they keep their colour.
    const BaVec3d<double> towards = view->getViewDirection();
    ::glNormal3d(towards.x, towards.y, towards.z);
    ::glBegin(GL_LINES);
    const bool finished = forEachPointOfSlice([&](unsigned run, unsigned index) {
        if (!values.empty() && values[run][index] == CAD::NO_VALUE)
            return;
        if (!flags.empty() && m_type == SRT_INSPECTION_NEEDLES && !flags[run][index].isDistVectorAllowed())
            return;
        if (!flags.empty() && m_type == SRT_WANTED_NEEDLES && !flags[run][index].drawDistVec())
            return;
        setColor(colors->empty() ? colorOf(run, index) : (*colors)[run][index]);
        const BaVec3d<double> &p = sections[run][index];
        vertex(p);
        vertex(p + toDouble((*vectors)[run][index]) * scale);
    });
    ::glEnd();
    return finished;
}

bool SectionRenderer::drawMarker(bool arrows)
{
    const auto &sections = m_section->getSections(m_stage);
    if (sections.empty())
        return true;
    // The section point is the first point; the arrowheads point at it along the first
    // segment and square to it as the viewer sees it.
    const BaVec3d<double> point = sections.front().front();
    if (!arrows) {
        drawPointMarker(point, MARKER_SIZE, m_front_color, 0, false);
        return true;
    }
    const BaVec3d<double> along = sections.front()[1] - point;
    if (!(along.length() > 0.0))
        return true;
    const GL::RenderObject *view = m_render_callback->getRenderObject();
    const BaVec3d<double> u = along.normalized();
    const BaVec3d<double> v = perpendicular(u, view ? view->getViewDirection() : BaVec3d<double>(0, 0, -1));
    const double gap = calculateDrawSize(false, ARROW_GAP), length = calculateDrawSize(false, ARROW_LENGTH);
    enableRenderMode(RM_LINES);
    for (const BaVec3d<double> &d : { u, -u, v, -v })
        drawArrowHead(point + d * gap, point + d * (gap + length), length, m_front_color);
    disableRenderMode(RM_LINES);
    return true;
}

} // namespace Vaq::GCAD
