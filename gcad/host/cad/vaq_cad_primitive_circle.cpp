#include "gcad/host/cad/vaq_cad_primitive_circle.h"

namespace Vaq::CAD {

bool isDrawable(const Circle3d &circle)
{
    return Primitive::isPoint(circle.getCenter()) && Primitive::isDirection(circle.getNormal())
        && Primitive::isLength(circle.getRadius());
}

namespace {

Box3d boxOf(const Circle3d &circle)
{
    return isDrawable(circle)
        ? Primitive::circleBox(circle.getCenter(), circle.getNormal(), circle.getRadius())
        : Box3d();
}

} // namespace

CircleBase::CircleBase(const Circle3d &circle, ElementCreator::Element_t type)
    : Primitive(
        type, { ElementCreator::CIRCLE, ElementCreator::NOMINAL_CIRCLE }, "Vaq::CAD::CircleBase::CircleBase")
    , m_circle(circle)
{
}

bool CircleBase::getCircle(Circle3d *circle) const
{
    *circle = m_circle;
    return isDrawable(m_circle);
}

Box3d CircleBase::geometryBox() const
{
    return boxOf(m_circle);
}

Disc::Disc(const Disc3d &disc)
    : Primitive(ElementCreator::DISC, { ElementCreator::DISC }, "Vaq::CAD::Disc::Disc")
    , m_disc(disc)
{
}

bool Disc::getDisc(Disc3d *disc) const
{
    *disc = m_disc;
    return isDrawable(m_disc);
}

Box3d Disc::geometryBox() const
{
    return boxOf(m_disc);
}

RegularPolyholeBase::RegularPolyholeBase(const BaVec3d<double> &center, const BaVec3d<double> &normal,
    const BaVec3d<double> &firstCorner, unsigned count)
    : Primitive(ElementCreator::REGULAR_POLYHOLE, { ElementCreator::REGULAR_POLYHOLE },
        "Vaq::CAD::RegularPolyholeBase::RegularPolyholeBase")
    , m_polygon(center, normal, firstCorner, count)
{
}

Box3d RegularPolyholeBase::geometryBox() const
{
    Box3d box;
    if (m_polygon.isValid())
        for (const BaVec3d<double> &p : m_polygon.getPoints())
            box.extend(p);
    return box;
}

} // namespace Vaq::CAD
