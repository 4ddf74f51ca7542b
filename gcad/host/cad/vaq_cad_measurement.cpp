#include "gcad/host/cad/vaq_cad_measurement.h"

#include <algorithm>
#include <cmath>

namespace Vaq::CAD {

FeatureMeasurement::FeatureMeasurement(ElementCreator::Element_t type)
    : DrawnElement(type,
        { ElementCreator::POINT_MEASUREMENT, ElementCreator::LINE_MEASUREMENT,
            ElementCreator::POINT_LINE_MEASUREMENT, ElementCreator::POINT_PLANE_MEASUREMENT },
        "Vaq::CAD::FeatureMeasurement::FeatureMeasurement")
{
}

Line3d FeatureMeasurement::getMeasuredLine() const
{
    return Line3d(m_line_start, m_line_end - m_line_start);
}

void FeatureMeasurement::setMeasuredLine(const BaVec3d<double> &start, const BaVec3d<double> &end)
{
    m_line_start = start;
    m_line_end = end;
    m_line_valid = (end - start).length() > 0.0;
}

void FeatureMeasurement::setMeasuredPlane(const Plane3d &plane, std::vector<BaVec3d<double>> points)
{
    m_plane = plane;
    m_plane_points = std::move(points);
    m_plane_valid = plane.getNormal().length() > 0.0;
}

void FeatureMeasurement::extendBox(Box3d &box) const
{
    if (m_point)
        extend(box, *m_point);
    if (m_line_valid) {
        extend(box, m_line_start);
        extend(box, m_line_end);
    }
    for (const BaVec3d<double> &p : m_plane_points)
        extend(box, p);
}

AngleMeasurement::AngleMeasurement(ElementCreator::Element_t type, const BaVec3d<double> &apex,
    const BaVec3d<double> &direction1, const BaVec3d<double> &direction2)
    : DrawnElement(type,
        { ElementCreator::ANGLE, ElementCreator::ANGLE_MEASUREMENT, ElementCreator::PMP_ANGLE_CHANGE },
        "Vaq::CAD::AngleMeasurement::AngleMeasurement")
    , m_apex(apex)
    , m_direction1(direction1)
    , m_direction2(direction2)
{
}

double AngleMeasurement::getAngle() const
{
    const double l1 = m_direction1.length(), l2 = m_direction2.length();
    if (!(l1 > 0.0) || !(l2 > 0.0))
        return 0.0;
    return std::acos(std::clamp(m_direction1.dot(m_direction2) / (l1 * l2), -1.0, 1.0));
}

const std::optional<std::pair<BaVec3d<double>, BaVec3d<double>>> &AngleMeasurement::getLine(int index) const
{
    return m_lines[index == 0 ? 0 : 1];
}

void AngleMeasurement::setLine(int index, const BaVec3d<double> &start, const BaVec3d<double> &end)
{
    m_lines[index == 0 ? 0 : 1] = std::make_pair(start, end);
}

void AngleMeasurement::extendBox(Box3d &box) const
{
    extend(box, m_apex);
    extend(box, m_apex + m_direction1.normalized() * m_leg_length);
    extend(box, m_apex + m_direction2.normalized() * m_leg_length);
    for (const auto &line : m_lines) {
        if (line) {
            extend(box, line->first);
            extend(box, line->second);
        }
    }
}

SixDofMeasurement::SixDofMeasurement(ElementCreator::Element_t type, const BaVec3d<double> &origin,
    const BaVec3d<double> &x, const BaVec3d<double> &y, const BaVec3d<double> &z, double drawSize)
    : DrawnElement(type, { ElementCreator::SIX_DOF_MEASUREMENT, ElementCreator::SIX_DOF_TRACKING },
        "Vaq::CAD::SixDofMeasurement::SixDofMeasurement")
    , m_origin(origin)
    , m_axes { x, y, z }
    , m_draw_size(drawSize)
{
}

void SixDofMeasurement::extendBox(Box3d &box) const
{
    extend(box, m_origin);
    for (int i = 0; i < 3; ++i)
        extend(box, m_origin + getAxis(i) * m_draw_size);
}

} // namespace Vaq::CAD
