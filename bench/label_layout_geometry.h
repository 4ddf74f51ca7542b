// The plain geometry of label layouts that the benchmark's baselines and its quality measures
// share: when two boxes overlap, when a box hides a point, a box's leader, its length and when two
// leaders cross. Touching is never overlapping or crossing.
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

} // namespace Vaq::Bench
