// StrainStagePoint: one point of a strain evaluation in one stage (a tracked point of the
// measurement), drawn as a marker in its colour. As the free point of a reference, fixture
// or target point it hangs below that element and shares its label offset (StrainTools).
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_element.h"

namespace Vaq::CAD {

class StrainStagePoint : public Element
{
public:
    explicit StrainStagePoint(const BaVec3d<double> &position = {}, const QString &fileName = QString());

    // The point; false in a stage where the element is not valid.
    bool getDrawPoint(const StageIdentifier &stage, BaVec3d<double> *point) const;
    // Throws ProgError "invalid point" for a coordinate that is not finite.
    void setPosition(const BaVec3d<double> &position);
    const Color &getDrawColor() const { return m_color; }
    void setDrawColor(const Color &color) { m_color = color; }

    unsigned getNumberOfPoints(const StageIdentifier &stage) const override
    {
        return isStageValid(stage) ? 1 : 0;
    }
    bool getBoundingBox(
        const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const override;

private:
    BaVec3d<double> m_position;
    Color m_color { 255, 255, 0 };
};

} // namespace Vaq::CAD
