// SectionBase: a section element, polylines cut through a part or measured along a curve. It
// holds one or more runs (sections) of points, each open or closed, and per point, each either
// empty or one record per point of every run: flags, colours (own, spring, cutoff and those of a
// 2-D inspection), a value (the deviation; NO_VALUE where there is none) and the deviation,
// spring and cutoff distance vectors. One data set serves every valid stage.
#pragma once

#include "gcad/host/base/vaq_box.h"
#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_element.h"
#include "gcad/host/cad/vaq_cad_no_value.h"
#include "gcad/host/cad/vaq_cad_point_flags.h"
#include "gcad/host/fig2/vaq_fig2_color_map.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace Vaq::CAD {

// One record per point, run by run.
template<typename T> using SectionRecords = std::vector<std::vector<T>>;

// What a 2-D inspection asks of one point: whether it may and wants to show its distance
// needle, and whether it takes part in the actual line.
class Insp2dFlags
{
public:
    enum Flag : uint8_t {
        DIST_VECTOR_ALLOWED = 0x01,
        DIST_VECTOR_DESIRED = 0x02,
        ACT_LINE = 0x04,
    };

    constexpr Insp2dFlags() = default;
    constexpr explicit Insp2dFlags(uint8_t bits)
        : m_bits(bits)
    {
    }

    bool isDistVectorAllowed() const { return m_bits & DIST_VECTOR_ALLOWED; }
    bool isDistVectorDesired() const { return m_bits & DIST_VECTOR_DESIRED; }
    // A needle is drawn where it is both allowed and wanted.
    bool drawDistVec() const { return isDistVectorAllowed() && isDistVectorDesired(); }
    bool drawActLine() const { return m_bits & ACT_LINE; }

private:
    uint8_t m_bits = 0;
};

// What a section shows (sizes and widths in pixels). Sections of a 2-D inspection have a set
// of their own (SectionBase::getInsp2dDisplay).
struct SectionDisplay
{
    bool points = false;
    bool polyline = true;
    // The deviation display brings the deviation needles, the actual line and the actual
    // points; the vector display the deviation, spring and cutoff distance needles.
    bool deviationDisplay = false;
    bool vectorDisplay = false;
    bool deviationNeedles = false;
    bool actualLine = false;
    bool actualPoints = false;
    bool springNeedles = false;
    bool cutoffNeedles = false;
    // 2-D inspections: needles of the points whose inspection flags allow them, and the
    // tolerance band.
    bool inspectionNeedles = false;
    bool tolerance = false;
    double pointSize = 3.0;
    double actualPointSize = 3.0;
    double lineWidth = 1.0;
    double actualLineWidth = 1.0;
    double needleLineWidth = 1.0;
    double inspectionLineWidth = 1.0;
    // Needle length per model unit of vector, on top of the element's needleScale.
    double needleScale = 1.0;
    // Which colours the points take: 0 their own, 1 the spring colours, 2 the cutoff colours.
    int colorSource = 0;
    // The tolerance band: filled in this colour's alpha, outlined opaque.
    Color toleranceColor { 0, 180, 0, 90 };
};

class SectionBase : public Element
{
public:
    // Throws ProgError "not a section type" when type is not a section kind.
    explicit SectionBase(
        ElementCreator::Element_t type = ElementCreator::SECTION, const QString &fileName = QString());

    // Replaces the runs (closed may be empty: all open, else one flag per run); every per-point
    // record is emptied and all points become visible. Throws ProgError "a section needs at
    // least two points", "section point is not finite" or "wrong number of closed flags";
    // nothing changes then.
    void setSections(SectionRecords<BaVec3d<double>> runs, std::vector<bool> closed = {});
    // Each setter takes one record per point of every run, or none to remove them, else throws
    // ProgError "wrong number of values" and changes nothing.
    void setColors(SectionRecords<Color> colors);
    void setSpringColors(SectionRecords<Color> colors);
    void setCutoffColors(SectionRecords<Color> colors);
    void setInsp2dCadColors(SectionRecords<Color> colors);
    void setValues(SectionRecords<float> values);
    void setDistances(SectionRecords<BaVec3d<float>> distances);
    void setSpringDistances(SectionRecords<BaVec3d<float>> distances);
    void setCutoffDistances(SectionRecords<BaVec3d<float>> distances);
    void setInsp2dFlags(SectionRecords<Insp2dFlags> flags);
    // The deviations of a cut: a value and a needle vector per point. Either both or neither.
    void setDeviations(SectionRecords<float> values, SectionRecords<BaVec3d<float>> vectors);
    // Sets or clears one flag of the point index of run. Throws ProgError "point index out of
    // range"; nothing changes then.
    void setPointFlag(unsigned run, unsigned index, PointFlags::Flag flag, bool on);
    // With a colour map, a section with values takes its point colours from them (getColors);
    // without, its own colours.
    void setColorMap(std::optional<Legend2::ColorMap> map);
    const std::optional<Legend2::ColorMap> &getColorMap() const { return m_color_map; }

    // The data for stage: empty in a stage where the element is not valid.
    const SectionRecords<BaVec3d<double>> &getSections(const StageIdentifier &stage) const;
    const SectionRecords<PointFlags> &getFlags(const StageIdentifier &stage) const;
    const SectionRecords<Color> &getColors(const StageIdentifier &stage) const;
    const SectionRecords<Color> &getSpringColorVectors(const StageIdentifier &stage) const;
    const SectionRecords<Color> &getCutoffColorVectors(const StageIdentifier &stage) const;
    const SectionRecords<Color> &getInsp2dCadColorsVector(const StageIdentifier &stage) const;
    const SectionRecords<float> &getVData(const StageIdentifier &stage) const;
    const SectionRecords<BaVec3d<float>> &getDistanceVector(const StageIdentifier &stage) const;
    const SectionRecords<BaVec3d<float>> &getSpringDistVectors(const StageIdentifier &stage) const;
    const SectionRecords<BaVec3d<float>> &getCutoffDistVectors(const StageIdentifier &stage) const;
    const SectionRecords<Insp2dFlags> &getInsp2dFlags(const StageIdentifier &stage) const;
    // Whether run is closed (false for a run it does not have), and its first point.
    bool isClosed(const StageIdentifier &stage, unsigned run) const;
    BaVec3d<double> firstPoint(const StageIdentifier &stage, unsigned run) const;

    bool existsDistanceVector(const StageIdentifier &stage) const;
    bool existsSpringDistVector(const StageIdentifier &stage) const;
    bool existsCutoffDistVector(const StageIdentifier &stage) const;
    bool existsSpringColorVector(const StageIdentifier &stage) const;
    bool existsCutoffColorVector(const StageIdentifier &stage) const;
    bool existsInsp2dFlags(const StageIdentifier &stage) const;
    // Sections of a 2-D inspection override it.
    virtual bool existsToleranceVector(const StageIdentifier &) const { return false; }

    SectionDisplay &getDisplay() { return m_display; }
    const SectionDisplay &getDisplay() const { return m_display; }
    SectionDisplay &getInsp2dDisplay() { return m_insp2d_display; }
    const SectionDisplay &getInsp2dDisplay() const { return m_insp2d_display; }

    // Picking (vaq_cad_section_find.cpp): the nearest point to the viewer of the polyline as
    // drawn and of the shown points within tolerancePixels of the view line.
    bool findElementAtPixel(
        const StageIdentifier &stage, FindParameter &parameter, double tolerancePixels) const override;

    unsigned getNumberOfPoints(const StageIdentifier &stage) const override;
    // The points that are visible and no preview.
    unsigned getNumberOfVisiblePoints(const StageIdentifier &stage) const override;
    // The box of the points; false without points or in a stage where the element is not valid.
    bool getBoundingBox(
        const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const override;

protected:
    // Called after the runs changed, for kinds that derive data from them.
    virtual void sectionsChanged() { }
    template<typename T>
    void setPerPoint(SectionRecords<T> &target, SectionRecords<T> records, const char *function);
    template<typename T>
    const SectionRecords<T> &forStage(const StageIdentifier &stage, const SectionRecords<T> &records) const;
    // The box of the points again, and widened for drawings beyond them (a tolerance band).
    void recomputeBox();
    void extendBox(const BaVec3d<double> &point) { m_box.extend(point); }
    const SectionRecords<BaVec3d<double>> &runs() const { return m_sections; }
    const std::vector<bool> &closedFlags() const { return m_closed; }

private:
    template<typename T> bool fitsRuns(const SectionRecords<T> &records) const;
    void updateMappedColors();

    SectionRecords<BaVec3d<double>> m_sections;
    std::vector<bool> m_closed;
    SectionRecords<PointFlags> m_flags;
    SectionRecords<Color> m_colors;
    SectionRecords<Color> m_mapped_colors;
    SectionRecords<Color> m_spring_colors;
    SectionRecords<Color> m_cutoff_colors;
    SectionRecords<Color> m_insp2d_colors;
    SectionRecords<float> m_values;
    SectionRecords<BaVec3d<float>> m_distances;
    SectionRecords<BaVec3d<float>> m_spring_distances;
    SectionRecords<BaVec3d<float>> m_cutoff_distances;
    SectionRecords<Insp2dFlags> m_insp2d_flags;
    std::optional<Legend2::ColorMap> m_color_map;
    SectionDisplay m_display;
    SectionDisplay m_insp2d_display;
    Box3d m_box;
    unsigned m_count = 0;
    unsigned m_visible = 0;
};

template<typename T> bool SectionBase::fitsRuns(const SectionRecords<T> &records) const
{
    if (records.size() != m_sections.size())
        return false;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].size() != m_sections[i].size())
            return false;
    }
    return true;
}

template<typename T>
void SectionBase::setPerPoint(SectionRecords<T> &target, SectionRecords<T> records, const char *function)
{
    if (!records.empty() && !fitsRuns(records))
        VAQ_PROG_ERROR(function, "wrong number of values");
    target = std::move(records);
}

template<typename T>
const SectionRecords<T> &SectionBase::forStage(
    const StageIdentifier &stage, const SectionRecords<T> &records) const
{
    static const SectionRecords<T> none;
    return isStageValid(stage) ? records : none;
}

// The colour of value on map: the band of the data range it falls in (values beyond take the
// nearer end's band); a value without result takes the uncomputed colour, or fallback.
Color mapValueToColor(const Legend2::ColorMap &map, float value, const Color &fallback);

} // namespace Vaq::CAD
