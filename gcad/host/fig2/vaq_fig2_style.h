// LineStyle and FillStyle: how a figure element strokes its outline and fills its area.
// Widths are millimetres of the figure, so they grow with the figure's scale; a width of 0
// is a hairline of one device pixel.
#pragma once

#include "gcad/host/base/vaq_color.h"

#include <QBrush>
#include <QPen>

namespace Vaq::Fig2 {

struct LineStyle
{
    enum Style_t { NONE = 0, SOLID = 1, DASHED = 2 };

    int style = SOLID;
    Color color;
    double width = 0.0;

    // Draws nothing.
    static const LineStyle null;

    bool isVisible() const { return style != NONE && color.a != 0; }
    // A flat-capped pen (Qt::NoPen when invisible).
    QPen toPen() const;
};

struct FillStyle
{
    enum Style_t { NONE = 0, SOLID = 1 };

    int style = SOLID;
    Color color { 255, 255, 255 };

    // Fills nothing.
    static const FillStyle null;

    bool isVisible() const { return style != NONE && color.a != 0; }
    QBrush toBrush() const;
};

QColor toQColor(const Color &color);

} // namespace Vaq::Fig2
