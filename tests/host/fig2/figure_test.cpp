#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/fig2/vaq_fig2_calculator.h"
#include "gcad/host/fig2/vaq_fig2_global_legend.h"
#include "gcad/host/fig2/vaq_fig2_group.h"
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "gcad/host/fig2/vaq_fig2_legend.h"
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"
#include "gcad/host/fig2/vaq_fig2_line.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <memory>

using namespace Vaq;
using namespace Vaq::Fig2;
using Vaq::Test::progErrorMessage;

namespace {

constexpr double POINT_MM = 25.4 / 72.0;

bool contains(const QRectF &outer, const QRectF &inner)
{
    constexpr double eps = 1e-9;
    return inner.left() >= outer.left() - eps && inner.right() <= outer.right() + eps
        && inner.top() >= outer.top() - eps && inner.bottom() <= outer.bottom() + eps;
}

TEST(FigText, SizeFollowsTheFontAndTheBoxSitsAtItsAnchor)
{
    Text small, large;
    small.setFont(Font::sans(10.0));
    large.setFont(Font::sans(20.0));
    small.setText(QStringLiteral("Deviation 0.25"));
    large.setText(QStringLiteral("Deviation 0.25"));
    // DejaVu Sans has a line height of about 1.16 em; 10 pt is 3.53 mm.
    EXPECT_GT(small.getSize().height(), 1.0 * 10.0 * POINT_MM);
    EXPECT_LT(small.getSize().height(), 1.4 * 10.0 * POINT_MM);
    // Laid out at one fixed resolution, twice the font is twice the box.
    EXPECT_NEAR(large.getSize().width() / small.getSize().width(), 2.0, 0.03);
    EXPECT_NEAR(large.getSize().height() / small.getSize().height(), 2.0, 0.03);

    // Rich text takes its size from its markup, not from the default font.
    Text rich;
    rich.setText(QStringLiteral("<html><span %1>Deviation 0.25</span></html>")
                     .arg(LabelBase::getRTFStyleAttribute(Font::DEFAULT_FONT_SANS, 20.0, Color(1, 2, 3))));
    EXPECT_NEAR(rich.getSize().width(), large.getSize().width(), 0.02 * large.getSize().width());

    small.setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    small.setPosition(QPointF(50.0, 30.0));
    EXPECT_NEAR(small.getRect().center().x(), 50.0, 1e-9);
    EXPECT_NEAR(small.getRect().center().y(), 30.0, 1e-9);
    small.setAlignment(Qt::AlignRight | Qt::AlignBottom);
    EXPECT_NEAR(small.getRect().right(), 50.0, 1e-9);
    EXPECT_NEAR(small.getRect().bottom(), 30.0, 1e-9);
    EXPECT_EQ(LabelBase::getRTFStyleAttribute(QStringLiteral("DejaVu Sans"), 18.0, Color(49, 49, 49)),
        QStringLiteral("style=\"font-family:'DejaVu Sans'; font-size:18pt; color:#313131\""));
}

TEST(FigLabel, BoxWrapsTheTextAndTheConnectorRunsFromItsEdgeToThePoint)
{
    Label label;
    label.setText(QStringLiteral("P1"));
    label.setMargin(1.0);
    label.setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    label.setPosition(QPointF(40.0, 20.0));
    const QRectF box = label.getBoxRect(), text = label.getTextRect();
    EXPECT_EQ(box, text.adjusted(-1.0, -1.0, 1.0, 1.0));
    EXPECT_NEAR(box.center().x(), 40.0, 1e-9);
    EXPECT_EQ(label.getCoveredRect(), box);

    EXPECT_FALSE(label.hasConnectorPoint());
    EXPECT_TRUE(label.getConnector().isNull());
    // Straight to the right: from the right edge at the point's height.
    label.setConnectorPoint(QPointF(60.0, 20.5));
    EXPECT_EQ(label.getConnector(), QLineF(box.right(), 20.5, 60.0, 20.5));
    // Below and to the left: from the nearest corner.
    label.setConnectorPoint(QPointF(10.0, 50.0));
    EXPECT_EQ(label.getConnector(), QLineF(box.bottomLeft(), QPointF(10.0, 50.0)));
    // A point inside the box needs no connector.
    label.setConnectorPoint(box.center());
    EXPECT_TRUE(label.getConnector().isNull());

    // Moving the label moves its box, not the place it points at.
    label.setConnectorPoint(QPointF(60.0, 20.5));
    label.move(5.0, -2.0);
    EXPECT_EQ(label.getBoxRect(), box.translated(5.0, -2.0));
    EXPECT_EQ(label.getConnectorPoint(), QPointF(60.0, 20.5));
    EXPECT_EQ(label.getConnector().p1(), QPointF(box.right() + 5.0, 20.5));

    // Longer text widens the box around the same anchor.
    label.setText(QStringLiteral("P1 longer"));
    EXPECT_GT(label.getBoxRect().width(), box.width());
    EXPECT_NEAR(label.getBoxRect().center().x(), 45.0, 1e-9);
}

TEST(FigLabel, BoxAndFrameLieOnWholePixelsWhereverTheBoxLies)
{
    // Off the pixel grid in place and size, the box still paints no partly covered pixel: its
    // frame is a crisp pixel wide, within a pixel of the box's edges, around the background.
    Label label;
    label.setText(QStringLiteral("P1"));
    label.setMargin(1.3);
    label.setPosition(QPointF(10.37, 7.71));
    label.setConnectorPoint(label.getBoxRect().center()); // no connector to paint
    const double scale = 3.77; // device pixels per millimetre
    QImage image(200, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        label.paint(painter);
    }
    QRect opaque;
    int partial = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            partial += alpha != 0 && alpha != 255;
            if (alpha == 255)
                opaque |= QRect(x, y, 1, 1);
        }
    }
    EXPECT_EQ(partial, 0);
    const QRectF box(label.getBoxRect().topLeft() * scale, label.getBoxRect().size() * scale);
    EXPECT_NEAR(opaque.left(), box.left(), 1.0);
    EXPECT_NEAR(opaque.right() + 1, box.right(), 1.0);
    EXPECT_NEAR(opaque.top(), box.top(), 1.0);
    EXPECT_NEAR(opaque.bottom() + 1, box.bottom(), 1.0);
    const int middle = opaque.center().y();
    EXPECT_EQ(image.pixel(opaque.left(), middle), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(opaque.left() + 1, middle), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(opaque.right(), opaque.top()), qRgb(0, 0, 0));
}

TEST(FigGroup, MovesItsChildrenAndKeepsOwnershipAndLayerOrderStraight)
{
    Group root;
    auto inner = std::make_unique<Group>();
    Group *innerGroup = inner.get();
    Label held;
    held.setText(QStringLiteral("held"));
    auto owned = std::make_unique<Line>(
        QPointF(0.0, 0.0), QPointF(10.0, 5.0), LineStyle { LineStyle::SOLID, {}, 2.0 });
    Line *line = owned.get();
    innerGroup->add(std::move(owned));
    root.add(std::move(inner));
    root.add(&held);
    EXPECT_EQ(line->getParent(), innerGroup);
    EXPECT_EQ(innerGroup->getParent(), &root);
    // Half the 2 mm width on every side of the segment's box.
    EXPECT_EQ(line->getCoveredRect(), QRectF(-1.0, -1.0, 12.0, 7.0));
    EXPECT_EQ(root.getCoveredRect(), line->getCoveredRect().united(held.getBoxRect()));

    const QRectF heldBox = held.getBoxRect();
    root.move(3.0, 4.0);
    EXPECT_EQ(line->getP1(), QPointF(3.0, 4.0));
    EXPECT_EQ(line->getP2(), QPointF(13.0, 9.0));
    EXPECT_EQ(held.getBoxRect(), heldBox.translated(3.0, 4.0));

    // Hidden children do not count for the covered area.
    held.setTemporarilyInvisible(true);
    EXPECT_EQ(root.getCoveredRect(), line->getCoveredRect());

    EXPECT_TRUE(root.canLayerUp(innerGroup));
    EXPECT_FALSE(root.canLayerDown(innerGroup));
    root.layerTop(innerGroup);
    EXPECT_EQ(root.getChildren(), (std::vector<Element *> { &held, innerGroup }));
    root.layerBottom(innerGroup);
    EXPECT_EQ(root.getChildren(), (std::vector<Element *> { innerGroup, &held }));

    EXPECT_EQ(progErrorMessage([&] { line->getParent()->add(&root); }), "a group cannot hold itself");

    // A held child comes back without ownership; an owned one with it.
    EXPECT_EQ(root.remove(&held), nullptr);
    EXPECT_EQ(held.getParent(), nullptr);
    std::unique_ptr<Element> back = root.remove(innerGroup);
    EXPECT_EQ(back.get(), innerGroup);
    // Moving to another group takes the child out of the first one.
    Group other;
    other.add(&held);
    root.add(&held);
    EXPECT_TRUE(other.getChildren().empty());
    // A deleted child leaves its group.
    back.reset();
    {
        Label temporary;
        root.add(&temporary);
    }
    EXPECT_EQ(root.getChildren(), (std::vector<Element *> { &held }));
}

TEST(FigLegend, TitleBarAndTickValuesLieInsideTheBoxInOrder)
{
    Legend legend;
    legend.setCenter(QPointF(100.0, 50.0));
    legend.setTitle(QStringLiteral("Deviation [mm]"));
    legend.setScale({ { 0, 0, 255 }, { 0, 255, 0 }, { 255, 0, 0 }, { 255, 255, 0 } }, -2.0, 2.0);
    const QRectF box = legend.getRect();
    EXPECT_EQ(box, QRectF(40.0, 40.0, 120.0, 20.0));
    const QRectF bar = legend.getColorBarRect(), title = legend.getTitle().getRect();
    ASSERT_FALSE(bar.isEmpty());
    EXPECT_TRUE(contains(box, bar));
    EXPECT_TRUE(contains(box, title));
    EXPECT_LE(title.bottom(), bar.top());
    EXPECT_NEAR(title.center().x(), box.center().x(), 1e-9);

    // Four bands have five edges; each value is centred below its edge, lowest on the left.
    const auto &ticks = legend.getTicks();
    ASSERT_EQ(ticks.size(), 5u);
    const QStringList values { "-2", "-1", "0", "1", "2" };
    for (size_t i = 0; i < ticks.size(); ++i) {
        const QRectF r = ticks[i]->getRect();
        EXPECT_EQ(ticks[i]->getText(), values[int(i)]);
        EXPECT_TRUE(contains(box, r)) << i;
        EXPECT_GE(r.top(), bar.bottom());
        EXPECT_NEAR(r.center().x(), bar.left() + bar.width() * double(i) / 4.0, 1e-9);
    }
    // Moved, and given the same scale again, its values move with it.
    const QRectF lowest = ticks.front()->getRect();
    legend.setCenter(QPointF(110.0, 55.0));
    legend.setScale({ { 0, 0, 255 }, { 0, 255, 0 }, { 255, 0, 0 }, { 255, 255, 0 } }, -2.0, 2.0);
    EXPECT_EQ(legend.getTicks().front()->getRect(), lowest.translated(10.0, 5.0));

    // Upright: values right of the bar, rising upward.
    legend.setSize(QSizeF(20.0, 120.0));
    legend.setHorizontal(false);
    const QRectF upright = legend.getRect(), uprightBar = legend.getColorBarRect();
    ASSERT_EQ(legend.getTicks().size(), 5u);
    EXPECT_TRUE(contains(upright, uprightBar));
    for (size_t i = 0; i < 5; ++i) {
        const QRectF r = legend.getTicks()[i]->getRect();
        EXPECT_TRUE(contains(upright, r)) << i;
        EXPECT_GE(r.left(), uprightBar.right());
        EXPECT_NEAR(r.center().y(), uprightBar.bottom() - uprightBar.height() * double(i) / 4.0, 1e-9);
    }

    // Too many bands for all their values: the kept ones do not overlap and stay in order.
    legend.setHorizontal(true);
    legend.setSize(QSizeF(60.0, 15.0));
    legend.setScale(std::vector<Color>(40, Color(9, 9, 9)), 0.0, 1000.0);
    const auto &thinned = legend.getTicks();
    ASSERT_GE(thinned.size(), 2u);
    EXPECT_LT(thinned.size(), 41u);
    for (size_t i = 1; i < thinned.size(); ++i) {
        EXPECT_LT(thinned[i - 1]->getRect().right(), thinned[i]->getRect().left());
        EXPECT_LT(thinned[i - 1]->getText().toDouble(), thinned[i]->getText().toDouble());
    }

    EXPECT_EQ(progErrorMessage([&] { legend.setScale({}, 0.0, 1.0); }), "legend needs a colour");
    EXPECT_EQ(progErrorMessage([&] { legend.setScale({ Color() }, 1.0, 1.0); }), "empty data range");
}

TEST(FigGlobalLegend, ShowsTheLegendHandlersScaleAndReplaceFlagIsReadOnce)
{
    Legend2::ColorMap &map = Legend2::LegendHandler::getInstance()->getColorMap();
    const std::vector<Color> oldColors = map.getColors();
    map.setColors({ { 10, 20, 30 }, { 40, 50, 60 } });
    map.setDataRange(-0.5, 0.5);
    GLegend2::GlobalLegend *legend = GLegend2::GlobalLegend::getInstance();
    legend->update();
    EXPECT_EQ(legend->getColors(), map.getColors());
    ASSERT_EQ(legend->getTicks().size(), 3u);
    EXPECT_EQ(legend->getTicks().front()->getText(), "-0.5");
    EXPECT_EQ(legend->getTicks().back()->getText(), "0.5");
    map.setColors(oldColors);
    map.setDataRange(-1.0, 1.0);

    EXPECT_FALSE(legend->readReplaceFlag());
    legend->requestReplace();
    EXPECT_TRUE(legend->readReplaceFlag());
    EXPECT_FALSE(legend->readReplaceFlag());
}

TEST(FigCalculator, OffscreenPixelSizeIsThatOfA96DpiScreen)
{
    // The tests run on Qt's offscreen platform.
    EXPECT_DOUBLE_EQ(Calculator::getInstance()->getScreenPixelSizeMM(), 25.4 / 96.0);
}

} // namespace
