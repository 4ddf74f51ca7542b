// The frame-rate plan on real views, reaching the renderers of an interactive repaint, and
// corrected by the time the view's frames really take.
#include "gcad/benchmark/gcad_benchmark_result_container.h"
#include "gcad/mesh/gcad_framerate_adjust.h"
#include "tests/support/gcad_gl_test.h"
#include "tests/support/prog_error_message.h"

#include <QMap>

#include <chrono>
#include <map>
#include <memory>
#include <thread>

using namespace Vaq;
using CAD::Element;
using CAD::ElementCreator;
using GCAD::FramerateAdjust;
using namespace Vaq::Test;

namespace {

// Estimates each element from a table of seconds: an element starts at detail level
// `levels` (its one render type), each reduction lowers it by one and the time falls in
// proportion to level + 1. Logs reductions and the types and stepping each element was drawn
// with; drawing an element takes at least drawSeconds.
class CostRenderer : public GCAD::CADGLRenderer
{
public:
    CostRenderer(GCAD::RenderCallback *callback, unsigned levels)
        : GCAD::CADGLRenderer(callback)
        , m_levels(levels)
    {
        m_supported_types = { ElementCreator::LABEL };
    }

    QMap<QString, double> seconds;
    double drawSeconds = 0.0;
    mutable QStringList reductions;
    std::map<QString, std::pair<std::vector<unsigned>, unsigned>> drawnWith;

    double estimateRenderTime(const std::vector<unsigned> &renderTypes, unsigned stepping) const override
    {
        const double full = seconds.value(m_current_element->getFileName());
        return full * (renderTypes.at(0) + 1) / (m_levels + 1) / stepping;
    }
    bool reduceRenderTime(std::vector<unsigned> *renderTypes, unsigned *) const override
    {
        if (renderTypes->at(0) == 0)
            return false;
        --renderTypes->at(0);
        reductions << m_current_element->getFileName();
        return true;
    }

protected:
    std::vector<unsigned> getRenderTypes() const override { return { m_levels }; }
    void preDrawInternal(unsigned, int) override
    {
        drawnWith[m_current_element->getFileName()] = { m_render_types, m_stepping };
    }
    bool drawInternal() override
    {
        std::this_thread::sleep_for(std::chrono::duration<double>(drawSeconds));
        return true;
    }
    void postDrawInternal(int) override { }

private:
    unsigned m_levels;
};

class FramePlan : public GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        GL::RenderCallback::setMasterRenderCallback(&scene);
    }
    void TearDown() override
    {
        GL::RenderCallback::setMasterRenderCallback(nullptr);
        GLTest::TearDown();
    }

    CostRenderer &addRenderer(GCAD::RenderCallback &callback, unsigned levels)
    {
        auto *renderer = new CostRenderer(&callback, levels);
        static_cast<TestScene &>(callback).getRendererContainer().registerRenderer(renderer);
        return *renderer;
    }
    const Element *add(TestScene &callback, CostRenderer &renderer, const QString &name, double seconds)
    {
        elements.emplace_back(new Element(ElementCreator::LABEL, name));
        callback.show(elements.back().get());
        renderer.seconds[name] = seconds;
        return elements.back().get();
    }
    // The planned (render type, stepping) of an element, or (-1, 0) without a plan.
    std::pair<int, unsigned> planned(const GCAD::RenderCallback &callback, const Element *element) const
    {
        std::vector<unsigned> types;
        unsigned stepping = 0;
        if (!adjust->getPlan(&callback, element, &types, &stepping))
            return { -1, 0 };
        return { int(types.at(0)), stepping };
    }
    void interactiveRepaint()
    {
        view->repaintWidget(GL::UpdateOptions(1, GL::UpdateOptions::UT_INTERACTIVE));
    }

    std::unique_ptr<FramerateAdjust> adjust = std::make_unique<FramerateAdjust>();
    std::vector<std::unique_ptr<Element>> elements;
};

TEST_F(FramePlan, ReductionsFallOnTheMostExpensiveElementUntilEightFramesPerSecond)
{
    struct Case
    {
        unsigned levels;
        std::vector<std::pair<const char *, double>> seconds;
        QStringList reductions;
        std::vector<int> plannedTypes; // -1: no plan
    };
    const Case cases[] = {
        // A frame of ten per second is left alone.
        { 3, { { "e", 0.1 } }, {}, { 3 } },
        // 0.17 s: "a" and "b" cost the same, "a" was planned first. After "a" (0.06) the
        // highest is "b"; after "b" (0.06) the frame takes 0.13 s, so "a" once more: 0.11 s.
        { 3, { { "a", 0.08 }, { "b", 0.08 }, { "cheap", 0.01 } }, { "a", "b", "a" }, { 1, 2, 3 } },
        // Elements with nothing to draw get no plan and are drawn in full; when nothing can be
        // reduced any more the plans stay as they are.
        { 2, { { "slow", 1.0 }, { "empty", 0.0 } }, { "slow", "slow" }, { 0, -1 } },
    };
    for (const Case &c : cases) {
        // Each case plans its first frame, with nothing measured yet.
        adjust.reset();
        adjust = std::make_unique<FramerateAdjust>();
        scene.entries.clear();
        scene.getRendererContainer().freeAll();
        CostRenderer &renderer = addRenderer(scene, c.levels);
        std::vector<const Element *> added;
        for (const auto &[name, seconds] : c.seconds)
            added.push_back(add(scene, renderer, name, seconds));
        interactiveRepaint();
        EXPECT_EQ(renderer.reductions, c.reductions);
        for (std::size_t i = 0; i < added.size(); ++i) {
            const int type = c.plannedTypes[i];
            EXPECT_EQ(planned(scene, added[i]), std::pair(type, type < 0 ? 0u : 1u)) << c.seconds[i].first;
            // The repaint drew with the plan.
            EXPECT_EQ(renderer.drawnWith[c.seconds[i].first],
                std::pair(std::vector<unsigned> { type < 0 ? c.levels : unsigned(type) }, 1u));
        }
        // Planning leaves no renderer set up: the view sets each element up itself to draw it.
        adjust->plan(&scene);
        EXPECT_EQ(renderer.getCurrentElement(), nullptr);
    }
}

TEST_F(FramePlan, LinkedViewsCountThreeTimesAndSelectionLinksNotAtAll)
{
    CostRenderer &master = addRenderer(scene, 1);
    const Element *own = add(scene, master, "own", 0.1);

    TestScene linked, selectionOnly;
    std::unique_ptr<GL::RenderObject> linkedView(GL::RenderObject::createRenderObject(&linked, 32, 32));
    std::unique_ptr<GL::RenderObject> selectionView(
        GL::RenderObject::createRenderObject(&selectionOnly, 32, 32));
    CostRenderer &linkedRenderer = addRenderer(linked, 1);
    CostRenderer &selectionRenderer = addRenderer(selectionOnly, 1);
    const Element *far = add(linked, linkedRenderer, "far", 0.04);
    const Element *picked = add(selectionOnly, selectionRenderer, "picked", 0.5);
    scene.linkRenderCallback(&linked, GL::RenderCallback::LM_VIEW);
    scene.linkRenderCallback(&selectionOnly, GL::RenderCallback::LM_SELECTION);
    linkedView->repaintWidget();
    selectionView->repaintWidget();

    // 0.14 s in all: the linked element costs 0.12 and goes first, after which 0.12 s is
    // fast enough.
    interactiveRepaint();
    EXPECT_EQ(linkedRenderer.reductions, QStringList({ "far" }));
    EXPECT_EQ(planned(scene, own), std::pair(1, 1u));
    EXPECT_EQ(planned(linked, far), std::pair(0, 1u));
    EXPECT_EQ(planned(selectionOnly, picked), std::pair(-1, 0u));
    // The plan set the linked view's renderer up to ask it; that view is not drawing.
    EXPECT_EQ(linkedRenderer.getCurrentElement(), nullptr);

    // A linked view is not the master: its own moving repaint leaves the plans alone.
    linkedView->repaintWidget(GL::UpdateOptions(1, GL::UpdateOptions::UT_INTERACTIVE));
    EXPECT_EQ(planned(linked, far), std::pair(0, 1u));
}

TEST_F(FramePlan, FixedModeGivesEveryElementItsOwnTypesAndASnapshotDropsThePlan)
{
    CostRenderer &renderer = addRenderer(scene, 2);
    const Element *a = add(scene, renderer, "a", 5.0);
    const Element *b = add(scene, renderer, "b", 0.0); // fixed mode does not ask
    adjust->setFixed(true);
    adjust->setFixedStepping(4);
    interactiveRepaint();
    EXPECT_EQ(planned(scene, a), std::pair(2, 4u));
    EXPECT_EQ(planned(scene, b), std::pair(2, 4u));

    view->repaintWidget(GL::UpdateOptions(0, GL::UpdateOptions::UT_SNAPSHOT));
    EXPECT_EQ(planned(scene, a), std::pair(-1, 0u));
    EXPECT_EQ(renderer.drawnWith["a"], std::pair(std::vector<unsigned> { 2 }, 1u));
    EXPECT_EQ(progErrorMessage([] { FramerateAdjust second; }), "only one instance allowed");
}

TEST_F(FramePlan, MeasuredFramesCorrectTheEstimatesUntilTheBenchmarkResultChanges)
{
    GCAD::BenchmarkResultContainer store;
    CostRenderer &renderer = addRenderer(scene, 3);
    const Element *e = add(scene, renderer, "e", 0.1);
    // Estimated at ten frames per second, the frame takes at least three times as long.
    renderer.drawSeconds = 0.3;
    interactiveRepaint();
    EXPECT_EQ(planned(scene, e), std::pair(3, 1u));
    // A measured ratio of 3 or more raises the estimate by at least the cube root of 3 to
    // 0.144 s or more: below eight frames per second, so the element is thinned out.
    interactiveRepaint();
    EXPECT_LT(planned(scene, e).first, 3);
    // A view that goes away is forgotten: a view made at its address starts afresh.
    adjust->forgetView(&scene);
    interactiveRepaint();
    EXPECT_EQ(planned(scene, e), std::pair(3, 1u));
    interactiveRepaint();
    EXPECT_LT(planned(scene, e).first, 3);

    // A new benchmark result: what was learnt with the old rates is forgotten.
    renderer.drawSeconds = 0.0;
    const GL::WidgetOptions::Options &options = GL::WidgetOptions::getInstance()->getCurrentWidgetOptions();
    GCAD::BenchmarkResult result(options);
    result.setRenderer(options.renderer);
    result.setDriverVersion(options.driverVersion);
    result.setSoftwareRendering(options.softwareRendering);
    store.addResult(result);
    interactiveRepaint();
    EXPECT_EQ(planned(scene, e), std::pair(3, 1u));
    store.clearResults();
}

} // namespace
