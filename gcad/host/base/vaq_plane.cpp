#include "gcad/host/base/vaq_plane.h"

namespace Vaq {

Plane3d::Plane3d(const BaVec3d<double> &point, const BaVec3d<double> &normal)
    : m_point(point)
    , m_normal(normal.normalized())
{
}

void Plane3d::getEquation(double equation[4]) const
{
    equation[0] = m_normal.x;
    equation[1] = m_normal.y;
    equation[2] = m_normal.z;
    equation[3] = -m_normal.dot(m_point);
}

} // namespace Vaq
