// A high-resolution snapshot of the demo scene (2.16 million triangles, 2.1 million points)
// from a 1024 x 768 view at 4096 pixels, against a plain repaint of a 4096 x 3072 view of the
// same scene on the same context:
//  - BM_PlainRepaint4096: the repaint and the read-back of its picture;
//  - BM_Snapshot4096: createSnapshot, which draws the view at 4096 x 3072 in four bands of 768
//    rows through one frame buffer of its own, each band read into its rows of the picture,
//    and builds the document; the view keeps its own picture, and the repaint the snapshot
//    asks for at its end is scheduled, not waited for;
//  - BM_PlainRepaintOfTheView: that repaint of the 1024 x 768 view, when it runs;
//  - BM_SnapshotPng: painting that document into a picture and encoding it as PNG.
// Before the timings the peak memory growth of one snapshot (VmHWM after resetting it through
// /proc/self/clear_refs, less VmRSS before) is measured against the size of its picture
// (4096 x 3072 x 4 bytes). With a software rasteriser the frame buffer is process memory too:
// the picture and one band's colour and depth-stencil buffers, 1.5 times the picture, are
// alive at the same moment.
#include "apps/scene/scene.h"
#include "apps/scene/scene_demo.h"
#include "apps/scene/scene_render_callback.h"
#include "bench/median_reporter.h"
#include "gcad/gcad_library.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/fig2/vaq_fig2_snapshot_data.h"
#include "gcad/host/gl/vaq_gl_headless_application.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <QBuffer>
#include <QFile>

#include <cstdio>
#include <memory>

using namespace Vaq;

namespace {

constexpr int SNAPSHOT = 4096, VIEW_W = 1024, VIEW_H = 768;

struct Views
{
    Views()
        : small(scene)
        , large(scene)
    {
        Gcad::Scene::addDemoScene(scene);
        smallView.reset(GL::RenderObject::createRenderObject(&small, VIEW_W, VIEW_H));
        largeView.reset(GL::RenderObject::createRenderObject(&large, SNAPSHOT, SNAPSHOT * VIEW_H / VIEW_W));
        for (GL::RenderObject *view : { smallView.get(), largeView.get() }) {
            BaVec3d<double> rotation(-55.0, 0.0, 35.0);
            view->setRotation(rotation);
            view->fitView();
            view->repaintWidget(); // the GPU data is made once, before any timing
        }
        GL::WidgetOptions::getInstance()->setSnapshotSizeSetting(SNAPSHOT);
        GCAD::RenderCallback::setMaxSnapshotSize(SNAPSHOT);
    }
    Gcad::Scene::Scene scene;
    Gcad::Scene::SceneRenderCallback small, large;
    std::unique_ptr<GL::RenderObject> smallView, largeView;
};

// Made in main once the library has started, dropped before it closes.
std::unique_ptr<Views> _views;

Views &views()
{
    return *_views;
}

void BM_PlainRepaint4096(benchmark::State &state)
{
    Views &v = views();
    for (auto _ : state) {
        v.largeView->repaintWidget(
            GL::UpdateOptions(GL::UpdateOptions::US_ALL, GL::UpdateOptions::UT_SNAPSHOT));
        benchmark::DoNotOptimize(v.largeView->getRenderedImage());
    }
}

void BM_PlainRepaintOfTheView(benchmark::State &state)
{
    Views &v = views();
    for (auto _ : state) {
        v.smallView->repaintWidget(
            GL::UpdateOptions(GL::UpdateOptions::US_ALL, GL::UpdateOptions::UT_KEEP_GPU_DATA));
        v.smallView->waitForRendering();
    }
}

void BM_Snapshot4096(benchmark::State &state)
{
    Views &v = views();
    for (auto _ : state) {
        bool ok = false;
        const std::unique_ptr<Fig2::SnapshotData> snapshot = v.small.createSnapshot(&ok);
        if (!ok || snapshot->getImageSize().width() != SNAPSHOT)
            state.SkipWithError("the snapshot has not the size asked for");
    }
}

void BM_SnapshotPng(benchmark::State &state)
{
    Views &v = views();
    bool ok = false;
    const std::unique_ptr<Fig2::SnapshotData> snapshot = v.small.createSnapshot(&ok);
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        snapshot->toImage().save(&buffer, "PNG");
        benchmark::DoNotOptimize(buffer.data().size());
    }
}

GCAD_WALL_CLOCK_BENCHMARK(BM_PlainRepaint4096, 0.01, 3);
GCAD_WALL_CLOCK_BENCHMARK(BM_PlainRepaintOfTheView, 0.01, 3);
GCAD_WALL_CLOCK_BENCHMARK(BM_Snapshot4096, 0.01, 3);
GCAD_WALL_CLOCK_BENCHMARK(BM_SnapshotPng, 0.01, 3);

// A kB figure of /proc/self/status ("VmRSS", "VmHWM"); -1 where there is none.
long statusKB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').front().toLong();
    return -1;
}

// The peak growth of the process's memory over one snapshot, in bytes; -1 where the kernel
// cannot reset the peak.
double snapshotPeakGrowth()
{
    Views &v = views();
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    const long before = statusKB("VmRSS:");
    if (before < 0 || !clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        return -1.0;
    clear.close();
    bool ok = false;
    const std::unique_ptr<Fig2::SnapshotData> snapshot = v.small.createSnapshot(&ok);
    return (statusKB("VmHWM:") - before) * 1024.0;
}

} // namespace

int main(int argc, char **argv)
{
    const GL::HeadlessApplication application(argc, argv);
    GCAD::InitDefaults(&Cfg::getRoot());
    GCAD::InitLibrary(&Cfg::getRoot());
    _views = std::make_unique<Views>();
    // One snapshot first, so that the measured one finds its buffers' sizes used before.
    bool ok = false;
    views().small.createSnapshot(&ok);
    const double growth = snapshotPeakGrowth();
    const double imageBytes = double(SNAPSHOT) * (SNAPSHOT * VIEW_H / VIEW_W) * 4.0;
    if (growth >= 0.0)
        std::printf("snapshot at %d px: peak memory growth %.1f MiB, %.3f x its picture (%.0f MiB)\n",
            SNAPSHOT, growth / 1048576.0, growth / imageBytes, imageBytes / 1048576.0);

    Bench::MedianReporter reporter;
    Bench::runInterleaved(argc, argv, reporter);
    double plain = 0.0, view = 0.0, snapshot = 0.0, png = 0.0;
    if (reporter.median("BM_PlainRepaint4096", &plain) && reporter.median("BM_PlainRepaintOfTheView", &view)
        && reporter.median("BM_Snapshot4096", &snapshot) && reporter.median("BM_SnapshotPng", &png))
        std::printf(
            "medians: plain repaint %.0f ms, snapshot %.0f ms (%.2f x the plain repaint; the view's own "
            "repaint it schedules takes %.0f ms when it runs), PNG %.0f ms\n",
            plain, snapshot, snapshot / plain, view, png);
    benchmark::Shutdown();
    _views.reset();
    GCAD::CloseLibrary();
    GCAD::CloseDefaults(&Cfg::getRoot());
    return 0;
}
