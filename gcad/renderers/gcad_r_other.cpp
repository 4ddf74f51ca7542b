// The renderer of the remaining kinds: one dispatch on the element type, each figure drawn
// whole from the element's few values with the shared routines of CADGLRenderer.
#include "gcad/renderers/gcad_r_other.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_other.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_stencil_handler.h"
#include "gcad/rcb/gcad_rcb.h"
#include "gcad/renderers/gcad_element_data.h"

namespace Vaq::GCAD {

using CAD::ElementCreator;

namespace {

constexpr unsigned CAMERA_SEGMENTS = 24;
// Rays shorter than this are not rescaled.
constexpr double MIN_RAY_LENGTH = 1e-50;

void vertex(const BaVec3d<double> &p)
{
    ::glVertex3d(p.x, p.y, p.z);
}

// A camera's body about its z axis, size model units wide: the housing behind the projection
// centre, the lens in front (the camera looks along -z).
Tessellation::Profile cameraProfile(double size)
{
    const double s = size / 2.0;
    const BaVec2d<double> points[]
        = { { 0, 2 * s }, { s, 2 * s }, { s, 0.4 * s }, { 0.5 * s, 0 }, { 0.5 * s, -s }, { 0, -s } };
    Tessellation::Profile profile;
    const std::size_t n = std::size(points);
    for (std::size_t i = 0; i < n; ++i) {
        // The normal square to the segments that meet at the point, facing out.
        const BaVec2d<double> along = points[std::min(i + 1, n - 1)] - points[i == 0 ? 0 : i - 1];
        const BaVec2d<double> normal(-along.y, along.x);
        profile.points.push_back(points[i]);
        profile.normals.push_back(normal * (1.0 / normal.length()));
    }
    return profile;
}

} // namespace

OtherRenderer::OtherRenderer(RenderCallback *callback)
    : CADGLRenderer(callback)
{
    m_supported_types = { ElementCreator::CAMERA, ElementCreator::SCALE_BAR, ElementCreator::POLY_SURFACE,
        ElementCreator::LABEL_DEVIATION, ElementCreator::LABEL, ElementCreator::LABEL_POINT,
        ElementCreator::LABEL_NOTE, ElementCreator::LABEL_MEASUREMENT, ElementCreator::CUTTING_EDGE,
        ElementCreator::COORDINATE_SYSTEM };
}

bool OtherRenderer::drawInternal()
{
    static const char *const FUNCTION = "Vaq::GCAD::OtherRenderer::drawInternal";
    CAD::Element *element = m_current_element;
    switch (element->getType()) {
    case ElementCreator::SCALE_BAR:
        if (const auto *bar = elementData<CAD::ScaleBar>(element, FUNCTION)) {
            const Color color = initMaterial(element, element->isSelected(), false, false);
            drawLines({ bar->getPoint(0), bar->getPoint(1) }, color, m_element_properties->lineWidth);
        }
        break;
    case ElementCreator::CAMERA:
        if (const auto *camera = elementData<CAD::Camera>(element, FUNCTION))
            drawCamera(*camera, initMaterial(element, false, false, false));
        break;
    case ElementCreator::POLY_SURFACE:
        drawPolySurface(element, initMaterial(element, false, false, false));
        break;
    case ElementCreator::LABEL:
    case ElementCreator::LABEL_POINT:
    case ElementCreator::LABEL_DEVIATION:
    case ElementCreator::LABEL_NOTE:
    case ElementCreator::LABEL_MEASUREMENT:
        if (const auto *label = elementData<CAD::LabelPoint>(element, FUNCTION)) {
            initMaterial(element, false, false, false);
            drawPointMarker(
                label->getElementPoint(), m_element_properties->pointSize, Color(0, 0, 0, 0), 1, true);
        }
        break;
    case ElementCreator::CUTTING_EDGE:
        if (const auto *edge = elementData<CAD::CuttingEdge>(element, FUNCTION)) {
            const Color color = initMaterial(element, false, false, false);
            drawCaliperJaw(edge->getPosition(), edge->getDirection(), edge->getNormal(), edge->getLength(),
                edge->getWidth(), color, Color(0, 0, 0));
        }
        break;
    case ElementCreator::COORDINATE_SYSTEM:
        drawCoordSystem(element);
        break;
    default:
        VAQ_PROG_ERROR(FUNCTION, "unsupported type");
    }
    return true;
}

void OtherRenderer::drawCamera(const CAD::Camera &camera, const Color &color)
{
    const Transformation toModel = camera.getTransformation();
    if (camera.showBody) {
        const double size = calculateDrawSize(true, 2.0 * m_element_properties->symbolSize);
        ::glEnable(GL_COLOR_MATERIAL);
        drawSurfaceOfRevolution(cameraProfile(size), CAMERA_SEGMENTS, toModel, true, color);
        ::glDisable(GL_COLOR_MATERIAL);
    }
    if (camera.showObjectPoints && !camera.getObjectPoints().empty()) {
        if (GL::RenderObject *view = m_render_callback->getRenderObject())
            view->getStencilHandler()->setElement(&camera);
        enableRenderMode(RM_WIREFRAME);
        ::glColor3ub(color.r, color.g, color.b);
        ::glBegin(GL_LINES);
        for (const BaVec3d<double> &p : camera.getObjectPoints()) {
            vertex(camera.getPrjCenter());
            vertex(toModel.transform(p));
        }
        ::glEnd();
        disableRenderMode(RM_WIREFRAME);
    }
    if (camera.showImageRays)
        drawImageRays(camera, color);
}

void OtherRenderer::drawImageRays(const CAD::Camera &camera, const Color &color)
{
    const std::vector<BaVec3d<double>> &rays = camera.getRays();
    if (rays.size() != 4)
        VAQ_PROG_ERROR("Vaq::GCAD::OtherRenderer::drawImageRays", "rays enthaelt nicht exakt vier elemente");
    // The two mark types: the image plane in the camera's colour, or in its complement.
    Color plane = color;
    if (camera.getMarkType() != 0)
        plane = Color(255 - color.r, 255 - color.g, 255 - color.b);
    plane.a = uint8_t(std::clamp(camera.imageAlpha, 0.0, 1.0) * 255.0);
    if (GL::RenderObject *view = m_render_callback->getRenderObject())
        view->getStencilHandler()->setElement(&camera);

    const Transformation toModel = camera.getTransformation();
    const BaVec3d<double> &centre = camera.getPrjCenter();
    const double distance = camera.getAvgPointDistance();
    BaVec3d<double> corners[4];
    for (int i = 0; i < 4; ++i) {
        BaVec3d<double> ray = toModel.transformVector(rays[i]);
        const double length = ray.length();
        if (length > MIN_RAY_LENGTH)
            ray *= distance / length;
        corners[i] = centre + ray;
    }
    const BaVec3d<double> normal = (corners[1] - corners[0]).cross(corners[2] - corners[0]).normalized();

    enableRenderMode(RM_TRANSPARENT);
    ::glBegin(GL_POLYGON);
    ::glNormal3d(normal.x, normal.y, normal.z);
    ::glColor4ub(plane.r, plane.g, plane.b, plane.a);
    for (const BaVec3d<double> &corner : corners)
        vertex(corner);
    ::glEnd();
    disableRenderMode(RM_TRANSPARENT);

    enableRenderMode(RM_WIREFRAME);
    ::glColor3ub(color.r, color.g, color.b);
    ::glBegin(GL_LINES);
    for (int i = 0; i < 4; ++i) {
        vertex(centre);
        vertex(corners[i]);
        vertex(corners[i]);
        vertex(corners[(i + 1) % 4]);
    }
    ::glEnd();
    disableRenderMode(RM_WIREFRAME);
}

void OtherRenderer::drawPolySurface(CAD::Element *element, const Color &color)
{
    auto *surface = elementData<CAD::PolySurface>(element, "Vaq::GCAD::OtherRenderer::drawPolySurface");
    if (!surface)
        return;
    surface->tesselate();
    const auto &vertices = surface->getVertices();
    const auto &normals = surface->getTriangleNormals();
    const auto &triangles = surface->getTriangles();
    ::glEnable(GL_COLOR_MATERIAL);
    ::glColor4ub(color.r, color.g, color.b, color.a);
    ::glBegin(GL_TRIANGLES);
    for (std::size_t i = 0; i < triangles.size(); ++i) {
        ::glNormal3f(normals[i].x, normals[i].y, normals[i].z);
        vertex(vertices[triangles[i].getP1()]);
        vertex(vertices[triangles[i].getP2()]);
        vertex(vertices[triangles[i].getP3()]);
    }
    ::glEnd();
    ::glDisable(GL_COLOR_MATERIAL);
}

// Three lit axis arrows in the axis colours, and their letters at the tips.
void OtherRenderer::drawCoordSystem(CAD::Element *element)
{
    const auto *system = elementData<CAD::CoordSystem>(element, "Vaq::GCAD::OtherRenderer::drawCoordSystem");
    if (!system)
        return;
    initMaterial(element, false, false, false);
    BaVec3d<double> tips[3];
    ::glEnable(GL_COLOR_MATERIAL);
    for (int i = 0; i < 3; ++i) {
        tips[i] = system->getOrigin() + system->getAxis(i);
        applyAxisMaterial(AXIS_COLORS[i]);
        ::glColor3ub(AXIS_COLORS[i].r, AXIS_COLORS[i].g, AXIS_COLORS[i].b);
        drawAxisArrow(false, system->getOrigin(), system->getAxis(i));
    }
    ::glDisable(GL_COLOR_MATERIAL);
    drawAxisLetters(tips);
}

} // namespace Vaq::GCAD
