#include "gcad/host/base/vaq_shapes.h"

#include "gcad/host/base/vaq_transformation.h"

#include <cmath>

namespace Vaq {

RegularPolygon3d::RegularPolygon3d(const BaVec3d<double> &center, const BaVec3d<double> &normal,
    const BaVec3d<double> &firstCorner, unsigned count)
    : m_center(center)
    , m_normal(normal)
{
    m_points.reserve(count);
    for (unsigned i = 0; i < count; ++i)
        m_points.push_back(
            Transformation::computeTransformationRotateAxis(center, normal, -2.0 * M_PI * i / count)
                .transform(firstCorner));
}

bool RegularPolygon3d::isValid() const
{
    return m_points.size() >= 3 && m_normal.length() > 0.0 && (m_points.front() - m_center).length() > 0.0;
}

} // namespace Vaq
