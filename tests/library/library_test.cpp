// Start-up and shutdown: the library's process-wide objects exist exactly between the init
// and close calls, a second start fails clearly, and closing twice is harmless.
#include "gcad/benchmark/gcad_benchmark_result_container.h"
#include "gcad/gcad_config.h"
#include "gcad/gcad_library.h"
#include "gcad/host/cfg/vaq_cfg_node.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/mesh/gcad_framerate_adjust.h"
#include "gcad/mesh/gcad_gl_node_container.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

using namespace Vaq;
using namespace Vaq::GCAD;

TEST(LibraryStart, CreatesItsObjectsAndRegistersItsEntriesUntilClosed)
{
    Cfg::CfgNode node;
    InitDefaults(&node);
    EXPECT_NE(BenchmarkResultContainer::getInstance(), nullptr);
    EXPECT_NE(FramerateAdjust::getInstance(), nullptr);
    EXPECT_EQ(GLNodeContainer::getInstance(), nullptr);

    InitLibrary(&node);
    EXPECT_NE(GLNodeContainer::getInstance(), nullptr);
    EXPECT_TRUE(node.exists(CFG_GCAD_BOX_MODE));
    EXPECT_NE(GApp::CommandContainer::getCommand(CMD_BENCHMARK_MESH), nullptr);

    // A second start finds the objects there.
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] { InitDefaults(&node); }), "only one instance allowed");

    CloseLibrary();
    CloseDefaults(&node);
    EXPECT_EQ(BenchmarkResultContainer::getInstance(), nullptr);
    EXPECT_EQ(FramerateAdjust::getInstance(), nullptr);
    EXPECT_EQ(GLNodeContainer::getInstance(), nullptr);
    // The commands are the application's to delete.
    EXPECT_NE(GApp::CommandContainer::getCommand(CMD_BENCHMARK_MESH), nullptr);
    GApp::CommandContainer::deleteAll();

    // Closing what does not exist does nothing.
    CloseLibrary();
    CloseDefaults(&node);
}
