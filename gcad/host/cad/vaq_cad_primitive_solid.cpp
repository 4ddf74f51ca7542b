#include "gcad/host/cad/vaq_cad_primitive_solid.h"

#include <cmath>

namespace Vaq::CAD {

bool isDrawable(const Sphere3d &sphere)
{
    return Primitive::isPoint(sphere.getCenter()) && Primitive::isLength(sphere.getRadius());
}

bool isDrawable(const Cylinder3d &cylinder)
{
    return Primitive::isPoint(cylinder.getCenter()) && Primitive::isDirection(cylinder.getAxis())
        && Primitive::isLength(cylinder.getRadius()) && Primitive::isLength(cylinder.getLength());
}

bool isDrawable(const Cone3d &cone)
{
    const double r1 = cone.getRadius1(), r2 = cone.getRadius2();
    return Primitive::isPoint(cone.getPoint1()) && Primitive::isDirection(cone.getPoint2() - cone.getPoint1())
        && std::isfinite(r1) && std::isfinite(r2) && r1 >= 0.0 && r2 >= 0.0 && r1 + r2 > 0.0;
}

Box3d boxOf(const Cylinder3d &cylinder)
{
    if (!isDrawable(cylinder))
        return Box3d();
    const BaVec3d<double> half = cylinder.getAxis().normalized() * (0.5 * cylinder.getLength());
    Box3d box = Primitive::circleBox(cylinder.getCenter() - half, cylinder.getAxis(), cylinder.getRadius());
    box.extend(Primitive::circleBox(cylinder.getCenter() + half, cylinder.getAxis(), cylinder.getRadius()));
    return box;
}

SphereBase::SphereBase(const Sphere3d &sphere, ElementCreator::Element_t type)
    : Primitive(type,
        { ElementCreator::SPHERE, ElementCreator::NOMINAL_SPHERE, ElementCreator::REFERENCE_SPHERE,
            ElementCreator::TOOLING_BALL },
        "Vaq::CAD::SphereBase::SphereBase")
    , m_sphere(sphere)
{
}

bool SphereBase::getSphere(Sphere3d *sphere) const
{
    *sphere = m_sphere;
    return isDrawable(m_sphere);
}

Box3d SphereBase::geometryBox() const
{
    if (!isDrawable(m_sphere))
        return Box3d();
    const double r = m_sphere.getRadius();
    return Box3d(
        m_sphere.getCenter() - BaVec3d<double>(r, r, r), m_sphere.getCenter() + BaVec3d<double>(r, r, r));
}

CylinderBase::CylinderBase(const Cylinder3d &cylinder, ElementCreator::Element_t type)
    : Primitive(type, { ElementCreator::CYLINDER, ElementCreator::NOMINAL_CYLINDER, ElementCreator::PIN },
        "Vaq::CAD::CylinderBase::CylinderBase")
    , m_cylinder(cylinder)
{
}

bool CylinderBase::getCylinder(Cylinder3d *cylinder) const
{
    *cylinder = m_cylinder;
    return isDrawable(m_cylinder);
}

Box3d CylinderBase::geometryBox() const
{
    return boxOf(m_cylinder);
}

ConeBase::ConeBase(const Cone3d &cone, ElementCreator::Element_t type)
    : Primitive(type, { ElementCreator::CONE, ElementCreator::NOMINAL_CONE }, "Vaq::CAD::ConeBase::ConeBase")
    , m_cone(cone)
{
}

bool ConeBase::getCone(Cone3d *cone) const
{
    *cone = m_cone;
    return isDrawable(m_cone);
}

Box3d ConeBase::geometryBox() const
{
    if (!isDrawable(m_cone))
        return Box3d();
    const BaVec3d<double> axis = m_cone.getPoint2() - m_cone.getPoint1();
    Box3d box = circleBox(m_cone.getPoint1(), axis, m_cone.getRadius1());
    box.extend(circleBox(m_cone.getPoint2(), axis, m_cone.getRadius2()));
    return box;
}

Paraboloid::Paraboloid(const Paraboloid3d &paraboloid)
    : Primitive(
        ElementCreator::PARABOLOID, { ElementCreator::PARABOLOID }, "Vaq::CAD::Paraboloid::Paraboloid")
    , m_paraboloid(paraboloid)
{
}

bool Paraboloid::getParaboloid(Paraboloid3d *paraboloid) const
{
    Transformation toModel;
    *paraboloid = m_paraboloid;
    return m_paraboloid.isValid() && m_paraboloid.getTransformation().getInverse(&toModel);
}

Box3d Paraboloid::geometryBox() const
{
    Transformation toModel;
    if (!m_paraboloid.isValid() || !m_paraboloid.getTransformation().getInverse(&toModel))
        return Box3d();
    // The vertex and the rim's circle in the own frame, which frame the bowl, taken to the model.
    const double r = m_paraboloid.getRimRadius(), h = m_paraboloid.getHeight();
    return toModel.transformBox(Box3d(BaVec3d<double>(-r, -r, 0.0), BaVec3d<double>(r, r, h)));
}

} // namespace Vaq::CAD
