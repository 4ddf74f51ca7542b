#include "gcad/host/cfg/vaq_cfg_node.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/cfg/vaq_cfg_user_file.h"

#include "tests/support/test_environment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Vaq;
using namespace Vaq::Cfg;

namespace {

// One entry of every kind, with defaults different from the values the tests set.
void registerAllKinds(CfgNode &root)
{
    root.addNode("Gcad", "gcad node", CfgItem::FLAG_INTERNAL);
    root.addBool("Gcad/ShowLabels", "auto hide labels", false, CfgItem::FLAG_INTERNAL);
    root.addUInt("Gcad/BoxMode", "label placement mode", 0, 4294967295u, 0, 1, CfgItem::FLAG_INTERNAL);
    root.addDbl("RenderOptions/Expert/HighlightTransparency", "t", 0.0, 1.0, 0.8, 0.1, 1,
        CfgItem::FLAG_OPTIONS_DIALOG);
    root.addColor(
        "RenderOptions/Expert/HighlightColor", "c", Color(255, 255, 255), CfgItem::FLAG_OPTIONS_DIALOG);
    root.addString("Gcad/InfoDriverVersion", "v", "", 1, CfgItem::FLAG_INTERNAL);
    root.addList("GL/SoftwareRendering", "s", { "auto", "hardware", "software" }, 0, CfgItem::FLAG_NONE);
}

} // namespace

TEST(CfgFile, everyKindSurvivesSaveAndLoadAndAFailedSaveKeepsTheFile)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath("round.cfg");
    {
        CfgNode root;
        registerAllKinds(root);
        root.setBool("Gcad/ShowLabels", true);
        root.setUInt("Gcad/BoxMode", 4294967295u);
        // 0.1 + 0.2 has no short decimal form; it must come back bit for bit.
        root.setDbl("RenderOptions/Expert/HighlightTransparency", 0.1 + 0.2);
        root.setColor("RenderOptions/Expert/HighlightColor", Color(0, 128, 255, 7));
        // Blanks, tabs, line breaks, backslashes and non-ASCII all in one text.
        root.setString("Gcad/InfoDriverVersion", "4.6 (Mesa\t23.2)\nline\\two \u00e9");
        root.setList("GL/SoftwareRendering", 2);
        ASSERT_TRUE(root.save(fileName));
        // A failed save leaves the file as it was.
        root.setBool("Gcad/ShowLabels", false);
        UserFile::setFailBeforeRenameForTesting(true);
        testing::internal::CaptureStdout();
        const bool saved = root.save(fileName);
        testing::internal::GetCapturedStdout();
        UserFile::setFailBeforeRenameForTesting(false);
        EXPECT_FALSE(saved);
    }
    CfgNode loaded;
    registerAllKinds(loaded);
    ASSERT_TRUE(loaded.load(fileName));
    EXPECT_TRUE(loaded.getBool("Gcad/ShowLabels"));
    EXPECT_EQ(loaded.getUInt("Gcad/BoxMode"), 4294967295u);
    EXPECT_EQ(loaded.getDbl("RenderOptions/Expert/HighlightTransparency"), 0.1 + 0.2);
    EXPECT_EQ(loaded.getColor("RenderOptions/Expert/HighlightColor"), Color(0, 128, 255, 7));
    EXPECT_EQ(loaded.getString("Gcad/InfoDriverVersion"), "4.6 (Mesa\t23.2)\nline\\two \u00e9");
    EXPECT_EQ(loaded.getList("GL/SoftwareRendering"), 2u);
    EXPECT_TRUE(loaded.getKeptValues().isEmpty());
}

TEST(CfgFile, damagedLinesAreSkippedWithATraceAndTheRestIsRead)
{
    CfgNode root;
    registerAllKinds(root);
    testing::internal::CaptureStdout();
    root.fromText("# comment\n"
                  "\n"
                  "Gcad/ShowLabels\tbool\ttrue\n"
                  "Gcad/BoxMode\tuint\t-1\n"
                  "Gcad/InfoDriverVersion\tstring\tok\textra\n"
                  "RenderOptions/Expert/HighlightTransparency\tdouble\t1.5\n"
                  "Gcad/ShowLabels/x\tbool\ttrue\n"
                  "Gcad/BoxMode\tbool\ttrue\n"
                  "Gcad/Other\tweird\t1\n"
                  "RenderOptions/Expert/HighlightColor\tcolor\t9,8,7,6\r\n",
        "test.cfg");
    const std::string traces = testing::internal::GetCapturedStdout();

    EXPECT_TRUE(root.getBool("Gcad/ShowLabels"));
    EXPECT_EQ(root.getColor("RenderOptions/Expert/HighlightColor"), Color(9, 8, 7, 6));
    EXPECT_EQ(root.getUInt("Gcad/BoxMode"), 0u);
    EXPECT_EQ(root.getString("Gcad/InfoDriverVersion"), "");
    EXPECT_EQ(root.getDbl("RenderOptions/Expert/HighlightTransparency"), 0.8);
    EXPECT_TRUE(root.getKeptValues().isEmpty());

    const char *expected[] = {
        "test.cfg:4: bad value, line skipped: Gcad/BoxMode uint -1\n",
        "test.cfg:5: not key, kind and value, line skipped: Gcad/InfoDriverVersion string ok extra\n",
        "test.cfg:6: value out of range 1.5 (0 to 1), line skipped: "
        "RenderOptions/Expert/HighlightTransparency double 1.5\n",
        "test.cfg:7: key below a value, line skipped: Gcad/ShowLabels/x bool true\n",
        "test.cfg:8: entry is uint, line skipped: Gcad/BoxMode bool true\n",
        "test.cfg:9: unknown kind, line skipped: Gcad/Other weird 1\n",
    };
    EXPECT_NE(traces.find("Vaq::Cfg::CfgNode::fromText("), std::string::npos);
    for (const char *line : expected)
        EXPECT_NE(traces.find(line), std::string::npos) << "missing trace: " << line << "\nin:\n" << traces;
    // Exactly one trace per damaged line.
    EXPECT_EQ(std::count(traces.begin(), traces.end(), '\n'), 6);
}

TEST(CfgFile, valuesOfUnregisteredKeysAreKeptAppliedLaterUnlessTheyDoNotFitAndSavedBack)
{
    CfgNode root;
    root.addBool("Gcad/ShowLabels", "", false, CfgItem::FLAG_NONE);
    root.addString("Gcad/Empty", "", "", 1, CfgItem::FLAG_NONE);
    root.fromText("Gcad/ShowLabels\tbool\ttrue\n"
                  "Gcad/PiP/LinkToMainWindow\tbool\ttrue\n"
                  "Other/Name\tstring\tA\\sB\n"
                  "a\tuint\t9\n"
                  "b\tbool\ttrue\n",
        "kept.cfg");
    EXPECT_EQ(root.getKeptValues().size(), 4);
    EXPECT_FALSE(root.exists("Other/Name"));

    // Registering a kept key gives it the stored value instead of the default, if it fits.
    root.addNode("Other", "", CfgItem::FLAG_NONE).addString("Name", "", "", 1, CfgItem::FLAG_NONE);
    EXPECT_EQ(root.getString("Other/Name"), "A B");
    testing::internal::CaptureStdout();
    root.addUInt("a", "", 0, 3, 1, 1, CfgItem::FLAG_NONE);
    root.addString("b", "", "d", 1, CfgItem::FLAG_NONE);
    const std::string traces = testing::internal::GetCapturedStdout();
    EXPECT_NE(traces.find("stored value of a out of range, default kept: 9 (0 to 3)"), std::string::npos);
    EXPECT_NE(
        traces.find("stored value of b does not fit its entry, default kept: bool true"), std::string::npos);
    EXPECT_EQ(root.getKeptValues().size(), 1);

    // One line per value, nodes get none; the empty string still occupies its field.
    EXPECT_EQ(root.toText(),
        "# Vaq configuration: key<TAB>kind<TAB>value\n"
        "Gcad/ShowLabels\tbool\ttrue\n"
        "Gcad/Empty\tstring\t\\e\n"
        "Other/Name\tstring\tA\\sB\n"
        "a\tuint\t1\n"
        "b\tstring\td\n"
        "Gcad/PiP/LinkToMainWindow\tbool\ttrue\n");
}

TEST(CfgRoot, processTreeSavesToAndLoadsFromItsUserFile)
{
    QFile::remove(QDir(Vaq::Test::configDir()).filePath(getRootFileName()));
    EXPECT_FALSE(loadRoot());
    CfgNode &root = getRoot();
    if (!root.exists("CfgRootTest/Count"))
        root.addUInt("CfgRootTest/Count", "", 0, 100, 5, 1, CfgItem::FLAG_NONE);
    root.setUInt("CfgRootTest/Count", 42);
    ASSERT_TRUE(saveRoot());
    root.setUInt("CfgRootTest/Count", 1);
    ASSERT_TRUE(loadRoot());
    EXPECT_EQ(root.getUInt("CfgRootTest/Count"), 42u);
}
