#include "tests/host/gl/quad_scene.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"

#include "tests/support/prog_error_message.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

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

TEST(RenderObject, RepaintRunsStagesInOrderDrawsUntilTrueAndPassesEventsOn)
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
    EXPECT_EQ(v.scene.getRenderStage(), GL::RenderObject::RS_NONE);
    EXPECT_EQ(v.scene.getUpdateOptions(), GL::UpdateOptions(1, 1));
    EXPECT_FALSE(v.view->isRepainting());
}

class RepaintingScene : public QuadScene
{
public:
    using QuadScene::QuadScene;
    int repaints = 0;
    void initAllElementsForDrawing() override
    {
        QuadScene::initAllElementsForDrawing();
        ++repaints;
    }
    bool draw() override
    {
        if (getRenderStage() == GL::RenderObject::RS_OVERLAY3D && repaints == 1)
            getRenderObject()->repaintWidget(GL::UpdateOptions(2, 0));
        return QuadScene::draw();
    }
};

TEST(RenderObject, RepaintAskedForWhileRepaintingRunsAfterwards)
{
    RepaintingScene scene(W, H);
    std::unique_ptr<GL::RenderObject> view(GL::RenderObject::createRenderObject(&scene, W, H));
    view->repaintWidget();
    EXPECT_EQ(scene.repaints, 2);
    QStringList twice = expectedLog(1);
    twice += expectedLog(1);
    EXPECT_EQ(scene.log, twice);
    EXPECT_EQ(scene.getUpdateOptions(), GL::UpdateOptions(2, 0));
}

TEST(RenderObject, RenderedImageHoldsTheDrawnColoursTopDown)
{
    View v;
    v.view->setBackgroundColor(Color(0, 255, 0));
    v.scene.quads
        = { { 0, 0, 20, 15, Color(255, 0, 0), nullptr }, { 0, 15, 20, 30, Color(0, 0, 255), nullptr } };
    bool ok = true;
    EXPECT_TRUE(v.view->getRenderedImage(&ok).isNull());
    EXPECT_FALSE(ok);
    v.view->repaintWidget();
    const QImage image = v.view->getRenderedImage(&ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(image.size(), QSize(W, H));
    // Model y grows upwards, image rows downwards: the blue top quad is in row 0.
    EXPECT_EQ(image.pixelColor(5, 2), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(5, 27), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(19, 15), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(19, 14), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(20, 10), QColor(0, 255, 0));
}

TEST(RenderObject, SnapshotResizeChangesTheImageAndBadSizesKeepTheOldOne)
{
    View v;
    v.view->resizeForSnapshot(2 * W, 2 * H);
    v.view->repaintWidget(GL::UpdateOptions(0, 3));
    EXPECT_TRUE(v.scene.getUpdateOptions().snapshotRendering);
    EXPECT_FALSE(v.view->isFramerateAdjustAllowed());
    EXPECT_EQ(v.view->getRenderedImage().size(), QSize(2 * W, 2 * H));

    const GL::Capabilities &caps = GL::GLExtensions::getCapabilities();
    const int maxWidth = std::min(caps.maxRenderbufferSize, caps.maxViewportWidth);
    const int maxHeight = std::min(caps.maxRenderbufferSize, caps.maxViewportHeight);
    try {
        v.view->resizeForSnapshot(maxWidth + 1, 10);
        FAIL() << "oversized frame buffer accepted";
    } catch (const Vaq::ProgError &error) {
        EXPECT_EQ(error.function(), QStringLiteral("Vaq::GL::RenderObject::resize"));
        EXPECT_EQ(error.message(),
            QStringLiteral("view size %1 x 10 outside 1 x 1 to %2 x %3")
                .arg(maxWidth + 1)
                .arg(maxWidth)
                .arg(maxHeight));
    }
    EXPECT_THROW(v.view->resize(0, 10), Vaq::ProgError);
    EXPECT_EQ(v.view->width(), 2 * W);
    EXPECT_EQ(v.view->height(), 2 * H);
    v.view->resize(W, H);
    v.view->repaintWidget(GL::UpdateOptions(0, 2));
    EXPECT_EQ(v.view->getRenderedImage().size(), QSize(W, H));
}

TEST(RenderObject, SceneCornerMapsToTheWindowCornerTextsToTheirPixelAndTransformationsRoundTrip)
{
    View v;
    v.view->repaintWidget();
    // One unit per pixel, the scene box centred: its corner at z 0 is the window's
    // lower-left corner at mid depth.
    const BaVec3d<double> corner = v.view->get3d2dTransformation().transform({ 0, 0, 0 });
    EXPECT_NEAR((corner - BaVec3d<double>(0.0, 0.0, 0.5)).length(), 0.0, 1e-9);
    EXPECT_EQ(v.scene.get3d2dTransformation(), v.view->get3d2dTransformation());
    // Image rows run top-down.
    v.view->renderText({ 10, 5, 0 }, "label");
    ASSERT_EQ(v.view->getRenderedTexts().size(), 1u);
    EXPECT_EQ(v.view->getRenderedTexts()[0].text, QStringLiteral("label"));
    EXPECT_NEAR(v.view->getRenderedTexts()[0].position.x(), 10.0, 1e-9);
    EXPECT_NEAR(v.view->getRenderedTexts()[0].position.y(), H - 5.0, 1e-9);

    v.view->setRotation({ 0.3, -0.7, 1.1 });
    v.view->setAxisScale({ 1.0, 2.0, 0.5 });
    v.view->setTranslation({ 3.0, -2.0, 0.1 });
    const BaVec3d<double> p(7.0, 11.0, -0.5);
    const BaVec3d<double> window = v.view->get3d2dTransformation().transform(p);
    EXPECT_NEAR((v.view->getInverse3d2dTransformation().transform(window) - p).length(), 0.0, 1e-9);

    // The viewport data are the matrices the repaint loads; the repaint drops the old texts.
    v.view->repaintWidget();
    EXPECT_TRUE(v.view->getRenderedTexts().empty());
    int viewport[4];
    double modelView[16], projection[16];
    v.view->getViewportData(viewport, modelView, projection);
    EXPECT_EQ(viewport[2], W);
    EXPECT_EQ(viewport[3], H);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(modelView[i], v.scene.modelView[i], 1e-6) << i;
        EXPECT_NEAR(projection[i], v.scene.projection[i], 1e-6) << i;
    }
}

TEST(RenderObject, UnprojectLooksAlongTheViewDirectionThatTheViewCreatorReports)
{
    QuadScene scene(W, H);
    GL::ViewCreator creator(&scene);
    std::unique_ptr<GL::RenderObject> view(GL::RenderObject::createRenderObject(&scene, W, H, &creator));
    view->setScale(H);
    EXPECT_EQ(scene.getViewCreator(), &creator);
    EXPECT_EQ(creator.getMainViewDirection(), GL::ViewCreator::VD_Z_PLUS);
    const BaVec3d<double> centre(W / 2.0, H / 2.0, 0.0);
    view->repaintWidget();
    Vaq::Line3d line = view->unproject(W / 2.0, H / 2.0, 0.0);
    EXPECT_NEAR((line.getDirection() - BaVec3d<double>(0, 0, -1)).length(), 0.0, 1e-9);
    EXPECT_NEAR(line.distance(centre), 0.0, 1e-9);

    for (const char *name : { "x+", "y-", "x-y+z-" }) {
        BaVec3d<double> rotation;
        const auto direction = GL::ViewCreator::getViewForName(name, &rotation);
        view->setRotation(rotation);
        EXPECT_EQ(creator.getMainViewDirection(), direction);
        line = view->unproject(W / 2.0, H / 2.0, 0.3);
        const BaVec3d<double> expected = GL::ViewCreator::getViewDirectionVector(direction);
        EXPECT_NEAR((line.getDirection() - expected).length(), 0.0, 1e-9) << name;
        EXPECT_NEAR((view->getViewDirection() - expected).length(), 0.0, 1e-9) << name;
        EXPECT_NEAR(line.distance(centre), 0.0, 1e-9) << name;
    }
    view->setRotation({ 0.1, 0.0, 0.0 });
    EXPECT_EQ(creator.getMainViewDirection(), GL::ViewCreator::VD_NONE);
    creator.setBackgroundColor(Color(9, 8, 7));
    EXPECT_EQ(view->getBackgroundColor(), Color(9, 8, 7));
}

TEST(RenderObject, ClippingPlaneKeepsTheSideItsNormalPointsTo)
{
    View v;
    v.view->setBackgroundColor(Color(0, 0, 0));
    v.scene.quads = { { 0, 0, 40, 30, Color(255, 255, 255), nullptr } };
    v.view->setClippingPlane(Vaq::Plane3d({ 20, 0, 0 }, { 1, 0, 0 }));
    v.view->setUseClippingPlane(true);
    v.view->repaintWidget();
    QImage image = v.view->getRenderedImage();
    EXPECT_EQ(image.pixelColor(10, 10), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(30, 10), QColor(255, 255, 255));
    EXPECT_FALSE(v.view->isVisible({ 10, 10, 0 }));
    EXPECT_TRUE(v.view->isVisible({ 30, 10, 0 }));
    EXPECT_FALSE(v.view->isVisible({ 50, 10, 0 }));
    v.view->setUseClippingPlane(false);
    v.view->repaintWidget();
    image = v.view->getRenderedImage();
    EXPECT_EQ(image.pixelColor(10, 10), QColor(255, 255, 255));
}

TEST(RenderObject, MainViewIsTheFirstAliveAndCreationErrorsAreClear)
{
    QuadScene first(W, H), second(W, H);
    auto a = std::unique_ptr<GL::RenderObject>(GL::RenderObject::createRenderObject(&first, W, H));
    auto b = std::unique_ptr<GL::RenderObject>(GL::RenderObject::createRenderObject(&second, W, H));
    EXPECT_EQ(GL::RenderObject::getMainRenderObject(), a.get());
    EXPECT_EQ(GL::RenderCallback::getMasterRenderCallback(), &first);
    GL::RenderCallback::setMasterRenderCallback(&second);
    EXPECT_EQ(GL::RenderCallback::getMasterRenderCallback(), &second);
    GL::RenderCallback::setMasterRenderCallback(nullptr);
    a.reset();
    EXPECT_EQ(GL::RenderObject::getMainRenderObject(), nullptr);
    EXPECT_EQ(first.getRenderObject(), nullptr);

    EXPECT_EQ(
        progErrorMessage([] { GL::RenderObject::createRenderObject(nullptr, W, H); }), "no render callback");
    EXPECT_EQ(progErrorMessage([&] { GL::RenderObject::createRenderObject(&second, W, H); }),
        "render callback already has a view");
    EXPECT_EQ(progErrorMessage([&] { b->setScale(0.0); }), "scale must be positive");
    EXPECT_THROW(GL::RenderObject::createRenderObject(&first, -1, H), Vaq::ProgError);
    EXPECT_EQ(first.getRenderObject(), nullptr);
}

TEST(RenderObject, LinkedCallbacksLeaveTheListWhenDestroyed)
{
    QuadScene master(W, H);
    {
        QuadScene other(W, H);
        master.linkRenderCallback(&other, GL::RenderCallback::LM_VIEW);
        master.linkRenderCallback(&other, GL::RenderCallback::LM_SELECTION);
        master.linkRenderCallback(&master, GL::RenderCallback::LM_VIEW);
        ASSERT_EQ(master.getLinkedRenderCallbacks().size(), 1u);
        EXPECT_EQ(master.getLinkedRenderCallbacks()[0].linkMode, GL::RenderCallback::LM_SELECTION);
    }
    EXPECT_TRUE(master.getLinkedRenderCallbacks().empty());
}

} // namespace
