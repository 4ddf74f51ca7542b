// Calculator: the figure library's conversions between the screen and figure millimetres.
#pragma once

namespace Vaq::Fig2 {

class Calculator
{
public:
    static Calculator *getInstance();

    // Millimetres per pixel of the primary screen, from its physical size. Without a real
    // screen (no application, Qt's offscreen platform, a screen that reports no size) it is
    // that of a 96 dpi screen, so off-screen figures come out alike everywhere.
    double getScreenPixelSizeMM() const;

    static constexpr double DEFAULT_PIXEL_SIZE_MM = 25.4 / 96.0;

private:
    Calculator() = default;
};

} // namespace Vaq::Fig2
