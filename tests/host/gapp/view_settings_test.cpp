#include "gcad/host/cfg/vaq_cfg_node.h"
#include "gcad/host/gapp/vaq_gapp_view_settings.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <gtest/gtest.h>

using namespace Vaq;

TEST(ViewSettings, RegisteredOnlyOnceKeepingWhatIsThereAndWithoutADisplayTheDesktopIsACommonOne)
{
    Cfg::CfgNode node;
    node.addBool(
        GL::CFG_USE_MESH_OCCLUSION_QUERY, "registered by the program", false, Cfg::CfgItem::FLAG_NONE);
    GApp::registerViewSettings(node);
    EXPECT_FALSE(node.getBool(GL::CFG_USE_MESH_OCCLUSION_QUERY));
    node.setList(GL::CFG_SOFTWARE_RENDERING, 2);
    GApp::registerViewSettings(node);
    EXPECT_EQ(node.getList(GL::CFG_SOFTWARE_RENDERING), 2u);
    // The tests run on Qt's offscreen platform.
    EXPECT_EQ(GApp::getDesktopSize(), QSize(1920, 1200));
}
