// Plane3d: a plane through a point with a unit normal; clipping planes and measured planes.
#pragma once

#include "gcad/host/base/vaq_vec.h"

namespace Vaq {

class Plane3d
{
public:
    Plane3d() = default;
    // The normal is normalised.
    Plane3d(const BaVec3d<double> &point, const BaVec3d<double> &normal);

    const BaVec3d<double> &getPoint() const { return m_point; }
    const BaVec3d<double> &getNormal() const { return m_normal; }

    // Signed distance, positive on the side the normal points to.
    double distance(const BaVec3d<double> &p) const { return (p - m_point).dot(m_normal); }
    // Foot of the perpendicular from p onto the plane.
    BaVec3d<double> perpend(const BaVec3d<double> &p) const { return p - m_normal * distance(p); }
    // The coefficients (a, b, c, d) of a x + b y + c z + d = 0, as glClipPlane takes them.
    void getEquation(double equation[4]) const;

private:
    BaVec3d<double> m_point;
    BaVec3d<double> m_normal{0.0, 0.0, 1.0};
};

} // namespace Vaq
