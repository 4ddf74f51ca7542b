#include "tests/host/gl/quad_scene.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/gl/vaq_gl_extensions.h"

#include "tests/support/prog_error_message.h"

#include <QCoreApplication>
#include <QFont>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace GL = Vaq::GL;
using Vaq::BaVec3d;
using Vaq::Color;
using Vaq::Test::progErrorMessage;
using Vaq::Test::QuadScene;

namespace {

constexpr int W = 40, H = 30;

// A view on a QuadScene where one model unit is one pixel.
struct View
{
    View() { view->setScale(H); }
    QuadScene scene { W, H };
    std::unique_ptr<GL::RenderObject> view { GL::RenderObject::createRenderObject(&scene, W, H) };
};

QStringList expectedLog(int stage1Draws)
{
    QStringList log { "init" };
    for (int stage = 0; stage <= 5; ++stage) {
        log << QStringLiteral("pre%1").arg(stage);
        const int draws = stage == 1 ? stage1Draws : 1;
        for (int i = 0; i < draws; ++i)
            log << QStringLiteral("draw%1").arg(stage);
        log << QStringLiteral("post%1").arg(stage);
    }
    return log;
}

// An overlay repaint: the overlay stages 3 to 5 on the kept scene, one step each.
QStringList overlayLog(int stage3Draws = 1)
{
    QStringList log;
    for (int stage = 3; stage <= 5; ++stage) {
        log << QStringLiteral("pre%1").arg(stage);
        for (int i = 0; i < (stage == 3 ? stage3Draws : 1); ++i)
            log << QStringLiteral("draw%1").arg(stage);
        log << QStringLiteral("post%1").arg(stage);
    }
    return log;
}

TEST(RenderObject, RepaintRunsStagesInOrderPassesEventsOnAndMapsTheSceneCornerToTheWindowCorner)
{
    View v;
    v.scene.quads = { { 0, 0, 5, 5, Color(255, 0, 0), nullptr }, { 5, 5, 9, 9, Color(0, 255, 0), nullptr },
        { 9, 9, 12, 12, Color(0, 0, 255), nullptr } };
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&v] { v.scene.log << "event"; }, Qt::QueuedConnection);
    v.view->repaintWidget(GL::UpdateOptions(1, 1));
    // Queued before the repaint, the event runs after the first draw step that was not the last.
    const qsizetype event = v.scene.log.indexOf("event");
    ASSERT_GE(event, 0);
    EXPECT_EQ(v.scene.log[event - 1], "draw1");
    EXPECT_LT(event, v.scene.log.indexOf("post1"));
    v.scene.log.removeAt(event);
    // Three quads take three steps that return false, then the step that returns true.
    EXPECT_EQ(v.scene.log, expectedLog(4));
    EXPECT_FALSE(v.view->isRepainting());

    // One unit per pixel, the scene box centred: its corner at z 0 is the window's
    // lower-left corner at mid depth.
    const BaVec3d<double> corner = v.view->get3d2dTransformation().transform({ 0, 0, 0 });
    EXPECT_NEAR((corner - BaVec3d<double>(0.0, 0.0, 0.5)).length(), 0.0, 1e-9);
    // The inverse follows a changed view.
    v.view->setRotation({ 0.3, -0.7, 1.1 });
    const BaVec3d<double> p(7.0, 11.0, -0.5), window = v.view->get3d2dTransformation().transform(p);
    EXPECT_NEAR((v.view->getInverse3d2dTransformation().transform(window) - p).length(), 0.0, 1e-9);
}

// In its first repaint asks for an overlay repaint in the 3-D overlay stage, and aborts the
// repaint at the first step of render stage abortStage (none: -1).
class RepaintingScene : public QuadScene
{
public:
    using QuadScene::QuadScene;
    int repaints = 0; // counted at the 3-D overlay stage, which every repaint runs
    int abortStage = -1;
    void preDraw() override
    {
        QuadScene::preDraw();
        repaints += getRenderStage() == GL::RenderObject::RS_OVERLAY3D;
    }
    bool draw() override
    {
        if (getRenderStage() == GL::RenderObject::RS_OVERLAY3D && repaints == 1)
            getRenderObject()->repaintWidget(GL::UpdateOptions(2, 0));
        if (getRenderStage() == abortStage && repaints == 1)
            getRenderObject()->abortRepaint();
        return QuadScene::draw();
    }
};

TEST(RenderObject, RepaintAskedForWhileRepaintingRunsAfterwardsAlsoWhenTheFirstIsAborted)
{
    RepaintingScene scene(W, H);
    std::unique_ptr<GL::RenderObject> view(GL::RenderObject::createRenderObject(&scene, W, H));
    view->repaintWidget();
    EXPECT_EQ(scene.repaints, 2);
    EXPECT_EQ(scene.log, expectedLog(1) + overlayLog());
    EXPECT_EQ(scene.getUpdateOptions(), GL::UpdateOptions(2, 0));

    // Aborted in the 3-D overlay stage, after the step that asked for the second repaint:
    // no further step, no postDraw, no later stage; the second repaint runs on the scene
    // that was complete.
    RepaintingScene aborted(W, H);
    aborted.abortStage = GL::RenderObject::RS_OVERLAY3D;
    std::unique_ptr<GL::RenderObject> abortedView(GL::RenderObject::createRenderObject(&aborted, W, H));
    abortedView->repaintWidget();
    const QStringList cut = expectedLog(1).mid(0, expectedLog(1).indexOf("draw3") + 1);
    EXPECT_EQ(aborted.log, cut + overlayLog());
    EXPECT_FALSE(abortedView->isRepainting());
    // Outside a repaint it changes nothing.
    abortedView->abortRepaint();
    aborted.log.clear();
    abortedView->repaintWidget();
    EXPECT_EQ(aborted.log, expectedLog(1));
}

TEST(RenderObject, OverlayRepaintStartsFromTheKeptSceneUntilTheViewOrTheSceneChanges)
{
    View v;
    const char bytes[1] = {};
    const auto *element = reinterpret_cast<const Vaq::CAD::Element *>(bytes); // compared, never read
    v.scene.quads = { { 0, 0, 20, 30, Color(255, 0, 0), element } };
    v.scene.overlayQuads = { { 30, 0, 40, 30, Color(0, 255, 0), nullptr } };
    v.view->repaintWidget();
    EXPECT_FALSE(v.view->wasOverlayOnly());

    // The scene's quad turns blue unannounced and the overlay moves left: an overlay repaint
    // shows the kept red quad under the moved overlay, and the old overlay is gone.
    v.scene.quads[0].color = Color(0, 0, 255);
    v.scene.overlayQuads[0].x0 = 0;
    v.scene.overlayQuads[0].x1 = 10;
    v.scene.log.clear();
    v.view->repaintWidget(GL::UpdateOptions(2, 0));
    EXPECT_TRUE(v.view->wasOverlayOnly());
    EXPECT_EQ(v.scene.log, overlayLog(2));
    QImage image = v.view->getRenderedImage();
    EXPECT_EQ(image.pixelColor(5, 10), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(15, 10), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(35, 10), QColor(0, 0, 0));
    // The kept stencil ids still name the quad.
    EXPECT_EQ(v.view->getStencilHandler()->getNearestRenderedElement({ 15.5, 15.5 }), element);

    // Another view of the scene is drawn whole.
    v.view->setScale(H / 2.0);
    v.scene.log.clear();
    v.view->repaintWidget(GL::UpdateOptions(2, 0));
    EXPECT_FALSE(v.view->wasOverlayOnly());
    EXPECT_TRUE(v.scene.log.contains("draw1"));

    // So is a scene said to have changed, and the first overlay repaint after an interactive
    // frame, whose thinned picture is not kept.
    v.view->setScale(H);
    v.view->repaintWidget();
    v.view->invalidateSavedFrame();
    v.view->repaintWidget(GL::UpdateOptions(2, 0));
    EXPECT_FALSE(v.view->wasOverlayOnly());
    EXPECT_EQ(v.view->getRenderedImage().pixelColor(15, 10), QColor(0, 0, 255));
    v.view->repaintWidget(GL::UpdateOptions(2, 0));
    EXPECT_TRUE(v.view->wasOverlayOnly());
    v.view->repaintWidget(GL::UpdateOptions(1, 1));
    v.view->repaintWidget(GL::UpdateOptions(2, 0));
    EXPECT_FALSE(v.view->wasOverlayOnly());
}

TEST(RenderObject, ImageIsTopDownAndTheClippingPlaneKeepsTheSideItsNormalPointsTo)
{
    View v;
    v.view->setBackgroundColor(Color(0, 255, 0));
    v.scene.quads
        = { { 0, 0, 40, 15, Color(255, 0, 0), nullptr }, { 0, 15, 40, 30, Color(0, 0, 255), nullptr } };
    bool ok = true;
    EXPECT_TRUE(v.view->getRenderedImage(&ok).isNull());
    EXPECT_FALSE(ok);
    v.view->repaintWidget();
    QImage image = v.view->getRenderedImage(&ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(image.size(), QSize(W, H));
    // Model y grows upwards, image rows downwards: the blue top quad is in row 0.
    EXPECT_EQ(image.pixelColor(10, 15), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(10, 14), QColor(0, 0, 255));

    v.view->setClippingPlane(Vaq::Plane3d({ 20, 0, 0 }, { 1, 0, 0 }));
    v.view->setUseClippingPlane(true);
    v.view->repaintWidget();
    image = v.view->getRenderedImage();
    EXPECT_EQ(image.pixelColor(10, 10), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(30, 10), QColor(0, 0, 255));
    EXPECT_FALSE(v.view->isVisible({ 10, 10, 0 }));
    v.view->setUseClippingPlane(false);
    v.view->repaintWidget();
    EXPECT_EQ(v.view->getRenderedImage().pixelColor(10, 10), QColor(0, 0, 255));
}

TEST(RenderObject, ASnapshotDrawsIntoItsOwnBufferAndLeavesTheViewsPictureAndIdsAsTheyWere)
{
    View v;
    const char ids[2] = {};
    const auto *left = reinterpret_cast<const Vaq::CAD::Element *>(&ids[0]);
    const auto *whole = reinterpret_cast<const Vaq::CAD::Element *>(&ids[1]);
    const QColor red(255, 0, 0), blue(0, 0, 255);
    v.scene.quads = { { 0, 0, 20, 30, Color(255, 0, 0), left } };
    v.view->repaintWidget();
    QFont font;
    font.setPixelSize(12);
    v.view->renderText({ 24, 10, 0 }, QStringLiteral("W"), font, Color(0, 255, 0));
    const auto greenPixels = [](const QImage &image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y).green() > 128;
        return count;
    };
    const int textPixels = greenPixels(v.view->getRenderedImage());
    ASSERT_GT(textPixels, 0);

    v.view->resizeForSnapshot(2 * W, 2 * H);
    EXPECT_EQ(v.view->width(), 2 * W);
    v.scene.quads = { { 0, 0, 40, 30, Color(0, 0, 255), whole } };
    v.view->repaintWidget(GL::UpdateOptions(0, 3));
    EXPECT_FALSE(v.view->isFramerateAdjustAllowed());
    const QImage image = v.view->getRenderedImage();
    ASSERT_EQ(image.size(), QSize(2 * W, 2 * H));
    EXPECT_EQ(image.pixelColor(70, 10), blue);
    EXPECT_EQ(greenPixels(image), 0); // the view's text is no part of the snapshot
    // Nothing picks from a snapshot's picture.
    EXPECT_EQ(v.view->getStencilHandler()->getNearestRenderedElement({ 70, 10 }), nullptr);

    // Back at its own size the view has its picture, ids and options as they were: the quad
    // drawn before the snapshot, not the snapshot's.
    v.scene.log.clear();
    v.view->resizeForSnapshot(W, H);
    EXPECT_EQ(v.view->width(), W);
    EXPECT_TRUE(v.view->isFramerateAdjustAllowed());
    const QImage own = v.view->getRenderedImage();
    ASSERT_EQ(own.size(), QSize(W, H));
    EXPECT_EQ(own.pixelColor(5, 5), red);
    EXPECT_EQ(own.pixelColor(35, 5), QColor(0, 0, 0));
    EXPECT_EQ(greenPixels(own), textPixels);
    EXPECT_EQ(v.view->getStencilHandler()->getNearestRenderedElement({ 5, 5 }), left);
    EXPECT_EQ(v.view->getStencilHandler()->getNearestRenderedElement({ 35, 5 }), nullptr);
    EXPECT_TRUE(v.scene.log.isEmpty());

    const GL::Capabilities &caps = GL::GLExtensions::getCapabilities();
    const int maxWidth = std::min(caps.maxRenderbufferSize, caps.maxViewportWidth);
    const int maxHeight = std::min(caps.maxRenderbufferSize, caps.maxViewportHeight);
    EXPECT_EQ(QString::fromStdString(progErrorMessage([&] { v.view->resizeForSnapshot(maxWidth + 1, 10); })),
        QStringLiteral("view size %1 x 10 outside 1 x 1 to %2 x %3")
            .arg(maxWidth + 1)
            .arg(maxWidth)
            .arg(maxHeight));
    EXPECT_THROW(v.view->resize(0, 10), Vaq::ProgError);
    EXPECT_EQ(v.view->width(), W);
    EXPECT_EQ(v.view->getRenderedImage().pixelColor(5, 5), red);
}

// A QuadScene that also draws what a band's seams could break, after its quads: a smoothly
// shaded triangle over the whole window, a wide smoothed line, wide points on and next to
// band edges, a cross in window pixels through an orthographic projection (in the overlay
// stage), and texts at rows all over the window.
class SeamScene : public QuadScene
{
public:
    using QuadScene::QuadScene;
    void preDraw() override
    {
        QuadScene::preDraw();
        if (getRenderStage() == GL::RenderObject::RS_LEVEL1)
            drawScene();
        else if (getRenderStage() == GL::RenderObject::RS_OVERLAY3D)
            drawWindowCross();
    }

private:
    void drawScene()
    {
        ::glDisable(GL_LIGHTING);
        ::glBegin(GL_TRIANGLES);
        ::glColor3ub(250, 10, 30);
        ::glVertex3d(0.3, 0.2, 0.5);
        ::glColor3ub(20, 240, 90);
        ::glVertex3d(39.7, 5.1, -0.5);
        ::glColor3ub(60, 30, 220);
        ::glVertex3d(17.3, 29.9, 0.2);
        ::glEnd();
        ::glEnable(GL_LINE_SMOOTH);
        ::glEnable(GL_BLEND);
        ::glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        ::glLineWidth(5.0f);
        ::glColor3ub(255, 255, 0);
        ::glBegin(GL_LINES);
        ::glVertex3d(1.1, 28.7, 0.9);
        ::glVertex3d(38.6, 0.4, 0.9);
        ::glEnd();
        ::glDisable(GL_LINE_SMOOTH);
        ::glDisable(GL_BLEND);
        ::glPointSize(7.0f);
        ::glColor3ub(0, 255, 255);
        ::glBegin(GL_POINTS);
        for (const double y : { 4.5, 7.5, 9.0, 10.0, 15.0, 22.5, 25.5 })
            ::glVertex3d(3.0 + y, y, 0.95);
        ::glEnd();
        ::glLineWidth(1.0f);
        ::glPointSize(1.0f);
        QFont font;
        font.setPixelSize(9);
        for (const double y : { 0.5, 9.9, 10.1, 14.9, 22.4, 29.5 })
            getRenderObject()->renderText({ 30.0, y, 1.0 }, QStringLiteral("Tx"), font, Color(255, 0, 255));
    }
    void drawWindowCross()
    {
        const GL::RenderObject &view = *getRenderObject();
        ::glMatrixMode(GL_PROJECTION);
        ::glPushMatrix();
        ::glLoadIdentity();
        ::glOrtho(0.0, view.width(), 0.0, view.height(), -1.0, 1.0);
        ::glMatrixMode(GL_MODELVIEW);
        ::glPushMatrix();
        ::glLoadIdentity();
        ::glDisable(GL_DEPTH_TEST);
        ::glDisable(GL_LIGHTING);
        ::glColor3ub(255, 128, 0);
        ::glBegin(GL_LINES);
        ::glVertex2d(10.5, 3.5);
        ::glVertex2d(10.5, view.height() - 3.5);
        ::glVertex2d(2.5, view.height() / 2.0 + 0.5);
        ::glVertex2d(view.width() - 2.5, view.height() / 2.0 + 0.5);
        ::glEnd();
        ::glPopMatrix();
        ::glMatrixMode(GL_PROJECTION);
        ::glPopMatrix();
        ::glMatrixMode(GL_MODELVIEW);
        ::glEnable(GL_DEPTH_TEST);
    }
};

TEST(RenderObject, ASnapshotDrawnInBandsEqualsTheWholeOneAndLaysTheOverlayOutOnce)
{
    SeamScene scene(W, H);
    std::unique_ptr<GL::RenderObject> view(GL::RenderObject::createRenderObject(&scene, W, H));
    view->setScale(H);
    scene.quads = { { 2, 3, 30, 9, Color(200, 0, 0), nullptr, 0.3 },
        { 12.25, 6.5, 21, 27, Color(0, 0, 200), nullptr, 0.6 },
        { 0, 14, 40, 16, Color(90, 90, 90), nullptr } };
    scene.overlayQuads = { { 33, 1, 39, 29, Color(255, 255, 255), nullptr } };
    const auto snapshot = [&](int bands) {
        view->resizeForSnapshot(4 * W, 4 * H, bands);
        scene.log.clear();
        view->repaintWidget(GL::UpdateOptions(0, GL::UpdateOptions::UT_SNAPSHOT));
        return view->getRenderedImage();
    };
    const QImage whole = snapshot(1);
    ASSERT_EQ(whole.size(), QSize(4 * W, 4 * H));
    ASSERT_EQ(whole.format(), QImage::Format_RGBA8888);
    int text = 0;
    for (int y = 0; y < whole.height(); ++y)
        for (int x = 0; x < whole.width(); ++x) {
            const QColor c = whole.pixelColor(x, y);
            text += c.red() > 200 && c.blue() > 200 && c.green() < 60;
        }
    ASSERT_GT(text, 0);

    // Bands of 40 rows, of 18 with a last one of 12, and of one row each (no more bands than
    // rows): every pixel as drawn whole, each text painted once (twice, its smoothed edges
    // would darken).
    for (const int asked : { 3, 7, 1000 }) {
        const int bands = std::min(asked, 4 * H);
        const QImage banded = snapshot(asked);
        ASSERT_EQ(banded.size(), whole.size());
        EXPECT_EQ(std::memcmp(banded.constBits(), whole.constBits(), size_t(whole.sizeInBytes())), 0)
            << bands << " bands";
        // The scene stages run for each band, the 2-D overlay and the finish once, last.
        EXPECT_EQ(scene.log.count("init"), 1);
        EXPECT_EQ(scene.log.count("pre0"), bands);
        EXPECT_EQ(scene.log.count("pre3"), bands);
        EXPECT_EQ(scene.log.count("pre4"), 1);
        EXPECT_EQ(scene.log.count("pre5"), 1);
        EXPECT_EQ(scene.log.lastIndexOf("post3") + 1, scene.log.indexOf("pre4"));
    }
    // The picture is handed over, not copied: there is none left to read.
    bool ok = true;
    EXPECT_TRUE(view->getRenderedImage(&ok).isNull());
    EXPECT_FALSE(ok);
    EXPECT_EQ(progErrorMessage([&] { view->resizeForSnapshot(4 * W, 4 * H, 0); }),
        "a snapshot needs at least one band");
}

TEST(RenderObject, AScheduledRepaintRunsBeforeThePictureIsReadOrPickedFromAndWaitsForASnapshot)
{
    View v;
    const char id = 0;
    const auto *element = reinterpret_cast<const Vaq::CAD::Element *>(&id);
    v.scene.quads = { { 0, 0, 20, 30, Color(255, 0, 0), element } };
    v.view->scheduleRepaint(GL::UpdateOptions(0, 2));
    EXPECT_TRUE(v.scene.log.isEmpty());
    EXPECT_EQ(v.view->getRenderedImage().pixelColor(5, 5), QColor(255, 0, 0));
    EXPECT_EQ(v.scene.log, expectedLog(2));
    EXPECT_EQ(v.view->getUpdateOptions(), GL::UpdateOptions(0, 2));
    EXPECT_FALSE(v.view->isRepaintScheduled());

    v.scene.log.clear();
    v.view->scheduleRepaint(GL::UpdateOptions(0, 2));
    EXPECT_EQ(v.view->getStencilHandler()->getNearestRenderedElement({ 5, 5 }), element);
    EXPECT_EQ(v.scene.log, expectedLog(2));
    // Posted once however often it is asked for; a repaint run meanwhile takes its place.
    v.scene.log.clear();
    v.view->scheduleRepaint(GL::UpdateOptions(0, 2));
    v.view->scheduleRepaint(GL::UpdateOptions(0, 4));
    QCoreApplication::processEvents();
    EXPECT_EQ(v.scene.log, expectedLog(2));
    EXPECT_EQ(v.view->getUpdateOptions(), GL::UpdateOptions(0, 4));
    v.scene.log.clear();
    v.view->scheduleRepaint(GL::UpdateOptions(0, 2));
    v.view->repaintWidget();
    QCoreApplication::processEvents();
    EXPECT_EQ(v.scene.log, expectedLog(2));

    // While a snapshot holds the view the repaint waits, and runs once the view is back.
    v.view->resizeForSnapshot(2 * W, 2 * H);
    v.view->scheduleRepaint(GL::UpdateOptions(0, 2));
    v.scene.log.clear();
    QCoreApplication::processEvents();
    EXPECT_TRUE(v.scene.log.isEmpty());
    v.view->resizeForSnapshot(W, H);
    QCoreApplication::processEvents();
    EXPECT_EQ(v.scene.log, expectedLog(2));
    EXPECT_EQ(v.view->width(), W);
}

TEST(RenderObject, MainViewIsTheFirstAliveAndCreationErrorsAreClear)
{
    QuadScene first(W, H), second(W, H);
    auto a = std::unique_ptr<GL::RenderObject>(GL::RenderObject::createRenderObject(&first, W, H));
    auto b = std::unique_ptr<GL::RenderObject>(GL::RenderObject::createRenderObject(&second, W, H));
    EXPECT_EQ(GL::RenderObject::getMainRenderObject(), a.get());
    EXPECT_EQ(GL::RenderCallback::getMasterRenderCallback(), &first);
    a.reset();
    EXPECT_EQ(GL::RenderObject::getMainRenderObject(), nullptr);
    EXPECT_EQ(first.getRenderObject(), nullptr);

    EXPECT_EQ(
        progErrorMessage([] { GL::RenderObject::createRenderObject(nullptr, W, H); }), "no render callback");
    EXPECT_EQ(progErrorMessage([&] { GL::RenderObject::createRenderObject(&second, W, H); }),
        "render callback already has a view");
    EXPECT_THROW(GL::RenderObject::createRenderObject(&first, -1, H), Vaq::ProgError);
    EXPECT_EQ(first.getRenderObject(), nullptr);
}

} // namespace
