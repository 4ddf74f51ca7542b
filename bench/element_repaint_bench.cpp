// A full repaint of a large inspection plan at 1920 x 1080: 2,000 measurements and 10,000
// primitives drawn by the library's renderers (buildInspectionPlan), against the same elements
// drawn by a renderer that draws nothing, which is what the drawing cycle itself costs per
// element (collecting, ordering, set-up, stencil identities, the GL default check), and the
// same view without elements, what a frame costs whatever it shows (clearing, the overlay,
// finishing). All repaint the whole view; medians of interleaved repetitions.
// With --save=PREFIX the plan's repaint is written as PREFIX.png and, as PREFIX-ids.png, which
// element the stencil names at each pixel (its index + 1 as 24-bit RGB), to compare the pixels
// and the picking answers of two builds.
#include "apps/scene/scene_element_list_callback.h"
#include "bench/inspection_plan.h"
#include "bench/median_reporter.h"
#include "bench/null_renderer.h"
#include "gcad/host/gl/vaq_gl_headless_application.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_stencil_handler.h"

#include <cstdio>
#include <cstring>
#include <map>
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

// The plan's picture and its element at every pixel, as two images named after prefix.
bool save(const char *prefix)
{
    Plan &p = plan();
    p.libraryView->repaintWidget();
    p.libraryView->waitForRendering();
    bool ok = false;
    const QImage picture = p.libraryView->getRenderedImage(&ok);
    unsigned rect[4];
    std::vector<const CAD::Element *> drawn;
    if (!ok
        || !p.libraryView->getStencilHandler()->getRenderedElements(
            BaVec2d<double>(0, 0), BaVec2d<double>(W - 1, H - 1), false, rect, &drawn))
        return false;
    std::map<const CAD::Element *, unsigned> index;
    for (std::size_t i = 0; i < p.elements.size(); ++i)
        index[p.elements[i].get()] = unsigned(i + 1);
    QImage ids(W, H, QImage::Format_RGB32);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const auto found = index.find(drawn[std::size_t(y) * W + std::size_t(x)]);
            ids.setPixel(x, H - 1 - y, 0xFF000000u | (found == index.end() ? 0u : found->second));
        }
    const QString name = QString::fromLocal8Bit(prefix);
    return picture.save(name + QStringLiteral(".png")) && ids.save(name + QStringLiteral("-ids.png"));
}

} // namespace

int main(int argc, char **argv)
{
    const GL::HeadlessApplication application(argc, argv);
    if (argc == 2 && std::strncmp(argv[1], "--save=", 7) == 0) {
        if (save(argv[1] + 7))
            return 0;
        std::fprintf(stderr, "bench_element_repaint: could not save %s\n", argv[1] + 7);
        return 1;
    }
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
