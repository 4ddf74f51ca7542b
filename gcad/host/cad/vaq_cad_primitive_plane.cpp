#include "gcad/host/cad/vaq_cad_primitive_plane.h"

#include <algorithm>

namespace Vaq::CAD {

namespace {

// A rectangle about center: half along u, half across v; counter-clockwise about u x v.
std::vector<BaVec3d<double>> rectangle(
    const BaVec3d<double> &center, const BaVec3d<double> &u, const BaVec3d<double> &v)
{
    return { center - u - v, center + u - v, center + u + v, center - u + v };
}

Box3d boxOf(const std::vector<BaVec3d<double>> &points)
{
    Box3d box;
    for (const BaVec3d<double> &p : points)
        box.extend(p);
    return box;
}

// A unit vector square to n (n a unit vector): the coordinate axis least along n, made square.
BaVec3d<double> squareTo(const BaVec3d<double> &n)
{
    BaVec3d<double> axis(1, 0, 0);
    if (std::abs(n.y) <= std::abs(n.x) && std::abs(n.y) <= std::abs(n.z))
        axis = BaVec3d<double>(0, 1, 0);
    else if (std::abs(n.z) <= std::abs(n.x))
        axis = BaVec3d<double>(0, 0, 1);
    return (axis - n * axis.dot(n)).normalized();
}

} // namespace

BaVec3d<double> outlineNormal(const std::vector<BaVec3d<double>> &outline)
{
    BaVec3d<double> normal;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const BaVec3d<double> &p = outline[i];
        const BaVec3d<double> &q = outline[(i + 1) % outline.size()];
        normal += BaVec3d<double>(
            (p.y - q.y) * (p.z + q.z), (p.z - q.z) * (p.x + q.x), (p.x - q.x) * (p.y + q.y));
    }
    return normal;
}

PlaneBase::PlaneBase(
    const BaVec3d<double> &point, const BaVec3d<double> &normal, double size, ElementCreator::Element_t type)
    : Primitive(
        type, { ElementCreator::PLANE, ElementCreator::NOMINAL_PLANE }, "Vaq::CAD::PlaneBase::PlaneBase")
    , m_point(point)
    , m_normal(normal)
    , m_size(size)
{
}

bool PlaneBase::getPlane(Plane3d *plane) const
{
    if (!isPoint(m_point) || !isDirection(m_normal))
        return false;
    *plane = Plane3d(m_point, m_normal);
    return true;
}

bool PlaneBase::getCorners(std::vector<BaVec3d<double>> *corners) const
{
    Plane3d plane;
    if (!getPlane(&plane) || !isLength(m_size))
        return false;
    const BaVec3d<double> u = squareTo(plane.getNormal()) * (0.5 * m_size);
    *corners = rectangle(m_point, u, plane.getNormal().cross(u));
    return true;
}

Box3d PlaneBase::geometryBox() const
{
    std::vector<BaVec3d<double>> corners;
    return getCorners(&corners) ? boxOf(corners) : Box3d();
}

LimitedPlane::LimitedPlane(std::vector<BaVec3d<double>> outline)
    : Primitive(ElementCreator::LIMITED_PLANE, { ElementCreator::LIMITED_PLANE },
        "Vaq::CAD::LimitedPlane::LimitedPlane")
    , m_outline(std::move(outline))
{
}

bool LimitedPlane::getPoints(std::vector<BaVec3d<double>> *points, BaVec3d<double> *normal) const
{
    if (m_outline.size() < 3 || !std::all_of(m_outline.begin(), m_outline.end(), isPoint))
        return false;
    const BaVec3d<double> n = outlineNormal(m_outline);
    if (!isDirection(n))
        return false;
    *points = m_outline;
    *normal = n.normalized();
    return true;
}

Box3d LimitedPlane::geometryBox() const
{
    std::vector<BaVec3d<double>> points;
    BaVec3d<double> normal;
    return getPoints(&points, &normal) ? boxOf(points) : Box3d();
}

AdapterPlane::AdapterPlane(const BaVec3d<double> &center, const BaVec3d<double> &normal,
    const BaVec3d<double> &direction, double length, double width)
    : Primitive(ElementCreator::ADAPTER_PLANE, { ElementCreator::ADAPTER_PLANE },
        "Vaq::CAD::AdapterPlane::AdapterPlane")
    , m_center(center)
    , m_normal(normal)
    , m_direction(direction)
    , m_length(length)
    , m_width(width)
{
}

bool AdapterPlane::getData(std::vector<BaVec3d<double>> *outline, BaVec3d<double> *normal) const
{
    if (!isPoint(m_center) || !isDirection(m_normal) || !isLength(m_length) || !isLength(m_width))
        return false;
    const BaVec3d<double> n = m_normal.normalized();
    const BaVec3d<double> along = m_direction - n * m_direction.dot(n);
    if (!isDirection(along))
        return false;
    const BaVec3d<double> u = along.normalized() * (0.5 * m_length);
    *outline = rectangle(m_center, u, n.cross(u).normalized() * (0.5 * m_width));
    *normal = n;
    return true;
}

Box3d AdapterPlane::geometryBox() const
{
    std::vector<BaVec3d<double>> outline;
    BaVec3d<double> normal;
    return getData(&outline, &normal) ? boxOf(outline) : Box3d();
}

} // namespace Vaq::CAD
