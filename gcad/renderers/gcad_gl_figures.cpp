// CADGLRenderer: the figures measurements share besides distances: batches of lines, segments
// with an arrowhead at each end, an angle (two legs from the apex and the arc between them,
// tessellated like every arc at about one segment per pixel) and the axis letters of measured
// frames and coordinate systems.
#include "gcad/renderers/gcad_gl_renderer.h"

#include "gcad/host/cad/vaq_cad_measurement.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/rcb/gcad_rcb.h"

#include <QFont>

#include <cmath>

namespace Vaq::GCAD {

namespace {

constexpr double ARROW_PIXELS = 35.0;
// The arc is drawn at this fraction of the legs' length.
constexpr double ARC_RADIUS_DIVISOR = 3.0;
// Angles below this (radians) show no arc; directions shorter than MIN_DIRECTION none at all.
constexpr double MIN_ARC_ANGLE = 0.01;
constexpr double MIN_DIRECTION = 1e-06;

void vertex(const BaVec3d<double> &p)
{
    ::glVertex3d(p.x, p.y, p.z);
}

} // namespace

const Color CADGLRenderer::AXIS_COLORS[3] = { Color(255, 0, 0), Color(0, 200, 0), Color(0, 0, 255) };

void CADGLRenderer::drawLines(const std::vector<BaVec3d<double>> &ends, const Color &color, double lineWidth)
{
    enableRenderMode(RM_LINES);
    setLineWidth(lineWidth);
    ::glColor3ub(color.r, color.g, color.b);
    ::glBegin(GL_LINES);
    for (const BaVec3d<double> &p : ends)
        vertex(p);
    ::glEnd();
    disableRenderMode(RM_LINES);
    resetLineWidth();
}

void CADGLRenderer::drawArrowsAtEnds(const BaVec3d<double> &a, const BaVec3d<double> &b, const Color &color)
{
    const double length = (b - a).length();
    if (!(length > MIN_DIRECTION))
        return;
    const double arrow = calculateDrawSize(true, ARROW_PIXELS);
    const BaVec3d<double> body = (b - a) / length * arrow;
    drawArrowHead(a, a + body, arrow, color);
    drawArrowHead(b, b - body, arrow, color);
}

void CADGLRenderer::drawAngle(const CAD::AngleMeasurement &angle, const Color &color, double lineWidth)
{
    const BaVec3d<double> &d1 = angle.getDirection1(), &d2 = angle.getDirection2();
    if (!(d1.length() > MIN_DIRECTION) || !(d2.length() > MIN_DIRECTION))
        return;
    const BaVec3d<double> u1 = d1.normalized(), u2 = d2.normalized(), &apex = angle.getApex();
    const double legs = angle.getLegLength();
    // The arc turns from leg 1 to leg 2, clockwise seen from the tip of u2 x u1.
    const BaVec3d<double> normal = u2.cross(u1);
    const double sweep = std::atan2(normal.length(), u1.dot(u2));
    const bool arc = sweep >= MIN_ARC_ANGLE && normal.length() > MIN_DIRECTION;
    const double radius = legs / ARC_RADIUS_DIVISOR;

    drawLines({ apex, apex + u1 * legs, apex, apex + u2 * legs }, color, lineWidth);
    if (!arc)
        return;
    enableRenderMode(RM_LINES);
    setLineWidth(lineWidth);
    drawCircleInternal(apex, normal, apex + u1 * radius, false, 0, sweep, color);
    disableRenderMode(RM_LINES);
    resetLineWidth();

    // Each arrowhead lies along the arc's tangent, its body inside the arc.
    const double arrow = calculateDrawSize(true, ARROW_PIXELS);
    const BaVec3d<double> into1 = (u2 - u1 * u1.dot(u2)).normalized();
    const BaVec3d<double> into2 = (u1 - u2 * u1.dot(u2)).normalized();
    const BaVec3d<double> end1 = apex + u1 * radius, end2 = apex + u2 * radius;
    drawArrowHead(end1, end1 + into1 * arrow, arrow, color);
    drawArrowHead(end2, end2 + into2 * arrow, arrow, color);
}

void CADGLRenderer::drawAxisLetters(const BaVec3d<double> tips[3])
{
    GL::RenderObject *view = m_render_callback->getRenderObject();
    if (!view)
        return;
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    font.setFamily(font.defaultFamily());
    font.setPointSizeF(m_render_callback->getSizeForAxisNotation() * m_snapshot_scaling);
    const QString letters[3] = { QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z") };
    for (int i = 0; i < 3; ++i)
        view->renderText(tips[i], letters[i], font, m_render_callback->getColorForAxisNotation());
}

} // namespace Vaq::GCAD
