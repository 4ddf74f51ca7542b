#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cfg/vaq_cfg_node.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using namespace Vaq;
using namespace Vaq::Cfg;

namespace {

constexpr auto NONE = CfgItem::FLAG_NONE;

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

TEST(CfgNodeKeys, valueKeysCreateTheirNodesWhichAddNodeTakesOverAndSubNodesAreRelative)
{
    CfgNode root;
    root.addBool("Gcad/ShowLabels", "auto hide labels", false, CfgItem::FLAG_INTERNAL);
    root.addBool("Gcad/A", "", false, NONE);
    ASSERT_TRUE(root.exists("Gcad"));
    EXPECT_FALSE(root.getItem("Gcad").isRegistered());

    CfgNode &gcad = root.addNode("Gcad", "gcad node", CfgItem::FLAG_INTERNAL);
    EXPECT_TRUE(gcad.isRegistered());
    EXPECT_EQ(gcad.getDescription(), "gcad node");
    EXPECT_EQ(gcad.getFlags(), CfgItem::FLAG_INTERNAL);
    EXPECT_EQ(&gcad, &root.getNode("Gcad"));
    EXPECT_EQ(gcad.getItem("ShowLabels").getKey(), "Gcad/ShowLabels");
    // Registration order, not name order.
    const auto children = gcad.getChildren();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0]->getName(), "ShowLabels");
    EXPECT_EQ(children[1]->getName(), "A");

    CfgNode &expert = root.addNode("RenderOptions/Expert", "expert", NONE);
    expert.addUInt("Level", "level", 0, 9, 3, 1, NONE);
    root.setUInt("RenderOptions/Expert/Level", 7);
    EXPECT_EQ(expert.getUInt("Level"), 7u);
    EXPECT_FALSE(expert.exists("RenderOptions/Expert/Level"));
}

TEST(CfgNodeKeys, badKeysAreRejectedAndExistsSaysNo)
{
    CfgNode root;
    EXPECT_EQ(
        errorOf([&] { root.addBool("", "", false, NONE); }), "Vaq::Cfg::CfgNode::addBool: invalid key: ");
    EXPECT_EQ(errorOf([&] { root.addBool("a//b", "", false, NONE); }),
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
    EXPECT_EQ(errorOf([&] { root.addUInt("Gcad/BoxMode", "other", 0, 5, 1, 1, NONE); }),
        "Vaq::Cfg::CfgNode::addUInt: key already registered: Gcad/BoxMode");
    EXPECT_EQ(errorOf([&] { root.getNode("Gcad").addBool("BoxMode", "", true, NONE); }),
        "Vaq::Cfg::CfgNode::addBool: key already registered: BoxMode");
    EXPECT_EQ(root.getItem("Gcad/BoxMode").getDescription(), "label placement mode");
    EXPECT_EQ(root.getUInt("Gcad/BoxMode"), 4u);

    root.addNode("Gcad", "gcad node", CfgItem::FLAG_INTERNAL);
    EXPECT_EQ(errorOf([&] { root.addNode("Gcad", "again", NONE); }),
        "Vaq::Cfg::CfgNode::addNode: key already registered: Gcad");
    // A node where a value is wanted is taken too.
    EXPECT_EQ(errorOf([&] { root.addBool("Gcad", "", false, NONE); }),
        "Vaq::Cfg::CfgNode::addBool: key already registered: Gcad");

    root.addBool("a/flag", "", false, NONE);
    EXPECT_EQ(errorOf([&] { root.addBool("a/flag/x/y", "", false, NONE); }),
        "Vaq::Cfg::CfgNode::addBool: not a node: a/flag");
    EXPECT_EQ(root.getNode("a").getChildren().size(), 1u);
}

TEST(CfgNodeRegistration, rangesAndDefaultsAreCheckedAndFailuresLeaveTheKeyFree)
{
    CfgNode root;
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(errorOf([&] { root.addUInt("u", "", 5, 4, 5, 1, NONE); }),
        "Vaq::Cfg::CfgNode::addUInt: invalid range: u");
    EXPECT_EQ(errorOf([&] { root.addUInt("u", "", 0, 3, 4, 1, NONE); }),
        "Vaq::Cfg::CfgNode::addUInt: default out of range: u");
    EXPECT_EQ(errorOf([&] { root.addDbl("d", "", 1.0, 0.0, 0.5, 0.1, 1, NONE); }),
        "Vaq::Cfg::CfgNode::addDbl: invalid range: d");
    EXPECT_EQ(errorOf([&] { root.addDbl("d", "", 0.0, inf, 0.5, 0.1, 1, NONE); }),
        "Vaq::Cfg::CfgNode::addDbl: invalid range: d");
    EXPECT_EQ(errorOf([&] { root.addDbl("d", "", 0.0, 1.0, 1.5, 0.1, 1, NONE); }),
        "Vaq::Cfg::CfgNode::addDbl: default out of range: d");
    EXPECT_EQ(errorOf([&] {
        root.addList("l", "", { "a", "b" }, 2, NONE);
    }),
        "Vaq::Cfg::CfgNode::addList: default out of range: l");
    EXPECT_EQ(
        errorOf([&] { root.addList("l", "", {}, 0, NONE); }), "Vaq::Cfg::CfgNode::addList: invalid range: l");
    EXPECT_TRUE(root.getChildren().empty());
}

TEST(CfgNodeValues, valuesOutsideTheRangeAreRefusedAndResetRestoresTheDefault)
{
    CfgNode root;
    root.addUInt("Gcad/InfoCertified", "", 0, 3, 1, 1, CfgItem::FLAG_INTERNAL);
    root.addDbl("t", "", 0.0, 1.0, 0.8, 0.1, 1, NONE);
    root.addList("l", "", { "x", "y" }, 0, NONE);

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

    root.setDbl("t", 0.25);
    root.setList("l", 1);
    root.resetToDefault("t");
    EXPECT_EQ(root.getDbl("t"), 0.8);
    EXPECT_EQ(root.getList("l"), 1u);
}

TEST(CfgNodeValues, unknownKeysAndWrongKindsAreErrors)
{
    CfgNode root;
    root.addBool("Gcad/ShowLabels", "", false, NONE);
    EXPECT_EQ(errorOf([&] { root.getUInt("Gcad/BoxMode"); }),
        "Vaq::Cfg::CfgNode::getUInt: unknown key: Gcad/BoxMode");
    EXPECT_EQ(errorOf([&] { root.getItem("nothing"); }), "Vaq::Cfg::CfgNode::getItem: unknown key: nothing");
    EXPECT_EQ(errorOf([&] { root.setColor("Gcad/ShowLabels", Color()); }),
        "Vaq::Cfg::CfgNode::setColor: wrong kind: Gcad/ShowLabels is bool, not color");
    EXPECT_EQ(errorOf([&] { root.getBool("Gcad"); }),
        "Vaq::Cfg::CfgNode::getBool: wrong kind: Gcad is node, not bool");
    EXPECT_EQ(errorOf([&] { root.getNode("Gcad/ShowLabels"); }),
        "Vaq::Cfg::CfgNode::getNode: wrong kind: Gcad/ShowLabels is bool, not node");
    // A key that continues below a value is unknown, not a crash.
    EXPECT_EQ(errorOf([&] { root.getBool("Gcad/ShowLabels/x"); }),
        "Vaq::Cfg::CfgNode::getBool: unknown key: Gcad/ShowLabels/x");
}
