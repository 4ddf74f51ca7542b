#include "gcad/host/cad/vaq_cad_section_base.h"

#include "gcad/host/base/vaq_prog_error.h"

#include <algorithm>
#include <cmath>

namespace Vaq::CAD {

namespace {

ElementCreator::Element_t checkedSectionType(ElementCreator::Element_t type)
{
    ElementClassification classification;
    if (!ElementCreator::getElementClassification(type, &classification)
        || !classification[ElementClassification::SECTION_DATASET])
        VAQ_PROG_ERROR("Vaq::CAD::SectionBase::SectionBase", "not a section type");
    return type;
}

bool isFinite(const BaVec3d<double> &p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

} // namespace

Color mapValueToColor(const Legend2::ColorMap &map, float value, const Color &fallback)
{
    if (value == NO_VALUE || !std::isfinite(value))
        return map.isUncomputedColorValid() ? map.getUncomputedColor() : fallback;
    const std::vector<Color> &colors = map.getColors();
    const double share = (value - map.getMinimum()) / (map.getMaximum() - map.getMinimum());
    const double band = std::floor(share * double(colors.size()));
    return colors[std::size_t(std::clamp(band, 0.0, double(colors.size() - 1)))];
}

SectionBase::SectionBase(ElementCreator::Element_t type, const QString &fileName)
    : Element(checkedSectionType(type), fileName)
{
}

void SectionBase::setSections(SectionRecords<BaVec3d<double>> runs, std::vector<bool> closed)
{
    const char *function = "Vaq::CAD::SectionBase::setSections";
    for (const auto &run : runs) {
        if (run.size() < 2)
            VAQ_PROG_ERROR(function, "a section needs at least two points");
        if (!std::all_of(run.begin(), run.end(), isFinite))
            VAQ_PROG_ERROR(function, "section point is not finite");
    }
    if (!closed.empty() && closed.size() != runs.size())
        VAQ_PROG_ERROR(function, "wrong number of closed flags");
    closed.resize(runs.size(), false);

    m_sections = std::move(runs);
    m_closed = std::move(closed);
    for (auto *v : { &m_colors, &m_mapped_colors, &m_spring_colors, &m_cutoff_colors, &m_insp2d_colors })
        v->clear();
    for (auto *v : { &m_distances, &m_spring_distances, &m_cutoff_distances })
        v->clear();
    m_values.clear();
    m_insp2d_flags.clear();
    m_flags.clear();
    m_count = 0;
    for (const auto &run : m_sections) {
        m_flags.emplace_back(run.size());
        m_count += unsigned(run.size());
    }
    m_visible = m_count;
    recomputeBox();
    sectionsChanged();
}

void SectionBase::recomputeBox()
{
    m_box = Box3d();
    for (const auto &run : m_sections) {
        for (const BaVec3d<double> &p : run)
            m_box.extend(p);
    }
}

void SectionBase::setColors(SectionRecords<Color> colors)
{
    setPerPoint(m_colors, std::move(colors), "Vaq::CAD::SectionBase::setColors");
}

void SectionBase::setSpringColors(SectionRecords<Color> colors)
{
    setPerPoint(m_spring_colors, std::move(colors), "Vaq::CAD::SectionBase::setSpringColors");
}

void SectionBase::setCutoffColors(SectionRecords<Color> colors)
{
    setPerPoint(m_cutoff_colors, std::move(colors), "Vaq::CAD::SectionBase::setCutoffColors");
}

void SectionBase::setInsp2dCadColors(SectionRecords<Color> colors)
{
    setPerPoint(m_insp2d_colors, std::move(colors), "Vaq::CAD::SectionBase::setInsp2dCadColors");
}

void SectionBase::setValues(SectionRecords<float> values)
{
    setPerPoint(m_values, std::move(values), "Vaq::CAD::SectionBase::setValues");
    updateMappedColors();
}

void SectionBase::setDistances(SectionRecords<BaVec3d<float>> distances)
{
    setPerPoint(m_distances, std::move(distances), "Vaq::CAD::SectionBase::setDistances");
}

void SectionBase::setSpringDistances(SectionRecords<BaVec3d<float>> distances)
{
    setPerPoint(m_spring_distances, std::move(distances), "Vaq::CAD::SectionBase::setSpringDistances");
}

void SectionBase::setCutoffDistances(SectionRecords<BaVec3d<float>> distances)
{
    setPerPoint(m_cutoff_distances, std::move(distances), "Vaq::CAD::SectionBase::setCutoffDistances");
}

void SectionBase::setInsp2dFlags(SectionRecords<Insp2dFlags> flags)
{
    setPerPoint(m_insp2d_flags, std::move(flags), "Vaq::CAD::SectionBase::setInsp2dFlags");
}

void SectionBase::setDeviations(SectionRecords<float> values, SectionRecords<BaVec3d<float>> vectors)
{
    const char *function = "Vaq::CAD::SectionBase::setDeviations";
    if ((!values.empty() && !fitsRuns(values)) || (!vectors.empty() && !fitsRuns(vectors))
        || values.empty() != vectors.empty())
        VAQ_PROG_ERROR(function, "wrong number of values");
    m_distances = std::move(vectors);
    m_values = std::move(values);
    updateMappedColors();
}

void SectionBase::setPointFlag(unsigned run, unsigned index, PointFlags::Flag flag, bool on)
{
    if (run >= m_flags.size() || index >= m_flags[run].size())
        VAQ_PROG_ERROR("Vaq::CAD::SectionBase::setPointFlag", "point index out of range");
    m_flags[run][index].set(flag, on);
    m_visible = 0;
    for (const auto &flags : m_flags)
        m_visible += unsigned(std::count_if(
            flags.begin(), flags.end(), [](const PointFlags &f) { return f.isVisibleAndNotPreview(); }));
}

void SectionBase::setColorMap(std::optional<Legend2::ColorMap> map)
{
    m_color_map = std::move(map);
    updateMappedColors();
}

void SectionBase::updateMappedColors()
{
    m_mapped_colors.clear();
    if (!m_color_map || m_values.empty())
        return;
    const Color fallback = getElemProperties()->datasetColor;
    for (const auto &values : m_values) {
        std::vector<Color> &colors = m_mapped_colors.emplace_back();
        colors.reserve(values.size());
        for (float value : values)
            colors.push_back(mapValueToColor(*m_color_map, value, fallback));
    }
}

const SectionRecords<BaVec3d<double>> &SectionBase::getSections(const StageIdentifier &stage) const
{
    return forStage(stage, m_sections);
}

const SectionRecords<PointFlags> &SectionBase::getFlags(const StageIdentifier &stage) const
{
    return forStage(stage, m_flags);
}

const SectionRecords<Color> &SectionBase::getColors(const StageIdentifier &stage) const
{
    return forStage(stage, m_mapped_colors.empty() ? m_colors : m_mapped_colors);
}

const SectionRecords<Color> &SectionBase::getSpringColorVectors(const StageIdentifier &stage) const
{
    return forStage(stage, m_spring_colors);
}

const SectionRecords<Color> &SectionBase::getCutoffColorVectors(const StageIdentifier &stage) const
{
    return forStage(stage, m_cutoff_colors);
}

const SectionRecords<Color> &SectionBase::getInsp2dCadColorsVector(const StageIdentifier &stage) const
{
    return forStage(stage, m_insp2d_colors);
}

const SectionRecords<float> &SectionBase::getVData(const StageIdentifier &stage) const
{
    return forStage(stage, m_values);
}

const SectionRecords<BaVec3d<float>> &SectionBase::getDistanceVector(const StageIdentifier &stage) const
{
    return forStage(stage, m_distances);
}

const SectionRecords<BaVec3d<float>> &SectionBase::getSpringDistVectors(const StageIdentifier &stage) const
{
    return forStage(stage, m_spring_distances);
}

const SectionRecords<BaVec3d<float>> &SectionBase::getCutoffDistVectors(const StageIdentifier &stage) const
{
    return forStage(stage, m_cutoff_distances);
}

const SectionRecords<Insp2dFlags> &SectionBase::getInsp2dFlags(const StageIdentifier &stage) const
{
    return forStage(stage, m_insp2d_flags);
}

bool SectionBase::isClosed(const StageIdentifier &stage, unsigned run) const
{
    return isStageValid(stage) && run < m_closed.size() && m_closed[run];
}

BaVec3d<double> SectionBase::firstPoint(const StageIdentifier &stage, unsigned run) const
{
    const auto &sections = getSections(stage);
    return run < sections.size() ? sections[run].front() : BaVec3d<double>();
}

bool SectionBase::existsDistanceVector(const StageIdentifier &stage) const
{
    return !getDistanceVector(stage).empty();
}

bool SectionBase::existsSpringDistVector(const StageIdentifier &stage) const
{
    return !getSpringDistVectors(stage).empty();
}

bool SectionBase::existsCutoffDistVector(const StageIdentifier &stage) const
{
    return !getCutoffDistVectors(stage).empty();
}

bool SectionBase::existsSpringColorVector(const StageIdentifier &stage) const
{
    return !getSpringColorVectors(stage).empty();
}

bool SectionBase::existsCutoffColorVector(const StageIdentifier &stage) const
{
    return !getCutoffColorVectors(stage).empty();
}

bool SectionBase::existsInsp2dFlags(const StageIdentifier &stage) const
{
    return !getInsp2dFlags(stage).empty();
}

unsigned SectionBase::getNumberOfPoints(const StageIdentifier &stage) const
{
    return isStageValid(stage) ? m_count : 0;
}

unsigned SectionBase::getNumberOfVisiblePoints(const StageIdentifier &stage) const
{
    return isStageValid(stage) ? m_visible : 0;
}

bool SectionBase::getBoundingBox(
    const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const
{
    return getStoredOrDataBox(m_box, stage, type, context, box);
}

} // namespace Vaq::CAD
