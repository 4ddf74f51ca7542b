#include "gcad/host/fig2/vaq_fig2_legend.h"

#include "gcad/host/base/vaq_prog_error.h"

#include <QPainter>

#include <cmath>

namespace Vaq::Fig2 {

namespace {

constexpr double PADDING = 1.0; // mm between the frame and the contents
constexpr double GAP = 0.5; // mm between title, bar and values
constexpr double TITLE_POINTS = 8.0;
constexpr double TICK_POINTS = 7.0;

} // namespace

Legend::Legend()
    : m_colors { { 0, 0, 255 }, { 0, 255, 255 }, { 0, 255, 0 }, { 255, 255, 0 }, { 255, 0, 0 } }
{
    m_title.setFont(Font::sans(TITLE_POINTS));
    m_title.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    update();
}

QRectF Legend::getRect() const
{
    return QRectF(m_center.x() - m_size.width() / 2.0, m_center.y() - m_size.height() / 2.0, m_size.width(),
        m_size.height());
}

void Legend::setScale(const std::vector<Color> &colors, double minimum, double maximum)
{
    if (colors.empty())
        VAQ_PROG_ERROR("Vaq::Fig2::Legend::setScale", "legend needs a colour");
    if (!std::isfinite(minimum) || !std::isfinite(maximum) || !(minimum < maximum))
        VAQ_PROG_ERROR("Vaq::Fig2::Legend::setScale", "empty data range");
    m_colors = colors;
    m_minimum = minimum;
    m_maximum = maximum;
    update();
}

std::unique_ptr<Element> Legend::clone() const
{
    auto copy = std::make_unique<Legend>();
    copy->m_center = m_center;
    copy->m_size = m_size;
    copy->m_horizontal = m_horizontal;
    copy->m_maximized = m_maximized;
    copy->m_border = m_border;
    copy->m_background = m_background;
    copy->m_colors = m_colors;
    copy->m_minimum = m_minimum;
    copy->m_maximum = m_maximum;
    copy->m_title.assign(m_title);
    copy->Legend::update();
    return copy;
}

void Legend::setTitle(const QString &title)
{
    m_title.setText(title);
    update();
}

void Legend::update()
{
    const LayoutInputs inputs { getRect(), m_title.getText().isEmpty() ? QSizeF() : m_title.getSize(),
        m_colors.size(), m_minimum, m_maximum, m_horizontal };
    if (m_laid_out == inputs)
        return;
    m_laid_out = inputs;
    const QRectF inner = inputs.rect.adjusted(PADDING, PADDING, -PADDING, -PADDING);
    m_title.setPosition(QPointF(inner.center().x(), inner.top()));
    const double titleHeight = m_title.getText().isEmpty() ? 0.0 : inputs.title.height() + GAP;
    layoutTicks(inner, titleHeight);
}

// One value per band edge. The bar is inset so that the outermost values, centred on its
// ends, stay inside the box; along the bar a value is kept only if it clears the last kept one.
void Legend::layoutTicks(const QRectF &inner, double titleHeight)
{
    m_ticks.clear();
    const size_t bands = m_colors.size();
    for (size_t i = 0; i <= bands; ++i) {
        auto tick = std::make_unique<Text>();
        tick->setFont(Font::sans(TICK_POINTS));
        tick->setText(
            QString::number(m_minimum + (m_maximum - m_minimum) * double(i) / double(bands), 'g', 4));
        m_ticks.push_back(std::move(tick));
    }
    const QSizeF first = m_ticks.front()->getSize(), last = m_ticks.back()->getSize();
    double tickWidth = 0.0;
    for (const auto &tick : m_ticks)
        tickWidth = std::max(tickWidth, tick->getSize().width());
    const double top = inner.top() + titleHeight;

    if (m_horizontal) {
        const double inset = std::max(first.width(), last.width()) / 2.0;
        m_bar = QRectF(QPointF(inner.left() + inset, top),
            QPointF(inner.right() - inset, inner.bottom() - first.height() - GAP));
    } else {
        const double inset = first.height() / 2.0;
        m_bar = QRectF(QPointF(inner.left(), top + inset),
            QPointF(inner.right() - tickWidth - GAP, inner.bottom() - inset));
    }
    if (m_bar.width() <= 0.0 || m_bar.height() <= 0.0) {
        m_bar = QRectF();
        m_ticks.clear();
        return;
    }

    std::vector<std::unique_ptr<Text>> kept;
    for (size_t i = 0; i <= bands; ++i) {
        Text &tick = *m_ticks[i];
        if (m_horizontal) {
            tick.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            tick.setPosition(
                QPointF(m_bar.left() + m_bar.width() * double(i) / double(bands), m_bar.bottom() + GAP));
        } else {
            tick.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            tick.setPosition(
                QPointF(m_bar.right() + GAP, m_bar.bottom() - m_bar.height() * double(i) / double(bands)));
        }
        if (kept.empty() || !kept.back()->getRect().adjusted(-GAP, -GAP, GAP, GAP).intersects(tick.getRect()))
            kept.push_back(std::move(m_ticks[i]));
    }
    m_ticks = std::move(kept);
}

QRectF Legend::bandRect(size_t band) const
{
    const double n = double(m_colors.size());
    if (m_horizontal) {
        const double step = m_bar.width() / n;
        return QRectF(m_bar.left() + step * double(band), m_bar.top(), step, m_bar.height());
    }
    const double step = m_bar.height() / n;
    return QRectF(m_bar.left(), m_bar.bottom() - step * double(band + 1), m_bar.width(), step);
}

void Legend::paint(QPainter &painter) const
{
    painter.setPen(m_border.toPen());
    painter.setBrush(m_background.toBrush());
    painter.drawRect(getRect());
    painter.setPen(Qt::NoPen);
    for (size_t band = 0; band < m_colors.size() && !m_bar.isNull(); ++band) {
        painter.setBrush(toQColor(m_colors[band]));
        // Neighbouring bands overlap by a hair so that no background shows between them.
        painter.drawRect(bandRect(band).adjusted(0.0, 0.0, m_horizontal ? 0.01 : 0.0, 0.0));
    }
    painter.setBrush(Qt::NoBrush);
    m_title.paint(painter);
    for (const auto &tick : m_ticks)
        tick->paint(painter);
}

} // namespace Vaq::Fig2
