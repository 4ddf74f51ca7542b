// gcad bench end to end, in a configuration folder of its own: what it prints is what it
// stored, its JSON holds every rate in the documented shape, and with --baseline every rate
// comes with its ratio to the baseline. The runs are quick ones of a small dome in a small
// view; no rate is compared with a time or with another rate.
#include "tests/apps/gcad_program_run.h"
#include "tests/apps/scene_test_files.h"

#include "gcad/benchmark/gcad_benchmark_result.h"
#include "gcad/benchmark/gcad_benchmark_result_file.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

using Gcad::Test::ProgramRun;
using Gcad::Test::runGcad;
using Gcad::Test::TestFolder;
using Vaq::GCAD::BenchmarkResult;

namespace {

const QStringList QUICK_RUN = { "bench", "--quick", "--size", "24", "--dome", "11" };

std::vector<BenchmarkResult> readStore(const TestFolder &configuration)
{
    std::ifstream is(configuration.path("gcad_benchmark.dat").toStdString());
    std::vector<BenchmarkResult> results;
    readBenchmarkResults(is, BenchmarkResult(Vaq::GL::WidgetOptions::Options()), &results);
    return results;
}

QString printed(const BenchmarkResult &result)
{
    std::ostringstream os;
    result.printResults(os);
    return QString::fromStdString(os.str());
}

QJsonObject readJson(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return document.object();
}

// The rate of table key ("edges", "twosided", "singlesided") or of points at step index.
unsigned rateOf(const BenchmarkResult &result, const QString &key, int mode, int step = -1)
{
    const bool smooth = mode >= 2, color = mode % 2 == 1;
    if (key == "edges")
        return result.getEdgeStats(smooth, color);
    if (key == "twosided")
        return result.getTwosidedTriangleStats(smooth, color);
    if (key == "singlesided")
        return result.getSinglesidedTriangleStats(smooth, color);
    return result.getPointStats(smooth, color, BenchmarkResult::_steppings[step]);
}

// A rate table of the JSON file: three arrays of four numbers and points as four arrays
// of six, each value given by expected(key, mode, step).
template<typename Expected> void expectRateTable(const QJsonObject &table, Expected expected)
{
    for (const char *key : { "edges", "twosided", "singlesided" }) {
        const QJsonArray modes = table.value(key).toArray();
        ASSERT_EQ(modes.size(), 4) << key;
        for (int mode = 0; mode < 4; ++mode)
            expected(key, mode, -1, modes[mode]);
    }
    const QJsonArray points = table.value("points").toArray();
    ASSERT_EQ(points.size(), 4);
    for (int mode = 0; mode < 4; ++mode) {
        const QJsonArray steps = points[mode].toArray();
        ASSERT_EQ(steps.size(), 6);
        for (int step = 0; step < 6; ++step)
            expected("points", mode, step, steps[step]);
    }
}

} // namespace

TEST(GcadBench, quickRunPrintsAndWritesWhatItStored)
{
    TestFolder configuration;
    const QString json = configuration.path("bench.json");
    const ProgramRun run = runGcad(QUICK_RUN + QStringList { "--json", json }, configuration.path(""));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    // Standard error is no terminal here: no progress bar, nothing at all.
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();

    const std::vector<BenchmarkResult> stored = readStore(configuration);
    ASSERT_EQ(stored.size(), 1u);
    const BenchmarkResult &result = stored[0];
    EXPECT_EQ(result.getWidgetSize(), 24u);
    EXPECT_EQ(run.out,
        printed(result)
            + QStringLiteral("performance index: %1\n").arg(result.calculatePerformanceIndex(), 0, 'f', 2));

    const QJsonObject object = readJson(json);
    EXPECT_EQ(QStringList(object.keys()),
        QStringList({ "driver", "edges", "index", "points", "renderer", "singlesided", "size", "software",
            "twosided" }));
    EXPECT_EQ(object.value("renderer").toString(), result.getRenderer());
    EXPECT_EQ(object.value("driver").toString(), result.getDriverVersion());
    EXPECT_EQ(object.value("software").toBool(), result.isSoftwareRendering());
    EXPECT_TRUE(object.value("software").isBool());
    EXPECT_EQ(object.value("size").toInt(), 24);
    EXPECT_DOUBLE_EQ(object.value("index").toDouble(), result.calculatePerformanceIndex());
    expectRateTable(object, [&](const QString &key, int mode, int step, const QJsonValue &value) {
        EXPECT_EQ(value.toDouble(), rateOf(result, key, mode, step)) << key.toStdString() << mode << step;
    });

    // gcad info reads the same store.
    const ProgramRun info = runGcad({ "info" }, configuration.path(""));
    ASSERT_EQ(info.status, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.endsWith(
        QStringLiteral("\nperformance index: %1\n").arg(result.calculatePerformanceIndex(), 0, 'f', 2)))
        << info.out.toStdString();
}

TEST(GcadBench, baselineRunGivesEveryRateItsRatio)
{
    TestFolder configuration;
    const QString json = configuration.path("bench.json");
    const ProgramRun run
        = runGcad(QUICK_RUN + QStringList { "--baseline", "--json", json }, configuration.path(""));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const std::vector<BenchmarkResult> stored = readStore(configuration);
    ASSERT_EQ(stored.size(), 1u); // the baseline is not a result of the configuration
    const BenchmarkResult &result = stored[0];
    const QJsonObject object = readJson(json);
    const QJsonObject baseline = object.value("baseline").toObject();
    const QJsonObject ratios = object.value("ratios").toObject();
    EXPECT_EQ(QStringList(baseline.keys()), QStringList({ "edges", "points", "singlesided", "twosided" }));
    EXPECT_EQ(QStringList(ratios.keys()), QStringList({ "edges", "points", "singlesided", "twosided" }));
    expectRateTable(baseline, [](const QString &key, int, int, const QJsonValue &value) {
        EXPECT_GT(value.toDouble(), 0.0) << key.toStdString();
    });

    // One line per rate, in the order of the run: mode, measurement, rate, baseline, ratio.
    const QRegularExpression line(
        QStringLiteral("^  (flat,   no color|smooth, no color|flat,   color   |smooth, color   )   (.{22}) "
                       "+([0-9]+) +([0-9]+) +([0-9]+\\.[0-9]{2})$"),
        QRegularExpression::MultilineOption);
    const QStringList modes
        = { "flat,   no color", "smooth, no color", "flat,   color   ", "smooth, color   " };
    const QStringList measurements
        = { "wireframe", "triangles twosided", "triangles singlesided", "points - step 1", "points - step 2",
              "points - step 3", "points - step 4", "points - step 6", "points - step 8" };
    const QStringList keys = { "edges", "twosided", "singlesided" };
    int count = 0;
    for (QRegularExpressionMatchIterator it = line.globalMatch(run.out); it.hasNext(); ++count) {
        const QRegularExpressionMatch match = it.next();
        ASSERT_LT(count, 36);
        const int runMode = count / 9, m = count % 9;
        // The run goes flat before smooth, the tables by 2 x smooth + color.
        const int mode = runMode == 1 ? 2 : runMode == 2 ? 1 : runMode;
        EXPECT_EQ(match.captured(1), modes[runMode]);
        EXPECT_EQ(match.captured(2).trimmed(), measurements[m]);
        const QString key = m < 3 ? keys[m] : QStringLiteral("points");
        const int step = m < 3 ? -1 : m - 3;
        const unsigned rate = rateOf(result, key, mode, step);
        EXPECT_EQ(match.captured(3).toUInt(), rate) << measurements[m].toStdString();
        const QJsonValue base = step < 0 ? baseline.value(key).toArray()[mode]
                                         : baseline.value(key).toArray()[mode].toArray()[step];
        EXPECT_EQ(match.captured(4).toDouble(), base.toDouble());
        const QJsonValue ratio = step < 0 ? ratios.value(key).toArray()[mode]
                                          : ratios.value(key).toArray()[mode].toArray()[step];
        EXPECT_DOUBLE_EQ(ratio.toDouble(), rate / base.toDouble());
        EXPECT_EQ(match.captured(5), QString::number(ratio.toDouble(), 'f', 2));
    }
    EXPECT_EQ(count, 36) << run.out.toStdString();
}
