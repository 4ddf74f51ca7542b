// Start-up and shutdown: the library's process-wide objects exist exactly between the init
// and close calls, a second start fails clearly, and closing twice is harmless. The host
// layers' singletons exist once, inside the library.
#include "gcad/benchmark/gcad_benchmark_result_container.h"
#include "gcad/gcad_config.h"
#include "gcad/gcad_library.h"
#include "gcad/host/cfg/vaq_cfg_node.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"
#include "gcad/mesh/gcad_framerate_adjust.h"
#include "gcad/mesh/gcad_gl_node_container.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

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
    for (const char *command :
        { CMD_BENCHMARK_MESH, "sys.run_vertex_cache_benchmark", "sys.show_graphics_card_info" })
        EXPECT_NE(GApp::CommandContainer::getCommand(command), nullptr) << command;

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

// A program that links the library gets the host layers from it alone: the host singleton the
// test reaches lies in the same loaded file as the library's functions. A static host layer
// linked beside the library would put a second copy into the program, where the program's
// settings (say, the extensions a test switches off) never reach the library.
TEST(LibraryStart, HostSingletonsAreTheLibrarysOwn)
{
    Dl_info host {};
    Dl_info library {};
    ASSERT_NE(dladdr(GL::WidgetOptions::getInstance(), &host), 0);
    ASSERT_NE(dladdr(reinterpret_cast<void *>(&InitLibrary), &library), 0);
    EXPECT_STREQ(host.dli_fname, library.dli_fname);
}
