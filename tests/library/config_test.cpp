#include "gcad/gcad_config.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cfg/vaq_cfg_node.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

using namespace Vaq;
using namespace Vaq::Cfg;
using namespace Vaq::GCAD;

namespace {

// Answers only for the configuration context, so a description translated in any other
// context (or not at all) stays plain.
class ConfigTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *text, const char *, int) const override
    {
        if (QByteArray(context) == "GCAD_OpenGL_cfg")
            return QStringLiteral("<%1>").arg(QString::fromUtf8(text));
        return QString();
    }
    bool isEmpty() const override { return false; }
};

} // namespace

TEST(ConfigKeys, exportedNamesAreTheFixedKeys)
{
    EXPECT_STREQ(CFG_GCAD_NODE, "Gcad");
    EXPECT_STREQ(CFG_GCAD_SHOW_LABELS, "Gcad/ShowLabels");
    EXPECT_STREQ(CFG_GCAD_BOX_MODE, "Gcad/BoxMode");
    EXPECT_STREQ(CFG_GCAD_HIGHLIGHT_TRANSPARENCY, "RenderOptions/Expert/HighlightTransparency");
    EXPECT_STREQ(CFG_GCAD_HIGHLIGHT_COLOR, "RenderOptions/Expert/HighlightColor");
    EXPECT_STREQ(CFG_GCAD_INFO_CERTIFIED, "Gcad/InfoCertified");
    EXPECT_STREQ(CFG_GCAD_INFO_SOFTWARE_RENDERING, "Gcad/InfoSoftwareRendering");
    EXPECT_STREQ(CFG_GCAD_INFO_OFFSCREEN_RENDERING, "Gcad/InfoOffscreenRendering");
    EXPECT_STREQ(CFG_GCAD_INFO_DRIVER_VERSION, "Gcad/InfoDriverVersion");
    EXPECT_STREQ(CFG_PIP_NODE, "Gcad/PiP");
    EXPECT_STREQ(CFG_PIP_LINK_TO_MAIN_WINDOW, "Gcad/PiP/LinkToMainWindow");
    EXPECT_STREQ(CFG_PIP_SHOW_VIEW_VOLUME, "Gcad/PiP/ShowViewVolume");
    EXPECT_STREQ(CFG_PIP_VISIBILITY_MODE, "Gcad/PiP/VisibilityMode");
    EXPECT_STREQ(CMD_BENCHMARK_MESH, "sys.run_benchmark");
}

TEST(ConfigEntries, registrationGivesEveryEntryItsKindDefaultRangeAndFlag)
{
    CfgNode root;
    registerConfigEntries(root);

    const CfgItem &node = root.getItem(CFG_GCAD_NODE);
    EXPECT_EQ(node.getKind(), CfgItem::NODE);
    EXPECT_TRUE(node.isRegistered());
    EXPECT_EQ(node.getDescription(), "gcad node");
    EXPECT_EQ(node.getFlags().toInt(), 2);

    const CfgItem &labels = root.getItem(CFG_GCAD_SHOW_LABELS);
    EXPECT_EQ(labels.getKind(), CfgItem::BOOL);
    EXPECT_EQ(labels.getDescription(), "auto hide labels");
    EXPECT_FALSE(root.getBool(CFG_GCAD_SHOW_LABELS));
    EXPECT_EQ(labels.getFlags().toInt(), 2);

    const CfgItem &box = root.getItem(CFG_GCAD_BOX_MODE);
    EXPECT_EQ(box.getKind(), CfgItem::UINT);
    EXPECT_EQ(box.getDescription(), "label placement mode");
    EXPECT_EQ(box.getDefault(), CfgValue(0u));
    EXPECT_EQ(box.getMinimum(), CfgValue(0u));
    EXPECT_EQ(box.getMaximum(), CfgValue(4294967295u));
    EXPECT_EQ(box.getStep(), CfgValue(1u));
    EXPECT_EQ(box.getFlags().toInt(), 2);

    const CfgItem &transparency = root.getItem(CFG_GCAD_HIGHLIGHT_TRANSPARENCY);
    EXPECT_EQ(transparency.getKind(), CfgItem::DBL);
    EXPECT_EQ(transparency.getDescription(), "highlight transparency");
    EXPECT_EQ(root.getDbl(CFG_GCAD_HIGHLIGHT_TRANSPARENCY), 0.8);
    EXPECT_EQ(transparency.getMinimum(), CfgValue(0.0));
    EXPECT_EQ(transparency.getMaximum(), CfgValue(1.0));
    EXPECT_EQ(transparency.getStep(), CfgValue(0.1));
    EXPECT_EQ(transparency.getDecimals(), 1);
    EXPECT_EQ(transparency.getFlags().toInt(), 1);

    const CfgItem &color = root.getItem(CFG_GCAD_HIGHLIGHT_COLOR);
    EXPECT_EQ(color.getKind(), CfgItem::COLOR);
    EXPECT_EQ(color.getDescription(), "highlight color");
    EXPECT_EQ(root.getColor(CFG_GCAD_HIGHLIGHT_COLOR), Color(255, 255, 255));
    EXPECT_EQ(color.getFlags().toInt(), 1);

    const std::pair<const char *, const char *> infos[] = {
        { CFG_GCAD_INFO_CERTIFIED, "info is certified" },
        { CFG_GCAD_INFO_SOFTWARE_RENDERING, "info use software rendering" },
        { CFG_GCAD_INFO_OFFSCREEN_RENDERING, "info use offscreen rendering" },
    };
    for (const auto &[key, description] : infos) {
        const CfgItem &info = root.getItem(key);
        EXPECT_EQ(info.getKind(), CfgItem::UINT) << key;
        EXPECT_EQ(info.getDescription(), description) << key;
        EXPECT_EQ(root.getUInt(key), 0u) << key;
        EXPECT_EQ(info.getMinimum(), CfgValue(0u)) << key;
        EXPECT_EQ(info.getMaximum(), CfgValue(3u)) << key;
        EXPECT_EQ(info.getStep(), CfgValue(1u)) << key;
        EXPECT_EQ(info.getFlags().toInt(), 2) << key;
    }

    const CfgItem &driver = root.getItem(CFG_GCAD_INFO_DRIVER_VERSION);
    EXPECT_EQ(driver.getKind(), CfgItem::STRING);
    EXPECT_EQ(driver.getDescription(), "info driver version");
    EXPECT_EQ(root.getString(CFG_GCAD_INFO_DRIVER_VERSION), "");
    EXPECT_EQ(driver.getLength(), 1);
    EXPECT_EQ(driver.getFlags().toInt(), 2);
}

TEST(ConfigEntries, entriesAreRegisteredInTableOrder)
{
    CfgNode root;
    registerConfigEntries(root);
    // The file writes values depth first in registration order, so it shows the order.
    EXPECT_EQ(root.toText(),
        "# Vaq configuration: key<TAB>kind<TAB>value\n"
        "Gcad/ShowLabels\tbool\tfalse\n"
        "Gcad/BoxMode\tuint\t0\n"
        "Gcad/InfoCertified\tuint\t0\n"
        "Gcad/InfoSoftwareRendering\tuint\t0\n"
        "Gcad/InfoOffscreenRendering\tuint\t0\n"
        "Gcad/InfoDriverVersion\tstring\t\\e\n"
        "RenderOptions/Expert/HighlightTransparency\tdouble\t0.80000000000000004\n"
        "RenderOptions/Expert/HighlightColor\tcolor\t255,255,255,255\n");
    const auto top = root.getChildren();
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(top[0]->getName(), "Gcad");
    EXPECT_EQ(top[1]->getName(), "RenderOptions");
}

TEST(ConfigEntries, pictureInPictureKeysAreNotRegistered)
{
    CfgNode root;
    registerConfigEntries(root);
    EXPECT_FALSE(root.exists(CFG_PIP_NODE));
    EXPECT_FALSE(root.exists(CFG_PIP_LINK_TO_MAIN_WINDOW));
    EXPECT_FALSE(root.exists(CFG_PIP_SHOW_VIEW_VOLUME));
    EXPECT_FALSE(root.exists(CFG_PIP_VISIBILITY_MODE));
}

TEST(ConfigEntries, boxModeTakesTheLargestUnsignedValue)
{
    CfgNode root;
    registerConfigEntries(root);
    root.setUInt(CFG_GCAD_BOX_MODE, 4294967295u);
    EXPECT_EQ(root.getUInt(CFG_GCAD_BOX_MODE), 4294967295u);
}

TEST(ConfigEntries, onlyTheHighlightDescriptionsAreTranslatedInTheirContext)
{
    ConfigTranslator translator;
    QCoreApplication::installTranslator(&translator);
    CfgNode root;
    registerConfigEntries(root);
    QCoreApplication::removeTranslator(&translator);
    EXPECT_EQ(root.getItem(CFG_GCAD_HIGHLIGHT_TRANSPARENCY).getDescription(), "<highlight transparency>");
    EXPECT_EQ(root.getItem(CFG_GCAD_HIGHLIGHT_COLOR).getDescription(), "<highlight color>");
    EXPECT_EQ(root.getItem(CFG_GCAD_BOX_MODE).getDescription(), "label placement mode");
}

TEST(ConfigEntries, secondRegistrationFailsWithTheTreeError)
{
    CfgNode root;
    registerConfigEntries(root);
    try {
        registerConfigEntries(root);
        FAIL() << "second registration did not throw";
    } catch (const ProgError &e) {
        EXPECT_EQ(e.function(), "Vaq::Cfg::CfgNode::addNode");
        EXPECT_EQ(e.message(), "key already registered: Gcad");
    }
}

TEST(ConfigEntries, registrationOnASubNodeKeepsTheFullKeysBelowIt)
{
    CfgNode root;
    CfgNode &app = root.addNode("App", "application", CfgItem::FLAG_NONE);
    registerConfigEntries(app);
    EXPECT_TRUE(root.exists("App/Gcad/BoxMode"));
    EXPECT_TRUE(root.exists("App/RenderOptions/Expert/HighlightColor"));
    EXPECT_FALSE(root.exists("Gcad"));
}
