// Label box distribution: gathers the obstacles and labels of one frame as plain rectangles,
// points and segments for placeBoxes (vaq_fig2_box_placement.cpp, where the algorithm and its
// cost are described) and moves the labels to the boxes it returns.
#include "gcad/host/fig2/vaq_fig2_box_distributor.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "gcad/host/fig2/vaq_fig2_legend.h"

#include <algorithm>
#include <cmath>

namespace Vaq::Fig2 {

namespace {

bool isFinite(const QRectF &r)
{
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width())
        && std::isfinite(r.height());
}

bool isFinite(const QPointF &p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

} // namespace

BoxDistributor::BoxDistributor(const QSizeF &viewSize, double marginFactor, double fillFactor)
    : m_view_size(viewSize)
{
    if (!(std::isfinite(viewSize.width()) && std::isfinite(viewSize.height()) && viewSize.width() >= 0.0
            && viewSize.height() >= 0.0))
        VAQ_PROG_ERROR(
            "Vaq::Fig2::BoxDistributor::BoxDistributor", "view size must be finite and not negative");
    if (!(std::isfinite(marginFactor) && marginFactor >= 1.0))
        VAQ_PROG_ERROR("Vaq::Fig2::BoxDistributor::BoxDistributor", "margin factor must be at least 1");
    if (!(fillFactor > 0.0 && fillFactor <= 1.0))
        VAQ_PROG_ERROR("Vaq::Fig2::BoxDistributor::BoxDistributor", "fill factor must lie in (0, 1]");
    m_scene.marginFactor = marginFactor;
    m_scene.fillFactor = fillFactor;
}

void BoxDistributor::moveSide(Side_t side, double distance)
{
    if (side == SIDE_NONE)
        return;
    if (side < SIDE_TOP || side > SIDE_RIGHT)
        VAQ_PROG_ERROR("Vaq::Fig2::BoxDistributor::moveSide", "unknown side");
    if (!(std::isfinite(distance) && distance >= 0.0))
        VAQ_PROG_ERROR("Vaq::Fig2::BoxDistributor::moveSide", "strip depth must be finite and not negative");
    m_strips[side] = std::max(m_strips[side], distance);
}

void BoxDistributor::addFixedBox(const QRectF &box)
{
    if (!isFinite(box))
        VAQ_PROG_ERROR("Vaq::Fig2::BoxDistributor::addFixedBox", "fixed box is not finite");
    const QRectF r = box.normalized();
    if (r.width() > 0.0 && r.height() > 0.0)
        m_scene.obstacles.push_back(r);
}

void BoxDistributor::addFixedBox(const Element *element)
{
    if (!element)
        VAQ_PROG_ERROR("Vaq::Fig2::BoxDistributor::addFixedBox", "no element");
    if (!element->isTemporarilyInvisible())
        addFixedBox(element->getCoveredRect());
}

void BoxDistributor::addFixedTextBox(const LabelBase *label)
{
    if (!label)
        VAQ_PROG_ERROR("Vaq::Fig2::BoxDistributor::addFixedTextBox", "no label");
    if (label->isTemporarilyInvisible())
        return;
    addFixedBox(label->getBoxRect());
    if (!label->hasConnectorPoint() || !isFinite(label->getConnectorPoint()))
        return;
    m_scene.points.push_back(label->getConnectorPoint());
    const QLineF connector = label->getConnector();
    if (!connector.isNull())
        m_scene.leaders.push_back(connector);
}

void BoxDistributor::addTextBox(LabelBase *label)
{
    if (!label)
        VAQ_PROG_ERROR("Vaq::Fig2::BoxDistributor::addTextBox", "no label");
    m_labels.push_back(label);
}

void BoxDistributor::distribute(const QPointF &centre)
{
    if (!isFinite(centre))
        VAQ_PROG_ERROR("Vaq::Fig2::BoxDistributor::distribute", "centre is not finite");
    place(BOX_DISTRIBUTE, centre);
}

void BoxDistributor::placeAtElement()
{
    place(BOX_NEAR_POINT, QPointF());
}

void BoxDistributor::place(BoxMode_t mode, const QPointF &centre)
{
    std::vector<BoxToPlace> boxes;
    boxes.reserve(m_labels.size());
    for (const LabelBase *label : m_labels) {
        BoxToPlace b;
        b.box = label->getBoxRect();
        if (!isFinite(b.box))
            VAQ_PROG_ERROR(mode == BOX_DISTRIBUTE ? "Vaq::Fig2::BoxDistributor::distribute"
                                                  : "Vaq::Fig2::BoxDistributor::placeAtElement",
                "label box is not finite");
        // A point the view cannot show (projected to infinity) counts as none.
        b.hasPoint = label->hasConnectorPoint() && isFinite(label->getConnectorPoint());
        if (b.hasPoint)
            b.point = label->getConnectorPoint();
        boxes.push_back(b);
    }
    const double w = m_view_size.width(), h = m_view_size.height();
    m_scene.area = QRectF(QPointF(m_strips[SIDE_LEFT], m_strips[SIDE_TOP]),
        QPointF(w - m_strips[SIDE_RIGHT], h - m_strips[SIDE_BOTTOM]));
    const std::vector<QRectF> placed = placeBoxes(m_scene, boxes, mode, centre);
    for (size_t i = 0; i < m_labels.size(); ++i) {
        const QPointF shift = placed[i].topLeft() - boxes[i].box.topLeft();
        if (shift.isNull())
            continue;
        m_labels[i]->move(shift.x(), shift.y());
        m_labels[i]->update();
    }
}

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
