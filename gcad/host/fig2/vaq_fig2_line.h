// Line: a straight segment between two figure points in a line style.
#pragma once

#include "gcad/host/fig2/vaq_fig2_element.h"
#include "gcad/host/fig2/vaq_fig2_style.h"

#include <QPointF>

namespace Vaq::Fig2 {

class Line : public Element
{
public:
    Line(const QPointF &p1, const QPointF &p2, const LineStyle &style);

    Type_t getType() const override { return T_LINE; }
    // The segment's bounding box widened by half the line width.
    QRectF getCoveredRect() const override;
    void move(double dx, double dy) override;
    void paint(QPainter &painter) const override;
    std::unique_ptr<Element> clone() const override;

    const QPointF &getP1() const { return m_p1; }
    const QPointF &getP2() const { return m_p2; }
    void setPoints(const QPointF &p1, const QPointF &p2);
    const LineStyle &getLineStyle() const { return m_style; }
    void setLineStyle(const LineStyle &style) { m_style = style; }

private:
    QPointF m_p1, m_p2;
    LineStyle m_style;
};

} // namespace Vaq::Fig2
