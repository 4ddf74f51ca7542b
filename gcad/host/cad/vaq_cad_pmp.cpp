#include "gcad/host/cad/vaq_cad_pmp.h"

namespace Vaq::CAD {

using C = ElementCreator;

PmpElement::PmpElement(ElementCreator::Element_t type)
    : DrawnElement(type,
        { C::PMP_POINT_CHANGE, C::PMP_CIRCLE_CHANGE, C::PMP_SLOT_CHANGE, C::PMP_RECTANGLE_HOLE_CHANGE,
            C::PMP_SURFACE_POINT_CHANGE, C::PMP_SECTION_POINT_CHANGE, C::PMP_SYMMETRY_POINT_CHANGE,
            C::PMP_TRIM_POINT_CHANGE, C::PMP_DISC_POINT_CHANGE, C::PMP_SEGMENT_POINT_CHANGE,
            C::PMP_REGULAR_POLYHOLE_CHANGE },
        "Vaq::CAD::PmpElement::PmpElement")
{
}

void PmpElement::setNominalPoint(const BaVec3d<double> &point, const BaVec3d<double> &direction)
{
    m_point = point;
    m_direction = direction;
}

bool PmpElement::getReferencePoint(BaVec3d<double> *point) const
{
    ElementClassification classification;
    ElementCreator::getElementClassification(getType(), &classification);
    if (!classification[ElementClassification::PMP_REFERENCE_POINT])
        return false;
    *point = m_point;
    return true;
}

void PmpElement::setValidDimensions(bool direction, bool width, bool length)
{
    m_direction_valid = direction;
    m_width_valid = width;
    m_length_valid = length;
}

std::vector<BaVec3d<double>> PmpElement::getNominalEdgePoints() const
{
    const BaVec3d<double> along = (m_hole.second - m_hole.first).normalized();
    const BaVec3d<double> across = m_hole.normal.cross(along).normalized() * (m_hole.width / 2.0);
    const BaVec3d<double> middle = (m_hole.first + m_hole.second) * 0.5;
    const BaVec3d<double> beyond = along * (m_hole.width / 2.0);
    return { middle - across, middle + across, m_hole.first - beyond, m_hole.second + beyond };
}

void PmpElement::extendBox(Box3d &box) const
{
    switch (getType()) {
    case C::PMP_CIRCLE_CHANGE: {
        const double r = m_circle.getRadius();
        extend(box, m_circle.getCenter() - BaVec3d<double>(r, r, r));
        extend(box, m_circle.getCenter() + BaVec3d<double>(r, r, r));
        break;
    }
    case C::PMP_SLOT_CHANGE:
    case C::PMP_RECTANGLE_HOLE_CHANGE:
        for (const BaVec3d<double> &p : getNominalEdgePoints())
            extend(box, p);
        break;
    case C::PMP_REGULAR_POLYHOLE_CHANGE:
        for (const BaVec3d<double> &p : m_polygon.getPoints())
            extend(box, p);
        break;
    default:
        extend(box, m_point);
        extend(box, m_point + m_direction.normalized() * m_vector_length);
        break;
    }
}

} // namespace Vaq::CAD
