// MeshBenchmarkCommand: the command "sys.run_benchmark". It measures how fast the graphics
// configuration draws a large mesh: in a square off-screen view of its own it turns the
// benchmark dome drawn as wireframe, as two-sided and single-sided triangles and as points at
// the six step widths, each flat and smooth, without and with colour, and adds the 36 rates
// as one BenchmarkResult. Only the standard run adds it to the result store, from which render
// times and the performance index are estimated; shorter runs only measure.
#pragma once

#include "gcad/benchmark/gcad_benchmark_result.h"
#include "gcad/benchmark/gcad_benchmark_settings.h"
#include "gcad/host/gapp/vaq_gapp_command.h"

#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace Vaq::GL {
class RenderObject;
}

namespace Vaq::GCAD {

class BenchmarkRCB;

class MeshBenchmarkCommand : public GApp::Command
{
public:
    static constexpr unsigned MEASUREMENTS_PER_RUN = 36;

    // Registers "sys.run_benchmark" with its translated title.
    MeshBenchmarkCommand();

    // Only with off-screen rendering and more than 64 MB of graphics memory.
    bool isAvailable() const override;
    // The parameter text of MeshBenchmarkSettings; empty for the standard run.
    bool parseParameters(const QString &parameters, QString &error) const override;
    // One run: the crash guard on the software-rendering setting (left at 2 in the saved
    // configuration should the run crash or throw), the view, the test data, the 36
    // measurements with progress; the result is added to the store when the settings are
    // those of the full run. Throws ProgError when the library is not started (no result
    // store, frame-rate adjustment or node container).
    bool executeScript(const QString &parameters) override;
    // The result of the last run that finished, stored or not; none before.
    const std::optional<BenchmarkResult> &getLastResult() const { return m_last_result; }
    // Whether that result went into the store (the run was a full one).
    bool isLastResultStored() const { return m_last_result_stored; }

    // The view edge for a screen: the square root of (width - 150) x (height - 50), rounded.
    static unsigned calculateWidgetSize(const QSize &screen);
    // Elements one frame of a dome of domeSize x domeSize vertices counts for a test: edges
    // (3/2 per vertex), points (every vertex, whatever the stepping) or triangles.
    static uint64_t getElementCount(unsigned domeSize, bool edges, bool points);

    // A callback whose meshes every run also measures, in a view of the same size, into
    // *result, which is not stored; the tests the callback declines (BenchmarkRCB::measures)
    // leave their rates in *result as they were. Its view takes turns with the run's own frame
    // by frame and draws the same turns of the view, so that a baseline measured so shares
    // both the pictures and the machine's changing load with the rates it is compared with.
    // The command builds the callback's test data; both must outlive the runs.
    void addCompanion(BenchmarkRCB *callback, BenchmarkResult *result);
    void clearCompanions() { m_companions.clear(); }

private:
    // A callback measured in a view into a result.
    struct Measured
    {
        BenchmarkRCB *callback = nullptr;
        GL::RenderObject *view = nullptr;
        BenchmarkResult *result = nullptr;
    };

    // The 36 measurements of a run, in its order, each of every measured callback in turn.
    void measureRates(const std::vector<Measured> &measured, const MeshBenchmarkSettings &settings);
    // The nine measurements of one shading mode. Throws ProgError "only one mesh allowed"
    // when a callback does not show exactly one mesh.
    void runBenchmark(bool smooth, bool color, const QString &name);
    // One test of every measured callback, each result's rate stored by store.
    void measureAll(const QString &name, bool surface, bool twoSided, bool edges, bool points,
        unsigned stepping, const std::function<void(BenchmarkResult *, unsigned rate)> &store);
    // Turns every measured view that takes part in the test, frame by frame in turn, until
    // the run's own view has drawn for the settings' time and frames; elements per second of
    // each, in the order measured, none for a view that sat the test out.
    std::vector<std::optional<unsigned>> measure(
        const QString &name, bool surface, bool twoSided, bool edges, bool points, unsigned stepping);

    // The run in progress; the first is the run's own.
    std::vector<Measured> m_measured;
    std::vector<Measured> m_companions;
    MeshBenchmarkSettings m_settings;
    std::optional<BenchmarkResult> m_last_result;
    bool m_last_result_stored = false;
    QString m_message;
    unsigned m_measurement_counter = 0;
};

} // namespace Vaq::GCAD
