// The plain geometry of label layouts that the benchmark's baselines and its quality measures
// share: when two boxes overlap, when a box hides a point, a box's leader, its length, when two
// leaders cross and when a leader runs through a box. Touching is never overlapping or crossing.
#pragma once

#include <QLineF>
#include <QPointF>
#include <QRectF>

#include <algorithm>
#include <cmath>

namespace Vaq::Bench {

inline bool interiorsOverlap(const QRectF &a, const QRectF &b)
{
    return a.left() < b.right() && b.left() < a.right() && a.top() < b.bottom() && b.top() < a.bottom();
}

inline bool strictlyInside(const QPointF &p, const QRectF &r)
{
    return r.left() < p.x() && p.x() < r.right() && r.top() < p.y() && p.y() < r.bottom();
}

// From the point of the box's edge nearest to p to p, as a figure label draws its connector;
// of length 0 when p lies in the box.
inline QLineF leaderOf(const QRectF &box, const QPointF &p)
{
    return QLineF(
        QPointF(std::clamp(p.x(), box.left(), box.right()), std::clamp(p.y(), box.top(), box.bottom())), p);
}

// QLineF::length calls hypot, which is many times slower and gains nothing here.
inline double lengthOf(const QLineF &line)
{
    return std::sqrt(line.dx() * line.dx() + line.dy() * line.dy());
}

// Whether the segments cross at a point inside both: leaders that share or touch an end (two
// labels of one point) or run along each other do not cross.
inline bool leadersCross(const QLineF &a, const QLineF &b)
{
    const auto turn = [](const QPointF &o, const QPointF &p, const QPointF &q) {
        return (p.x() - o.x()) * (q.y() - o.y()) - (p.y() - o.y()) * (q.x() - o.x());
    };
    const double d1 = turn(b.p1(), b.p2(), a.p1()), d2 = turn(b.p1(), b.p2(), a.p2());
    const double d3 = turn(a.p1(), a.p2(), b.p1()), d4 = turn(a.p1(), a.p2(), b.p2());
    return ((d1 < 0.0 && d2 > 0.0) || (d1 > 0.0 && d2 < 0.0))
        && ((d3 < 0.0 && d4 > 0.0) || (d3 > 0.0 && d4 < 0.0));
}

// Whether the leader passes through the box's interior, not only along or at its edge (the
// segment clipped to the box keeps a length).
inline bool leaderEntersBox(const QLineF &leader, const QRectF &box)
{
    double first = 0.0, last = 1.0;
    // Keeps the part of the segment where p t <= q.
    const auto clip = [&](double p, double q) {
        if (p == 0.0)
            return q > 0.0;
        if (p < 0.0)
            first = std::max(first, q / p);
        else
            last = std::min(last, q / p);
        return true;
    };
    const double dx = leader.dx(), dy = leader.dy();
    return clip(-dx, leader.x1() - box.left()) && clip(dx, box.right() - leader.x1())
        && clip(-dy, leader.y1() - box.top()) && clip(dy, box.bottom() - leader.y1()) && first < last;
}

} // namespace Vaq::Bench
