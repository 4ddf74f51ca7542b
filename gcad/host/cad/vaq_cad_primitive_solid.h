// The solid primitives: SphereBase (spheres, nominal and reference spheres, tooling balls),
// CylinderBase (cylinders, nominal cylinders, pins), ConeBase (cones, nominal cones) and
// Paraboloid. Each hands out its shape of the geometry library.
#pragma once

#include "gcad/host/base/vaq_paraboloid.h"
#include "gcad/host/base/vaq_shapes.h"
#include "gcad/host/cad/vaq_cad_primitive.h"

namespace Vaq::CAD {

class SphereBase : public Primitive
{
public:
    // Types 9, 100, 122 and 126; any other throws ProgError "wrong element type".
    explicit SphereBase(const Sphere3d &sphere, ElementCreator::Element_t type = ElementCreator::SPHERE);

    // False for a centre that is not finite or no radius above zero.
    bool getSphere(Sphere3d *sphere) const;

protected:
    Box3d geometryBox() const override;

private:
    Sphere3d m_sphere;
};

class CylinderBase : public Primitive
{
public:
    // Types 25, 118 and 125; any other throws ProgError "wrong element type".
    explicit CylinderBase(
        const Cylinder3d &cylinder, ElementCreator::Element_t type = ElementCreator::CYLINDER);

    // False for a centre that is not finite, no axis, or no radius or length above zero.
    bool getCylinder(Cylinder3d *cylinder) const;

protected:
    Box3d geometryBox() const override;

private:
    Cylinder3d m_cylinder;
};

class ConeBase : public Primitive
{
public:
    // Types 30 and 119; any other throws ProgError "wrong element type".
    explicit ConeBase(const Cone3d &cone, ElementCreator::Element_t type = ElementCreator::CONE);

    // False for ends that are not finite or coincide, a radius below zero or not finite, or
    // both radii zero. Equal radii are a cone too (a cylinder, which has no apex).
    bool getCone(Cone3d *cone) const;

protected:
    Box3d geometryBox() const override;

private:
    Cone3d m_cone;
};

class Paraboloid : public Primitive
{
public:
    explicit Paraboloid(const Paraboloid3d &paraboloid);

    // False for an invalid paraboloid (Paraboloid3d::isValid) or a transformation that cannot
    // be inverted into model coordinates.
    bool getParaboloid(Paraboloid3d *paraboloid) const;

protected:
    Box3d geometryBox() const override;

private:
    Paraboloid3d m_paraboloid;
};

// Whether the shapes' data can be drawn, and the boxes around them.
bool isDrawable(const Sphere3d &sphere);
bool isDrawable(const Cylinder3d &cylinder);
bool isDrawable(const Cone3d &cone);
Box3d boxOf(const Cylinder3d &cylinder);

} // namespace Vaq::CAD
