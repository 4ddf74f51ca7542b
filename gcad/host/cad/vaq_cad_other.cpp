#include "gcad/host/cad/vaq_cad_other.h"

namespace Vaq::CAD {

using C = ElementCreator;

ScaleBar::ScaleBar(const BaVec3d<double> &p0, const BaVec3d<double> &p1)
    : DrawnElement(C::SCALE_BAR, { C::SCALE_BAR }, "Vaq::CAD::ScaleBar::ScaleBar")
    , m_points { p0, p1 }
{
}

void ScaleBar::extendBox(Box3d &box) const
{
    extend(box, m_points[0]);
    extend(box, m_points[1]);
}

Camera::Camera(const BaVec3d<double> &prjCenter, const BaVec3d<double> &angles)
    : DrawnElement(C::CAMERA, { C::CAMERA }, "Vaq::CAD::Camera::Camera")
    , m_prj_center(prjCenter)
    , m_angles(angles)
{
}

Transformation Camera::getTransformation() const
{
    return Transformation::translation(m_prj_center) * Transformation::rotation({ 0, 0, 1 }, m_angles.z)
        * Transformation::rotation({ 0, 1, 0 }, m_angles.y)
        * Transformation::rotation({ 1, 0, 0 }, m_angles.x);
}

double Camera::getAvgPointDistance() const
{
    if (m_object_points.empty())
        return 1.0;
    double sum = 0.0;
    for (const BaVec3d<double> &p : m_object_points)
        sum += p.length();
    return sum / double(m_object_points.size());
}

void Camera::extendBox(Box3d &box) const
{
    extend(box, m_prj_center);
    const Transformation toModel = getTransformation();
    for (const BaVec3d<double> &p : m_object_points)
        extend(box, toModel.transform(p));
}

PolySurface::PolySurface(std::vector<std::vector<BaVec3d<double>>> polygons)
    : DrawnElement(C::POLY_SURFACE, { C::POLY_SURFACE }, "Vaq::CAD::PolySurface::PolySurface")
    , m_polygons(std::move(polygons))
{
}

void PolySurface::tesselate()
{
    m_vertices.clear();
    m_triangles.clear();
    m_normals.clear();
    for (const auto &polygon : m_polygons) {
        const auto first = unsigned(m_vertices.size());
        m_vertices.insert(m_vertices.end(), polygon.begin(), polygon.end());
        for (unsigned i = 2; i < polygon.size(); ++i) {
            m_triangles.push_back({ { first, first + i - 1, first + i } });
            const BaVec3d<double> n
                = (polygon[i - 1] - polygon[0]).cross(polygon[i] - polygon[0]).normalized();
            m_normals.emplace_back(float(n.x), float(n.y), float(n.z));
        }
    }
}

void PolySurface::extendBox(Box3d &box) const
{
    for (const auto &polygon : m_polygons) {
        for (const BaVec3d<double> &p : polygon)
            extend(box, p);
    }
}

LabelPoint::LabelPoint(ElementCreator::Element_t type, const BaVec3d<double> &point)
    : DrawnElement(type,
        { C::LABEL, C::LABEL_POINT, C::LABEL_DEVIATION, C::LABEL_NOTE, C::LABEL_MEASUREMENT },
        "Vaq::CAD::LabelPoint::LabelPoint")
    , m_point(point)
{
}

void LabelPoint::extendBox(Box3d &box) const
{
    extend(box, m_point);
}

CuttingEdge::CuttingEdge(const BaVec3d<double> &position, const BaVec3d<double> &direction,
    const BaVec3d<double> &normal, double length, double width)
    : DrawnElement(C::CUTTING_EDGE, { C::CUTTING_EDGE }, "Vaq::CAD::CuttingEdge::CuttingEdge")
    , m_position(position)
    , m_direction(direction)
    , m_normal(normal)
    , m_length(length)
    , m_width(width)
{
}

void CuttingEdge::extendBox(Box3d &box) const
{
    const BaVec3d<double> half = m_direction.normalized() * (m_length / 2.0);
    extend(box, m_position - half);
    extend(box, m_position + half);
}

CoordSystem::CoordSystem(const BaVec3d<double> &origin, const BaVec3d<double> &x, const BaVec3d<double> &y,
    const BaVec3d<double> &z)
    : DrawnElement(C::COORDINATE_SYSTEM, { C::COORDINATE_SYSTEM }, "Vaq::CAD::CoordSystem::CoordSystem")
    , m_origin(origin)
    , m_axes { x, y, z }
{
}

void CoordSystem::extendBox(Box3d &box) const
{
    extend(box, m_origin);
    for (const BaVec3d<double> &axis : m_axes)
        extend(box, m_origin + axis);
}

} // namespace Vaq::CAD
