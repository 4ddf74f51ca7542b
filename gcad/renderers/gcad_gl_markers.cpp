// CADGLRenderer: the shapes drawn in the view's stretched space so that the axis scale does
// not distort them (point markers, arrowheads and caliper jaws), and the emitting of
// tessellated batches.
#include "gcad/renderers/gcad_gl_renderer.h"

#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/rcb/gcad_rcb.h"
#include "gcad/renderers/gcad_tessellation.h"

#include <algorithm>

namespace Vaq::GCAD {

using namespace Tessellation;

namespace {

// Below this a marker would vanish however far the view zooms in.
constexpr double MIN_MARKER_SIZE = 5e-05;
// Half the side of the screen-facing square of style 1 markers, in pixels.
constexpr double MARKER_SQUARE_HALF_SIDE = 5.0;

BaVec3d<double> stretched(const BaVec3d<double> &p, const BaVec3d<double> &axisScale)
{
    return { p.x * axisScale.x, p.y * axisScale.y, p.z * axisScale.z };
}

void normal(const BaVec3d<double> &p, const BaVec3d<double> &q, const BaVec3d<double> &r)
{
    const BaVec3d<double> n = (q - p).cross(r - p);
    ::glNormal3d(n.x, n.y, n.z);
}

void vertex(const BaVec3d<double> &p)
{
    ::glVertex3d(p.x, p.y, p.z);
}

void toFloats(const std::vector<BaVec3d<double>> &points, std::vector<float> *floats)
{
    floats->resize(3 * points.size());
    float *f = floats->data();
    for (const BaVec3d<double> &p : points) {
        *f++ = float(p.x);
        *f++ = float(p.y);
        *f++ = float(p.z);
    }
}

} // namespace

BaVec3d<double> CADGLRenderer::getAxisScale() const
{
    const GL::RenderObject *view = m_render_callback->getRenderObject();
    return view ? view->getAxisScale() : BaVec3d<double>(1.0, 1.0, 1.0);
}

void CADGLRenderer::pushInverseAxisScale(const BaVec3d<double> &axisScale) const
{
    ::glMatrixMode(GL_MODELVIEW);
    ::glPushMatrix();
    ::glScaled(1.0 / axisScale.x, 1.0 / axisScale.y, 1.0 / axisScale.z);
}

void CADGLRenderer::popAxisScale()
{
    ::glMatrixMode(GL_MODELVIEW);
    ::glPopMatrix();
}

void CADGLRenderer::drawBatch(unsigned mode, const Batch &batch)
{
    if (batch.vertices.empty())
        return;
    // One call for the whole figure instead of two per vertex. The GL keeps vertices and
    // normals as floats; rounding them here halves what it copies and spares it the conversion.
    thread_local std::vector<float> vertices, normals;
    toFloats(batch.vertices, &vertices);
    toFloats(batch.normals, &normals);
    ::glEnableClientState(GL_VERTEX_ARRAY);
    ::glEnableClientState(GL_NORMAL_ARRAY);
    ::glVertexPointer(3, GL_FLOAT, 0, vertices.data());
    ::glNormalPointer(GL_FLOAT, 0, normals.data());
    if (batch.indices.empty())
        ::glDrawArrays(mode, 0, GLsizei(batch.vertices.size()));
    else
        ::glDrawElements(mode, GLsizei(batch.indices.size()), GL_UNSIGNED_INT, batch.indices.data());
    ::glDisableClientState(GL_NORMAL_ARRAY);
    ::glDisableClientState(GL_VERTEX_ARRAY);
    // The last normal stays current after glEnd, but is undefined after an array draw.
    const BaVec3d<double> &n
        = batch.normals[batch.indices.empty() ? batch.normals.size() - 1 : batch.indices.back()];
    ::glNormal3d(n.x, n.y, n.z);
}

void CADGLRenderer::drawPoints(unsigned mode, const std::vector<BaVec3d<double>> &points)
{
    if (points.empty())
        return;
    thread_local std::vector<float> vertices;
    toFloats(points, &vertices);
    ::glEnableClientState(GL_VERTEX_ARRAY);
    ::glVertexPointer(3, GL_FLOAT, 0, vertices.data());
    ::glDrawArrays(mode, 0, GLsizei(points.size()));
    ::glDisableClientState(GL_VERTEX_ARRAY);
}

double CADGLRenderer::getMarkerReach(const CAD::Element &element) const
{
    // The icosahedron's circumradius for a marker size of one, and the corner of the square.
    static constexpr double MARKER_RADIUS = 1.91;
    static constexpr double SQUARE_CORNER = 1.415 * MARKER_SQUARE_HALF_SIDE;
    const double scaling = m_render_callback->getSnapshotScaling();
    return std::max(
        MARKER_RADIUS * element.getElemProperties()->pointSize * scaling * scaling, SQUARE_CORNER);
}

void CADGLRenderer::drawPointMarker(
    const BaVec3d<double> &position, double size, const Color &color, int style, bool transparent)
{
    const double drawSize = std::max(calculateDrawSize(true, size), MIN_MARKER_SIZE);
    const BaVec3d<double> axisScale = getAxisScale();
    const BaVec3d<double> centre = stretched(position, axisScale);
    const std::array<BaVec3d<double>, 12> corners = markerCorners(centre, drawSize);

    // The mode first: it may refuse transparency, and must do so before the matrix is pushed.
    Color fill = color;
    if (transparent) {
        enableRenderMode(RM_TRANSPARENT);
        ::glDisable(GL_LIGHTING);
    }
    pushInverseAxisScale(axisScale);
    if (!transparent) {
        applyMaterial(1);
        fill.a = 255;
        ::glEnable(GL_COLOR_MATERIAL);
    }
    ::glDisable(GL_POLYGON_OFFSET_FILL);
    ::glEnable(GL_CULL_FACE);
    ::glCullFace(GL_BACK);
    // The colour goes inside each batch: Mesa applies a colour given before glBegin to the
    // colour material only when it differs from the current colour, and would otherwise keep
    // the material that applyMaterial loaded.
    if (style == 1) {
        // The view direction in the stretched space, where the square is built.
        const GL::RenderObject *view = m_render_callback->getRenderObject();
        const BaVec3d<double> direction
            = stretched(view ? view->getViewDirection() : BaVec3d<double>(0, 0, -1), axisScale);
        BaVec3d<double> u = perpendicular(direction);
        // u x direction (not direction x u) winds the square counter-clockwise for the viewer,
        // so that culling keeps it.
        BaVec3d<double> w = u.cross(direction);
        const double halfSide = MARKER_SQUARE_HALF_SIDE * m_render_callback->getPixelSize();
        setLength(&u, halfSide);
        setLength(&w, halfSide);
        ::glBegin(GL_QUADS);
        ::glColor4ub(fill.r, fill.g, fill.b, fill.a);
        vertex(centre - u - w);
        vertex(centre + u - w);
        vertex(centre + u + w);
        vertex(centre - u + w);
        ::glEnd();
        ::glDepthMask(GL_FALSE);
    }

    ::glBegin(GL_TRIANGLES);
    ::glColor4ub(fill.r, fill.g, fill.b, fill.a);
    for (const auto &[p, q, r] : markerTriangles()) {
        normal(corners[p], corners[q], corners[r]);
        vertex(corners[p]);
        vertex(corners[q]);
        vertex(corners[r]);
    }
    ::glEnd();

    ::glDisable(GL_CULL_FACE);
    ::glCullFace(GL_FRONT);
    if (style == 1)
        ::glDepthMask(GL_TRUE);
    ::glDisable(GL_COLOR_MATERIAL);
    ::glEnable(GL_POLYGON_OFFSET_FILL);
    if (transparent) {
        disableRenderMode(RM_TRANSPARENT);
        ::glEnable(GL_LIGHTING);
    }
    popAxisScale();
}

void CADGLRenderer::drawArrowHead(
    const BaVec3d<double> &tip, const BaVec3d<double> &towards, double length, const Color &color)
{
    drawArrowFigure(arrowHead, tip, towards, length, color);
}

void CADGLRenderer::drawDoubleArrowHead(
    const BaVec3d<double> &tip, const BaVec3d<double> &towards, double length, const Color &color)
{
    drawArrowFigure(doubleArrowHead, tip, towards, length, color);
}

// Either arrowhead, built in the view's stretched space so that it is not distorted.
void CADGLRenderer::drawArrowFigure(ArrowFigure figure, const BaVec3d<double> &tip,
    const BaVec3d<double> &towards, double length, const Color &color)
{
    const BaVec3d<double> axisScale = getAxisScale();
    pushInverseAxisScale(axisScale);
    applyMaterial(1);
    ::glDisable(GL_POLYGON_OFFSET_FILL);
    ::glColor4ub(color.r, color.g, color.b, color.a);
    drawBatch(GL_TRIANGLES, figure(stretched(tip, axisScale), stretched(towards, axisScale), length));
    ::glEnable(GL_POLYGON_OFFSET_FILL);
    popAxisScale();
}

void CADGLRenderer::drawCaliperJaw(const BaVec3d<double> &position, const BaVec3d<double> &direction,
    const BaVec3d<double> &normal, double length, double width, const Color &fill, const Color &outline)
{
    const BaVec3d<double> axisScale = getAxisScale();
    const Jaw jaw
        = caliperJaw(stretched(position, axisScale), stretched(direction, axisScale), normal, length, width);
    pushInverseAxisScale(axisScale);
    ::glEnable(GL_COLOR_MATERIAL);
    ::glBegin(GL_TRIANGLES);
    ::glColor4ub(fill.r, fill.g, fill.b, fill.a);
    for (std::size_t i = 0; i < jaw.faces.vertices.size(); ++i) {
        const BaVec3d<double> &n = jaw.faces.normals[i];
        ::glNormal3d(n.x, n.y, n.z);
        vertex(jaw.faces.vertices[i]);
    }
    ::glEnd();
    ::glDisable(GL_COLOR_MATERIAL);

    enableRenderMode(RM_LINES_NO_DEPTH_WRITE);
    ::glColor3ub(outline.r, outline.g, outline.b);
    ::glBegin(GL_LINES);
    for (const BaVec3d<double> &p : jaw.edges)
        vertex(p);
    ::glEnd();
    disableRenderMode(RM_LINES_NO_DEPTH_WRITE);
    popAxisScale();
}

} // namespace Vaq::GCAD
