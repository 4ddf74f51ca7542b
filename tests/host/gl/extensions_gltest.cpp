#include "gcad/host/gl/vaq_gl_context.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"
#include "tests/support/gcad_driver_guard.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace GL = Vaq::GL;
using Vaq::Test::DriverGuard;

namespace {

// Each test starts from the driver as it is, whatever the test run switched off.
class Extensions : public testing::Test
{
protected:
    void SetUp() override
    {
        GL::GLContext::getInstance();
        driver.emplace("VAQ_GL_DISABLE_EXTENSIONS", "");
    }
    std::optional<DriverGuard> driver;
};

// The entry points of the three extensions the tests turn off.
std::vector<void *> queryBufferAndShaderEntryPoints()
{
    return { (void *)GL::glGenQueriesARB, (void *)GL::glBeginQueryARB, (void *)GL::glGetQueryivARB,
        (void *)GL::glGetQueryObjectuivARB, (void *)GL::glDeleteQueriesARB, (void *)GL::glGenBuffers,
        (void *)GL::glBindBuffer, (void *)GL::glMapBuffer, (void *)GL::glCreateShader,
        (void *)GL::glLinkProgram, (void *)GL::glUseProgram, (void *)GL::glVertexAttribPointer };
}

TEST_F(Extensions, LlvmpipeOffersEveryEntryPointAndDisabledOnesAreNull)
{
    const GL::Capabilities &caps = GL::GLExtensions::getCapabilities();
    EXPECT_TRUE(caps.resolved && caps.bufferObjects && caps.occlusionQuery && caps.multiDraw
        && caps.blendFuncSeparate && caps.frameBufferObject && caps.shaders);
    for (void *entry : queryBufferAndShaderEntryPoints())
        EXPECT_NE(entry, nullptr);

    driver->set("VAQ_GL_DISABLE_EXTENSIONS",
        "GL_ARB_occlusion_query, GL_ARB_vertex_buffer_object, GL_ARB_shading_language_100");
    EXPECT_FALSE(caps.occlusionQuery || caps.bufferObjects || caps.shaders);
    for (void *entry : queryBufferAndShaderEntryPoints())
        EXPECT_EQ(entry, nullptr);
    EXPECT_NE(GL::glMultiDrawElements, nullptr); // not named: stays
}

TEST_F(Extensions, DisabledFrameBufferObjectsTurnOffscreenModeOff)
{
    driver->set("VAQ_GL_DISABLE_EXTENSIONS", "GL_ARB_framebuffer_object");
    EXPECT_EQ(GL::glGenFramebuffers, nullptr);
    const GL::WidgetOptions::Options &options = GL::WidgetOptions::getInstance()->getWidgetOptions(true);
    EXPECT_EQ(options.offscreenMode, GL::WidgetOptions::OM_OFF);
    EXPECT_FALSE(GL::WidgetOptions::getInstance()->isOffscreenRenderingEnabled());
}

} // namespace
