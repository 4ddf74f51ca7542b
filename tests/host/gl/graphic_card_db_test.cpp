#include "gcad/host/gl/vaq_gl_graphic_card_db.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <gtest/gtest.h>

using Vaq::GL::GraphicCardDB;
using Vaq::GL::WidgetOptions;

namespace {

TEST(GraphicCardDB, BuiltInListCertifiesLlvmpipeAndNotUnknownDrivers)
{
    const GraphicCardDB *db = GraphicCardDB::getInstance();
    EXPECT_TRUE(db->isDriverValid("Mesa", "llvmpipe (LLVM 15.0.6, 256 bits)", "Mesa 22.3.6"));
    // Too old a Mesa, an unknown vendor, and a Mesa version claimed for NVIDIA hardware.
    EXPECT_FALSE(db->isDriverValid("Mesa", "llvmpipe (LLVM 9.0, 128 bits)", "Mesa 19.3.2"));
    EXPECT_FALSE(db->isDriverValid("Acme Graphics", "Acme 3D", "Acme 1.0"));
    EXPECT_FALSE(db->isDriverValid("NVIDIA Corporation", "GeForce GTX 1080", "Mesa 99.0"));
    EXPECT_TRUE(db->isDriverValid("NVIDIA Corporation", "NVIDIA H100/PCIe/SSE2", "NVIDIA 535.104.05"));
    EXPECT_TRUE(db->isDriverValid("X.Org", "AMD Radeon RX 580 (polaris10, LLVM 12.0.0)", "Mesa 21.2.6"));
    EXPECT_FALSE(db->isDriverValid("X.Org", "AMD Radeon RX 580 (polaris10, LLVM 11.0.0)", "Mesa 20.3.5"));
}

TEST(GraphicCardDB, BadListsAreRejectedWithTheLineAndKeepTheOldList)
{
    GraphicCardDB *db = GraphicCardDB::getInstance();
    const size_t before = db->getEntries().size();
    QString error;
    EXPECT_FALSE(db->parse("# comment\nMesa | llvmpipe\n", &error));
    EXPECT_EQ(error, QStringLiteral("line 2: expected vendor | renderer | driver version"));
    EXPECT_FALSE(db->parse("Mesa | llvmpipe | Mesa\n", &error));
    EXPECT_EQ(error, QStringLiteral("line 1: no version number in 'Mesa'"));
    EXPECT_FALSE(db->load("/nonexistent/graphic_cards.txt", &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("cannot read /nonexistent/graphic_cards.txt: ")));
    EXPECT_EQ(db->getEntries().size(), before);
    EXPECT_TRUE(db->isDriverValid("Mesa", "llvmpipe", "Mesa 22.3.6"));
}

TEST(WidgetOptions, DriverVersionFollowsTheGLVersionAndSoftwareRasterisersGoByName)
{
    EXPECT_EQ(WidgetOptions::driverVersionFromGLVersion("4.5 (Compatibility Profile) Mesa 22.3.6"),
        QStringLiteral("Mesa 22.3.6"));
    // Nothing after the number: the whole text is all there is.
    EXPECT_EQ(WidgetOptions::driverVersionFromGLVersion("2.1"), QStringLiteral("2.1"));

    EXPECT_TRUE(WidgetOptions::isSoftwareRenderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(WidgetOptions::isSoftwareRenderer("Software Rasterizer swrast"));
    // LLVM in the name does not make a hardware driver a software one.
    EXPECT_FALSE(WidgetOptions::isSoftwareRenderer("AMD Radeon RX 6800 (navi21, LLVM 15.0.6)"));
}

} // namespace
