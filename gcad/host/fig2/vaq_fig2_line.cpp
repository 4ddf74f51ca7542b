#include "gcad/host/fig2/vaq_fig2_line.h"

#include <QPainter>

namespace Vaq::Fig2 {

Line::Line(const QPointF &p1, const QPointF &p2, const LineStyle &style)
    : m_p1(p1)
    , m_p2(p2)
    , m_style(style)
{
}

QRectF Line::getCoveredRect() const
{
    const double half = m_style.width / 2.0;
    return QRectF(m_p1, m_p2).normalized().adjusted(-half, -half, half, half);
}

std::unique_ptr<Element> Line::clone() const
{
    return std::make_unique<Line>(m_p1, m_p2, m_style);
}

void Line::move(double dx, double dy)
{
    m_p1 += QPointF(dx, dy);
    m_p2 += QPointF(dx, dy);
}

void Line::setPoints(const QPointF &p1, const QPointF &p2)
{
    m_p1 = p1;
    m_p2 = p2;
}

void Line::paint(QPainter &painter) const
{
    if (!m_style.isVisible())
        return;
    // A line thinner than a device pixel is drawn as a hairline, so that it stays visible
    // instead of fading out in the antialiasing.
    QPen pen = m_style.toPen();
    if (pen.widthF() * painter.transform().m11() < 1.0)
        pen.setWidthF(0.0);
    painter.setPen(pen);
    painter.drawLine(m_p1, m_p2);
}

} // namespace Vaq::Fig2
