// Snapshots on a real view: the high-resolution repaint's scaling and size and their restore
// (also after a failing repaint or a size the driver cannot hold), the low-resolution cases,
// and the picture itself: lines, points, crosses and labels N times larger in pixels.
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/fig2/vaq_fig2_calculator.h"
#include "gcad/host/fig2/vaq_fig2_snapshot_data.h"
#include "gcad/host/fig2/vaq_fig2_snapshot_frame.h"
#include "gcad/host/gapp/vaq_gapp_main_window.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"
#include "gcad/mesh/gcad_gl_node_container.h"
#include "tests/overlay/overlay_view.h"
#include "tests/support/gcad_gl_test.h"
#include "tests/support/prog_error_message.h"

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>

using namespace Vaq;
using CAD::ElementCreator;
using Vaq::Test::QuadRenderer;

namespace {

// The first element of a document is the framed picture of the view.
const QImage &pictureOf(const Fig2::SnapshotData &snapshot)
{
    const Fig2::Element *first = snapshot.getFigure().getRoot().getChildren().front();
    EXPECT_EQ(first->getType(), Fig2::Element::T_SNAPSHOT_FRAME);
    return static_cast<const Fig2::SnapshotFrame *>(first)->getImage();
}

// Puts the process-wide snapshot settings back after each test.
void resetSnapshotSettings()
{
    GL::WidgetOptions *options = GL::WidgetOptions::getInstance();
    options->setOffscreenRenderingSetting(0);
    options->setSnapshotSizeSetting(0);
    unsetenv("VAQ_GL_MEMORY_MB");
    options->updateWidgetOptions();
    GCAD::RenderCallback::setMaxSnapshotSize(2048);
}

class SnapshotRepaint : public Vaq::Test::GLTest
{
protected:
    // What the view looked like while an element was drawn.
    struct Seen
    {
        double scaling = 0.0, pixelSize = 0.0, overlayPixelSize = 0.0;
        int width = 0, height = 0;
        GL::UpdateOptions::UpdateTemplate_t templ = GL::UpdateOptions::UT_DEFAULT;
    };

    void SetUp() override
    {
        Vaq::Test::GLTest::SetUp();
        scene.getRendererContainer().freeAll();
        renderer = new QuadRenderer(&scene, { ElementCreator::POINT_CLOUD });
        scene.getRendererContainer().registerRenderer(renderer);
        element.reset(Vaq::Test::makeElement(ElementCreator::POINT_CLOUD, QStringLiteral("a"), 0, 0, 10, 10));
        scene.show(element.get());
        view->resize(400, 300);
        GL::WidgetOptions::getInstance()->setSnapshotSizeSetting(2048);
        renderer->onStep = [this](QuadRenderer &) {
            seen.push_back(
                { scene.getSnapshotScaling(), scene.getPixelSize(), scene.getOverlay2d()->getPixelSize(),
                    view->width(), view->height(), view->getUpdateOptions().getTemplate() });
            if (failNext) {
                failNext = false;
                throw std::runtime_error("repaint failed");
            }
        };
    }
    void TearDown() override
    {
        resetSnapshotSettings();
        Vaq::Test::GLTest::TearDown();
    }
    // The view as it is between repaints must be the one the snapshot started from.
    void expectRestored(double overlayPixelSize)
    {
        EXPECT_EQ(scene.getSnapshotScaling(), 1.0);
        EXPECT_EQ(view->width(), 400);
        EXPECT_EQ(view->height(), 300);
        EXPECT_DOUBLE_EQ(scene.getPixelSize(), view->getScale() / 300.0);
        EXPECT_EQ(scene.getOverlay2d()->getPixelSize(), overlayPixelSize);
        EXPECT_FALSE(GApp::MainWindow::getInstance()->isDrawingLocked());
    }

    QuadRenderer *renderer = nullptr;
    std::unique_ptr<CAD::Element> element;
    std::vector<Seen> seen;
    bool failNext = false;
};

TEST_F(SnapshotRepaint, RendersTheLongerSideAtTheSnapshotSizeWithPixelSizesScaledAndRestoresTheView)
{
    const double screenMM = Fig2::Calculator::getInstance()->getScreenPixelSizeMM();
    const double overlayPixelSize = scene.getOverlay2d()->getPixelSize();
    view->repaintWidget();
    const QImage before = view->getRenderedImage();
    seen.clear();
    bool ok = false;
    const std::unique_ptr<Fig2::SnapshotData> snapshot = scene.createSnapshot(&ok);
    EXPECT_TRUE(ok);
    // 2048 / 400 = 5.12 (smaller than 2048 / 300): 2048 x 1536 pixels, each 5.12 times smaller
    // in the model and in the figure than the view's own. Each band sees the whole view.
    ASSERT_EQ(seen.size(), size_t(GCAD::RenderCallback::SNAPSHOT_BANDS));
    for (const Seen &band : seen) {
        EXPECT_DOUBLE_EQ(band.scaling, 5.12);
        EXPECT_EQ(band.width, 2048);
        EXPECT_EQ(band.height, 1536);
        EXPECT_DOUBLE_EQ(band.pixelSize, view->getScale() / 1536.0 / 5.12);
        EXPECT_DOUBLE_EQ(band.overlayPixelSize, screenMM / 5.12);
        EXPECT_EQ(band.templ, GL::UpdateOptions::UT_SNAPSHOT);
    }
    expectRestored(overlayPixelSize);
    // ...then the view is drawn again as it was, before it is picked from or read.
    EXPECT_TRUE(view->isRepaintScheduled());
    const BaVec3d<double> centre = view->get3d2dTransformation().transform(BaVec3d<double>(5, 5, 0));
    EXPECT_EQ(scene.getNearestRenderedElement(BaVec2d<double>(centre.x, centre.y), false), element.get());
    ASSERT_EQ(seen.size(), GCAD::RenderCallback::SNAPSHOT_BANDS + 1u);
    EXPECT_EQ(seen.back().scaling, 1.0);
    EXPECT_EQ(seen.back().width, 400);
    EXPECT_EQ(seen.back().templ, GL::UpdateOptions::UT_KEEP_GPU_DATA);
    EXPECT_EQ(view->getRenderedImage(), before);
    EXPECT_EQ(seen.size(), GCAD::RenderCallback::SNAPSHOT_BANDS + 1u);

    // The document is the view's size on screen, its picture the sharp one.
    EXPECT_DOUBLE_EQ(snapshot->getFigure().getSize().width(), 400 * screenMM);
    EXPECT_DOUBLE_EQ(snapshot->getFigure().getSize().height(), 300 * screenMM);
    EXPECT_EQ(pictureOf(*snapshot).size(), QSize(2048, 1536));

    // The application may allow more than 2048; the options' size still caps it.
    GCAD::RenderCallback::setMaxSnapshotSize(4096);
    GL::WidgetOptions::getInstance()->setSnapshotSizeSetting(1000);
    seen.clear();
    EXPECT_EQ(pictureOf(*scene.createSnapshot(&ok)).size(), QSize(1000, 750));
    EXPECT_DOUBLE_EQ(seen[0].scaling, 2.5);
}

TEST_F(SnapshotRepaint, WithoutOffscreenRenderingOrEnoughGraphicsMemoryTheViewIsTakenAsItIs)
{
    const auto expectPlain = [this] {
        seen.clear();
        bool ok = false;
        const std::unique_ptr<Fig2::SnapshotData> snapshot = scene.createSnapshot(&ok);
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].scaling, 1.0);
        EXPECT_EQ(seen[0].width, 400);
        EXPECT_EQ(seen[0].height, 300);
        EXPECT_EQ(seen[0].templ, GL::UpdateOptions::UT_SNAPSHOT);
        EXPECT_EQ(pictureOf(*snapshot).size(), QSize(400, 300));
    };
    GL::WidgetOptions::getInstance()->setOffscreenRenderingSetting(1);
    expectPlain();
    GL::WidgetOptions::getInstance()->setOffscreenRenderingSetting(0);
    setenv("VAQ_GL_MEMORY_MB", "127", 1);
    GL::WidgetOptions::getInstance()->updateWidgetOptions();
    if (GL::WidgetOptions::getInstance()->getCurrentWidgetOptions().memoryMB != 127)
        GTEST_SKIP() << "the driver tells its graphics memory";
    expectPlain();
}

TEST_F(SnapshotRepaint, AFailingRepaintOrASizeTheDriverCannotHoldLeavesTheViewAsItWas)
{
    const double overlayPixelSize = scene.getOverlay2d()->getPixelSize();
    failNext = true;
    bool ok = false;
    EXPECT_THROW(scene.createSnapshot(&ok), std::runtime_error);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].width, 2048);
    expectRestored(overlayPixelSize);
    // The callback stopped half way: the view is drawn again before it is next read.
    EXPECT_TRUE(view->isRepaintScheduled());
    EXPECT_EQ(view->getRenderedImage().size(), QSize(400, 300));
    EXPECT_EQ(seen.size(), 2u);

    // Far beyond any driver's frame buffer: the resize fails before anything is drawn.
    GCAD::RenderCallback::setMaxSnapshotSize(1 << 20);
    GL::WidgetOptions::getInstance()->setSnapshotSizeSetting(1 << 20);
    seen.clear();
    const std::string message = Vaq::Test::progErrorMessage([&] { scene.createSnapshot(&ok); });
    EXPECT_NE(message.find("view size 1048576 x 786432 outside"), std::string::npos) << message;
    EXPECT_TRUE(seen.empty());
    expectRestored(overlayPixelSize);
    // The view still draws at its own size.
    view->repaintWidget();
    EXPECT_EQ(view->getRenderedImage().size(), QSize(400, 300));
}

TEST_F(SnapshotRepaint, ADocumentOfAnImageFramesItConvertedAndItsTokenNamesNoOther)
{
    QImage picture(4, 2, QImage::Format_RGBA8888);
    picture.fill(QColor(10, 20, 30));
    const Fig2::ImageData image(picture);
    const std::unique_ptr<Fig2::SnapshotData> inverted = GCAD::RenderCallback::createSnapshotFromImage(
        &image, BaVec2d<double>(40.0, 20.0), GView::CV_INVERT);
    EXPECT_EQ(inverted->getFigure().getSize(), QSizeF(40.0, 20.0));
    EXPECT_TRUE(inverted->getFigure().getBackground().isVisible());
    const Fig2::Element *frame = inverted->getFigure().getRoot().getChildren().front();
    EXPECT_EQ(frame->getCoveredRect(), QRectF(0.0, 0.0, 40.0, 20.0));
    EXPECT_EQ(pictureOf(*inverted).pixelColor(1, 1), QColor(245, 235, 225));
    // A conversion out of range is the default one: the picture as it is.
    const auto unknown = GCAD::RenderCallback::createSnapshotFromImage(
        &image, BaVec2d<double>(40.0, 20.0), GView::Convert_t(9));
    EXPECT_EQ(pictureOf(*unknown).pixelColor(1, 1), QColor(10, 20, 30));

    const GCAD::SingleImageTokenInterface tokens(GCAD::RenderCallback::SNAPSHOT_IMAGE_TOKEN, &image);
    EXPECT_EQ(tokens.getImage(QStringLiteral("Vaq_Zeltor_SnapshotImageToken")), &image);
    EXPECT_EQ(
        Vaq::Test::progErrorMessage([&] { tokens.getImage(QStringLiteral("other")); }), "Unhandled token");
}

// The picture of a high-resolution snapshot against the view's own, on the overlay's scene.
class SnapshotPicture : public Vaq::Test::OverlayView
{
protected:
    static constexpr int VW = 400, VH = 300;
    static constexpr double N = 5.12; // 2048 / 400

    void SetUp() override
    {
        Vaq::Test::OverlayView::SetUp();
        view->resize(VW, VH);
        GL::WidgetOptions::getInstance()->setSnapshotSizeSetting(2048);
    }
    void TearDown() override
    {
        resetSnapshotSettings();
        Vaq::Test::OverlayView::TearDown();
    }
    // The image pixel of a model point in a picture `scale` times the view's size.
    QPoint pixelAt(const BaVec3d<double> &point, double scale) const
    {
        const BaVec3d<double> p = view->get3d2dTransformation().transform(point);
        return QPoint(int(p.x * scale), int((VH - p.y) * scale));
    }
    // Label pixels are grey (white box, black text and frame); the scene's are not.
    static bool isGrey(const QColor &c)
    {
        return std::abs(c.red() - c.green()) < 30 && std::abs(c.green() - c.blue()) < 30;
    }
    // How many pixels in a row, through p along the x or y axis, the red elements drew (the
    // background has little red).
    static int drawnRun(const QImage &image, QPoint p, bool alongX)
    {
        const QPoint step = alongX ? QPoint(1, 0) : QPoint(0, 1);
        const auto drawn = [&](const QPoint &q) {
            return image.rect().contains(q) && image.pixelColor(q).red() > 128
                && !isGrey(image.pixelColor(q));
        };
        if (!drawn(p))
            return 0;
        int count = 1;
        for (QPoint q = p + step; drawn(q); q += step)
            ++count;
        for (QPoint q = p - step; drawn(q); q -= step)
            ++count;
        return count;
    }
    // The bounding box of the label's pixels, inside the document's frame.
    static QRect labelBox(const QImage &image)
    {
        QRect box;
        for (int y = 2; y < image.height() - 2; ++y) {
            for (int x = 2; x < image.width() - 2; ++x) {
                if (isGrey(image.pixelColor(x, y)))
                    box |= QRect(x, y, 1, 1);
            }
        }
        return box;
    }
};

TEST_F(SnapshotPicture, LinesPointsCrossesAndLabelsAreNTimesLargerInPixels)
{
    // A 4-pixel point, a normal of 30 pixels drawn 2 pixels wide, and a 20-pixel cross.
    const BaVec3d<double> a(2, 3, 0), b(8, 3, 0), c(4, 3, 0);
    const Color red(255, 0, 0);
    CAD::PointsBase *points = addPoints({ a });
    points->setColors({ red });
    points->getElemProperties()->pointSize = 4.0;
    CAD::PointsBase *normals = addPoints({ c });
    normals->setColors({ red });
    CAD::ElemProp &p = *normals->getElemProperties();
    p.displayMode = 3; // the normal alone
    p.showNormals = true;
    p.normalLength = 30.0;
    p.needleLineWidth = 2.0;
    normals->setNormals({ BaVec3d<float>(1, 0, 0) });
    CAD::PointsBase *crossed = addPoints({ b });
    crossed->setColors({ red });
    crossed->getElemProperties()->displayMode = 2;
    crossed->getElemProperties()->crossSize = 20.0;
    addLabelled(QStringLiteral("Deviation 0.25"), BaVec3d<double>(5, 8, 0), BaVec3d<double>(0, 0, 0))
        ->setColors({ red });

    paint();
    const QImage plain = image;
    bool ok = false;
    const std::unique_ptr<Fig2::SnapshotData> snapshot = scene.createSnapshot(&ok);
    ASSERT_TRUE(ok);
    const QImage &sharp = pictureOf(*snapshot);
    ASSERT_EQ(sharp.size(), QSize(2048, 1536));

    // Each size in the view and in the snapshot against its nominal size in view pixels;
    // rasterising and the lines' smoothing add up to a pixel.
    const auto expectScaled = [](double nominal, int inView, int inSnapshot, const char *what) {
        EXPECT_NEAR(inView, nominal, 1.0) << what;
        EXPECT_NEAR(inSnapshot, N * nominal, 1.5) << what << ": " << inView << " -> " << inSnapshot;
    };
    // Line width: the normal's thickness half way along it.
    const BaVec3d<double> normalMiddle = c + BaVec3d<double>(0.5, 0, 0);
    expectScaled(2.0, drawnRun(plain, pixelAt(normalMiddle, 1.0), false),
        drawnRun(sharp, pixelAt(normalMiddle, N), false), "line width");
    expectScaled(
        4.0, drawnRun(plain, pixelAt(a, 1.0), false), drawnRun(sharp, pixelAt(a, N), false), "point size");
    expectScaled(
        20.0, drawnRun(plain, pixelAt(b, 1.0), true), drawnRun(sharp, pixelAt(b, N), true), "cross size");

    // The label is no part of the picture; the document paints it on top, as large as the
    // view's label times N.
    EXPECT_TRUE(labelBox(sharp).isEmpty());
    const QRect inView = labelBox(plain);
    const QRect inDocument = labelBox(snapshot->toImage());
    ASSERT_FALSE(inView.isEmpty());
    // The view rounds the box's edges to its coarser pixels.
    EXPECT_NEAR(inDocument.height(), N * inView.height(), 0.05 * N * inView.height());
    EXPECT_NEAR(inDocument.width(), N * inView.width(), 0.05 * N * inView.width());
    EXPECT_NEAR(inDocument.left(), N * inView.left(), 2.0 * N);
}

TEST_F(SnapshotPicture, DrawnInBandsThePictureEqualsTheOneDrawnWhole)
{
    // Seen from an angle: a lit, wavy mesh with its edges and wide points over the whole view,
    // in leaves small enough for a band to skip some; a diagonal of wide points and a long, wide normal
    // across the band edges; a cross, the corner axes with their names, and a label.
    GCAD::GLNodeContainer nodes;
    std::vector<BaVec3d<double>> vertices;
    constexpr unsigned COLUMNS = 61, ROWS = 41;
    for (unsigned i = 0; i < ROWS; ++i)
        for (unsigned j = 0; j < COLUMNS; ++j) {
            const double x = 10.0 * j / (COLUMNS - 1), y = 10.0 * i / (ROWS - 1);
            vertices.emplace_back(x, y, 0.6 * std::sin(1.3 * x) * std::cos(0.9 * y));
        }
    std::vector<CAD::Triangle> triangles;
    for (unsigned i = 0; i + 1 < ROWS; ++i)
        for (unsigned j = 0; j + 1 < COLUMNS; ++j) {
            const uint32_t k = i * COLUMNS + j;
            triangles.push_back({ k, k + 1, k + 1 + COLUMNS });
            triangles.push_back({ k, k + 1 + COLUMNS, k + COLUMNS });
        }
    auto mesh = std::make_unique<CAD::PolyBase>(ElementCreator::MESH, QStringLiteral("wave"));
    mesh->setMesh(std::move(vertices), std::move(triangles));
    mesh->computeNormals();
    mesh->needsNoBoundary(true);
    mesh->setMaxLeafVertices(64);
    mesh->getElemProperties()->showEdges = true;
    mesh->getElemProperties()->showPoints = true;
    mesh->getElemProperties()->pointSize = 9.0;
    mesh->updateVisualization(Vaq::Test::STAGE, false, false);
    scene.show(mesh.get(), Vaq::Test::STAGE);
    const Color red(255, 0, 0);
    std::vector<BaVec3d<double>> diagonal;
    for (int i = 0; i <= 40; ++i)
        diagonal.emplace_back(0.25 * i, 0.25 * i, 1.0);
    CAD::PointsBase *points = addPoints(diagonal);
    points->setColors(std::vector<Color>(diagonal.size(), red));
    points->getElemProperties()->pointSize = 9.0;
    CAD::PointsBase *normals = addPoints({ { 8.0, 1.0, 1.0 } });
    normals->getElemProperties()->displayMode = 3;
    normals->getElemProperties()->showNormals = true;
    normals->getElemProperties()->normalLength = 200.0;
    normals->getElemProperties()->needleLineWidth = 3.0;
    normals->setNormals({ BaVec3d<float>(0.3f, 1.0f, 0.0f) });
    CAD::PointsBase *crossed = addPoints({ { 3.0, 5.0, 1.0 } });
    crossed->getElemProperties()->displayMode = 2;
    crossed->getElemProperties()->crossSize = 40.0;
    addLabelled(QStringLiteral("Deviation 0.25"), BaVec3d<double>(5, 8, 0), BaVec3d<double>(1, 1, 0));
    GCAD::RenderCallback::setCoordinateAxisDrawingEnabled(true);
    GCAD::RenderCallback::setCoordinateAxisDrawingMode(GCAD::RenderCallback::CSM_VIEW_CORNER);
    lookFrom(GL::ViewCreator::VD_XP_YP_ZP);

    const auto picture = [this](int bands) {
        view->resizeForSnapshot(4 * VW, 4 * VH, bands);
        view->repaintWidget(GL::UpdateOptions(GL::UpdateOptions::US_ALL, GL::UpdateOptions::UT_SNAPSHOT));
        return view->getRenderedImage();
    };
    const QImage whole = picture(1);
    ASSERT_EQ(whole.size(), QSize(4 * VW, 4 * VH));
    // Four bands of 300 rows, seven of 172 with a last one of 168. Every primitive lands
    // where it does in the whole picture; only the rasteriser's interpolation of smoothly
    // shaded colours, worked out from the buffer's origin in floating point, may round a
    // channel of a few scattered pixels of the upper bands the other way.
    for (const int bands : { 4, 7 }) {
        const QImage banded = picture(bands);
        ASSERT_EQ(banded.size(), whole.size());
        const uchar *a = whole.constBits(), *b = banded.constBits();
        qsizetype differing = 0, farOff = 0;
        for (qsizetype i = 0; i < whole.sizeInBytes(); ++i) {
            differing += a[i] != b[i];
            farOff += std::abs(a[i] - b[i]) > 1;
        }
        EXPECT_EQ(farOff, 0) << bands << " bands";
        EXPECT_LT(differing, whole.width() * whole.height() / 10000) << bands << " bands";
    }
    view->resizeForSnapshot(VW, VH);
    GCAD::RenderCallback::setCoordinateAxisDrawingEnabled(false);
    GCAD::RenderCallback::setCoordinateAxisDrawingMode(GCAD::RenderCallback::CSM_ORIGIN);
    scene.entries.clear();
    nodes.deleteAllNodes();
}

} // namespace
