// CADGLRenderer: the distance figure that measurements, measuring-plan distances and adapter
// edges share. A dimension line between the measured points (or, pulled out, parallel to them
// through the point the user dragged it to, joined to them by extension lines that keep a
// 10-pixel gap from the points), arrowheads of 35 pixels that stay that size at any zoom, and
// the handle with which the user drags the line: a 4-pixel square in window coordinates,
// announced to the render callback so that getPullOutDist finds it. Constant work per distance.
#include "gcad/renderers/gcad_gl_renderer.h"

#include "gcad/host/cad/vaq_cad_dist_pull_out.h"
#include "gcad/host/cad/vaq_cad_distance.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/rcb/gcad_rcb.h"

namespace Vaq::GCAD {

using CAD::ElementCreator;

namespace {

constexpr double ARROW_PIXELS = 35.0;
constexpr double GAP_PIXELS = 10.0;
constexpr double HANDLE_HALF_PIXELS = 4.0;
// Arrowheads go inside a dimension line longer than this many arrow lengths, else outside
// with leaders of LEADER_ARROWS arrow lengths.
constexpr double INSIDE_ARROWS = 2.5;
constexpr double LEADER_ARROWS = 1.5;
// Shorter dimension lines have no direction to put arrowheads on.
constexpr double MIN_LINE_LENGTH = 1e-12;

void vertex(const BaVec3d<double> &p)
{
    ::glVertex3d(p.x, p.y, p.z);
}

// The extension line from a measured point to its kink point, gap off the point and overshoot
// beyond the kink; none when the kink lies within the gap of the point.
void extensionLine(const BaVec3d<double> &point, const BaVec3d<double> &kink, double gap, double overshoot)
{
    const BaVec3d<double> way = kink - point;
    const double length = way.length();
    if (!(length > gap))
        return;
    const BaVec3d<double> unit = way / length;
    vertex(point + unit * gap);
    vertex(kink + unit * overshoot);
}

} // namespace

void CADGLRenderer::drawDistance(const BaVec3d<double> &p1, const BaVec3d<double> &p2, CAD::Element *element,
    CAD::DistPullOut *pullOut, double extension, bool handle)
{
    const Color color = initMaterial(element, false, false, false);
    const ElementCreator::Element_t type = element->getType();
    const bool pulledOut = pullOut && pullOut->isPulledOut();
    CAD::DistPullOut::Segment line { p1, p2 };
    if (pulledOut) {
        const auto *segment = dynamic_cast<const CAD::SegmentCaliper *>(element);
        line = segment ? pullOut->getKinkPointsByDir(p1, p2, segment->getSegmentDirection())
                       : pullOut->getKinkPoints(p1, p2);
    }
    const auto &[a, b] = line;

    const double arrow = calculateDrawSize(true, ARROW_PIXELS);
    const double length = (b - a).length();
    const BaVec3d<double> unit = length > MIN_LINE_LENGTH ? (b - a) / length : BaVec3d<double>();
    const bool calipers = type == ElementCreator::DISC_CALIPER || type == ElementCreator::SEGMENT_CALIPER;
    const bool arrows = length > MIN_LINE_LENGTH && !(calipers && !pulledOut);
    const bool directional = type == ElementCreator::DIRECTIONAL_DISTANCE;
    const bool inside = length > INSIDE_ARROWS * arrow;

    enableRenderMode(RM_LINES);
    setLineWidth(m_element_properties->lineWidth);
    ::glColor3ub(color.r, color.g, color.b);
    ::glBegin(GL_LINES);
    vertex(a);
    vertex(b);
    if (pulledOut) {
        const double gap = calculateDrawSize(true, GAP_PIXELS),
                     overshoot = calculateDrawSize(true, extension);
        extensionLine(p1, a, gap, overshoot);
        extensionLine(p2, b, gap, overshoot);
    }
    if (arrows && !inside) {
        if (!directional) {
            vertex(a);
            vertex(a - unit * (LEADER_ARROWS * arrow));
        }
        vertex(b);
        vertex(b + unit * (LEADER_ARROWS * arrow));
    }
    ::glEnd();
    disableRenderMode(RM_LINES);
    resetLineWidth();

    if (arrows) {
        // Inside, each arrowhead's body lies along the line; outside, beyond its end.
        const BaVec3d<double> back = unit * (inside ? arrow : -arrow);
        drawArrowHead(b, b - back, arrow, color);
        if (directional)
            drawPointMarker(a, m_element_properties->pointSize, color, 1, false);
        else
            drawArrowHead(a, a + back, arrow, color);
    }
    if (handle)
        drawDistanceHandle((a + b) * 0.5, element, pullOut, color);
}

void CADGLRenderer::drawDistanceHandle(
    const BaVec3d<double> &point, CAD::Element *element, CAD::DistPullOut *pullOut, const Color &color)
{
    GL::RenderObject *view = m_render_callback->getRenderObject();
    const GL::UpdateOptions &options = m_render_callback->getUpdateOptions();
    if (!view || options.snapshotRendering || options.interactiveUpdate)
        return;
    if (!element->isSelected() && !view->isVisible(point))
        return;
    const BaVec3d<double> window = view->get3d2dTransformation().transform(point);

    int viewport[4];
    double modelView[16], projection[16];
    view->getViewportData(viewport, modelView, projection);
    ::glMatrixMode(GL_PROJECTION);
    ::glPushMatrix();
    ::glLoadIdentity();
    ::glOrtho(viewport[0], viewport[0] + viewport[2], viewport[1], viewport[1] + viewport[3], -1.0, 1.0);
    ::glMatrixMode(GL_MODELVIEW);
    ::glPushMatrix();
    ::glLoadIdentity();
    ::glDisable(GL_LIGHTING);
    ::glDisable(GL_DEPTH_TEST);

    // Pixel centres, so that the square covers whole pixels about the handle's pixel.
    const double x = std::floor(window.x) + 0.5, y = std::floor(window.y) + 0.5, h = HANDLE_HALF_PIXELS;
    const double corners[4][2] = { { x - h, y - h }, { x + h, y - h }, { x + h, y + h }, { x - h, y + h } };
    ::glColor3ub(color.r, color.g, color.b);
    ::glBegin(GL_POLYGON);
    for (const auto &c : corners)
        ::glVertex2d(c[0], c[1]);
    ::glEnd();
    ::glColor3ub(0, 0, 0);
    ::glBegin(GL_LINE_LOOP);
    for (const auto &c : corners)
        ::glVertex2d(c[0], c[1]);
    ::glEnd();

    ::glEnable(GL_DEPTH_TEST);
    ::glEnable(GL_LIGHTING);
    ::glPopMatrix();
    ::glMatrixMode(GL_PROJECTION);
    ::glPopMatrix();
    ::glMatrixMode(GL_MODELVIEW);

    m_render_callback->addDistanceHandler(window, element, pullOut);
}

} // namespace Vaq::GCAD
