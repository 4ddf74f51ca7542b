// ColorMap: the colour scale of a legend. The data range is cut into equal bands, one per
// scale colour from the low end to the high end; in tolerance mode the legend shows instead
// whether a value lies below, inside or above its tolerance. Values without a result take
// the uncomputed colour where one is set.
#pragma once

#include "gcad/host/base/vaq_color.h"

#include <vector>

namespace Vaq::Legend2 {

class ColorMap
{
public:
    // Blue to red over five bands, range [-1, 1], no tolerance mode, no uncomputed colour.
    ColorMap();

    // Throws ProgError "colour map needs a colour" for an empty list.
    void setColors(std::vector<Color> colors);
    const std::vector<Color> &getColors() const { return m_colors; }

    // Throws ProgError "empty data range" unless both ends are finite and minimum < maximum.
    void setDataRange(double minimum, double maximum);
    double getMinimum() const { return m_minimum; }
    double getMaximum() const { return m_maximum; }

    bool getToleranceMode() const { return m_tolerance_mode; }
    void setToleranceMode(bool on) { m_tolerance_mode = on; }

    bool isUncomputedColorValid() const { return m_uncomputed_valid; }
    const Color &getUncomputedColor() const { return m_uncomputed; }
    void setUncomputedColor(const Color &color);
    void clearUncomputedColor() { m_uncomputed_valid = false; }

private:
    std::vector<Color> m_colors;
    double m_minimum = -1.0;
    double m_maximum = 1.0;
    bool m_tolerance_mode = false;
    Color m_uncomputed;
    bool m_uncomputed_valid = false;
};

} // namespace Vaq::Legend2
