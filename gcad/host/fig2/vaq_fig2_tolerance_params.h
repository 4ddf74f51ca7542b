// ToleranceParams: the colours a legend gives the outcomes of a tolerance check. The three
// bands (below, inside, above) always have a colour; the two special cases have one only
// when set, otherwise the drawing falls back to the element's own colour.
#pragma once

#include "gcad/host/base/vaq_color.h"

namespace Vaq::Legend2 {

class ToleranceParams
{
public:
    // The numbers are those of the stored legend settings.
    enum PassType_t {
        PT_BELOW = 0,
        PT_WITHIN = 1,
        PT_ABOVE = 2,
        PT_INVALID_TOLERANCE = 4, // the point's tolerance is missing or unusable
        PT_NO_VALUE = 5, // the point has no deviation, or the element no tolerances
    };

    bool isColorValid(PassType_t type) const { return type <= PT_ABOVE || m_valid[slot(type)]; }
    const Color &getColor(PassType_t type) const { return m_colors[slot(type)]; }
    void setColor(PassType_t type, const Color &color)
    {
        m_colors[slot(type)] = color;
        m_valid[slot(type)] = true;
    }
    // Only the special cases can be without colour; the bands keep theirs.
    void clearColor(PassType_t type) { m_valid[slot(type)] = type <= PT_ABOVE; }

private:
    static int slot(PassType_t type) { return type <= PT_ABOVE ? int(type) : int(type) - 1; }

    Color m_colors[5] = { { 0, 0, 255 }, { 0, 255, 0 }, { 255, 0, 0 }, { 128, 128, 128 }, { 128, 128, 128 } };
    bool m_valid[5] = { true, true, true, false, false };
};

} // namespace Vaq::Legend2
