// The solid and planar shapes of the geometry library that primitives and measurements are
// made of: circles, discs, regular polygons, spheres, cylinders and cones. Plain values with
// the accessors the drawing code reads; directions are kept as given.
#pragma once

#include "gcad/host/base/vaq_vec.h"

#include <vector>

namespace Vaq {

class Circle3d
{
public:
    Circle3d() = default;
    Circle3d(const BaVec3d<double> &center, const BaVec3d<double> &normal, double radius)
        : m_center(center)
        , m_normal(normal)
        , m_radius(radius)
    {
    }

    const BaVec3d<double> &getCenter() const { return m_center; }
    const BaVec3d<double> &getNormal() const { return m_normal; }
    double getRadius() const { return m_radius; }

private:
    BaVec3d<double> m_center;
    BaVec3d<double> m_normal { 0.0, 0.0, 1.0 };
    double m_radius = 0.0;
};

// A filled circle: the same data, a different element.
class Disc3d : public Circle3d
{
public:
    using Circle3d::Circle3d;
};

// A regular polygon in a plane: its corners in order, its centre and the plane's normal.
class RegularPolygon3d
{
public:
    RegularPolygon3d() = default;
    // count corners, the first at firstCorner, the others turned about the axis through
    // center along normal in steps of 2 pi / count (clockwise seen from the normal's tip).
    RegularPolygon3d(const BaVec3d<double> &center, const BaVec3d<double> &normal,
        const BaVec3d<double> &firstCorner, unsigned count);

    const std::vector<BaVec3d<double>> &getPoints() const { return m_points; }
    const BaVec3d<double> &getCenter() const { return m_center; }
    const BaVec3d<double> &getNormal() const { return m_normal; }
    // At least three corners away from the centre, and a normal.
    bool isValid() const;

private:
    std::vector<BaVec3d<double>> m_points;
    BaVec3d<double> m_center;
    BaVec3d<double> m_normal { 0.0, 0.0, 1.0 };
};

class Sphere3d
{
public:
    Sphere3d() = default;
    Sphere3d(const BaVec3d<double> &center, double radius)
        : m_center(center)
        , m_radius(radius)
    {
    }

    const BaVec3d<double> &getCenter() const { return m_center; }
    double getRadius() const { return m_radius; }

private:
    BaVec3d<double> m_center;
    double m_radius = 0.0;
};

// A cylinder of the given length centred on center along axis.
class Cylinder3d
{
public:
    Cylinder3d() = default;
    Cylinder3d(const BaVec3d<double> &center, const BaVec3d<double> &axis, double radius, double length)
        : m_center(center)
        , m_axis(axis)
        , m_radius(radius)
        , m_length(length)
    {
    }

    const BaVec3d<double> &getCenter() const { return m_center; }
    const BaVec3d<double> &getAxis() const { return m_axis; }
    double getRadius() const { return m_radius; }
    double getLength() const { return m_length; }

private:
    BaVec3d<double> m_center;
    BaVec3d<double> m_axis { 0.0, 0.0, 1.0 };
    double m_radius = 0.0;
    double m_length = 0.0;
};

// A (usually truncated) cone: two rim circles about the line through their centres.
class Cone3d
{
public:
    Cone3d() = default;
    Cone3d(const BaVec3d<double> &point1, double radius1, const BaVec3d<double> &point2, double radius2)
        : m_point1(point1)
        , m_point2(point2)
        , m_radius1(radius1)
        , m_radius2(radius2)
    {
    }

    const BaVec3d<double> &getPoint1() const { return m_point1; }
    const BaVec3d<double> &getPoint2() const { return m_point2; }
    double getRadius1() const { return m_radius1; }
    double getRadius2() const { return m_radius2; }

private:
    BaVec3d<double> m_point1, m_point2 { 0.0, 0.0, 1.0 };
    double m_radius1 = 0.0, m_radius2 = 0.0;
};

} // namespace Vaq
