// The gcad program run as a user would, each in a configuration folder of the test's choosing:
// what it prints, what it writes and how it exits.
#include "tests/apps/scene_test_files.h"
#include "tests/support/gcad_driver_guard.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using Gcad::Test::TestFolder;

namespace {

struct ProgramRun
{
    int status = -1; // -1: did not finish in time, -2: crashed
    QString out;
    QString err;
};

// configDir: the program's VAQ_CONFIG_DIR; empty keeps the test's own. The program runs
// without XDG_RUNTIME_DIR, as from a plain ssh or container session, unless runtimeDir names
// one: Qt must not warn about either on standard error, which the tests read.
void start(QProcess &process, const QStringList &arguments, const QString &configDir = QString(),
    const QString &runtimeDir = QString())
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!runtimeDir.isEmpty())
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    if (!configDir.isEmpty())
        environment.insert(QStringLiteral("VAQ_CONFIG_DIR"), configDir);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(GCAD_PROGRAM), arguments);
}

ProgramRun gcad(
    const QStringList &arguments, const QString &configDir = QString(), const QString &runtimeDir = QString())
{
    QProcess process;
    start(process, arguments, configDir, runtimeDir);
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

// The file's contents, empty when it cannot be read.
QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

// The value of `gcad info`'s line with label, empty when there is none.
QString infoValue(const ProgramRun &run, const QString &label)
{
    for (const QString &line : run.out.split('\n'))
        if (line.startsWith(label + ": "))
            return line.mid(label.size() + 2);
    return QString();
}

// A result file with one record of the configuration whose rates are all at the performance
// index's references, which give the index 10.
QByteArray resultFile(const QString &renderer, const QString &driver, bool software)
{
    auto token = [](QString text) { return text.replace("\\", "\\\\").replace(' ', "\\s").toUtf8(); };
    QByteArray file = "1 1 1 " + token(renderer) + ' ' + token(driver) + " 2024-01-02T03:04:05 800 "
        + (software ? "1 " : "0 ") + "17000000 17000000 17000000 17000000 "
        + "20000000 8000000 30000000 12000000 27000000 18000000 38000000 26000000 ";
    for (int multiple : { 25, 35, 40, 45, 50, 55 })
        file += QByteArray::number(multiple * 1000000).append(' ').repeated(4);
    return file + ' ';
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
        { { "render", points, missing, "-o", png }, missing + ": no such file" },
        { { "paint" }, "paint: unknown command (see gcad --help)" },
        { { "--fast" }, "--fast: unknown option (see gcad --help)" },
        { { "info", "--verbose" }, "--verbose: unknown option of 'info' (see gcad --help)" },
        { { "bench", "--json" }, "--json: missing value (JSON file)" },
        { { "render", "--view", "top" },
            "--view: unknown view 'top' (x+, x-, y+, y-, z+, z-, iso or a corner such as x+y-z+)" },
        { { "render", "-o", noFolder }, noFolder + ": the folder does not exist" },
        { { "render", "-o", folder.path("") }, folder.path("") + ": is a folder, not a file" },
        { { "render", "--size", "16385x10" }, "--size: '16385x10' is not WxH with W and H from 1 to 16384" },
        { { "render", "--crease", "180.5" }, "--crease: '180.5' is not an angle from 0 to 180 degrees" },
        { { "render", "--crease", "-1" }, "--crease: '-1' is not an angle from 0 to 180 degrees" },
        { { "render", "--crease", "nan" }, "--crease: 'nan' is not an angle from 0 to 180 degrees" },
        { { "render", "--point-mark", "1,2:A" }, "--point-mark: '1,2' is not X,Y,Z of three finite numbers" },
        { { "render", "--point-mark", "1,inf,2:A" },
            "--point-mark: '1,inf,2' is not X,Y,Z of three finite numbers" },
        { { "render", "--cross", "nan,0,0" }, "--cross: 'nan,0,0' is not X,Y,Z of three finite numbers" },
        { { "render", "--cross", "1e999,0,0" }, "--cross: '1e999,0,0' is not X,Y,Z of three finite numbers" },
        { { "render", "--point-mark" }, "--point-mark: missing value (X,Y,Z[:TEXT])" },
        { { "bench", "--size", "16385" }, "--size: '16385' is not a whole number from 1 to 16384" },
        { { "bench", "--dome", "1002" }, "--dome: '1002' is not a whole number from 2 to 1001" },
        { { "pick", good, "--at", "60,0", "--size", "60x40" }, "--at: outside the 60x40 view" },
        { { "pick", good, "--at", "-1,3", "--size", "60x40" }, "--at: outside the 60x40 view" },
        { { "pick", good, "--rect", "0,0,59,40", "--size", "60x40" }, "--rect: outside the 60x40 view" },
        { { "pick", good, "--rect", "5,5,1,9" }, "--rect: the corners are swapped (X0 <= X1 and Y0 <= Y1)" },
        { { "pick", good, "--at", "1;2" }, "--at: '1;2' is not X,Y with whole numbers" },
        { { "pick", good, "--rect", "1,2,3" }, "--rect: '1,2,3' is not X0,Y0,X1,Y1 with whole numbers" },
        { { "pick", good }, "pick: --at X,Y or --rect X0,Y0,X1,Y1 is needed" },
        { { "pick", "--at" }, "--at: missing value (X,Y)" },
        { { "render", good, "--section", "w=3", "-o", png },
            "--section: 'w=3' is not AXIS=VALUE with AXIS x, y or z and VALUE a finite number" },
        { { "render", good, "--section", "z=nan" },
            "--section: 'z=nan' is not AXIS=VALUE with AXIS x, y or z and VALUE a finite number" },
        { { "render", good, "--section", "x=1=2" },
            "--section: 'x=1=2' is not AXIS=VALUE with AXIS x, y or z and VALUE a finite number" },
        { { "render", good, "--section" }, "--section: missing value (AXIS=VALUE)" },
        { { "render", good, "--deviation" }, "--deviation: needs the actual data (--actual)" },
        { { "render", good, "--max-distance", "1" }, "--max-distance: needs the actual data (--actual)" },
        { { "render", good, "--actual", points, "--max-distance", "0" },
            "--max-distance: '0' is not a positive distance" },
        { { "render", points, "--section", "z=1", "-o", png },
            "--section: needs the nominal part as the one mesh of the files (they hold 0)" },
        { { "render", good, "--actual", missing, "--deviation", "-o", png }, missing + ": no such file" },
        // The square's diagonal is sqrt(2): 2 % of it is searched; the points lie 3 and 6 above.
        { { "render", good, "--actual", points, "--deviation", "-o", png },
            points + ": no point lies within 0.02828 of the nominal part (see --max-distance)" },
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

// gcad info prints one "label: value" line per item and only reads the result file: whatever
// it holds, and whatever stands in its place, stays as it was, and nothing else is printed.
TEST(GcadInfo, printsALineAnItemAndReadsTheResultFileWithoutEverWritingIt)
{
    const TestFolder configuration; // no benchmark was run there
    const QString file = configuration.path("gcad_benchmark.dat");
    const ProgramRun first = gcad({ "info" }, configuration.path(""));
    ASSERT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_TRUE(first.err.isEmpty()) << first.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(file));
    const QStringList lines = first.out.trimmed().split('\n');
    const QStringList labels = { "renderer", "vendor", "GL version", "driver version", "software rendering",
        "off-screen mode", "graphics memory", "render mode", "snapshot size", "performance index" };
    ASSERT_EQ(lines.size(), labels.size()) << first.out.toStdString();
    for (int i = 0; i < labels.size(); ++i) {
        EXPECT_TRUE(lines[i].startsWith(labels[i] + ": ")) << lines[i].toStdString();
        EXPECT_GT(lines[i].size(), labels[i].size() + 2) << "empty value: " << lines[i].toStdString();
    }
    if (lines[0].contains("llvmpipe")) {
        EXPECT_EQ(lines[4], "software rendering: yes");
    }
    EXPECT_EQ(lines[5], "off-screen mode: 2 (frame buffer object)");
    EXPECT_EQ(lines[9], "performance index: not available");

    const QString renderer = infoValue(first, "renderer"), driver = infoValue(first, "driver version");
    const bool software = infoValue(first, "software rendering") == "yes";

    QByteArray threeRecords = resultFile("Card A", "1.0", false) + resultFile("Card B", "1.0", false).mid(4)
        + resultFile(renderer, driver, software).mid(4);
    threeRecords.replace(0, 4, "1 3 ");
    QByteArray flipped = threeRecords;
    flipped[20] = char(flipped[20] ^ 0x10);
    const QByteArray newer = "2 " + resultFile(renderer, driver, software).mid(2);
    const std::pair<QByteArray, QString> cases[] = {
        { resultFile(renderer, driver, software), "10.00" },
        { threeRecords, "10.00" },
        { flipped, "not available" },
        { newer, "not available" },
    };
    for (const auto &[contents, index] : cases) {
        SCOPED_TRACE(contents.toStdString());
        configuration.write("gcad_benchmark.dat", contents);
        const ProgramRun run = gcad({ "info" }, configuration.path(""));
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        EXPECT_EQ(infoValue(run, "performance index"), index);
        EXPECT_EQ(readAll(file), contents);
    }

    // A folder in the file's place: no trace of a failed save in the output.
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkdir(file));
    const ProgramRun run = gcad({ "info" }, configuration.path(""));
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    EXPECT_EQ(run.out.count('\n'), 10) << run.out.toStdString();
    EXPECT_TRUE(QFileInfo(file).isDir());
}

// A run that is killed leaves software rendering on for the next start, and gcad info says
// why and how to undo it; the next run that completes switches it back to the user's setting.
TEST(GcadBench, anInterruptedRunLeavesSoftwareRenderingOnUntilARunCompletes)
{
    const TestFolder configuration;
    // The test data of the full dome takes long enough to be killed while it is made.
    QProcess process;
    start(process, { "bench", "--quick", "--size", "24" }, configuration.path(""));
    QElapsedTimer timer;
    timer.start();
    while (!readAll(configuration.path("vaq.cfg")).contains("OpenGL/SoftwareRendering\tlist\t2\n")
        && process.state() != QProcess::NotRunning && timer.elapsed() < 60000)
        QThread::msleep(10);
    ASSERT_NE(process.state(), QProcess::NotRunning) << "the run ended before it could be interrupted";
    process.kill();
    process.waitForFinished();

    const ProgramRun interrupted = gcad({ "info" }, configuration.path(""));
    ASSERT_EQ(interrupted.status, 0) << interrupted.err.toStdString();
    EXPECT_EQ(infoValue(interrupted, "software rendering"),
        "yes (switched on because a benchmark was interrupted; a benchmark that completes, such as gcad "
        "bench --quick, switches it back)");

    const ProgramRun completed
        = gcad({ "bench", "--quick", "--size", "24", "--dome", "11" }, configuration.path(""));
    ASSERT_EQ(completed.status, 0) << completed.err.toStdString();
    EXPECT_TRUE(readAll(configuration.path("vaq.cfg")).contains("OpenGL/SoftwareRendering\tlist\t0\n"));
    const ProgramRun after = gcad({ "info" }, configuration.path(""));
    EXPECT_TRUE(QStringList({ "yes", "no" }).contains(infoValue(after, "software rendering")))
        << after.out.toStdString();
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
    const QRgb background = qRgb(38, 42, 52);
    EXPECT_EQ(image.pixel(0, 0), background);
    EXPECT_NE(image.pixel(32, 24), image.pixel(0, 0));

    // A point cloud (a 5 x 5 grid) is drawn as points, the view fitted to them: the middle
    // point lies in the middle of the picture.
    QString grid;
    for (int i = 0; i < 25; ++i)
        grid += QStringLiteral("%1 %2 0\n").arg(i % 5).arg(i / 5);
    const QString cloud = folder.write("cloud.xyz", grid.toUtf8());
    // Qt's warnings are no errors: a runtime folder that others may enter is not on standard
    // error (the first run had none at all).
    const QString runtime = folder.path("runtime");
    ASSERT_TRUE(QDir().mkdir(runtime));
    ASSERT_TRUE(QFile::setPermissions(runtime,
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
            | QFile::ReadOther | QFile::ExeOther));
    const ProgramRun points
        = gcad({ "render", cloud, "--view", "z+", "--size", "64x48", "-o", out }, QString(), runtime);
    ASSERT_EQ(points.status, 0) << points.err.toStdString();
    EXPECT_TRUE(points.err.isEmpty()) << points.err.toStdString();
    EXPECT_TRUE(points.out.contains(QRegularExpression("1 elements, 0 triangles, 25 points, ")))
        << points.out.toStdString();
    const QImage drawn(out);
    int middle = 0;
    for (int y = 22; y <= 25; ++y)
        for (int x = 30; x <= 33; ++x)
            middle += drawn.pixel(x, y) != background;
    EXPECT_GT(middle, 0);
}

// A scan above and below a square is drawn in the legend's end colours instead of the square; a
// section through both sums up its deviations on standard error.
// The spotlight's disc of 10 units covers the whole view of a unit square, seen from any side:
// no pixel keeps the plain background.
TEST(GcadRender, theSpotlightTintsTheWholeViewOfASmallPart)
{
    TestFolder folder;
    const QString square = folder.write("square.stl", binaryStlSquare());
    const QString out = folder.path("out.png");
    for (const char *view : { "iso", "z+", "x+y-z+" }) {
        const ProgramRun run
            = gcad({ "render", square, "--spotlight", "--view", view, "--size", "160x120", "-o", out });
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const QImage image(out);
        int plain = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                plain += image.pixel(x, y) == qRgb(38, 42, 52);
        EXPECT_EQ(plain, 0) << view;
    }
}

TEST(GcadRender, aScanIsDrawnInTheLegendsColoursAndItsSectionsAreSummedUp)
{
    TestFolder folder;
    const QString nominal = folder.write("nominal.stl", binaryStlSquare());
    // 10 x 10 points, 0.01 above the square where x < 0.5 and 0.01 below it where x > 0.5.
    QString grid;
    for (int i = 0; i < 100; ++i)
        grid += QStringLiteral("%1 %2 %3\n")
                    .arg(0.05 + 0.1 * (i % 10))
                    .arg(0.05 + 0.1 * (i / 10))
                    .arg(i % 10 < 5 ? 0.01 : -0.01);
    const QString scan = folder.write("scan.xyz", grid.toUtf8());
    const QString out = folder.path("out.png");
    const ProgramRun run = gcad({ "render", nominal, "--actual", scan, "--deviation", "--section", "y=0.45",
        "--section", "z=2", "--size", "320x240", "--view", "z+", "-o", out });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    // y = 0.45 crosses the square's edges x = 0 and x = 1 and its diagonal at x = 0.45. Only
    // the scan point (0.45, 0.45), 0.01 above, lies within a quarter of the search distance
    // (0.007) of a section point.
    EXPECT_EQ(run.err,
        "section y=0.45: 1 run(s) (0 closed), 3 points, 1 with a deviation (mean 0.01, largest size 0.01)\n"
        "section z=2: empty (the plane misses the nominal part)\n");
    // The cut section joins the picture; the empty one does not.
    EXPECT_TRUE(run.out.contains("3 elements, 2 triangles, 107 points")) << run.out.toStdString();
    // Above the legend the picture shows the legend's two end colours, blue and red, and no
    // grey of the nominal square; seen face-on, where a highlight would tint them most.
    const QImage image(out);
    int red = 0, blue = 0, grey = 0;
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 100 && c.green() < 40 && c.blue() < 40;
            blue += c.blue() > 100 && c.red() < 40 && c.green() < 40;
            grey += c.red() > 120 && std::abs(c.red() - c.green()) < 10 && std::abs(c.red() - c.blue()) < 10;
        }
    }
    EXPECT_GT(red, 50);
    EXPECT_GT(blue, 50);
    EXPECT_EQ(grey, 0);
}

// A scene file gives the view; the command line's --size wins over it; a bad one writes nothing.
TEST(GcadRender, aSceneFileGivesElementsAndViewAndABadOneWritesNothing)
{
    TestFolder folder;
    folder.write("square.stl", binaryStlSquare());
    const QString scene = folder.write("scene.json", R"({
        "view": { "direction": "z+", "size": [40, 30], "background": [0, 0, 255] },
        "elements": [ { "kind": "mesh", "file": "square.stl", "color": "red" } ] })");
    const QString out = folder.path("scene.png");
    const ProgramRun run = gcad({ "render", scene, "-o", out });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QImage image(out);
    ASSERT_EQ(image.size(), QSize(40, 30));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_GT(qRed(image.pixel(20, 15)), 200);
    ASSERT_EQ(gcad({ "render", scene, "--size", "20x10", "-o", out }).status, 0);
    EXPECT_EQ(QImage(out).size(), QSize(20, 10));

    const QString bad
        = folder.write("bad.json", R"({ "elements": [ { "kind": "mesh", "file": "none.stl" } ] })");
    const QString badOut = folder.path("bad.png");
    const ProgramRun failed = gcad({ "render", bad, "-o", badOut });
    EXPECT_EQ(failed.status, 2);
    EXPECT_EQ(failed.err, "gcad: error: " + bad + ": elements[0].file: none.stl: no such file\n");
    EXPECT_FALSE(QFile::exists(badOut));
    EXPECT_EQ(gcad({ "render", scene, folder.path("square.stl") }).err,
        "gcad: error: render: a scene file is given alone\n");
}

// Pixels of a picture that pass a test, and the bounding box of them.
template<typename Pass> std::vector<QPoint> pixelsWhere(const QImage &image, Pass pass)
{
    std::vector<QPoint> found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pass(image.pixel(x, y), QPoint(x, y)))
                found.emplace_back(x, y);
    return found;
}

QRect boundingBox(const std::vector<QPoint> &points)
{
    QRect box;
    for (const QPoint &p : points)
        box |= QRect(p, QSize(1, 1));
    return box;
}

// The overlay over a red plate seen from z+: its label (a white box pointing at the plate's
// middle vertex) and a mark's green cross on the corner of a blue triangle beside the plate,
// found by the triangle's own pixels, so that a mirrored, turned or shifted projection misses it;
// and the raster, which only an axis view shows.
TEST(GcadRender, labelsAndPointMarksAreDrawnWhereTheirPointsAre)
{
    TestFolder folder;
    const QString scene = folder.write("plate.json", R"({
        "view": { "direction": "z+", "size": [240, 180], "background": [0, 0, 0] },
        "elements": [
            { "kind": "mesh", "name": "plate", "color": "red", "flat": true,
              "vertices": [[0, 0, 0], [1, 0, 0], [1, 1, 0], [0, 1, 0], [0.5, 0.5, 0]],
              "triangles": [[0, 1, 4], [1, 2, 4], [2, 3, 4], [3, 0, 4]] },
            { "kind": "mesh", "color": "blue", "flat": true, "label": "",
              "vertices": [[-0.4, 0.1, 0], [-0.15, 0.1, 0], [-0.4, 0.35, 0]], "triangles": [[0, 1, 2]] }
        ] })");
    const QString plain = folder.path("plain.png"), overlay = folder.path("overlay.png");
    ASSERT_EQ(gcad({ "render", scene, "-o", plain }).status, 0);
    const ProgramRun run = gcad({ "render", scene, "--labels", "--point-mark", "-0.4,0.1,0", "-o", overlay });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    const QImage before(plain), after(overlay);
    ASSERT_EQ(after.size(), QSize(240, 180));

    // The plate's middle, where the label's connector points: the middle of the red pixels.
    const auto isRed = [](QRgb c) { return qRed(c) > qGreen(c) + 80 && qRed(c) > qBlue(c) + 80; };
    const QPoint middle = boundingBox(pixelsWhere(before, [&](QRgb c, QPoint) { return isRed(c); })).center();
    // The label's white box, of the size of one line of text, either over that point or with
    // its connector (dark pixels that were red) reaching it. The triangle's label has no text.
    const QRect box = boundingBox(pixelsWhere(after, [&](QRgb c, QPoint p) {
        return qRed(c) > 230 && qGreen(c) > 230 && qBlue(c) > 230 && before.pixel(p) != c;
    }));
    ASSERT_FALSE(box.isEmpty());
    EXPECT_TRUE(box.width() >= 15 && box.width() < 120 && box.height() >= 8 && box.height() < 40)
        << box.width() << " x " << box.height();
    const std::vector<QPoint> connector = pixelsWhere(after, [&](QRgb c, QPoint p) {
        return qGray(c) < 60 && isRed(before.pixel(p)) && (p - middle).manhattanLength() <= 3;
    });
    EXPECT_TRUE(box.adjusted(-2, -2, 2, 2).contains(middle) || !connector.empty())
        << "box at " << box.x() << ", " << box.y() << "; middle " << middle.x() << ", " << middle.y();

    // The cross: the column and row with the most green pixels meet at the triangle's corner.
    const std::vector<QPoint> green = pixelsWhere(
        after, [](QRgb c, QPoint) { return qGreen(c) > qRed(c) + 40 && qGreen(c) > qBlue(c) + 40; });
    ASSERT_GE(green.size(), 20u);
    std::vector<int> columns(240), rows(180);
    for (const QPoint &p : green) {
        ++columns[p.x()];
        ++rows[p.y()];
    }
    const QPoint cross(int(std::max_element(columns.begin(), columns.end()) - columns.begin()),
        int(std::max_element(rows.begin(), rows.end()) - rows.begin()));
    const QRect blue = boundingBox(pixelsWhere(
        before, [](QRgb c, QPoint) { return qBlue(c) > qRed(c) + 80 && qBlue(c) > qGreen(c) + 80; }));
    ASSERT_FALSE(blue.isEmpty());
    EXPECT_TRUE(blue.adjusted(-2, -2, 2, 2).contains(cross)) << "cross at " << cross.x() << ", " << cross.y();
    const QPoint corners[] = { blue.topLeft(), blue.topRight(), blue.bottomLeft(), blue.bottomRight() };
    EXPECT_TRUE(std::any_of(std::begin(corners), std::end(corners),
        [&](const QPoint &corner) { return (corner - cross).manhattanLength() <= 4; }))
        << "cross at " << cross.x() << ", " << cross.y();

    // --raster: lines across the whole view where it looks along an axis, none in a diagonal view.
    const auto rasterColumns = [&](const char *view) {
        const QString without = folder.path("without.png"), with = folder.path("with.png");
        EXPECT_EQ(gcad({ "render", scene, "--view", view, "-o", without }).status, 0);
        EXPECT_EQ(gcad({ "render", scene, "--view", view, "--raster", "-o", with }).status, 0);
        const QImage a(without), b(with);
        int columns = 0;
        for (int x = 0; x < a.width(); ++x) {
            int differing = 0;
            for (int y = 0; y < a.height(); ++y)
                differing += a.pixel(x, y) != b.pixel(x, y);
            columns += differing > a.height() * 6 / 10;
        }
        return columns;
    };
    EXPECT_GE(rasterColumns("z+"), 2);
    EXPECT_EQ(rasterColumns("x+y+z+"), 0);
}

// Three labelled squares in a row: the layout file says where each label went, clear of the
// others and of the reserved corner, in the picture's pixels; --mark paints one square in its
// colour and names that are not there are refused.
TEST(GcadRender, theLabelLayoutIsWrittenAsJsonAndMarkedElementsShowTheirColour)
{
    TestFolder folder;
    QString elements;
    for (int i = 0; i < 3; ++i) {
        elements += QStringLiteral(
            R"(%1{ "kind": "mesh", "name": "square %2", "color": [200, 200, 200], "flat": true,
            "vertices": [[%3, 0, 0], [%4, 0, 0], [%4, 1, 0], [%3, 1, 0]], "triangles": [[0, 1, 2], [0, 2, 3]] })")
                        .arg(i ? "," : "")
                        .arg(i)
                        .arg(2 * i)
                        .arg(2 * i + 1);
    }
    const QString scene = folder.write("row.json",
        QStringLiteral(R"({ "view": { "direction": "z+", "size": [400, 300], "background": [0, 0, 0] },
                            "labels": true, "elements": [%1] })")
            .arg(elements)
            .toUtf8());
    const QString json = folder.path("layout.json"), png = folder.path("row.png");
    const ProgramRun run
        = gcad({ "render", scene, "--labels-json", json, "--mark", "square 1:#0000ff", "-o", png });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QFile file(json);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject layout = QJsonDocument::fromJson(file.readAll()).object();
    EXPECT_EQ(layout.value("view").toArray(), QJsonArray({ 400, 300 }));
    const QJsonArray labels = layout.value("labels").toArray();
    ASSERT_EQ(labels.size(), 3);
    const auto rect = [](const QJsonValue &v) {
        const QJsonArray a = v.toArray();
        return QRectF(a[0].toDouble(), a[1].toDouble(), a[2].toDouble(), a[3].toDouble());
    };
    std::vector<QRectF> boxes;
    for (const QJsonValue &label : labels) {
        const QRectF box = rect(label.toObject().value("box"));
        EXPECT_TRUE(QRectF(0, 0, 400, 300).contains(box));
        for (const QRectF &other : boxes)
            EXPECT_FALSE(box.intersects(other));
        boxes.push_back(box);
        const QJsonArray point = label.toObject().value("point").toArray();
        EXPECT_TRUE(QRectF(0, 0, 400, 300).contains(QPointF(point[0].toDouble(), point[1].toDouble())));
    }
    // The reserved lower-left corner is among the fixed boxes, and no label lies in it.
    const QJsonArray fixed = layout.value("fixed").toArray();
    ASSERT_FALSE(fixed.isEmpty());
    const QRectF corner = rect(fixed.at(0));
    EXPECT_NEAR(corner.left(), 0.0, 1e-6);
    EXPECT_NEAR(corner.bottom(), 300.0, 1e-6);
    for (const QRectF &box : boxes)
        EXPECT_FALSE(box.intersects(corner));

    // The marked square is blue, the others stay grey.
    const QImage image(png);
    const std::vector<QPoint> blue = pixelsWhere(
        image, [](QRgb c, QPoint) { return qBlue(c) > qRed(c) + 80 && qBlue(c) > qGreen(c) + 80; });
    EXPECT_GT(blue.size(), 100u);

    const ProgramRun unknown = gcad({ "render", scene, "--mark", "square 7", "-o", png });
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err.trimmed(), "gcad: error: --mark: no element named 'square 7'");
    const ProgramRun badColour = gcad({ "render", scene, "--mark", "square 1:nocolour", "-o", png });
    EXPECT_EQ(badColour.status, 2);
    EXPECT_TRUE(badColour.err.contains("'nocolour' is not a colour")) << badColour.err.toStdString();
}

// Labels of no text and of 10000 characters, a raster, marks and a crosshair in views down to
// one pixel: the picture is painted and nothing fails.
TEST(GcadRender, theOverlayCopesWithOddLabelsAndTinyViews)
{
    TestFolder folder;
    folder.write("square.stl", binaryStlSquare());
    const QString scene = folder.write("odd.json",
        QStringLiteral(R"({
        "raster": true, "cross": [0.5, 0.5, 0], "pointMarks": [{ "at": [1e30, 0, 0], "text": "far" }],
        "elements": [
            { "kind": "mesh", "file": "square.stl", "label": "", "color": "red" },
            { "kind": "points", "positions": [[0, 0, 0.1]], "label": "%1" } ] })")
            .arg(QString(10000, 'W'))
            .toUtf8());
    for (const char *size : { "160x120", "1x1", "2x300" }) {
        SCOPED_TRACE(size);
        const QString out = folder.path("odd.png");
        const ProgramRun run = gcad({ "render", scene, "--labels", "--view", "z+", "--size", size,
            "--point-mark", "0,0,0:A", "-o", out });
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        const QImage image(out);
        EXPECT_EQ(QStringLiteral("%1x%2").arg(image.width()).arg(image.height()), size);
        if (image.width() > 100) { // the square shows around the long label
            EXPECT_FALSE(pixelsWhere(image, [](QRgb c, QPoint) { return qRed(c) > qGreen(c) + 80; }).empty());
        }
    }
}

// Pick answers for the pixels of the picture render writes with the same arguments: a red
// square at z = 0 partly under a green one at z = 1, seen from above.
TEST(GcadPick, namesTheElementDrawnAtAPixelWithTheSurfacePointUnderItAndAllInARectangle)
{
    TestFolder folder;
    const QString scene = folder.write("pick.json", R"({
        "view": { "direction": "z+", "size": [60, 40], "background": [0, 0, 255] },
        "elements": [
          { "kind": "mesh", "name": "low", "color": [255, 0, 0],
            "vertices": [[0, 0, 0], [2, 0, 0], [2, 1, 0], [0, 1, 0]], "triangles": [[0, 1, 2], [0, 2, 3]] },
          { "kind": "mesh", "name": "high", "color": [0, 255, 0],
            "vertices": [[1, 0, 1], [3, 0, 1], [3, 1, 1], [1, 1, 1]], "triangles": [[0, 1, 2], [0, 2, 3]] } ] })");
    const QString out = folder.path("pick.png");
    ASSERT_EQ(gcad({ "render", scene, "--flat", "-o", out }).status, 0);
    const QImage image(out);
    // The middle row's pixels furthest inside the red and the green run.
    QPoint red, green;
    for (int x = 0, reds = 0, greens = 0; x < image.width(); ++x) {
        const QRgb c = image.pixel(x, 20);
        reds = qRed(c) > 200 && qGreen(c) < 100 ? reds + 1 : 0;
        greens = qGreen(c) > 200 && qRed(c) < 100 ? greens + 1 : 0;
        if (reds == 3)
            red = QPoint(x - 1, 20);
        if (greens == 3)
            green = QPoint(x - 1, 20);
    }
    ASSERT_FALSE(red.isNull());
    ASSERT_FALSE(green.isNull());
    const auto at = [&](const QPoint &p) { return QStringLiteral("%1,%2").arg(p.x()).arg(p.y()); };

    ProgramRun run = gcad({ "pick", scene, "--flat", "--at", at(red) });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << run.out.toStdString();
    EXPECT_EQ(lines[0], "low (mesh)");
    EXPECT_TRUE(lines[1].startsWith("rotation centre: ")) << lines[1].toStdString();

    // JSON: the green square in front, its point at z = 1 and nearer than the red one's.
    const auto pickJson = [&](const QStringList &where) {
        const ProgramRun json = gcad(QStringList { "pick", scene, "--flat", "--json" } + where);
        EXPECT_EQ(json.status, 0) << json.err.toStdString();
        return QJsonDocument::fromJson(json.out.toUtf8()).object();
    };
    const QJsonObject low = pickJson({ "--at", at(red) }), high = pickJson({ "--at", at(green) });
    EXPECT_EQ(high.value("elements").toArray(),
        QJsonArray({ QJsonObject { { "name", "high" }, { "kind", "mesh" } } }));
    EXPECT_NEAR(low.value("point").toArray().at(2).toDouble(), 0.0, 1e-6);
    EXPECT_NEAR(high.value("point").toArray().at(2).toDouble(), 1.0, 1e-6);
    EXPECT_GT(high.value("depth").toDouble(), low.value("depth").toDouble());
    // The point lies under the pixel: within the square, about a pixel from where it was seen.
    EXPECT_NEAR(high.value("point").toArray().at(1).toDouble(), 0.5, 0.1);

    // The whole view holds both, a corner neither (and no point there).
    const QJsonObject all = pickJson({ "--rect", "0,0,59,39" });
    EXPECT_EQ(all.value("elements").toArray().size(), 2);
    EXPECT_FALSE(all.contains("point"));
    const QString redOnly = QStringLiteral("%1,%2,%3,%4").arg(red.x() - 1).arg(19).arg(red.x() + 1).arg(21);
    EXPECT_EQ(pickJson({ "--rect", redOnly }).value("elements").toArray(),
        QJsonArray({ QJsonObject { { "name", "low" }, { "kind", "mesh" } } }));
    run = gcad({ "pick", scene, "--flat", "--at", "0,0" });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "nothing\n");
    EXPECT_EQ(pickJson({ "--at", "0,0" }), QJsonObject({ { "elements", QJsonArray() } }));
}

// A pulled-out distance's handle, found in the picture render writes (the square of exactly the
// distance's colour), is named by pick at its pixel and nowhere far from it.
TEST(GcadPick, namesTheMeasurementWhosePullOutHandleIsAtThePixel)
{
    TestFolder folder;
    const QString scene = folder.write("handle.json", R"({
        "view": { "direction": "z+", "size": [120, 80], "background": [0, 0, 255] },
        "elements": [ { "kind": "distance", "name": "gap", "label": "", "color": [255, 0, 255],
            "from": [-2, -1, 0], "to": [2, -1, 0], "pullOut": [0, 1, 0] } ] })");
    const QString out = folder.path("handle.png");
    ASSERT_EQ(gcad({ "render", scene, "-o", out }).status, 0);
    const QImage image(out);
    // Inside the 9-pixel square, 3 pixels each way are the colour too; on a line they are not.
    const auto magenta
        = [&](int x, int y) { return image.valid(x, y) && image.pixel(x, y) == qRgb(255, 0, 255); };
    // The middle of those pixels is the square's.
    QPoint sum;
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (magenta(x, y) && magenta(x - 3, y) && magenta(x + 3, y) && magenta(x, y - 3)
                && magenta(x, y + 3)) {
                sum += QPoint(x, y);
                ++count;
            }
        }
    }
    ASSERT_GT(count, 0);
    const QPoint handle = sum / count;
    const ProgramRun run
        = gcad({ "pick", scene, "--json", "--at", QStringLiteral("%1,%2").arg(handle.x()).arg(handle.y()) });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(run.out.toUtf8()).object().value("handle").toObject(),
        QJsonObject({ { "name", "gap" }, { "kind", "DISTANCE" } }))
        << run.out.toStdString();
    const ProgramRun text
        = gcad({ "pick", scene, "--at", QStringLiteral("%1,%2").arg(handle.x() + 6).arg(handle.y()) });
    EXPECT_EQ(text.out.contains("pull-out handle"), false) << text.out.toStdString();
    const ProgramRun near
        = gcad({ "pick", scene, "--at", QStringLiteral("%1,%2").arg(handle.x() - 3).arg(handle.y() + 3) });
    EXPECT_TRUE(near.out.contains("pull-out handle of gap (DISTANCE)")) << near.out.toStdString();
}

// The picture goes where -o says in the format its extension names; a device or FIFO is
// written into, never replaced, and "-" is standard output with nothing else on it.
TEST(GcadRender, writesTheFormatOfTheExtensionIntoFilesDevicesFifosAndStandardOutput)
{
    TestFolder folder;
    const QString square = folder.write("square.stl", binaryStlSquare());
    const QStringList small = { "render", square, "--size", "16x12", "-o" };
    for (const auto &[name, format] : { std::pair("out.jpg", "jpeg"), std::pair("out.bmp", "bmp") }) {
        const ProgramRun run = gcad(small + QStringList { folder.path(name) });
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        QImageReader reader(folder.path(name));
        EXPECT_EQ(reader.format(), format);
        EXPECT_EQ(reader.size(), QSize(16, 12));
    }
    for (const char *name : { "out.xyzq", "out.gif" }) {
        const ProgramRun run = gcad(small + QStringList { folder.path(name) });
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.startsWith("gcad: error: " + folder.path(name) + ": '."))
            << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1);
        EXPECT_FALSE(QFileInfo::exists(folder.path(name)));
    }

    QProcess process;
    start(process, small + QStringList { "-" });
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(process.readAllStandardError().isEmpty());
    const QImage fromStandardOutput = QImage::fromData(process.readAllStandardOutput(), "PNG");
    EXPECT_EQ(fromStandardOutput.size(), QSize(16, 12));

    const QString fifo = folder.path("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Holding both ends, neither the program's open nor the test's waits; the small picture
    // fits the pipe.
    const int fifoEnd = ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(fifoEnd, 0);
    const ProgramRun toFifo = gcad(small + QStringList { fifo });
    EXPECT_EQ(toFifo.status, 0) << toFifo.err.toStdString();
    QByteArray fromFifo(65536, '\0');
    fromFifo.resize(std::max<ssize_t>(0, ::read(fifoEnd, fromFifo.data(), fromFifo.size())));
    ::close(fifoEnd);
    EXPECT_EQ(QImage::fromData(fromFifo, "PNG"), fromStandardOutput);
    struct stat status;
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));

    // A device that takes nothing: its own reason, on one line.
    if (QFileInfo::exists("/dev/full")) {
        const ProgramRun run = gcad(small + QStringList { "/dev/full" });
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "gcad: error: /dev/full: cannot write (No space left on device)\n");
    }

    // A null device of the test's own, where the user may make one (root): it stays a device.
    const QString device = folder.path("null");
    if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        const ProgramRun run = gcad(small + QStringList { device });
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        ASSERT_EQ(::stat(QFile::encodeName(device).constData(), &status), 0);
        EXPECT_TRUE(S_ISCHR(status.st_mode));
    }
}

// An STL file repeats every corner; the import joins them, and the crease angle decides which
// edges the shading keeps sharp: a cube's faces meet at 90 degrees.
TEST(GcadRender, aCubeKeepsItsEdgesSharpUnderTheCreaseAngle)
{
    TestFolder folder;
    std::vector<std::array<float, 9>> triangles;
    const int faces[12][3] = { { 0, 2, 3 }, { 0, 3, 1 }, { 0, 1, 5 }, { 0, 5, 4 }, { 0, 4, 6 }, { 0, 6, 2 },
        { 1, 3, 7 }, { 1, 7, 5 }, { 2, 6, 7 }, { 2, 7, 3 }, { 4, 5, 7 }, { 4, 7, 6 } };
    for (const auto &face : faces) {
        std::array<float, 9> corners;
        for (int i = 0; i < 3; ++i)
            for (int axis = 0; axis < 3; ++axis)
                corners[3 * i + axis] = float(face[i] >> axis & 1);
        triangles.push_back(corners);
    }
    const QString cube = folder.write("cube.stl", Gcad::Test::binaryStl(triangles));
    std::vector<int> colours;
    for (const auto &[crease, points] : { std::pair("0", 24), std::pair("89.9", 24), std::pair("90", 8) }) {
        SCOPED_TRACE(crease);
        const QString out = folder.path(QStringLiteral("cube-%1.png").arg(crease));
        const ProgramRun run = gcad({ "render", cube, "--crease", crease, "--size", "64x64", "-o", out });
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(QStringLiteral(", 12 triangles, %1 points, ").arg(points)))
            << run.out.toStdString();
        const QImage image(out);
        std::set<QRgb> distinct;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                distinct.insert(image.pixel(x, y));
        colours.push_back(int(distinct.size()));
    }
    // Flat faces are about one colour each (three faces and the background show); shading
    // smooth over the edges gives gradients.
    EXPECT_LE(colours[0], 8);
    EXPECT_EQ(colours[1], colours[0]);
    EXPECT_GT(colours[2], 20);
    // Without --crease: sharp.
    const ProgramRun run = gcad({ "render", cube, "--size", "8x8", "-o", folder.path("default.png") });
    EXPECT_TRUE(run.out.contains(", 12 triangles, 24 points, ")) << run.out.toStdString();
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

// --snapshot draws the view again with N pixels on its longer side and everything sized in
// pixels grown with it; PDF takes the same document. A size the driver cannot hold and a bad
// number are one error line, status 2, and nothing written.
TEST(GcadRender, aSnapshotIsTheViewDrawnAgainAtNPixelsAsPngOrPdf)
{
    TestFolder folder;
    QString grid;
    for (int i = 0; i < 25; ++i)
        grid += QStringLiteral("%1 %2 0\n").arg(i % 5).arg(i / 5);
    const QString cloud = folder.write("cloud.xyz", grid.toUtf8());
    const QString plain = folder.path("plain.png"), sharp = folder.path("sharp.png");
    ASSERT_EQ(gcad({ "render", cloud, "--view", "z+", "--size", "64x48", "-o", plain }).status, 0);
    const ProgramRun run
        = gcad({ "render", cloud, "--view", "z+", "--size", "64x48", "--snapshot", "256", "-o", sharp });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QRegularExpression("/sharp\\.png: 256x192 pixels, 1 elements")))
        << run.out.toStdString();
    // Four times the pixels along each side: each point covers 16 times the area. The
    // snapshot's picture has a frame, its outermost pixels.
    const auto drawnPixels = [](const QImage &image) {
        int count = 0;
        for (int y = 1; y < image.height() - 1; ++y)
            for (int x = 1; x < image.width() - 1; ++x)
                count += image.pixel(x, y) != image.pixel(2, 2);
        return count;
    };
    const QImage small(plain), large(sharp);
    ASSERT_EQ(large.size(), QSize(256, 192));
    const int inView = drawnPixels(small);
    ASSERT_GT(inView, 0);
    EXPECT_NEAR(drawnPixels(large), 16.0 * inView, 3.0 * inView);

    const QString pdf = folder.path("report.pdf");
    const ProgramRun report = gcad({ "render", cloud, "--size", "64x48", "--snapshot", "256", "-o", pdf });
    ASSERT_EQ(report.status, 0) << report.err.toStdString();
    const QByteArray page = readAll(pdf);
    EXPECT_TRUE(page.startsWith("%PDF"));
    EXPECT_TRUE(page.contains("/Subtype /Image"));

    const QString big = folder.path("big.png");
    const ProgramRun tooLarge = gcad({ "render", cloud, "--snapshot", "1000000", "-o", big });
    EXPECT_EQ(tooLarge.status, 2);
    EXPECT_TRUE(
        tooLarge.err.contains(QRegularExpression("^gcad: error: --snapshot: 1000000 pixels is more than this "
                                                 "driver's largest frame buffer \\([0-9]+\\)\n$")))
        << tooLarge.err.toStdString();
    const ProgramRun zero = gcad({ "render", cloud, "--snapshot", "0", "-o", big });
    EXPECT_EQ(zero.status, 2);
    EXPECT_EQ(zero.err, "gcad: error: --snapshot: '0' is not a whole number of pixels\n");
    EXPECT_EQ(folder.entries(), QStringList({ "cloud.xyz", "plain.png", "report.pdf", "sharp.png" }));
}

// gcad check tells what an application's first start would tell the user and stores what it saw;
// the next start has nothing to tell unless the board waits for its benchmark. With a German
// locale the library's texts come in German.
TEST(GcadCheck, aFirstStartIsToldAndStoredAndGermanInAGermanLocale)
{
    const QMap<QString, QString> german = { { "software rendering enabled", "Software-Rendering aktiviert" },
        { "no benchmark results", "keine Benchmark-Ergebnisse" },
        { "graphic board and driver are not certified", "Grafikkarte und Treiber sind nicht zertifiziert" } };
    const TestFolder configuration;
    const ProgramRun first = gcad({ "check" }, configuration.path(""));
    ASSERT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_TRUE(first.err.isEmpty()) << first.err.toStdString();
    const QString title = first.out.section('\n', 0, 0);
    ASSERT_TRUE(german.contains(title)) << first.out.toStdString();
    EXPECT_TRUE(first.out.contains(QRegularExpression(
        "\nstored: certified [12], software rendering [12], offscreen rendering 1, driver version '.+' ")))
        << first.out.toStdString();
    if (title == "software rendering enabled") {
        const ProgramRun second = gcad({ "check" }, configuration.path(""));
        EXPECT_TRUE(second.out.startsWith("nothing to tell")) << second.out.toStdString();
    }

    const TestFolder germanConfiguration;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VAQ_CONFIG_DIR"), germanConfiguration.path(""));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
    environment.remove(QStringLiteral("LC_ALL"));
    environment.remove(QStringLiteral("LANGUAGE"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(GCAD_PROGRAM), { QStringLiteral("check") });
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()).section('\n', 0, 0), german.value(title));
}
