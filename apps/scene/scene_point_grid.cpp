#include "apps/scene/scene_point_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Gcad::Scene {

namespace {

// Cells per axis a key can tell apart: 21 bits each.
constexpr int64_t CELLS = int64_t(1) << 21;

} // namespace

PointGrid::PointGrid(
    const std::vector<Vaq::BaVec3d<double>> &points, std::vector<uint32_t> indices, double cell)
    : m_points(points)
{
    Vaq::BaVec3d<double> low { INFINITY, INFINITY, INFINITY }, high = -low;
    for (const uint32_t i : indices) {
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], points[i][axis]);
            high[axis] = std::max(high[axis], points[i][axis]);
        }
    }
    m_origin = low;
    // Cells are never so small that the keys would run out.
    double extent = 0.0;
    for (int axis = 0; axis < 3 && !indices.empty(); ++axis)
        extent = std::max(extent, high[axis] - low[axis]);
    m_cell = std::max(cell, extent / double(CELLS - 2));
    m_entries.reserve(indices.size());
    for (const uint32_t i : indices) {
        const Vaq::BaVec3d<double> &p = points[i];
        m_entries.emplace_back(keyOf(cellOf(p.x, 0), cellOf(p.y, 1), cellOf(p.z, 2)), i);
    }
    std::sort(m_entries.begin(), m_entries.end());
}

int64_t PointGrid::cellOf(double v, int axis) const
{
    return int64_t(std::floor((v - m_origin[axis]) / m_cell));
}

uint64_t PointGrid::keyOf(int64_t x, int64_t y, int64_t z) const
{
    return uint64_t(x) << 42 | uint64_t(y) << 21 | uint64_t(z);
}

std::vector<uint32_t> PointGrid::within(const Vaq::BaVec3d<double> &p, double radius) const
{
    std::vector<uint32_t> found;
    if (m_entries.empty())
        return found;
    const int64_t cx = cellOf(p.x, 0), cy = cellOf(p.y, 1), cz = cellOf(p.z, 2);
    const double radius2 = radius * radius;
    for (int64_t x = cx - 1; x <= cx + 1; ++x) {
        for (int64_t y = cy - 1; y <= cy + 1; ++y) {
            for (int64_t z = cz - 1; z <= cz + 1; ++z) {
                if (x < 0 || y < 0 || z < 0 || x >= CELLS || y >= CELLS || z >= CELLS)
                    continue;
                const uint64_t key = keyOf(x, y, z);
                auto at
                    = std::lower_bound(m_entries.begin(), m_entries.end(), std::make_pair(key, uint32_t(0)));
                for (; at != m_entries.end() && at->first == key; ++at) {
                    const Vaq::BaVec3d<double> d = m_points[at->second] - p;
                    if (d.dot(d) <= radius2)
                        found.push_back(at->second);
                }
            }
        }
    }
    return found;
}

} // namespace Gcad::Scene
