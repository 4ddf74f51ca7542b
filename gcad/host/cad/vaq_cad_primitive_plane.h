// The flat primitives drawn as polygons: PlaneBase (measured and nominal planes, shown as a
// square of a given size about their point), LimitedPlane (a plane bounded by its own outline)
// and AdapterPlane (the rectangular rest of a fixture adapter).
#pragma once

#include "gcad/host/base/vaq_plane.h"
#include "gcad/host/cad/vaq_cad_primitive.h"

#include <vector>

namespace Vaq::CAD {

class PlaneBase : public Primitive
{
public:
    // Types 2 and 98; any other throws ProgError "wrong element type". The square's sides
    // are size long.
    PlaneBase(const BaVec3d<double> &point, const BaVec3d<double> &normal, double size,
        ElementCreator::Element_t type = ElementCreator::PLANE);

    // The plane; false for a point that is not finite or no normal.
    bool getPlane(Plane3d *plane) const;
    // The square's four corners, counter-clockwise seen from the normal's tip; false as for
    // getPlane or without a size above zero.
    bool getCorners(std::vector<BaVec3d<double>> *corners) const;

protected:
    Box3d geometryBox() const override;

private:
    BaVec3d<double> m_point, m_normal;
    double m_size;
};

class LimitedPlane : public Primitive
{
public:
    explicit LimitedPlane(std::vector<BaVec3d<double>> outline);

    // The outline and its normal (from the outline's winding, Newell's method); false for fewer
    // than three points, a point that is not finite, or an outline without area.
    bool getPoints(std::vector<BaVec3d<double>> *points, BaVec3d<double> *normal) const;

protected:
    Box3d geometryBox() const override;

private:
    std::vector<BaVec3d<double>> m_outline;
};

class AdapterPlane : public Primitive
{
public:
    // A rectangle about center in the plane of normal, length long along direction (projected
    // into the plane) and width wide across it.
    AdapterPlane(const BaVec3d<double> &center, const BaVec3d<double> &normal,
        const BaVec3d<double> &direction, double length, double width);

    // The rectangle's corners and the normal; false for data that gives no rectangle.
    bool getData(std::vector<BaVec3d<double>> *outline, BaVec3d<double> *normal) const;

protected:
    Box3d geometryBox() const override;

private:
    BaVec3d<double> m_center, m_normal, m_direction;
    double m_length, m_width;
};

// The normal of a closed outline by Newell's method (not normalised; zero without area).
BaVec3d<double> outlineNormal(const std::vector<BaVec3d<double>> &outline);

} // namespace Vaq::CAD
