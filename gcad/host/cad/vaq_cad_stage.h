// StageIdentifier names one data set (stage) of an element: a measuring project holds the same
// element in several stages, each with data of its own. StageObject keeps an element's values
// per stage; values stored under NO_STAGE hold for every stage that has no entry of its own.
#pragma once

#include "gcad/host/base/vaq_box.h"
#include "gcad/host/base/vaq_transformation.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace Vaq::CAD {

class StageIdentifier
{
public:
    // No stage chosen yet: never valid, never stored.
    static const StageIdentifier UNINITIALIZED;
    // Stage-independent data.
    static const StageIdentifier NO_STAGE;
    // The first data set of a project.
    static const StageIdentifier DEFAULT_DATASET;

    constexpr StageIdentifier() = default;
    constexpr explicit StageIdentifier(uint32_t value)
        : m_value(value)
    {
    }

    constexpr uint32_t getValue() const { return m_value; }

    constexpr bool operator==(const StageIdentifier &o) const { return m_value == o.m_value; }
    constexpr bool operator!=(const StageIdentifier &o) const { return m_value != o.m_value; }
    constexpr bool operator<(const StageIdentifier &o) const { return m_value < o.m_value; }

private:
    uint32_t m_value = 0xFFFFFFFFu;
};

inline constexpr StageIdentifier StageIdentifier::UNINITIALIZED { 0xFFFFFFFFu };
inline constexpr StageIdentifier StageIdentifier::NO_STAGE { 0xFFFFFFFEu };
inline constexpr StageIdentifier StageIdentifier::DEFAULT_DATASET { 0u };

// Which box of an element is meant.
enum BoundingBoxType_t {
    BBT_GEOMETRY = 0, // the element's own geometry
    BBT_DISPLAY = 1, // the geometry and what its display adds (symbols, needles); the view fits this
};
constexpr int NUMBER_OF_BOUNDING_BOX_TYPES = 2;

// Which coordinate system a box is given in.
enum ContextCS_t {
    CCS_ELEMENT = 0, // the element's own coordinates, before its render transformation
    CCS_WORLD = 1, // the coordinates the view draws in: the render transformation applied
};

// The values an element keeps for one stage.
struct StageData
{
    bool valid = true;
    std::optional<Box3d> boxes[NUMBER_OF_BOUNDING_BOX_TYPES];
    std::optional<Transformation> renderTransformation;
    unsigned numberOfVisiblePoints = 0;
    // Measuring-plan elements can be switched inactive per stage; they are drawn greyed then.
    bool active = true;
    // The stage lacks the measured data the element needs.
    bool missingData = false;
    // Set by every change the stage's visualization does not show yet, cleared by
    // Element::updateVisualization.
    bool visualizationOutdated = true;
};

class StageObject
{
public:
    // A new object holds one valid NO_STAGE entry: it is stage-independent until it gets an
    // entry for a particular stage.
    StageObject();

    bool holdsStage(const StageIdentifier &stage) const { return m_stages.count(stage) != 0; }
    // The stages with an entry of their own, in ascending order.
    std::vector<StageIdentifier> getStages() const;

    // The entry that answers for stage: its own, else the NO_STAGE entry, else null.
    // UNINITIALIZED has no entry.
    const StageData *findStage(const StageIdentifier &stage) const;
    StageData *findStage(const StageIdentifier &stage);
    // The stage's own entry, created (from the NO_STAGE entry when one exists) if missing.
    // Throws ProgError "stage is not initialized" for UNINITIALIZED.
    StageData &getOrCreateStage(const StageIdentifier &stage);
    // Drops the stage's own entry; false when it had none.
    bool removeStage(const StageIdentifier &stage);
    // Marks the visualization of every entry outdated (a change that shows in all stages).
    void markVisualizationOutdated();

private:
    std::map<StageIdentifier, StageData> m_stages;
};

} // namespace Vaq::CAD
