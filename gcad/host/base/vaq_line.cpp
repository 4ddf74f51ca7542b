#include "gcad/host/base/vaq_line.h"

#include <cmath>

namespace Vaq {

Line3d::Line3d(const BaVec3d<double> &point, const BaVec3d<double> &direction)
    : m_point(point)
    , m_direction(direction.normalized())
{
}

bool Line3d::createFromPoints(const BaVec3d<double> &a, const BaVec3d<double> &b)
{
    if (a == b)
        return false;
    m_point = a;
    m_direction = (b - a).normalized();
    return true;
}

BaVec3d<double> Line3d::perpend(const BaVec3d<double> &p) const
{
    return pointAt((p - m_point).dot(m_direction));
}

double Line3d::distance(const BaVec3d<double> &p) const
{
    return (p - perpend(p)).length();
}

bool Line3d::intersect(const Line3d &other, BaVec3d<double> *point, double tolerance) const
{
    // Closest points of two lines: solve for s, t minimising |p + s d - (q + t e)|.
    const BaVec3d<double> w = m_point - other.m_point;
    const double b = m_direction.dot(other.m_direction);
    const double d = m_direction.dot(w);
    const double e = other.m_direction.dot(w);
    const double denominator = 1.0 - b * b;
    if (std::abs(denominator) < 1e-12)
        return false;
    const double s = (b * e - d) / denominator;
    const double t = (e - b * d) / denominator;
    const BaVec3d<double> a = pointAt(s);
    const BaVec3d<double> c = other.pointAt(t);
    if ((a - c).length() > tolerance)
        return false;
    if (point)
        *point = (a + c) * 0.5;
    return true;
}

} // namespace Vaq
