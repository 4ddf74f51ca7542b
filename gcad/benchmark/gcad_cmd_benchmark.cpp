#include "gcad/benchmark/gcad_cmd_benchmark.h"

#include "gcad/benchmark/gcad_benchmark_crash_guard.h"
#include "gcad/benchmark/gcad_benchmark_rcb.h"
#include "gcad/benchmark/gcad_benchmark_result.h"
#include "gcad/benchmark/gcad_benchmark_result_container.h"
#include "gcad/gcad_config.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/base/vaq_time.h"
#include "gcad/host/base/vaq_translation.h"
#include "gcad/host/gapp/vaq_gapp_main_window.h"
#include "gcad/host/gapp/vaq_gapp_view_settings.h"
#include "gcad/host/gapp/vaq_gapp_wait_cursor.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_update_options.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"
#include "gcad/mesh/gcad_framerate_adjust.h"
#include "gcad/mesh/gcad_gl_node_container.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <memory>

namespace Vaq::GCAD {

namespace {

// The view turns by pi/5 about the vertical axis from one frame to the next.
constexpr double TURN_PER_FRAME = 0.6283185307179586;
// Cards with this much graphics memory or less are not measured.
constexpr unsigned MIN_MEMORY_MB = 64;

// The frame-rate plan draws every element with exactly the given stepping while it lives.
class FixedStepping
{
public:
    FixedStepping(FramerateAdjust *adjust, unsigned stepping)
        : m_adjust(adjust)
    {
        m_adjust->setFixed(true);
        m_adjust->setFixedStepping(stepping);
    }
    ~FixedStepping() { m_adjust->setFixed(false); }
    FixedStepping(const FixedStepping &) = delete;
    FixedStepping &operator=(const FixedStepping &) = delete;

private:
    FramerateAdjust *m_adjust;
};

// The view leads the frame-rate plan while it lives (only the master view is planned).
class MasterView
{
public:
    explicit MasterView(GL::RenderCallback *callback)
        : m_previous(GL::RenderCallback::getMasterRenderCallback())
    {
        GL::RenderCallback::setMasterRenderCallback(callback);
    }
    ~MasterView() { GL::RenderCallback::setMasterRenderCallback(m_previous); }
    MasterView(const MasterView &) = delete;
    MasterView &operator=(const MasterView &) = delete;

private:
    GL::RenderCallback *m_previous;
};

void checkLibraryStarted()
{
    const char *function = "Vaq::GCAD::MeshBenchmarkCommand::executeScript";
    if (!BenchmarkResultContainer::getInstance())
        VAQ_PROG_ERROR(function, "no benchmark result store (library not started)");
    if (!FramerateAdjust::getInstance())
        VAQ_PROG_ERROR(function, "no frame-rate adjustment (library not started)");
    if (!GLNodeContainer::getInstance())
        VAQ_PROG_ERROR(function, "no mesh node container (library not started)");
}

} // namespace

MeshBenchmarkCommand::MeshBenchmarkCommand()
    : GApp::Command(CMD_BENCHMARK_MESH, translate("GCAD_cmd", "run benchmark"))
{
}

bool MeshBenchmarkCommand::isAvailable() const
{
    GL::WidgetOptions *widgetOptions = GL::WidgetOptions::getInstance();
    return widgetOptions->isOffscreenRenderingEnabled()
        && widgetOptions->getCurrentWidgetOptions().memoryMB > MIN_MEMORY_MB;
}

bool MeshBenchmarkCommand::parseParameters(const QString &parameters, QString &error) const
{
    MeshBenchmarkSettings settings;
    return settings.parse(parameters, &error);
}

unsigned MeshBenchmarkCommand::calculateWidgetSize(const QSize &screen)
{
    const double area = double(screen.width() - 150) * double(screen.height() - 50);
    return area > 0.0 ? unsigned(std::floor(std::sqrt(area) + 0.5)) : 1u;
}

uint64_t MeshBenchmarkCommand::getElementCount(unsigned domeSize, bool edges, bool points)
{
    const uint64_t vertices = uint64_t(domeSize) * domeSize;
    if (edges)
        return vertices * 3 / 2;
    if (points)
        return vertices;
    return 2 * uint64_t(domeSize - 1) * (domeSize - 1);
}

void MeshBenchmarkCommand::addCompanion(BenchmarkRCB *callback, BenchmarkResult *result)
{
    m_companions.push_back(Measured { callback, nullptr, result });
}

bool MeshBenchmarkCommand::executeScript(const QString &parameters)
{
    MeshBenchmarkSettings settings;
    QString error;
    if (!settings.parse(parameters, &error))
        return false;
    checkLibraryStarted();
    GApp::MainWindow *window = GApp::MainWindow::getInstance();

    // Should the driver crash during the run, the next start uses software rendering.
    BenchmarkCrashGuard guard;

    const unsigned size
        = settings.widgetSize > 0 ? settings.widgetSize : calculateWidgetSize(GApp::getDesktopSize());
    const GL::WidgetOptions::Options &options = GL::WidgetOptions::getInstance()->getCurrentWidgetOptions();
    {
        const GApp::WaitCursor waitCursor;
        BenchmarkResult result;
        result.setRenderer(options.renderer);
        result.setDriverVersion(options.driverVersion);
        result.setSoftwareRendering(options.softwareRendering);
        result.setWidgetSize(size);

        // The views go before their callbacks.
        const auto callback = std::make_unique<BenchmarkRCB>();
        const std::unique_ptr<GL::RenderObject> view(
            GL::RenderObject::createRenderObject(callback.get(), int(size), int(size)));
        std::vector<std::unique_ptr<GL::RenderObject>> companionViews;
        std::vector<Measured> measured = { { callback.get(), view.get(), &result } };
        for (const Measured &companion : m_companions) {
            companionViews.emplace_back(
                GL::RenderObject::createRenderObject(companion.callback, int(size), int(size)));
            measured.push_back({ companion.callback, companionViews.back().get(), companion.result });
        }
        if (settings.verbose)
            std::cout << "Benchmark GPU: " << options.renderer.toLocal8Bit().constData() << std::endl;

        m_message = translate("GCAD_Benchmark_progress", "create benchmark data");
        window->setStatusText(m_message);
        window->setProgress(0, m_message);
        QCoreApplication::processEvents();
        for (const Measured &m : measured)
            m.callback->createTestData(settings.domeSize);

        m_message = translate("GCAD_Benchmark_progress", "run benchmark");
        window->resetStatus();
        window->startProgress();
        measureRates(measured, settings);

        m_last_result_stored = settings.isFullRun();
        if (m_last_result_stored)
            BenchmarkResultContainer::getInstance()->addResult(result);
        m_last_result = result;
        window->resetStatus();
        window->endProgress();
    }
    guard.release();
    return true;
}

void MeshBenchmarkCommand::measureRates(
    const std::vector<Measured> &measured, const MeshBenchmarkSettings &settings)
{
    m_measured = measured;
    m_settings = settings;
    m_measurement_counter = 0;
    struct Forget
    {
        std::vector<Measured> &measured;
        ~Forget() { measured.clear(); }
    } forget { m_measured };

    runBenchmark(false, false, QStringLiteral("flat,   no color"));
    runBenchmark(true, false, QStringLiteral("smooth, no color"));
    runBenchmark(false, true, QStringLiteral("flat,   color"));
    runBenchmark(true, true, QStringLiteral("smooth, color"));
}

void MeshBenchmarkCommand::runBenchmark(bool smooth, bool color, const QString &name)
{
    if (m_settings.verbose)
        std::cout << "    mesh type: " << name.toLocal8Bit().constData() << std::endl;
    for (const Measured &m : m_measured) {
        m.callback->setColor(color);
        if (m.callback->getElementsForDrawing().size() != 1)
            VAQ_PROG_ERROR("Vaq::GCAD::MeshBenchmarkCommand::runBenchmark", "only one mesh allowed");
        CAD::ElemProp &properties = *m.callback->getMesh()->getElemProperties();
        properties.pointSize = 2.0;
        properties.showPoints = false;
        properties.showTriangles = true;
        properties.showMaterialSide = false;
        properties.smooth = smooth;
        properties.showEdges = false;
        properties.showBoundary = false;
        m.view->setRotation(BaVec3d<double>(0.0, 0.0, 0.0));
    }

    measureAll(QStringLiteral("wireframe"), false, false, true, false, 1,
        [&](BenchmarkResult *result, unsigned rate) { result->setEdgeStats(smooth, color, rate); });
    measureAll(QStringLiteral("triangles twosided"), true, true, false, false, 1,
        [&](BenchmarkResult *result, unsigned rate) {
            result->setTwosidedTriangleStats(smooth, color, rate);
        });
    measureAll(QStringLiteral("triangles singlesided"), true, false, false, false, 1,
        [&](BenchmarkResult *result, unsigned rate) {
            result->setSinglesidedTriangleStats(smooth, color, rate);
        });
    for (unsigned stepping : BenchmarkResult::_steppings) {
        measureAll(QStringLiteral("points - step %1").arg(stepping), false, false, false, true, stepping,
            [&](BenchmarkResult *result, unsigned rate) {
                result->setPointStats(smooth, color, stepping, rate);
            });
    }
}

void MeshBenchmarkCommand::measureAll(const QString &name, bool surface, bool twoSided, bool edges,
    bool points, unsigned stepping, const std::function<void(BenchmarkResult *, unsigned rate)> &store)
{
    ++m_measurement_counter;
    GApp::MainWindow::getInstance()->setProgress(
        int(m_measurement_counter * 100 / MEASUREMENTS_PER_RUN), m_message);
    const std::vector<std::optional<unsigned>> rates
        = measure(name, surface, twoSided, edges, points, stepping);
    for (std::size_t i = 0; i < m_measured.size(); ++i) {
        if (rates[i])
            store(m_measured[i].result, *rates[i]);
    }
}

std::vector<std::optional<unsigned>> MeshBenchmarkCommand::measure(
    const QString &name, bool surface, bool twoSided, bool edges, bool points, unsigned stepping)
{
    const uint64_t count = getElementCount(m_settings.domeSize, edges, points);
    const FixedStepping fixed(FramerateAdjust::getInstance(), stepping);
    const GL::UpdateOptions options(GL::UpdateOptions::US_ALL, GL::UpdateOptions::UT_BENCHMARK);
    // Each frame is waited for, so that the time counts what was drawn, not only what was
    // sent. Only the master view is planned, so each view leads while it draws.
    auto drawFrame = [&options](const Measured &m) {
        const MasterView master(m.callback);
        m.view->repaintWidget(options);
        m.view->waitForRendering();
    };

    // The first frame prepares and uploads what the test draws; it is not timed. The run's
    // own view always takes part.
    std::vector<bool> takesPart;
    for (const Measured &m : m_measured) {
        CAD::ElemProp &properties = *m.callback->getMesh()->getElemProperties();
        properties.showTriangles = surface;
        properties.showMaterialSide = twoSided;
        properties.showEdges = edges;
        properties.showPoints = points;
        properties.showBoundary = false;
        takesPart.push_back(takesPart.empty() || m.callback->measures(properties));
        if (takesPart.back())
            drawFrame(m);
    }
    std::vector<double> elapsed(m_measured.size(), 0.0);
    unsigned frames = 0;
    while (elapsed[0] < m_settings.minSeconds || frames < m_settings.minFrames) {
        for (std::size_t i = 0; i < m_measured.size(); ++i) {
            if (!takesPart[i])
                continue;
            const Time start;
            QCoreApplication::processEvents();
            m_measured[i].view->setRotation(BaVec3d<double>(0.0, frames * TURN_PER_FRAME, 0.0));
            drawFrame(m_measured[i]);
            elapsed[i] += start.elapsed();
        }
        ++frames;
    }

    std::vector<std::optional<unsigned>> rates(m_measured.size());
    for (std::size_t i = 0; i < m_measured.size(); ++i) {
        if (takesPart[i])
            rates[i] = unsigned(
                std::min(frames * double(count) / elapsed[i], double(std::numeric_limits<unsigned>::max())));
    }
    if (m_settings.verbose)
        std::cout << "        MElems/s: " << *rates[0] / 1e6 << "\tfps: " << frames / elapsed[0] << '\t'
                  << name.toLocal8Bit().constData() << std::endl;
    return rates;
}

} // namespace Vaq::GCAD
