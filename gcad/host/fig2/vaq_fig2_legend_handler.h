// LegendHandler: the legend that the views show (one per process) and what renderers derive
// from it: the scale resampled to the width of a colour texture, and where on that texture a
// value's colour lies. Mesh data is prepared from it on worker threads, so change it only
// between repaints.
#pragma once

#include "gcad/host/cad/vaq_cad_tolerance.h"
#include "gcad/host/fig2/vaq_fig2_color_map.h"
#include "gcad/host/fig2/vaq_fig2_tolerance_params.h"

#include <vector>

namespace Vaq::Legend2 {

class LegendHandler
{
public:
    // The legend of the views.
    static LegendHandler *getInstance();

    ColorMap &getColorMap() { return m_color_map; }
    const ColorMap &getColorMap() const { return m_color_map; }
    ToleranceParams &getToleranceParams() { return m_tolerance_params; }
    const ToleranceParams &getToleranceParams() const { return m_tolerance_params; }

    // The texture width n the scale is resampled to (256 at first). Throws ProgError
    // "number of render colours out of range" below 3 (tolerance mode needs three bands).
    void setNumberOfRenderColors(unsigned count);
    unsigned getNumberOfRenderColors() const { return m_render_colors; }
    void getLegendDataRange(double &minimum, double &maximum) const;

    // n colours: texel i shows scale colour floor(i k / n) of the k colours.
    std::vector<Color> getIndexedColors() const;
    // n colours: the bands below, inside and above a tolerance, a third of the texels each.
    std::vector<Color> getIndexedToleranceColors() const;

    // The texture coordinate (0 to 1, at a texel centre) of a value's colour. Values beyond
    // the data range take the colour of its nearer end. A value without result (NO_VALUE,
    // infinite, NaN) gives NO_VALUE.
    float getColorIndex(double value) const;
    // The same on the tolerance texture: the middle texel of the value's band; value on a
    // limit is inside.
    float getToleranceColorIndex(const CAD::Tolerance &tolerance, double value) const;

private:
    LegendHandler() = default;
    float texelCenter(unsigned texel) const { return (float(texel) + 0.5f) / float(m_render_colors); }

    ColorMap m_color_map;
    ToleranceParams m_tolerance_params;
    unsigned m_render_colors = 256;
};

} // namespace Vaq::Legend2
