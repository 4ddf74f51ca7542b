#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cfg/vaq_cfg_node.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using namespace Vaq;
using namespace Vaq::Cfg;

namespace {

// Runs call and returns the ProgError's "function: message", or "no error".
std::string errorOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const ProgError &e) {
        return (e.function() + QStringLiteral(": ") + e.message()).toStdString();
    }
    return "no error";
}

} // namespace

TEST(CfgNodeKeys, valueKeyCreatesItsNodesAndAddNodeTakesThemOverLater)
{
    CfgNode root;
    root.addBool("Gcad/ShowLabels", "auto hide labels", false, CfgItem::FLAG_INTERNAL);
    ASSERT_TRUE(root.exists("Gcad"));
    EXPECT_FALSE(root.getItem("Gcad").isRegistered());

    CfgNode &gcad = root.addNode("Gcad", "gcad node", CfgItem::FLAG_INTERNAL);
    EXPECT_TRUE(gcad.isRegistered());
    EXPECT_EQ(gcad.getDescription(), "gcad node");
    EXPECT_EQ(gcad.getFlags(), CfgItem::FLAG_INTERNAL);
    // The same node, so its keys are relative to it.
    EXPECT_EQ(&gcad, &root.getNode("Gcad"));
    EXPECT_TRUE(gcad.exists("ShowLabels"));
    EXPECT_EQ(gcad.getItem("ShowLabels").getKey(), "Gcad/ShowLabels");
}

TEST(CfgNodeKeys, keysOnASubNodeAreRelativeToIt)
{
    CfgNode root;
    CfgNode &expert = root.addNode("RenderOptions/Expert", "expert", CfgItem::FLAG_NONE);
    expert.addUInt("Level", "level", 0, 9, 3, 1, CfgItem::FLAG_OPTIONS_DIALOG);
    EXPECT_EQ(root.getUInt("RenderOptions/Expert/Level"), 3u);
    root.setUInt("RenderOptions/Expert/Level", 7);
    EXPECT_EQ(expert.getUInt("Level"), 7u);
    EXPECT_FALSE(expert.exists("RenderOptions/Expert/Level"));
}

TEST(CfgNodeKeys, childrenKeepRegistrationOrder)
{
    CfgNode root;
    root.addBool("b", "", false, CfgItem::FLAG_NONE);
    root.addBool("a", "", false, CfgItem::FLAG_NONE);
    root.addBool("c/x", "", false, CfgItem::FLAG_NONE);
    const auto children = root.getChildren();
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(children[0]->getName(), "b");
    EXPECT_EQ(children[1]->getName(), "a");
    EXPECT_EQ(children[2]->getName(), "c");
    EXPECT_EQ(children[2]->getKind(), CfgItem::NODE);
}

TEST(CfgNodeKeys, badKeysAreRejectedAndExistsSaysNo)
{
    CfgNode root;
    EXPECT_EQ(errorOf([&] { root.addBool("", "", false, CfgItem::FLAG_NONE); }),
        "Vaq::Cfg::CfgNode::addBool: invalid key: ");
    EXPECT_EQ(errorOf([&] { root.addBool("a//b", "", false, CfgItem::FLAG_NONE); }),
        "Vaq::Cfg::CfgNode::addBool: invalid key: a//b");
    EXPECT_EQ(errorOf([&] { root.getBool("a/"); }), "Vaq::Cfg::CfgNode::getBool: invalid key: a/");
    EXPECT_FALSE(root.exists("a//b"));
    EXPECT_FALSE(root.exists(""));
    EXPECT_TRUE(root.getChildren().empty());
}

TEST(CfgNodeRegistration, secondRegistrationOfAKeyFailsAndKeepsTheFirst)
{
    CfgNode root;
    root.addUInt("Gcad/BoxMode", "label placement mode", 0, 10, 4, 1, CfgItem::FLAG_INTERNAL);
    EXPECT_EQ(errorOf([&] { root.addUInt("Gcad/BoxMode", "other", 0, 5, 1, 1, CfgItem::FLAG_NONE); }),
        "Vaq::Cfg::CfgNode::addUInt: key already registered: Gcad/BoxMode");
    EXPECT_EQ(errorOf([&] { root.addString("Gcad/BoxMode", "other", "", 1, CfgItem::FLAG_NONE); }),
        "Vaq::Cfg::CfgNode::addString: key already registered: Gcad/BoxMode");
    EXPECT_EQ(errorOf([&] { root.getNode("Gcad").addBool("BoxMode", "", true, CfgItem::FLAG_NONE); }),
        "Vaq::Cfg::CfgNode::addBool: key already registered: BoxMode");
    EXPECT_EQ(root.getItem("Gcad/BoxMode").getDescription(), "label placement mode");
    EXPECT_EQ(root.getUInt("Gcad/BoxMode"), 4u);

    root.addNode("Gcad", "gcad node", CfgItem::FLAG_INTERNAL);
    EXPECT_EQ(errorOf([&] { root.addNode("Gcad", "again", CfgItem::FLAG_NONE); }),
        "Vaq::Cfg::CfgNode::addNode: key already registered: Gcad");
    // A node where a value is wanted is taken too.
    EXPECT_EQ(errorOf([&] { root.addBool("Gcad", "", false, CfgItem::FLAG_NONE); }),
        "Vaq::Cfg::CfgNode::addBool: key already registered: Gcad");
}

TEST(CfgNodeRegistration, keyThroughAValueFailsAndCreatesNothing)
{
    CfgNode root;
    root.addBool("a/flag", "", false, CfgItem::FLAG_NONE);
    EXPECT_EQ(errorOf([&] { root.addBool("a/flag/x/y", "", false, CfgItem::FLAG_NONE); }),
        "Vaq::Cfg::CfgNode::addBool: not a node: a/flag");
    EXPECT_EQ(root.getNode("a").getChildren().size(), 1u);
}

TEST(CfgNodeRegistration, rangesAndDefaultsAreChecked)
{
    CfgNode root;
    EXPECT_EQ(errorOf([&] { root.addUInt("u", "", 5, 4, 5, 1, CfgItem::FLAG_NONE); }),
        "Vaq::Cfg::CfgNode::addUInt: invalid range: u");
    EXPECT_EQ(errorOf([&] { root.addUInt("u", "", 0, 3, 4, 1, CfgItem::FLAG_NONE); }),
        "Vaq::Cfg::CfgNode::addUInt: default out of range: u");
    EXPECT_EQ(errorOf([&] { root.addDbl("d", "", 1.0, 0.0, 0.5, 0.1, 1, CfgItem::FLAG_NONE); }),
        "Vaq::Cfg::CfgNode::addDbl: invalid range: d");
    EXPECT_EQ(errorOf([&] {
        root.addDbl("d", "", 0.0, std::numeric_limits<double>::infinity(), 0.5, 0.1, 1, CfgItem::FLAG_NONE);
    }),
        "Vaq::Cfg::CfgNode::addDbl: invalid range: d");
    EXPECT_EQ(errorOf([&] { root.addDbl("d", "", 0.0, 1.0, 1.5, 0.1, 1, CfgItem::FLAG_NONE); }),
        "Vaq::Cfg::CfgNode::addDbl: default out of range: d");
    EXPECT_EQ(errorOf([&] {
        root.addList("l", "", { "a", "b" }, 2, CfgItem::FLAG_NONE);
    }),
        "Vaq::Cfg::CfgNode::addList: default out of range: l");
    EXPECT_EQ(errorOf([&] { root.addList("l", "", {}, 0, CfgItem::FLAG_NONE); }),
        "Vaq::Cfg::CfgNode::addList: invalid range: l");
    // Failed registrations leave the key free.
    EXPECT_FALSE(root.exists("u"));
    EXPECT_FALSE(root.exists("d"));
    EXPECT_FALSE(root.exists("l"));
}

TEST(CfgNodeRegistration, itemReportsDescriptionDefaultRangeAndFlags)
{
    CfgNode root;
    root.addDbl("t", "highlight transparency", 0.0, 1.0, 0.8, 0.1, 1, CfgItem::FLAG_OPTIONS_DIALOG);
    root.addString("s", "info driver version", "none", 1, CfgItem::FLAG_INTERNAL);
    root.addList("l", "rendering", { "auto", "hardware", "software" }, 1, CfgItem::FLAG_NONE);
    root.addColor("c", "highlight color", Color(1, 2, 3, 4), CfgItem::FLAG_OPTIONS_DIALOG);

    const CfgItem &t = root.getItem("t");
    EXPECT_EQ(t.getKind(), CfgItem::DBL);
    EXPECT_EQ(t.getDescription(), "highlight transparency");
    EXPECT_EQ(t.getDefault(), CfgValue(0.8));
    EXPECT_EQ(t.getMinimum(), CfgValue(0.0));
    EXPECT_EQ(t.getMaximum(), CfgValue(1.0));
    EXPECT_EQ(t.getStep(), CfgValue(0.1));
    EXPECT_EQ(t.getDecimals(), 1);
    EXPECT_EQ(t.getFlags().toInt(), 1);

    const CfgItem &s = root.getItem("s");
    EXPECT_EQ(s.getKind(), CfgItem::STRING);
    EXPECT_EQ(s.getLength(), 1);
    EXPECT_EQ(s.getDefault(), CfgValue(QString("none")));
    EXPECT_EQ(s.getMinimum(), CfgValue());
    EXPECT_EQ(s.getFlags().toInt(), 2);

    EXPECT_EQ(root.getItem("l").getEntries(), QStringList({ "auto", "hardware", "software" }));
    EXPECT_EQ(root.getList("l"), 1u);
    EXPECT_EQ(root.getColor("c"), Color(1, 2, 3, 4));
}

TEST(CfgNodeValues, everyKindReadsBackWhatWasSet)
{
    CfgNode root;
    root.addBool("b", "", false, CfgItem::FLAG_NONE);
    root.addUInt("u", "", 0, 4294967295u, 0, 1, CfgItem::FLAG_NONE);
    root.addDbl("d", "", -1.0, 1.0, 0.0, 0.1, 2, CfgItem::FLAG_NONE);
    root.addColor("c", "", Color(255, 255, 255), CfgItem::FLAG_NONE);
    root.addString("s", "", "", 1, CfgItem::FLAG_NONE);
    root.addList("l", "", { "x", "y", "z" }, 0, CfgItem::FLAG_NONE);

    root.setBool("b", true);
    root.setUInt("u", 4294967295u);
    root.setDbl("d", -1.0);
    root.setColor("c", Color(10, 20, 30, 40));
    root.setString("s", "two words");
    root.setList("l", 2);
    EXPECT_TRUE(root.getBool("b"));
    EXPECT_EQ(root.getUInt("u"), 4294967295u);
    EXPECT_EQ(root.getDbl("d"), -1.0);
    EXPECT_EQ(root.getColor("c"), Color(10, 20, 30, 40));
    EXPECT_EQ(root.getString("s"), "two words");
    EXPECT_EQ(root.getList("l"), 2u);

    root.resetToDefault("u");
    root.resetToDefault("s");
    EXPECT_EQ(root.getUInt("u"), 0u);
    EXPECT_EQ(root.getString("s"), "");
    // The default itself is untouched by sets.
    EXPECT_EQ(root.getItem("c").getDefault(), CfgValue(Color(255, 255, 255)));
}

TEST(CfgNodeValues, valuesOutsideTheRangeAreRefusedAndTheOldValueStays)
{
    CfgNode root;
    root.addUInt("Gcad/InfoCertified", "", 0, 3, 1, 1, CfgItem::FLAG_INTERNAL);
    root.addDbl("t", "", 0.0, 1.0, 0.8, 0.1, 1, CfgItem::FLAG_NONE);
    root.addList("l", "", { "x", "y" }, 0, CfgItem::FLAG_NONE);

    EXPECT_EQ(errorOf([&] { root.setUInt("Gcad/InfoCertified", 4); }),
        "Vaq::Cfg::CfgNode::setUInt: value out of range: Gcad/InfoCertified = 4 (0 to 3)");
    EXPECT_EQ(errorOf([&] { root.setDbl("t", 1.5); }),
        "Vaq::Cfg::CfgNode::setDbl: value out of range: t = 1.5 (0 to 1)");
    EXPECT_EQ(errorOf([&] { root.setDbl("t", std::numeric_limits<double>::quiet_NaN()); }),
        "Vaq::Cfg::CfgNode::setDbl: value out of range: t = nan (0 to 1)");
    EXPECT_EQ(errorOf([&] { root.setList("l", 2); }),
        "Vaq::Cfg::CfgNode::setList: value out of range: l = 2 (0 to 1)");
    EXPECT_EQ(root.getUInt("Gcad/InfoCertified"), 1u);
    EXPECT_EQ(root.getDbl("t"), 0.8);
    EXPECT_EQ(root.getList("l"), 0u);
}

TEST(CfgNodeValues, unknownKeysAndWrongKindsAreErrors)
{
    CfgNode root;
    root.addBool("Gcad/ShowLabels", "", false, CfgItem::FLAG_NONE);
    EXPECT_EQ(errorOf([&] { root.getUInt("Gcad/BoxMode"); }),
        "Vaq::Cfg::CfgNode::getUInt: unknown key: Gcad/BoxMode");
    EXPECT_EQ(errorOf([&] { root.setString("Gcad/PiP/VisibilityMode", "x"); }),
        "Vaq::Cfg::CfgNode::setString: unknown key: Gcad/PiP/VisibilityMode");
    EXPECT_EQ(errorOf([&] { root.getItem("nothing"); }), "Vaq::Cfg::CfgNode::getItem: unknown key: nothing");
    EXPECT_EQ(errorOf([&] { root.getDbl("Gcad/ShowLabels"); }),
        "Vaq::Cfg::CfgNode::getDbl: wrong kind: Gcad/ShowLabels is bool, not double");
    EXPECT_EQ(errorOf([&] { root.setColor("Gcad/ShowLabels", Color()); }),
        "Vaq::Cfg::CfgNode::setColor: wrong kind: Gcad/ShowLabels is bool, not color");
    EXPECT_EQ(errorOf([&] { root.getBool("Gcad"); }),
        "Vaq::Cfg::CfgNode::getBool: wrong kind: Gcad is node, not bool");
    EXPECT_EQ(errorOf([&] { root.getNode("Gcad/ShowLabels"); }),
        "Vaq::Cfg::CfgNode::getNode: wrong kind: Gcad/ShowLabels is bool, not node");
    // A key that continues below a value is unknown, not a crash.
    EXPECT_EQ(errorOf([&] { root.getBool("Gcad/ShowLabels/x"); }),
        "Vaq::Cfg::CfgNode::getBool: unknown key: Gcad/ShowLabels/x");
    EXPECT_FALSE(root.getBool("Gcad/ShowLabels"));
}
