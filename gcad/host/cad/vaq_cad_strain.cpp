#include "gcad/host/cad/vaq_cad_strain.h"

#include "gcad/host/base/vaq_prog_error.h"

#include <cmath>
#include <limits>

namespace Vaq::CAD {

namespace {

// Blue through cyan, green and yellow to red: low strain cold, high strain hot.
const std::vector<Color> DEFAULT_COLORS
    = { { 0, 0, 255 }, { 0, 255, 255 }, { 0, 255, 0 }, { 255, 255, 0 }, { 255, 0, 0 } };

// Shorter normals are left as the sum of the neighbours' cross products gives them.
constexpr float MIN_NORMAL_LENGTH = 1e-20f;

BaVec3d<float> toFloat(const BaVec3d<double> &v)
{
    return { float(v.x), float(v.y), float(v.z) };
}

} // namespace

Strain::Strain(const QString &fileName)
    : Element(ElementCreator::STRAIN_GRID, fileName)
    , m_colors(DEFAULT_COLORS)
{
}

void Strain::setGrid(unsigned width, unsigned height, const std::vector<BaVec3d<double>> &positions,
    const std::vector<float> &values)
{
    if (width < 2 || height < 2 || uint64_t(width) * height > uint64_t(std::numeric_limits<int32_t>::max()))
        VAQ_PROG_ERROR("Vaq::CAD::Strain::setGrid", "grid too small");
    const std::size_t count = std::size_t(width) * height;
    if (positions.size() != count || values.size() != count)
        VAQ_PROG_ERROR("Vaq::CAD::Strain::setGrid", "wrong number of values");

    m_width = width;
    m_height = height;
    m_positions.resize(count);
    m_values.resize(count);
    m_flags.assign(count, StrainPointFlags());
    m_box = Box3d();
    m_shown = 0;
    for (std::size_t i = 0; i < count; ++i) {
        m_positions[i] = toFloat(positions[i]);
        const bool hole = values[i] == NO_VALUE || std::isnan(values[i]);
        m_values[i] = hole ? NO_VALUE : values[i];
        if (hole)
            continue;
        m_flags[i].set(StrainPointFlags::EXISTS, true);
        m_box.extend(positions[i]);
        ++m_shown;
    }
    m_major.clear();
    m_minor.clear();
    m_displacements.clear();
    estimateNormals();
    m_isolines_valid = false;
}

void Strain::estimateNormals()
{
    // The sum of the cross products of the edges to the existing neighbours, in turn round
    // the point: on a smooth surface close to the surface normal, facing +z for a grid laid
    // out with columns along x and rows along y.
    m_normals.assign(m_positions.size(), BaVec3d<float>());
    const int dc[4] = { 1, 0, -1, 0 }, dr[4] = { 0, 1, 0, -1 };
    for (unsigned row = 0; row < m_height; ++row) {
        for (unsigned column = 0; column < m_width; ++column) {
            const unsigned i = getPointIndex(column, row);
            if (!m_flags[i].exists())
                continue;
            BaVec3d<float> sum;
            for (int k = 0; k < 4; ++k) {
                const int c0 = int(column) + dc[k], r0 = int(row) + dr[k];
                const int c1 = int(column) + dc[(k + 1) % 4], r1 = int(row) + dr[(k + 1) % 4];
                if (c0 < 0 || r0 < 0 || c1 < 0 || r1 < 0 || c0 >= int(m_width) || c1 >= int(m_width)
                    || r0 >= int(m_height) || r1 >= int(m_height))
                    continue;
                const unsigned a = getPointIndex(unsigned(c0), unsigned(r0));
                const unsigned b = getPointIndex(unsigned(c1), unsigned(r1));
                if (m_flags[a].exists() && m_flags[b].exists())
                    sum += (m_positions[a] - m_positions[i]).cross(m_positions[b] - m_positions[i]);
            }
            m_normals[i] = sum.length() > MIN_NORMAL_LENGTH ? sum.normalized() : sum;
        }
    }
}

void Strain::setPerPoint(std::vector<BaVec3d<float>> &target, std::vector<BaVec3d<float>> values)
{
    if (!values.empty() && values.size() != m_positions.size())
        VAQ_PROG_ERROR("Vaq::CAD::Strain::setPerPoint", "wrong number of values");
    target = std::move(values);
}

void Strain::setNormals(std::vector<BaVec3d<float>> normals)
{
    if (normals.empty()) {
        estimateNormals();
    } else {
        setPerPoint(m_normals, std::move(normals));
    }
    m_isolines_valid = false;
}

void Strain::setMajorDirections(std::vector<BaVec3d<float>> directions)
{
    setPerPoint(m_major, std::move(directions));
}

void Strain::setMinorDirections(std::vector<BaVec3d<float>> directions)
{
    setPerPoint(m_minor, std::move(directions));
}

void Strain::setDisplacements(std::vector<BaVec3d<float>> displacements)
{
    setPerPoint(m_displacements, std::move(displacements));
}

void Strain::setPointFlag(const std::vector<uint32_t> &points, StrainPointFlags::Flag flag, bool on)
{
    if (flag == StrainPointFlags::EXISTS)
        VAQ_PROG_ERROR("Vaq::CAD::Strain::setPointFlag", "flag cannot be set");
    for (uint32_t i : points)
        if (i >= m_flags.size())
            VAQ_PROG_ERROR("Vaq::CAD::Strain::setPointFlag", "point index out of range");
    for (uint32_t i : points) {
        const bool was = m_flags[i].isShown();
        m_flags[i].set(flag, on);
        m_shown += unsigned(m_flags[i].isShown()) - unsigned(was);
    }
    if (flag == StrainPointFlags::HIDDEN)
        m_isolines_valid = false;
}

void Strain::setColorRange(float min, float max)
{
    if (!(max > min))
        VAQ_PROG_ERROR("Vaq::CAD::Strain::setColorRange", "empty colour range");
    m_range_min = min;
    m_range_max = max;
}

void Strain::setColorMapping(std::vector<Color> colors)
{
    if (colors.empty())
        VAQ_PROG_ERROR("Vaq::CAD::Strain::setColorMapping", "empty colour mapping");
    m_colors = std::move(colors);
}

void Strain::setIsolineValues(std::vector<float> values)
{
    m_isoline_values = std::move(values);
    m_isolines_valid = false;
}

StrainPointFlags Strain::getFlags(const StageIdentifier &stage, unsigned index) const
{
    return isStageValid(stage) && index < m_flags.size() ? m_flags[index] : StrainPointFlags();
}

Strain::MappedPoint Strain::mapped(unsigned index) const
{
    const float value = m_values[index];
    return { m_positions[index], m_normals[index],
        value == NO_VALUE ? NO_VALUE : (value - m_range_min) / (m_range_max - m_range_min),
        uint8_t(m_flags[index].isFlagged() ? 1 : 0) };
}

bool Strain::getDrawPoint(const StageIdentifier &stage, unsigned index, MappedPoint *point) const
{
    if (!isStageValid(stage) || index >= m_flags.size() || !isShown(index))
        return false;
    *point = mapped(index);
    return true;
}

bool Strain::getDrawFacets(
    const StageIdentifier &stage, unsigned column, unsigned row, MappedPoint corners[4]) const
{
    if (!isStageValid(stage) || column + 1 >= m_width || row + 1 >= m_height)
        return false;
    const unsigned base = getPointIndex(column, row);
    const unsigned indices[4] = { base, base + 1, base + 1 + m_width, base + m_width };
    for (unsigned i : indices)
        if (!isShown(i))
            return false;
    for (int k = 0; k < 4; ++k)
        corners[k] = mapped(indices[k]);
    return true;
}

unsigned Strain::getDrawLines(const StageIdentifier &stage, unsigned index, MappedPoint lines[4]) const
{
    if (!isStageValid(stage) || index >= m_flags.size() || !isShown(index))
        return 0;
    unsigned count = 0;
    const unsigned column = index % m_width, row = index / m_width;
    if (column + 1 < m_width && isShown(index + 1)) {
        lines[count++] = mapped(index);
        lines[count++] = mapped(index + 1);
    }
    if (row + 1 < m_height && isShown(index + m_width)) {
        lines[count++] = mapped(index);
        lines[count++] = mapped(index + m_width);
    }
    return count;
}

std::vector<Strain::MappedPoint> Strain::getBoundary(const StageIdentifier &stage) const
{
    std::vector<MappedPoint> boundary;
    if (!isStageValid(stage))
        return boundary;
    // A facet is shown when its four corners are; an edge of a shown facet is a boundary edge
    // when the facet across it is not shown (or lies outside the grid).
    MappedPoint corners[4];
    const auto facetShown = [&](int column, int row) {
        return column >= 0 && row >= 0 && getDrawFacets(stage, unsigned(column), unsigned(row), corners);
    };
    for (unsigned row = 0; row + 1 < m_height; ++row) {
        for (unsigned column = 0; column + 1 < m_width; ++column) {
            MappedPoint facet[4];
            if (!getDrawFacets(stage, column, row, facet))
                continue;
            const int c = int(column), r = int(row);
            const bool across[4]
                = { facetShown(c, r - 1), facetShown(c + 1, r), facetShown(c, r + 1), facetShown(c - 1, r) };
            for (int e = 0; e < 4; ++e) {
                if (across[e])
                    continue;
                boundary.push_back(facet[e]);
                boundary.push_back(facet[(e + 1) % 4]);
            }
        }
    }
    return boundary;
}

bool Strain::getCoordinatesDirection(
    const StageIdentifier &stage, unsigned index, BaVec3d<float> *columns, BaVec3d<float> *rows) const
{
    if (!isStageValid(stage) || index >= m_flags.size() || !isShown(index))
        return false;
    // Towards the next column and row, or from the previous one at the grid's far edges.
    const unsigned column = index % m_width, row = index / m_width;
    const unsigned nextColumn = column + 1 < m_width ? index + 1 : index;
    const unsigned previousColumn = column + 1 < m_width ? index : index - 1;
    const unsigned nextRow = row + 1 < m_height ? index + m_width : index;
    const unsigned previousRow = row + 1 < m_height ? index : index - m_width;
    const BaVec3d<float> u = m_positions[nextColumn] - m_positions[previousColumn];
    const BaVec3d<float> v = m_positions[nextRow] - m_positions[previousRow];
    if (!(u.length() > 0.0f) || !(v.length() > 0.0f))
        return false;
    *columns = u.normalized();
    *rows = v.normalized();
    return true;
}

bool Strain::vectorAt(const StageIdentifier &stage, unsigned index,
    const std::vector<BaVec3d<float>> &vectors, BaVec3d<float> *vector) const
{
    if (vectors.empty() || !isStageValid(stage) || index >= m_flags.size() || !isShown(index))
        return false;
    *vector = vectors[index];
    return true;
}

bool Strain::getMajorDirection(const StageIdentifier &stage, unsigned index, BaVec3d<float> *direction) const
{
    return vectorAt(stage, index, m_major, direction);
}

bool Strain::getMinorDirection(const StageIdentifier &stage, unsigned index, BaVec3d<float> *direction) const
{
    return vectorAt(stage, index, m_minor, direction);
}

bool Strain::getDisplacementDirection(
    const StageIdentifier &stage, unsigned index, BaVec3d<float> *direction) const
{
    return vectorAt(stage, index, m_displacements, direction);
}

const StrainIsolines &Strain::isolines() const
{
    if (!m_isolines_valid) {
        StrainIsolines::Grid grid { m_width, m_height, m_positions.data(), m_normals.data(), m_values.data(),
            std::vector<bool>(m_flags.size()) };
        for (std::size_t i = 0; i < m_flags.size(); ++i)
            grid.shown[i] = m_flags[i].isShown();
        m_isolines.trace(grid, m_isoline_values);
        m_isolines_valid = true;
    }
    return m_isolines;
}

const std::vector<BaVec3d<float>> &Strain::getIsolinePoints(
    const StageIdentifier &stage, unsigned value) const
{
    static const std::vector<BaVec3d<float>> none;
    return isStageValid(stage) ? isolines().get(value).points : none;
}

const std::vector<BaVec3d<float>> &Strain::getIsolineNormals(
    const StageIdentifier &stage, unsigned value) const
{
    static const std::vector<BaVec3d<float>> none;
    return isStageValid(stage) ? isolines().get(value).normals : none;
}

bool Strain::getIsolineLabel(
    const StageIdentifier &stage, unsigned value, BaVec3d<double> *position, QString *text) const
{
    BaVec3d<float> at;
    if (!isStageValid(stage) || !isolines().getLabelPosition(value, &at))
        return false;
    *position = { at.x, at.y, at.z };
    *text = QString::number(double(m_isoline_values[value]), 'g', 4);
    return true;
}

unsigned Strain::getNumberOfPoints(const StageIdentifier &stage) const
{
    return isStageValid(stage) ? unsigned(m_positions.size()) : 0;
}

unsigned Strain::getNumberOfVisiblePoints(const StageIdentifier &stage) const
{
    return isStageValid(stage) ? m_shown : 0;
}

bool Strain::getBoundingBox(
    const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const
{
    return getStoredOrDataBox(m_box, stage, type, context, box);
}

} // namespace Vaq::CAD
