// The measurement renderer: one dispatch on the element type per element, each figure built
// from the drawing routines of CADGLRenderer (distances, arrowheads, discs, jaws, polygons,
// angles). Elements whose data are not of their kind are left out with a trace.
#include "gcad/renderers/gcad_r_measure.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_distance.h"
#include "gcad/host/cad/vaq_cad_measurement.h"
#include "gcad/rcb/gcad_rcb.h"
#include "gcad/renderers/gcad_element_data.h"

namespace Vaq::GCAD {

using CAD::ElementCreator;

namespace {

constexpr double ARROW_PIXELS = 35.0;
// Leader lines of arrowheads outside a short dimension line, in arrowhead lengths.
constexpr double LEADER_ARROWS = 1.5;
// The arc of an angle, in leg lengths.
constexpr double ARC_RADIUS = 1.0 / 3.0;
// How far extension lines reach beyond a pulled-out dimension line.
constexpr double EXTENSION_PIXELS = 5.0;

} // namespace

MeasureRenderer::MeasureRenderer(RenderCallback *callback)
    : CADGLRenderer(callback)
{
    m_supported_types = { ElementCreator::ANGLE, ElementCreator::DISTANCE,
        ElementCreator::DIRECTIONAL_DISTANCE, ElementCreator::DISC_CALIPER, ElementCreator::SEGMENT_CALIPER,
        ElementCreator::POINT_MEASUREMENT, ElementCreator::LINE_MEASUREMENT,
        ElementCreator::POINT_LINE_MEASUREMENT, ElementCreator::POINT_PLANE_MEASUREMENT,
        ElementCreator::ANGLE_MEASUREMENT, ElementCreator::SIX_DOF_MEASUREMENT,
        ElementCreator::SIX_DOF_TRACKING };
}

bool MeasureRenderer::drawInternal()
{
    CAD::Element *element = m_current_element;
    switch (element->getType()) {
    case ElementCreator::DISTANCE:
    case ElementCreator::DIRECTIONAL_DISTANCE:
        if (auto *distance
            = elementData<CAD::DistanceBase>(element, "Vaq::GCAD::MeasureRenderer::drawInternal"))
            drawDistance(distance->getPoint(0), distance->getPoint(1), element, distance->getPullOut(),
                EXTENSION_PIXELS, distance->isHandleEnabled());
        return true;
    case ElementCreator::DISC_CALIPER:
        drawDiscCaliper(initMaterial(element, false, false, false));
        return true;
    case ElementCreator::SEGMENT_CALIPER:
        drawSegmentCaliper(initMaterial(element, false, false, false));
        return true;
    case ElementCreator::POINT_MEASUREMENT:
    case ElementCreator::LINE_MEASUREMENT:
    case ElementCreator::POINT_LINE_MEASUREMENT:
    case ElementCreator::POINT_PLANE_MEASUREMENT:
        drawFeature(initMaterial(element, false, false, false));
        return true;
    case ElementCreator::ANGLE:
    case ElementCreator::ANGLE_MEASUREMENT:
        drawAngleMeasurement(initMaterial(element, false, false, false));
        return true;
    case ElementCreator::SIX_DOF_MEASUREMENT:
    case ElementCreator::SIX_DOF_TRACKING:
        drawSixDof(initMaterial(element, false, false, false));
        return true;
    default:
        VAQ_PROG_ERROR("Vaq::GCAD::MeasureRenderer::drawInternal", "unsupported type");
    }
}

double MeasureRenderer::getPixelReach(CAD::Element &element, Box3d *box) const
{
    const double scaling = m_render_callback->getSnapshotScaling();
    const double arrow = ARROW_PIXELS * scaling * scaling;
    const auto around = [box](const BaVec3d<double> &centre, double radius) {
        box->extend(centre - BaVec3d<double>(radius, radius, radius));
        box->extend(centre + BaVec3d<double>(radius, radius, radius));
    };
    switch (element.getType()) {
    case ElementCreator::DISTANCE:
    case ElementCreator::DIRECTIONAL_DISTANCE:
    case ElementCreator::DISC_CALIPER: {
        auto *distance = dynamic_cast<CAD::DistanceBase *>(&element);
        if (!distance)
            return -1.0;
        const BaVec3d<double> &p1 = distance->getPoint(0), &p2 = distance->getPoint(1);
        // A pulled-out dimension line runs between its kink points.
        if (const CAD::DistPullOut *pullOut = distance->getPullOut(); pullOut && pullOut->isPulledOut()) {
            const auto &[a, b] = pullOut->getKinkPoints(p1, p2);
            box->extend(a);
            box->extend(b);
        }
        if (const auto *caliper = dynamic_cast<const CAD::DiscCaliper *>(distance)) {
            around(p1, caliper->getDrawRadius());
            around(p2, caliper->getDrawRadius());
        }
        // Leader lines, arrowheads, the end marker of a directional distance and the extension
        // lines' overshoot stay within the leaders' reach from the line's ends.
        return std::max(LEADER_ARROWS * arrow, getMarkerReach(element)) + getLineReach(element);
    }
    case ElementCreator::ANGLE:
    case ElementCreator::ANGLE_MEASUREMENT: {
        const auto *angle = dynamic_cast<const CAD::AngleMeasurement *>(&element);
        if (!angle)
            return -1.0;
        around(angle->getApex(), ARC_RADIUS * angle->getLegLength());
        return arrow + getLineReach(element);
    }
    default:
        return -1.0;
    }
}

// Both jaws as discs with their rims, arrowheads that press them together (shrinking) or
// apart, then the distance between them.
void MeasureRenderer::drawDiscCaliper(const Color &color)
{
    auto *caliper
        = elementData<CAD::DiscCaliper>(m_current_element, "Vaq::GCAD::MeasureRenderer::drawDiscCaliper");
    if (!caliper)
        return;
    const BaVec3d<double> &p1 = caliper->getPoint(0), &p2 = caliper->getPoint(1);
    const BaVec3d<double> &normal = caliper->getDrawNormal();
    for (const BaVec3d<double> &p : { p1, p2 })
        drawDisc(p, normal, caliper->getDrawRadius(), color);
    setLineWidth(m_element_properties->lineWidth);
    for (const BaVec3d<double> &p : { p1, p2 })
        drawCircle(p, normal, caliper->getDrawRadius(), color);
    resetLineWidth();
    const double length = (p2 - p1).length();
    if (length > 0.0) {
        const double arrow = calculateDrawSize(true, ARROW_PIXELS);
        // Outwards from each jaw; a shrinking caliper's arrows point the other way.
        const BaVec3d<double> out = (p2 - p1) / length * (caliper->isShrinking() ? arrow : -arrow);
        drawArrowHead(p1, p1 - out, arrow, color);
        drawArrowHead(p2, p2 + out, arrow, color);
    }
    drawDistance(
        p1, p2, m_current_element, caliper->getPullOut(), EXTENSION_PIXELS, caliper->isHandleEnabled());
}

// A jaw at each point along the segment direction, their backs facing away from each other.
void MeasureRenderer::drawSegmentCaliper(const Color &color)
{
    auto *caliper = elementData<CAD::SegmentCaliper>(
        m_current_element, "Vaq::GCAD::MeasureRenderer::drawSegmentCaliper");
    if (!caliper)
        return;
    const BaVec3d<double> &p1 = caliper->getPoint(0), &p2 = caliper->getPoint(1);
    const BaVec3d<double> &normal = caliper->getDrawNormal();
    const double width = calculateDrawSize(true, m_element_properties->symbolSize);
    const Color outline(0, 0, 0);
    drawCaliperJaw(
        p1, caliper->getSegmentDirection(), normal, caliper->getDrawSegmentLength(), width, color, outline);
    drawCaliperJaw(
        p2, caliper->getSegmentDirection(), -normal, caliper->getDrawSegmentLength(), width, color, outline);
    drawDistance(
        p1, p2, m_current_element, caliper->getPullOut(), EXTENSION_PIXELS, caliper->isHandleEnabled());
}

// Measured point, line or plane, and the perpendicular from the point onto the line or plane.
void MeasureRenderer::drawFeature(const Color &color)
{
    auto *feature
        = elementData<CAD::FeatureMeasurement>(m_current_element, "Vaq::GCAD::MeasureRenderer::drawFeature");
    if (!feature)
        return;
    const double lineWidth = m_element_properties->lineWidth;
    const bool point = feature->isMeasuredPointValid(), line = feature->isMeasuredLineValid();
    switch (m_current_element->getType()) {
    case ElementCreator::POINT_MEASUREMENT:
        if (point)
            drawPointMarker(feature->getMeasuredPoint(), m_element_properties->pointSize, color, 1, false);
        break;
    case ElementCreator::LINE_MEASUREMENT:
        if (line) {
            drawLines({ feature->getLineEnd(0), feature->getLineEnd(1) }, color, lineWidth);
            drawArrowsAtEnds(feature->getLineEnd(0), feature->getLineEnd(1), color);
        }
        break;
    case ElementCreator::POINT_LINE_MEASUREMENT:
        if (point && line) {
            const BaVec3d<double> &p = feature->getMeasuredPoint();
            const BaVec3d<double> foot = feature->getMeasuredLine().perpend(p);
            std::vector<BaVec3d<double>> ends { p, foot };
            if (feature->getShowLine())
                ends.insert(ends.end(), { feature->getLineEnd(0), feature->getLineEnd(1) });
            drawLines(ends, color, lineWidth);
            drawArrowsAtEnds(p, foot, color);
        }
        break;
    default: // POINT_PLANE_MEASUREMENT
        if (point && feature->isMeasuredPlaneValid()) {
            const BaVec3d<double> &p = feature->getMeasuredPoint();
            const BaVec3d<double> foot = feature->getMeasuredPlane().perpend(p);
            if (feature->getShowPlane())
                drawPolygon(
                    feature->getMeasuredPlane().getNormal(), feature->getPlanePoints(), color, lineWidth);
            drawLines({ p, foot }, color, lineWidth);
            drawArrowsAtEnds(p, foot, color);
        }
        break;
    }
}

void MeasureRenderer::drawAngleMeasurement(const Color &color)
{
    auto *angle = elementData<CAD::AngleMeasurement>(
        m_current_element, "Vaq::GCAD::MeasureRenderer::drawAngleMeasurement");
    if (!angle || !angle->isMeasuredAngleValid())
        return;
    drawAngle(*angle, color, m_element_properties->lineWidth);
    std::vector<BaVec3d<double>> lines;
    for (int i = 0; i < 2; ++i) {
        if (const auto &line = angle->getLine(i))
            lines.insert(lines.end(), { line->first, line->second });
    }
    if (!lines.empty())
        drawLines(lines, color, m_element_properties->lineWidth);
}

// Three axes from the origin in the axis colours (the element's own colour while selected),
// arrowheads at their tips and their letters.
void MeasureRenderer::drawSixDof(const Color &color)
{
    auto *frame
        = elementData<CAD::SixDofMeasurement>(m_current_element, "Vaq::GCAD::MeasureRenderer::drawSixDof");
    if (!frame || !frame->isDataValid())
        return;
    const BaVec3d<double> &origin = frame->getOrigin();
    const bool selected = m_current_element->isSelected();
    const double arrow = calculateDrawSize(true, ARROW_PIXELS);
    BaVec3d<double> tips[3];
    for (int i = 0; i < 3; ++i) {
        tips[i] = origin + frame->getAxis(i) * frame->getDrawSize();
        const Color &axisColor = selected ? color : AXIS_COLORS[i];
        drawLines({ origin, tips[i] }, axisColor, m_element_properties->lineWidth);
        if (frame->getAxis(i).length() > 0.0)
            drawArrowHead(tips[i], tips[i] - frame->getAxis(i) * arrow, arrow, axisColor);
    }
    drawAxisLetters(tips);
}

} // namespace Vaq::GCAD
