// The measuring-plan renderer: one dispatch on the element type. Distances and angles are the
// shared measurement figures; point changes are a marker with their probing direction drawn
// the vector length long and arrowheads of 35 pixels (double ones 1.5 times that); holes are
// the circle, slot, rounded rectangle and polygon figures with lines across the dimensions
// that are measured. Data a kind marks invalid leave out the part they would draw.
#include "gcad/renderers/gcad_r_pmp.h"

#include "gcad/host/base/vaq_line.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_distance.h"
#include "gcad/host/cad/vaq_cad_measurement.h"
#include "gcad/host/cad/vaq_cad_pmp.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_stencil_handler.h"
#include "gcad/rcb/gcad_rcb.h"
#include "gcad/renderers/gcad_element_data.h"

namespace Vaq::GCAD {

using CAD::ElementCreator;

namespace {

constexpr double ARROW_PIXELS = 35.0;
constexpr double DOUBLE_ARROW_FACTOR = 1.5;
constexpr double EXTENSION_PIXELS = 5.0;

} // namespace

PmpRenderer::PmpRenderer(RenderCallback *callback)
    : CADGLRenderer(callback)
{
    m_supported_types = { ElementCreator::PMP_DISTANCE_CHANGE, ElementCreator::PMP_POINT_CHANGE,
        ElementCreator::PMP_ANGLE_CHANGE, ElementCreator::PMP_CIRCLE_CHANGE, ElementCreator::PMP_SLOT_CHANGE,
        ElementCreator::PMP_RECTANGLE_HOLE_CHANGE, ElementCreator::PMP_SURFACE_POINT_CHANGE,
        ElementCreator::PMP_SECTION_POINT_CHANGE, ElementCreator::PMP_DISTANCE,
        ElementCreator::PMP_SYMMETRY_POINT_CHANGE, ElementCreator::PMP_TRIM_POINT_CHANGE,
        ElementCreator::PMP_DISC_POINT_CHANGE, ElementCreator::PMP_SEGMENT_POINT_CHANGE,
        ElementCreator::PMP_REGULAR_POLYHOLE_CHANGE };
}

bool PmpRenderer::drawInternal()
{
    static const char *const FUNCTION = "Vaq::GCAD::PmpRenderer::drawInternal";
    CAD::Element *element = m_current_element;
    switch (element->getType()) {
    case ElementCreator::PMP_DISTANCE_CHANGE:
    case ElementCreator::PMP_DISTANCE:
        if (auto *distance = elementData<CAD::DistanceBase>(element, FUNCTION)) {
            // A planned distance between two elements needs both; a change keeps its handle
            // only while it is active.
            if (distance->areElementsValid())
                drawDistance(distance->getPoint(0), distance->getPoint(1), element, distance->getPullOut(),
                    EXTENSION_PIXELS, distance->isHandleEnabled() && element->getActiveStatus(m_stage));
        }
        break;
    case ElementCreator::PMP_ANGLE_CHANGE:
        if (auto *angle = elementData<CAD::AngleMeasurement>(element, FUNCTION))
            drawAngle(*angle, initMaterial(element, false, false, false), m_element_properties->lineWidth);
        break;
    case ElementCreator::PMP_POINT_CHANGE:
    case ElementCreator::PMP_SURFACE_POINT_CHANGE:
    case ElementCreator::PMP_SECTION_POINT_CHANGE:
    case ElementCreator::PMP_SYMMETRY_POINT_CHANGE:
    case ElementCreator::PMP_TRIM_POINT_CHANGE:
    case ElementCreator::PMP_DISC_POINT_CHANGE:
    case ElementCreator::PMP_SEGMENT_POINT_CHANGE:
        if (auto *feature = elementData<CAD::PmpElement>(element, FUNCTION))
            drawFeature(*feature, initMaterial(element, false, false, false));
        break;
    case ElementCreator::PMP_CIRCLE_CHANGE:
    case ElementCreator::PMP_SLOT_CHANGE:
    case ElementCreator::PMP_RECTANGLE_HOLE_CHANGE:
    case ElementCreator::PMP_REGULAR_POLYHOLE_CHANGE:
        if (auto *feature = elementData<CAD::PmpElement>(element, FUNCTION))
            drawHole(*feature, initMaterial(element, false, false, false));
        break;
    default:
        VAQ_PROG_ERROR(FUNCTION, "unsupported type");
    }
    drawReferencePoint();
    return true;
}

void PmpRenderer::drawPointFigure(
    const BaVec3d<double> &from, const BaVec3d<double> &to, const BaVec3d<double> &point, const Color &color)
{
    drawPointMarker(point, m_element_properties->pointSize, color, 1, false);
    drawLines({ from, to }, color, m_element_properties->lineWidth);
}

void PmpRenderer::drawFeature(const CAD::PmpElement &feature, const Color &color)
{
    const BaVec3d<double> &p = feature.getNominalPoint();
    const BaVec3d<double> unit = feature.getDirection().normalized();
    const double length = feature.getVectorLength();
    const BaVec3d<double> tip = p + unit * length;
    const double arrow = calculateDrawSize(true, ARROW_PIXELS);
    const bool directed = unit.length() > 0.0;
    switch (feature.getType()) {
    case ElementCreator::PMP_SURFACE_POINT_CHANGE:
        drawPointFigure(p, tip, p, color);
        if (directed)
            drawArrowHead(tip, tip - unit * arrow, arrow, color);
        // Measured relative to another element: from the point touched there to this line.
        if (const auto &touched = feature.getLastTouchedPoint(); touched && directed)
            drawLines(
                { *touched, Line3d(p, unit).perpend(*touched) }, color, m_element_properties->lineWidth);
        break;
    case ElementCreator::PMP_SECTION_POINT_CHANGE: {
        const BaVec3d<double> back = p - unit * length;
        drawPointFigure(back, tip, p, color);
        if (directed) {
            drawArrowHead(tip, tip - unit * arrow, arrow, color);
            drawDoubleArrowHead(back, back + unit * arrow, DOUBLE_ARROW_FACTOR * arrow, color);
        }
        break;
    }
    case ElementCreator::PMP_SYMMETRY_POINT_CHANGE:
        if (feature.areElementsValid()) {
            const BaVec3d<double> half = unit * (length / 2.0);
            drawPointFigure(p - half, p + half, p, color);
            drawArrowsAtEnds(p - half, p + half, color);
        }
        break;
    case ElementCreator::PMP_TRIM_POINT_CHANGE:
        drawPointFigure(p, tip, p, color);
        if (directed)
            drawDoubleArrowHead(tip, tip - unit * arrow, DOUBLE_ARROW_FACTOR * arrow, color);
        break;
    case ElementCreator::PMP_DISC_POINT_CHANGE:
    case ElementCreator::PMP_SEGMENT_POINT_CHANGE: {
        // The jaw touches the material, which lies the material offset and the clearance
        // further along the probing direction.
        const double offset = (feature.existsMaterialOffset() ? feature.getElementMaterialOffset() : 0.0)
            + feature.getClearance();
        const BaVec3d<double> at = p + unit * offset;
        drawPointMarker(p, m_element_properties->pointSize, color, 1, false);
        if (feature.getType() == ElementCreator::PMP_DISC_POINT_CHANGE) {
            drawDisc(at, unit, feature.getSize(), color);
            setLineWidth(m_element_properties->lineWidth);
            drawCircle(at, unit, feature.getSize(), color);
            resetLineWidth();
        } else {
            drawCaliperJaw(at, feature.getNormal(), unit, feature.getSize(),
                calculateDrawSize(true, m_element_properties->symbolSize), color, Color(0, 0, 0));
        }
        break;
    }
    default: // PMP_POINT_CHANGE
        drawPointMarker(p, m_element_properties->pointSize, color, 1, false);
        break;
    }
}

void PmpRenderer::drawHole(const CAD::PmpElement &feature, const Color &color)
{
    const double lineWidth = m_element_properties->lineWidth;
    const double needle = calculateDrawSize(true, m_element_properties->symbolSize);
    switch (feature.getType()) {
    case ElementCreator::PMP_CIRCLE_CHANGE:
        if (feature.isDiameterValid())
            drawCircleElement(feature.getNominalCircle(), color, lineWidth, needle);
        break;
    case ElementCreator::PMP_REGULAR_POLYHOLE_CHANGE:
        if (feature.isDiameterValid())
            drawRegularPolygon(feature.getNominalRegularPolyhole(), color, lineWidth, needle);
        break;
    default: { // slots and rectangular holes
        const CAD::PmpElement::Hole &hole = feature.getNominalHole();
        if (feature.getType() == ElementCreator::PMP_SLOT_CHANGE)
            drawSlot(hole.first, hole.second, hole.normal, hole.width, color, lineWidth, needle);
        else
            drawRoundedRectangle(
                hole.first, hole.second, hole.normal, hole.width, hole.edgeRadius, color, lineWidth, needle);
        const std::vector<BaVec3d<double>> edges = feature.getNominalEdgePoints();
        std::vector<BaVec3d<double>> lines;
        if (feature.isWidthValid())
            lines.insert(lines.end(), { edges[0], edges[1] });
        if (feature.isLengthValid())
            lines.insert(lines.end(), { edges[2], edges[3] });
        if (feature.isDirectionValid())
            lines.insert(lines.end(), { hole.first, hole.second });
        if (!lines.empty())
            drawLines(lines, color, lineWidth);
        break;
    }
    }
}

// Out of the stencil: the marker must not make the element pickable where nothing shows.
void PmpRenderer::drawReferencePoint()
{
    CAD::ElementClassification classification;
    CAD::ElementCreator::getElementClassification(m_current_element, &classification);
    const auto *feature = dynamic_cast<const CAD::PmpElement *>(m_current_element);
    BaVec3d<double> point;
    if (!classification[CAD::ElementClassification::PMP_REFERENCE_POINT] || !feature
        || !feature->getReferencePoint(&point))
        return;
    if (GL::RenderObject *view = m_render_callback->getRenderObject())
        view->getStencilHandler()->setElement(nullptr);
    drawPointMarker(point, m_element_properties->pointSize, Color(0, 0, 0, 0), 1, true);
}

} // namespace Vaq::GCAD
