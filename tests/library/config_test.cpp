#include "gcad/gcad_config.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cfg/vaq_cfg_node.h"

#include "tests/support/prog_error_message.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

using namespace Vaq;
using namespace Vaq::Cfg;
using namespace Vaq::GCAD;
using Vaq::Test::progErrorMessage;

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

TEST(ConfigEntries, entriesAreRegisteredInTableOrderWithTheirDefaults)
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
    // The picture-in-picture keys are the application's.
    EXPECT_FALSE(root.exists(CFG_PIP_NODE));
}

TEST(ConfigEntries, onlyTheHighlightEntriesAreTheUsersAndRangesAreEnforced)
{
    CfgNode root;
    registerConfigEntries(root);
    QStringList user;
    for (const QByteArray &line : root.toText().split('\n').mid(1)) {
        if (line.isEmpty())
            continue;
        const QString key = QString::fromUtf8(line.left(line.indexOf('\t')));
        if (root.getItem(key).getFlags() == CfgItem::FLAG_OPTIONS_DIALOG)
            user << key;
        else
            EXPECT_EQ(root.getItem(key).getFlags().toInt(), CfgItem::FLAG_INTERNAL) << key.toStdString();
    }
    EXPECT_EQ(user, QStringList({ CFG_GCAD_HIGHLIGHT_TRANSPARENCY, CFG_GCAD_HIGHLIGHT_COLOR }));
    EXPECT_EQ(root.getItem(CFG_GCAD_NODE).getFlags().toInt(), CfgItem::FLAG_INTERNAL);

    root.setUInt(CFG_GCAD_BOX_MODE, 4294967295u);
    EXPECT_EQ(root.getUInt(CFG_GCAD_BOX_MODE), 4294967295u);
    for (const char *key :
        { CFG_GCAD_INFO_CERTIFIED, CFG_GCAD_INFO_SOFTWARE_RENDERING, CFG_GCAD_INFO_OFFSCREEN_RENDERING }) {
        EXPECT_EQ(progErrorMessage([&] { root.setUInt(key, 4); }),
            "value out of range: " + std::string(key) + " = 4 (0 to 3)");
    }
    EXPECT_EQ(progErrorMessage([&] { root.setDbl(CFG_GCAD_HIGHLIGHT_TRANSPARENCY, 1.5); }),
        "value out of range: RenderOptions/Expert/HighlightTransparency = 1.5 (0 to 1)");
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

TEST(ConfigEntries, registrationOnASubNodeKeepsTheFullKeysAndASecondOneFails)
{
    CfgNode root;
    CfgNode &app = root.addNode("App", "application", CfgItem::FLAG_NONE);
    registerConfigEntries(app);
    EXPECT_TRUE(root.exists("App/Gcad/BoxMode"));
    EXPECT_TRUE(root.exists("App/RenderOptions/Expert/HighlightColor"));
    EXPECT_FALSE(root.exists("Gcad"));
    try {
        registerConfigEntries(app);
        FAIL() << "second registration did not throw";
    } catch (const ProgError &e) {
        EXPECT_EQ(e.function(), "Vaq::Cfg::CfgNode::addNode");
        EXPECT_EQ(e.message(), "key already registered: Gcad");
    }
}
