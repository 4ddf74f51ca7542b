// Legend: a framed box with a title, a colour bar of equal bands (lowest value left, or at
// the bottom when vertical) and the values at the band edges beside the bar. update() lays
// the three out inside the box; tick values that would overlap the previous one are left out.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/fig2/vaq_fig2_element.h"
#include "gcad/host/fig2/vaq_fig2_style.h"
#include "gcad/host/fig2/vaq_fig2_text.h"

#include <QPointF>
#include <QSizeF>

#include <memory>
#include <optional>
#include <vector>

namespace Vaq::Fig2 {

class Legend : public Element
{
public:
    // 120 x 20 mm, horizontal, centred at the origin, blue to red over [0, 1], no title.
    Legend();

    Type_t getType() const override { return T_LEGEND; }
    QRectF getCoveredRect() const override { return getRect(); }
    void move(double dx, double dy) override
    {
        m_center += QPointF(dx, dy);
        update();
    }
    void update() override;
    void paint(QPainter &painter) const override;
    // A plain legend with this one's settings and scale (a global legend's copy keeps the
    // scale it shows now).
    std::unique_ptr<Element> clone() const override;

    QRectF getRect() const;
    const QPointF &getCenter() const { return m_center; }
    void setCenter(const QPointF &center)
    {
        m_center = center;
        update();
    }
    const QSizeF &getSize() const { return m_size; }
    void setSize(const QSizeF &size)
    {
        m_size = size;
        update();
    }

    bool isHorizontal() const { return m_horizontal; }
    void setHorizontal(bool horizontal)
    {
        m_horizontal = horizontal;
        update();
    }
    // Stretched over the whole view edge it sits at.
    bool isMaximized() const { return m_maximized; }
    void setMaximized(bool maximized) { m_maximized = maximized; }
    const LineStyle &getBorder() const { return m_border; }
    void setBorder(const LineStyle &border) { m_border = border; }
    void setBackground(const FillStyle &background) { m_background = background; }

    // Throws ProgError "legend needs a colour" for no colours and "empty data range" unless
    // minimum < maximum, both finite.
    void setScale(const std::vector<Color> &colors, double minimum, double maximum);
    double getMinimum() const { return m_minimum; }
    double getMaximum() const { return m_maximum; }
    void setTitle(const QString &title);

    // The layout of the last update.
    const QRectF &getColorBarRect() const { return m_bar; }
    const std::vector<Color> &getColors() const { return m_colors; }
    const Text &getTitle() const { return m_title; }
    const std::vector<std::unique_ptr<Text>> &getTicks() const { return m_ticks; }

private:
    // What a layout is made of: one of the same is not made again (each tick is a text
    // document of its own).
    struct LayoutInputs
    {
        QRectF rect;
        QSizeF title;
        size_t bands;
        double minimum, maximum;
        bool horizontal;

        bool operator==(const LayoutInputs &o) const
        {
            return rect == o.rect && title == o.title && bands == o.bands && minimum == o.minimum
                && maximum == o.maximum && horizontal == o.horizontal;
        }
    };

    void layoutTicks(const QRectF &inner, double titleHeight);
    QRectF bandRect(size_t band) const;

    QPointF m_center;
    QSizeF m_size { 120.0, 20.0 };
    bool m_horizontal = true;
    bool m_maximized = false;
    LineStyle m_border { LineStyle::SOLID, Color(0, 0, 0), 0.0 };
    FillStyle m_background;
    std::vector<Color> m_colors;
    double m_minimum = 0.0, m_maximum = 1.0;
    Text m_title;
    QRectF m_bar;
    std::vector<std::unique_ptr<Text>> m_ticks;
    std::optional<LayoutInputs> m_laid_out;
};

} // namespace Vaq::Fig2
