// Drawing a 10-million-point scan (coloured, with normals, point size 3) through the points
// renderer at stepping 1, as one whole repaint of a 1024 x 1024 view, against the baseline of
// the same points drawn from one plain buffer object (float positions, float normals, byte
// colours, one array after the other) with one glDrawArrays under the same GL state, in a
// second view of the same size and camera on the same context. Both must draw the same picture.
// A third view draws through the renderer without buffer objects (the same arrays in client
// memory), to show what the buffer object gains.
#include "apps/scene/scene_element_list_callback.h"
#include "bench/median_reporter.h"
#include "bench/rotation_view.h"
#include "bench/scan_cloud.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_headless_application.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/renderers/gcad_gl_renderer.h"

#include <cstdio>
#include <cstring>
#include <memory>

using namespace Vaq;
using namespace Vaq::GCAD;

namespace {

constexpr unsigned COLUMNS = 4000, ROWS = 2500;
constexpr int VIEW_SIZE = 1024;
const BaVec3d<double> ROTATION { -0.6, 0.0, 0.4 };

// The baseline: the whole cloud with one glDrawArrays from one buffer object, set up as the
// points renderer sets up its plain points.
class PlainPointsRenderer : public CADGLRenderer
{
public:
    explicit PlainPointsRenderer(RenderCallback *callback)
        : CADGLRenderer(callback)
    {
        m_supported_types = { CAD::ElementCreator::POINTS_SCAN };
    }
    ~PlainPointsRenderer() override
    {
        if (m_buffer)
            GL::glDeleteBuffers(1, &m_buffer);
    }

protected:
    void preDrawInternal(unsigned, int) override
    {
        ::glEnable(GL_COLOR_MATERIAL);
        ::glPointSize(float(m_snapshot_scaling * m_element_properties->pointSize));
        initMaterial(m_current_element, false, false, false);
        if (!m_buffer)
            upload(static_cast<const CAD::PointsBase &>(*m_current_element));
    }
    bool drawInternal() override
    {
        GL::glBindBuffer(GL_ARRAY_BUFFER, m_buffer);
        ::glEnableClientState(GL_VERTEX_ARRAY);
        ::glEnableClientState(GL_NORMAL_ARRAY);
        ::glEnableClientState(GL_COLOR_ARRAY);
        ::glVertexPointer(3, GL_FLOAT, 0, nullptr);
        ::glNormalPointer(GL_FLOAT, 0, reinterpret_cast<const void *>(std::size_t(m_count) * 12));
        ::glColorPointer(3, GL_UNSIGNED_BYTE, 4, reinterpret_cast<const void *>(std::size_t(m_count) * 24));
        ::glDrawArrays(GL_POINTS, 0, GLsizei(m_count));
        ::glDisableClientState(GL_COLOR_ARRAY);
        ::glDisableClientState(GL_NORMAL_ARRAY);
        ::glDisableClientState(GL_VERTEX_ARRAY);
        GL::glBindBuffer(GL_ARRAY_BUFFER, 0);
        return true;
    }
    void postDrawInternal(int) override
    {
        ::glDisable(GL_COLOR_MATERIAL);
        ::glPointSize(1.0f);
    }

private:
    void upload(const CAD::PointsBase &cloud)
    {
        const CAD::StageIdentifier stage = CAD::StageIdentifier::NO_STAGE;
        const auto &points = cloud.getPointVector(stage);
        m_count = unsigned(points.size());
        std::vector<float> data;
        data.reserve(std::size_t(m_count) * 7);
        for (const BaVec3d<double> &p : points)
            data.insert(data.end(), { float(p.x), float(p.y), float(p.z) });
        for (const BaVec3d<float> &n : cloud.getNormalVector(stage))
            data.insert(data.end(), { n.x, n.y, n.z });
        data.resize(std::size_t(m_count) * 7);
        std::memcpy(data.data() + std::size_t(m_count) * 6, cloud.getColorVector(stage).data(),
            std::size_t(m_count) * 4);
        GL::glGenBuffers(1, &m_buffer);
        GL::glBindBuffer(GL_ARRAY_BUFFER, m_buffer);
        GL::glBufferData(
            GL_ARRAY_BUFFER, GLsizeiptr(data.size() * sizeof(float)), data.data(), GL_STATIC_DRAW);
        GL::glBindBuffer(GL_ARRAY_BUFFER, 0);
    }

    GLuint m_buffer = 0;
    unsigned m_count = 0;
};

struct DrawScene
{
    DrawScene()
    {
        cloud = Bench::makeScanCloud(COLUMNS, ROWS);
        library.show(cloud.get(), CAD::StageIdentifier::NO_STAGE);
        client.show(cloud.get(), CAD::StageIdentifier::NO_STAGE);
        plain.show(cloud.get(), CAD::StageIdentifier::NO_STAGE);
        plain.getRendererContainer().freeAll();
        plain.getRendererContainer().registerRenderer(new PlainPointsRenderer(&plain));
        for (auto &[callback, view] : { std::pair(&library, &libraryView), std::pair(&plain, &plainView),
                 std::pair(&client, &clientView) }) {
            view->reset(GL::RenderObject::createRenderObject(callback, VIEW_SIZE, VIEW_SIZE));
            (*view)->setRotation(ROTATION);
            (*view)->setAllowGPURessources(callback != &client);
            (*view)->repaintWidget(); // uploads the points
        }
    }

    static void paint(GL::RenderObject &view)
    {
        view.repaintWidget();
        view.waitForRendering();
    }

    std::unique_ptr<CAD::PointsBase> cloud;
    Gcad::Scene::ElementListCallback library, plain, client;
    std::unique_ptr<GL::RenderObject> libraryView, plainView, clientView;
};

std::unique_ptr<DrawScene> _scene;

void BM_PointsRenderer(benchmark::State &state)
{
    for (auto _ : state)
        DrawScene::paint(*_scene->libraryView);
    state.counters["points/s"]
        = benchmark::Counter(double(state.iterations()) * COLUMNS * ROWS, benchmark::Counter::kIsRate);
}

void BM_OneDrawArrays(benchmark::State &state)
{
    for (auto _ : state)
        DrawScene::paint(*_scene->plainView);
    state.counters["points/s"]
        = benchmark::Counter(double(state.iterations()) * COLUMNS * ROWS, benchmark::Counter::kIsRate);
}

void BM_PointsRendererClientMemory(benchmark::State &state)
{
    for (auto _ : state)
        DrawScene::paint(*_scene->clientView);
    state.counters["points/s"]
        = benchmark::Counter(double(state.iterations()) * COLUMNS * ROWS, benchmark::Counter::kIsRate);
}

GCAD_WALL_CLOCK_BENCHMARK(BM_PointsRendererClientMemory, 0.5, 3);
GCAD_WALL_CLOCK_BENCHMARK(BM_PointsRenderer, 2.0, 3);
GCAD_WALL_CLOCK_BENCHMARK(BM_OneDrawArrays, 2.0, 3);

} // namespace

int main(int argc, char **argv)
{
    const GL::HeadlessApplication application(argc, argv);
    _scene = std::make_unique<DrawScene>();
    if (!GL::glGenBuffers) {
        std::fprintf(stderr, "the driver offers no buffer objects: there is no baseline\n");
        return 1;
    }
    // Both pictures, drawn once more, must be the same.
    DrawScene::paint(*_scene->libraryView);
    DrawScene::paint(*_scene->plainView);
    DrawScene::paint(*_scene->clientView);
    const QImage picture = _scene->libraryView->getRenderedImage();
    const int differing
        = Bench::RotationView::differingPixels(picture, _scene->plainView->getRenderedImage());
    const int clientDiffering
        = Bench::RotationView::differingPixels(picture, _scene->clientView->getRenderedImage());
    const auto describe = [](int count) {
        return count == 0 ? QStringLiteral("identical") : QStringLiteral("%1 pixels differ").arg(count);
    };
    std::printf("%u points in a %d x %d view; the renderer's picture and the baseline's: %s; drawn without "
                "buffer objects: %s\n",
        COLUMNS * ROWS, VIEW_SIZE, VIEW_SIZE, qPrintable(describe(differing)),
        qPrintable(describe(clientDiffering)));
    std::fflush(stdout);

    Bench::MedianReporter reporter;
    Bench::runInterleaved(argc, argv, reporter);
    double renderer = 0.0, baseline = 0.0;
    if (reporter.median("BM_PointsRenderer", &renderer) && reporter.median("BM_OneDrawArrays", &baseline))
        std::printf("medians: renderer %.1f ms, one glDrawArrays %.1f ms; the renderer draws at %.2f of the "
                    "baseline's rate\n",
            renderer, baseline, baseline / renderer);
    double clientMemory = 0.0;
    if (reporter.median("BM_PointsRendererClientMemory", &clientMemory) && baseline > 0.0)
        std::printf(
            "without buffer objects (arrays in client memory): %.1f ms, %.2f of the baseline's rate\n",
            clientMemory, baseline / clientMemory);
    benchmark::Shutdown();
    _scene.reset();
    return differing == 0 && clientDiffering == 0 ? 0 : 1;
}
