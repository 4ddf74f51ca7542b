#include "gcad/host/base/vaq_paraboloid.h"

#include <cmath>

namespace Vaq {

double Paraboloid3d::getRimRadius() const
{
    return std::sqrt(4.0 * m_focal_length * m_height);
}

bool Paraboloid3d::isValid() const
{
    return std::isfinite(m_focal_length) && std::isfinite(m_height) && m_focal_length > 0.0 && m_height > 0.0;
}

void Paraboloid3d::compute(double r, double angle, BaVec3d<double> *point, BaVec3d<double> *normal) const
{
    const double c = std::cos(angle), s = std::sin(angle);
    *point = BaVec3d<double>(r * c, r * s, r * r / (4.0 * m_focal_length));
    // The gradient of (x^2 + y^2) / 4f - z, which points out of the bowl.
    *normal
        = BaVec3d<double>(r * c / (2.0 * m_focal_length), r * s / (2.0 * m_focal_length), -1.0).normalized();
}

} // namespace Vaq
