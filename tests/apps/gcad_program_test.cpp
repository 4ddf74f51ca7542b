// Runs the gcad program as a user would and checks what it prints and how it exits.
#include <QProcess>
#include <QRegularExpression>
#include <QString>

#include <gtest/gtest.h>

namespace {

struct ProgramRun
{
    int status = -1;
    QString out;
    QString err;
};

ProgramRun gcad(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(GCAD_PROGRAM), arguments);
    ProgramRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

TEST(GcadProgram, helpListsTheCommands)
{
    const ProgramRun run = gcad({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.contains(QRegularExpression("^  info ", QRegularExpression::MultilineOption)))
        << run.out.toStdString();
}

TEST(GcadProgram, badInputIsOneErrorLineAndStatus2)
{
    const ProgramRun unknownCommand = gcad({"paint"});
    EXPECT_EQ(unknownCommand.status, 2);
    EXPECT_EQ(unknownCommand.err, "gcad: error: paint: unknown command (see gcad --help)\n");
    EXPECT_TRUE(unknownCommand.out.isEmpty());

    const ProgramRun unknownOption = gcad({"--fast"});
    EXPECT_EQ(unknownOption.status, 2);
    EXPECT_EQ(unknownOption.err, "gcad: error: --fast: unknown option (see gcad --help)\n");

    const ProgramRun badInfoOption = gcad({"info", "--verbose"});
    EXPECT_EQ(badInfoOption.status, 2);
    EXPECT_EQ(badInfoOption.err, "gcad: error: --verbose: unknown option of 'info' (see gcad --help)\n");
}

TEST(GcadProgram, infoPrintsOneLabelValueLinePerItem)
{
    const ProgramRun run = gcad({"info"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = run.out.trimmed().split('\n');
    const QStringList labels = {"renderer",           "vendor",          "GL version",
                                "driver version",     "software rendering", "off-screen mode",
                                "graphics memory",    "render mode",     "snapshot size"};
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
}
