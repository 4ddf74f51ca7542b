// StrainSection: a polyline cut through a strain grid, drawn in one colour as lines and, on
// request, as points or markers at its draw points.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_element.h"

#include <vector>

namespace Vaq::CAD {

class StrainSection : public Element
{
public:
    explicit StrainSection(const QString &fileName = QString());

    // The polyline's points in order. Throws ProgError "too few points" for fewer than two,
    // "invalid point" for a coordinate that is not finite; nothing changes then.
    void setPoints(std::vector<BaVec3d<double>> points);
    // Each segment of the polyline as a pair of points, ready for GL_LINES; empty in a stage
    // where the element is not valid.
    std::vector<BaVec3d<double>> getDrawPoints(const StageIdentifier &stage) const;
    const Color &getDrawColor() const { return m_color; }
    void setDrawColor(const Color &color) { m_color = color; }

    unsigned getNumberOfPoints(const StageIdentifier &stage) const override;
    bool getBoundingBox(
        const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const override;

private:
    std::vector<BaVec3d<double>> m_points;
    Box3d m_box;
    Color m_color { 255, 255, 255 };
};

} // namespace Vaq::CAD
