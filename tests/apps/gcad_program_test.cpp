// The gcad program run as a user would, each in a configuration folder of the test's choosing:
// what it prints, what it writes and how it exits.
#include "tests/apps/scene_test_files.h"
#include "tests/support/gcad_driver_guard.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <vector>

using Gcad::Test::TestFolder;

namespace {

struct ProgramRun
{
    int status = -1; // -1: did not finish in time, -2: crashed
    QString out;
    QString err;
};

// configDir: the program's VAQ_CONFIG_DIR; empty keeps the test's own. The program runs
// without XDG_RUNTIME_DIR, as from a plain ssh or container session: Qt must not warn about it
// on standard error, which the tests read.
ProgramRun gcad(const QStringList &arguments, const QString &configDir = QString())
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!configDir.isEmpty())
        environment.insert(QStringLiteral("VAQ_CONFIG_DIR"), configDir);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(GCAD_PROGRAM), arguments);
    ProgramRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The unit square as two triangles in a binary STL.
QByteArray binaryStlSquare()
{
    return Gcad::Test::binaryStl({ { 0, 0, 0, 1, 0, 0, 1, 1, 0 }, { 0, 0, 0, 1, 1, 0, 0, 1, 0 } });
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// The rates of a JSON rate table ("edges", "twosided", "singlesided" of four modes each and
// "points" of four modes of six steppings), mode by mode: edges, two-sided, single-sided, points.
std::vector<double> jsonRates(const QJsonObject &table)
{
    std::vector<double> all;
    for (int mode = 0; mode < 4; ++mode) {
        for (const char *key : { "edges", "twosided", "singlesided" })
            all.push_back(table.value(key).toArray().at(mode).toDouble());
        for (const QJsonValue &rate : table.value("points").toArray().at(mode).toArray())
            all.push_back(rate.toDouble());
    }
    return all;
}

} // namespace

TEST(GcadProgram, badArgumentsAndFilesAreOneErrorLineAndStatus2AndWriteNothing)
{
    TestFolder folder;
    const QString noFolder = folder.path("missing/out.png");
    // The import's own reasons are tested with the import; the bad file after a good one is named.
    const QString good = folder.write("good.stl", binaryStlSquare());
    const QString points = folder.write("points.xyz", "1 2 3\n4 5 6\n");
    const QString missing = folder.path("missing.stl"), png = folder.path("out.png");
    const std::pair<QStringList, QString> cases[] = {
        { { "render", good, missing, "-o", png }, missing + ": no such file" },
        { { "render", good, points, "-o", png },
            points + ": point clouds cannot be drawn yet (there is no points renderer)" },
        { { "paint" }, "paint: unknown command (see gcad --help)" },
        { { "--fast" }, "--fast: unknown option (see gcad --help)" },
        { { "info", "--verbose" }, "--verbose: unknown option of 'info' (see gcad --help)" },
        { { "bench", "--json" }, "--json: missing value (JSON file)" },
        { { "render", "--view", "top" },
            "--view: unknown view 'top' (x+, x-, y+, y-, z+, z-, iso or a corner such as x+y-z+)" },
        { { "render", "-o", noFolder }, noFolder + ": the folder does not exist" },
        { { "render", "-o", folder.path("") }, folder.path("") + ": is a folder, not a file" },
        { { "render", "--size", "16385x10" }, "--size: '16385x10' is not WxH with W and H from 1 to 16384" },
        { { "bench", "--size", "16385" }, "--size: '16385' is not a whole number from 1 to 16384" },
        { { "bench", "--dome", "1002" }, "--dome: '1002' is not a whole number from 2 to 1001" },
    };
    for (const auto &[arguments, error] : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ProgramRun run = gcad(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "gcad: error: " + error + "\n");
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    }
    EXPECT_EQ(folder.entries(), QStringList({ "good.stl", "points.xyz" }));
}

// The baseline needs a buffer object: a driver without them gets one line before anything
// is measured.
TEST(GcadBench, aBaselineWithoutBufferObjectsIsOneErrorLine)
{
    Vaq::Test::DriverGuard driver;
    driver.disableExtensions("GL_ARB_vertex_buffer_object");
    const ProgramRun run = gcad({ "bench", "--quick", "--baseline" });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
        "gcad: error: --baseline: the baseline draws from a buffer object, which this driver does not "
        "offer\n");
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
}

TEST(GcadProgram, commandHelpIsItsUsageAndStatus0)
{
    for (const char *command : { "render", "bench" }) {
        const ProgramRun run = gcad({ command, "--help" });
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_TRUE(run.out.startsWith(QStringLiteral("usage: gcad %1 [").arg(command)))
            << run.out.toStdString();
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    }
}

TEST(GcadProgram, infoPrintsOneLabelValueLinePerItem)
{
    const TestFolder configuration; // no benchmark was run there
    const ProgramRun run = gcad({ "info" }, configuration.path(""));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    const QStringList lines = run.out.trimmed().split('\n');
    const QStringList labels = { "renderer", "vendor", "GL version", "driver version", "software rendering",
        "off-screen mode", "graphics memory", "render mode", "snapshot size", "performance index" };
    ASSERT_EQ(lines.size(), labels.size()) << run.out.toStdString();
    for (int i = 0; i < labels.size(); ++i) {
        EXPECT_TRUE(lines[i].startsWith(labels[i] + ": ")) << lines[i].toStdString();
        EXPECT_GT(lines[i].size(), labels[i].size() + 2) << "empty value: " << lines[i].toStdString();
    }
    if (lines[0].contains("llvmpipe")) {
        EXPECT_EQ(lines[4], "software rendering: yes");
    }
    EXPECT_EQ(lines[5], "off-screen mode: 2 (frame buffer object)");
    EXPECT_EQ(lines[9], "performance index: not available");
}

TEST(GcadRender, writesThePngAndOneSummaryLine)
{
    TestFolder folder;
    const QString good = folder.write("good.stl", binaryStlSquare());
    const QString out = folder.path("out.png");
    const ProgramRun run
        = gcad({ "render", good, "--flat", "--edges", "--view", "z+", "--size", "64x48", "-o", out });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QRegularExpression(
        "^wrote .*/out\\.png: 64x48 pixels, 1 elements, 2 triangles, 4 points, [0-9.]+ s\n$")))
        << run.out.toStdString();
    EXPECT_EQ(folder.entries(), QStringList({ "good.stl", "out.png" }));
    const QImage image(out);
    ASSERT_EQ(image.size(), QSize(64, 48));
    // The square fills the middle of the picture, the scene's dark slate shows at the corners.
    EXPECT_EQ(image.pixel(0, 0), qRgb(38, 42, 52));
    EXPECT_NE(image.pixel(32, 24), image.pixel(0, 0));
}

// A quick run of a small dome in a small view in a configuration folder of its own; no rate
// is compared with a time or with another rate.
TEST(GcadBench, quickRunPrintsAndWritesTheSameRatesAndTheirRatiosButStoresNothing)
{
    GCAD_SKIP_WITHOUT(bufferObjects);
    const TestFolder configuration;
    const ProgramRun run = gcad({ "bench", "--quick", "--size", "24", "--dome", "11", "--baseline", "--json",
                                    configuration.path("bench.json") },
        configuration.path(""));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    // Standard error is no terminal here: no progress bar, nothing at all.
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();

    QJsonParseError error;
    const QJsonObject json
        = QJsonDocument::fromJson(readAll(configuration.path("bench.json")), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_EQ(QStringList(json.keys()),
        QStringList({ "baseline", "driver", "edges", "index", "points", "ratios", "renderer", "singlesided",
            "size", "software", "twosided" }));
    EXPECT_EQ(json.value("size").toDouble(), 24.0);
    const QString indexLine
        = QStringLiteral("performance index: %1\n").arg(json.value("index").toDouble(), 0, 'f', 2);
    EXPECT_TRUE(run.out.contains(indexLine
        + "not stored: runs with --size, --quick or --dome only measure\n\nrates against the baseline"))
        << run.out.toStdString();
    const std::vector<double> rates = jsonRates(json);
    const std::vector<double> baseline = jsonRates(json.value("baseline").toObject());
    const std::vector<double> ratios = jsonRates(json.value("ratios").toObject());
    ASSERT_EQ(rates.size(), 36u);
    ASSERT_EQ(baseline.size(), 36u);
    ASSERT_EQ(ratios.size(), 36u);

    // One line per rate in the order of the run (flat before smooth; the tables go by
    // 2 x smooth + color): mode, measurement, rate, baseline, ratio.
    const QRegularExpression line(
        QStringLiteral(
            "^  (flat,   |smooth, )(no color|color   )   .{22} +([0-9]+) +([0-9]+) +([0-9]+\\.[0-9]{2})$"),
        QRegularExpression::MultilineOption);
    int count = 0;
    for (QRegularExpressionMatchIterator it = line.globalMatch(run.out); it.hasNext(); ++count) {
        const QRegularExpressionMatch match = it.next();
        ASSERT_LT(count, 36);
        const int i = ((count / 9) % 2 * 2 + count / 18) * 9 + count % 9;
        EXPECT_EQ(match.captured(3).toDouble(), rates[i]) << i;
        EXPECT_EQ(match.captured(4).toDouble(), baseline[i]) << i;
        EXPECT_DOUBLE_EQ(ratios[i], rates[i] / baseline[i]) << i;
        EXPECT_EQ(match.captured(5), QString::number(ratios[i], 'f', 2)) << i;
    }
    EXPECT_EQ(count, 36) << run.out.toStdString();
    // The old baseline's figure follows each flat surface line, labelled as inexact.
    const QRegularExpression inexact(
        QStringLiteral("^  (flat,   )(no color|color   )   triangles (two|single)sided .*\n"
                       "    \\(inexact: flat over vertex normals\\) +[0-9]+ +[0-9]+\\.[0-9]{2}$"),
        QRegularExpression::MultilineOption);
    int inexactLines = 0;
    for (QRegularExpressionMatchIterator it = inexact.globalMatch(run.out); it.hasNext(); it.next())
        ++inexactLines;
    EXPECT_EQ(inexactLines, 4) << run.out.toStdString();

    // A short run is no measurement of the configuration: the views' estimates and gcad info,
    // which read the same store, go on without it.
    const ProgramRun info = gcad({ "info" }, configuration.path(""));
    ASSERT_EQ(info.status, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.endsWith("\nperformance index: not available\n")) << info.out.toStdString();
}

// Files that once aborted, crashed, hung or blocked the program: each is one error line naming
// the file and the place, status 2, and no picture.
TEST(GcadRender, hostileMeshAndPointFilesAreOneErrorLineAndStatus2AndWriteNothing)
{
    TestFolder folder;
    const QByteArray header = "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
                              "property float z\nelement face 1\nproperty list uchar int vertex_indices\n"
                              "end_header\n";
    const QString zeroCorners
        = folder.write("zero.ply", header + "0.0 0.0 0.0\n1.0 0.0 0.0\n0.0 1.0 0.0\n0\n");
    const QString cutHeader = folder.write("cut.ply", header.left(60));
    const QString badPoints = folder.write("bad.xyz", "1 2 3\n4 5 inf\n");
    const QString fifo = folder.path("x.stl");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const std::pair<QString, QString> cases[] = {
        { zeroCorners, "line 13: a face of 0 corners" },
        { cutHeader, "line 5: the file ends inside the header (no 'end_header')" },
        { badPoints, "line 2: non-finite coordinate 'inf'" },
        { fifo, "is not a regular file" },
    };
    const QString png = folder.path("out.png");
    for (const auto &[file, error] : cases) {
        const ProgramRun run = gcad({ "render", file, "-o", png });
        EXPECT_EQ(run.status, 2) << file.toStdString();
        EXPECT_EQ(run.err, "gcad: error: " + file + ": " + error + "\n");
    }
    // The listing leaves out the FIFO, which is no file.
    EXPECT_EQ(folder.entries(), QStringList({ "bad.xyz", "cut.ply", "zero.ply" }));
}
