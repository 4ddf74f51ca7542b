#include "gcad/host/cfg/vaq_cfg_file_format.h"
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

TEST(CfgFileFormat, everyKindReadsBackExactlyAndTextOfAnotherKindIsNoValue)
{
    const std::vector<CfgFileEntry> entries = {
        { "Gcad/ShowLabels", CfgItem::BOOL, true },
        { "Gcad/BoxMode", CfgItem::UINT, 4294967295u },
        { "GL/SoftwareRendering", CfgItem::LIST, 2u },
        // 0.1 + 0.2 has no short decimal form; it must come back bit for bit.
        { "Transparency", CfgItem::DBL, 0.1 + 0.2 },
        { "Color", CfgItem::COLOR, Color(0, 128, 255, 7) },
        // Blanks, tabs, line breaks, backslashes and non-ASCII in a key and in a text.
        { "Info/Driver\tversion 1", CfgItem::STRING, QString("4.6 (Mesa\t23.2)\nline\\two \u00e9") },
        { "Empty", CfgItem::STRING, QString() },
    };
    const QByteArray text = writeCfgFile(entries);
    // One line per entry after the comment line; the empty text still occupies its field.
    EXPECT_TRUE(
        text.startsWith("# Vaq configuration: key<TAB>kind<TAB>value\nGcad/ShowLabels\tbool\ttrue\n"));
    EXPECT_TRUE(text.endsWith("\nEmpty\tstring\t\\e\n"));
    EXPECT_EQ(text.count('\n'), 8);
    const std::vector<CfgFileLine> lines = readCfgFile(text);
    ASSERT_EQ(lines.size(), entries.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].error, "") << lines[i].text.toStdString();
        EXPECT_EQ(lines[i].number, int(i) + 2);
        EXPECT_EQ(lines[i].entry.key, entries[i].key);
        EXPECT_EQ(lines[i].entry.kind, entries[i].kind);
        EXPECT_EQ(lines[i].entry.value, entries[i].value) << lines[i].text.toStdString();
    }

    const std::pair<CfgItem::Kind_t, const char *> notValues[]
        = { { CfgItem::BOOL, "1" }, { CfgItem::UINT, "-1" }, { CfgItem::UINT, "1e3" },
              { CfgItem::UINT, "4294967296" }, { CfgItem::LIST, "" }, { CfgItem::DBL, "nan" },
              { CfgItem::DBL, "inf" }, { CfgItem::COLOR, "256,0,0,0" }, { CfgItem::COLOR, "1,2,3" },
              { CfgItem::STRING, "a b" }, { CfgItem::STRING, "" }, { CfgItem::NODE, "x" } };
    for (const auto &[kind, text] : notValues) {
        CfgValue value = 7u;
        EXPECT_FALSE(parseCfgValue(kind, text, value))
            << CfgItem::kindName(kind).toStdString() << " " << text;
        EXPECT_EQ(value, CfgValue(7u));
    }
}

TEST(CfgFileFormat, damagedLinesSayWhyAndKeepTheirNumbers)
{
    const std::vector<CfgFileLine> lines
        = readCfgFile("# comment\n"
                      "\n"
                      "Gcad/BoxMode\tuint\t-1\n"
                      "Gcad/InfoDriverVersion\tstring\tok\textra\n"
                      "\tbool\ttrue\n"
                      "Gcad/Other\tweird\t1\n"
                      "Gcad\tnode\t1\n"
                      "Gcad//Other\tbool\ttrue\n"
                      "RenderOptions/Expert/HighlightColor\tcolor\t9,8,7,6\r\n");
    const std::pair<int, const char *> expected[]
        = { { 3, "bad value" }, { 4, "not key, kind and value" }, { 5, "not key, kind and value" },
              { 6, "unknown kind" }, { 7, "unknown kind" }, { 8, "invalid key" }, { 9, "" } };
    ASSERT_EQ(lines.size(), std::size(expected));
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].number, expected[i].first);
        EXPECT_EQ(lines[i].error, expected[i].second) << lines[i].text.toStdString();
    }
    // A Windows line end is no part of the value.
    EXPECT_EQ(lines.back().text, "RenderOptions/Expert/HighlightColor\tcolor\t9,8,7,6");
    EXPECT_EQ(lines.back().entry.value, CfgValue(Color(9, 8, 7, 6)));
}

TEST(CfgFile, everyKindSurvivesSaveAndLoadAndAFailedSaveKeepsTheFile)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath("round.cfg");
    {
        CfgNode root;
        registerAllKinds(root);
        root.setBool("Gcad/ShowLabels", true);
        root.setUInt("Gcad/BoxMode", 7);
        root.setDbl("RenderOptions/Expert/HighlightTransparency", 0.25);
        root.setColor("RenderOptions/Expert/HighlightColor", Color(0, 128, 255, 7));
        root.setString("Gcad/InfoDriverVersion", "Mesa 23.2");
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
    EXPECT_EQ(loaded.getUInt("Gcad/BoxMode"), 7u);
    EXPECT_EQ(loaded.getDbl("RenderOptions/Expert/HighlightTransparency"), 0.25);
    EXPECT_EQ(loaded.getColor("RenderOptions/Expert/HighlightColor"), Color(0, 128, 255, 7));
    EXPECT_EQ(loaded.getString("Gcad/InfoDriverVersion"), "Mesa 23.2");
    EXPECT_EQ(loaded.getList("GL/SoftwareRendering"), 2u);
    EXPECT_TRUE(loaded.getKeptValues().isEmpty());
}

TEST(CfgFile, linesThatDoNotFitTheirEntryAreSkippedWithATraceAndTheRestIsRead)
{
    CfgNode root;
    registerAllKinds(root);
    testing::internal::CaptureStdout();
    root.fromText("# comment\n"
                  "Gcad/ShowLabels\tbool\ttrue\n"
                  "Gcad/BoxMode\tuint\t-1\n"
                  "RenderOptions/Expert/HighlightTransparency\tdouble\t1.5\n"
                  "Gcad/ShowLabels/x\tbool\ttrue\n"
                  "Gcad/BoxMode\tbool\ttrue\n"
                  "RenderOptions/Expert/HighlightColor\tcolor\t9,8,7,6\n",
        "test.cfg");
    const std::string traces = testing::internal::GetCapturedStdout();

    EXPECT_TRUE(root.getBool("Gcad/ShowLabels"));
    EXPECT_EQ(root.getColor("RenderOptions/Expert/HighlightColor"), Color(9, 8, 7, 6));
    EXPECT_EQ(root.getUInt("Gcad/BoxMode"), 0u);
    EXPECT_EQ(root.getDbl("RenderOptions/Expert/HighlightTransparency"), 0.8);
    EXPECT_TRUE(root.getKeptValues().isEmpty());

    const char *expected[] = {
        "test.cfg:3: bad value, line skipped: Gcad/BoxMode uint -1\n",
        "test.cfg:4: value out of range 1.5 (0 to 1), line skipped: "
        "RenderOptions/Expert/HighlightTransparency double 1.5\n",
        "test.cfg:5: key below a value, line skipped: Gcad/ShowLabels/x bool true\n",
        "test.cfg:6: entry is uint, line skipped: Gcad/BoxMode bool true\n",
    };
    EXPECT_NE(traces.find("Vaq::Cfg::CfgNode::fromText("), std::string::npos);
    for (const char *line : expected)
        EXPECT_NE(traces.find(line), std::string::npos) << "missing trace: " << line << "\nin:\n" << traces;
    // Exactly one trace per damaged line.
    EXPECT_EQ(std::count(traces.begin(), traces.end(), '\n'), 4);
}

TEST(CfgFile, valuesOfUnregisteredKeysAreKeptAppliedLaterUnlessTheyDoNotFitAndSavedBack)
{
    CfgNode root;
    root.addBool("Gcad/ShowLabels", "", false, CfgItem::FLAG_NONE);
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

    // Registered values depth first in registration order, nodes get no line, then the
    // values still kept aside.
    EXPECT_EQ(root.toText(),
        "# Vaq configuration: key<TAB>kind<TAB>value\n"
        "Gcad/ShowLabels\tbool\ttrue\n"
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
