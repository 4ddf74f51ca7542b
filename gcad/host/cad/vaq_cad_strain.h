// Strain: the results of a forming simulation or strain measurement on a regular grid of
// width x height points (row by row, index = row x width + column), each with a position, a
// normal and a strain value. Points without a value are holes: they do not exist, and no
// facet, line or isoline touches them. The renderers get the grid as MappedPoints, whose value
// is the strain mapped to [0, 1] by the colour range, and facets of four of them.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_element.h"
#include "gcad/host/cad/vaq_cad_no_value.h"
#include "gcad/host/cad/vaq_cad_strain_isolines.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace Vaq::CAD {

// The state of one grid point in one byte.
class StrainPointFlags
{
public:
    enum Flag : uint8_t {
        EXISTS = 0x01,
        HIDDEN = 0x02, // stored inverted so that a new existing point is visible
        FLAGGED = 0x04, // marked by the user; drawn overlaid
    };

    constexpr StrainPointFlags() = default;
    constexpr explicit StrainPointFlags(uint8_t bits)
        : m_bits(bits)
    {
    }

    bool exists() const { return m_bits & EXISTS; }
    bool isVisible() const { return !(m_bits & HIDDEN); }
    bool isFlagged() const { return m_bits & FLAGGED; }
    // Exists and is visible: the point takes part in facets, lines and isolines.
    bool isShown() const { return (m_bits & (EXISTS | HIDDEN)) == EXISTS; }
    void set(Flag flag, bool on) { m_bits = on ? uint8_t(m_bits | flag) : uint8_t(m_bits & ~flag); }
    uint8_t bits() const { return m_bits; }

private:
    uint8_t m_bits = 0;
};

class Strain : public Element
{
public:
    struct MappedPoint
    {
        BaVec3d<float> position;
        BaVec3d<float> normal;
        // The largest float when the point has no value.
        float value = 0.0f;
        // A flagged point weighs half in the tessellation's weights.
        uint8_t flag = 0;
    };

    explicit Strain(const QString &fileName = QString());

    // Replaces the grid: positions and values one per point, row by row. A value that is
    // NO_VALUE or not a number makes its point a hole. Throws ProgError "grid too small"
    // (fewer than 2 x 2 points, or more than 2^31) or "wrong number of values" (a count that
    // does not match width x height); nothing changes then. Normals are estimated from the
    // neighbours, direction vectors and flags other than EXISTS are cleared.
    void setGrid(unsigned width, unsigned height, const std::vector<BaVec3d<double>> &positions,
        const std::vector<float> &values);
    // One record per point, or none to remove them; else ProgError "wrong number of values".
    void setNormals(std::vector<BaVec3d<float>> normals);
    void setMajorDirections(std::vector<BaVec3d<float>> directions);
    void setMinorDirections(std::vector<BaVec3d<float>> directions);
    void setDisplacements(std::vector<BaVec3d<float>> displacements);
    // Sets or clears HIDDEN or FLAGGED of the given points; ProgError "point index out of
    // range" or "flag cannot be set" (EXISTS follows the values); nothing changes then.
    void setPointFlag(const std::vector<uint32_t> &points, StrainPointFlags::Flag flag, bool on);

    // The strain values that map to 0 and 1, and the colours they run through (at least one;
    // ProgError "empty colour mapping"). ProgError "empty colour range" when max <= min.
    void setColorRange(float min, float max);
    void setColorMapping(std::vector<Color> colors);
    const std::vector<Color> &getColorMapping() const { return m_colors; }
    // The strain values at which isolines are drawn.
    void setIsolineValues(std::vector<float> values);
    const std::vector<float> &getIsolineValues() const { return m_isoline_values; }

    unsigned getWidth() const { return m_width; }
    unsigned getHeight() const { return m_height; }
    unsigned getPointIndex(unsigned column, unsigned row) const { return row * m_width + column; }

    // All queries below answer nothing in a stage where the element is not valid.
    StrainPointFlags getFlags(const StageIdentifier &stage, unsigned index) const;
    // The point as drawn; false for a point that is not shown.
    bool getDrawPoint(const StageIdentifier &stage, unsigned index, MappedPoint *point) const;
    // The facet whose corner 0 is (column, row), corners counter-clockwise: (column, row),
    // (column + 1, row), (column + 1, row + 1), (column, row + 1). False at the last column
    // or row, or when a corner is not shown.
    bool getDrawFacets(
        const StageIdentifier &stage, unsigned column, unsigned row, MappedPoint corners[4]) const;
    // The grid lines from the point to its shown neighbours in the next column and the next
    // row, as pairs of points (0, 2 or 4 written); returns the number written.
    unsigned getDrawLines(const StageIdentifier &stage, unsigned index, MappedPoint lines[4]) const;
    // The edges of the shown facets that no other shown facet shares, as pairs of points.
    std::vector<MappedPoint> getBoundary(const StageIdentifier &stage) const;

    // Vectors at a shown point: the grid's local directions towards the next column and the
    // next row (unit length), the principal strain directions and the displacement. False
    // when the point is not shown or the grid has no such vectors.
    bool getCoordinatesDirection(
        const StageIdentifier &stage, unsigned index, BaVec3d<float> *columns, BaVec3d<float> *rows) const;
    bool getMajorDirection(const StageIdentifier &stage, unsigned index, BaVec3d<float> *direction) const;
    bool getMinorDirection(const StageIdentifier &stage, unsigned index, BaVec3d<float> *direction) const;
    bool getDisplacementDirection(
        const StageIdentifier &stage, unsigned index, BaVec3d<float> *direction) const;

    // The isoline of the value with the given index in getIsolineValues: segments as pairs of
    // points, the surface normal at each, and where its label goes with its text. Empty (or
    // false) for an index out of range or a value the grid never crosses.
    const std::vector<BaVec3d<float>> &getIsolinePoints(const StageIdentifier &stage, unsigned value) const;
    const std::vector<BaVec3d<float>> &getIsolineNormals(const StageIdentifier &stage, unsigned value) const;
    bool getIsolineLabel(
        const StageIdentifier &stage, unsigned value, BaVec3d<double> *position, QString *text) const;

    unsigned getNumberOfPoints(const StageIdentifier &stage) const override;
    // The shown points.
    unsigned getNumberOfVisiblePoints(const StageIdentifier &stage) const override;
    bool getBoundingBox(
        const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const override;

private:
    bool isShown(unsigned index) const { return m_flags[index].isShown(); }
    MappedPoint mapped(unsigned index) const;
    void estimateNormals();
    bool vectorAt(const StageIdentifier &stage, unsigned index, const std::vector<BaVec3d<float>> &vectors,
        BaVec3d<float> *vector) const;
    void setPerPoint(std::vector<BaVec3d<float>> &target, std::vector<BaVec3d<float>> values);
    const StrainIsolines &isolines() const;

    unsigned m_width = 0;
    unsigned m_height = 0;
    std::vector<BaVec3d<float>> m_positions;
    std::vector<BaVec3d<float>> m_normals;
    std::vector<float> m_values;
    std::vector<StrainPointFlags> m_flags;
    std::vector<BaVec3d<float>> m_major;
    std::vector<BaVec3d<float>> m_minor;
    std::vector<BaVec3d<float>> m_displacements;
    unsigned m_shown = 0;
    Box3d m_box;
    float m_range_min = 0.0f;
    float m_range_max = 1.0f;
    std::vector<Color> m_colors;
    std::vector<float> m_isoline_values;
    // Traced when first asked for after a change of the grid or the values.
    mutable StrainIsolines m_isolines;
    mutable bool m_isolines_valid = false;
};

} // namespace Vaq::CAD
