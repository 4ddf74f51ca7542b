// The frame-rate plan on real views: which elements get reduced, in which order, how linked
// views weigh, fixed mode, elements without cost, and the plan reaching the renderers of an
// interactive repaint.
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/mesh/gcad_framerate_adjust.h"
#include "tests/support/gcad_gl_test.h"

#include <cmath>
#include <map>
#include <memory>

using namespace Vaq;
using CAD::Element;
using CAD::ElementCreator;
using GCAD::FramerateAdjust;

namespace {

// Estimates each element from a table of seconds: an element starts at detail level
// `levels` (its one render type) and every reduction lowers the level by one, the time
// falling in proportion to level + 1. It logs reductions and what each setup was given.
class CostRenderer : public GCAD::CADGLRenderer
{
public:
    explicit CostRenderer(GCAD::RenderCallback *callback, unsigned levels = 1)
        : GCAD::CADGLRenderer(callback)
        , m_levels(levels)
    {
        m_supported_types = { ElementCreator::LABEL };
    }

    std::map<const Element *, double> seconds;
    mutable QStringList reductions;
    mutable int estimates = 0;
    // Render types and stepping each element was drawn with.
    std::map<QString, std::pair<std::vector<unsigned>, unsigned>> drawnWith;

    double estimateRenderTime(const std::vector<unsigned> &renderTypes, unsigned stepping) const override
    {
        ++estimates;
        const auto found = seconds.find(m_current_element);
        const double full = found == seconds.end() ? 0.0 : found->second;
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
    bool drawInternal() override { return true; }
    void postDrawInternal(int) override { }

private:
    unsigned m_levels;
};

class FramePlan : public Vaq::Test::GLTest
{
protected:
    void SetUp() override
    {
        Vaq::Test::GLTest::SetUp();
        GL::RenderCallback::setMasterRenderCallback(&scene);
    }
    void TearDown() override
    {
        GL::RenderCallback::setMasterRenderCallback(nullptr);
        Vaq::Test::GLTest::TearDown();
    }

    CostRenderer &addRenderer(GCAD::RenderCallback &callback, unsigned levels)
    {
        auto *renderer = new CostRenderer(&callback, levels);
        static_cast<Vaq::Test::TestScene &>(callback).getRendererContainer().registerRenderer(renderer);
        return *renderer;
    }
    Element *add(Vaq::Test::TestScene &callback, CostRenderer &renderer, const QString &name, double seconds)
    {
        elements.emplace_back(new Element(ElementCreator::LABEL, name));
        callback.show(elements.back().get());
        renderer.seconds[elements.back().get()] = seconds;
        return elements.back().get();
    }
    // Plans for the master view (its repaint collects and plans) and returns the planned
    // (render type, stepping) of an element, or (-1, 0) without a plan.
    std::pair<int, unsigned> planned(const GCAD::RenderCallback &callback, const Element *element) const
    {
        std::vector<unsigned> types;
        unsigned stepping = 0;
        if (!adjust.getPlan(&callback, element, &types, &stepping))
            return { -1, 0 };
        return { int(types.at(0)), stepping };
    }
    void interactiveRepaint()
    {
        view->repaintWidget(GL::UpdateOptions(1, GL::UpdateOptions::UT_INTERACTIVE));
    }

    FramerateAdjust adjust;
    std::vector<std::unique_ptr<Element>> elements;
};

TEST_F(FramePlan, OnlyOneInstance)
{
    try {
        FramerateAdjust second;
        FAIL() << "no error";
    } catch (const ProgError &e) {
        EXPECT_EQ(e.message(), "only one instance allowed");
        EXPECT_EQ(e.function(), "Vaq::GCAD::FramerateAdjust::FramerateAdjust");
        EXPECT_EQ(e.file(), "gcad_framerate_adjust");
    }
    EXPECT_EQ(FramerateAdjust::getInstance(), &adjust);
}

TEST_F(FramePlan, AFrameOfTenPerSecondIsLeftAlone)
{
    CostRenderer &renderer = addRenderer(scene, 3);
    const Element *e = add(scene, renderer, "e", 0.1);
    interactiveRepaint();
    EXPECT_TRUE(renderer.reductions.isEmpty());
    EXPECT_EQ(planned(scene, e), std::pair(3, 1u));
}

TEST_F(FramePlan, ReductionsFallOnTheMostExpensiveElementUntilEightFramesPerSecond)
{
    CostRenderer &renderer = addRenderer(scene, 3);
    const Element *a = add(scene, renderer, "a", 0.08);
    const Element *b = add(scene, renderer, "b", 0.08);
    const Element *cheap = add(scene, renderer, "cheap", 0.01);
    // 0.17 s: "a" and "b" cost the same, "a" was planned first. After "a" (0.06) the
    // highest is "b"; after "b" (0.06) the frame takes 0.13 s, so "a" once more: 0.11 s.
    interactiveRepaint();
    EXPECT_EQ(renderer.reductions, QStringList({ "a", "b", "a" }));
    EXPECT_EQ(planned(scene, a), std::pair(1, 1u));
    EXPECT_EQ(planned(scene, b), std::pair(2, 1u));
    EXPECT_EQ(planned(scene, cheap), std::pair(3, 1u));
    // The repaint drew with the plan.
    EXPECT_EQ(renderer.drawnWith["a"], std::pair(std::vector<unsigned> { 1 }, 1u));
}

TEST_F(FramePlan, WhenNothingCanBeReducedThePlansStayAsTheyAre)
{
    CostRenderer &renderer = addRenderer(scene, 1);
    const Element *slow = add(scene, renderer, "slow", 1.0);
    interactiveRepaint();
    EXPECT_EQ(renderer.reductions, QStringList({ "slow" }));
    EXPECT_EQ(planned(scene, slow), std::pair(0, 1u));
}

TEST_F(FramePlan, LinkedViewsCountThreeTimesAndSelectionLinksNotAtAll)
{
    CostRenderer &master = addRenderer(scene, 1);
    const Element *own = add(scene, master, "own", 0.1);

    Vaq::Test::TestScene linked, selectionOnly;
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
    EXPECT_TRUE(master.reductions.isEmpty());
    EXPECT_EQ(planned(scene, own), std::pair(1, 1u));
    EXPECT_EQ(planned(linked, far), std::pair(0, 1u));
    EXPECT_EQ(planned(selectionOnly, picked), std::pair(-1, 0u));
}

TEST_F(FramePlan, FixedModeGivesEveryElementItsOwnTypesAndTheFixedStepping)
{
    CostRenderer &renderer = addRenderer(scene, 2);
    const Element *a = add(scene, renderer, "a", 5.0);
    const Element *b = add(scene, renderer, "b", 0.0); // fixed mode does not ask
    adjust.setFixed(true);
    adjust.setFixedStepping(4);
    interactiveRepaint();
    EXPECT_EQ(renderer.estimates, 0);
    EXPECT_TRUE(renderer.reductions.isEmpty());
    EXPECT_EQ(planned(scene, a), std::pair(2, 4u));
    EXPECT_EQ(planned(scene, b), std::pair(2, 4u));
    EXPECT_EQ(renderer.drawnWith["a"], std::pair(std::vector<unsigned> { 2 }, 4u));
}

TEST_F(FramePlan, ElementsWithNothingToDrawGetNoPlanAndAreDrawnInFull)
{
    CostRenderer &renderer = addRenderer(scene, 2);
    add(scene, renderer, "slow", 1.0);
    const Element *empty = add(scene, renderer, "empty", 0.0);
    interactiveRepaint();
    EXPECT_EQ(planned(scene, empty), std::pair(-1, 0u));
    EXPECT_EQ(renderer.drawnWith["empty"], std::pair(std::vector<unsigned> { 2 }, 1u));
}

TEST_F(FramePlan, OnlyTheMasterViewPlansAndASnapshotDrawsWithoutThePlan)
{
    CostRenderer &renderer = addRenderer(scene, 1);
    const Element *slow = add(scene, renderer, "slow", 1.0);
    interactiveRepaint();
    ASSERT_EQ(planned(scene, slow), std::pair(0, 1u));

    // Another view is not the master: its repaint leaves the plans alone.
    Vaq::Test::TestScene other;
    std::unique_ptr<GL::RenderObject> otherView(GL::RenderObject::createRenderObject(&other, 32, 32));
    otherView->repaintWidget(GL::UpdateOptions(1, GL::UpdateOptions::UT_INTERACTIVE));
    EXPECT_EQ(planned(scene, slow), std::pair(0, 1u));

    view->repaintWidget(GL::UpdateOptions(0, GL::UpdateOptions::UT_SNAPSHOT));
    EXPECT_EQ(planned(scene, slow), std::pair(-1, 0u));
    EXPECT_EQ(renderer.drawnWith["slow"], std::pair(std::vector<unsigned> { 1 }, 1u));
}

} // namespace
