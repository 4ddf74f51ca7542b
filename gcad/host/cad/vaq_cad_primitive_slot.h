// LongholeBase: the elongated holes, slots (types 19, 128) with half-round ends and rounded
// rectangles (54, 129) with corners of an edge radius. Both are given by the centres of their
// two ends, the plane's normal and the width across.
#pragma once

#include "gcad/host/cad/vaq_cad_primitive.h"

namespace Vaq::CAD {

class LongholeBase : public Primitive
{
public:
    // Types 19, 128, 54 and 129; any other throws ProgError "wrong element type". The edge
    // radius counts for rounded rectangles only; a slot's ends are half its width.
    LongholeBase(const BaVec3d<double> &first, const BaVec3d<double> &second, const BaVec3d<double> &normal,
        double width, double edgeRadius = 0.0, ElementCreator::Element_t type = ElementCreator::SLOT);

    // The end centres, normal and width; false for points that are not finite, ends that
    // coincide, no normal, an axis along the normal, or no width.
    bool getDataForPMPElement(
        BaVec3d<double> *first, BaVec3d<double> *second, BaVec3d<double> *normal, double *width) const;
    // The corner radius of a rounded rectangle, at most half the width (not below zero).
    double getEdgeRadius() const;

protected:
    Box3d geometryBox() const override;

private:
    BaVec3d<double> m_first, m_second, m_normal;
    double m_width, m_edge_radius;
};

} // namespace Vaq::CAD
