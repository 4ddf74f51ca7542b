#include "gcad/host/cad/vaq_cad_strain_section.h"

#include "gcad/host/base/vaq_prog_error.h"

#include <cmath>

namespace Vaq::CAD {

StrainSection::StrainSection(const QString &fileName)
    : Element(ElementCreator::STRAIN_SECTION, fileName)
{
}

void StrainSection::setPoints(std::vector<BaVec3d<double>> points)
{
    if (points.size() < 2)
        VAQ_PROG_ERROR("Vaq::CAD::StrainSection::setPoints", "too few points");
    Box3d box;
    for (const BaVec3d<double> &p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            VAQ_PROG_ERROR("Vaq::CAD::StrainSection::setPoints", "invalid point");
        box.extend(p);
    }
    m_points = std::move(points);
    m_box = box;
}

std::vector<BaVec3d<double>> StrainSection::getDrawPoints(const StageIdentifier &stage) const
{
    std::vector<BaVec3d<double>> pairs;
    if (!isStageValid(stage))
        return pairs;
    for (std::size_t i = 0; i + 1 < m_points.size(); ++i) {
        pairs.push_back(m_points[i]);
        pairs.push_back(m_points[i + 1]);
    }
    return pairs;
}

unsigned StrainSection::getNumberOfPoints(const StageIdentifier &stage) const
{
    return isStageValid(stage) ? unsigned(m_points.size()) : 0;
}

bool StrainSection::getBoundingBox(
    const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const
{
    return getStoredOrDataBox(m_box, stage, type, context, box);
}

} // namespace Vaq::CAD
