// Label box distribution (see the header).
#include "gcad/host/fig2/vaq_fig2_box_distributor.h"

#include "gcad/host/fig2/vaq_fig2_legend.h"

#include <algorithm>

namespace Vaq::Fig2 {

bool BoxDistributor::legendAtBorder(const QSizeF &viewSize, const Legend &legend, bool horizontal,
    bool maximized, double marginFactor, Side_t *side, double *distance)
{
    const QRectF r = legend.getCoveredRect();
    if (r.isEmpty())
        return false;
    // Gaps to the two edges along the legend's long side, and how close counts as touching.
    const double before = horizontal ? r.top() : r.left();
    const double after = horizontal ? viewSize.height() - r.bottom() : viewSize.width() - r.right();
    const double depth = horizontal ? r.height() : r.width();
    const double slack = std::max(0.0, marginFactor - 1.0) * depth;
    const bool nearBefore = before <= after;
    const double gap = nearBefore ? before : after;
    if (!maximized && gap > slack)
        return false;
    if (side)
        *side = horizontal ? (nearBefore ? SIDE_TOP : SIDE_BOTTOM) : (nearBefore ? SIDE_LEFT : SIDE_RIGHT);
    if (distance)
        *distance = std::max(0.0, gap) + depth;
    return true;
}

} // namespace Vaq::Fig2
