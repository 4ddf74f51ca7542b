#include "gcad/host/cad/vaq_cad_stage.h"

#include "gcad/host/base/vaq_prog_error.h"

namespace Vaq::CAD {

StageObject::StageObject()
{
    m_stages.emplace(StageIdentifier::NO_STAGE, StageData());
}

std::vector<StageIdentifier> StageObject::getStages() const
{
    std::vector<StageIdentifier> stages;
    stages.reserve(m_stages.size());
    for (const auto &entry : m_stages)
        stages.push_back(entry.first);
    return stages;
}

const StageData *StageObject::findStage(const StageIdentifier &stage) const
{
    if (stage == StageIdentifier::UNINITIALIZED)
        return nullptr;
    auto it = m_stages.find(stage);
    if (it == m_stages.end())
        it = m_stages.find(StageIdentifier::NO_STAGE);
    return it == m_stages.end() ? nullptr : &it->second;
}

StageData *StageObject::findStage(const StageIdentifier &stage)
{
    return const_cast<StageData *>(static_cast<const StageObject *>(this)->findStage(stage));
}

StageData &StageObject::getOrCreateStage(const StageIdentifier &stage)
{
    if (stage == StageIdentifier::UNINITIALIZED)
        VAQ_PROG_ERROR("Vaq::CAD::StageObject::getOrCreateStage", "stage is not initialized");
    auto it = m_stages.find(stage);
    if (it != m_stages.end())
        return it->second;
    // A new stage starts from what held for it so far, so that adding a stage changes nothing
    // until its values are set.
    const auto shared = m_stages.find(StageIdentifier::NO_STAGE);
    StageData data = shared != m_stages.end() ? shared->second : StageData();
    return m_stages.emplace(stage, data).first->second;
}

bool StageObject::removeStage(const StageIdentifier &stage)
{
    return m_stages.erase(stage) != 0;
}

void StageObject::markVisualizationOutdated()
{
    for (auto &entry : m_stages)
        entry.second.visualizationOutdated = true;
}

} // namespace Vaq::CAD
