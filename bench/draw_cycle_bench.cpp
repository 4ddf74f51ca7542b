// The drawing cycle's own cost: one repaint of 100000 trivial elements (one render type, one
// step each) through the render callback, against the same trivial renderer driven directly
// over the same elements (set-up, draw with the GL default check, finish). The difference
// per element is what collecting, ordering, stage serving, stencil identities and the matrix
// stack add.
#include "apps/scene/scene_element_list_callback.h"
#include "bench/median_reporter.h"
#include "bench/null_renderer.h"
#include "gcad/host/gl/vaq_gl_headless_application.h"
#include "gcad/host/gl/vaq_gl_render_object.h"

#include <cstdio>
#include <memory>

using namespace Vaq;

namespace {

constexpr int ELEMENTS = 100000;

struct Scene
{
    Scene()
    {
        // A renderer that draws nothing takes the place of the library's.
        callback.getRendererContainer().freeAll();
        renderer = new Bench::NullRenderer(&callback, { CAD::ElementCreator::LABEL });
        callback.getRendererContainer().registerRenderer(renderer);
        for (int i = 0; i < ELEMENTS; ++i) {
            elements.emplace_back(new CAD::Element(CAD::ElementCreator::LABEL));
            callback.show(elements.back().get());
        }
        view.reset(GL::RenderObject::createRenderObject(&callback, 64, 64));
    }
    std::vector<std::unique_ptr<CAD::Element>> elements;
    Gcad::Scene::ElementListCallback callback;
    Bench::NullRenderer *renderer = nullptr;
    std::unique_ptr<GL::RenderObject> view;
};

Scene &scene()
{
    static Scene instance;
    return instance;
}

void BM_RepaintCycle(benchmark::State &state)
{
    Scene &s = scene();
    for (auto _ : state) {
        s.renderer->drawn = 0;
        s.view->repaintWidget();
        s.view->waitForRendering();
    }
    if (s.renderer->drawn != ELEMENTS)
        state.SkipWithError("not every element was drawn");
}

void BM_RendererAlone(benchmark::State &state)
{
    Scene &s = scene();
    s.view->makeCurrent();
    for (auto _ : state) {
        for (const CAD::ElementAndStageImp &entry : s.callback.entries) {
            s.renderer->setup(entry, {}, 1);
            while (!s.renderer->draw()) { }
            s.renderer->finish();
        }
        s.view->waitForRendering();
    }
}

GCAD_WALL_CLOCK_BENCHMARK(BM_RepaintCycle, 0.5, 5);
GCAD_WALL_CLOCK_BENCHMARK(BM_RendererAlone, 0.5, 5);

} // namespace

int main(int argc, char **argv)
{
    const GL::HeadlessApplication application(argc, argv);
    Bench::MedianReporter reporter;
    Bench::runInterleaved(argc, argv, reporter);
    double cycle = 0.0, alone = 0.0;
    if (reporter.median("BM_RepaintCycle", &cycle) && reporter.median("BM_RendererAlone", &alone)) {
        const double toNs = 1e6 / ELEMENTS; // medians are in milliseconds per repaint
        std::printf(
            "per element, medians: renderer alone %.0f ns, cycle overhead %.0f ns (repaint %.0f ns, %.2f x "
            "the renderer alone)\n",
            alone * toNs, (cycle - alone) * toNs, cycle * toNs, cycle / alone);
    }
    benchmark::Shutdown();
    return 0;
}
