#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Vaq;
using namespace Vaq::Legend2;
using Vaq::Test::progErrorMessage;

namespace {

const Color BLUE { 0, 0, 255 }, GREEN { 0, 255, 0 }, YELLOW { 255, 255, 0 }, RED { 255, 0, 0 };

// Every test works on the process-wide legend and gives it back as it found it.
class LegendTest : public testing::Test
{
protected:
    void SetUp() override
    {
        legend().getColorMap().setColors({ BLUE, GREEN, YELLOW, RED });
        legend().getColorMap().setDataRange(-2.0, 2.0);
        legend().setNumberOfRenderColors(8);
    }
    void TearDown() override { legend() = m_saved; }

    static LegendHandler &legend() { return *LegendHandler::getInstance(); }
    // The texel a coordinate addresses.
    static unsigned texel(float s) { return unsigned(std::floor(s * legend().getNumberOfRenderColors())); }

private:
    LegendHandler m_saved = *LegendHandler::getInstance();
};

} // namespace

TEST_F(LegendTest, theIndexedTexelOfAValueShowsItsBandColourAndRangeEndsHitOuterTexelCentres)
{
    // Four bands of width 1 over [-2, 2]; two texels each.
    const std::vector<Color> texels = legend().getIndexedColors();
    ASSERT_EQ(texels, (std::vector<Color> { BLUE, BLUE, GREEN, GREEN, YELLOW, YELLOW, RED, RED }));
    const std::pair<double, Color> samples[]
        = { { -1.01, BLUE }, { -0.99, GREEN }, { 0.99, YELLOW }, { 1.0, RED } };
    for (const auto &[value, colour] : samples)
        EXPECT_EQ(texels[texel(legend().getColorIndex(value))], colour) << value;
    EXPECT_FLOAT_EQ(legend().getColorIndex(2.0), 7.5f / 8);
    EXPECT_FLOAT_EQ(legend().getColorIndex(-100.0), 0.5f / 8); // beyond the range: the nearer end
    EXPECT_EQ(legend().getColorIndex(std::numeric_limits<double>::quiet_NaN()), CAD::NO_VALUE);

    // A width that the scale does not divide still spreads the colours evenly.
    legend().setNumberOfRenderColors(6);
    EXPECT_EQ(legend().getIndexedColors(), (std::vector<Color> { BLUE, BLUE, GREEN, YELLOW, YELLOW, RED }));
}

TEST_F(LegendTest, toleranceBandsSplitTheTextureInThirds)
{
    legend().setNumberOfRenderColors(10);
    const std::vector<Color> texels = legend().getIndexedToleranceColors();
    // Texel i is band floor(3 i / 10): 4 texels below, 3 inside, 3 above.
    EXPECT_EQ(texels, (std::vector<Color> { BLUE, BLUE, BLUE, BLUE, GREEN, GREEN, GREEN, RED, RED, RED }));
    const CAD::Tolerance tolerance { -0.5, 0.5 };
    EXPECT_FLOAT_EQ(legend().getToleranceColorIndex(tolerance, -0.6), 1.5f / 10);
    EXPECT_FLOAT_EQ(legend().getToleranceColorIndex(tolerance, -0.5), 5.5f / 10); // a limit is inside
    EXPECT_FLOAT_EQ(legend().getToleranceColorIndex(tolerance, 7.0), 8.5f / 10);
    EXPECT_EQ(legend().getToleranceColorIndex(tolerance, CAD::NO_VALUE), CAD::NO_VALUE);

    legend().getToleranceParams().setColor(ToleranceParams::PT_WITHIN, YELLOW);
    EXPECT_EQ(
        legend().getIndexedToleranceColors()[texel(legend().getToleranceColorIndex(tolerance, 0.0))], YELLOW);
}

TEST_F(LegendTest, badSettingsAreRefusedAndKeepTheOldOnes)
{
    ColorMap &map = legend().getColorMap();
    EXPECT_EQ(progErrorMessage([&] { map.setColors({}); }), "colour map needs a colour");
    EXPECT_EQ(map.getColors().size(), 4u);
    EXPECT_EQ(progErrorMessage([&] { map.setDataRange(1.0, 1.0); }), "empty data range");
    double minimum = 0, maximum = 0;
    legend().getLegendDataRange(minimum, maximum);
    EXPECT_EQ(minimum, -2.0);
    EXPECT_EQ(maximum, 2.0);
    EXPECT_EQ(progErrorMessage([] { legend().setNumberOfRenderColors(2); }),
        "number of render colours out of range");
    EXPECT_EQ(legend().getNumberOfRenderColors(), 8u);
}
