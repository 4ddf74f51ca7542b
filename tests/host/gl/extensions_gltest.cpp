#include "gcad/host/gl/vaq_gl_context.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_graphic_card_db.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace GL = Vaq::GL;

namespace {

class Extensions : public testing::Test
{
protected:
    void SetUp() override { GL::GLContext::shared(); }
    void TearDown() override
    {
        unsetenv("VAQ_GL_DISABLE_EXTENSIONS");
        unsetenv("VAQ_GL_MEMORY_MB");
        GL::GLExtensions::resolve();
    }
};

TEST_F(Extensions, LlvmpipeOffersEveryEntryPoint)
{
    const GL::Capabilities &caps = GL::GLExtensions::getCapabilities();
    EXPECT_TRUE(caps.resolved);
    EXPECT_TRUE(caps.bufferObjects && caps.occlusionQuery && caps.multiDraw && caps.blendFuncSeparate
        && caps.frameBufferObject);
    EXPECT_NE(GL::glGenBuffers, nullptr);
    EXPECT_NE(GL::glMapBuffer, nullptr);
    EXPECT_NE(GL::glMultiDrawElements, nullptr);
    EXPECT_NE(GL::glBlendFuncSeparate, nullptr);
    EXPECT_NE(GL::glGetQueryObjectuivARB, nullptr);
    EXPECT_TRUE(GL::GLExtensions::isMultitexturingPossible());
    EXPECT_GT(caps.maxTextureSize, 0);

    // The entry points really work: a buffer takes data, a query counts samples bits.
    GLuint buffer = 0;
    GL::glGenBuffers(1, &buffer);
    GL::glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const float data[4] = { 1, 2, 3, 4 };
    GL::glBufferData(GL_ARRAY_BUFFER, sizeof(data), data, GL_STATIC_DRAW);
    const float *mapped = static_cast<const float *>(GL::glMapBuffer(GL_ARRAY_BUFFER, GL_READ_ONLY));
    ASSERT_NE(mapped, nullptr);
    EXPECT_EQ(mapped[3], 4.0f);
    GL::glUnmapBuffer(GL_ARRAY_BUFFER);
    GL::glBindBuffer(GL_ARRAY_BUFFER, 0);
    GL::glDeleteBuffers(1, &buffer);
    GLint bits = 0;
    GL::glGetQueryivARB(GL_SAMPLES_PASSED, GL_QUERY_COUNTER_BITS, &bits);
    EXPECT_GT(bits, 0);
    EXPECT_EQ(::glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Extensions, DisabledExtensionsHaveNullEntryPoints)
{
    setenv("VAQ_GL_DISABLE_EXTENSIONS", "GL_ARB_occlusion_query, GL_ARB_vertex_buffer_object", 1);
    GL::GLExtensions::resolve();
    const GL::Capabilities &caps = GL::GLExtensions::getCapabilities();
    EXPECT_FALSE(caps.occlusionQuery);
    EXPECT_FALSE(caps.bufferObjects);
    EXPECT_EQ(GL::glGenQueriesARB, nullptr);
    EXPECT_EQ(GL::glBeginQueryARB, nullptr);
    EXPECT_EQ(GL::glGetQueryivARB, nullptr);
    EXPECT_EQ(GL::glDeleteQueriesARB, nullptr);
    EXPECT_EQ(GL::glGenBuffers, nullptr);
    EXPECT_EQ(GL::glBindBuffer, nullptr);
    EXPECT_EQ(GL::glMapBuffer, nullptr);
    EXPECT_FALSE(GL::GLExtensions::isSupported("GL_ARB_occlusion_query"));
    // Extensions not named stay.
    EXPECT_NE(GL::glMultiDrawElements, nullptr);
    EXPECT_NE(GL::glBlendFuncSeparate, nullptr);

    unsetenv("VAQ_GL_DISABLE_EXTENSIONS");
    GL::GLExtensions::resolve();
    EXPECT_NE(GL::glGenQueriesARB, nullptr);
    EXPECT_NE(GL::glGenBuffers, nullptr);
}

TEST_F(Extensions, WidgetOptionsDescribeTheLiveSoftwareDriver)
{
    setenv("VAQ_GL_MEMORY_MB", "777", 1);
    const GL::WidgetOptions::Options &options = GL::WidgetOptions::getInstance()->getWidgetOptions(true);
    ASSERT_TRUE(options.valid) << options.error.toStdString();
    EXPECT_TRUE(options.renderer.contains("llvmpipe")) << options.renderer.toStdString();
    EXPECT_TRUE(options.softwareRendering);
    EXPECT_EQ(options.offscreenMode, GL::WidgetOptions::OM_FRAME_BUFFER_OBJECT);
    EXPECT_TRUE(GL::WidgetOptions::getInstance()->isOffscreenRenderingEnabled());
    EXPECT_EQ(options.memoryMB, 777u);
    EXPECT_TRUE(options.driverVersion.startsWith("Mesa ")) << options.driverVersion.toStdString();
    EXPECT_TRUE(options.glVersion.endsWith(options.driverVersion));
    EXPECT_FALSE(options.vendor.isEmpty());
    EXPECT_EQ(options.renderMode, 0);
    EXPECT_GT(options.snapshotSize, 0);
    EXPECT_LE(options.snapshotSize, GL::GLExtensions::getCapabilities().maxRenderbufferSize);

    // The software rasteriser can be taken for hardware, and back.
    setenv("VAQ_GL_SOFTWARE_RENDERING", "0", 1);
    EXPECT_FALSE(GL::WidgetOptions::getInstance()->getWidgetOptions(true).softwareRendering);
    setenv("VAQ_GL_SOFTWARE_RENDERING", "yes", 1); // not 0 or 1: the driver's name decides
    EXPECT_TRUE(GL::WidgetOptions::getInstance()->getWidgetOptions(true).softwareRendering);
    unsetenv("VAQ_GL_SOFTWARE_RENDERING");

    // Without the variable the default applies; the cached options change only on update.
    unsetenv("VAQ_GL_MEMORY_MB");
    EXPECT_EQ(GL::WidgetOptions::getInstance()->getCurrentWidgetOptions().memoryMB, 777u);
    EXPECT_EQ(GL::WidgetOptions::getInstance()->getWidgetOptions(true).memoryMB, 1024u);

    QString renderer;
    QStringList known;
    EXPECT_TRUE(GL::GraphicCardDB::instance()->isDriverValid(&renderer, &known))
        << options.vendor.toStdString() << " / " << options.renderer.toStdString();
    EXPECT_EQ(renderer, options.renderer);
    EXPECT_FALSE(known.isEmpty());
}

TEST_F(Extensions, DisabledFrameBufferObjectsTurnOffscreenModeOff)
{
    setenv("VAQ_GL_DISABLE_EXTENSIONS", "GL_ARB_framebuffer_object", 1);
    GL::GLExtensions::resolve();
    EXPECT_EQ(GL::glGenFramebuffers, nullptr);
    const GL::WidgetOptions::Options &options = GL::WidgetOptions::getInstance()->getWidgetOptions(true);
    EXPECT_EQ(options.offscreenMode, GL::WidgetOptions::OM_OFF);
    EXPECT_EQ(options.snapshotSize, 0);
    EXPECT_FALSE(GL::WidgetOptions::getInstance()->isOffscreenRenderingEnabled());
    unsetenv("VAQ_GL_DISABLE_EXTENSIONS");
    GL::GLExtensions::resolve();
    GL::WidgetOptions::getInstance()->updateWidgetOptions();
}

} // namespace
