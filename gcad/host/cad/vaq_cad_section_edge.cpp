#include "gcad/host/cad/vaq_cad_section_edge.h"

namespace Vaq::CAD {

SectionEdge::SectionEdge(ElementCreator::Element_t type, const QString &fileName)
    : SectionBase(type, fileName)
{
}

void SectionEdge::setSpringVectors(SectionRecords<BaVec3d<float>> vectors)
{
    setPerPoint(m_spring_vectors, std::move(vectors), "Vaq::CAD::SectionEdge::setSpringVectors");
}

void SectionEdge::setCutoffVectors(SectionRecords<BaVec3d<float>> vectors)
{
    setPerPoint(m_cutoff_vectors, std::move(vectors), "Vaq::CAD::SectionEdge::setCutoffVectors");
}

const SectionRecords<BaVec3d<float>> &SectionEdge::getSpringVectors(const StageIdentifier &stage) const
{
    return forStage(stage, m_spring_vectors);
}

const SectionRecords<BaVec3d<float>> &SectionEdge::getCutoffVectors(const StageIdentifier &stage) const
{
    return forStage(stage, m_cutoff_vectors);
}

void SectionEdge::sectionsChanged()
{
    m_spring_vectors.clear();
    m_cutoff_vectors.clear();
}

} // namespace Vaq::CAD
