#include "apps/gcad/gcad_bench_baseline.h"
#include "apps/gcad/gcad_bench_vertex_cache.h"
#include "apps/gcad/gcad_cli.h"
#include "apps/gcad/gcad_commands.h"
#include "apps/gcad/gcad_options.h"

#include "gcad/benchmark/gcad_benchmark_result.h"
#include "gcad/benchmark/gcad_benchmark_settings.h"
#include "gcad/benchmark/gcad_cmd_benchmark.h"
#include "gcad/gcad_config.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/host/gapp/vaq_gapp_main_window.h"
#include "gcad/host/gl/vaq_gl_extensions.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>

#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>

namespace Gcad {

using Vaq::GCAD::BenchmarkResult;

namespace {

// The view of the vertex cache benchmark: large enough that drawing, not the frame's overhead,
// takes the time.
constexpr int VERTEX_CACHE_VIEW_EDGE = 800;

struct BenchOptions
{
    int size = 0; // 0: from the screen, as the benchmark command chooses
    int dome = 0; // 0: the benchmark's own dome
    bool quick = false;
    bool baseline = false;
    QString json;
    bool verbose = false;
    bool vertexCache = false;
};

int parseDomeSize(const QString &option, const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    const unsigned largest = Vaq::GCAD::MeshBenchmarkSettings::DOME_SIZE;
    const unsigned size = digits.match(text).hasMatch() ? text.toUInt() : 0;
    if (size < 2 || size > largest)
        throw UsageError { option,
            QStringLiteral("'%1' is not a whole number from 2 to %2").arg(text).arg(largest) };
    return int(size);
}

BenchOptions parseBenchOptions(const QStringList &arguments)
{
    BenchOptions options;
    ArgumentReader reader(QStringLiteral("bench"), arguments);
    while (!reader.atEnd()) {
        const QString argument = reader.next();
        if (argument == "--size")
            options.size = parseViewEdge(argument, reader.value(argument, QStringLiteral("N")));
        else if (argument == "--dome")
            options.dome = parseDomeSize(argument, reader.value(argument, QStringLiteral("N")));
        else if (argument == "--quick")
            options.quick = true;
        else if (argument == "--baseline")
            options.baseline = true;
        else if (argument == "--json")
            options.json = reader.value(argument, QStringLiteral("JSON file"));
        else if (argument == "--verbose")
            options.verbose = true;
        else if (argument == "--vertex-cache")
            options.vertexCache = true;
        else
            reader.rejectOption(argument);
    }
    if (options.vertexCache
        && (options.dome > 0 || options.baseline || !options.json.isEmpty() || options.verbose))
        throw UsageError { QStringLiteral("--vertex-cache"),
            QStringLiteral("takes only --size and --quick of the other options") };
    if (!options.json.isEmpty())
        checkOutputPath(options.json);
    return options;
}

// The command's parameter text for the options.
QString commandParameters(const BenchOptions &options)
{
    QStringList items;
    if (options.size > 0)
        items << QStringLiteral("size=%1").arg(options.size);
    if (options.dome > 0)
        items << QStringLiteral("dome=%1").arg(options.dome);
    if (options.quick)
        items << QStringLiteral("quick");
    if (options.verbose)
        items << QStringLiteral("verbose");
    return items.join(' ');
}

// A measurement of the benchmark and how to read its rate of a shading mode from a result,
// in the order the benchmark measures them.
struct Measurement
{
    const char *name;
    std::function<unsigned(const BenchmarkResult &, bool smooth, bool color)> rate;
    bool triangles = false; // a surface measurement, which flat shading lights per facet
};

const std::vector<Measurement> &measurements()
{
    static const std::vector<Measurement> all = [] {
        std::vector<Measurement> list = {
            { "wireframe", [](const BenchmarkResult &r, bool s, bool c) { return r.getEdgeStats(s, c); } },
            { "triangles twosided",
                [](const BenchmarkResult &r, bool s, bool c) { return r.getTwosidedTriangleStats(s, c); },
                true },
            { "triangles singlesided",
                [](const BenchmarkResult &r, bool s, bool c) { return r.getSinglesidedTriangleStats(s, c); },
                true },
        };
        static const char *const pointNames[] = { "points - step 1", "points - step 2", "points - step 3",
            "points - step 4", "points - step 6", "points - step 8" };
        for (std::size_t i = 0; i < BenchmarkResult::_steppings.size(); ++i) {
            const unsigned stepping = BenchmarkResult::_steppings[i];
            list.push_back({ pointNames[i], [stepping](const BenchmarkResult &r, bool s, bool c) {
                                return r.getPointStats(s, c, stepping);
                            } });
        }
        return list;
    }();
    return all;
}

// The shading modes in the order the benchmark runs them: (smooth, color, name).
struct Mode
{
    bool smooth;
    bool color;
    const char *name;
};
constexpr Mode MODES[] = { { false, false, "flat,   no color" }, { true, false, "smooth, no color" },
    { false, true, "flat,   color" }, { true, true, "smooth, color" } };

std::optional<double> ratio(unsigned rate, unsigned baseline)
{
    if (baseline == 0)
        return std::nullopt;
    return double(rate) / double(baseline);
}

QByteArray formatRatio(unsigned rate, unsigned baseline)
{
    const std::optional<double> r = ratio(rate, baseline);
    return r ? QByteArray::number(*r, 'f', 2) : QByteArray("-");
}

// inexactFlat: the flat surface rates of the old baseline, which lit flat triangles with the
// vertex normals; each follows its exact line, labelled, for comparison only.
void printRatios(
    const BenchmarkResult &result, const BenchmarkResult &baseline, const BenchmarkResult &inexactFlat)
{
    std::printf("\nrates against the baseline (the same mesh from one buffer object, one draw call):\n");
    std::printf("  %-18s %-22s %12s %12s %6s\n", "mode", "measurement", "rate/s", "baseline/s", "ratio");
    for (const Mode &mode : MODES) {
        for (const Measurement &measurement : measurements()) {
            const unsigned rate = measurement.rate(result, mode.smooth, mode.color);
            const unsigned base = measurement.rate(baseline, mode.smooth, mode.color);
            std::printf("  %-18s %-22s %12u %12u %6s\n", mode.name, measurement.name, rate, base,
                formatRatio(rate, base).constData());
            if (!mode.smooth && measurement.triangles) {
                const unsigned inexact = measurement.rate(inexactFlat, mode.smooth, mode.color);
                std::printf("    %-39s %12s %12u %6s\n", "(inexact: flat over vertex normals)", "", inexact,
                    formatRatio(rate, inexact).constData());
            }
        }
    }
}

// A rate table as JSON: "edges", "twosided" and "singlesided" by mode index (2 x smooth +
// color), "points" by mode index the six steppings; value gives measurement m of a mode.
QJsonObject rateObject(const std::function<QJsonValue(std::size_t m, bool smooth, bool color)> &value)
{
    static const char *const keys[] = { "edges", "twosided", "singlesided" };
    QJsonObject object;
    for (std::size_t m = 0; m < 3; ++m) {
        QJsonArray perMode;
        for (int mode = 0; mode < 4; ++mode)
            perMode.append(value(m, mode >= 2, mode % 2 == 1));
        object.insert(keys[m], perMode);
    }
    QJsonArray points;
    for (int mode = 0; mode < 4; ++mode) {
        QJsonArray steps;
        for (std::size_t m = 3; m < measurements().size(); ++m)
            steps.append(value(m, mode >= 2, mode % 2 == 1));
        points.append(steps);
    }
    object.insert("points", points);
    return object;
}

QJsonObject rates(const BenchmarkResult &result)
{
    return rateObject([&result](std::size_t m, bool smooth, bool color) {
        return QJsonValue(double(measurements()[m].rate(result, smooth, color)));
    });
}

// False with the reason when the file cannot be written; an old file then stays.
bool writeJson(const QString &path, const BenchmarkResult &result,
    const std::optional<BenchmarkResult> &baseline, QString *error)
{
    QJsonObject object = rates(result);
    object.insert("renderer", result.getRenderer());
    object.insert("driver", result.getDriverVersion());
    object.insert("software", result.isSoftwareRendering());
    object.insert("size", double(result.getWidgetSize()));
    object.insert("index", result.calculatePerformanceIndex());
    if (baseline) {
        object.insert("baseline", rates(*baseline));
        object.insert("ratios", rateObject([&](std::size_t m, bool smooth, bool color) {
            const Measurement &measurement = measurements()[m];
            const std::optional<double> value
                = ratio(measurement.rate(result, smooth, color), measurement.rate(*baseline, smooth, color));
            return value ? QJsonValue(*value) : QJsonValue();
        }));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(object).toJson()) < 0
        || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

int runBench(const QStringList &arguments)
{
    using namespace Vaq;
    const BenchOptions options = parseBenchOptions(arguments);
    if (options.vertexCache)
        return runVertexCacheBench(options.size > 0 ? options.size : VERTEX_CACHE_VIEW_EDGE, options.quick);
    const QString parameters = commandParameters(options);

    // The baseline is measured by the same run, frame by frame in turn with the library.
    auto *command = dynamic_cast<GCAD::MeshBenchmarkCommand *>(
        GApp::CommandContainer::getCommand(GCAD::CMD_BENCHMARK_MESH));
    if (!command)
        return reportError(
            QStringLiteral("bench"), QStringLiteral("the library has no benchmark command"), 1);
    if (options.baseline && !GL::GLExtensions::getCapabilities().bufferObjects)
        return reportError(QStringLiteral("--baseline"),
            QStringLiteral("the baseline draws from a buffer object, which this driver does not offer"), 1);
    std::unique_ptr<BaselineRCB> baselineCallback, inexactFlatCallback;
    std::optional<BenchmarkResult> baseline, inexactFlat;
    if (options.baseline) {
        baselineCallback = std::make_unique<BaselineRCB>();
        inexactFlatCallback = std::make_unique<BaselineRCB>(FlatNormals::VERTEX);
        baseline.emplace();
        inexactFlat.emplace();
        command->addCompanion(baselineCallback.get(), &*baseline);
        command->addCompanion(inexactFlatCallback.get(), &*inexactFlat);
    }
    GApp::MainWindow *window = GApp::MainWindow::getInstance();
    const bool succeeded = window->execute(GCAD::CMD_BENCHMARK_MESH, parameters);
    command->clearCompanions();
    if (!succeeded)
        return reportError(QStringLiteral("bench"), window->getLastError(), 1);
    const BenchmarkResult &result = *command->getLastResult();

    result.printResults(std::cout);
    std::cout.flush();
    std::printf("performance index: %.2f\n", result.calculatePerformanceIndex());
    std::printf(command->isLastResultStored()
            ? "stored as the rates of this configuration\n"
            : "not stored: runs with --size, --quick or --dome only measure\n");
    if (baseline)
        printRatios(result, *baseline, *inexactFlat);
    std::fflush(stdout);
    QString error;
    if (!options.json.isEmpty() && !writeJson(options.json, result, baseline, &error))
        return reportError(options.json, QStringLiteral("cannot write (%1)").arg(error), 1);
    return 0;
}

} // namespace Gcad
