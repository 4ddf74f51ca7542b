// Turning a view of a 10-million-triangle mesh (the dome at 2237 x 2237 vertices) at 1024 x
// 1024 pixels with interactive repaints, once drawn in full and once with the frame-rate
// adjustment thinning it out, both measured in the same run. The adjustment aims at 8 frames
// per second with the rates of the stored benchmark result (or the defaults), corrected by
// the frames it measures; the run prints the rates it started from, the medians and the plan
// it ended with. Afterwards the view is turned back and repainted in full: the picture must be
// the one drawn before the motion.
#include "bench/median_reporter.h"
#include "bench/rotation_view.h"
#include "gcad/benchmark/gcad_benchmark_result_container.h"
#include "gcad/gcad_library.h"
#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/gl/vaq_gl_headless_application.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"
#include "gcad/mesh/gcad_framerate_adjust.h"

#include <chrono>
#include <cstdio>
#include <memory>

using namespace Vaq;

namespace {

constexpr unsigned DOME_SIZE = 2237;
constexpr int VIEW_SIZE = 1024;
const BaVec3d<double> START_ROTATION { -0.6, 0.0, 0.4 };

struct RotationScene
{
    RotationScene()
    {
        const auto start = std::chrono::steady_clock::now();
        mesh = CAD::createDomeMesh(DOME_SIZE, false);
        mesh->needsNoBoundary(true);
        mesh->updateVisualization(CAD::StageIdentifier::NO_STAGE, false, false);
        rotation = std::make_unique<Bench::RotationView>(mesh.get(), VIEW_SIZE, START_ROTATION);
        setupSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    void turn(bool adjust) { rotation->turn(adjust); }

    std::unique_ptr<CAD::PolyBase> mesh;
    std::unique_ptr<Bench::RotationView> rotation;
    double setupSeconds = 0.0;
};

// Made in main once the library has started, dropped before it closes.
std::unique_ptr<RotationScene> _scene;

RotationScene &scene()
{
    return *_scene;
}

void BM_TurnInFull(benchmark::State &state)
{
    for (auto _ : state)
        scene().turn(false);
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_TurnWithFramerateAdjustment(benchmark::State &state)
{
    for (auto _ : state)
        scene().turn(true);
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

GCAD_WALL_CLOCK_BENCHMARK(BM_TurnInFull, 2.0, 3);
GCAD_WALL_CLOCK_BENCHMARK(BM_TurnWithFramerateAdjustment, 2.0, 3);

// Where the estimates start from: the stored benchmark result of this configuration or the
// default rates.
QString ratesSource()
{
    GCAD::BenchmarkResult result;
    GCAD::BenchmarkResultContainer *store = GCAD::BenchmarkResultContainer::getInstance();
    if (store && store->getResult(GL::WidgetOptions::getInstance()->getCurrentWidgetOptions(), &result))
        return QStringLiteral("the stored benchmark result of %1")
            .arg(result.getDate().toString(Qt::ISODate));
    return QStringLiteral("the default rates (no stored benchmark result)");
}

// The render types and stepping the adjustment planned for the dome in the last moving frame.
QString lastPlan()
{
    std::vector<unsigned> types;
    unsigned stepping = 0;
    if (!GCAD::FramerateAdjust::getInstance()->getPlan(
            &scene().rotation->callback, scene().mesh.get(), &types, &stepping))
        return QStringLiteral("none");
    QStringList names;
    for (unsigned type : types)
        names << QStringLiteral("0x%1").arg(type, 0, 16);
    return QStringLiteral("render types %1, stepping %2").arg(names.join(QLatin1Char(' '))).arg(stepping);
}

} // namespace

int main(int argc, char **argv)
{
    const GL::HeadlessApplication application(argc, argv);
    GCAD::InitDefaults(&Cfg::getRoot());
    GCAD::InitLibrary(&Cfg::getRoot());
    _scene = std::make_unique<RotationScene>();
    std::printf("dome %u x %u (%u triangles) in a %d x %d view: built, prepared and drawn once in %.1f s\n",
        DOME_SIZE, DOME_SIZE, 2 * (DOME_SIZE - 1) * (DOME_SIZE - 1), VIEW_SIZE, VIEW_SIZE,
        scene().setupSeconds);
    std::printf("estimates from %s\n", qPrintable(ratesSource()));
    std::fflush(stdout);

    Bench::MedianReporter reporter;
    Bench::runInterleaved(argc, argv, reporter);
    Bench::printFrameRates(reporter, "BM_TurnInFull", "BM_TurnWithFramerateAdjustment");
    scene().turn(true);
    std::printf("last moving frame planned with %s\n", qPrintable(lastPlan()));

    const int differing = scene().rotation->differingFromStart();
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
