// A full repaint of a large inspection plan at 1920 x 1080: 2,000 measurements and 10,000
// primitives drawn by the library's renderers (buildInspectionPlan), against the same elements
// drawn by a renderer that draws nothing, which is what the drawing cycle itself costs per
// element (collecting, ordering, set-up, stencil identities, the GL default check), and the
// same view without elements, what a frame costs whatever it shows (clearing, the overlay,
// finishing). All repaint the whole view; medians of interleaved repetitions.
#include "apps/scene/scene_element_list_callback.h"
#include "bench/inspection_plan.h"
#include "bench/median_reporter.h"
#include "bench/null_renderer.h"
#include "gcad/host/gl/vaq_gl_headless_application.h"
#include "gcad/host/gl/vaq_gl_render_object.h"

#include <cstdio>
#include <memory>
#include <set>

using namespace Vaq;

namespace {

constexpr int W = 1920, H = 1080;
constexpr double PLATE = 1000.0;

struct Plan
{
    Plan()
    {
        Bench::buildInspectionPlan(Bench::InspectionPlanSize(), PLATE, elements);
        std::set<CAD::ElementCreator::Element_t> types;
        for (const auto &element : elements) {
            library.show(element.get(), CAD::StageIdentifier::NO_STAGE);
            empty.show(element.get(), CAD::StageIdentifier::NO_STAGE);
            types.insert(element->getType());
        }
        empty.getRendererContainer().freeAll();
        nothing = new Bench::NullRenderer(&empty, { types.begin(), types.end() });
        empty.getRendererContainer().registerRenderer(nothing);
        for (auto &[callback, view] : { std::pair(&library, &libraryView), std::pair(&empty, &emptyView),
                 std::pair(&none, &noneView) }) {
            view->reset(GL::RenderObject::createRenderObject(callback, W, H));
            (*view)->fitView();
        }
    }
    std::vector<std::unique_ptr<CAD::Element>> elements;
    Gcad::Scene::ElementListCallback library, empty, none;
    Bench::NullRenderer *nothing = nullptr;
    std::unique_ptr<GL::RenderObject> libraryView, emptyView, noneView;
};

Plan &plan()
{
    static Plan instance;
    return instance;
}

void BM_FullRepaint(benchmark::State &state)
{
    Plan &p = plan();
    for (auto _ : state) {
        p.libraryView->repaintWidget();
        p.libraryView->waitForRendering();
    }
}

void BM_EmptyElements(benchmark::State &state)
{
    Plan &p = plan();
    for (auto _ : state) {
        p.nothing->drawn = 0;
        p.emptyView->repaintWidget();
        p.emptyView->waitForRendering();
    }
    if (p.nothing->drawn != p.elements.size())
        state.SkipWithError("not every element was drawn");
}

void BM_NoElements(benchmark::State &state)
{
    Plan &p = plan();
    for (auto _ : state) {
        p.noneView->repaintWidget();
        p.noneView->waitForRendering();
    }
}

GCAD_WALL_CLOCK_BENCHMARK(BM_FullRepaint, 0.5, 3);
GCAD_WALL_CLOCK_BENCHMARK(BM_NoElements, 0.5, 3);
GCAD_WALL_CLOCK_BENCHMARK(BM_EmptyElements, 0.5, 3);

} // namespace

int main(int argc, char **argv)
{
    const GL::HeadlessApplication application(argc, argv);
    Bench::MedianReporter reporter;
    Bench::runInterleaved(argc, argv, reporter);
    double full = 0.0, empty = 0.0, none = 0.0;
    if (reporter.median("BM_FullRepaint", &full) && reporter.median("BM_EmptyElements", &empty)
        && reporter.median("BM_NoElements", &none)) {
        const double toUs = 1e3 / double(plan().elements.size()); // medians are in milliseconds
        std::printf(
            "%zu elements at %dx%d, medians: full repaint %.1f ms, empty elements %.1f ms, no elements "
            "%.1f ms; per element: draw-cycle overhead %.2f us (%.2f us beside the frame's own cost), "
            "drawing %.2f us\n",
            plan().elements.size(), W, H, full, empty, none, empty * toUs, (empty - none) * toUs,
            (full - empty) * toUs);
    }
    benchmark::Shutdown();
    return 0;
}
