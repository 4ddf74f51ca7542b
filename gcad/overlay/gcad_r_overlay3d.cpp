#include "gcad/overlay/gcad_r_overlay3d.h"

#include "gcad/gcad_config.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_stencil_handler.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"
#include "gcad/rcb/gcad_rcb.h"
#include "gcad/renderers/gcad_gl_renderer.h"

#include <algorithm>
#include <cmath>

namespace Vaq::GCAD {

using CAD::ElementClassification;
using CAD::ElementCreator;

Overlay3d::Overlay3d(RenderCallback *renderCallback)
    : renderCallback(renderCallback)
{
}

Overlay3d::~Overlay3d() = default;

bool Overlay3d::draw(bool pass)
{
    CAD::Element *element = renderCallback->getElementAtMousePosition();
    elementUnderMouse = element && !element->existsElementTemporarily() ? element : nullptr;
    for (unsigned item : getItems(pass))
        drawItem(item);
    return true;
}

GLOverlay3d::GLOverlay3d(RenderCallback *renderCallback)
    : Overlay3d(renderCallback)
{
}

std::vector<unsigned> GLOverlay3d::getItems(bool pass)
{
    std::vector<unsigned> items;
    BaVec3d<double> centre, right, up;
    double width = 0.0, height = 0.0;
    if (!pass && renderCallback->getViewVolumeForVisualization(&centre, &right, &up, &width, &height))
        items.push_back(ITEM_VIEW_VOLUME);
    if (renderCallback->isCoordinateAxisDrawingEnabled()) {
        const bool origin = renderCallback->getCoordinateAxisDrawingMode() == RenderCallback::CSM_ORIGIN;
        if (pass && origin)
            items.push_back(ITEM_AXES_AT_ORIGIN);
        // A snapshot shows the axes where the model is, not a cross glued to the window.
        if (!pass && !(origin && renderCallback->getUpdateOptions().snapshotRendering))
            items.push_back(ITEM_CORNER_CROSS);
    }
    if (!pass)
        items.push_back(ITEM_HIGHLIGHT);
    return items;
}

void GLOverlay3d::drawItem(unsigned item)
{
    switch (item) {
    case ITEM_HIGHLIGHT:
        drawHighlighting();
        break;
    case ITEM_AXES_AT_ORIGIN:
        drawCoordinateSystem(0);
        break;
    case ITEM_CORNER_CROSS:
        drawCoordinateSystem(1);
        break;
    case ITEM_VIEW_VOLUME:
        drawViewVolume();
        break;
    default:
        break;
    }
}

void GLOverlay3d::forgetElement(const CAD::Element *element)
{
    if (highlightedElement == element)
        highlightedElement = nullptr;
    if (elementUnderMouse == element)
        elementUnderMouse = nullptr;
}

CADGLRenderer *GLOverlay3d::getDrawingRoutines() const
{
    auto *routines = dynamic_cast<CADGLRenderer *>(renderCallback->findRenderer(ElementCreator::MESH));
    if (!routines)
        VAQ_PROG_ERROR("Vaq::GCAD::GLOverlay3d::getDrawingRoutines", "no renderer found");
    return routines;
}

namespace {

bool isEditing(const RenderCallback *callback)
{
    const GL::RenderObject *view = callback->getRenderObject();
    const GL::ViewCreator *creator = view ? view->getCreator() : nullptr;
    return creator && creator->getEditorInterface() && creator->getEditorInterface()->isEditing();
}

Color brightened(const Color &color)
{
    const auto channel = [](std::uint8_t value) {
        return std::uint8_t(std::min(255.0, std::round(value * Overlay3d::MARKED_BRIGHTENING)));
    };
    return Color(channel(color.r), channel(color.g), channel(color.b), color.a);
}

// The translucent colour of the highlight, as the user set it.
Color configuredHighlight()
{
    const Cfg::CfgNode &root = Cfg::getRoot();
    Color color(255, 255, 255);
    double transparency = 0.8;
    if (root.exists(QLatin1String(CFG_GCAD_HIGHLIGHT_COLOR)))
        color = root.getColor(QLatin1String(CFG_GCAD_HIGHLIGHT_COLOR));
    if (root.exists(QLatin1String(CFG_GCAD_HIGHLIGHT_TRANSPARENCY)))
        transparency = std::clamp(root.getDbl(QLatin1String(CFG_GCAD_HIGHLIGHT_TRANSPARENCY)), 0.0, 1.0);
    color.a = std::uint8_t(255 - std::lround(transparency * 255.0));
    return color;
}

} // namespace

void GLOverlay3d::drawHighlighting()
{
    if (highlightedElement) {
        renderCallback->updateHighlighting(highlightedElement, highlightWasMarked, highlightColour, true);
        highlightedElement = nullptr;
    }

    CAD::Element *element = elementUnderMouse;
    if (!element || renderCallback->getUpdateOptions().interactiveUpdate)
        return;
    ElementClassification classification;
    ElementCreator::getElementClassification(element, &classification);
    // Meshes are large and shaded: a highlight over them hides more than it shows.
    if (classification[ElementClassification::MESH_DATASET] || element->existsElementTemporarily()
        || element->getType() == ElementCreator::STRAIN_GRID)
        return;

    const bool editing = isEditing(renderCallback);
    if (!editing) {
        if (GL::RenderObject *view = renderCallback->getRenderObject())
            view->getStencilHandler()->highlightElement(element, configuredHighlight());
    }
    Color marked;
    if (renderCallback->isElementMarked(element, &marked)) {
        highlightColour = marked;
        renderCallback->updateHighlighting(element, true, editing ? marked : brightened(marked), true);
        highlightWasMarked = true;
    } else {
        renderCallback->updateHighlighting(element, true, HIGHLIGHT_GREY, true);
        highlightWasMarked = false;
    }
    highlightedElement = element;
}

void GLOverlay3d::drawViewVolume()
{
    BaVec3d<double> centre, right, up;
    double width = 0.0, height = 0.0;
    if (!renderCallback->getViewVolumeForVisualization(&centre, &right, &up, &width, &height))
        return;
    if (!std::isfinite(width) || !std::isfinite(height) || width <= 0.0 || height <= 0.0)
        return;
    const bool snapshot = renderCallback->getUpdateOptions().snapshotRendering;
    const double scaling = renderCallback->getSnapshotScaling();
    if (snapshot) {
        // Half a pixel more on each side keeps the outline outside the other view's picture.
        const double widen = 0.5 * scaling * renderCallback->getPixelSize();
        width += 2.0 * widen;
        height += 2.0 * widen;
    }
    const BaVec3d<double> x = right * (width / 2.0), y = up * (height / 2.0);
    const BaVec3d<double> corners[4] = { centre - x - y, centre + x - y, centre + x + y, centre - x + y };

    ::glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
    if (snapshot)
        ::glLineWidth(GLfloat(scaling));
    ::glEnable(GL_COLOR_MATERIAL);
    ::glDisable(GL_DEPTH_TEST);
    ::glDisable(GL_LIGHTING);
    ::glColor4ub(0, 0, 255, 255);
    for (int i = 0; i < 4; ++i) {
        const BaVec3d<double> &a = corners[i], &b = corners[(i + 1) % 4];
        ::glBegin(GL_LINES);
        ::glVertex3d(a.x, a.y, a.z);
        ::glVertex3d(b.x, b.y, b.z);
        ::glEnd();
    }
    ::glPopAttrib();
}

} // namespace Vaq::GCAD
