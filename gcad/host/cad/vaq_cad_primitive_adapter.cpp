#include "gcad/host/cad/vaq_cad_primitive_adapter.h"

#include "gcad/host/cad/vaq_cad_primitive_solid.h"

#include <cmath>

namespace Vaq::CAD {

AdapterEdge::AdapterEdge(const BaVec3d<double> &point, const BaVec3d<double> &direction,
    const BaVec3d<double> &normal, double length, double offset)
    : Primitive(
        ElementCreator::ADAPTER_EDGE, { ElementCreator::ADAPTER_EDGE }, "Vaq::CAD::AdapterEdge::AdapterEdge")
    , m_point(point)
    , m_direction(direction)
    , m_normal(normal)
    , m_length(length)
    , m_offset(offset)
{
}

bool AdapterEdge::getData(BaVec3d<double> *point, BaVec3d<double> *direction, BaVec3d<double> *normal) const
{
    if (!isPoint(m_point) || !isDirection(m_direction) || !isPoint(m_normal))
        return false;
    const BaVec3d<double> d = m_direction.normalized();
    const BaVec3d<double> n = m_normal - d * m_normal.dot(d);
    if (!isDirection(n))
        return false;
    *point = m_point;
    *direction = d;
    *normal = n.normalized();
    return true;
}

void AdapterEdge::getSizes(double *length, double *offset) const
{
    *length = std::isfinite(m_length) ? std::abs(m_length) : 0.0;
    *offset = std::isfinite(m_offset) ? m_offset : 0.0;
}

Box3d AdapterEdge::geometryBox() const
{
    BaVec3d<double> point, direction, normal;
    Box3d box;
    if (getData(&point, &direction, &normal)) {
        double length = 0.0, offset = 0.0;
        getSizes(&length, &offset);
        box.extend(point - direction * (0.5 * length));
        box.extend(point + direction * (0.5 * length));
        box.extend(point + normal * offset);
    }
    return box;
}

AdapterCylinder2::AdapterCylinder2(const Cylinder3d &cylinder)
    : Primitive(ElementCreator::ADAPTER_CYLINDER, { ElementCreator::ADAPTER_CYLINDER },
        "Vaq::CAD::AdapterCylinder2::AdapterCylinder2")
    , m_cylinder(cylinder)
{
}

bool AdapterCylinder2::getData(Cylinder3d *cylinder) const
{
    *cylinder = m_cylinder;
    return isDrawable(m_cylinder);
}

Box3d AdapterCylinder2::geometryBox() const
{
    return boxOf(m_cylinder);
}

AdapterSphere2::AdapterSphere2(const Sphere3d &sphere, const BaVec3d<double> &direction, double standLength)
    : Primitive(ElementCreator::ADAPTER_SPHERE, { ElementCreator::ADAPTER_SPHERE },
        "Vaq::CAD::AdapterSphere2::AdapterSphere2")
    , m_sphere(sphere)
    , m_direction(direction)
    , m_stand_length(standLength)
{
}

bool AdapterSphere2::getData(Sphere3d *sphere, Cone3d *stand) const
{
    if (!isDrawable(m_sphere) || !isDirection(m_direction) || !isLength(m_stand_length))
        return false;
    const BaVec3d<double> &centre = m_sphere.getCenter();
    const double r = m_sphere.getRadius();
    *sphere = m_sphere;
    *stand = Cone3d(centre, 0.5 * r, centre + m_direction.normalized() * m_stand_length, r);
    return true;
}

Box3d AdapterSphere2::geometryBox() const
{
    Sphere3d sphere;
    Cone3d stand;
    Box3d box;
    if (getData(&sphere, &stand)) {
        const BaVec3d<double> r(sphere.getRadius(), sphere.getRadius(), sphere.getRadius());
        box.extend(Box3d(sphere.getCenter() - r, sphere.getCenter() + r));
        box.extend(circleBox(stand.getPoint2(), stand.getPoint2() - stand.getPoint1(), stand.getRadius2()));
    }
    return box;
}

} // namespace Vaq::CAD
