#include "gcad/host/fig2/vaq_fig2_style.h"

namespace Vaq::Fig2 {

const LineStyle LineStyle::null { LineStyle::NONE, Color(), 0.0 };
const FillStyle FillStyle::null { FillStyle::NONE, Color() };

QColor toQColor(const Color &color)
{
    return QColor(color.r, color.g, color.b, color.a);
}

QPen LineStyle::toPen() const
{
    if (!isVisible())
        return QPen(Qt::NoPen);
    QPen pen(toQColor(color), width, style == DASHED ? Qt::DashLine : Qt::SolidLine, Qt::FlatCap);
    pen.setCosmetic(width <= 0.0);
    return pen;
}

QBrush FillStyle::toBrush() const
{
    return isVisible() ? QBrush(toQColor(color)) : QBrush(Qt::NoBrush);
}

} // namespace Vaq::Fig2
