#include "gcad/host/cad/vaq_cad_strain_stage_point.h"

#include "gcad/host/base/vaq_prog_error.h"

#include <cmath>

namespace Vaq::CAD {

StrainStagePoint::StrainStagePoint(const BaVec3d<double> &position, const QString &fileName)
    : Element(ElementCreator::STRAIN_STAGE_POINT, fileName)
{
    setPosition(position);
}

void StrainStagePoint::setPosition(const BaVec3d<double> &position)
{
    if (!std::isfinite(position.x) || !std::isfinite(position.y) || !std::isfinite(position.z))
        VAQ_PROG_ERROR("Vaq::CAD::StrainStagePoint::setPosition", "invalid point");
    m_position = position;
}

bool StrainStagePoint::getDrawPoint(const StageIdentifier &stage, BaVec3d<double> *point) const
{
    if (!isStageValid(stage))
        return false;
    *point = m_position;
    return true;
}

bool StrainStagePoint::getBoundingBox(
    const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const
{
    return getStoredOrDataBox(Box3d(m_position, m_position), stage, type, context, box);
}

} // namespace Vaq::CAD
