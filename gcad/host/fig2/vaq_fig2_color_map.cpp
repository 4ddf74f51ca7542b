#include "gcad/host/fig2/vaq_fig2_color_map.h"

#include "gcad/host/base/vaq_prog_error.h"

#include <cmath>

namespace Vaq::Legend2 {

ColorMap::ColorMap()
    : m_colors { { 0, 0, 255 }, { 0, 255, 255 }, { 0, 255, 0 }, { 255, 255, 0 }, { 255, 0, 0 } }
{
}

void ColorMap::setColors(std::vector<Color> colors)
{
    if (colors.empty())
        VAQ_PROG_ERROR("Vaq::Legend2::ColorMap::setColors", "colour map needs a colour");
    m_colors = std::move(colors);
}

void ColorMap::setDataRange(double minimum, double maximum)
{
    if (!std::isfinite(minimum) || !std::isfinite(maximum) || !(minimum < maximum))
        VAQ_PROG_ERROR("Vaq::Legend2::ColorMap::setDataRange", "empty data range");
    m_minimum = minimum;
    m_maximum = maximum;
}

void ColorMap::setUncomputedColor(const Color &color)
{
    m_uncomputed = color;
    m_uncomputed_valid = true;
}

} // namespace Vaq::Legend2
