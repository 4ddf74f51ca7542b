#include "gcad/renderers/gcad_gl_renderer.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/base/vaq_trace.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_tools.h"
#include "gcad/rcb/gcad_rcb.h"

namespace Vaq::GCAD {

namespace {

constexpr float SHININESS = 128.0f;

void loadMaterial(GLenum face, const Color &color, uint8_t alpha, bool specular)
{
    const GLfloat diffuse[4] = { color.r / 255.0f, color.g / 255.0f, color.b / 255.0f, alpha / 255.0f };
    // The complement keeps highlights visible on every colour.
    const GLfloat highlight[4] = { specular ? 1.0f - diffuse[0] : 0.0f, specular ? 1.0f - diffuse[1] : 0.0f,
        specular ? 1.0f - diffuse[2] : 0.0f, diffuse[3] };
    ::glMaterialfv(face, GL_AMBIENT_AND_DIFFUSE, diffuse);
    ::glMaterialfv(face, GL_SPECULAR, highlight);
    ::glMaterialf(face, GL_SHININESS, SHININESS);
}

} // namespace

CADGLRenderer::CADGLRenderer(RenderCallback *callback)
    : CADRenderer(callback)
{
}

void CADGLRenderer::initDefaults()
{
    GL::GLTools::initDefaults();
}

bool CADGLRenderer::checkDefaults()
{
    return GL::GLTools::checkDefaults();
}

bool CADGLRenderer::isLineSmoothingAllowed() const
{
    CAD::ElementClassification classification;
    if (m_current_element)
        CAD::ElementCreator::getElementClassification(m_current_element, &classification);
    if (classification[CAD::ElementClassification::SECTION_DATASET])
        return false;
    return !(classification[CAD::ElementClassification::MESH_DATASET]
        && m_render_callback->getUpdateOptions().snapshotRendering);
}

void CADGLRenderer::setAlphaBlendFunction()
{
    if (GL::glBlendFuncSeparate)
        GL::glBlendFuncSeparate(
            GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA_SATURATE, GL_ONE_MINUS_SRC_ALPHA);
    else
        ::glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void CADGLRenderer::checkTransparencyAllowed(const char *function) const
{
    // Render level 0 is drawn with depth writes and in no particular order, so blended
    // surfaces there would hide what is drawn behind them later.
    const GL::RenderObject *view = m_render_callback->getRenderObject();
    const CAD::Element *element = m_render_callback->getCurrentElement();
    if (view && view->getCurrentRenderStage() == GL::RenderObject::RS_LEVEL0 && element
        && element->getType() != CAD::ElementCreator::SECTION_INSPECTION_2D)
        VAQ_PROG_ERROR(function, "transparency not allowed in this render stage");
}

void CADGLRenderer::enableRenderMode(unsigned mode)
{
    const bool smooth = isLineSmoothingAllowed();
    switch (mode) {
    case RM_POINTS:
        ::glDisable(GL_LIGHTING);
        ::glPolygonMode(GL_FRONT_AND_BACK, GL_POINT);
        break;
    case RM_WIREFRAME:
        ::glDisable(GL_LIGHTING);
        ::glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        break;
    case RM_LINES_NO_DEPTH_WRITE:
    case RM_LINES:
        ::glDisable(GL_LIGHTING);
        ::glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        if (mode == RM_LINES_NO_DEPTH_WRITE)
            ::glDepthMask(GL_FALSE);
        if (smooth) {
            setAlphaBlendFunction();
            ::glEnable(GL_LINE_SMOOTH);
            ::glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
        }
        break;
    case RM_TRANSPARENT:
        checkTransparencyAllowed("Vaq::GCAD::CADGLRenderer::enableRenderMode");
        applyMaterial(0);
        ::glDepthMask(GL_FALSE);
        setAlphaBlendFunction();
        break;
    default:
        break;
    }
}

void CADGLRenderer::disableRenderMode(unsigned mode)
{
    switch (mode) {
    case RM_POINTS:
    case RM_WIREFRAME:
        ::glEnable(GL_LIGHTING);
        ::glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        break;
    case RM_LINES_NO_DEPTH_WRITE:
    case RM_LINES:
        ::glEnable(GL_LIGHTING);
        ::glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        ::glBlendFunc(GL_ONE, GL_ZERO);
        ::glDepthMask(GL_TRUE);
        ::glDisable(GL_LINE_SMOOTH);
        break;
    case RM_TRANSPARENT:
        checkTransparencyAllowed("Vaq::GCAD::CADGLRenderer::disableRenderMode");
        applyMaterial(1);
        ::glBlendFunc(GL_ONE, GL_ZERO);
        ::glDepthMask(GL_TRUE);
        break;
    default:
        break;
    }
}

void CADGLRenderer::applyMaterial(int opaque)
{
    const uint8_t alpha = opaque == 1 ? 255 : m_front_color.a;
    ::glColorMaterial(m_two_sided ? GL_FRONT_AND_BACK : GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    loadMaterial(GL_FRONT, m_front_color, alpha, m_specular);
    if (!m_two_sided) {
        ::glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
        return;
    }
    ::glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    // The back takes the front's alpha: one surface, one transparency.
    loadMaterial(GL_BACK, m_back_color, alpha, m_specular);
}

double CADGLRenderer::getLineReach(const CAD::Element &element) const
{
    // Smoothed lines blend into a pixel beyond their width.
    static constexpr double SMOOTHING = 2.0;
    return m_render_callback->getSnapshotScaling() * element.getElemProperties()->lineWidth + SMOOTHING;
}

void CADGLRenderer::setLineWidth(double width)
{
    ::glLineWidth(float(m_render_callback->getSnapshotScaling() * width));
}

void CADGLRenderer::resetLineWidth()
{
    ::glLineWidth(1.0f);
}

void CADGLRenderer::glLineWidth(double)
{
    VAQ_TRACE("Vaq::GCAD::CADGLRenderer::glLineWidth",
        QStringLiteral("do not use glLineWidth. use setLineWidth/resetLineWidth instead"));
}

void CADGLRenderer::drawSpotlight(
    const BaVec3d<double> &position, const BaVec3d<double> &direction, double radius, const Color &color)
{
    m_element_properties = nullptr;
    m_front_color = m_back_color = color;
    applyMaterial(0);
    ::glEnable(GL_COLOR_MATERIAL);
    ::glDisable(GL_DEPTH_TEST);
    ::glDisable(GL_STENCIL_TEST);
    ::glDisable(GL_LIGHTING);
    drawDisc(position, direction, radius, color);
    ::glDisable(GL_COLOR_MATERIAL);
    ::glEnable(GL_DEPTH_TEST);
    ::glEnable(GL_STENCIL_TEST);
    ::glEnable(GL_LIGHTING);
}

void CADGLRenderer::drawBoundingBox(const Box3d &box)
{
    ::glColor3ub(180, 180, 180);
    drawBoxOutsideStencil(box, false);
}

void CADGLRenderer::drawBoxOutsideStencil(const Box3d &box, bool faces)
{
    const BaVec3d<double> &a = box.getMin();
    const BaVec3d<double> &b = box.getMax();
    // Corner i takes max.x for bit 0, max.y for bit 1, max.z for bit 2.
    const auto corner = [&](int i) {
        ::glVertex3f(float(i & 1 ? b.x : a.x), float(i & 2 ? b.y : a.y), float(i & 4 ? b.z : a.z));
    };
    ::glDisable(GL_LIGHTING);
    GLboolean stencil = GL_FALSE;
    ::glGetBooleanv(GL_STENCIL_TEST, &stencil);
    ::glDisable(GL_STENCIL_TEST);
    if (faces) {
        static constexpr int FACES[6][4] = { { 0, 2, 3, 1 }, { 4, 5, 7, 6 }, { 0, 1, 5, 4 }, { 2, 6, 7, 3 },
            { 0, 4, 6, 2 }, { 1, 3, 7, 5 } };
        ::glBegin(GL_QUADS);
        for (const auto &face : FACES)
            for (int i : face)
                corner(i);
    } else {
        // Each edge joins a corner to the one that differs in a single bit.
        ::glBegin(GL_LINES);
        for (int bit : { 1, 2, 4 })
            for (int i = 0; i < 8; ++i)
                if (!(i & bit)) {
                    corner(i);
                    corner(i | bit);
                }
    }
    ::glEnd();
    if (stencil)
        ::glEnable(GL_STENCIL_TEST);
    ::glEnable(GL_LIGHTING);
    ::glDepthMask(GL_TRUE);
}

} // namespace Vaq::GCAD
