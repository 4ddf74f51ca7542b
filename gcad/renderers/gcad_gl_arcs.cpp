// CADGLRenderer: arcs, sectors and the planar figures built from them (circles, discs,
// circle elements, regular polygons, plane polygons).
#include "gcad/renderers/gcad_gl_renderer.h"

#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/renderers/gcad_tessellation.h"

namespace Vaq::GCAD {

using namespace Tessellation;

namespace {

// The size of the cross at the centre of circles, polygons and slots, in pixels.
constexpr double CROSS_SIZE = 30.0;

void vertex(const BaVec3d<double> &p)
{
    ::glVertex3d(p.x, p.y, p.z);
}

void vertexf(const BaVec3d<double> &p)
{
    ::glVertex3f(float(p.x), float(p.y), float(p.z));
}

BaVec3d<double> circleStart(const BaVec3d<double> &centre, const BaVec3d<double> &normal, double radius)
{
    BaVec3d<double> radial = perpendicular(normal);
    setLength(&radial, radius);
    return centre + radial;
}

} // namespace

void CADGLRenderer::drawCircleInternal(const BaVec3d<double> &centre, const BaVec3d<double> &normal,
    const BaVec3d<double> &start, bool fixedPoints, unsigned count, double sweep, const Color &color)
{
    const double step = arcStep(calculateDrawSize(false, 1.0), (start - centre).length(), fixedPoints, count,
        "Vaq::GCAD::CADGLRenderer::drawCircleInternal");
    ::glBegin(GL_LINE_STRIP);
    ::glColor3ub(color.r, color.g, color.b);
    ::glNormal3d(normal.x, normal.y, normal.z);
    for (const BaVec3d<double> &p : arcPoints(centre, normal, start, step, sweep))
        vertex(p);
    ::glEnd();
}

void CADGLRenderer::drawDiscInternal(const BaVec3d<double> &centre, const BaVec3d<double> &normal,
    const BaVec3d<double> &start, bool fixedPoints, unsigned count, double sweep, const Color &color)
{
    const double step = arcStep(calculateDrawSize(false, 1.0), (start - centre).length(), fixedPoints, count,
        "Vaq::GCAD::CADGLRenderer::drawDiscInternal");
    const std::vector<BaVec3d<double>> rim = arcPoints(centre, normal, start, step, sweep);
    ::glBegin(GL_TRIANGLES);
    ::glColor4ub(color.r, color.g, color.b, color.a);
    ::glNormal3f(float(normal.x), float(normal.y), float(normal.z));
    for (std::size_t i = 1; i < rim.size(); ++i) {
        vertexf(rim[i - 1]);
        vertexf(rim[i]);
        vertexf(centre);
    }
    ::glEnd();
}

void CADGLRenderer::drawCircle(
    const BaVec3d<double> &centre, const BaVec3d<double> &normal, double radius, const Color &color)
{
    enableRenderMode(RM_LINES_NO_DEPTH_WRITE);
    drawCircleInternal(centre, normal, circleStart(centre, normal, radius), false, 0, 2.0 * M_PI, color);
    disableRenderMode(RM_LINES_NO_DEPTH_WRITE);
}

void CADGLRenderer::drawDisc(
    const BaVec3d<double> &centre, const BaVec3d<double> &normal, double radius, const Color &color)
{
    const BaVec3d<double> start = circleStart(centre, normal, radius);
    enableRenderMode(RM_TRANSPARENT);
    drawDiscInternal(centre, normal, start, false, 0, 2.0 * M_PI, color);
    disableRenderMode(RM_TRANSPARENT);
}

void CADGLRenderer::drawCentreCross(const BaVec3d<double> &centre, const BaVec3d<double> &normal,
    const BaVec3d<double> &start, const Color &color, double lineWidth, double needleLength)
{
    BaVec3d<double> a = start - centre;
    BaVec3d<double> b = normal.cross(a);
    const double half = 0.5 * calculateDrawSize(true, CROSS_SIZE);
    setLength(&a, half);
    setLength(&b, half);
    BaVec3d<double> needle = normal;
    setLength(&needle, needleLength);

    enableRenderMode(RM_LINES);
    setLineWidth(lineWidth);
    ::glColor3ub(color.r, color.g, color.b);
    ::glBegin(GL_LINES);
    for (const BaVec3d<double> &p :
        { centre - a, centre + a, centre - b, centre + b, centre, centre + needle })
        vertex(p);
    ::glEnd();
    disableRenderMode(RM_LINES);
}

void CADGLRenderer::drawCircleElement(
    const Circle3d &circle, const Color &color, double lineWidth, double needleLength)
{
    const BaVec3d<double> &centre = circle.getCenter();
    const BaVec3d<double> &normal = circle.getNormal();
    const BaVec3d<double> start = circleStart(centre, normal, circle.getRadius());
    drawDisc(centre, normal, circle.getRadius(), color);
    drawCentreCross(centre, normal, start, color, lineWidth, needleLength);
    enableRenderMode(RM_LINES_NO_DEPTH_WRITE);
    drawCircleInternal(centre, normal, start, false, 0, 2.0 * M_PI, color);
    disableRenderMode(RM_LINES_NO_DEPTH_WRITE);
    resetLineWidth();
}

void CADGLRenderer::drawRegularPolygon(
    const RegularPolygon3d &polygon, const Color &color, double lineWidth, double needleLength)
{
    if (!polygon.isValid())
        return;
    const BaVec3d<double> &centre = polygon.getCenter();
    const BaVec3d<double> &normal = polygon.getNormal();
    const unsigned corners = unsigned(polygon.getPoints().size());
    const BaVec3d<double> &start = polygon.getPoints().front();
    enableRenderMode(RM_TRANSPARENT);
    drawDiscInternal(centre, normal, start, true, corners, 2.0 * M_PI, color);
    disableRenderMode(RM_TRANSPARENT);
    drawCentreCross(centre, normal, start, color, lineWidth, needleLength);
    enableRenderMode(RM_LINES_NO_DEPTH_WRITE);
    drawCircleInternal(centre, normal, start, true, corners, 2.0 * M_PI, color);
    disableRenderMode(RM_LINES_NO_DEPTH_WRITE);
    resetLineWidth();
}

void CADGLRenderer::drawPolygon(const BaVec3d<double> &normal, const std::vector<BaVec3d<double>> &points,
    const Color &color, double lineWidth)
{
    if (points.size() < 2)
        return;
    enableRenderMode(RM_TRANSPARENT);
    ::glBegin(GL_POLYGON);
    ::glNormal3d(normal.x, normal.y, normal.z);
    ::glColor4ub(color.r, color.g, color.b, color.a);
    for (const BaVec3d<double> &p : points)
        vertex(p);
    ::glEnd();
    disableRenderMode(RM_TRANSPARENT);

    enableRenderMode(RM_LINES);
    setLineWidth(lineWidth);
    ::glColor3ub(color.r, color.g, color.b);
    ::glBegin(GL_LINES);
    for (std::size_t i = 0; i < points.size(); ++i) {
        vertex(points[i]);
        vertex(points[(i + 1) % points.size()]);
    }
    ::glEnd();
    disableRenderMode(RM_LINES);
    resetLineWidth();
}

} // namespace Vaq::GCAD
