// Band order of a leaf's vertices. The leaf's surface is seen along the axis it faces most
// (its triangles' summed area vector), so the other two axes a and b span it; with n vertices
// over an extent A x B, the mean spacing is sqrt(A B / n). Cutting a into bands w spacings
// wide and walking each band along b in rows one spacing high visits w vertices per row, so
// w^2 consecutive vertices lie in a patch about w spacings on each side, and the corners a
// triangle shares with the row before it were visited about w vertices earlier. Within a
// row the given order stays, which keeps vertex fetches close in memory.
// O(n log n + triangles), no memory beyond the keys.
#include "gcad/mesh/gcad_vertex_bands.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <utility>

namespace Vaq::GCAD {

std::vector<uint32_t> bandOrder(const std::vector<BaVec3d<double>> &positions, const uint16_t *corners,
    std::size_t triangleCount, unsigned bandWidth)
{
    std::vector<uint32_t> order(positions.size());
    std::iota(order.begin(), order.end(), 0u);
    if (positions.empty())
        return order;
    std::array<double, 3> low, high;
    low.fill(INFINITY);
    high.fill(-INFINITY);
    for (const BaVec3d<double> &p : positions) {
        const double c[3] = { p.x, p.y, p.z };
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], c[axis]);
            high[axis] = std::max(high[axis], c[axis]);
        }
    }
    // The plane: the two axes other than the one the surface faces most; for a surface that
    // faces no way as a whole, the two longest.
    std::array<double, 3> extent;
    for (int axis = 0; axis < 3; ++axis)
        extent[axis] = std::isfinite(high[axis] - low[axis]) ? high[axis] - low[axis] : 0.0;
    BaVec3d<double> area;
    for (std::size_t t = 0; t < triangleCount; ++t) {
        const uint16_t *c = corners + 3 * t;
        const BaVec3d<double> &p = positions[c[0]];
        const BaVec3d<double> n = (positions[c[1]] - p).cross(positions[c[2]] - p);
        if (std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z))
            area = area + n;
    }
    const double facing[3] = { std::abs(area.x), std::abs(area.y), std::abs(area.z) };
    std::array<int, 3> axes = { 0, 1, 2 };
    std::sort(axes.begin(), axes.end(), [&](int i, int j) { return extent[i] > extent[j]; });
    const int normal
        = *std::max_element(axes.begin(), axes.end(), [&](int i, int j) { return facing[i] < facing[j]; });
    if (facing[normal] > 0.0)
        std::stable_partition(axes.begin(), axes.end(), [&](int axis) { return axis != normal; });
    // The bands cross the axis along which the given order moves most, so that each row of a
    // band keeps that order: neighbours in memory stay neighbours in the walk.
    double travel[3] = { 0.0, 0.0, 0.0 };
    for (std::size_t v = 1; v < positions.size(); ++v) {
        const BaVec3d<double> step = positions[v] - positions[v - 1];
        const double d[3] = { std::abs(step.x), std::abs(step.y), std::abs(step.z) };
        for (int axis = 0; axis < 3; ++axis)
            travel[axis] += std::isfinite(d[axis]) ? d[axis] : 0.0;
    }
    if (travel[axes[1]] > travel[axes[0]])
        std::swap(axes[0], axes[1]);
    const int a = axes[0], b = axes[1];
    const double spacing = std::sqrt(extent[a] * extent[b] / double(positions.size()));
    // Bands of equal width, none a sliver left over at the far end.
    const double bands = std::max(1.0, std::round(extent[a] / (bandWidth * spacing)));
    const double width = extent[a] / bands;
    if (!(width > 0.0) || !std::isfinite(width))
        return order;

    // (band, row of one spacing along it) per vertex, rows in the given order; vertices
    // without a finite position go last.
    std::vector<std::pair<double, double>> keys(positions.size());
    for (std::size_t v = 0; v < positions.size(); ++v) {
        const double c[3] = { positions[v].x, positions[v].y, positions[v].z };
        if (!std::isfinite(c[a]) || !std::isfinite(c[b])) {
            keys[v] = { INFINITY, 0.0 };
            continue;
        }
        keys[v] = { std::min(bands - 1.0, std::floor((c[a] - low[a]) / width)),
            std::floor((c[b] - low[b]) / spacing) };
    }
    std::stable_sort(order.begin(), order.end(), [&](uint32_t i, uint32_t j) { return keys[i] < keys[j]; });
    return order;
}

} // namespace Vaq::GCAD
