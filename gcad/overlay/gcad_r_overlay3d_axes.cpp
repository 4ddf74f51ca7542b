// The coordinate system of the 3-D overlay: lit axis arrows in the axes' colours, optionally a
// grid in the xy plane, the axis names and the view direction; and for each part the temporary
// element that lets a click on it turn the view. Variant 0 stands at the model origin, variant 1
// is a cross CORNER_CROSS_PIXELS long in the lower left corner, drawn under a pixel projection of
// its own that only shares the view's rotation, over a cleared depth buffer.
#include "gcad/overlay/gcad_r_overlay3d.h"

#include "gcad/host/fig2/vaq_fig2_axis_colors.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"
#include "gcad/overlay/gcad_coordinate_element.h"
#include "gcad/rcb/gcad_rcb.h"
#include "gcad/renderers/gcad_gl_renderer.h"

#include <QFont>

#include <cmath>

namespace Vaq::GCAD {

namespace {

using GL::ViewCreator;

constexpr Color AXIS_COLORS[3] = { Legend2::color_axis_x, Legend2::color_axis_y, Legend2::color_axis_z };
const char *const AXIS_NAMES[3] = { "X", "Y", "Z" };
// The view a click on an axis, or on the square between the two other axes, turns to.
constexpr ViewCreator::ViewDirection_t AXIS_VIEWS[3]
    = { ViewCreator::VD_X_PLUS, ViewCreator::VD_Y_PLUS, ViewCreator::VD_Z_PLUS };
// The squares between two axes reach this far along them, the axis names this far out.
constexpr double SQUARE_SHARE = 0.35;
constexpr double NAME_DISTANCE = 1.15;
constexpr int GRID_DIVISIONS = 4;
constexpr Color GRID_COLOR { 128, 128, 128 };
constexpr int SQUARE_ALPHA = 40;

BaVec3d<double> unit(int axis)
{
    BaVec3d<double> v;
    v[axis] = 1.0;
    return v;
}

// The view's rotation alone (rows of its model-view matrix, normalised), column-major.
void viewRotation(const GL::RenderObject &view, double rotation[16])
{
    int viewport[4];
    double modelView[16], projection[16];
    view.getViewportData(viewport, modelView, projection);
    std::fill(rotation, rotation + 16, 0.0);
    rotation[15] = 1.0;
    for (int row = 0; row < 3; ++row) {
        const BaVec3d<double> r(modelView[row], modelView[row + 4], modelView[row + 8]);
        const double length = r.length() > 0.0 ? r.length() : 1.0;
        for (int column = 0; column < 3; ++column)
            rotation[row + 4 * column] = modelView[row + 4 * column] / length;
    }
}

void drawGrid(const BaVec3d<double> &origin, double length)
{
    ::glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    ::glDisable(GL_LIGHTING);
    ::glColor4ub(GRID_COLOR.r, GRID_COLOR.g, GRID_COLOR.b, GRID_COLOR.a);
    ::glBegin(GL_LINES);
    for (int i = 0; i <= GRID_DIVISIONS; ++i) {
        const double t = length * i / GRID_DIVISIONS;
        ::glVertex3d(origin.x + t, origin.y, origin.z);
        ::glVertex3d(origin.x + t, origin.y + length, origin.z);
        ::glVertex3d(origin.x, origin.y + t, origin.z);
        ::glVertex3d(origin.x + length, origin.y + t, origin.z);
    }
    ::glEnd();
    ::glPopAttrib();
}

void drawSquares(const BaVec3d<double> &origin, double side, ViewCreator::ViewDirection_t selected)
{
    ::glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT);
    ::glDisable(GL_LIGHTING);
    ::glDepthMask(GL_FALSE);
    ::glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    ::glBegin(GL_QUADS);
    for (int axis = 0; axis < 3; ++axis) {
        const Color &c = AXIS_COLORS[axis];
        ::glColor4ub(c.r, c.g, c.b, GLubyte(selected == AXIS_VIEWS[axis] ? 3 * SQUARE_ALPHA : SQUARE_ALPHA));
        const BaVec3d<double> u = unit((axis + 1) % 3) * side, v = unit((axis + 2) % 3) * side;
        for (const BaVec3d<double> &p : { origin, origin + u, origin + u + v, origin + v })
            ::glVertex3d(p.x, p.y, p.z);
    }
    ::glEnd();
    ::glPopAttrib();
}

} // namespace

void GLOverlay3d::drawCoordinateSystem(int variant)
{
    RenderCallback *callback = renderCallback;
    GL::RenderObject *view = callback->getRenderObject();
    // The parts of the previous draw go first.
    callback->deleteCoordinateElements();
    if (!view)
        return;
    CADGLRenderer *routines = getDrawingRoutines();
    const double scaling = callback->getSnapshotScaling();
    const bool corner = variant == 1;

    // Drawing space: model units at the origin, pixels in the corner.
    BaVec3d<double> origin;
    double length = callback->getCoordinateAxisLength() / 2.0;
    if (corner) {
        length = RenderCallback::CORNER_CROSS_PIXELS * scaling;
        double rotation[16];
        viewRotation(*view, rotation);
        ::glMatrixMode(GL_PROJECTION);
        ::glPushMatrix();
        ::glLoadIdentity();
        ::glOrtho(0.0, view->width(), 0.0, view->height(), -4.0 * length, 4.0 * length);
        ::glMatrixMode(GL_MODELVIEW);
        ::glPushMatrix();
        ::glLoadIdentity();
        ::glTranslated(length, length, 0.0);
        ::glMultMatrixd(rotation);
        ::glClear(GL_DEPTH_BUFFER_BIT);
    }

    // Model-space parts for picking: the corner cross is rebuilt under the window point it is
    // drawn at, with axes as long on screen.
    BaVec3d<double> pickOrigin;
    double pickLength = length;
    if (corner) {
        const Transformation toModel = view->getInverse3d2dTransformation();
        const double at = RenderCallback::CORNER_CROSS_PIXELS * scaling;
        pickOrigin = toModel.transform({ at, at, 0.5 });
        pickLength = length * (toModel.transform({ at + 1.0, at, 0.5 }) - pickOrigin).length();
    }
    for (int axis = 0; axis < 3; ++axis) {
        const QString name = ViewCreator::getViewName(AXIS_VIEWS[axis]);
        LimitedPlane3d square;
        square.normal = unit(axis);
        square.reference = pickOrigin;
        square.firstDirection = unit((axis + 1) % 3);
        square.secondDirection = unit((axis + 2) % 3);
        square.width = square.height = SQUARE_SHARE * pickLength;
        callback->addCoordinateElement(new CoordinateElement(name, square), CAD::StageIdentifier::NO_STAGE);
    }
    callback->addCoordinateElement(
        new CoordinateElement(ViewCreator::getViewName(ViewCreator::VD_XP_YP_ZP), pickOrigin),
        CAD::StageIdentifier::NO_STAGE);
    for (int axis = 0; axis < 3; ++axis)
        callback->addCoordinateElement(new CoordinateElement(ViewCreator::getViewName(AXIS_VIEWS[axis]),
                                           pickOrigin, pickOrigin + unit(axis) * pickLength),
            CAD::StageIdentifier::NO_STAGE);

    const ViewCreator::ViewDirection_t selected = callback->_selected_coordinate_view;
    const Color &highlight = callback->getDefaultProperties()->highlightColor;
    if (callback->isCoordinateGridDrawingEnabled())
        drawGrid(origin, length);
    for (int axis = 0; axis < 3; ++axis) {
        routines->applyAxisMaterial(selected == AXIS_VIEWS[axis] ? highlight : AXIS_COLORS[axis]);
        routines->drawAxisArrow(false, origin, unit(axis) * length);
    }
    if (!corner)
        routines->drawOriginSphere(callback, origin, selected == ViewCreator::VD_XP_YP_ZP);
    drawSquares(origin, SQUARE_SHARE * length, selected);

    QFont font;
    font.setPointSizeF(callback->getSizeForAxisNotation() * scaling);
    for (int axis = 0; axis < 3; ++axis)
        view->renderText(origin + unit(axis) * (NAME_DISTANCE * length),
            QString::fromLatin1(AXIS_NAMES[axis]), font, callback->getColorForAxisNotation());
    if (callback->isWriteViewDirectionEnabled()) {
        const BaVec3d<double> d = view->getViewDirection();
        const ViewCreator::ViewDirection_t main
            = view->getCreator() ? view->getCreator()->getMainViewDirection() : ViewCreator::VD_NONE;
        const QString text = main != ViewCreator::VD_NONE
            ? ViewCreator::getViewName(main)
            : QStringLiteral("%1 %2 %3").arg(d.x, 0, 'f', 2).arg(d.y, 0, 'f', 2).arg(d.z, 0, 'f', 2);
        // Written below the origin as the window sees it, whatever the rotation.
        double rotation[16];
        viewRotation(*view, rotation);
        const Transformation inverse = Transformation::fromGLTransformation(rotation);
        Transformation back;
        inverse.getInverse(&back);
        view->renderText(origin + back.transformVector({ 0.0, -0.6 * length, 0.0 }), text, font,
            callback->getColorForAxisNotation());
    }

    if (corner) {
        ::glMatrixMode(GL_PROJECTION);
        ::glPopMatrix();
        ::glMatrixMode(GL_MODELVIEW);
        ::glPopMatrix();
    }
}

} // namespace Vaq::GCAD
