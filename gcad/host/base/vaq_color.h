// Color: an RGBA colour with 8-bit channels, as elements and renderers store it.
#pragma once

#include <cstdint>

namespace Vaq {

struct Color
{
    uint8_t r = 0, g = 0, b = 0, a = 255;

    constexpr Color() = default;
    constexpr Color(uint8_t r_, uint8_t g_, uint8_t b_, uint8_t a_ = 255) : r(r_), g(g_), b(b_), a(a_) {}

    // The colour halfway to white, alpha kept: how selected points of some elements are shown.
    static constexpr Color fadeColor(const Color &c)
    {
        return { uint8_t((c.r + 255) / 2), uint8_t((c.g + 255) / 2), uint8_t((c.b + 255) / 2), c.a };
    }

    bool operator==(const Color &o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const Color &o) const { return !(*this == o); }
};

} // namespace Vaq
