// Keeping last frame's places: which boxes stay where they were after the view changed, and
// which glide a little to stay clear, before the others are placed (vaq_fig2_box_placement.cpp).
// Cost: a few grid queries a box, for its place and for each of four shifts.
// Idea: a label that still fits where it was stays there (Been, Daiches and Yap, 2006), tested
// without the margin, so that a turn of the view that only narrows the gaps between boxes moves
// none. A turn also pushes some boxes a little out of the view, into a box that stays or onto
// another label's point; such a box shifts the shortest way just clear of them, rather than
// jumping to wherever a fresh search would put it.
#include "gcad/host/fig2/vaq_fig2_box_geometry.h"
#include "gcad/host/fig2/vaq_fig2_box_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace Vaq::Fig2 {

using namespace BoxGeometry;

namespace {

// A box whose last frame's place the view's turn pushed a little out of the area, into boxes
// that stay or onto points, shifts by up to this share of its step to stay clear, rather than
// searching afresh: labels glide out of the way instead of jumping.
constexpr double GLIDE_STEPS = 0.5;
constexpr double INF = std::numeric_limits<double>::infinity();

} // namespace

// Where last frame's place can stay: there, or shifted back into the area where it sticks out by
// no more than GLIDE_STEPS; off its own point, with its leader no longer than a search could have
// found, and the box itself clear of the boxes kept so far and of the points (neither widened, so
// that a turn of the view that only narrows the gaps between boxes moves none). Asked to glide, a
// box that overlaps boxes kept so far or covers points shifts sideways or up or down, just off
// them all, where that takes no more than GLIDE_STEPS and leaves it clear; the shortest such
// shift wins.
bool BoxLayout::keepable(int i, bool glide, QRectF *place) const
{
    const Item &item = m_items[size_t(i)];
    const double most = GLIDE_STEPS * item.step;
    const QRectF last = clamped(item.previous);
    // A box over its own point, as every box is before its first layout, is turned down before
    // the grids are asked.
    if (std::abs(last.x() - item.previous.x()) > most || std::abs(last.y() - item.previous.y()) > most
        || !mayStayAt(i, last))
        return false;
    if (!glide) {
        *place = last;
        return isClearOfBoxes(i, last);
    }
    // The bounds of what the box overlaps or covers.
    double left = INF, top = INF, right = -INF, bottom = -INF;
    const auto block = [&](const QRectF &r) {
        left = std::min(left, r.left());
        top = std::min(top, r.top());
        right = std::max(right, r.right());
        bottom = std::max(bottom, r.bottom());
    };
    m_rects.visit(last, [&](const QRectF &r, int owner) {
        const QRectF box = boxOf(r, owner);
        if (owner != i && overlaps(last, box))
            block(box);
        return true;
    });
    m_points.visit(last, [&](const QRectF &r, int) {
        if (strictlyInside(r.topLeft(), last))
            block(r);
        return true;
    });
    const QPointF shifts[] = { { left - last.right(), 0.0 }, { right - last.left(), 0.0 },
        { 0.0, top - last.bottom() }, { 0.0, bottom - last.top() } };
    double shortest = INF;
    for (const QPointF &shift : shifts) {
        const double length = std::abs(shift.x()) + std::abs(shift.y());
        const QRectF moved = last.translated(shift);
        if (length < shortest && length <= most && mayStayAt(i, moved) && isClearOfBoxes(i, moved)) {
            shortest = length;
            *place = moved;
        }
    }
    return shortest < INF;
}

// Whether the box may stay at a place it had: inside the area, off its own point, with a leader
// no longer than a search could have found.
bool BoxLayout::mayStayAt(int i, const QRectF &place) const
{
    const Item &item = m_items[size_t(i)];
    if (!contains(m_scene.area, place, 1e-9) || (item.hasPoint && strictlyInside(item.target, place)))
        return false;
    const double edge = (m_scene.marginFactor - 1.0) / 2.0 * std::max(item.size.width(), item.size.height());
    return leaderLength(i, place) <= std::numbers::sqrt2 * (lastGap(i) + edge);
}

} // namespace Vaq::Fig2
