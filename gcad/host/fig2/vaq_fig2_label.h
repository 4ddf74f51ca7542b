// LabelBase: a framed box that may point at a place of the figure with a connector line
// drawn from the nearest point of the box's edge to its connector point. Label: a LabelBase
// holding one text. Moving a label moves its box; the connector point stays where it points.
#pragma once

#include "gcad/host/fig2/vaq_fig2_element.h"
#include "gcad/host/fig2/vaq_fig2_style.h"
#include "gcad/host/fig2/vaq_fig2_text.h"

#include <QLineF>
#include <QPointF>

namespace Vaq::Fig2 {

class LabelBase : public Element
{
public:
    // The connector point of a label that points nowhere.
    static const QPointF INVALID_POINT;

    // The style attribute of a rich-text span: style="font-family:...; font-size:...pt; color:#rrggbb".
    static QString getRTFStyleAttribute(const QString &family, double pointSize, const Color &color);

    Type_t getType() const override { return T_LABEL; }
    // The box only; the connector reaches out of it.
    QRectF getCoveredRect() const override { return getBoxRect(); }
    void paint(QPainter &painter) const override;
    // Paints what paint does but the connector: the background, the frame and the content.
    void paintBox(QPainter &painter) const;

    virtual QRectF getBoxRect() const = 0;

    void setConnectorPoint(const QPointF &point) { m_connector_point = point; }
    const QPointF &getConnectorPoint() const { return m_connector_point; }
    bool hasConnectorPoint() const { return m_connector_point != INVALID_POINT; }
    // From the box's edge to the connector point; a null line without a connector point or
    // when the point lies in the box.
    QLineF getConnector() const;

    void setConnectorStyle(const LineStyle &style) { m_connector_style = style; }
    const LineStyle &getConnectorStyle() const { return m_connector_style; }
    void setBackground(const FillStyle &background);
    const FillStyle &getBackground() const { return m_background; }
    void setBorder(const LineStyle &border);
    const LineStyle &getBorder() const { return m_border; }

    // Grows whenever the box may look different (not when it only moves, nor with its
    // connector), so that a painter can tell an unchanged box without looking at its contents.
    // Setting what the label already has changes nothing.
    unsigned long getRevision() const { return m_revision; }

protected:
    virtual void paintContent(QPainter &painter) const = 0;
    // Takes over the other label's connector, background and border.
    void assignFrame(const LabelBase &other);
    void boxChanged() { ++m_revision; }

private:
    // The background and the frame.
    void paintFrame(QPainter &painter) const;

    QPointF m_connector_point = INVALID_POINT;
    LineStyle m_connector_style { LineStyle::SOLID, Color(0, 0, 0), 0.0 };
    FillStyle m_background;
    LineStyle m_border { LineStyle::SOLID, Color(0, 0, 0), 0.0 };
    unsigned long m_revision = 0;
};

class Label : public LabelBase
{
public:
    // A white box with a black hairline frame around an empty text, 0.5 mm margin.
    Label();

    QRectF getBoxRect() const override;
    std::unique_ptr<Element> clone() const override;
    void move(double dx, double dy) override { setPosition(m_position + QPointF(dx, dy)); }

    void setText(const QString &text);
    const QString &getText() const { return m_text.getText(); }
    void setFont(const QFont &font);
    // The colour of text that no span of rich text colours.
    void setTextColor(const Color &color);
    const Color &getTextColor() const { return m_text_color; }
    // The text's box, inside the label's box by the margin.
    QRectF getTextRect() const { return m_text_rect; }

    // position is the box's point named by alignment (top left by default).
    void setPosition(const QPointF &position);
    const QPointF &getPosition() const { return m_position; }
    void setAlignment(Qt::Alignment alignment);
    void setMargin(double margin);

protected:
    void paintContent(QPainter &painter) const override { m_text.paint(painter); }

private:
    // Places the text in the box and keeps its rectangle, which the text's document would
    // otherwise work out at every look.
    void placeText();

    Text m_text;
    QRectF m_text_rect;
    Color m_text_color;
    QPointF m_position;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignTop;
    double m_margin = 0.5;
};

} // namespace Vaq::Fig2
