// CADGLRenderer: the curved surfaces (cylinders, cones, surfaces of revolution, spheres,
// paraboloids) and the figures of coordinate axes.
#include "gcad/renderers/gcad_gl_renderer.h"

#include "gcad/host/cad/vaq_cad_properties.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/rcb/gcad_rcb.h"

namespace Vaq::GCAD {

using namespace Tessellation;

namespace {

// The origin sphere's radius in pixels, and its figure: a half circle of 12 steps turned in 12.
constexpr double ORIGIN_SPHERE_RADIUS = 11.0;
constexpr unsigned ORIGIN_SPHERE_SEGMENTS = 12;

// Culling of the faces turned away from the viewer, for closed or doubled surfaces; the library
// default is culling off with the front face named.
void cullBackFaces()
{
    ::glEnable(GL_CULL_FACE);
    ::glCullFace(GL_BACK);
}

void stopCulling()
{
    ::glDisable(GL_CULL_FACE);
    ::glCullFace(GL_FRONT);
}

} // namespace

void CADGLRenderer::drawCylinder(const BaVec3d<double> &centre, const BaVec3d<double> &axis, double radius,
    double length, const Color &color)
{
    enableRenderMode(RM_TRANSPARENT);
    cullBackFaces();
    ::glColor4ub(color.r, color.g, color.b, color.a);
    drawBatch(GL_QUADS, cylinder(centre, axis, radius, length));
    stopCulling();
    disableRenderMode(RM_TRANSPARENT);
}

void CADGLRenderer::drawCone(const Cone3d &cone, const Color &color, double lineWidth, bool outline)
{
    BaVec3d<double> apex;
    if (!coneApex(cone, &apex))
        return;
    if (!outline) {
        enableRenderMode(RM_TRANSPARENT);
        cullBackFaces();
        ::glColor4ub(color.r, color.g, color.b, color.a);
        drawBatch(GL_QUADS, coneSurface(cone, apex));
        stopCulling();
        disableRenderMode(RM_TRANSPARENT);
        return;
    }
    const GL::RenderObject *view = m_render_callback->getRenderObject();
    const BaVec3d<double> viewDirection = view ? view->getViewDirection() : BaVec3d<double>(0, 0, -1);
    enableRenderMode(RM_LINES_NO_DEPTH_WRITE);
    setLineWidth(lineWidth);
    ::glColor3ub(color.r, color.g, color.b);
    // Rims and side lines in one draw: the same lines in the same order.
    std::vector<BaVec3d<double>> lines = coneRims(cone);
    const std::vector<BaVec3d<double>> sides = coneSides(cone, viewDirection);
    lines.insert(lines.end(), sides.begin(), sides.end());
    drawPoints(GL_LINES, lines);
    disableRenderMode(RM_LINES_NO_DEPTH_WRITE);
    resetLineWidth();
}

void CADGLRenderer::drawSurfaceOfRevolution(
    const Profile &profile, unsigned n, const Transformation &transformation, bool smooth, const Color &color)
{
    const Batch quads = surfaceOfRevolution(profile, n, transformation);
    ::glShadeModel(smooth ? GL_SMOOTH : GL_FLAT);
    ::glColor4ub(color.r, color.g, color.b, color.a);
    drawBatch(GL_QUADS, quads);
    ::glShadeModel(GL_SMOOTH);
}

void CADGLRenderer::drawSphere(const Sphere3d &sphere, unsigned n, bool smooth, const Color &color)
{
    enableRenderMode(RM_TRANSPARENT);
    cullBackFaces();
    ::glShadeModel(smooth ? GL_SMOOTH : GL_FLAT);
    ::glColor4ub(color.r, color.g, color.b, color.a);
    drawBatch(GL_QUADS, Tessellation::sphere(sphere.getCenter(), sphere.getRadius(), n));
    ::glShadeModel(GL_SMOOTH);
    stopCulling();
    disableRenderMode(RM_TRANSPARENT);
}

void CADGLRenderer::drawParaboloid(
    const Paraboloid3d &paraboloid, unsigned n, bool smooth, const Color &color)
{
    const Batch triangles = Tessellation::paraboloid(paraboloid, n);
    enableRenderMode(RM_TRANSPARENT);
    ::glShadeModel(smooth ? GL_SMOOTH : GL_FLAT);
    ::glColor4ub(color.r, color.g, color.b, color.a);
    drawBatch(GL_TRIANGLES, triangles);
    ::glShadeModel(GL_SMOOTH);
    disableRenderMode(RM_TRANSPARENT);
}

void CADGLRenderer::applyAxisMaterial(const Color &color)
{
    // Axes keep a soft highlight of their own colour whatever the element colours are.
    static constexpr float SPECULAR = 118 * 0.0078125f;
    const GLfloat diffuse[4] = { color.r / 255.0f, color.g / 255.0f, color.b / 255.0f, 1.0f };
    const GLfloat specular[4] = { diffuse[0] * SPECULAR, diffuse[1] * SPECULAR, diffuse[2] * SPECULAR, 1.0f };
    ::glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    ::glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, diffuse);
    ::glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    ::glMaterialf(GL_FRONT, GL_SHININESS, 10.0f);
    ::glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
}

void CADGLRenderer::drawAxisArrow(bool thin, const BaVec3d<double> &origin, const BaVec3d<double> &vector)
{
    const AxisArrow arrow = axisArrow(thin, origin, vector);
    drawBatch(GL_TRIANGLES, arrow.head);
    drawBatch(GL_QUADS, arrow.shaft);
}

void CADGLRenderer::drawOriginSphere(
    RenderCallback *callback, const BaVec3d<double> &centre, bool highlighted)
{
    applyAxisMaterial(highlighted ? CAD::DefaultProperties::_default.highlightColor : Color(200, 200, 200));
    const double radius = ORIGIN_SPHERE_RADIUS * callback->getPixelSize();
    cullBackFaces();
    drawSurfaceOfRevolution(halfCircle(radius, ORIGIN_SPHERE_SEGMENTS), ORIGIN_SPHERE_SEGMENTS,
        Transformation::translation(centre), true, Color(0, 160, 160));
    stopCulling();
}

} // namespace Vaq::GCAD
