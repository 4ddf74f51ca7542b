// Picking: which collected element the last repaint drew under a pixel or in a rectangle,
// from the view's stencil ids and the overlay's label image; which pull-out handle lies under
// a pixel; and the scene point under a pixel that the view turns about.
#include "gcad/clipping/gcad_clipping_interface.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_find_parameter.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_stencil_handler.h"
#include "gcad/overlay/gcad_r_overlay2d.h"
#include "gcad/rcb/gcad_rcb.h"
#include "gcad/renderers/gcad_renderer.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <set>

namespace Vaq::GCAD {

QRect RenderCallback::getTouchedArea(CAD::Element *element, const CAD::StageIdentifier &stage) const
{
    const GL::RenderObject *view = getRenderObject();
    const QRect whole(0, 0, view ? view->width() : 0, view ? view->height() : 0);
    const CADRenderer *renderer = _renderer_container.getRenderer(element->getType());
    Box3d box;
    if (!view || !renderer || !element->getBoundingBox(stage, CAD::BBT_DISPLAY, CAD::CCS_ELEMENT, box)
        || box.isEmpty())
        return whole;
    const double reach = renderer->getPixelReach(*element, &box);
    if (!(reach >= 0.0))
        return whole;
    Transformation toWindow = _window_transformation;
    if (Transformation placement; element->getRenderTransformation(stage, &placement))
        toWindow = toWindow * placement;
    double x0 = std::numeric_limits<double>::max(), y0 = x0, x1 = -x0, y1 = -x0;
    for (const BaVec3d<double> &corner : box.getCorners()) {
        const BaVec3d<double> window = toWindow.transform(corner);
        if (!std::isfinite(window.x) || !std::isfinite(window.y))
            return whole;
        x0 = std::min(x0, window.x);
        y0 = std::min(y0, window.y);
        x1 = std::max(x1, window.x);
        y1 = std::max(y1, window.y);
    }
    // Pixel (x, y) covers x to x + 1; far outside the view the box is simply cut off.
    const auto pixel = [&](double v, int size) { return int(std::clamp(std::floor(v), -1.0, double(size))); };
    return QRect(QPoint(pixel(x0 - reach, whole.width()), pixel(y0 - reach, whole.height())),
        QPoint(pixel(x1 + reach, whole.width()), pixel(y1 + reach, whole.height())))
        .intersected(whole);
}

CAD::Element *RenderCallback::getNearestRenderedElement(const BaVec2d<double> &pixel, bool searchAround) const
{
    const GL::RenderObject *view = getRenderObject();
    if (!view)
        return nullptr;
    const QPoint widgetPixel(int(pixel.x), view->height() - int(pixel.y) - 1);
    CAD::Element *label = _overlay2d->getElementAtPosition(widgetPixel);
    if (label && isElementValid(label))
        return label;
    const CAD::Element *found = view->getStencilHandler()->getNearestRenderedElement(pixel, searchAround);
    return found && isElementValid(found) ? const_cast<CAD::Element *>(found) : nullptr;
}

CAD::Element *RenderCallback::getElementAtMousePosition()
{
    const GL::RenderObject *view = getRenderObject();
    const std::optional<QPoint> cursor = getCursorPosition();
    if (!view || !cursor)
        return nullptr;
    return getNearestRenderedElement(BaVec2d<double>(cursor->x(), view->height() - cursor->y() - 1), false);
}

std::vector<CAD::Element *> RenderCallback::getRenderedElements(
    const BaVec2d<double> &corner1, const BaVec2d<double> &corner2, bool withLabels, bool clipToView) const
{
    const GL::RenderObject *view = getRenderObject();
    unsigned rect[4];
    std::vector<const CAD::Element *> drawn;
    if (!view || !view->getStencilHandler()->getRenderedElements(corner1, corner2, clipToView, rect, &drawn))
        return {};

    // Runs of pixels showing the same element are common: each run is looked up once.
    std::set<CAD::Element *> hits;
    const CAD::Element *previous = nullptr;
    const auto add = [&](const CAD::Element *element) {
        if (element && element != previous && isElementValid(element))
            hits.insert(const_cast<CAD::Element *>(element));
        previous = element;
    };
    if (withLabels) {
        // The label image answers pixel by pixel in the stencil's order, rows upward.
        const int height = view->height();
        const CAD::Element *label = nullptr;
        bool labelValid = false;
        std::size_t i = 0;
        for (unsigned y = rect[1]; y <= rect[3]; ++y) {
            for (unsigned x = rect[0]; x <= rect[2]; ++x, ++i) {
                const CAD::Element *atPixel
                    = _overlay2d->getElementAtPosition(QPoint(int(x), height - int(y) - 1));
                if (atPixel != label) {
                    label = atPixel;
                    labelValid = label && isElementValid(label);
                }
                add(labelValid ? label : drawn[i]);
            }
        }
    } else {
        for (const CAD::Element *element : drawn)
            add(element);
    }
    return { hits.begin(), hits.end() };
}

CAD::Element *RenderCallback::getRenderedElement(const BaVec2d<double> &pixel, bool clipToView) const
{
    const std::vector<CAD::Element *> found = getRenderedElements(pixel, pixel, true, clipToView);
    if (found.size() > 1)
        VAQ_PROG_ERROR("Vaq::GCAD::RenderCallback::getRenderedElement", QStringLiteral("too many elements"));
    return found.empty() ? nullptr : found.front();
}

CAD::DistPullOut *RenderCallback::getPullOutDist(const BaVec2d<double> &pixel, CAD::Element **element) const
{
    const DistanceHandler *best = nullptr;
    for (const DistanceHandler &handler : _distance_handlers) {
        if (std::abs(handler.position.x - pixel.x) > 4.0 || std::abs(handler.position.y - pixel.y) > 4.0)
            continue;
        if (!best || handler.position.z >= best->position.z)
            best = &handler;
    }
    if (!best)
        return nullptr;
    if (element)
        *element = best->element;
    return best->pullOut;
}

bool RenderCallback::getRotationCenterPoint(int x, int y, double *depth, BaVec3d<double> *point)
{
    *depth = -std::numeric_limits<double>::max();
    const GL::RenderObject *view = getRenderObject();
    if (!view)
        return false;
    CAD::FindParameter parameter(view->unproject(x, y, 0.0), get3d2dTransformation());
    Plane3d plane;
    if (const ClippingInterface *clipping = getClippingInterface();
        clipping && clipping->isClippingActive() && clipping->getClippingPlane(&plane))
        parameter.setClippingPlane(plane);

    bool found = false;
    // Every entry and its descendants, as the drawing cycle collects them.
    const std::function<void(TObject *, const CAD::StageIdentifier &)> visit
        = [&](TObject *object, const CAD::StageIdentifier &stage) {
              auto *element = dynamic_cast<CAD::Element *>(object);
              double z = 0.0;
              BaVec3d<double> hit;
              if (element && element->getRenderLevel() != CAD::RL_NEVER && element->isVisible(CAD::VR_ELEMENT)
                  && element->findElementAtPixel(stage, parameter, 10.0) && parameter.getFoundZ(&z)
                  && z > *depth && parameter.getFoundPoint(&hit)) {
                  Transformation transformation;
                  if (parameter.existsFoundRenderTrafo() && parameter.getFoundRenderTrafo(&transformation))
                      hit = transformation.transform(hit);
                  *depth = z;
                  *point = hit;
                  found = true;
              }
              for (TObject *child : object->getChildren())
                  visit(child, stage);
          };
    for (const CAD::ElementAndStageImp &entry : getElementsForDrawing()) {
        if (entry.element)
            visit(entry.element, entry.stage);
    }
    return found;
}

} // namespace Vaq::GCAD
