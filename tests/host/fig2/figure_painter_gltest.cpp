#include "gcad/host/fig2/vaq_fig2_cached_painter.h"
#include "gcad/host/fig2/vaq_fig2_figure.h"
#include "gcad/host/fig2/vaq_fig2_gl_painter.h"
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "gcad/host/fig2/vaq_fig2_legend.h"
#include "gcad/host/fig2/vaq_fig2_line.h"
#include "gcad/host/fig2/vaq_fig2_sprite_cache.h"
#include "gcad/host/gl/vaq_gl_render_callback.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_tools.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace Vaq;
using namespace Vaq::Fig2;

namespace {

const Color BACKGROUND(40, 40, 40);
constexpr double PIXEL_MM = 0.25; // the figure's pixel size at snapshot scaling 1

// Paints one figure over an otherwise empty view in the 2-D overlay stage, as the overlay
// does, with the view covering the figure's millimetres at pixelSize, with the painter that
// paints on a read-back copy of the view or with the one that blends cached sprites.
class FigureScene : public GL::RenderCallback
{
public:
    const Figure *figure = nullptr;
    double pixelSize = PIXEL_MM;
    bool cached = false;
    GFigure2::CachedFigurePainter::Connectors connectors
        = GFigure2::CachedFigurePainter::Connectors::ANTIALIASED;
    bool painted = false;
    QString stateLeft; // the first GL default the painter did not restore

    bool draw() override
    {
        if (getRenderStage() != GL::RenderObject::RS_OVERLAY2D || !figure)
            return true;
        GL::RenderObject *view = getRenderObject();
        const QRectF area(0.0, 0.0, view->width() * pixelSize, view->height() * pixelSize);
        if (cached)
            paintWith(GFigure2::CachedFigurePainter(), area, connectors);
        else
            paintWith(GFigure2::GLFigurePainter(), area);
        GL::GLTools::checkDefaults(&stateLeft);
        return true;
    }

private:
    template<class Painter, class... Look> void paintWith(Painter &&painter, const QRectF &area, Look... look)
    {
        painted = painter.begin(getRenderObject(), area, look...);
        painter.drawFigure(*figure, QPointF(0.0, 0.0), 1.0);
        painter.end();
    }
};

QImage paint(const Figure &figure, int size, double pixelSize, bool cached = false,
    GFigure2::CachedFigurePainter::Connectors connectors
    = GFigure2::CachedFigurePainter::Connectors::ANTIALIASED)
{
    FigureScene scene;
    scene.figure = &figure;
    scene.pixelSize = pixelSize;
    scene.cached = cached;
    scene.connectors = connectors;
    std::unique_ptr<GL::RenderObject> view(GL::RenderObject::createRenderObject(&scene, size, size));
    view->setBackgroundColor(BACKGROUND);
    view->repaintWidget();
    EXPECT_TRUE(scene.painted);
    EXPECT_EQ(scene.stateLeft, QString());
    return view->getRenderedImage();
}

QColor qcolor(const Color &c)
{
    return QColor(c.r, c.g, c.b);
}

// Pixels of the column at x whose colour is exactly c.
int countInColumn(const QImage &image, int x, const QColor &c)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        n += image.pixelColor(x, y) == c;
    return n;
}

// The bounding box, in pixels, of the pixels inside area whose colour is within tolerance of c.
QRect boundsOf(const QImage &image, const QRect &area, const QColor &c, int tolerance, int *count)
{
    QRect bounds;
    *count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (std::abs(p.red() - c.red()) <= tolerance && std::abs(p.green() - c.green()) <= tolerance
                && std::abs(p.blue() - c.blue()) <= tolerance) {
                bounds |= QRect(x, y, 1, 1);
                ++*count;
            }
        }
    }
    return bounds;
}

QRect toPixels(const QRectF &mm, double pixelSize)
{
    return QRectF(mm.topLeft() / pixelSize, mm.size() / pixelSize).toAlignedRect();
}

// A red line 3 pixels wide, and a label with blue text on white with a yellow connector.
struct TestFigure
{
    Figure figure;
    Line line { QPointF(10 * PIXEL_MM, 20.5 * PIXEL_MM), QPointF(190 * PIXEL_MM, 20.5 * PIXEL_MM),
        LineStyle { LineStyle::SOLID, Color(255, 0, 0), 3 * PIXEL_MM } };
    Label label;

    TestFigure()
    {
        figure.setBackground(FillStyle::null);
        figure.setSize(QSizeF(200 * PIXEL_MM, 200 * PIXEL_MM));
        label.setText(
            QStringLiteral("<html><span %1>Point 12</span></html>")
                .arg(LabelBase::getRTFStyleAttribute(Font::DEFAULT_FONT_SANS, 12.0, Color(0, 0, 255))));
        label.setMargin(2.0);
        label.setPosition(QPointF(10.0, 15.0));
        label.setConnectorPoint(QPointF(10.0, 45.0));
        label.setConnectorStyle(LineStyle { LineStyle::SOLID, Color(255, 255, 0), 2 * PIXEL_MM });
        figure.getRoot().add(&line);
        figure.getRoot().add(&label);
    }
};

// Every case runs with the painter on a read-back copy (false) and the cached one (true).
class FigurePainters : public testing::TestWithParam<bool>
{
};

TEST_P(FigurePainters, LineLabelBoxConnectorAndTextLandWhereTheFigureSays)
{
    TestFigure f;
    const QImage image = paint(f.figure, 200, PIXEL_MM, GetParam());
    const QColor red(255, 0, 0), white(255, 255, 255), background = qcolor(BACKGROUND);

    // The line covers rows 19 to 21 from column 10 to 190, and nothing above or below.
    EXPECT_EQ(image.pixelColor(100, 20), red);
    EXPECT_EQ(countInColumn(image, 100, red), 3);
    EXPECT_EQ(image.pixelColor(100, 17), background);
    EXPECT_EQ(image.pixelColor(5, 20), background);
    EXPECT_EQ(image.pixelColor(195, 20), background);

    // The label's box is white inside its margin and ends where its box does.
    const QRectF box = f.label.getBoxRect();
    const QRect boxPixels = toPixels(box, PIXEL_MM);
    EXPECT_EQ(image.pixelColor(boxPixels.left() + 3, boxPixels.center().y()), white);
    EXPECT_EQ(image.pixelColor(boxPixels.left() - 3, boxPixels.center().y()), background);
    EXPECT_EQ(image.pixelColor(boxPixels.center().x(), boxPixels.bottom() + 3), background);

    // The connector runs straight down from the box's lower edge to its point (10, 45) mm.
    const QLineF connector = f.label.getConnector();
    const QPointF middle = (connector.p1() + connector.p2()) / 2.0 / PIXEL_MM;
    EXPECT_EQ(image.pixelColor(int(middle.x()), int(middle.y())), QColor(255, 255, 0));
    EXPECT_EQ(image.pixelColor(int(middle.x()) + 4, int(middle.y())), background);

    // Text: blue pixels fill the text's box and stay inside it. Crisp glyphs reach the full
    // text colour about as often as the same text drawn by QPainter straight at its pixel
    // size; a scaled bitmap would blur most of them into mixes of blue and white.
    int full = 0, any = 0;
    const QRect text = toPixels(f.label.getTextRect(), PIXEL_MM);
    boundsOf(image, boxPixels, QColor(0, 0, 255), 0, &full);
    const QRect inked = boundsOf(image, boxPixels.adjusted(1, 1, -1, -1), QColor(0, 0, 255), 200, &any);
    QImage native(text.size() + QSize(8, 8), QImage::Format_RGB32);
    native.fill(Qt::white);
    {
        QPainter painter(&native);
        QFont font(Font::DEFAULT_FONT_SANS);
        font.setPixelSize(int(std::lround(12.0 * 25.4 / 72.0 / PIXEL_MM)));
        painter.setFont(font);
        painter.setPen(QColor(0, 0, 255));
        painter.drawText(native.rect(), Qt::AlignCenter, QStringLiteral("Point 12"));
    }
    int nativeFull = 0, nativeAny = 0;
    boundsOf(native, native.rect(), QColor(0, 0, 255), 0, &nativeFull);
    boundsOf(native, native.rect(), QColor(0, 0, 255), 200, &nativeAny);
    ASSERT_GT(nativeFull, 0);
    EXPECT_GT(double(full) / any, 0.6 * double(nativeFull) / nativeAny)
        << full << "/" << any << " vs " << nativeFull << "/" << nativeAny;
    EXPECT_TRUE(text.adjusted(-1, -1, 1, 1).contains(inked)) << inked.x() << "," << inked.y();
    EXPECT_GT(inked.width(), text.width() * 3 / 4);
}

TEST_P(FigurePainters, LegendBarShowsItsColoursInOrder)
{
    Figure figure;
    figure.setBackground(FillStyle::null);
    Legend legend;
    const std::vector<Color> colors { { 0, 0, 255 }, { 0, 255, 255 }, { 0, 255, 0 }, { 255, 255, 0 },
        { 255, 0, 0 } };
    legend.setScale(colors, 0.0, 5.0);
    legend.setTitle(QStringLiteral("Deviation"));
    legend.setCenter(QPointF(25.0, 25.0));
    legend.setSize(QSizeF(45.0, 15.0));
    figure.getRoot().add(&legend);
    const QImage image = paint(figure, 200, PIXEL_MM, GetParam());

    const QRectF bar = legend.getColorBarRect();
    const double y = bar.center().y() / PIXEL_MM;
    for (size_t band = 0; band < colors.size(); ++band) {
        const double x = (bar.left() + bar.width() * (double(band) + 0.5) / double(colors.size())) / PIXEL_MM;
        EXPECT_EQ(image.pixelColor(int(x), int(y)), qcolor(colors[band])) << band;
    }
    // The legend's white box ends at its frame.
    const QRect box = toPixels(legend.getRect(), PIXEL_MM);
    EXPECT_EQ(image.pixelColor(box.left() + 2, box.top() + 2), QColor(255, 255, 255));
    EXPECT_EQ(image.pixelColor(box.right() + 3, box.top() + 2), qcolor(BACKGROUND));
}

TEST_P(FigurePainters, SnapshotScalingTwoPaintsLinesAndTextTwiceAsLarge)
{
    // The same figure on a view twice as large at half the pixel size, as a snapshot renders.
    TestFigure f;
    const QImage normal = paint(f.figure, 200, PIXEL_MM, GetParam());
    const QImage doubled = paint(f.figure, 400, PIXEL_MM / 2.0, GetParam());
    EXPECT_EQ(countInColumn(normal, 100, QColor(255, 0, 0)), 3);
    EXPECT_EQ(countInColumn(doubled, 200, QColor(255, 0, 0)), 6);

    int n = 0;
    const QRect box1 = toPixels(f.label.getBoxRect(), PIXEL_MM),
                box2 = toPixels(f.label.getBoxRect(), PIXEL_MM / 2.0);
    const QRect ink1 = boundsOf(normal, box1.adjusted(1, 1, -1, -1), QColor(0, 0, 255), 200, &n);
    const QRect ink2 = boundsOf(doubled, box2.adjusted(1, 1, -1, -1), QColor(0, 0, 255), 200, &n);
    ASSERT_FALSE(ink1.isEmpty());
    EXPECT_NEAR(ink2.width(), 2 * ink1.width(), 3);
    EXPECT_NEAR(ink2.height(), 2 * ink1.height(), 3);
    EXPECT_NEAR(ink2.left(), 2 * ink1.left(), 2);
}

INSTANTIATE_TEST_SUITE_P(ReadBackAndCached, FigurePainters, testing::Bool());

// Pixels of the area whose colours differ by more than a step of blending.
int differingPixels(const QImage &a, const QImage &b, QRect area = QRect())
{
    if (area.isNull())
        area = a.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            n += std::abs(p.red() - q.red()) > 2 || std::abs(p.green() - q.green()) > 2
                || std::abs(p.blue() - q.blue()) > 2;
        }
    }
    return n;
}

TEST(CachedFigurePainter, SpritesLookAsPaintedAfreshMoveWithTheirElementsAndFollowTextChanges)
{
    // The label's box and the line lie on whole pixels, where both painters put them alike. A
    // connector is a GL line there: its flat ends may differ from QPainter's by a pixel or two.
    TestFigure f;
    const GFigure2::SpriteCache &cache = GFigure2::SpriteCache::shared();
    EXPECT_LE(differingPixels(paint(f.figure, 200, PIXEL_MM, true), paint(f.figure, 200, PIXEL_MM)), 4);

    // Moved by whole pixels, with its connector point: nothing is painted again, and the
    // picture is the one painted afresh at the new place.
    f.label.move(12 * PIXEL_MM, 32 * PIXEL_MM);
    f.label.setConnectorPoint(f.label.getConnectorPoint() + QPointF(12 * PIXEL_MM, 32 * PIXEL_MM));
    f.line.move(0.0, 100 * PIXEL_MM);
    unsigned long painted = cache.getPaintCount();
    const QImage moved = paint(f.figure, 200, PIXEL_MM, true);
    EXPECT_EQ(cache.getPaintCount(), painted);
    EXPECT_LE(differingPixels(moved, paint(f.figure, 200, PIXEL_MM)), 4);

    // A new text paints the label again, and only the label.
    f.label.setText(
        QStringLiteral("<html><span %1>Point 13</span></html>")
            .arg(LabelBase::getRTFStyleAttribute(Font::DEFAULT_FONT_SANS, 12.0, Color(0, 0, 255))));
    painted = cache.getPaintCount();
    const QImage changed = paint(f.figure, 200, PIXEL_MM, true);
    EXPECT_EQ(cache.getPaintCount(), painted + 1);
    EXPECT_GT(differingPixels(changed, moved), 10);
    EXPECT_LE(differingPixels(changed, paint(f.figure, 200, PIXEL_MM)), 4);

    // So does a new colour of a plain text, which no span overrides.
    f.label.setText(QStringLiteral("Point 13"));
    const QImage black = paint(f.figure, 200, PIXEL_MM, true);
    f.label.setTextColor(Color(255, 0, 0));
    const QImage red = paint(f.figure, 200, PIXEL_MM, true);
    EXPECT_GT(differingPixels(red, black), 10);
    EXPECT_LE(differingPixels(red, paint(f.figure, 200, PIXEL_MM)), 4);

    // Half a pixel off the grid, the box lands on the next whole pixel, where it looks as it
    // does painted there afresh (its connector, now slanted, ends at its point).
    f.label.move(0.5 * PIXEL_MM, 0.0);
    painted = cache.getPaintCount();
    const QImage half = paint(f.figure, 200, PIXEL_MM, true);
    EXPECT_EQ(cache.getPaintCount(), painted);
    f.label.move(0.5 * PIXEL_MM, 0.0);
    const QRect box = toPixels(f.label.getBoxRect(), PIXEL_MM).adjusted(-3, -3, 3, 0);
    EXPECT_LE(differingPixels(half, paint(f.figure, 200, PIXEL_MM), box), 2);
}

TEST(CachedFigurePainter, SlantedConnectorsLookAsQPainterPaintsThem)
{
    // Connectors of one pixel, and translucent ones of two, at about 15, 40 and 70 degrees.
    Figure figure;
    figure.setBackground(FillStyle::null);
    std::vector<std::unique_ptr<Label>> labels;
    for (const QPointF &point : { QPointF(45.0, 14.0), QPointF(40.0, 30.0), QPointF(20.0, 46.0) }) {
        for (const double width : { 1.0, 2.0 }) {
            labels.push_back(std::make_unique<Label>());
            labels.back()->setText(QStringLiteral("P"));
            labels.back()->setPosition(QPointF(2.0, width == 1.0 ? 2.0 : 8.0));
            labels.back()->setConnectorPoint(point + QPointF(0.0, width == 1.0 ? 0.0 : 3.0));
            const Color color(255, 255, 0, width == 1.0 ? 255 : 160);
            labels.back()->setConnectorStyle(LineStyle { LineStyle::SOLID, color, width * PIXEL_MM });
            figure.getRoot().add(labels.back().get());
        }
    }
    // They may differ from QPainter's in how their pixels share the colour, and at their flat
    // ends, but not by a tenth of what they paint, nor by a quarter of the colour range but at
    // their ends.
    const QImage cached = paint(figure, 200, PIXEL_MM, true), painted = paint(figure, 200, PIXEL_MM);
    const QColor background = qcolor(BACKGROUND);
    const auto difference = [](const QColor &p, const QColor &q) {
        return std::max(
            { std::abs(p.red() - q.red()), std::abs(p.green() - q.green()), std::abs(p.blue() - q.blue()) });
    };
    int paintedTotal = 0, differenceTotal = 0, far = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) {
            const int d = difference(cached.pixelColor(x, y), painted.pixelColor(x, y));
            paintedTotal += difference(painted.pixelColor(x, y), background);
            differenceTotal += d;
            far += d > 64;
        }
    }
    EXPECT_LT(differenceTotal, paintedTotal / 10) << paintedTotal;
    EXPECT_LE(far, 12);

    // Plain, as while the view moves, the opaque ones are lines of whole pixels in their own
    // colour, one pixel per step along their longer extent, and the translucent ones blend one
    // colour over what lies below (they start together: twice where they meet).
    const QImage plain = paint(figure, 200, PIXEL_MM, true, GFigure2::CachedFigurePainter::Connectors::PLAIN);
    const QColor opaque(255, 255, 0);
    const auto blend = [](const QColor &below) {
        return QColor(qRound(below.red() + (255 - below.red()) * 160 / 255.0),
            qRound(below.green() + (255 - below.green()) * 160 / 255.0), qRound(below.blue() * 95 / 255.0));
    };
    const QColor once = blend(background), twice = blend(once);
    std::vector<QRect> boxes;
    int steps = 0;
    for (const auto &label : labels) {
        boxes.push_back(toPixels(label->getBoxRect(), PIXEL_MM).adjusted(-1, -1, 1, 1));
        const QLineF line = label->getConnector();
        if (label->getConnectorStyle().color.a == 255)
            steps += int(std::max(std::abs(line.dx()), std::abs(line.dy())) / PIXEL_MM);
    }
    const auto shade = [&](const QColor &q) {
        const auto near = [&](const QColor &c) {
            return std::abs(q.red() - c.red()) <= 2 && std::abs(q.green() - c.green()) <= 2
                && std::abs(q.blue() - c.blue()) <= 2;
        };
        return q != background && q != opaque && !near(once) && !near(twice);
    };
    int opaquePixels = 0, inBetween = 0, smoothInBetween = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (std::any_of(boxes.begin(), boxes.end(), [&](const QRect &box) { return box.contains(x, y); }))
                continue;
            opaquePixels += plain.pixelColor(x, y) == opaque;
            inBetween += shade(plain.pixelColor(x, y));
            smoothInBetween += shade(cached.pixelColor(x, y));
        }
    }
    EXPECT_EQ(inBetween, 0);
    EXPECT_GT(smoothInBetween, 100);
    EXPECT_NEAR(opaquePixels, steps, 6);
}

TEST(CachedFigurePainter, SpritesCoverTheirVisiblePixelsOnly)
{
    // The label's box with its hairline frame, not the transparent margin painted around it
    // for antialiasing: its frame's outer half may reach one pixel beyond the box.
    TestFigure f;
    GL::RenderCallback scene;
    std::unique_ptr<GL::RenderObject> view(GL::RenderObject::createRenderObject(&scene, 200, 200));
    view->makeCurrent();
    const QTransform toDevice = QTransform::fromScale(1.0 / PIXEL_MM, 1.0 / PIXEL_MM);
    GFigure2::SpriteCache::Sprite sprite;
    ASSERT_TRUE(GFigure2::SpriteCache::shared().getSprite(f.label, toDevice, QRect(0, 0, 200, 200), &sprite));
    const QRect box = toPixels(f.label.getBoxRect(), PIXEL_MM);
    EXPECT_TRUE(box.adjusted(-1, -1, 1, 1).contains(sprite.rect))
        << sprite.rect.x() << "," << sprite.rect.y();
    EXPECT_TRUE(sprite.rect.contains(box.adjusted(1, 1, -1, -1)));
    // Its white box is opaque, so the sprite is copied rather than blended; a translucent one
    // is not.
    EXPECT_TRUE(sprite.opaque);
    f.label.setBackground(FillStyle { FillStyle::SOLID, Color(255, 255, 255, 128) });
    ASSERT_TRUE(GFigure2::SpriteCache::shared().getSprite(f.label, toDevice, QRect(0, 0, 200, 200), &sprite));
    EXPECT_FALSE(sprite.opaque);

    // A label that paints nothing at all has no sprite.
    Label empty;
    empty.setMargin(0.0);
    EXPECT_FALSE(GFigure2::SpriteCache::shared().getSprite(empty, toDevice, QRect(0, 0, 200, 200), &sprite));
    GFigure2::SpriteCache::shared().endRepaint();
}

TEST(CachedFigurePainter, LabelsBeyondTheAtlasStillLookAsPaintedAfresh)
{
    // Twelve boxes nearly as large as the view, each on top of the one before: four fill the
    // atlas, the others get textures of their own, and after the repaint the atlas starts over.
    Figure figure;
    figure.setBackground(FillStyle::null);
    std::vector<std::unique_ptr<Label>> labels;
    for (int i = 0; i < 12; ++i) {
        labels.push_back(std::make_unique<Label>());
        labels.back()->setText(QStringLiteral("Box %1").arg(i));
        labels.back()->setMargin(110.0);
        labels.back()->setBackground(
            FillStyle { FillStyle::SOLID, Color(uint8_t(20 * i), 100, uint8_t(240 - 20 * i)) });
        labels.back()->setPosition(QPointF(4.0 * i, 3.0 * i));
        figure.getRoot().add(labels.back().get());
    }
    const QImage fresh = paint(figure, 1000, PIXEL_MM);
    EXPECT_EQ(differingPixels(paint(figure, 1000, PIXEL_MM, true), fresh), 0);
    EXPECT_EQ(differingPixels(paint(figure, 1000, PIXEL_MM, true), fresh), 0);
}

} // namespace
