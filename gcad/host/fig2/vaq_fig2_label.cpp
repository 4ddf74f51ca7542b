#include "gcad/host/fig2/vaq_fig2_label.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace Vaq::Fig2 {

const QPointF LabelBase::INVALID_POINT(-1.0e300, -1.0e300);

QString LabelBase::getRTFStyleAttribute(const QString &family, double pointSize, const Color &color)
{
    return QStringLiteral("style=\"font-family:'%1'; font-size:%2pt; color:%3\"")
        .arg(family)
        .arg(pointSize)
        .arg(toQColor(color).name());
}

QLineF LabelBase::getConnector() const
{
    if (!hasConnectorPoint())
        return QLineF();
    const QRectF box = getBoxRect();
    const QPointF &p = m_connector_point;
    const QPointF edge(
        std::clamp(p.x(), box.left(), box.right()), std::clamp(p.y(), box.top(), box.bottom()));
    if (edge == p)
        return QLineF();
    return QLineF(edge, p);
}

void LabelBase::paint(QPainter &painter) const
{
    const QLineF connector = getConnector();
    if (!connector.isNull() && m_connector_style.isVisible()) {
        painter.setPen(m_connector_style.toPen());
        painter.drawLine(connector);
    }
    paintBox(painter);
}

void LabelBase::paintBox(QPainter &painter) const
{
    if ((m_border.isVisible() || m_background.isVisible()) && !getBoxRect().isEmpty())
        paintFrame(painter);
    paintContent(painter);
}

// The box is filled and framed on whole device pixels, the frame a whole number of pixels wide,
// so that its edges are crisp and a box of opaque colours has no partly covered pixel (a cached
// image of it then needs no blending). The frame's middle stays within half a pixel of the
// box's edge. A dashed frame is stroked there; where the painter rotates or shears, the box is
// painted as it lies.
void LabelBase::paintFrame(QPainter &painter) const
{
    const QTransform toDevice = painter.worldTransform();
    if (toDevice.type() > QTransform::TxScale) {
        painter.setPen(m_border.toPen());
        painter.setBrush(m_background.toBrush());
        painter.drawRect(getBoxRect());
        painter.setBrush(Qt::NoBrush);
        return;
    }
    const double width
        = !m_border.isVisible() ? 0.0 : std::max(1.0, std::round(m_border.width * std::abs(toDevice.m11())));
    const QRectF box = toDevice.mapRect(getBoxRect());
    const double half = width / 2.0;
    const QRectF outer(QPointF(std::round(box.left() - half), std::round(box.top() - half)),
        QPointF(std::round(box.right() + half), std::round(box.bottom() + half)));
    const QRectF inner = outer.adjusted(width, width, -width, -width);
    painter.save();
    painter.resetTransform();
    if (m_background.isVisible() && !inner.isEmpty())
        painter.fillRect(inner, m_background.toBrush());
    if (m_border.isVisible() && m_border.style == LineStyle::DASHED) {
        QPen pen = m_border.toPen();
        pen.setWidthF(width);
        pen.setCosmetic(false);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawRect(outer.adjusted(half, half, -half, -half));
    } else if (m_border.isVisible()) {
        QPainterPath frame;
        frame.addRect(outer);
        if (!inner.isEmpty())
            frame.addRect(inner);
        painter.fillPath(frame, toQColor(m_border.color));
    }
    painter.restore();
}

void LabelBase::setBackground(const FillStyle &background)
{
    if (background.style == m_background.style && background.color == m_background.color)
        return;
    m_background = background;
    boxChanged();
}

void LabelBase::setBorder(const LineStyle &border)
{
    if (border.style == m_border.style && border.color == m_border.color && border.width == m_border.width)
        return;
    m_border = border;
    boxChanged();
}

void LabelBase::assignFrame(const LabelBase &other)
{
    m_connector_point = other.m_connector_point;
    m_connector_style = other.m_connector_style;
    m_background = other.m_background;
    m_border = other.m_border;
    boxChanged();
}

Label::Label()
{
    placeText();
}

std::unique_ptr<Element> Label::clone() const
{
    auto copy = std::make_unique<Label>();
    copy->assignFrame(*this);
    copy->m_text.assign(m_text);
    copy->m_text_color = m_text_color;
    copy->m_position = m_position;
    copy->m_alignment = m_alignment;
    copy->m_margin = m_margin;
    copy->placeText();
    return copy;
}

QRectF Label::getBoxRect() const
{
    return m_text_rect.adjusted(-m_margin, -m_margin, m_margin, m_margin);
}

void Label::setTextColor(const Color &color)
{
    if (color == m_text_color)
        return;
    m_text.setColor(color);
    m_text_color = color;
    boxChanged();
}

void Label::setText(const QString &text)
{
    if (text == m_text.getText())
        return;
    m_text.setText(text);
    placeText();
    boxChanged();
}

void Label::setFont(const QFont &font)
{
    m_text.setFont(font);
    placeText();
    boxChanged();
}

void Label::setPosition(const QPointF &position)
{
    m_position = position;
    placeText();
}

void Label::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    placeText();
    boxChanged();
}

void Label::setMargin(double margin)
{
    m_margin = margin;
    placeText();
    boxChanged();
}

void Label::placeText()
{
    // The text keeps its top-left anchor; the label's alignment is applied to the framed box.
    const QSizeF text = m_text.getSize();
    const QSizeF box(text.width() + 2.0 * m_margin, text.height() + 2.0 * m_margin);
    m_text.setPosition(alignedTopLeft(m_position, box, m_alignment) + QPointF(m_margin, m_margin));
    m_text_rect = m_text.getRect();
}

} // namespace Vaq::Fig2
