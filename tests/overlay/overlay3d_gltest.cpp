// The 3-D overlay on a real view: the corner cross (where, how large, in which colours, and
// which view a click on each part turns to), the axes at the origin, the highlight of the
// element under the mouse, and the outline of another view's visible box.
#include "gcad/host/fig2/vaq_fig2_axis_colors.h"
#include "gcad/overlay/gcad_coordinate_element.h"
#include "gcad/overlay/gcad_r_overlay3d.h"
#include "tests/overlay/overlay_view.h"

#include <QCursor>
#include <QPointer>
#include <QWidget>

using namespace Vaq;
using namespace Vaq::Test;
using GCAD::RenderCallback;
using GL::ViewCreator;

namespace {

// Which of red, green and blue clearly leads in the pixel (-1: none).
int leadingChannel(const QColor &c)
{
    const int v[3] = { c.red(), c.green(), c.blue() };
    for (int i = 0; i < 3; ++i) {
        if (v[i] > v[(i + 1) % 3] + 60 && v[i] > v[(i + 2) % 3] + 60)
            return i;
    }
    return -1;
}

class Overlay3dView : public OverlayView
{
protected:
    void SetUp() override
    {
        OverlayView::SetUp();
        // The mouse is over a window of the view's size.
        window.resize(W, H);
        scene.setViewWidget(&window);
        moveMouseTo(QPoint(-50, -50));
    }
    void TearDown() override
    {
        RenderCallback::setCoordinateAxisDrawingEnabled(false);
        RenderCallback::setCoordinateAxisDrawingMode(RenderCallback::CSM_ORIGIN);
        scene.setViewWidget(nullptr);
        OverlayView::TearDown();
    }
    // GL window pixel (origin lower left).
    void moveMouseTo(const QPoint &glPixel)
    {
        QCursor::setPos(window.mapToGlobal(QPoint(glPixel.x(), H - 1 - glPixel.y())));
    }
    QColor at(int glX, int glY) const { return image.pixelColor(glX, H - 1 - glY); }
    void showCornerCross()
    {
        RenderCallback::setCoordinateAxisDrawingEnabled(true);
        RenderCallback::setCoordinateAxisDrawingMode(RenderCallback::CSM_VIEW_CORNER);
    }
    // A dense square of points from (x0, 3) to (x0 + 3, 6), covering its pixels completely.
    CAD::PointsBase *addSquare(double x0)
    {
        std::vector<BaVec3d<double>> points;
        for (int i = 0; i <= 60; ++i) {
            for (int j = 0; j <= 60; ++j)
                points.push_back({ x0 + i * 0.05, 3 + j * 0.05, 0 });
        }
        return addPoints(std::move(points));
    }
    QPoint glPixelOf(const BaVec3d<double> &point) const
    {
        const QPoint p = pixelOf(point);
        return QPoint(p.x(), H - 1 - p.y());
    }
    void repaintOverlay()
    {
        view->repaintWidget(GL::UpdateOptions(GL::UpdateOptions::US_OVERLAY, GL::UpdateOptions::UT_DEFAULT));
        image = view->getRenderedImage();
    }

    QWidget window;
};

constexpr int CROSS = int(RenderCallback::CORNER_CROSS_PIXELS);

} // namespace

TEST_F(Overlay3dView, CornerCrossStandsInTheLowerLeftCornerWithAxesOfItsPixelLengthInTheAxisColours)
{
    paint();
    EXPECT_EQ(at(CROSS + CROSS / 2, CROSS), BACKGROUND) << "no cross while axis drawing is off";
    EXPECT_TRUE(scene.getCoordinateElements().empty());

    showCornerCross();
    paint();
    // Seen from z+, x runs right and y up from the window point (60, 60).
    for (int d = 10; d <= CROSS - 10; d += 10) {
        EXPECT_EQ(leadingChannel(at(CROSS + d, CROSS)), 0) << d;
        EXPECT_EQ(leadingChannel(at(CROSS, CROSS + d)), 1) << d;
    }
    // The arrows end at 60 pixels: a little beyond, the background shows again.
    EXPECT_EQ(at(2 * CROSS + 4, CROSS), BACKGROUND);
    EXPECT_EQ(at(CROSS, 2 * CROSS + 4), BACKGROUND);
    EXPECT_EQ(at(CROSS - 10, CROSS - 10), BACKGROUND);
    // The colours are the legend's: red, green and blue lead as they lead there.
    EXPECT_EQ(
        leadingChannel(QColor(Legend2::color_axis_x.r, Legend2::color_axis_x.g, Legend2::color_axis_x.b)), 0);
    EXPECT_EQ(
        leadingChannel(QColor(Legend2::color_axis_y.r, Legend2::color_axis_y.g, Legend2::color_axis_y.b)), 1);

    // Turned to the x+ view, y runs right and z up.
    lookFrom(ViewCreator::VD_X_PLUS);
    paint();
    EXPECT_EQ(leadingChannel(at(CROSS + CROSS / 2, CROSS)), 1);
    EXPECT_EQ(leadingChannel(at(CROSS, CROSS + CROSS / 2)), 2);
}

TEST_F(Overlay3dView, EachPartOfTheCrossNamesTheViewAClickTurnsTo)
{
    showCornerCross();
    paint();
    ASSERT_EQ(scene.getCoordinateElements().size(), 7u);
    const Transformation toWindow = view->get3d2dTransformation();
    const auto viewAt = [&](double x, double y) {
        const GCAD::CoordinateElement *part
            = GCAD::findCoordinateElementAt(scene.getCoordinateElements(), toWindow, { x, y });
        return part ? ViewCreator::getViewForName(part->getFileName()) : ViewCreator::VD_NONE;
    };
    EXPECT_EQ(viewAt(CROSS + 50, CROSS + 2), ViewCreator::VD_X_PLUS);
    EXPECT_EQ(viewAt(CROSS - 3, CROSS + 50), ViewCreator::VD_Y_PLUS);
    // The square between x and y turns to the view along z, the origin to the iso view.
    EXPECT_EQ(viewAt(CROSS + 15, CROSS + 15), ViewCreator::VD_Z_PLUS);
    EXPECT_EQ(viewAt(CROSS, CROSS), ViewCreator::VD_XP_YP_ZP);
    // A pixel with no axis under it.
    EXPECT_EQ(viewAt(CROSS + 40, CROSS + 40), ViewCreator::VD_NONE);
    EXPECT_EQ(viewAt(W - 5, H - 5), ViewCreator::VD_NONE);

    // Through the mouse: the part under it, its opposite when one looks along it already, and
    // nothing while the view moves or with axis drawing off.
    moveMouseTo(QPoint(CROSS + 50, CROSS));
    EXPECT_EQ(scene.getSelectedCoordinateView(), ViewCreator::VD_X_PLUS);
    EXPECT_FALSE(scene.overlay3dNeedsUpdate());
    moveMouseTo(QPoint(CROSS + 40, CROSS + 40));
    EXPECT_TRUE(scene.overlay3dNeedsUpdate());
    EXPECT_EQ(scene.getSelectedCoordinateView(), ViewCreator::VD_NONE);

    lookFrom(ViewCreator::VD_X_PLUS);
    paint();
    moveMouseTo(QPoint(CROSS - 2, CROSS + 50)); // the z axis points up now
    EXPECT_EQ(scene.getSelectedCoordinateView(), ViewCreator::VD_Z_PLUS);
    moveMouseTo(QPoint(CROSS + 15, CROSS + 15)); // the square between y and z: the x+ view
    EXPECT_EQ(scene.getSelectedCoordinateView(), ViewCreator::VD_X_MINUS);

    view->repaintWidget(GL::UpdateOptions(1, GL::UpdateOptions::UT_INTERACTIVE));
    EXPECT_EQ(scene.getCoordinateElementUnderMouse(), ViewCreator::VD_NONE);
    RenderCallback::setCoordinateAxisDrawingEnabled(false);
    paint();
    EXPECT_EQ(scene.getSelectedCoordinateView(), ViewCreator::VD_NONE);
    EXPECT_TRUE(scene.getCoordinateElements().empty());
    double out = 0.0;
    EXPECT_FALSE(scene.expandBBoxForDrawing(0.0, { 0, 0, 0 }, { 10, 10, 0 }, &out));
}

TEST_F(Overlay3dView, ASnapshotShowsTheCornerCrossOnlyWhereTheAxesAreNotAtTheOrigin)
{
    const auto snapshotPicture = [&] {
        view->repaintWidget(GL::UpdateOptions(0, GL::UpdateOptions::UT_SNAPSHOT));
        image = view->getRenderedImage();
    };
    showCornerCross();
    snapshotPicture();
    EXPECT_EQ(leadingChannel(at(CROSS + CROSS / 2, CROSS)), 0);
    RenderCallback::setCoordinateAxisDrawingMode(RenderCallback::CSM_ORIGIN);
    snapshotPicture();
    EXPECT_EQ(at(CROSS + CROSS / 2, CROSS), BACKGROUND);
}

TEST_F(Overlay3dView, AxesAtTheOriginGrowTheSceneAndLeaveSnapshotsWithoutCornerCross)
{
    RenderCallback::setCoordinateAxisDrawingEnabled(true);
    paint();
    // The scene (0..10) widens to the axes at the origin; their parts are the ones picked.
    const BaVec2d<double> origin(view->get3d2dTransformation().transform({ 0, 0, 0 }).x,
        view->get3d2dTransformation().transform({ 0, 0, 0 }).y);
    const double half = scene.getCoordinateAxisLength() / 2.0;
    EXPECT_GT(half, 0.0);
    const BaVec3d<double> tip = view->get3d2dTransformation().transform({ half * 0.8, 0, 0 });
    EXPECT_EQ(leadingChannel(at(int(tip.x), int(origin.y))), 0);
    // The corner cross is drawn on screen in mode 1 too, and picks before the origin axes.
    EXPECT_EQ(leadingChannel(at(CROSS + CROSS / 2, CROSS)), 0);

    double out = 0.0;
    EXPECT_TRUE(scene.expandBBoxForDrawing(0.0, { 4, 4, 0 }, { 6, 6, 0 }, &out));
    EXPECT_GT(out, 0.0);
}

TEST_F(Overlay3dView, TheElementUnderTheMouseIsHighlightedAndGivesItBackWhenTheMouseLeaves)
{
    CAD::PointsBase *a = addSquare(1.0), *b = addSquare(6.0);
    paint();
    const QPoint pa = pixelOf(BaVec3d<double>(2.5, 4.5, 0)), pb = pixelOf(BaVec3d<double>(7.5, 4.5, 0));
    const QPoint glA = glPixelOf({ 2.5, 4.5, 0 }), glB = glPixelOf({ 7.5, 4.5, 0 });
    const QColor plainB = at(glB.x(), glB.y());
    ASSERT_NE(plainB, BACKGROUND);

    // Marked in (100, 50, 200), A under the mouse shows 20 percent brighter.
    scene.markElement(a, Color(100, 50, 200));
    moveMouseTo(glA);
    paint();
    EXPECT_EQ(scene.getOverlay3d()->getHighlightedElement(), a);
    EXPECT_EQ(a->getHighlightColor(), Color(120, 60, 240));

    // Over B: A gets its marking colour back, B the grey, and B's pixels a fifth of white
    // (the highlight's default colour at transparency 0.8).
    moveMouseTo(glB);
    paint();
    EXPECT_EQ(a->getHighlightColor(), Color(100, 50, 200));
    EXPECT_TRUE(a->isElementHighlighted());
    EXPECT_EQ(scene.getOverlay3d()->getHighlightedElement(), b);
    // A point cloud lights up as an element only where the view marks it; its colour is set.
    EXPECT_FALSE(b->isElementHighlighted());
    EXPECT_EQ(b->getHighlightColor(), GCAD::Overlay3d::HIGHLIGHT_GREY);
    const QColor lit = at(glB.x(), glB.y());
    EXPECT_NEAR(lit.red(), plainB.red() * 0.8 + 51, 3);
    EXPECT_NEAR(lit.green(), plainB.green() * 0.8 + 51, 3);
    EXPECT_NEAR(lit.blue(), plainB.blue() * 0.8 + 51, 3);
    EXPECT_EQ(at(glA.x(), glA.y()), image.pixelColor(pa)); // A untouched by the highlight

    // While the view moves nothing is highlighted.
    view->repaintWidget(GL::UpdateOptions(1, GL::UpdateOptions::UT_INTERACTIVE));
    EXPECT_EQ(scene.getOverlay3d()->getHighlightedElement(), nullptr);
    EXPECT_EQ(view->getRenderedImage().pixelColor(pb), plainB);

    // The highlighted element destroyed between repaints is forgotten, not touched.
    paint();
    ASSERT_EQ(scene.getOverlay3d()->getHighlightedElement(), b);
    scene.entries.pop_back();
    sets.pop_back();
    paint();
    EXPECT_EQ(scene.getOverlay3d()->getHighlightedElement(), nullptr);
}

TEST_F(Overlay3dView, AnOverlayRepaintMovesTheHighlightOverTheKeptSceneWithoutDrawingTheElements)
{
    CAD::PointsBase *a = addSquare(1.0), *b = addSquare(6.0);
    paint();
    const QPoint glA = glPixelOf({ 2.5, 4.5, 0 }), glB = glPixelOf({ 7.5, 4.5, 0 });
    const QColor plainA = at(glA.x(), glA.y()), plainB = at(glB.x(), glB.y());
    ASSERT_NE(plainA, BACKGROUND);
    // The highlight's default: white at transparency 0.8 blended over the element's pixels.
    const auto lit = [](const QColor &plain) {
        return QColor(
            int(plain.red() * 0.8 + 51), int(plain.green() * 0.8 + 51), int(plain.blue() * 0.8 + 51));
    };
    const auto expectNear = [](const QColor &actual, const QColor &expected) {
        EXPECT_NEAR(actual.red(), expected.red(), 3);
        EXPECT_NEAR(actual.green(), expected.green(), 3);
        EXPECT_NEAR(actual.blue(), expected.blue(), 3);
    };

    scene.elementSteps = 0;
    moveMouseTo(glA);
    repaintOverlay();
    EXPECT_TRUE(view->wasOverlayOnly());
    EXPECT_EQ(scene.elementSteps, 0);
    EXPECT_EQ(scene.getOverlay3d()->getHighlightedElement(), a);
    expectNear(at(glA.x(), glA.y()), lit(plainA));
    EXPECT_EQ(at(glB.x(), glB.y()), plainB);

    // Over B: A shows its kept pixels again, not the highlight blended twice.
    moveMouseTo(glB);
    repaintOverlay();
    EXPECT_EQ(scene.elementSteps, 0);
    EXPECT_EQ(scene.getOverlay3d()->getHighlightedElement(), b);
    EXPECT_EQ(at(glA.x(), glA.y()), plainA);
    expectNear(at(glB.x(), glB.y()), lit(plainB));
    // Picking still answers from the kept ids.
    EXPECT_EQ(scene.getNearestRenderedElement(BaVec2d<double>(glA.x(), glA.y()), false), a);

    // Marking asks for an overlay repaint too, but marked elements are drawn anew.
    scene.elementSteps = 0;
    scene.markElement(a, Color(250, 0, 0));
    EXPECT_FALSE(view->wasOverlayOnly());
    EXPECT_GT(scene.elementSteps, 0);

    // A turned view is drawn whole: the same picture as a full repaint of it.
    lookFrom(GL::ViewCreator::VD_Z_MINUS);
    repaintOverlay();
    EXPECT_FALSE(view->wasOverlayOnly());
    EXPECT_GT(scene.elementSteps, 0);
    const QImage turned = image;
    paint();
    EXPECT_EQ(turned, image);
}

namespace {

// Shows the visible box of another view while that view exists.
class PictureInPictureScene : public FigureScene
{
public:
    bool getViewVolumeForVisualization(BaVec3d<double> *centre, BaVec3d<double> *right, BaVec3d<double> *up,
        double *width, double *height) const override
    {
        if (!other)
            return false;
        const Transformation toModel = other->getInverse3d2dTransformation();
        *centre = toModel.transform({ other->width() / 2.0, other->height() / 2.0, 0.5 });
        *right = toModel.transform({ other->width() / 2.0 + 1, other->height() / 2.0, 0.5 }) - *centre;
        const double pixel = right->length();
        *right = right->normalized();
        *up = (toModel.transform({ other->width() / 2.0, other->height() / 2.0 + 1, 0.5 }) - *centre)
                  .normalized();
        *width = other->width() * pixel;
        *height = other->height() * pixel;
        return true;
    }
    QPointer<GL::RenderObject> other;
};

} // namespace

TEST(Overlay3dViewVolume, IsOutlinedInBlueWhileTheOtherViewExistsAndNotAfter)
{
    CAD::PointsBase fix(CAD::ElementCreator::POINT_CLOUD);
    fix.setPoints({ { 0, 0, 0 }, { 10, 10, 0 } });
    fix.setPointFlag({ 0, 1 }, CAD::PointFlags::HIDDEN, true);
    PictureInPictureScene scene, otherScene;
    scene.show(&fix, STAGE);
    otherScene.show(&fix, STAGE);
    std::unique_ptr<GL::RenderObject> view(GL::RenderObject::createRenderObject(&scene, 200, 200));
    auto other
        = std::unique_ptr<GL::RenderObject>(GL::RenderObject::createRenderObject(&otherScene, 100, 100));
    other->repaintWidget();
    other->setScale(4.0); // 4 units across its 100 pixels: the square 3..7 about the centre
    scene.other = other.get();

    const auto blueNear = [&](const BaVec3d<double> &point) {
        const QImage image = view->getRenderedImage();
        const BaVec3d<double> p = view->get3d2dTransformation().transform(point);
        int blue = 0;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const QColor c = image.pixelColor(int(p.x) + dx, 199 - int(p.y) + dy);
                blue += c.blue() == 255 && c.red() == 0 && c.green() == 0;
            }
        }
        return blue;
    };
    view->repaintWidget();
    EXPECT_GT(blueNear({ 3, 5, 0 }), 0);
    EXPECT_GT(blueNear({ 5, 7, 0 }), 0);
    EXPECT_EQ(blueNear({ 5, 5, 0 }), 0);
    EXPECT_EQ(blueNear({ 1, 5, 0 }), 0);

    other.reset();
    view->repaintWidget();
    EXPECT_EQ(blueNear({ 3, 5, 0 }), 0);
}
