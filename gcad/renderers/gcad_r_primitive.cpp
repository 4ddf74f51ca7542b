// The primitive renderer: one figure per element type, each built from CADGLRenderer's
// routines. Surfaces are blended (so primitives are drawn over the scene), outlines are
// lines of the element's line width, and sizes meant for the screen (markers, arrowheads,
// crosses) are in pixels. Geometry that cannot be drawn is reported once per element.
#include "gcad/renderers/gcad_r_primitive.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/base/vaq_trace.h"
#include "gcad/host/cad/vaq_cad_primitive_adapter.h"
#include "gcad/host/cad/vaq_cad_primitive_circle.h"
#include "gcad/host/cad/vaq_cad_primitive_line.h"
#include "gcad/host/cad/vaq_cad_primitive_plane.h"
#include "gcad/host/cad/vaq_cad_primitive_point.h"
#include "gcad/host/cad/vaq_cad_primitive_slot.h"
#include "gcad/host/cad/vaq_cad_primitive_solid.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/rcb/gcad_rcb.h"

#include <cmath>

namespace Vaq::GCAD {

using CAD::ElementCreator;

namespace {

// Arrowheads of lines and adapter distances, in pixels.
constexpr double ARROW_LENGTH = 35.0;
// Spheres and paraboloids are tessellated alike at any size on screen.
constexpr unsigned SURFACE_SEGMENTS = 50;
// Point markers of primitives have the square facing the viewer.
constexpr int MARKER_STYLE = 1;

void vertex(const BaVec3d<double> &p)
{
    ::glVertex3d(p.x, p.y, p.z);
}

} // namespace

PrimitiveRenderer::PrimitiveRenderer(RenderCallback *callback)
    : CADGLRenderer(callback)
{
    using E = ElementCreator;
    m_supported_types = { E::POINT, E::REFERENCE_POINT, E::FIXTURE_POINT, E::TARGET_POINT, E::LINE,
        E::LINE_SEGMENT, E::CIRCLE, E::DISC, E::PLANE, E::LIMITED_PLANE, E::SLOT, E::ROUNDED_RECTANGLE,
        E::SPHERE, E::CYLINDER, E::CONE, E::PARABOLOID, E::NOMINAL_POINT, E::NOMINAL_PLANE, E::NOMINAL_CIRCLE,
        E::NOMINAL_SPHERE, E::NOMINAL_CYLINDER, E::NOMINAL_CONE, E::REFERENCE_SPHERE, E::LABEL_MARKER,
        E::NOMINAL_LINE_SEGMENT, E::NOMINAL_ROUNDED_RECTANGLE, E::NOMINAL_SLOT, E::PIN, E::TOOLING_BALL,
        E::ADAPTER_EDGE, E::ADAPTER_PLANE, E::ADAPTER_CYLINDER, E::ADAPTER_SPHERE, E::REGULAR_POLYHOLE };
}

void PrimitiveRenderer::removeElement(CAD::Element *element)
{
    m_reported.erase(element);
}

void PrimitiveRenderer::removeAllElements()
{
    m_reported.clear();
}

template<typename Kind> const Kind &PrimitiveRenderer::element() const
{
    const auto *kind = dynamic_cast<const Kind *>(m_current_element);
    if (!kind)
        VAQ_PROG_ERROR("Vaq::GCAD::PrimitiveRenderer::drawInternal", "wrong element type");
    return *kind;
}

bool PrimitiveRenderer::drawInternal()
{
    using E = ElementCreator;
    const Color colour = initMaterial(m_current_element, false, false, false);
    bool drawn = false;
    switch (m_current_element->getType()) {
    case E::POINT:
    case E::REFERENCE_POINT:
    case E::FIXTURE_POINT:
    case E::TARGET_POINT:
    case E::NOMINAL_POINT:
        drawn = drawPoint(colour);
        break;
    case E::LINE:
        drawn = drawLine(colour);
        break;
    case E::LINE_SEGMENT:
    case E::NOMINAL_LINE_SEGMENT:
        drawn = drawSegment(colour);
        break;
    case E::CIRCLE:
    case E::NOMINAL_CIRCLE:
        drawn = drawCirclePrimitive(colour);
        break;
    case E::DISC:
        drawn = drawDiscPrimitive(colour);
        break;
    case E::PLANE:
    case E::NOMINAL_PLANE:
        drawn = drawPlane(colour);
        break;
    case E::LIMITED_PLANE:
        drawn = drawLimitedPlane(colour);
        break;
    case E::ADAPTER_PLANE:
        drawn = drawAdapterPlane(colour);
        break;
    case E::SLOT:
    case E::NOMINAL_SLOT:
        drawn = drawLonghole(colour, false);
        break;
    case E::ROUNDED_RECTANGLE:
    case E::NOMINAL_ROUNDED_RECTANGLE:
        drawn = drawLonghole(colour, true);
        break;
    case E::SPHERE:
    case E::NOMINAL_SPHERE:
    case E::REFERENCE_SPHERE:
    case E::TOOLING_BALL:
        drawn = drawSpherePrimitive(colour);
        break;
    case E::CYLINDER:
    case E::NOMINAL_CYLINDER:
    case E::PIN:
        drawn = drawCylinderPrimitive(colour);
        break;
    case E::CONE:
    case E::NOMINAL_CONE:
        drawn = drawConePrimitive(colour);
        break;
    case E::PARABOLOID:
        drawn = drawParaboloidPrimitive(colour);
        break;
    case E::LABEL_MARKER:
        drawn = drawLabel(colour);
        break;
    case E::ADAPTER_EDGE:
        drawn = drawAdapterEdge(colour);
        break;
    case E::ADAPTER_CYLINDER:
        drawn = drawAdapterCylinder(colour);
        break;
    case E::ADAPTER_SPHERE:
        drawn = drawAdapterSphere(colour);
        break;
    case E::REGULAR_POLYHOLE:
        drawn = drawPolyhole(colour);
        break;
    default:
        VAQ_PROG_ERROR("Vaq::GCAD::PrimitiveRenderer::drawInternal", "unsupported type");
    }
    if (!drawn && m_reported.insert(m_current_element).second)
        VAQ_TRACE("Vaq::GCAD::PrimitiveRenderer::drawInternal",
            QStringLiteral("%1 not drawn: its geometry is degenerate").arg(m_current_element->getFileName()));
    return true;
}

double PrimitiveRenderer::getPixelReach(CAD::Element &element, Box3d *) const
{
    using E = ElementCreator;
    // Half the centre cross of circles, slots and polygons.
    static constexpr double CROSS_HALF = 15.0;
    const double scaling = m_render_callback->getSnapshotScaling();
    const double squared = scaling * scaling;
    const double lines = getLineReach(element);
    const double marker = getMarkerReach(element);
    switch (element.getType()) {
    case E::SPHERE:
    case E::NOMINAL_SPHERE:
    case E::REFERENCE_SPHERE:
    case E::TOOLING_BALL:
    case E::CYLINDER:
    case E::NOMINAL_CYLINDER:
    case E::PIN:
    case E::CONE:
    case E::NOMINAL_CONE:
    case E::PARABOLOID:
    case E::PLANE:
    case E::NOMINAL_PLANE:
    case E::LIMITED_PLANE:
    case E::DISC:
        return lines;
    case E::POINT:
    case E::REFERENCE_POINT:
    case E::FIXTURE_POINT:
    case E::TARGET_POINT:
    case E::NOMINAL_POINT:
        return marker + lines;
    case E::LINE:
    case E::LINE_SEGMENT:
    case E::NOMINAL_LINE_SEGMENT:
        return std::max(ARROW_LENGTH * squared, marker) + lines;
    case E::CIRCLE:
    case E::NOMINAL_CIRCLE:
    case E::SLOT:
    case E::NOMINAL_SLOT:
    case E::ROUNDED_RECTANGLE:
    case E::NOMINAL_ROUNDED_RECTANGLE:
    case E::REGULAR_POLYHOLE:
        return std::max(CROSS_HALF, element.getElemProperties()->symbolSize) * squared + lines;
    default:
        return -1.0;
    }
}

// ---- shared figures ---------------------------------------------------------------------

void PrimitiveRenderer::drawMarker(const BaVec3d<double> &point, const Color &colour)
{
    drawPointMarker(point, m_element_properties->pointSize, colour, MARKER_STYLE, false);
}

void PrimitiveRenderer::drawLineSegment(
    const BaVec3d<double> &from, const BaVec3d<double> &to, const Color &colour)
{
    enableRenderMode(RM_LINES);
    setLineWidth(m_element_properties->lineWidth);
    ::glColor3ub(colour.r, colour.g, colour.b);
    ::glBegin(GL_LINES);
    vertex(from);
    vertex(to);
    ::glEnd();
    disableRenderMode(RM_LINES);
    resetLineWidth();
}

void PrimitiveRenderer::drawCylinderFigure(const Cylinder3d &cylinder, const Color &colour)
{
    const BaVec3d<double> &centre = cylinder.getCenter();
    const BaVec3d<double> axis = cylinder.getAxis().normalized();
    const BaVec3d<double> half = axis * (0.5 * cylinder.getLength());
    drawCylinder(centre, axis, cylinder.getRadius(), cylinder.getLength(), colour);
    setLineWidth(m_element_properties->lineWidth);
    drawCircle(centre - half, axis, cylinder.getRadius(), colour);
    drawCircle(centre + half, axis, cylinder.getRadius(), colour);
    resetLineWidth();
    drawLineSegment(centre - half, centre + half, colour);
}

// ---- points and lines -------------------------------------------------------------------

bool PrimitiveRenderer::drawPoint(const Color &colour)
{
    BaVec3d<double> point;
    if (!element<CAD::PointBase>().getPoint(&point))
        return false;
    drawMarker(point, colour);
    return true;
}

bool PrimitiveRenderer::drawLabel(const Color &colour)
{
    BaVec3d<double> point;
    if (!element<CAD::Label>().getElementPoint(&point))
        return false;
    drawMarker(point, colour);
    return true;
}

bool PrimitiveRenderer::drawLine(const Color &colour)
{
    const CAD::LineBase &line = element<CAD::LineBase>();
    Line3d geometry;
    BaVec3d<double> start, end;
    if (!line.getLine(&geometry, &start, &end))
        return false;
    drawLineSegment(start, end, colour);
    const double arrow = calculateDrawSize(true, ARROW_LENGTH);
    if (line.getSymbol(0) == CAD::LineBase::LS_POINT)
        drawMarker(start, colour);
    if (line.getSymbol(1) == CAD::LineBase::LS_POINT)
        drawMarker(end, colour);
    if (line.getSymbol(1) == CAD::LineBase::LS_ARROW)
        drawArrowHead(end, start, arrow, colour);
    if (line.getSymbol(0) == CAD::LineBase::LS_ARROW)
        drawArrowHead(start, end, arrow, colour);
    return true;
}

bool PrimitiveRenderer::drawSegment(const Color &colour)
{
    Line3d geometry;
    BaVec3d<double> start, end;
    if (!element<CAD::LineBase>().getLine(&geometry, &start, &end))
        return false;
    drawLineSegment(start, end, colour);
    drawMarker(start, colour);
    drawMarker(end, colour);
    return true;
}

// ---- planar figures ---------------------------------------------------------------------

bool PrimitiveRenderer::drawCirclePrimitive(const Color &colour)
{
    Circle3d circle;
    if (!element<CAD::CircleBase>().getCircle(&circle))
        return false;
    CADGLRenderer::drawCircleElement(circle, colour, m_element_properties->lineWidth,
        calculateDrawSize(true, m_element_properties->symbolSize));
    return true;
}

bool PrimitiveRenderer::drawDiscPrimitive(const Color &colour)
{
    Disc3d disc;
    if (!element<CAD::Disc>().getDisc(&disc))
        return false;
    drawDisc(disc.getCenter(), disc.getNormal(), disc.getRadius(), colour);
    setLineWidth(m_element_properties->lineWidth);
    drawCircle(disc.getCenter(), disc.getNormal(), disc.getRadius(), colour);
    resetLineWidth();
    return true;
}

bool PrimitiveRenderer::drawPlane(const Color &colour)
{
    const CAD::PlaneBase &plane = element<CAD::PlaneBase>();
    Plane3d geometry;
    std::vector<BaVec3d<double>> corners;
    if (!plane.getPlane(&geometry) || !plane.getCorners(&corners))
        return false;
    drawPolygon(geometry.getNormal(), corners, colour, m_element_properties->lineWidth);
    return true;
}

bool PrimitiveRenderer::drawLimitedPlane(const Color &colour)
{
    std::vector<BaVec3d<double>> points;
    BaVec3d<double> normal;
    if (!element<CAD::LimitedPlane>().getPoints(&points, &normal))
        return false;
    drawPolygon(normal, points, colour, m_element_properties->lineWidth);
    return true;
}

bool PrimitiveRenderer::drawAdapterPlane(const Color &colour)
{
    std::vector<BaVec3d<double>> outline;
    BaVec3d<double> normal;
    if (!element<CAD::AdapterPlane>().getData(&outline, &normal))
        return false;
    drawPolygon(normal, outline, colour, m_element_properties->lineWidth);
    return true;
}

bool PrimitiveRenderer::drawLonghole(const Color &colour, bool rounded)
{
    const CAD::LongholeBase &hole = element<CAD::LongholeBase>();
    BaVec3d<double> first, second, normal;
    double width = 0.0;
    if (!hole.getDataForPMPElement(&first, &second, &normal, &width))
        return false;
    const double lineWidth = m_element_properties->lineWidth;
    const double needle = calculateDrawSize(true, m_element_properties->symbolSize);
    if (rounded)
        drawRoundedRectangle(first, second, normal, width, hole.getEdgeRadius(), colour, lineWidth, needle);
    else
        drawSlot(first, second, normal, width, colour, lineWidth, needle);
    return true;
}

bool PrimitiveRenderer::drawPolyhole(const Color &colour)
{
    const RegularPolygon3d &polygon = element<CAD::RegularPolyholeBase>().getPoly();
    if (!polygon.isValid())
        return false;
    drawRegularPolygon(polygon, colour, m_element_properties->lineWidth,
        calculateDrawSize(true, m_element_properties->symbolSize));
    return true;
}

// ---- solids -----------------------------------------------------------------------------

bool PrimitiveRenderer::drawSpherePrimitive(const Color &colour)
{
    Sphere3d sphere;
    if (!element<CAD::SphereBase>().getSphere(&sphere))
        return false;
    drawSphere(sphere, SURFACE_SEGMENTS, true, colour);
    return true;
}

bool PrimitiveRenderer::drawCylinderPrimitive(const Color &colour)
{
    Cylinder3d cylinder;
    if (!element<CAD::CylinderBase>().getCylinder(&cylinder))
        return false;
    drawCylinderFigure(cylinder, colour);
    return true;
}

bool PrimitiveRenderer::drawConePrimitive(const Color &colour)
{
    Cone3d cone;
    if (!element<CAD::ConeBase>().getCone(&cone))
        return false;
    // Equal radii, or radii too close to tell the side lines' meeting point, give no apex: that
    // cone is the cylinder between its rims.
    BaVec3d<double> apex;
    if (!Tessellation::coneApex(cone, &apex)) {
        const BaVec3d<double> axis = cone.getPoint2() - cone.getPoint1();
        const double radius = 0.5 * (cone.getRadius1() + cone.getRadius2());
        drawCylinderFigure(
            Cylinder3d((cone.getPoint1() + cone.getPoint2()) * 0.5, axis, radius, axis.length()), colour);
        return true;
    }
    drawCone(cone, colour, m_element_properties->lineWidth, false);
    drawCone(cone, colour, m_element_properties->lineWidth, true);
    return true;
}

bool PrimitiveRenderer::drawParaboloidPrimitive(const Color &colour)
{
    Paraboloid3d paraboloid;
    if (!element<CAD::Paraboloid>().getParaboloid(&paraboloid))
        return false;
    drawParaboloid(paraboloid, SURFACE_SEGMENTS, true, colour);
    return true;
}

// ---- fixture adapters -------------------------------------------------------------------

// The edge as a line with a marker at its middle, and the part's offset from it as a
// dimension line with arrowheads at both ends and a marker where the part sits.
bool PrimitiveRenderer::drawAdapterEdge(const Color &colour)
{
    const CAD::AdapterEdge &edge = element<CAD::AdapterEdge>();
    BaVec3d<double> point, direction, normal;
    if (!edge.getData(&point, &direction, &normal))
        return false;
    double length = 0.0, offset = 0.0;
    edge.getSizes(&length, &offset);
    const BaVec3d<double> half = direction * (0.5 * length);
    if (length > 0.0)
        drawLineSegment(point - half, point + half, colour);
    drawMarker(point, colour);
    if (offset != 0.0) {
        const BaVec3d<double> part = point + normal * offset;
        const double arrow = calculateDrawSize(true, ARROW_LENGTH);
        drawLineSegment(point, part, colour);
        drawArrowHead(point, part, arrow, colour);
        drawArrowHead(part, point, arrow, colour);
        drawMarker(part, colour);
    }
    return true;
}

// The pin's cylinder, closed at its far end by the face the part rests on.
bool PrimitiveRenderer::drawAdapterCylinder(const Color &colour)
{
    Cylinder3d pin;
    if (!element<CAD::AdapterCylinder2>().getData(&pin))
        return false;
    drawCylinderFigure(pin, colour);
    const BaVec3d<double> axis = pin.getAxis().normalized();
    drawDisc(pin.getCenter() + axis * (0.5 * pin.getLength()), axis, pin.getRadius(), colour);
    return true;
}

// The ball on its conical stand, with the stand's rims.
bool PrimitiveRenderer::drawAdapterSphere(const Color &colour)
{
    Sphere3d ball;
    Cone3d stand;
    if (!element<CAD::AdapterSphere2>().getData(&ball, &stand))
        return false;
    drawSphere(ball, SURFACE_SEGMENTS, true, colour);
    drawCone(stand, colour, m_element_properties->lineWidth, false);
    const BaVec3d<double> axis = stand.getPoint2() - stand.getPoint1();
    setLineWidth(m_element_properties->lineWidth);
    drawCircle(stand.getPoint1(), axis, stand.getRadius1(), colour);
    drawCircle(stand.getPoint2(), axis, stand.getRadius2(), colour);
    resetLineWidth();
    return true;
}

} // namespace Vaq::GCAD
