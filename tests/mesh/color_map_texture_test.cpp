// The texels of colour-map textures, without GL: which legend colours land in which row, the
// fallback for colours the legend leaves unset, and the dimmed copy.
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"
#include "gcad/mesh/gcad_color_map_texture.h"

#include <gtest/gtest.h>

using namespace Vaq;
using namespace Vaq::GCAD;
using Legend2::ToleranceParams;

namespace {

const Color FALLBACK(10, 20, 30);

// A legend of seven texels per row, so that the special row splits unevenly (3 and 4).
Legend2::LegendHandler legend()
{
    Legend2::LegendHandler legend = *Legend2::LegendHandler::getInstance();
    legend.setNumberOfRenderColors(7);
    legend.getColorMap().setColors({ { 0, 0, 255, 40 }, { 255, 0, 0 } });
    legend.getColorMap().clearUncomputedColor();
    legend.getToleranceParams().clearColor(ToleranceParams::PT_INVALID_TOLERANCE);
    legend.getToleranceParams().clearColor(ToleranceParams::PT_NO_VALUE);
    return legend;
}

std::vector<Color> row(const std::vector<Color> &texels, int r)
{
    return { texels.begin() + r * 7, texels.begin() + (r + 1) * 7 };
}

} // namespace

TEST(ColorMapTexels, rowZeroShowsTheScaleOrTheBandsRowOneTheSpecialColoursOrTheFallback)
{
    Legend2::LegendHandler tolerance = legend();
    std::vector<Color> texels = ColorMapTexture::createTexels(tolerance, FALLBACK, false, true);
    ASSERT_EQ(texels.size(), 14u);
    // Texel i shows colour floor(2 i / 7), made opaque.
    const Color blue(0, 0, 255), red(255, 0, 0);
    EXPECT_EQ(row(texels, 0), (std::vector<Color> { blue, blue, blue, blue, red, red, red }));
    EXPECT_EQ(row(texels, 1), std::vector<Color>(7, FALLBACK));

    const ToleranceParams &params = tolerance.getToleranceParams();
    const Color below = params.getColor(ToleranceParams::PT_BELOW);
    const Color within = params.getColor(ToleranceParams::PT_WITHIN);
    const Color above = params.getColor(ToleranceParams::PT_ABOVE);
    texels = ColorMapTexture::createTexels(tolerance, FALLBACK, true, true);
    EXPECT_EQ(row(texels, 0), (std::vector<Color> { below, below, below, within, within, above, above }));
    EXPECT_EQ(row(texels, 1), std::vector<Color>(7, FALLBACK));

    tolerance.getToleranceParams().setColor(ToleranceParams::PT_INVALID_TOLERANCE, Color(1, 1, 1));
    tolerance.getToleranceParams().setColor(ToleranceParams::PT_NO_VALUE, Color(2, 2, 2));
    texels = ColorMapTexture::createTexels(tolerance, FALLBACK, true, true);
    const Color invalid(1, 1, 1), none(2, 2, 2);
    EXPECT_EQ(row(texels, 1), (std::vector<Color> { invalid, invalid, invalid, none, none, none, none }));

    // Without tolerance data every vertex has no usable value.
    texels = ColorMapTexture::createTexels(tolerance, FALLBACK, true, false);
    EXPECT_EQ(texels, std::vector<Color>(14, none));
}

TEST(ColorMapTexels, theDimmedCopyScalesByTheConstantColour)
{
    // 200 x 120 / 255 = 94.1, 100 x 120 / 255 = 47.1, 50 x 120 / 255 = 23.5, 255 x 128 / 255.
    EXPECT_EQ(ColorMapTexture::dim({ Color(200, 100, 50), Color(255, 255, 255, 0) }),
        (std::vector<Color> { Color(94, 47, 24, 128), Color(120, 120, 120, 0) }));
}
