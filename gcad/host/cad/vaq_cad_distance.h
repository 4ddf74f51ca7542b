// Distances: two measured points and the pull-out of their dimension line. DistanceBase serves
// the plain and directional distances and the distances of the measuring plan; the two
// calipers add what their jaws are drawn from (a disc, or a segment along a direction).
#pragma once

#include "gcad/host/cad/vaq_cad_dist_pull_out.h"
#include "gcad/host/cad/vaq_cad_drawn_element.h"

namespace Vaq::CAD {

class DistanceBase : public DrawnElement
{
public:
    // Types DISTANCE, DIRECTIONAL_DISTANCE, PMP_DISTANCE_CHANGE or PMP_DISTANCE; any other
    // throws ProgError "wrong element type".
    DistanceBase(ElementCreator::Element_t type, const BaVec3d<double> &p1, const BaVec3d<double> &p2);

    // The measured points: 0 the first, any other the second.
    const BaVec3d<double> &getPoint(int index) const { return index == 0 ? m_p1 : m_p2; }
    void setPoints(const BaVec3d<double> &p1, const BaVec3d<double> &p2);
    double getDistance() const { return (m_p2 - m_p1).length(); }

    DistPullOut *getPullOut() override { return &m_pull_out; }
    // Whether the dimension line shows a handle that the user may drag.
    bool isHandleEnabled() const { return m_handle_enabled; }
    void setHandleEnabled(bool enabled) { m_handle_enabled = enabled; }
    // A distance of the measuring plan between two elements: whether both still exist.
    bool areElementsValid() const { return m_elements_valid; }
    void setElementsValid(bool valid) { m_elements_valid = valid; }

protected:
    DistanceBase(ElementCreator::Element_t type, std::initializer_list<ElementCreator::Element_t> kinds,
        const char *function, const BaVec3d<double> &p1, const BaVec3d<double> &p2);
    void extendBox(Box3d &box) const override;

private:
    BaVec3d<double> m_p1, m_p2;
    DistPullOut m_pull_out;
    bool m_handle_enabled = true;
    bool m_elements_valid = true;
};

// A diameter measured between two discs (the caliper's jaws): drawn square to the draw normal
// with the draw radius; shrinking calipers point their arrows inwards.
class DiscCaliper : public DistanceBase
{
public:
    DiscCaliper(const BaVec3d<double> &p1, const BaVec3d<double> &p2, const BaVec3d<double> &drawNormal,
        double drawRadius, bool shrinking);

    const BaVec3d<double> &getDrawNormal() const { return m_draw_normal; }
    double getDrawRadius() const { return m_draw_radius; }
    bool isShrinking() const { return m_shrinking; }

private:
    BaVec3d<double> m_draw_normal;
    double m_draw_radius;
    bool m_shrinking;
};

// A width measured between two knife-edged jaws that lie along the segment direction, each
// getDrawSegmentLength long, their backs against the draw normal.
class SegmentCaliper : public DistanceBase
{
public:
    SegmentCaliper(const BaVec3d<double> &p1, const BaVec3d<double> &p2, const BaVec3d<double> &drawNormal,
        const BaVec3d<double> &segmentDirection, double drawSegmentLength);

    const BaVec3d<double> &getDrawNormal() const { return m_draw_normal; }
    const BaVec3d<double> &getSegmentDirection() const { return m_segment_direction; }
    double getDrawSegmentLength() const { return m_draw_segment_length; }

private:
    BaVec3d<double> m_draw_normal;
    BaVec3d<double> m_segment_direction;
    double m_draw_segment_length;
};

} // namespace Vaq::CAD
