#include "gcad/host/fig2/vaq_fig2_box_grid.h"

#include <algorithm>
#include <cmath>

namespace Vaq::Fig2 {

namespace {

constexpr int MAX_CELLS_PER_SIDE = 256;

int cellCount(double extent, double cellSize)
{
    const double count = std::ceil(extent / cellSize);
    return count >= MAX_CELLS_PER_SIDE ? MAX_CELLS_PER_SIDE : std::max(1, int(count));
}

} // namespace

BoxGrid::BoxGrid(const QRectF &bounds, double cellSize)
    : m_bounds(bounds)
    , m_nx(cellCount(bounds.width(), cellSize))
    , m_ny(cellCount(bounds.height(), cellSize))
    , m_inv_w(1.0 / std::max(bounds.width() / m_nx, 1e-9))
    , m_inv_h(1.0 / std::max(bounds.height() / m_ny, 1e-9))
    , m_cells(size_t(m_nx) * size_t(m_ny))
{
}

// Calls cell(bucket) for each bucket that holds the stored item.
template<typename Cell> void BoxGrid::forEachCell(const Stored &stored, Cell &&cell)
{
    const auto row = [&](int y, int x0, int x1) {
        for (int x = x0; x <= x1; ++x)
            cell(m_cells[size_t(y) * size_t(m_nx) + size_t(x)]);
        return true;
    };
    if (stored.alongSegment) {
        forEachRowAlong(stored.segment, row);
        return;
    }
    const Range r = range(stored.rect);
    for (int y = r.y0; y <= r.y1; ++y)
        row(y, r.x0, r.x1);
}

int BoxGrid::insert(const QRectF &rect, int payload)
{
    return store({ rect, QLineF(), false }, payload);
}

int BoxGrid::insert(const QLineF &segment, int payload)
{
    return store({ QRectF(segment.p1(), segment.p2()).normalized(), segment, true }, payload);
}

int BoxGrid::store(const Stored &stored, int payload)
{
    const int handle = int(m_stored.size());
    m_stored.push_back(stored);
    m_seen.push_back(0);
    forEachCell(stored, [&](std::vector<Entry> &cell) { cell.push_back({ stored.rect, payload, handle }); });
    return handle;
}

void BoxGrid::erase(int handle)
{
    forEachCell(m_stored[size_t(handle)], [&](std::vector<Entry> &cell) {
        cell.erase(
            std::remove_if(cell.begin(), cell.end(), [&](const Entry &e) { return e.handle == handle; }),
            cell.end());
    });
}

} // namespace Vaq::Fig2
