#include "gcad/host/cad/vaq_cad_dist_pull_out.h"

namespace Vaq::CAD {

namespace {

// Shorter vectors count as no direction at all.
constexpr double MIN_LENGTH = 1e-12;

} // namespace

void DistPullOut::pullTo(const BaVec3d<double> &point)
{
    m_point = point;
    m_pulled_out = true;
}

DistPullOut::Segment DistPullOut::getMainLine(const BaVec3d<double> &p1, const BaVec3d<double> &p2) const
{
    return getKinkPoints(p1, p2);
}

DistPullOut::Segment DistPullOut::getKinkPoints(const BaVec3d<double> &p1, const BaVec3d<double> &p2) const
{
    if (!m_pulled_out)
        return { p1, p2 };
    BaVec3d<double> offset = m_point - p1;
    const BaVec3d<double> along = p2 - p1;
    const double length = along.length();
    if (length > MIN_LENGTH) {
        const BaVec3d<double> unit = along / length;
        offset -= unit * offset.dot(unit);
    }
    return { p1 + offset, p2 + offset };
}

DistPullOut::Segment DistPullOut::getKinkPointsByDir(
    const BaVec3d<double> &p1, const BaVec3d<double> &p2, const BaVec3d<double> &direction) const
{
    const double length = direction.length();
    if (!m_pulled_out || !(length > MIN_LENGTH))
        return { p1, p2 };
    const BaVec3d<double> unit = direction / length;
    const BaVec3d<double> offset = unit * (m_point - p1).dot(unit);
    return { p1 + offset, p2 + offset };
}

} // namespace Vaq::CAD
