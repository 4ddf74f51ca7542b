// What a change of the view's size does to the overlay: the view-direction text stays centred
// at the top, the legend takes its size and place for the new view, and items the user placed
// keep their place relative to the nearest view edges.
#include "gcad/overlay/gcad_r_overlay2d.h"

#include "gcad/host/fig2/vaq_fig2_box_distributor.h"
#include "gcad/host/fig2/vaq_fig2_figure.h"
#include "gcad/host/fig2/vaq_fig2_global_legend.h"
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "gcad/rcb/gcad_rcb.h"

#include <algorithm>
#include <cmath>

namespace Vaq::GCAD {

namespace {

// Where the legend was at the last check, shared by all views: a legend the user left at a
// view edge stays at that edge while the view is resized.
struct LegendPlace
{
    bool atBorder = false;
    Fig2::BoxDistributor::Side_t side = Fig2::BoxDistributor::SIDE_NONE;
    QPointF center;
    QSizeF size;
};
LegendPlace _last_legend_place;

} // namespace

void Overlay2d::doResize()
{
    const QSize pixels = viewPixels();
    if (m_view_direction_group) {
        const QRectF r = m_view_direction_group->getCoveredRect();
        m_view_direction_group->move(
            (pixels.width() / 2) * m_pixel_size - r.center().x(), 8.0 * m_pixel_size - r.top());
    }
    QSizeF old(m_last_view_size.width() * m_pixel_size, m_last_view_size.height() * m_pixel_size);
    const QSizeF now = viewSizeMM();
    if (old.width() < 2.2 || old.height() < 2.2)
        old = now;
    doResizeLegend(now);

    // Items the user placed keep to their third of the view: the left third stays, the
    // middle third moves by half the growth, the right third by all of it; likewise upward.
    if (m_label_figure && m_box_mode != 1) {
        const auto shift = [](double at, double extent, double oldSize, double newSize) {
            if (at < oldSize / 3.0)
                return 0.0;
            const double growth = newSize - oldSize;
            return at + extent <= 2.0 * oldSize / 3.0 ? growth / 2.0 : growth;
        };
        for (Fig2::Element *child : m_label_figure->getRoot().getChildren()) {
            if (child->getType() == Fig2::Element::T_LEGEND
                || (child->getType() == Fig2::Element::T_TEXT && child->isExternallyManaged()))
                continue;
            if (const auto *label = dynamic_cast<const Fig2::LabelBase *>(child);
                label && label->hasConnectorPoint())
                continue;
            const QRectF r = child->getCoveredRect();
            child->move(shift(r.x(), r.width(), old.width(), now.width()),
                shift(r.y(), r.height(), old.height(), now.height()));
            child->update();
        }
    }
    m_last_view_size = pixels;
    repositionLabels();
}

void Overlay2d::setLegendSize(const QSizeF &viewSize)
{
    if (!m_legend)
        return;
    const Fig2::LineStyle &border = m_legend->getBorder();
    const double b = border.style != Fig2::LineStyle::NONE ? border.width : 0.0;
    const bool horizontal = m_legend->isHorizontal();
    QSizeF size = horizontal ? QSizeF(120.0, 20.0) : QSizeF(20.0, 120.0);
    if (m_legend->isMaximized()) {
        if (horizontal)
            size.setWidth(viewSize.width() - b);
        else
            size.setHeight(viewSize.height() - b);
    }
    if (viewSize.width() < size.width() + b)
        size.setWidth(viewSize.width() - b);
    if (viewSize.height() < size.height() + b)
        size.setHeight(viewSize.height() - b);
    size = size.expandedTo(QSizeF(0.0, 0.0));
    const QSizeF current = m_legend->getSize();
    if (std::fabs(size.width() - current.width()) >= 1e-10
        || std::fabs(size.height() - current.height()) >= 1e-10)
        m_legend->setSize(size);
}

void Overlay2d::moveLegendToAnchor(const QSizeF &viewSize)
{
    switch (m_legend->getInitialPosition()) {
    case GLegend2::GlobalLegend::IP_TOP:
        m_legend->setCenter(QPointF(viewSize.width() / 2.0, 0.0));
        break;
    case GLegend2::GlobalLegend::IP_BOTTOM:
        m_legend->setCenter(QPointF(viewSize.width() / 2.0, viewSize.height()));
        break;
    case GLegend2::GlobalLegend::IP_LEFT:
        m_legend->setCenter(QPointF(0.0, viewSize.height() / 2.0));
        break;
    case GLegend2::GlobalLegend::IP_RIGHT:
        m_legend->setCenter(QPointF(viewSize.width(), viewSize.height() / 2.0));
        break;
    }
}

void Overlay2d::doResizeLegend(const QSizeF &viewSize)
{
    if (!m_legend)
        return;
    setLegendSize(viewSize);
    moveLegendToAnchor(viewSize);
    checkLegendPosition(viewSize);
}

void Overlay2d::checkLegendPosition(const QSizeF &viewSize)
{
    if (!m_legend)
        return;
    LegendPlace &last = _last_legend_place;
    if (m_legend->readReplaceFlag()) {
        last.atBorder = false;
        moveLegendToAnchor(viewSize);
    } else if (last.atBorder && last.center == m_legend->getCenter() && last.size == m_legend->getSize()) {
        // Back against its edge, wherever that edge now is.
        const QRectF r = m_legend->getCoveredRect();
        QPointF center = m_legend->getCenter();
        switch (last.side) {
        case Fig2::BoxDistributor::SIDE_TOP:
            center.setY(r.height() / 2.0);
            break;
        case Fig2::BoxDistributor::SIDE_BOTTOM:
            center.setY(viewSize.height() - r.height() / 2.0);
            break;
        case Fig2::BoxDistributor::SIDE_LEFT:
            center.setX(r.width() / 2.0);
            break;
        case Fig2::BoxDistributor::SIDE_RIGHT:
            center.setX(viewSize.width() - r.width() / 2.0);
            break;
        default:
            break;
        }
        // Placing the legend lays out its ticks again, text documents and all: not in every
        // repaint of a view whose size stays.
        if (center != m_legend->getCenter())
            m_legend->setCenter(center);
    }

    // Inside the view in both directions; a legend larger than the view keeps its top left.
    const QRectF r = m_legend->getCoveredRect();
    const double dx = std::max(-r.left(), std::min(0.0, viewSize.width() - r.right()));
    const double dy = std::max(-r.top(), std::min(0.0, viewSize.height() - r.bottom()));
    if (dx != 0.0 || dy != 0.0)
        m_legend->move(dx, dy);

    last.atBorder = Fig2::BoxDistributor::legendAtBorder(
        viewSize, *m_legend, m_legend->isHorizontal(), m_legend->isMaximized(), 1.1, &last.side, nullptr);
    last.center = m_legend->getCenter();
    last.size = m_legend->getSize();
}

} // namespace Vaq::GCAD
