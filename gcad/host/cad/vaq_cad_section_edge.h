// SectionEdge: a section along a trimmed edge of a sheet part (springback results). Beside the
// section data each point has the direction its springback and its cutoff are measured in,
// drawn as vectors from the point.
#pragma once

#include "gcad/host/cad/vaq_cad_section_base.h"

namespace Vaq::CAD {

class SectionEdge : public SectionBase
{
public:
    // Throws ProgError "not a section type" when type is not a section kind.
    explicit SectionEdge(ElementCreator::Element_t type = ElementCreator::SECTION_SPRINGBACK,
        const QString &fileName = QString());

    // One vector per point of every run, or none; else ProgError "wrong number of values".
    void setSpringVectors(SectionRecords<BaVec3d<float>> vectors);
    void setCutoffVectors(SectionRecords<BaVec3d<float>> vectors);
    // Empty in a stage where the element is not valid.
    const SectionRecords<BaVec3d<float>> &getSpringVectors(const StageIdentifier &stage) const;
    const SectionRecords<BaVec3d<float>> &getCutoffVectors(const StageIdentifier &stage) const;

protected:
    void sectionsChanged() override;

private:
    SectionRecords<BaVec3d<float>> m_spring_vectors;
    SectionRecords<BaVec3d<float>> m_cutoff_vectors;
};

} // namespace Vaq::CAD
