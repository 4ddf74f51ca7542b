// PointGrid: points sorted into cubic cells of one size, for the points within a radius of a
// query. Built by one sort (O(n log n)); a query looks at the 27 cells around it, each found by
// a binary search, so its cost is that of the points in them.
#pragma once

#include "gcad/host/base/vaq_vec.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace Gcad::Scene {

class PointGrid
{
public:
    // The points given by their indices in points, in cells of size cell (> 0); points must
    // outlive the grid.
    PointGrid(const std::vector<Vaq::BaVec3d<double>> &points, std::vector<uint32_t> indices, double cell);

    // The indices of the points at most radius (up to the cell size) from p, in no order.
    std::vector<uint32_t> within(const Vaq::BaVec3d<double> &p, double radius) const;

private:
    uint64_t keyOf(int64_t x, int64_t y, int64_t z) const;
    int64_t cellOf(double v, int axis) const;

    const std::vector<Vaq::BaVec3d<double>> &m_points;
    Vaq::BaVec3d<double> m_origin;
    double m_cell;
    // (cell key, point index), sorted by key.
    std::vector<std::pair<uint64_t, uint32_t>> m_entries;
};

} // namespace Gcad::Scene
