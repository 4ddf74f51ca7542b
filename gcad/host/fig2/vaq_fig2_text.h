// Text: a block of plain or rich text (Qt's HTML subset, as QTextDocument reads it) placed by
// one of its box's nine anchor points. The layout is made once, in hundredths of a
// millimetre, so its size in the figure does not depend on the device; painting draws the
// glyphs at the device's own resolution, never a scaled bitmap.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/fig2/vaq_fig2_element.h"

#include <QFont>
#include <QPointF>
#include <QString>

#include <memory>

class QTextDocument;

namespace Vaq::Fig2 {

struct Font
{
    // The sans-serif family the figures use unless a text names another one.
    static const QString DEFAULT_FONT_SANS;
    // DEFAULT_FONT_SANS at the given size in points.
    static QFont sans(double pointSize);
};

class Text : public Element
{
public:
    Text();
    ~Text() override;

    Type_t getType() const override { return T_TEXT; }
    QRectF getCoveredRect() const override { return getRect(); }
    void move(double dx, double dy) override { m_position += QPointF(dx, dy); }
    void paint(QPainter &painter) const override;
    std::unique_ptr<Element> clone() const override;
    // Takes over the other text's text, font, colour, position and alignment.
    void assign(const Text &other);

    // Rich text when Qt takes it for rich text (it starts with a tag), plain text otherwise.
    void setText(const QString &text);
    const QString &getText() const { return m_text; }
    // The font and colour of text that its markup does not style; sans 10 pt, black.
    void setFont(const QFont &font);
    void setColor(const Color &color) { m_color = color; }

    // position is the point of the box named by alignment (left, centre or right combined
    // with top, centre or bottom; top left by default).
    void setPosition(const QPointF &position) { m_position = position; }
    const QPointF &getPosition() const { return m_position; }
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }

    // The laid-out size and box in millimetres.
    QSizeF getSize() const;
    QRectF getRect() const;

private:
    std::unique_ptr<QTextDocument> m_document;
    QString m_text;
    Color m_color;
    QPointF m_position;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignTop;
};

// The top-left corner of a box of the given size whose anchor point named by alignment lies
// at position.
QPointF alignedTopLeft(const QPointF &position, const QSizeF &size, Qt::Alignment alignment);

} // namespace Vaq::Fig2
