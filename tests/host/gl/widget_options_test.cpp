#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <gtest/gtest.h>

using Vaq::GL::WidgetOptions;

namespace {

TEST(WidgetOptions, DriverVersionIsTheTextAfterTheGLVersion)
{
    EXPECT_EQ(WidgetOptions::driverVersionFromGLVersion("4.5 (Compatibility Profile) Mesa 22.3.6"),
        QStringLiteral("Mesa 22.3.6"));
    EXPECT_EQ(WidgetOptions::driverVersionFromGLVersion("4.6.0 NVIDIA 535.104.05"),
        QStringLiteral("NVIDIA 535.104.05"));
    EXPECT_EQ(WidgetOptions::driverVersionFromGLVersion("3.1 Mesa 10.0"), QStringLiteral("Mesa 10.0"));
    // Nothing after the number: the whole text is all there is.
    EXPECT_EQ(WidgetOptions::driverVersionFromGLVersion("2.1"), QStringLiteral("2.1"));
}

TEST(WidgetOptions, SoftwareRasterisersAreRecognisedByName)
{
    EXPECT_TRUE(WidgetOptions::isSoftwareRenderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(WidgetOptions::isSoftwareRenderer("Gallium 0.4 on softpipe"));
    EXPECT_TRUE(WidgetOptions::isSoftwareRenderer("Software Rasterizer swrast"));
    EXPECT_FALSE(WidgetOptions::isSoftwareRenderer("NVIDIA H100/PCIe/SSE2"));
    EXPECT_FALSE(WidgetOptions::isSoftwareRenderer("AMD Radeon RX 6800 (navi21, LLVM 15.0.6)"));
}

} // namespace
