#include "gcad/host/gl/vaq_gl_context.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_graphic_card_db.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace GL = Vaq::GL;

namespace {

class Extensions : public testing::Test
{
protected:
    void SetUp() override { GL::GLContext::shared(); }
    void TearDown() override
    {
        for (const char *name :
            { "VAQ_GL_DISABLE_EXTENSIONS", "VAQ_GL_MEMORY_MB", "VAQ_GL_SOFTWARE_RENDERING" })
            unsetenv(name);
        GL::GLExtensions::resolve();
        GL::WidgetOptions::getInstance()->updateWidgetOptions();
    }
};

// The entry points of the two extensions the tests turn off.
std::vector<void *> queryAndBufferEntryPoints()
{
    return { (void *)GL::glGenQueriesARB, (void *)GL::glBeginQueryARB, (void *)GL::glGetQueryivARB,
        (void *)GL::glGetQueryObjectuivARB, (void *)GL::glDeleteQueriesARB, (void *)GL::glGenBuffers,
        (void *)GL::glBindBuffer, (void *)GL::glMapBuffer };
}

TEST_F(Extensions, LlvmpipeOffersEveryEntryPointAndDisabledOnesAreNull)
{
    const GL::Capabilities &caps = GL::GLExtensions::getCapabilities();
    EXPECT_TRUE(caps.resolved && caps.bufferObjects && caps.occlusionQuery && caps.multiDraw
        && caps.blendFuncSeparate && caps.frameBufferObject);
    for (void *entry : queryAndBufferEntryPoints())
        EXPECT_NE(entry, nullptr);

    setenv("VAQ_GL_DISABLE_EXTENSIONS", "GL_ARB_occlusion_query, GL_ARB_vertex_buffer_object", 1);
    GL::GLExtensions::resolve();
    EXPECT_FALSE(caps.occlusionQuery || caps.bufferObjects);
    for (void *entry : queryAndBufferEntryPoints())
        EXPECT_EQ(entry, nullptr);
    EXPECT_NE(GL::glMultiDrawElements, nullptr); // not named: stays
}

TEST_F(Extensions, WidgetOptionsDescribeTheLiveSoftwareDriver)
{
    setenv("VAQ_GL_MEMORY_MB", "777", 1);
    const GL::WidgetOptions::Options &options = GL::WidgetOptions::getInstance()->getWidgetOptions(true);
    ASSERT_TRUE(options.valid) << options.error.toStdString();
    EXPECT_TRUE(options.renderer.contains("llvmpipe")) << options.renderer.toStdString();
    EXPECT_TRUE(options.softwareRendering);
    EXPECT_EQ(options.offscreenMode, GL::WidgetOptions::OM_FRAME_BUFFER_OBJECT);
    EXPECT_EQ(options.memoryMB, 777u);
    EXPECT_TRUE(options.driverVersion.startsWith("Mesa ")) << options.driverVersion.toStdString();
    EXPECT_GT(options.snapshotSize, 0);

    // The software rasteriser can be taken for hardware.
    setenv("VAQ_GL_SOFTWARE_RENDERING", "0", 1);
    EXPECT_FALSE(GL::WidgetOptions::getInstance()->getWidgetOptions(true).softwareRendering);

    QString renderer;
    QStringList known;
    EXPECT_TRUE(GL::GraphicCardDB::instance()->isDriverValid(&renderer, &known))
        << options.vendor.toStdString() << " / " << options.renderer.toStdString();
    EXPECT_EQ(renderer, options.renderer);
}

TEST_F(Extensions, DisabledFrameBufferObjectsTurnOffscreenModeOff)
{
    setenv("VAQ_GL_DISABLE_EXTENSIONS", "GL_ARB_framebuffer_object", 1);
    GL::GLExtensions::resolve();
    EXPECT_EQ(GL::glGenFramebuffers, nullptr);
    const GL::WidgetOptions::Options &options = GL::WidgetOptions::getInstance()->getWidgetOptions(true);
    EXPECT_EQ(options.offscreenMode, GL::WidgetOptions::OM_OFF);
    EXPECT_FALSE(GL::WidgetOptions::getInstance()->isOffscreenRenderingEnabled());
}

} // namespace
