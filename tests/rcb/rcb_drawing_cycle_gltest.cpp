// The drawing cycle on a real view: which elements reach their renderer, in which order and
// render stage, what draw() returns per call, which element each drawn pixel belongs to, and
// how the cycle copes with errors and with elements that die while it runs.
#include "gcad/clipping/gcad_clipping_interface.h"
#include "gcad/host/cad/vaq_cad_points_base.h"
#include "gcad/host/gl/vaq_gl_stencil_handler.h"
#include "tests/support/gcad_gl_test.h"
#include "tests/support/gcad_plane_clipping.h"
#include "tests/support/prog_error_message.h"

#include <cmath>
#include <map>
#include <memory>

using namespace Vaq;
using CAD::Element;
using CAD::ElementCreator;
using Test::makeElement;
using Test::progErrorMessage;
using Test::QuadRenderer;

using Vaq::Test::PlaneClipping;

namespace {

constexpr auto LABEL = ElementCreator::LABEL;

class DrawingCycle : public Vaq::Test::GLTest
{
protected:
    // The tests draw plain elements of data-set types through stand-in renderers, in place
    // of the library's own.
    void SetUp() override
    {
        Vaq::Test::GLTest::SetUp();
        scene.getRendererContainer().freeAll();
    }
    // A renderer for the types the tests draw, owned by the scene.
    QuadRenderer &addRenderer(std::vector<unsigned> renderTypes = { 0 }, unsigned steps = 1)
    {
        auto *renderer = new QuadRenderer(&scene,
            { LABEL, ElementCreator::SECTION_DEVIATION, ElementCreator::DISTANCE, ElementCreator::PLANE,
                ElementCreator::POINT_CLOUD, ElementCreator::POINTS_SCAN, ElementCreator::POINTS_DEVIATION,
                ElementCreator::PMP_POINT_CHANGE, ElementCreator::SECTION_INSPECTION_2D },
            renderTypes, steps);
        scene.getRendererContainer().registerRenderer(renderer);
        return *renderer;
    }
    Element *add(ElementCreator::Element_t type, const QString &name, double x0 = 0, double y0 = 0,
        double x1 = 10, double y1 = 10)
    {
        auto *element = makeElement(type, name, x0, y0, x1, y1);
        elements.emplace_back(element);
        scene.show(element);
        return element;
    }
    // Whether the model point was drawn over the black background.
    bool drawnAt(const BaVec3d<double> &point) const
    {
        const BaVec2d<double> pixel = pixelOf(point);
        return view->getRenderedImage().pixelColor(int(pixel.x), H - 1 - int(pixel.y)) != QColor(Qt::black);
    }
    // The names of the elements drawn, one per render type begun.
    static QStringList begun(const QuadRenderer &renderer)
    {
        QStringList names;
        for (const QString &entry : renderer.log)
            if (entry.startsWith("pre:"))
                names << entry.section(':', 1, 1);
        return names;
    }

    std::vector<std::unique_ptr<Element>> elements;
};

TEST_F(DrawingCycle, CollectsChildrenDepthFirstThenDrawsBySortKeyAndTemporaryLast)
{
    QuadRenderer &renderer = addRenderer();
    const int MARKERS = 1;
    add(ElementCreator::PLANE, "plane"); // 7
    add(LABEL, "temporary")->setElementTemporarily(true);
    add(ElementCreator::PMP_POINT_CHANGE, "pmp"); // 6
    add(LABEL, "label b"); // 2
    add(LABEL, "invalid")->setStageValid(CAD::StageIdentifier::DEFAULT_DATASET, false);
    add(ElementCreator::GROUP, "group");
    // A folder (never drawn, no renderer) holding a label with a child, then a second label.
    Element *folder = add(ElementCreator::FOLDER, "folder");
    Element *outer = makeElement(LABEL, "outer", 0, 0, 10, 10);
    folder->addChild(outer);
    outer->addChild(makeElement(LABEL, "inner", 10, 0, 20, 10));
    folder->addChild(makeElement(LABEL, "second", 20, 0, 30, 10));
    add(ElementCreator::POINTS_SCAN, "scan markers")->getElemProperties()->displayMode = MARKERS; // 4
    add(ElementCreator::DISTANCE, "distance"); // 5
    add(ElementCreator::POINTS_DEVIATION, "deviation markers")->getElemProperties()->displayMode
        = MARKERS; // 4
    add(ElementCreator::POINT_CLOUD, "cloud markers")->getElemProperties()->displayMode = MARKERS; // 3
    add(ElementCreator::SECTION_INSPECTION_2D, "2d"); // 3
    add(ElementCreator::SECTION_DEVIATION, "result"); // 1
    add(ElementCreator::POINT_CLOUD, "cloud"); // 2
    add(LABEL, "label a"); // 2
    add(ElementCreator::POINTS_DEVIATION, "deviations"); // 1
    view->repaintWidget();
    EXPECT_EQ(begun(renderer),
        QStringList({ "result", "deviations", "label b", "outer", "inner", "second", "cloud", "label a",
            "cloud markers", "2d", "scan markers", "deviation markers", "distance", "pmp", "plane",
            "temporary" }));
    EXPECT_TRUE(scene.isElementValid(folder)); // collected, though nothing draws it
}

TEST_F(DrawingCycle, RenderLevelsChooseTheStageAndEachDrawCallIsOneStep)
{
    QuadRenderer &renderer = addRenderer({ 0, 1 }, 2);
    add(LABEL, "scene");
    add(LABEL, "foreground")->setRenderLevel(CAD::RL_FOREGROUND);
    add(LABEL, "both")->setAdditionalRenderLevel(CAD::RL_FOREGROUND);
    Element *never = add(LABEL, "never");
    never->setRenderLevel(CAD::RL_NEVER);
    std::vector<QStringList> perStage(6);
    renderer.onStep = [&](QuadRenderer &r) {
        perStage[size_t(scene.getRenderStage())] << r.getCurrentElement()->getFileName();
    };
    view->repaintWidget();
    EXPECT_EQ(perStage[1].removeDuplicates(), 6);
    EXPECT_EQ(perStage[1], QStringList({ "scene", "both" }));
    EXPECT_EQ(perStage[2].removeDuplicates(), 6);
    EXPECT_EQ(perStage[2], QStringList({ "foreground", "both" }));
    EXPECT_FALSE(scene.isElementValid(never));
    EXPECT_FALSE(renderer.log.join(',').contains("never"));

    std::map<int, std::vector<bool>> results;
    for (const auto &[stage, done] : scene.drawResults)
        results[stage].push_back(done);
    // Two elements of two render types in two steps each: eight steps, the last completes.
    const std::vector<bool> eight { false, false, false, false, false, false, false, true };
    EXPECT_EQ(results[1], eight);
    EXPECT_EQ(results[2], eight);
    // The other stages have no element of their level and end on the first call.
    results.erase(1);
    results.erase(2);
    for (const auto &[stage, done] : results)
        EXPECT_EQ(done, std::vector<bool>({ true })) << stage;
}

TEST_F(DrawingCycle, DrawnPixelsCarryTheStencilIdentityOfTheirElementOnTheBackgroundInTheSceneBox)
{
    addRenderer();
    BaVec3d<double> min, max;
    EXPECT_FALSE(scene.getBoundingBox(&min, &max)); // empty scene
    scene.global.setBackgroundColor(Color(10, 20, 30));
    Element *a = add(LABEL, "a", 0, 0, 40, 40);
    // This view marks nothing, so drawing clears the highlight.
    a->setLabel("A")->setLabelVisible(true);
    a->highlightElement(true);
    a->getLabel()->highlightLabel(true);
    Element *moved = add(ElementCreator::DISTANCE, "moved", 0, 60, 40, 100);
    // Drawn 60 units to the right of its own box.
    moved->setRenderTransformation(CAD::StageIdentifier::NO_STAGE, Transformation::translation({ 60, 0, 0 }));
    view->repaintWidget();

    GL::StencilHandlerBase *stencil = view->getStencilHandler();
    EXPECT_EQ(stencil->getNearestRenderedElement(pixelOf({ 20, 20, 0 })), a);
    EXPECT_EQ(stencil->getNearestRenderedElement(pixelOf({ 80, 80, 0 })), moved);
    EXPECT_EQ(stencil->getNearestRenderedElement(pixelOf({ 20, 80, 0 })), nullptr);
    EXPECT_EQ(view->getRenderedImage().pixelColor(0, 0), QColor(10, 20, 30));
    EXPECT_FALSE(a->isElementHighlighted());
    EXPECT_FALSE(a->getLabel()->isLabelHighlighted());

    // The scene box is the cube around the outer sphere of the drawn boxes, whose corners
    // (0, 0, 0) and (100, 100, 0) span 100 * sqrt(2).
    ASSERT_TRUE(scene.getBoundingBox(&min, &max));
    const BaVec3d<double> size = max - min, centre = (min + max) * 0.5;
    EXPECT_DOUBLE_EQ(size.x, size.y);
    EXPECT_DOUBLE_EQ(size.x, size.z);
    EXPECT_LE(centre.length(), size.x / 2 + 1e-9);
    EXPECT_LE((BaVec3d<double>(100, 100, 0) - centre).length(), size.x / 2 + 1e-9);
    EXPECT_GE(size.x, 100.0 * std::sqrt(2.0) - 1e-9);
    EXPECT_LE(size.x, 100.0 * std::sqrt(2.0) * 1.1);
}

TEST_F(DrawingCycle, MissingOrNeedlessRenderersAndForegroundDataSetsAreErrors)
{
    add(ElementCreator::SPHERE, "ball.stl");
    EXPECT_EQ(progErrorMessage([&] { view->repaintWidget(); }), "No renderer for type 9 (ball.stl)");
    scene.entries.clear();
    add(ElementCreator::FOLDER, "folder");
    scene.getRendererContainer().registerRenderer(new QuadRenderer(&scene, { ElementCreator::FOLDER }));
    EXPECT_EQ(progErrorMessage([&] { view->repaintWidget(); }),
        "renderer exists for element that will not be drawn");
    scene.entries.clear();
    addRenderer();
    add(LABEL, "a");
    scene.setSpotlightEnabled(true);
    EXPECT_EQ(progErrorMessage([&] { view->repaintWidget(); }), "no renderer found");
    scene.getRendererContainer().registerRenderer(
        new QuadRenderer(&scene, { ElementCreator::DISC, ElementCreator::REFERENCE_POINTS }));
    EXPECT_NO_THROW(view->repaintWidget());

    for (ElementCreator::Element_t type :
        { ElementCreator::MESH_INSPECTION, ElementCreator::SECTION, ElementCreator::POINT_CLOUD }) {
        scene.entries.clear();
        add(type, "data")->setRenderLevel(CAD::RL_FOREGROUND);
        EXPECT_EQ(progErrorMessage([&] { view->repaintWidget(); }), "dataset must not be rendered in stage1")
            << type;
    }
    // Reference points are the one point set allowed in the foreground.
    scene.entries.clear();
    add(ElementCreator::REFERENCE_POINTS, "points")->setRenderLevel(CAD::RL_FOREGROUND);
    EXPECT_NO_THROW(view->repaintWidget());
}

TEST_F(DrawingCycle, AStageLeftUnfinishedIsClosedByTheNextPreDrawFirst)
{
    QuadRenderer &renderer = addRenderer({ 0 }, 3);
    add(LABEL, "a");
    add(LABEL, "b");
    // The first repaint breaks off in the second step of "a".
    int steps = 0;
    renderer.onStep = [&](QuadRenderer &) {
        if (++steps == 2)
            throw std::runtime_error("interrupted");
    };
    EXPECT_THROW(view->repaintWidget(), std::runtime_error);
    renderer.onStep = nullptr;
    renderer.log.clear();
    view->repaintWidget();
    EXPECT_EQ(renderer.log.mid(0, 2), QStringList({ "post:a:0", "pre:a:0" }));
    EXPECT_EQ(renderer.log.count("post:a:0"), 2);
}

TEST_F(DrawingCycle, ADestroyedElementLeavesTheCallbackAndItsRenderersEvenMidRepaint)
{
    QuadRenderer &renderer = addRenderer({ 0 }, 2);
    Element *a = add(LABEL, "a");
    add(LABEL, "b");
    add(LABEL, "c");
    // While "a" is drawn, "b" is deleted, as an event handled between two steps could.
    renderer.onStep = [&](QuadRenderer &r) {
        if (r.getCurrentElement() == a && elements[1]) {
            scene.entries.erase(scene.entries.begin() + 1);
            elements[1].reset();
        }
    };
    view->repaintWidget();
    EXPECT_EQ(begun(renderer), QStringList({ "a", "c" }));
    // The renderer never saw "b", but it is told.
    EXPECT_EQ(renderer.log.filter("remove:").size(), 1);

    ASSERT_TRUE(scene.isElementValid(a));
    scene.entries.erase(scene.entries.begin());
    elements[0].reset();
    EXPECT_EQ(renderer.log.last(), "remove:a");
    EXPECT_FALSE(scene.isElementValid(a));

    // An element first collected in a later repaint is watched as well.
    renderer.onStep = nullptr;
    Element *d = add(LABEL, "d");
    view->repaintWidget();
    ASSERT_TRUE(scene.isElementValid(d));
    scene.entries.pop_back();
    elements.back().reset();
    EXPECT_EQ(renderer.log.last(), "remove:d");
    EXPECT_FALSE(scene.isElementValid(d));
}

TEST_F(DrawingCycle, TheClippingPlaneCutsOnlyElementsThatAllowItAndOnlyWhileClippingIsOn)
{
    addRenderer();
    PlaneClipping clipping;
    scene.clipping = &clipping;
    clipping.setClippingPlane(Plane3d({ 0, 20, 0 }, { 0, 1, 0 })); // keeps y >= 20
    clipping.setClippingActive(true);
    add(LABEL, "clipped", 0, 0, 40, 40);
    add(LABEL, "whole", 60, 0, 100, 40)->setClippingAllowed(false);
    // The second repaint shows what the first one left behind.
    for (int repaint = 0; repaint < 2; ++repaint) {
        view->repaintWidget();
        EXPECT_TRUE(drawnAt({ 20, 30, 0 })) << repaint;
        EXPECT_FALSE(drawnAt({ 20, 10, 0 })) << repaint;
        EXPECT_TRUE(drawnAt({ 80, 30, 0 })) << repaint;
        EXPECT_TRUE(drawnAt({ 80, 10, 0 })) << repaint;
    }
    clipping.flipClippingPlane();
    view->repaintWidget();
    EXPECT_FALSE(drawnAt({ 20, 30, 0 }));
    EXPECT_TRUE(drawnAt({ 20, 10, 0 }));

    clipping.setClippingActive(false);
    view->repaintWidget();
    EXPECT_TRUE(drawnAt({ 20, 30, 0 }));
    EXPECT_TRUE(drawnAt({ 20, 10, 0 }));
    EXPECT_TRUE(drawnAt({ 80, 10, 0 }));
    EXPECT_FALSE(view->isClippingPlaneUsed());
    scene.clipping = nullptr;
}

TEST_F(DrawingCycle, ARendererThatLeavesGLStateChangedIsReported)
{
    expectDefaultError = true;
    QuadRenderer &renderer = addRenderer({ 0, 1, 2 });
    renderer.leakLineSmooth = true;
    add(LABEL, "leaky.stl");
    view->repaintWidget();
    const std::string traces = takeTraces();
    // Only the render type that leaked is named; the next one starts from the defaults.
    EXPECT_NE(traces.find("): GL-Default error on element: leaky.stl (render type: 1)\n"), std::string::npos)
        << traces;
    EXPECT_EQ(traces.find("render type: 0"), std::string::npos) << traces;
    EXPECT_EQ(traces.find("render type: 2"), std::string::npos) << traces;
}

// Every renderer learns how many points the whole view shows, so that it can thin out a large
// scene while the view moves; an empty view still says one.
TEST_F(DrawingCycle, EveryRendererGetsThePointCountOfTheWholeViewAsItsHint)
{
    QuadRenderer &renderer = addRenderer();
    std::vector<unsigned> hints;
    renderer.onStep = [&](QuadRenderer &r) { hints.push_back(r.pointCountHint()); };
    CAD::PointsBase seven(ElementCreator::POINT_CLOUD), five(ElementCreator::POINT_CLOUD);
    seven.setPoints(std::vector<BaVec3d<double>>(7, BaVec3d<double>(1, 1, 0)));
    five.setPoints(std::vector<BaVec3d<double>>(5, BaVec3d<double>(2, 2, 0)));
    scene.show(&seven);
    scene.show(&five);
    view->repaintWidget();
    EXPECT_EQ(hints, (std::vector<unsigned> { 12, 12 }));

    hints.clear();
    scene.entries.clear();
    add(LABEL, "label");
    view->repaintWidget();
    EXPECT_EQ(hints, std::vector<unsigned> { 1 });
}

} // namespace
