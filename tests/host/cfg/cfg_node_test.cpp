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
    EXPECT_FALSE(root.getItem("Gcad").isRegistered());

    CfgNode &gcad = root.addNode("Gcad", "gcad node", CfgItem::FLAG_INTERNAL);
    EXPECT_TRUE(gcad.isRegistered());
    EXPECT_EQ(gcad.getItem("ShowLabels").getKey(), "Gcad/ShowLabels");
    // Registration order, not name order.
    const auto children = gcad.getChildren();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0]->getName(), "ShowLabels");

    CfgNode &expert = root.addNode("RenderOptions/Expert", "expert", NONE);
    expert.addUInt("Level", "level", 0, 9, 3, 1, NONE);
    root.setUInt("RenderOptions/Expert/Level", 7);
    EXPECT_EQ(expert.getUInt("Level"), 7u);
    root.setUInt("RenderOptions/Expert/Level", 5);
    root.resetToDefault("RenderOptions/Expert/Level");
    EXPECT_EQ(expert.getUInt("Level"), 3u);
}

TEST(CfgNodeErrors, eachMisuseNamesItsFunctionAndKeyAndChangesNothing)
{
    CfgNode root;
    root.addUInt("Gcad/BoxMode", "label placement mode", 0, 10, 4, 1, CfgItem::FLAG_INTERNAL);
    root.addDbl("t", "", 0.0, 1.0, 0.8, 0.1, 1, NONE);
    const std::pair<std::function<void()>, const char *> cases[] = {
        { [&] { root.addBool("a//b", "", false, NONE); }, "Vaq::Cfg::CfgNode::addBool: invalid key: a//b" },
        { [&] { root.addUInt("Gcad/BoxMode", "other", 0, 5, 1, 1, NONE); },
            "Vaq::Cfg::CfgNode::addUInt: key already registered: Gcad/BoxMode" },
        { [&] { root.addBool("Gcad/BoxMode/x/y", "", false, NONE); },
            "Vaq::Cfg::CfgNode::addBool: not a node: Gcad/BoxMode" },
        { [&] { root.addUInt("u", "", 5, 4, 5, 1, NONE); }, "Vaq::Cfg::CfgNode::addUInt: invalid range: u" },
        { [&] { root.addDbl("d", "", 0.0, std::numeric_limits<double>::infinity(), 0.5, 0.1, 1, NONE); },
            "Vaq::Cfg::CfgNode::addDbl: invalid range: d" },
        { [&] {
             root.addList("l", "", { "a", "b" }, 2, NONE);
         },
            "Vaq::Cfg::CfgNode::addList: default out of range: l" },
        { [&] { root.setUInt("Gcad/BoxMode", 11); },
            "Vaq::Cfg::CfgNode::setUInt: value out of range: Gcad/BoxMode = 11 (0 to 10)" },
        { [&] { root.setDbl("t", std::numeric_limits<double>::quiet_NaN()); },
            "Vaq::Cfg::CfgNode::setDbl: value out of range: t = nan (0 to 1)" },
        { [&] { root.getItem("nothing"); }, "Vaq::Cfg::CfgNode::getItem: unknown key: nothing" },
        // A key that continues below a value is unknown, not a crash.
        { [&] { root.getBool("Gcad/BoxMode/x"); },
            "Vaq::Cfg::CfgNode::getBool: unknown key: Gcad/BoxMode/x" },
        { [&] { root.setColor("Gcad/BoxMode", Color()); },
            "Vaq::Cfg::CfgNode::setColor: wrong kind: Gcad/BoxMode is uint, not color" },
        { [&] { root.getBool("Gcad"); }, "Vaq::Cfg::CfgNode::getBool: wrong kind: Gcad is node, not bool" },
    };
    for (const auto &[call, expected] : cases)
        EXPECT_EQ(errorOf(call), expected);
    EXPECT_EQ(root.getItem("Gcad/BoxMode").getDescription(), "label placement mode");
    EXPECT_EQ(root.getUInt("Gcad/BoxMode"), 4u);
    EXPECT_EQ(root.getDbl("t"), 0.8);
    EXPECT_EQ(root.getChildren().size(), 2u);
}
