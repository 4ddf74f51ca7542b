#include "gcad/host/cad/vaq_cad_distance.h"

namespace Vaq::CAD {

DistanceBase::DistanceBase(
    ElementCreator::Element_t type, const BaVec3d<double> &p1, const BaVec3d<double> &p2)
    : DistanceBase(type,
        { ElementCreator::DISTANCE, ElementCreator::DIRECTIONAL_DISTANCE, ElementCreator::PMP_DISTANCE_CHANGE,
            ElementCreator::PMP_DISTANCE },
        "Vaq::CAD::DistanceBase::DistanceBase", p1, p2)
{
}

DistanceBase::DistanceBase(ElementCreator::Element_t type,
    std::initializer_list<ElementCreator::Element_t> kinds, const char *function, const BaVec3d<double> &p1,
    const BaVec3d<double> &p2)
    : DrawnElement(type, kinds, function)
    , m_p1(p1)
    , m_p2(p2)
{
}

void DistanceBase::setPoints(const BaVec3d<double> &p1, const BaVec3d<double> &p2)
{
    m_p1 = p1;
    m_p2 = p2;
}

void DistanceBase::extendBox(Box3d &box) const
{
    extend(box, m_p1);
    extend(box, m_p2);
    if (m_pull_out.isPulledOut())
        extend(box, m_pull_out.getPullPoint());
}

DiscCaliper::DiscCaliper(const BaVec3d<double> &p1, const BaVec3d<double> &p2,
    const BaVec3d<double> &drawNormal, double drawRadius, bool shrinking)
    : DistanceBase(ElementCreator::DISC_CALIPER, { ElementCreator::DISC_CALIPER },
        "Vaq::CAD::DiscCaliper::DiscCaliper", p1, p2)
    , m_draw_normal(drawNormal)
    , m_draw_radius(drawRadius)
    , m_shrinking(shrinking)
{
}

SegmentCaliper::SegmentCaliper(const BaVec3d<double> &p1, const BaVec3d<double> &p2,
    const BaVec3d<double> &drawNormal, const BaVec3d<double> &segmentDirection, double drawSegmentLength)
    : DistanceBase(ElementCreator::SEGMENT_CALIPER, { ElementCreator::SEGMENT_CALIPER },
        "Vaq::CAD::SegmentCaliper::SegmentCaliper", p1, p2)
    , m_draw_normal(drawNormal)
    , m_segment_direction(segmentDirection)
    , m_draw_segment_length(drawSegmentLength)
{
}

} // namespace Vaq::CAD
