#include "gcad/host/fig2/vaq_fig2_legend_handler.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_no_value.h"

#include <algorithm>
#include <cmath>

namespace Vaq::Legend2 {

namespace {

bool hasNoValue(double value)
{
    return !std::isfinite(value) || std::abs(value) >= double(CAD::NO_VALUE);
}

// First texel of band b of three on n texels; texel i belongs to band floor(3 i / n).
unsigned bandStart(unsigned band, unsigned n)
{
    return (band * n + 2) / 3;
}

} // namespace

LegendHandler *LegendHandler::getInstance()
{
    static LegendHandler legend;
    return &legend;
}

void LegendHandler::setNumberOfRenderColors(unsigned count)
{
    if (count < 3)
        VAQ_PROG_ERROR(
            "Vaq::Legend2::LegendHandler::setNumberOfRenderColors", "number of render colours out of range");
    m_render_colors = count;
}

void LegendHandler::getLegendDataRange(double &minimum, double &maximum) const
{
    minimum = m_color_map.getMinimum();
    maximum = m_color_map.getMaximum();
}

std::vector<Color> LegendHandler::getIndexedColors() const
{
    const std::vector<Color> &scale = m_color_map.getColors();
    std::vector<Color> texels(m_render_colors);
    for (unsigned i = 0; i < m_render_colors; ++i)
        texels[i] = scale[uint64_t(i) * scale.size() / m_render_colors];
    return texels;
}

std::vector<Color> LegendHandler::getIndexedToleranceColors() const
{
    const ToleranceParams::PassType_t bands[3]
        = { ToleranceParams::PT_BELOW, ToleranceParams::PT_WITHIN, ToleranceParams::PT_ABOVE };
    std::vector<Color> texels(m_render_colors);
    for (unsigned i = 0; i < m_render_colors; ++i)
        texels[i] = m_tolerance_params.getColor(bands[uint64_t(i) * 3 / m_render_colors]);
    return texels;
}

float LegendHandler::getColorIndex(double value) const
{
    if (hasNoValue(value))
        return CAD::NO_VALUE;
    const double t
        = (value - m_color_map.getMinimum()) / (m_color_map.getMaximum() - m_color_map.getMinimum());
    const double texel = std::clamp(std::floor(t * m_render_colors), 0.0, double(m_render_colors - 1));
    return texelCenter(unsigned(texel));
}

float LegendHandler::getToleranceColorIndex(const CAD::Tolerance &tolerance, double value) const
{
    if (hasNoValue(value))
        return CAD::NO_VALUE;
    const unsigned band = value < tolerance.lower ? 0 : (value > tolerance.upper ? 2 : 1);
    const unsigned first = bandStart(band, m_render_colors);
    const unsigned end = bandStart(band + 1, m_render_colors);
    return texelCenter((first + end - 1) / 2);
}

} // namespace Vaq::Legend2
