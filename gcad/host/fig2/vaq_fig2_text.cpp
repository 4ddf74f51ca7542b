#include "gcad/host/fig2/vaq_fig2_text.h"

#include "gcad/host/fig2/vaq_fig2_style.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextDocument>

namespace Vaq::Fig2 {

namespace {

// One layout unit is a hundredth of a millimetre: fine enough that rounded glyph advances do
// not show, and the same on every device.
constexpr double UNIT_MM = 0.01;

// A device of 2540 dots per inch that only lends the layout its resolution.
QPaintDevice *layoutDevice()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(int(1000.0 / UNIT_MM));
        image.setDotsPerMeterY(int(1000.0 / UNIT_MM));
        return image;
    }();
    return &device;
}

} // namespace

const QString Font::DEFAULT_FONT_SANS = QStringLiteral("DejaVu Sans");

QFont Font::sans(double pointSize)
{
    QFont font(DEFAULT_FONT_SANS);
    font.setPointSizeF(pointSize);
    return font;
}

QPointF alignedTopLeft(const QPointF &position, const QSizeF &size, Qt::Alignment alignment)
{
    QPointF topLeft = position;
    if (alignment & Qt::AlignHCenter)
        topLeft.rx() -= size.width() / 2.0;
    else if (alignment & Qt::AlignRight)
        topLeft.rx() -= size.width();
    if (alignment & Qt::AlignVCenter)
        topLeft.ry() -= size.height() / 2.0;
    else if (alignment & Qt::AlignBottom)
        topLeft.ry() -= size.height();
    return topLeft;
}

Text::Text()
    : m_document(std::make_unique<QTextDocument>())
{
    m_document->documentLayout()->setPaintDevice(layoutDevice());
    m_document->setDocumentMargin(0.0);
    m_document->setUseDesignMetrics(true);
    setFont(Font::sans(10.0));
}

Text::~Text() = default;

void Text::setText(const QString &text)
{
    if (text == m_text)
        return; // the layout stands
    m_text = text;
    if (Qt::mightBeRichText(text))
        m_document->setHtml(text);
    else
        m_document->setPlainText(text);
}

void Text::setFont(const QFont &font)
{
    m_document->setDefaultFont(font);
}

void Text::assign(const Text &other)
{
    setFont(other.m_document->defaultFont());
    setText(other.m_text);
    m_color = other.m_color;
    m_position = other.m_position;
    m_alignment = other.m_alignment;
}

std::unique_ptr<Element> Text::clone() const
{
    auto copy = std::make_unique<Text>();
    copy->assign(*this);
    return copy;
}

QSizeF Text::getSize() const
{
    if (m_text.isEmpty())
        return QSizeF(0.0, 0.0);
    return m_document->size() * UNIT_MM;
}

QRectF Text::getRect() const
{
    const QSizeF size = getSize();
    return QRectF(alignedTopLeft(m_position, size, m_alignment), size);
}

void Text::paint(QPainter &painter) const
{
    if (m_text.isEmpty())
        return;
    painter.save();
    painter.translate(getRect().topLeft());
    painter.scale(UNIT_MM, UNIT_MM);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, toQColor(m_color));
    m_document->documentLayout()->draw(&painter, context);
    painter.restore();
}

} // namespace Vaq::Fig2
