#include "gcad/host/base/vaq_box.h"

#include <algorithm>
#include <limits>

namespace Vaq {

Box3d::Box3d()
    : m_min(std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
            std::numeric_limits<double>::max())
    , m_max(std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest(),
            std::numeric_limits<double>::lowest())
{
}

Box3d::Box3d(const BaVec3d<double> &min, const BaVec3d<double> &max)
    : m_min(min)
    , m_max(max)
{
}

bool Box3d::isEmpty() const
{
    return m_min.x > m_max.x || m_min.y > m_max.y || m_min.z > m_max.z;
}

void Box3d::extend(const BaVec3d<double> &point)
{
    for (int i = 0; i < 3; ++i) {
        m_min[i] = std::min(m_min[i], point[i]);
        m_max[i] = std::max(m_max[i], point[i]);
    }
}

void Box3d::extend(const Box3d &box)
{
    if (box.isEmpty())
        return;
    extend(box.m_min);
    extend(box.m_max);
}

BaVec3d<double> Box3d::getCenter() const
{
    return (m_min + m_max) * 0.5;
}

BaVec3d<double> Box3d::getSize() const
{
    return isEmpty() ? BaVec3d<double>() : m_max - m_min;
}

bool Box3d::contains(const BaVec3d<double> &p) const
{
    for (int i = 0; i < 3; ++i)
        if (p[i] < m_min[i] || p[i] > m_max[i])
            return false;
    return true;
}

std::array<BaVec3d<double>, 8> Box3d::getCorners() const
{
    std::array<BaVec3d<double>, 8> corners;
    for (int i = 0; i < 8; ++i)
        corners[i] = {(i & 1) ? m_max.x : m_min.x, (i & 2) ? m_max.y : m_min.y, (i & 4) ? m_max.z : m_min.z};
    return corners;
}

} // namespace Vaq
