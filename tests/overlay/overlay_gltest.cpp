// The 2-D overlay on a real view, checked by its pixels: element labels with their connector,
// the label picking image, the raster and view direction of axis views, marks that follow
// the view, and the legend kept inside a resized view.
#include "gcad/host/fig2/vaq_fig2_global_legend.h"
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "tests/overlay/overlay_view.h"
#include "tests/support/gcad_plane_clipping.h"

#include <limits>

using namespace Vaq;
using GCAD::Overlay2d;
using Vaq::Test::BACKGROUND;
using Vaq::Test::OverlayView;
using Vaq::Test::STAGE;

namespace {

TEST_F(OverlayView, aLabelShowsItsBoxAtItsOffsetAndAConnectorToItsPoint)
{
    const BaVec3d<double> point(2, 2, 0), offset(5, 4, 0);
    CAD::PointsBase *set = addLabelled(QStringLiteral("Bore 1"), point, offset);
    paint();

    // The white box is centred on the projected offset point, the connector runs from it
    // towards the point, and the point's side of the view stays the background.
    EXPECT_EQ(image.pixelColor(pixelOf(point + offset)), QColor(Qt::white));
    const Fig2::Label *text = set->getLabel()->getLabelFigText();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->getParent(), &scene.figure.getRoot());
    const QLineF connector = text->getConnector();
    ASSERT_FALSE(connector.isNull());
    EXPECT_GT(countNear(pixelOf(connector.pointAt(0.5)), Qt::black), 0);
    EXPECT_EQ(countNear(pixelOf(connector.pointAt(0.5)) + QPoint(0, -12), Qt::black, 2), 0);
    EXPECT_EQ(image.pixelColor(pixelOf(BaVec3d<double>(8, 1, 0))), BACKGROUND);

    // While the view moves, the connector is a plain line: its pixels are black or the
    // background, where the still picture blends them.
    const QRect around = QRect(pixelOf(connector.pointAt(0.3)), pixelOf(connector.pointAt(0.7))).normalized();
    const auto shadesAround = [&] {
        int shades = 0;
        for (int y = around.top(); y <= around.bottom(); ++y) {
            for (int x = around.left(); x <= around.right(); ++x)
                shades += image.pixelColor(x, y) != BACKGROUND && image.pixelColor(x, y) != QColor(Qt::black);
        }
        return shades;
    };
    EXPECT_GT(shadesAround(), 0);
    view->repaintWidget(GL::UpdateOptions(GL::UpdateOptions::US_VIEW, GL::UpdateOptions::UT_INTERACTIVE));
    image = view->getRenderedImage();
    EXPECT_EQ(shadesAround(), 0);
    EXPECT_GT(countNear(pixelOf(connector.pointAt(0.5)), Qt::black), 0);

    // With the labels switched off the label stays in the figure but is not painted.
    Cfg::getRoot().setBool(QLatin1String(GCAD::CFG_GCAD_SHOW_LABELS), false);
    paint();
    EXPECT_TRUE(text->isTemporarilyInvisible());
    EXPECT_EQ(image.pixelColor(pixelOf(point + offset)), BACKGROUND);
}

TEST_F(OverlayView, pickingFindsTheLabelPaintedLastAndLabelsWinOverGeometry)
{
    CAD::PointsBase *first = addLabelled(QStringLiteral("first label"), { 3, 3, 0 }, { 2, 3, 0 });
    CAD::PointsBase *second = addLabelled(QStringLiteral("second label"), { 4, 3, 0 }, { 2, 2, 0 });
    CAD::PointsBase *under = addPoints({ { 8, 8, 0 } });
    CAD::PointsBase *over = addLabelled(QStringLiteral("over"), { 8, 1, 0 }, { 0, 7, 0 });
    paint();

    const QRectF a = first->getLabel()->getLabelFigText()->getCoveredRect();
    const QRectF b = second->getLabel()->getLabelFigText()->getCoveredRect();
    ASSERT_TRUE(a.intersects(b));
    const QRectF both = a.intersected(b);
    EXPECT_EQ(overlay().getElementAtPosition(pixelOf(both.center())), second);
    EXPECT_EQ(overlay().getElementAtPosition(pixelOf(QPointF(a.center().x(), a.top() + 0.3))), first);
    EXPECT_EQ(overlay().getElementAtPosition(pixelOf(BaVec3d<double>(1, 8, 0))), nullptr);
    EXPECT_EQ(overlay().getElementAtPosition(QPoint(-1, 5)), nullptr);
    EXPECT_EQ(overlay().getElementAtPosition(QPoint(W, 5)), nullptr);

    // The rectangle query answers pixel by pixel, rows upward, whichever corner comes first.
    const QPoint p = pixelOf(both.center());
    const unsigned x0 = p.x() - 3, x1 = p.x() + 3, y0 = H - 1 - p.y() - 2, y1 = H - 1 - p.y() + 2;
    const std::vector<CAD::Element *> rect = overlay().getRenderedElements(x0, y0, x1, y1);
    ASSERT_EQ(rect.size(), 35u);
    for (unsigned row = 0; row < 5; ++row) {
        for (unsigned column = 0; column < 7; ++column)
            EXPECT_EQ(rect[row * 7 + column],
                overlay().getElementAtPosition(QPoint(x0 + column, H - 1 - int(y0 + row))));
    }
    EXPECT_EQ(overlay().getRenderedElements(x1, y1, x0, y0), rect);
    EXPECT_TRUE(overlay().getRenderedElements(0, 0, W, 0).empty());

    // A label over another element's geometry: the callback names the label's element.
    const BaVec3d<double> window = view->get3d2dTransformation().transform(BaVec3d<double>(8, 8, 0));
    EXPECT_EQ(scene.getNearestRenderedElement({ window.x, window.y }, false), over);
    over->getLabel()->setLabelVisible(false);
    paint();
    EXPECT_EQ(scene.getNearestRenderedElement({ window.x, window.y }, false), under);
}

TEST_F(OverlayView, anAxisViewShowsRasterLinesAtWholeStepsAndItsDirection)
{
    GCAD::RenderCallback::setCoordinateGridDrawingEnabled(true);
    GCAD::RenderCallback::setWriteViewDirectionEnabled(true);
    addPoints({ { 0, 0, 0 }, { 0, 10, 10 } })->setPointFlag({ 0, 1 }, CAD::PointFlags::HIDDEN, true);
    lookFrom(GL::ViewCreator::VD_X_PLUS);
    paint();

    // The step for the visible range; every whole multiple of it inside the view has a
    // raster line down the view, halfway between two of them there is none.
    const Transformation inverse = view->getInverse3d2dTransformation();
    const double y0 = inverse.transform(BaVec3d<double>(0, 0, 0)).y;
    const double y1 = inverse.transform(BaVec3d<double>(W, H, 0)).y;
    const Overlay2d::RasterSteps steps
        = Overlay2d::computeRasterSteps((long long)(y0 * 1000), (long long)(y1 * 1000), 0, 1000, W);
    const double step = steps.step / 1000.0;
    const QColor raster(49, 49, 49);
    int lines = 0;
    for (double y = std::ceil(std::min(y0, y1) / step) * step; y < std::max(y0, y1); y += step) {
        const QPoint p = pixelOf(BaVec3d<double>(0, y, 5));
        if (p.x() < 2 || p.x() >= W - 2)
            continue;
        ++lines;
        EXPECT_GT(countNear(QPoint(p.x(), H * 3 / 4), raster), 0) << "line at " << y;
        EXPECT_EQ(
            countNear(pixelOf(BaVec3d<double>(0, y + step / 2, 5)) + QPoint(0, H * 3 / 4 - p.y()), raster), 0)
            << "between lines after " << y;
    }
    EXPECT_GE(lines, 2);

    // The direction is written centred at the top.
    const auto directionText = [&] {
        for (const Fig2::Element *e : overlay().getTextFigure()->getRoot().getChildren()) {
            if (const auto *label = dynamic_cast<const Fig2::Label *>(e);
                label && label->getText().contains("</span>"))
                if (label->getCoveredRect().top() < 20 * overlay().getPixelSize()
                    && std::abs(label->getCoveredRect().center().x() - W / 2 * overlay().getPixelSize())
                        < 1.0)
                    return label->getText();
        }
        return QString();
    };
    EXPECT_TRUE(directionText().contains(QLatin1String(">X+<"))) << directionText().toStdString();
    int dark = 0;
    for (int x = W / 2 - 15; x < W / 2 + 15; ++x) {
        for (int y = 8; y < 30; ++y)
            dark += image.pixelColor(x, y).lightness() < 60 && image.pixelColor(x, y).blue() < 120;
    }
    EXPECT_GT(dark, 10);

    // A corner view names its octant and has no raster.
    lookFrom(GL::ViewCreator::VD_XP_YP_ZP);
    paint();
    EXPECT_TRUE(directionText().contains(QLatin1String(">X+Y+Z+<"))) << directionText().toStdString();
    EXPECT_EQ(overlay().getTextFigure()->getRoot().getChildren().size(), 1u);
}

TEST_F(OverlayView, aMarkFollowsItsPointWhenTheViewTurns)
{
    const BaVec3d<double> point(7, 3, 0);
    overlay().markPoint(point, QStringLiteral("   "), Overlay2d::DEFAULT_MARK_COLOR);
    paint();
    const QColor mark(56, 180, 56);
    const QPoint before = pixelOf(point);
    EXPECT_GT(countNear(before + QPoint(6, 0), mark), 0);
    EXPECT_GT(countNear(before + QPoint(0, -6), mark), 0);
    EXPECT_EQ(countNear(before + QPoint(6, 6), mark, 2), 0);

    view->setRotation(BaVec3d<double>(0.0, 0.0, 1.2));
    paint();
    const QPoint after = pixelOf(point);
    ASSERT_GT((after - before).manhattanLength(), 20);
    EXPECT_GT(countNear(after + QPoint(6, 0), mark), 0);
    EXPECT_EQ(countNear(before + QPoint(6, 0), mark, 2), 0);

    // The crosshair runs through the whole view.
    overlay().markCross(point, Color(255, 255, 0));
    paint();
    EXPECT_GT(countNear(QPoint(1, after.y()), QColor(255, 255, 0)), 0);
    EXPECT_GT(countNear(QPoint(after.x(), H - 2), QColor(255, 255, 0)), 0);
}

TEST_F(OverlayView, theLegendStaysInsideTheViewWhenItShrinks)
{
    GLegend2::GlobalLegend *legend = GLegend2::GlobalLegend::getInstance();
    legend->setInitialPosition(GLegend2::GlobalLegend::IP_RIGHT);
    legend->setHorizontal(true);
    scene.figure.getRoot().add(legend);
    paint();
    const double px = overlay().getPixelSize();
    const auto inside = [&](int w, int h) {
        const QRectF r = legend->getCoveredRect();
        return r.left() >= -1e-9 && r.top() >= -1e-9 && r.right() <= w * px + 1e-9
            && r.bottom() <= h * px + 1e-9;
    };
    EXPECT_TRUE(inside(W, H));
    // Smaller than the legend's 120 mm: the legend shrinks with the view and stays in it.
    view->resize(100, 60);
    paint();
    EXPECT_TRUE(inside(100, 60));
    EXPECT_LE(legend->getSize().width(), 100 * px + 1e-9);
    // Its colour bar is painted where the legend says.
    const std::vector<Color> &colors = legend->getColors();
    ASSERT_FALSE(colors.empty());
    const Color &middle = colors[colors.size() / 2];
    EXPECT_GE(
        countNear(pixelOf(legend->getColorBarRect().center()), QColor(middle.r, middle.g, middle.b), 1), 6);
    scene.figure.getRoot().remove(legend);
}

TEST_F(OverlayView, clippingHidesTheLabelsOfCutAwayPointsAndSaysSoInTheHeading)
{
    Vaq::Test::PlaneClipping clipping;
    clipping.setClippingPlane(Plane3d(BaVec3d<double>(5, 0, 0), BaVec3d<double>(1, 0, 0)));
    clipping.setClippingActive(true);
    scene.clipping = &clipping;
    CAD::PointsBase *kept = addLabelled(QStringLiteral("kept"), { 7, 5, 0 }, { 0, 2, 0 });
    CAD::PointsBase *cut = addLabelled(QStringLiteral("cut"), { 2, 5, 0 }, { 0, 2, 0 });
    paint();
    EXPECT_GT(countNear(pixelOf(BaVec3d<double>(7, 7, 0)), Qt::white, 4), 20);
    EXPECT_EQ(countNear(pixelOf(BaVec3d<double>(2, 7, 0)), Qt::white, 4), 0);
    EXPECT_EQ(overlay().getElementAtPosition(pixelOf(BaVec3d<double>(7, 7, 0))), kept);
    EXPECT_NE(cut->getLabel()->getLabelFigText()->getParent(), &scene.figure.getRoot());
    EXPECT_EQ(creator->getHeading(), QStringLiteral("clipped"));

    clipping.setClippingActive(false);
    paint();
    EXPECT_GT(countNear(pixelOf(BaVec3d<double>(2, 7, 0)), Qt::white, 4), 20);
    EXPECT_TRUE(creator->getHeading().isEmpty());

    // Someone else's heading stays.
    creator->setHeading(QStringLiteral("Section A"), 10, Color(255, 0, 0));
    clipping.setClippingActive(true);
    paint();
    EXPECT_EQ(creator->getHeading(), QStringLiteral("Section A"));
}

TEST_F(OverlayView, badLabelsAndTinyViewsStillPaint)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    addLabelled(QString(10000, QLatin1Char('W')), { 5, 5, 0 }, { 0, 0, 0 });
    addLabelled(QString(), { 5, 5, 0 }, { 0, 0, 0 });
    addLabelled(QStringLiteral("nan"), { nan, 5, 0 }, { 0, 0, 0 });
    addLabelled(QStringLiteral("inf"), { inf, -inf, 0 }, { 0, 0, 0 });
    overlay().markPoint({ nan, 0, 0 }, QStringLiteral("x"), Overlay2d::DEFAULT_MARK_COLOR);
    paint();
    EXPECT_FALSE(image.isNull());
    view->resize(1, 1);
    paint();
    EXPECT_EQ(image.size(), QSize(1, 1));
}

} // namespace
