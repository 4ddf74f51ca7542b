#include "gcad/host/cad/vaq_cad_primitive_slot.h"

#include <algorithm>
#include <cmath>

namespace Vaq::CAD {

LongholeBase::LongholeBase(const BaVec3d<double> &first, const BaVec3d<double> &second,
    const BaVec3d<double> &normal, double width, double edgeRadius, ElementCreator::Element_t type)
    : Primitive(type,
        { ElementCreator::SLOT, ElementCreator::NOMINAL_SLOT, ElementCreator::ROUNDED_RECTANGLE,
            ElementCreator::NOMINAL_ROUNDED_RECTANGLE },
        "Vaq::CAD::LongholeBase::LongholeBase")
    , m_first(first)
    , m_second(second)
    , m_normal(normal)
    , m_width(width)
    , m_edge_radius(edgeRadius)
{
}

bool LongholeBase::getDataForPMPElement(
    BaVec3d<double> *first, BaVec3d<double> *second, BaVec3d<double> *normal, double *width) const
{
    if (!isPoint(m_first) || !isPoint(m_second) || !isDirection(m_normal) || !isLength(m_width))
        return false;
    // The axis must have a part in the plane, or the figure has no direction.
    const BaVec3d<double> n = m_normal.normalized();
    const BaVec3d<double> axis = m_second - m_first;
    if (!isDirection(axis - n * axis.dot(n)))
        return false;
    *first = m_first;
    *second = m_second;
    *normal = m_normal;
    *width = m_width;
    return true;
}

double LongholeBase::getEdgeRadius() const
{
    return std::isfinite(m_edge_radius) ? std::clamp(m_edge_radius, 0.0, 0.5 * m_width) : 0.0;
}

Box3d LongholeBase::geometryBox() const
{
    BaVec3d<double> first, second, normal;
    double width = 0.0;
    Box3d box;
    if (getDataForPMPElement(&first, &second, &normal, &width)) {
        // The circles of half the width about both ends frame either figure.
        box.extend(circleBox(first, normal, 0.5 * width));
        box.extend(circleBox(second, normal, 0.5 * width));
    }
    return box;
}

} // namespace Vaq::CAD
