#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <gtest/gtest.h>

using Vaq::GL::WidgetOptions;

namespace {

TEST(WidgetOptions, DriverVersionFollowsTheGLVersionAndSoftwareRasterisersGoByName)
{
    EXPECT_EQ(WidgetOptions::driverVersionFromGLVersion("4.5 (Compatibility Profile) Mesa 22.3.6"),
        QStringLiteral("Mesa 22.3.6"));
    EXPECT_EQ(WidgetOptions::driverVersionFromGLVersion("4.6.0 NVIDIA 535.104.05"),
        QStringLiteral("NVIDIA 535.104.05"));
    // Nothing after the number: the whole text is all there is.
    EXPECT_EQ(WidgetOptions::driverVersionFromGLVersion("2.1"), QStringLiteral("2.1"));

    EXPECT_TRUE(WidgetOptions::isSoftwareRenderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(WidgetOptions::isSoftwareRenderer("Gallium 0.4 on softpipe"));
    EXPECT_TRUE(WidgetOptions::isSoftwareRenderer("Software Rasterizer swrast"));
    EXPECT_FALSE(WidgetOptions::isSoftwareRenderer("NVIDIA H100/PCIe/SSE2"));
    // LLVM in the name does not make a hardware driver a software one.
    EXPECT_FALSE(WidgetOptions::isSoftwareRenderer("AMD Radeon RX 6800 (navi21, LLVM 15.0.6)"));
}

} // namespace
