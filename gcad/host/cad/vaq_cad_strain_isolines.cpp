// Marching squares over a strain grid. Each facet (four shown corners) is classified by which
// corners lie at or above the isoline value (16 cases); the crossings on its edges are found
// by linear interpolation of the values, and joined into one segment, or into two for the
// saddles (cases 5 and 10), which are resolved by the facet's mean value so that the lines
// never cross. Positions and normals are interpolated like the values. Cost: O(facets) per
// isoline value, one pass over the grid for each; memory: the segments found.
#include "gcad/host/cad/vaq_cad_strain_isolines.h"

namespace Vaq::CAD {

namespace {

// The edges of a facet as corner pairs; corners 0 (column, row), 1 (column + 1, row),
// 2 (column + 1, row + 1), 3 (column, row + 1).
constexpr int EDGE_CORNERS[4][2] = { { 0, 1 }, { 1, 2 }, { 2, 3 }, { 3, 0 } };

// For each case (bit i set when corner i is at or above the value) the edges joined by the
// segments: up to two pairs, -1 where there are none. Cases 5 and 10 are the saddles, given
// here for a centre below the value; a centre at or above it takes the other pairing.
constexpr int SEGMENTS[16][4] = {
    { -1, -1, -1, -1 },
    { 3, 0, -1, -1 },
    { 0, 1, -1, -1 },
    { 3, 1, -1, -1 },
    { 1, 2, -1, -1 },
    { 3, 0, 1, 2 },
    { 0, 2, -1, -1 },
    { 3, 2, -1, -1 },
    { 2, 3, -1, -1 },
    { 0, 2, -1, -1 },
    { 0, 1, 2, 3 },
    { 1, 2, -1, -1 },
    { 1, 3, -1, -1 },
    { 0, 1, -1, -1 },
    { 3, 0, -1, -1 },
    { -1, -1, -1, -1 },
};
constexpr int SADDLE_CENTRE_ABOVE[16][4] = {
    {},
    {},
    {},
    {},
    {},
    { 0, 1, 2, 3 },
    {},
    {},
    {},
    {},
    { 3, 0, 1, 2 },
    {},
    {},
    {},
    {},
    {},
};

struct Crossing
{
    BaVec3d<float> position;
    BaVec3d<float> normal;
};

} // namespace

void StrainIsolines::trace(const Grid &grid, const std::vector<float> &values)
{
    m_isolines.assign(values.size(), Isoline());
    if (grid.width < 2 || grid.height < 2)
        return;
    for (std::size_t v = 0; v < values.size(); ++v) {
        const float level = values[v];
        Isoline &line = m_isolines[v];
        for (unsigned row = 0; row + 1 < grid.height; ++row) {
            for (unsigned column = 0; column + 1 < grid.width; ++column) {
                const unsigned base = row * grid.width + column;
                const unsigned corners[4] = { base, base + 1, base + 1 + grid.width, base + grid.width };
                bool all = true;
                for (unsigned c : corners)
                    all = all && grid.shown[c];
                if (!all)
                    continue;
                int kind = 0;
                for (int i = 0; i < 4; ++i)
                    if (grid.values[corners[i]] >= level)
                        kind |= 1 << i;
                if (kind == 0 || kind == 15)
                    continue;
                const int *pairs = SEGMENTS[kind];
                if (kind == 5 || kind == 10) {
                    float mean = 0.0f;
                    for (unsigned c : corners)
                        mean += grid.values[c] / 4.0f;
                    if (mean >= level)
                        pairs = SADDLE_CENTRE_ABOVE[kind];
                }
                const auto crossing = [&](int edge) {
                    const unsigned a = corners[EDGE_CORNERS[edge][0]], b = corners[EDGE_CORNERS[edge][1]];
                    const float t = (level - grid.values[a]) / (grid.values[b] - grid.values[a]);
                    return Crossing { grid.positions[a] + (grid.positions[b] - grid.positions[a]) * t,
                        grid.normals[a] + (grid.normals[b] - grid.normals[a]) * t };
                };
                for (int s = 0; s < 4 && pairs[s] >= 0; s += 2) {
                    for (int e : { pairs[s], pairs[s + 1] }) {
                        const Crossing c = crossing(e);
                        line.points.push_back(c.position);
                        line.normals.push_back(c.normal);
                    }
                }
            }
        }
    }
}

const StrainIsolines::Isoline &StrainIsolines::get(unsigned index) const
{
    static const Isoline none;
    return index < m_isolines.size() ? m_isolines[index] : none;
}

bool StrainIsolines::getLabelPosition(unsigned index, BaVec3d<float> *position) const
{
    const Isoline &line = get(index);
    if (line.points.empty())
        return false;
    const std::size_t segment = line.points.size() / 4;
    *position = (line.points[2 * segment] + line.points[2 * segment + 1]) * 0.5f;
    return true;
}

} // namespace Vaq::CAD
