// BoxGeometry: the tests on rectangles and segments that the label layout makes for every
// candidate place (overlaps, points covered, leaders and their crossings), inline because they
// run in its innermost loops.
#pragma once

#include <QLineF>
#include <QPointF>
#include <QRectF>

#include <algorithm>

namespace Vaq::Fig2::BoxGeometry {

// Twice the signed area of the triangle o, a, b: positive when b lies left of o to a.
inline double turn(const QPointF &o, const QPointF &a, const QPointF &b)
{
    return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
}

// Whether the rectangles are the same to the last bit (QRectF's == compares within a
// tolerance, at many times the cost).
inline bool sameRect(const QRectF &a, const QRectF &b)
{
    return a.x() == b.x() && a.y() == b.y() && a.width() == b.width() && a.height() == b.height();
}

// Overlap of the insides; rectangles that only touch do not overlap.
inline bool overlaps(const QRectF &a, const QRectF &b)
{
    return a.left() < b.right() && b.left() < a.right() && a.top() < b.bottom() && b.top() < a.bottom();
}

// The area of that overlap, 0 without one.
inline double overlapArea(const QRectF &a, const QRectF &b)
{
    const double w = std::min(a.right(), b.right()) - std::max(a.left(), b.left());
    const double h = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top());
    return w > 0.0 && h > 0.0 ? w * h : 0.0;
}

// Overlap or contact: the bounds of a level segment have no inside but may touch.
inline bool touches(const QRectF &a, const QRectF &b)
{
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() && b.top() <= a.bottom();
}

inline bool strictlyInside(const QPointF &p, const QRectF &r)
{
    return r.left() < p.x() && p.x() < r.right() && r.top() < p.y() && p.y() < r.bottom();
}

// Whether inner lies inside outer, up to the tolerance.
inline bool contains(const QRectF &outer, const QRectF &inner, double tolerance)
{
    return inner.left() >= outer.left() - tolerance && inner.right() <= outer.right() + tolerance
        && inner.top() >= outer.top() - tolerance && inner.bottom() <= outer.bottom() + tolerance;
}

// The box grown by factor around its centre.
inline QRectF widened(const QRectF &box, double factor)
{
    const double dx = box.width() * (factor - 1.0) / 2.0, dy = box.height() * (factor - 1.0) / 2.0;
    return box.adjusted(-dx, -dy, dx, dy);
}

inline QRectF boundsOf(const QLineF &line)
{
    return QRectF(line.p1(), line.p2()).normalized();
}

// The leader from the point of the box's edge nearest to p to p; of length 0 when p lies in
// the box.
inline QLineF leaderOf(const QRectF &box, const QPointF &p)
{
    const QPointF edge(
        std::clamp(p.x(), box.left(), box.right()), std::clamp(p.y(), box.top(), box.bottom()));
    return QLineF(edge, p);
}

// Whether the segments cross at a point inside both; touching ends and collinear overlaps do
// not count, so that two leaders to the same point do not cross.
inline bool segmentsCross(const QLineF &a, const QLineF &b)
{
    const double d1 = turn(b.p1(), b.p2(), a.p1()), d2 = turn(b.p1(), b.p2(), a.p2());
    const double d3 = turn(a.p1(), a.p2(), b.p1()), d4 = turn(a.p1(), a.p2(), b.p2());
    return ((d1 < 0.0 && d2 > 0.0) || (d1 > 0.0 && d2 < 0.0))
        && ((d3 < 0.0 && d4 > 0.0) || (d3 > 0.0 && d4 < 0.0));
}

// Whether a piece of the segment runs through the inside of the rectangle; running along an
// edge or touching a corner does not count (Liang-Barsky clipping).
inline bool segmentEnters(const QLineF &s, const QRectF &r)
{
    const double p[4] = { -s.dx(), s.dx(), -s.dy(), s.dy() };
    const double q[4] = { s.x1() - r.left(), r.right() - s.x1(), s.y1() - r.top(), r.bottom() - s.y1() };
    double t0 = 0.0, t1 = 1.0;
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0.0) {
            if (q[k] <= 0.0)
                return false;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 >= t1)
            return false;
    }
    return true;
}

} // namespace Vaq::Fig2::BoxGeometry
