// Line3d: an infinite line through a point along a unit direction. Views unproject a pixel
// into one; measurements drop perpendiculars onto them.
#pragma once

#include "gcad/host/base/vaq_vec.h"

namespace Vaq {

class Line3d
{
public:
    Line3d() = default;
    // The direction is normalised; a zero direction gives a degenerate line.
    Line3d(const BaVec3d<double> &point, const BaVec3d<double> &direction);

    // The line from a to b; false (and the line unchanged) when the points coincide.
    bool createFromPoints(const BaVec3d<double> &a, const BaVec3d<double> &b);

    const BaVec3d<double> &getPoint() const { return m_point; }
    const BaVec3d<double> &getDirection() const { return m_direction; }

    // The point at parameter t (distance from getPoint along the direction).
    BaVec3d<double> pointAt(double t) const { return m_point + m_direction * t; }
    // Foot of the perpendicular from p onto the line.
    BaVec3d<double> perpend(const BaVec3d<double> &p) const;
    double distance(const BaVec3d<double> &p) const;
    // Intersection with another line: the midpoint of the shortest connection, if it is
    // shorter than tolerance. False for parallel lines or lines that pass each other.
    bool intersect(const Line3d &other, BaVec3d<double> *point, double tolerance = 1e-9) const;

private:
    BaVec3d<double> m_point;
    BaVec3d<double> m_direction{0.0, 0.0, 1.0};
};

} // namespace Vaq
