// Drawing the GPU nodes of a dome mesh (501 x 501 vertices, 500,000 triangles, several
// leaves) from buffer objects, smooth and flat shaded, against the baseline of the same mesh
// in the same shading drawn from one plain buffer object (gcad bench's baseline: float
// positions, 16-bit normals, flat with each triangle's normal on its last corner, 32-bit
// indices) with one glDrawElements, each as one whole repaint of a 128 x 128 view in the same
// run. The ratios say what the packed 16-bit leaves and the per-range draw calls cost or save.
#include "apps/gcad/gcad_bench_baseline.h"
#include "apps/scene/scene_element_list_callback.h"
#include "bench/median_reporter.h"
#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/cad/vaq_cad_poly_base_render_data.h"
#include "gcad/host/gl/vaq_gl_headless_application.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/mesh/gcad_gl_node.h"
#include "gcad/mesh/gcad_gl_node_container.h"
#include "gcad/mesh/gcad_mesh_render_types.h"
#include "gcad/renderers/gcad_gl_renderer.h"

#include <cstdio>
#include <memory>

using namespace Vaq;
using namespace Vaq::GCAD;

namespace {

const CAD::StageIdentifier STAGE = CAD::StageIdentifier::DEFAULT_DATASET;

// Draws the dome either through its GPU nodes or from one plain buffer object, with the
// given render flags.
class DomeRenderer : public CADGLRenderer
{
public:
    explicit DomeRenderer(RenderCallback *callback)
        : CADGLRenderer(callback)
    {
        m_supported_types = { CAD::ElementCreator::MESH };
    }
    unsigned flags = RT_TRIANGLES | RT_SMOOTH;
    bool plain = false;

protected:
    void preDrawInternal(unsigned, int) override
    {
        if (plain)
            return;
        for (CAD::BspNode *leaf : leaves()) {
            auto *node = static_cast<GLNode *>(leaf->getNodeRenderData());
            if (!node)
                node = new GLNode(STAGE, leaf);
            if (node->updateOrNeedsRebuild(STAGE, flags)) {
                node->clear();
                node->prepare(flags, 0);
            }
            GLNodeContainer::getInstance()->ensureOnGPU(node);
        }
    }
    bool drawInternal() override
    {
        if (plain) {
            m_plain.setup(CAD::ElementAndStageImp(m_current_element, STAGE), { flags }, 1);
            while (!m_plain.draw()) { }
            m_plain.finish();
            return true;
        }
        for (CAD::BspNode *leaf : leaves())
            static_cast<GLNode *>(leaf->getNodeRenderData())->draw(this, flags, false);
        return true;
    }
    void postDrawInternal(int) override { }

private:
    const std::vector<CAD::BspNode *> &leaves() const
    {
        return static_cast<CAD::PolyBase *>(m_current_element)->getPolyBaseRenderData(STAGE)->getAllLeaves();
    }

    // The plain buffers are gcad bench's baseline.
    Gcad::PlainMeshRenderer m_plain { m_render_callback };
};

struct Scene
{
    Scene()
    {
        // The dome is drawn by the benchmark's own renderer instead of the library's.
        callback.getRendererContainer().freeAll();
        renderer = new DomeRenderer(&callback);
        callback.getRendererContainer().registerRenderer(renderer);
        dome = CAD::createDomeMesh(501, false);
        dome->needsNoBoundary(true);
        dome->updateVisualization(STAGE, false, false);
        callback.show(dome.get());
        view.reset(GL::RenderObject::createRenderObject(&callback, 128, 128));
    }
    ~Scene() { nodes.deleteAllNodes(); }

    GLNodeContainer nodes;
    std::unique_ptr<CAD::PolyBase> dome;
    Gcad::Scene::ElementListCallback callback;
    DomeRenderer *renderer = nullptr;
    std::unique_ptr<GL::RenderObject> view;
};

Scene &scene()
{
    static Scene instance;
    return instance;
}

// One repaint per iteration; the first repaint prepares and uploads (untimed).
void repaint(benchmark::State &state, unsigned flags, bool plain)
{
    Scene &s = scene();
    s.renderer->flags = flags;
    s.renderer->plain = plain;
    s.view->repaintWidget();
    s.view->waitForRendering();
    for (auto _ : state) {
        s.view->repaintWidget();
        s.view->waitForRendering();
    }
}

void BM_PlainSmooth(benchmark::State &state)
{
    repaint(state, RT_TRIANGLES | RT_SMOOTH, true);
}
void BM_PlainFlat(benchmark::State &state)
{
    repaint(state, RT_TRIANGLES, true);
}
void BM_NodesSmooth(benchmark::State &state)
{
    repaint(state, RT_TRIANGLES | RT_SMOOTH, false);
}
void BM_NodesFlat(benchmark::State &state)
{
    repaint(state, RT_TRIANGLES, false);
}

#define DRAW_BENCHMARK(function)                                                                             \
    BENCHMARK(function)                                                                                      \
        ->Unit(benchmark::kMillisecond)                                                                      \
        ->UseRealTime()                                                                                      \
        ->MinTime(0.5)                                                                                       \
        ->Repetitions(5)                                                                                     \
        ->ReportAggregatesOnly(true)
DRAW_BENCHMARK(BM_PlainSmooth);
DRAW_BENCHMARK(BM_PlainFlat);
DRAW_BENCHMARK(BM_NodesSmooth);
DRAW_BENCHMARK(BM_NodesFlat);

} // namespace

int main(int argc, char **argv)
{
    const GL::HeadlessApplication application(argc, argv);
    Bench::MedianReporter reporter;
    Bench::runInterleaved(argc, argv, reporter);
    double plainSmooth = 0.0, plainFlat = 0.0, smooth = 0.0, flat = 0.0;
    if (reporter.median("BM_PlainSmooth", &plainSmooth) && reporter.median("BM_PlainFlat", &plainFlat)
        && reporter.median("BM_NodesSmooth", &smooth) && reporter.median("BM_NodesFlat", &flat)) {
        std::printf("dome of %zu leaves, medians: plain buffer smooth %.1f ms, flat %.1f ms; nodes smooth "
                    "%.2f x, flat %.2f x the plain buffer of the same shading\n",
            scene().dome->getPolyBaseRenderData(STAGE)->getAllLeaves().size(), plainSmooth, plainFlat,
            smooth / plainSmooth, flat / plainFlat);
    }
    benchmark::Shutdown();
    return 0;
}
