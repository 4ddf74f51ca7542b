// Section rectangles: the minimal rectangle of a set of elements on a plane, and the preview
// rectangle a new section starts from. The elements' boxes are projected into plane
// coordinates and the minimum-area rectangle around the projected corners is taken (Polygon2d);
// the cost is that of the bounding boxes plus O(n log n) in their 8 n corners.
#include "gcad/clipping/gcad_clipping_interface.h"

#include "gcad/host/base/vaq_polygon2d.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

namespace Vaq::GCAD {

namespace {

// A unit vector square to normal: the normal's smallest component is dropped and the other
// two are swapped with one sign changed.
BaVec3d<double> perpendicularTo(const BaVec3d<double> &normal)
{
    const double ax = std::abs(normal.x), ay = std::abs(normal.y), az = std::abs(normal.z);
    BaVec3d<double> v;
    if (ax <= ay && ax <= az)
        v = BaVec3d<double>(0.0, -normal.z, normal.y);
    else if (ay <= az)
        v = BaVec3d<double>(-normal.z, 0.0, normal.x);
    else
        v = BaVec3d<double>(-normal.y, normal.x, 0.0);
    return v.normalized();
}

// Plane coordinates: origin at the plane's point, x square to the normal, y = x cross normal,
// so that a 2-D direction turned left maps onto the 3-D direction crossed with the normal.
struct PlaneFrame
{
    BaVec3d<double> origin, x, y, normal;

    BaVec2d<double> to2d(const BaVec3d<double> &p) const
    {
        const BaVec3d<double> d = p - origin;
        return { d.dot(x), d.dot(y) };
    }
    BaVec3d<double> to3d(const BaVec2d<double> &p) const { return origin + x * p.x + y * p.y; }
};

bool makePlaneFrame(const Plane3d &plane, PlaneFrame *frame)
{
    const BaVec3d<double> &n = plane.getNormal();
    const double length = n.length();
    if (!std::isfinite(length) || length < 1e-12)
        return false;
    frame->normal = n / length;
    frame->origin = plane.getPoint();
    frame->x = perpendicularTo(frame->normal);
    frame->y = frame->x.cross(frame->normal);
    return true;
}

} // namespace

bool ClippingInterface::calcMinRectangle(const std::vector<CAD::ElementAndStageImp> &elements,
    const Plane3d &plane, LimitedPlane3d *rectangle, CAD::BoundingBoxType_t type)
{
    PlaneFrame frame;
    if (!makePlaneFrame(plane, &frame))
        return false;
    std::vector<Box3d> boxes;
    getBoundingBoxes(elements, &boxes, type);

    // Neighbouring boxes share corners; each projected point counts once.
    std::set<std::pair<double, double>> points;
    for (const Box3d &box : boxes) {
        if (box.isEmpty())
            continue;
        for (const BaVec3d<double> &corner : box.getCorners()) {
            const BaVec2d<double> p = frame.to2d(corner);
            points.emplace(p.x, p.y);
        }
    }
    Polygon2d polygon;
    for (const auto &[x, y] : points)
        polygon.addPoint({ x, y });
    BaVec2d<double> reference, direction;
    double width = 0.0, height = 0.0;
    if (!polygon.getMinimumBoundingRect(&reference, &direction, &width, &height))
        return false;

    const BaVec3d<double> corner = frame.to3d(reference);
    const BaVec3d<double> first = frame.to3d(reference + direction) - corner;
    rectangle->normal = frame.normal;
    rectangle->reference = corner;
    rectangle->firstDirection = first;
    rectangle->width = width;
    rectangle->secondDirection = first.cross(frame.normal);
    rectangle->height = height;
    return true;
}

void ClippingInterface::calcPreviewPlaneForSectionCreation(
    const std::vector<CAD::ElementAndStageImp> &elements, const Plane3d &plane, LimitedPlane3d *rectangle,
    CAD::BoundingBoxType_t type)
{
    LimitedPlane3d minimal;
    if (calcMinRectangle(elements, plane, &minimal, type) && minimal.width >= PREVIEW_MIN_SIZE
        && minimal.height >= PREVIEW_MIN_SIZE) {
        *rectangle = minimal;
        return;
    }

    std::vector<Box3d> boxes;
    getBoundingBoxes(elements, &boxes, CAD::BBT_GEOMETRY);
    Box3d joined;
    for (const Box3d &box : boxes) {
        if (!box.isEmpty())
            joined.extend(box);
    }
    if (joined.isEmpty() || joined.getSize().length() < 1.0)
        joined = Box3d({ -100.0, -100.0, -100.0 }, { 100.0, 100.0, 100.0 });

    const BaVec3d<double> normal = plane.getNormal().normalized();
    const BaVec3d<double> size = joined.getSize();
    const double edge = std::max({ size.x, size.y, size.z });
    const BaVec3d<double> first = perpendicularTo(normal);
    const BaVec3d<double> second = normal.cross(first);
    const BaVec3d<double> centre = plane.perpend(joined.getCenter());
    rectangle->normal = normal;
    rectangle->reference = centre - first * (edge / 2.0) - second * (edge / 2.0);
    rectangle->firstDirection = first;
    rectangle->width = edge;
    rectangle->secondDirection = second;
    rectangle->height = edge;
}

} // namespace Vaq::GCAD
