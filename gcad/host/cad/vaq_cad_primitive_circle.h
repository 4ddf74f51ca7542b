// The round planar primitives: CircleBase (measured and nominal circles), Disc (a filled
// circle) and RegularPolyholeBase (a hole shaped as a regular polygon), each a centre, the
// plane's normal and a radius or corners.
#pragma once

#include "gcad/host/base/vaq_shapes.h"
#include "gcad/host/cad/vaq_cad_primitive.h"

namespace Vaq::CAD {

class CircleBase : public Primitive
{
public:
    // Types 18 and 99; any other throws ProgError "wrong element type".
    explicit CircleBase(const Circle3d &circle, ElementCreator::Element_t type = ElementCreator::CIRCLE);

    // False for a circle without a finite centre, a normal or a radius above zero.
    bool getCircle(Circle3d *circle) const;

protected:
    Box3d geometryBox() const override;

private:
    Circle3d m_circle;
};

class Disc : public Primitive
{
public:
    explicit Disc(const Disc3d &disc);

    // False as for circles.
    bool getDisc(Disc3d *disc) const;

protected:
    Box3d geometryBox() const override;

private:
    Disc3d m_disc;
};

class RegularPolyholeBase : public Primitive
{
public:
    // count corners, the first at firstCorner, about the axis through center along normal.
    RegularPolyholeBase(const BaVec3d<double> &center, const BaVec3d<double> &normal,
        const BaVec3d<double> &firstCorner, unsigned count);

    // The polygon, which may be invalid (RegularPolygon3d::isValid): fewer than three corners,
    // no normal or corners on the centre.
    const RegularPolygon3d &getPoly() const { return m_polygon; }

protected:
    Box3d geometryBox() const override;

private:
    RegularPolygon3d m_polygon;
};

// Whether a circle's data can be drawn.
bool isDrawable(const Circle3d &circle);

} // namespace Vaq::CAD
