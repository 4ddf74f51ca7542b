// Runs the gcad program as a user would and checks what it prints and how it exits.
#include "tests/apps/gcad_program_run.h"
#include "tests/apps/scene_test_files.h"

#include <QImage>
#include <QRegularExpression>
#include <QString>

#include <gtest/gtest.h>

namespace {

using Gcad::Test::ProgramRun;

// The unit square as two triangles in a binary STL.
QByteArray binaryStlSquare()
{
    return Gcad::Test::binaryStl({ { 0, 0, 0, 1, 0, 0, 1, 1, 0 }, { 0, 0, 0, 1, 1, 0, 0, 1, 0 } });
}

ProgramRun gcad(const QStringList &arguments)
{
    return Gcad::Test::runGcad(arguments);
}

} // namespace

TEST(GcadProgram, helpListsTheCommands)
{
    const ProgramRun run = gcad({ "--help" });
    EXPECT_EQ(run.status, 0);
    for (const char *command : { "info", "render", "bench" }) {
        const QRegularExpression line(
            QStringLiteral("^  %1 ").arg(command), QRegularExpression::MultilineOption);
        EXPECT_TRUE(run.out.contains(line)) << command << "\n" << run.out.toStdString();
    }
}

TEST(GcadProgram, badInputIsOneErrorLineAndStatus2)
{
    const ProgramRun unknownCommand = gcad({ "paint" });
    EXPECT_EQ(unknownCommand.status, 2);
    EXPECT_EQ(unknownCommand.err, "gcad: error: paint: unknown command (see gcad --help)\n");
    EXPECT_TRUE(unknownCommand.out.isEmpty());

    const ProgramRun unknownOption = gcad({ "--fast" });
    EXPECT_EQ(unknownOption.status, 2);
    EXPECT_EQ(unknownOption.err, "gcad: error: --fast: unknown option (see gcad --help)\n");

    const ProgramRun badInfoOption = gcad({ "info", "--verbose" });
    EXPECT_EQ(badInfoOption.status, 2);
    EXPECT_EQ(badInfoOption.err, "gcad: error: --verbose: unknown option of 'info' (see gcad --help)\n");
}

TEST(GcadProgram, infoPrintsOneLabelValueLinePerItem)
{
    const Gcad::Test::TestFolder configuration; // no benchmark was run there
    const ProgramRun run = Gcad::Test::runGcad({ "info" }, configuration.path(""));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = run.out.trimmed().split('\n');
    const QStringList labels = { "renderer", "vendor", "GL version", "driver version", "software rendering",
        "off-screen mode", "graphics memory", "render mode", "snapshot size", "performance index" };
    ASSERT_EQ(lines.size(), labels.size()) << run.out.toStdString();
    for (int i = 0; i < labels.size(); ++i) {
        EXPECT_TRUE(lines[i].startsWith(labels[i] + ": ")) << lines[i].toStdString();
        EXPECT_GT(lines[i].size(), labels[i].size() + 2) << "empty value: " << lines[i].toStdString();
    }
    // The software rasteriser must be reported as such.
    if (lines[0].contains("llvmpipe")) {
        EXPECT_EQ(lines[4], "software rendering: yes");
    }
    EXPECT_EQ(lines[5], "off-screen mode: 2 (frame buffer object)");
    EXPECT_EQ(lines[9], "performance index: not available");
}

namespace {

using Gcad::Test::TestFolder;

// Runs arguments, expects status 2 with exactly the error line, and nothing on standard output.
void expectUsageError(const QStringList &arguments, const QString &error)
{
    SCOPED_TRACE(arguments.join(' ').toStdString());
    const ProgramRun run = gcad(arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, error);
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
}

} // namespace

TEST(GcadRender, badOptionsAreOneErrorLineAndStatus2)
{
    TestFolder folder;
    const QString png = folder.path("out.png");
    expectUsageError(
        { "render", "--fast" }, "gcad: error: --fast: unknown option of 'render' (see gcad --help)\n");
    for (const char *size :
        { "0x10", "10x", "-5", "x10", "10x0", "16385x10", "10x10x10", "1e3x10", "+5x5" }) {
        expectUsageError({ "render", "-o", png, "--size", size },
            QStringLiteral("gcad: error: --size: '%1' is not WxH with W and H from 1 to 16384\n").arg(size));
    }
    expectUsageError({ "render", "--size" }, "gcad: error: --size: missing value (WxH)\n");
    expectUsageError({ "render", "--view" }, "gcad: error: --view: missing value (view name)\n");
    expectUsageError({ "render", "-o" }, "gcad: error: -o: missing value (PNG file)\n");
    expectUsageError({ "render", "--view", "top" },
        "gcad: error: --view: unknown view 'top' (x+, x-, y+, y-, z+, z-, iso or a corner such as x+y-z+)\n");
    const QString noFolder = folder.path("missing/out.png");
    expectUsageError(
        { "render", "-o", noFolder }, "gcad: error: " + noFolder + ": the folder does not exist\n");
    expectUsageError({ "render", "-o", folder.path("") },
        "gcad: error: " + folder.path("") + ": is a folder, not a file\n");
    EXPECT_TRUE(folder.entries().isEmpty()) << folder.entries().join(' ').toStdString();
}

TEST(GcadRender, unusableFilesAreOneErrorLineAndStatus2AndLeaveNoPng)
{
    TestFolder folder;
    QDir().mkdir(folder.path("folder.stl"));
    const QString good = folder.write("good.stl", binaryStlSquare());
    const QString empty = folder.write("empty.stl", "");
    const QString noTriangles = folder.write("none.stl", "solid none\nendsolid none\n");
    const QString garbage = folder.write("garbage.stl", "this is no mesh\n");
    const QString points = folder.write("points.xyz", "1 2 3\n4 5 6\n");
    const QString cloud = folder.write("cloud.ply",
        "ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\nproperty float y\nproperty float z\n"
        "end_header\n1 2 3\n");
    const QString badPoints = folder.write("bad.xyz", "1 2 3\n1 2\n");
    const QString text = folder.write("notes.txt", "1 2 3\n");
    const QStringList before = folder.entries();
    const QString png = folder.path("out.png");

    const std::vector<std::pair<QString, QString>> cases = {
        { folder.path("missing.stl"), "no such file" },
        { folder.path("folder.stl"), "is a folder, not a file" },
        { empty, "empty file" },
        { noTriangles, "no triangles" },
        { garbage,
            "malformed STL file (Failed to determine STL storage representation for " + garbage + ".)" },
        { points, "point clouds cannot be drawn yet (there is no points renderer)" },
        { cloud, "point clouds cannot be drawn yet (there is no points renderer)" },
        { badPoints, "line 2: expected 3 values like the first point, found 2" },
        { text, "unknown file type '.txt' (expected .stl, .ply, .obj or .xyz)" },
    };
    for (const auto &[file, why] : cases) {
        // A good file before the bad one changes nothing: the bad one is named.
        expectUsageError({ "render", good, file, "-o", png }, "gcad: error: " + file + ": " + why + "\n");
    }
    EXPECT_EQ(folder.entries(), before);
}

TEST(GcadRender, writesThePngAndOneSummaryLine)
{
    TestFolder folder;
    const QString good = folder.write("good.stl", binaryStlSquare());
    const QString out = folder.path("out.png");
    const ProgramRun run
        = gcad({ "render", good, "--flat", "--edges", "--view", "z+", "--size", "64x48", "-o", out });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QRegularExpression(
        "^wrote .*/out\\.png: 64x48 pixels, 1 elements, 2 triangles, 4 points, [0-9.]+ s\n$")))
        << run.out.toStdString();
    EXPECT_EQ(folder.entries(), QStringList({ "good.stl", "out.png" }));
    const QImage image(out);
    ASSERT_EQ(image.size(), QSize(64, 48));
    // The square fills the middle of the picture, the background shows at the corners.
    EXPECT_NE(image.pixel(32, 24), image.pixel(0, 0));
}

TEST(GcadBench, optionsAreCheckedBeforeTheBenchmark)
{
    TestFolder folder;
    expectUsageError(
        { "bench", "--fast" }, "gcad: error: --fast: unknown option of 'bench' (see gcad --help)\n");
    expectUsageError({ "bench", "results.json" },
        "gcad: error: results.json: unknown option of 'bench' (see gcad --help)\n");
    for (const char *size : { "0", "-5", "abc", "16385", "12x12", "" }) {
        expectUsageError({ "bench", "--size", size },
            QStringLiteral("gcad: error: --size: '%1' is not a whole number from 1 to 16384\n").arg(size));
    }
    for (const char *dome : { "1", "1002", "+5", "5.0", "" }) {
        expectUsageError({ "bench", "--dome", dome },
            QStringLiteral("gcad: error: --dome: '%1' is not a whole number from 2 to 1001\n").arg(dome));
    }
    expectUsageError({ "bench", "--size" }, "gcad: error: --size: missing value (N)\n");
    expectUsageError({ "bench", "--dome" }, "gcad: error: --dome: missing value (N)\n");
    expectUsageError({ "bench", "--json" }, "gcad: error: --json: missing value (JSON file)\n");
    const QString noFolder = folder.path("missing/bench.json");
    expectUsageError(
        { "bench", "--json", noFolder }, "gcad: error: " + noFolder + ": the folder does not exist\n");
    EXPECT_TRUE(folder.entries().isEmpty());
}
