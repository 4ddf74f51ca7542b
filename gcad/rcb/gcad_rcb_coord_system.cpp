// The render callback's coordinate system: its settings, shared by all views, the room the
// axes take in the scene box, which drawn part of it lies under the mouse, and the spotlight's
// place in the view.
#include "gcad/rcb/gcad_rcb.h"

#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/overlay/gcad_coordinate_element.h"

#include <QCursor>
#include <QWidget>

#include <algorithm>
#include <limits>

namespace Vaq::GCAD {

bool RenderCallback::_axis_drawing_enabled = false;
bool RenderCallback::_axis_grid_drawing_enabled = false;
bool RenderCallback::_write_view_direction = false;
RenderCallback::CoordSystemMode_t RenderCallback::_axis_drawing_mode = RenderCallback::CSM_ORIGIN;
double RenderCallback::_axis_length_factor = 0.3;
double RenderCallback::_size_axis_notation = 8.0;
Color RenderCallback::_col_axis_notation(255, 255, 255);

bool RenderCallback::addPreviewBoundingBox(BaVec3d<double> *min, BaVec3d<double> *max)
{
    _axis_length = 5.0;
    if (min->x != std::numeric_limits<double>::max()) {
        const BaVec3d<double> size = *max - *min;
        _axis_length = _axis_length_factor * std::max({ size.x, size.y, size.z, 0.0 });
    }
    if (!isCoordinateAxisDrawingEnabled() || _axis_drawing_mode != CSM_ORIGIN)
        return false;
    // The axes stand at the origin.
    const double half = _axis_length / 2.0;
    for (int i = 0; i < 3; ++i) {
        (*min)[i] = std::min((*min)[i], -half);
        (*max)[i] = std::max((*max)[i], half);
    }
    return true;
}

void RenderCallback::addCoordinateElement(CAD::Element *element, const CAD::StageIdentifier &)
{
    _coordinate_elements.push_back(element);
}

void RenderCallback::resetCoordinateSystem()
{
    _coordinate_elements.clear();
}

void RenderCallback::deleteCoordinateElements()
{
    for (CAD::Element *element : _coordinate_elements)
        delete element;
    resetCoordinateSystem();
}

std::optional<QPoint> RenderCallback::getCursorPosition() const
{
    const QWidget *widget = getViewWidget();
    if (!widget)
        return std::nullopt;
    const QPoint position = widget->mapFromGlobal(QCursor::pos());
    if (!widget->rect().contains(position))
        return std::nullopt;
    return position;
}

GL::ViewCreator::ViewDirection_t RenderCallback::getCoordinateElementUnderMouse()
{
    using GL::ViewCreator;
    _selected_coordinate_view = ViewCreator::VD_NONE;
    const GL::RenderObject *view = getRenderObject();
    if (!view || getUpdateOptions().interactiveUpdate)
        return ViewCreator::VD_NONE;
    const std::optional<QPoint> cursor = getCursorPosition();
    if (!cursor)
        return ViewCreator::VD_NONE;
    const BaVec2d<double> mouse(cursor->x(), view->height() - cursor->y());
    const ViewCreator *creator = view->getCreator();
    if (creator && creator->getEditorInterface()
        && creator->getEditorInterface()->claimsPosition(int(mouse.x), int(mouse.y)))
        return ViewCreator::VD_NONE;

    const CoordinateElement *part
        = findCoordinateElementAt(_coordinate_elements, view->get3d2dTransformation(), mouse);
    if (part)
        _selected_coordinate_view = ViewCreator::getViewForName(part->getFileName());
    return _selected_coordinate_view;
}

GL::ViewCreator::ViewDirection_t RenderCallback::getSelectedCoordinateView()
{
    using GL::ViewCreator;
    const GL::RenderObject *view = getRenderObject();
    if (!view || !isCoordinateAxisDrawingEnabled())
        return ViewCreator::VD_NONE;
    const ViewCreator::ViewDirection_t main
        = view->getCreator() ? view->getCreator()->getMainViewDirection() : ViewCreator::VD_NONE;
    const ViewCreator::ViewDirection_t under = getCoordinateElementUnderMouse();
    // Clicking the direction one already looks along turns the view round.
    if (under == main && under != ViewCreator::VD_NONE)
        return ViewCreator::getOppositeDirection(under);
    return under;
}

bool RenderCallback::overlay3dNeedsUpdate()
{
    const GL::ViewCreator::ViewDirection_t before = _selected_coordinate_view;
    return getCoordinateElementUnderMouse() != before;
}

bool RenderCallback::expandBBoxForDrawing(
    double, const BaVec3d<double> &min, const BaVec3d<double> &max, double *out)
{
    const GL::RenderObject *view = getRenderObject();
    if (!isCoordinateAxisDrawingEnabled() || !view)
        return false;
    // The corner cross in model space: under the window point it is drawn at, axes as long as
    // on screen.
    const Transformation toModel = view->getInverse3d2dTransformation();
    const double at = CORNER_CROSS_PIXELS;
    const BaVec3d<double> origin = toModel.transform({ at, at, 0.0 });
    const double length = at * (toModel.transform({ at + 1.0, at, 0.0 }) - origin).length();
    const Box3d cross(origin, origin + BaVec3d<double>(length, length, length));

    int viewport[4];
    double modelView[16], projection[16];
    view->getViewportData(viewport, modelView, projection);
    const Transformation toView = Transformation::fromGLTransformation(modelView);
    const double zMin = toView.transformZ(min), zMax = toView.transformZ(max);
    const double lo = std::min(zMin, zMax), hi = std::max(zMin, zMax);
    double newLo = lo, newHi = hi;
    for (const BaVec3d<double> &corner : cross.getCorners()) {
        const double z = toView.transformZ(corner);
        newLo = std::min(newLo, z);
        newHi = std::max(newHi, z);
    }
    if (newLo == lo && newHi == hi)
        return false;
    *out = std::max(lo - newLo, newHi - hi);
    return true;
}

} // namespace Vaq::GCAD
