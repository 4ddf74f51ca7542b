// Turning a view of a 20-million-point scan (5000 x 4000 coloured points with normals) at
// 1024 x 1024 pixels with interactive repaints and the frame-rate adjustment, against the full
// repaint of every point, both measured in the same run. A moving view thins the cloud to
// about 300000 points per frame, and the adjustment thins them further as far as the frames it
// measures ask for. Afterwards the view is turned back and repainted in full:
// the picture must be the one drawn before the motion.
#include "bench/median_reporter.h"
#include "bench/rotation_view.h"
#include "bench/scan_cloud.h"
#include "gcad/gcad_library.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/gl/vaq_gl_headless_application.h"
#include "gcad/mesh/gcad_framerate_adjust.h"

#include <chrono>
#include <cstdio>
#include <memory>

using namespace Vaq;

namespace {

constexpr unsigned COLUMNS = 5000, ROWS = 4000;
constexpr int VIEW_SIZE = 1024;
const BaVec3d<double> START_ROTATION { -0.6, 0.0, 0.4 };

struct RotationScene
{
    RotationScene()
    {
        const auto start = std::chrono::steady_clock::now();
        cloud = Bench::makeScanCloud(COLUMNS, ROWS);
        rotation = std::make_unique<Bench::RotationView>(cloud.get(), VIEW_SIZE, START_ROTATION);
        setupSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    std::unique_ptr<CAD::PointsBase> cloud;
    std::unique_ptr<Bench::RotationView> rotation;
    double setupSeconds = 0.0;
};

// Made in main once the library has started, dropped before it closes.
std::unique_ptr<RotationScene> _scene;

void BM_RepaintInFull(benchmark::State &state)
{
    for (auto _ : state) {
        _scene->rotation->view->repaintWidget();
        _scene->rotation->view->waitForRendering();
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_TurnWithFramerateAdjustment(benchmark::State &state)
{
    for (auto _ : state)
        _scene->rotation->turn(true);
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

GCAD_WALL_CLOCK_BENCHMARK(BM_RepaintInFull, 2.0, 3);
GCAD_WALL_CLOCK_BENCHMARK(BM_TurnWithFramerateAdjustment, 2.0, 3);

} // namespace

int main(int argc, char **argv)
{
    const GL::HeadlessApplication application(argc, argv);
    GCAD::InitDefaults(&Cfg::getRoot());
    GCAD::InitLibrary(&Cfg::getRoot());
    _scene = std::make_unique<RotationScene>();
    std::printf("scan of %u x %u points in a %d x %d view: built, uploaded and drawn once in %.1f s\n",
        COLUMNS, ROWS, VIEW_SIZE, VIEW_SIZE, _scene->setupSeconds);
    std::fflush(stdout);

    Bench::MedianReporter reporter;
    Bench::runInterleaved(argc, argv, reporter);
    Bench::printFrameRates(reporter, "BM_RepaintInFull", "BM_TurnWithFramerateAdjustment");

    _scene->rotation->turn(true);
    std::vector<unsigned> types;
    unsigned stepping = 0;
    if (GCAD::FramerateAdjust::getInstance()->getPlan(
            &_scene->rotation->callback, _scene->cloud.get(), &types, &stepping))
        std::printf(
            "last moving frame planned with a stepping of %u on top of the moving view's own\n", stepping);
    else
        std::printf("last moving frame drawn without a plan\n");

    const int differing = _scene->rotation->differingFromStart();
    std::printf("full repaint after the motion: %s\n",
        differing == 0
            ? "identical to the one before"
            : QStringLiteral("%1 pixels differ from the one before").arg(differing).toUtf8().constData());
    benchmark::Shutdown();
    _scene.reset();
    GCAD::CloseLibrary();
    GCAD::CloseDefaults(&Cfg::getRoot());
    return differing == 0 ? 0 : 1;
}
