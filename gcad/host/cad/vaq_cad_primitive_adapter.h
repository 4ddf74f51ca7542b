// The fixture adapters that hold a part during measuring, beside the adapter plane: an edge
// the part rests against, a cylindrical pin and a ball on a conical stand. Each is drawn as its
// shape plus a small figure of its own.
#pragma once

#include "gcad/host/base/vaq_shapes.h"
#include "gcad/host/cad/vaq_cad_primitive.h"

namespace Vaq::CAD {

class AdapterEdge : public Primitive
{
public:
    // An edge through point along direction; the part sits offset from it along normal.
    AdapterEdge(const BaVec3d<double> &point, const BaVec3d<double> &direction, const BaVec3d<double> &normal,
        double length, double offset);

    // The point and unit direction and normal (the normal made square to the direction);
    // false for data without them.
    bool getData(BaVec3d<double> *point, BaVec3d<double> *direction, BaVec3d<double> *normal) const;
    // The edge's length and the part's offset from it (either may be zero).
    void getSizes(double *length, double *offset) const;

protected:
    Box3d geometryBox() const override;

private:
    BaVec3d<double> m_point, m_direction, m_normal;
    double m_length, m_offset;
};

class AdapterCylinder2 : public Primitive
{
public:
    explicit AdapterCylinder2(const Cylinder3d &cylinder);

    // The pin; false as for cylinder elements.
    bool getData(Cylinder3d *cylinder) const;

protected:
    Box3d geometryBox() const override;

private:
    Cylinder3d m_cylinder;
};

class AdapterSphere2 : public Primitive
{
public:
    // A ball on a stand that runs from the ball's centre along direction for standLength,
    // widening from half the ball's radius to the ball's radius.
    AdapterSphere2(const Sphere3d &sphere, const BaVec3d<double> &direction, double standLength);

    // The ball and its stand; false for a ball, direction or length that cannot be drawn.
    bool getData(Sphere3d *sphere, Cone3d *stand) const;

protected:
    Box3d geometryBox() const override;

private:
    Sphere3d m_sphere;
    BaVec3d<double> m_direction;
    double m_stand_length;
};

} // namespace Vaq::CAD
