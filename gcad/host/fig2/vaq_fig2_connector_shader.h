// ConnectorShader: the GL program that draws a label's connector as one wide GL line without
// GL's smoothing, each of its pixels covered by as much as its distance to the connector's
// middle line leaves: an antialiased line that a software rasteriser shades as one primitive
// instead of the two triangles of a smoothed GL line.
#pragma once

#include "gcad/host/gl/vaq_gl_api.h"

namespace Vaq::GFigure2 {

class ConnectorShader
{
public:
    // Generic vertex attributes: the connector (x1, y1, x2, y2, device pixels, y downward) and
    // its half width in device pixels, the same at both its vertices.
    static constexpr GLuint LINE_ATTRIBUTE = 1;
    static constexpr GLuint HALF_WIDTH_ATTRIBUTE = 2;

    // Makes the program current for a view of the given height in pixels, building it on the
    // current context first; false, and nothing changed, where the driver has no shaders or
    // the program does not build. Its colour comes premultiplied: blend with (1, 1 - alpha).
    static bool use(int viewHeight);
    // Back to fixed-function drawing.
    static void release();
    // The width to give the GL line of a connector that wide (device pixels): a wide GL line
    // spans its width along x or y, whichever crosses the line more steeply, so that at 45
    // degrees it is a factor of the square root of two narrower than that across the line.
    static float lineWidth(double width);
};

} // namespace Vaq::GFigure2
