// The library's configuration entries: their keys, kinds, defaults, flags and ranges.
#include "gcad/gcad_config.h"
#include "gcad/host/cfg/vaq_cfg_node.h"

#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

using namespace Vaq;
using namespace Vaq::Cfg;
using namespace Vaq::GCAD;
using Vaq::Test::progErrorMessage;

TEST(ConfigEntries, entriesAreRegisteredOnceInTableOrderWithTheirDefaultsFlagsRangesAndFullKeys)
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

    for (const char *key : { CFG_GCAD_NODE, CFG_GCAD_SHOW_LABELS, CFG_GCAD_BOX_MODE, CFG_GCAD_INFO_CERTIFIED,
             CFG_GCAD_INFO_SOFTWARE_RENDERING, CFG_GCAD_INFO_OFFSCREEN_RENDERING,
             CFG_GCAD_INFO_DRIVER_VERSION })
        EXPECT_EQ(root.getItem(key).getFlags().toInt(), CfgItem::FLAG_INTERNAL) << key;
    for (const char *key : { CFG_GCAD_HIGHLIGHT_TRANSPARENCY, CFG_GCAD_HIGHLIGHT_COLOR })
        EXPECT_EQ(root.getItem(key).getFlags().toInt(), CfgItem::FLAG_OPTIONS_DIALOG) << key;

    root.setUInt(CFG_GCAD_BOX_MODE, 4294967295u);
    EXPECT_EQ(root.getUInt(CFG_GCAD_BOX_MODE), 4294967295u);
    EXPECT_EQ(progErrorMessage([&] { root.setUInt(CFG_GCAD_INFO_CERTIFIED, 4); }),
        "value out of range: Gcad/InfoCertified = 4 (0 to 3)");
    EXPECT_EQ(progErrorMessage([&] { root.setDbl(CFG_GCAD_HIGHLIGHT_TRANSPARENCY, 1.5); }),
        "value out of range: RenderOptions/Expert/HighlightTransparency = 1.5 (0 to 1)");

    // On a sub-node the keys keep their full paths; a second registration fails.
    CfgNode &app = root.addNode("App", "application", CfgItem::FLAG_NONE);
    registerConfigEntries(app);
    EXPECT_TRUE(root.exists("App/Gcad/BoxMode"));
    EXPECT_TRUE(root.exists("App/RenderOptions/Expert/HighlightColor"));
    EXPECT_EQ(progErrorMessage([&] { registerConfigEntries(app); }), "key already registered: Gcad");
}
