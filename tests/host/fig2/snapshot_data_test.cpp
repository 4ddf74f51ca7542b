#include "gcad/host/fig2/vaq_fig2_global_legend.h"
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"
#include "gcad/host/fig2/vaq_fig2_line.h"
#include "gcad/host/fig2/vaq_fig2_snapshot_data.h"
#include "gcad/host/fig2/vaq_fig2_snapshot_frame.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

using namespace Vaq;
using namespace Vaq::Fig2;

namespace {

// A label kind without a copy of its own.
class PlainBox : public LabelBase
{
public:
    QRectF getBoxRect() const override { return QRectF(0, 0, 1, 1); }
    void move(double, double) override { }

protected:
    void paintContent(QPainter &) const override { }
};

class Tokens : public FigureTokenInterface
{
public:
    const ImageData *getImage(const QString &token) const override
    {
        return token == QLatin1String("view") ? &image : nullptr;
    }
    ImageData image;
};

// A 40 x 20 mm document of a 40 x 20 pixel picture, red left half and blue right half.
std::unique_ptr<SnapshotData> redBlueDocument()
{
    QImage picture(40, 20, QImage::Format_RGBA8888);
    picture.fill(QColor(255, 0, 0));
    for (int y = 0; y < 20; ++y)
        for (int x = 20; x < 40; ++x)
            picture.setPixelColor(x, y, QColor(0, 0, 255));
    Tokens tokens;
    tokens.image = ImageData(picture);
    auto frame = std::make_unique<SnapshotFrame>();
    frame->setToken(QStringLiteral("view"));
    frame->setTokenInterface(&tokens);
    frame->setPosition(QPointF(20.0, 10.0));
    frame->setSize(QSizeF(40.0, 20.0));
    frame->setFrameStyle(LineStyle::null);
    frame->update();
    frame->setTokenInterface(nullptr);
    auto figure = std::make_unique<Figure>();
    figure->setSize(QSizeF(40.0, 20.0));
    figure->getRoot().add(std::move(frame));
    return std::make_unique<SnapshotData>(std::move(figure), allElements);
}

TEST(FigSnapshotData, MergedElementsAreCopiesMovedByTheOffsetThatOutliveTheirFigure)
{
    SnapshotData snapshot(std::make_unique<Figure>(), allElements);
    QRectF labelBox;
    {
        Figure overlay;
        auto label = std::make_unique<Label>();
        label->setText(QStringLiteral("P1 0.25"));
        label->setPosition(QPointF(5.0, 6.0));
        labelBox = label->getBoxRect();
        overlay.getRoot().add(std::move(label));
        overlay.getRoot().add(std::make_unique<Line>(QPointF(1, 1), QPointF(3, 1), LineStyle()));
        auto hidden = std::make_unique<Line>(QPointF(0, 0), QPointF(9, 9), LineStyle());
        hidden->setTemporarilyInvisible(true);
        overlay.getRoot().add(std::move(hidden));
        overlay.getRoot().add(std::make_unique<PlainBox>());
        auto group = std::make_unique<Group>();
        group->add(std::make_unique<Line>(QPointF(2, 2), QPointF(2, 4), LineStyle()));
        overlay.getRoot().add(std::move(group));
        // Lines only: the label and the group are filtered out.
        snapshot.merge(
            overlay, QPointF(10.0, 20.0), [](const Element &e) { return e.getType() == Element::T_LINE; });
        snapshot.merge(
            overlay, QPointF(10.0, 20.0), [](const Element &e) { return e.getType() != Element::T_LINE; });
    }
    // The visible line, then the label and the group; the hidden line and the box without a
    // copy of its own are left out.
    const std::vector<Element *> &children = snapshot.getFigure().getRoot().getChildren();
    ASSERT_EQ(children.size(), 3u);
    const auto *line = static_cast<const Line *>(children[0]);
    EXPECT_EQ(line->getP1(), QPointF(11.0, 21.0));
    EXPECT_EQ(line->getP2(), QPointF(13.0, 21.0));
    ASSERT_EQ(children[1]->getType(), Element::T_LABEL);
    const auto *label = static_cast<const Label *>(children[1]);
    EXPECT_EQ(label->getText(), QStringLiteral("P1 0.25"));
    // The copy lays its text out like the original: the same box, moved.
    EXPECT_EQ(label->getBoxRect(), labelBox.translated(10.0, 20.0));
    ASSERT_EQ(children[2]->getType(), Element::T_GROUP);
    EXPECT_EQ(children[2]->getCoveredRect(), QRectF(12, 22, 0, 2));
}

TEST(FigSnapshotData, CopyOfTheGlobalLegendKeepsTheScaleItShowsNow)
{
    Legend2::ColorMap &map = Legend2::LegendHandler::getInstance()->getColorMap();
    const std::vector<Color> oldColors = map.getColors();
    map.setColors({ { 0, 0, 0 }, { 255, 255, 255 } });
    map.setDataRange(-2.0, 3.0);
    GLegend2::GlobalLegend *legend = GLegend2::GlobalLegend::getInstance();
    legend->update();
    const std::unique_ptr<Element> copy = legend->clone();
    map.setColors(oldColors);
    map.setDataRange(-1.0, 1.0);
    legend->update();

    ASSERT_NE(copy, nullptr);
    const auto *kept = static_cast<const Legend *>(copy.get());
    EXPECT_EQ(kept->getMinimum(), -2.0);
    EXPECT_EQ(kept->getMaximum(), 3.0);
    EXPECT_EQ(kept->getColors().size(), 2u);
    EXPECT_EQ(kept->getRect(), legend->getRect());
    ASSERT_FALSE(kept->getTicks().empty());
    EXPECT_EQ(kept->getTicks().front()->getText(), "-2");
}

TEST(FigImageConversion, ConvertsAndMapsOntoTheRangeAndLeavesColourUncopied)
{
    QImage image(2, 1, QImage::Format_RGBA8888);
    image.setPixelColor(0, 0, QColor(200, 100, 0));
    image.setPixelColor(1, 0, QColor(0, 0, 255));
    // Colour over the whole range shares the pixels.
    EXPECT_EQ(ImageConversion(GView::CV_COLOR, 0, 255).apply(image).constBits(), image.constBits());
    // An unknown type is the default (colour).
    EXPECT_EQ(ImageConversion(17, 0, 255).getType(), GView::CV_COLOR);

    const QImage inverted = ImageConversion(GView::CV_INVERT, 0, 255).apply(image);
    EXPECT_EQ(inverted.pixelColor(0, 0), QColor(55, 155, 255));
    // Grey of (200, 100, 0) = (200 * 11 + 100 * 16) / 32 = 118, then 0..255 onto 0..100: 46.
    const QImage gray = ImageConversion(GView::CV_GRAY, 0, 100).apply(image);
    EXPECT_EQ(gray.pixelColor(0, 0), QColor(46, 46, 46));
    const QImage blackWhite = ImageConversion(GView::CV_BLACK_WHITE, 0, 255).apply(image);
    EXPECT_EQ(blackWhite.pixelColor(0, 0), QColor(0, 0, 0));
    // The colour of the upper-left pixel is the background.
    const QImage white = ImageConversion(GView::CV_BACKGROUND_WHITE, 0, 255).apply(image);
    EXPECT_EQ(white.pixelColor(0, 0), QColor(255, 255, 255));
    EXPECT_EQ(white.pixelColor(1, 0), QColor(0, 0, 255));
}

TEST(FigSnapshotData, PaintsThePictureAtItsOwnResolutionWithTextsOnTop)
{
    std::unique_ptr<SnapshotData> document = redBlueDocument();
    EXPECT_DOUBLE_EQ(document->getPictureResolution(), 1.0);
    Figure texts;
    texts.getRoot().add(std::make_unique<Line>(
        QPointF(0.0, 15.5), QPointF(40.0, 15.5), LineStyle { LineStyle::SOLID, Color(0, 255, 0), 1.0 }));
    document->merge(texts, QPointF(0.0, 0.0), allElements);

    const QImage image = document->toImage();
    ASSERT_EQ(image.size(), QSize(40, 20));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(35, 5), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(10, 15), QColor(0, 255, 0));
}

TEST(FigSnapshotData, WritesPngAndPdfWholeOrNotAtAll)
{
    QTemporaryDir dir;
    std::unique_ptr<SnapshotData> document = redBlueDocument();
    Figure texts;
    auto label = std::make_unique<Label>();
    label->setText(QStringLiteral("Deviation"));
    texts.getRoot().add(std::move(label));
    document->merge(texts, QPointF(2.0, 2.0), allElements);

    QString error;
    const QString png = dir.filePath(QStringLiteral("view.png"));
    ASSERT_TRUE(document->writePng(png, &error)) << error.toStdString();
    EXPECT_EQ(QImage(png).size(), QSize(40, 20));

    const QString pdf = dir.filePath(QStringLiteral("view.pdf"));
    ASSERT_TRUE(document->writePdf(pdf, &error)) << error.toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    // The text is text (an embedded font), the picture an image.
    EXPECT_TRUE(bytes.contains("/FontFile")) << "no embedded font";
    EXPECT_TRUE(bytes.contains("/Subtype /Image"));

    // A folder that does not exist: a reason, and no file of either kind.
    const QString missing = dir.filePath(QStringLiteral("missing/view.png"));
    error.clear();
    EXPECT_FALSE(document->writePng(missing, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(document->writePdf(dir.filePath(QStringLiteral("missing/view.pdf")), &error));
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("missing"))).exists());
}

} // namespace
