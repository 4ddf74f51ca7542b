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

// The bucket that holds the offset from the grid's start; the first or last for one outside.
// Clamped first, the truncating conversion rounds down (cheaper than floor, four per query).
int cellIndex(double offset, double cellSize, int cells)
{
    const double at = offset / cellSize;
    if (!(at > 0.0))
        return 0;
    return at >= double(cells) ? cells - 1 : int(at);
}

} // namespace

BoxGrid::BoxGrid(const QRectF &bounds, double cellSize)
    : m_bounds(bounds)
    , m_nx(cellCount(bounds.width(), cellSize))
    , m_ny(cellCount(bounds.height(), cellSize))
    , m_cell_w(std::max(bounds.width() / m_nx, 1e-9))
    , m_cell_h(std::max(bounds.height() / m_ny, 1e-9))
    , m_cells(size_t(m_nx) * size_t(m_ny))
{
}

int BoxGrid::column(double x) const
{
    return cellIndex(x - m_bounds.left(), m_cell_w, m_nx);
}

int BoxGrid::row(double y) const
{
    return cellIndex(y - m_bounds.top(), m_cell_h, m_ny);
}

BoxGrid::Range BoxGrid::range(const QRectF &rect) const
{
    return { column(rect.left()), row(rect.top()), column(rect.right()), row(rect.bottom()) };
}

int BoxGrid::insert(const QRectF &rect, int payload)
{
    const int handle = int(m_rects.size());
    m_rects.push_back(rect);
    m_payloads.push_back(payload);
    m_seen.push_back(0);
    const Range r = range(rect);
    for (int y = r.y0; y <= r.y1; ++y) {
        for (int x = r.x0; x <= r.x1; ++x)
            m_cells[size_t(y) * size_t(m_nx) + size_t(x)].push_back(handle);
    }
    return handle;
}

void BoxGrid::erase(int handle)
{
    const Range r = range(m_rects[size_t(handle)]);
    for (int y = r.y0; y <= r.y1; ++y) {
        for (int x = r.x0; x <= r.x1; ++x) {
            std::vector<int> &cell = m_cells[size_t(y) * size_t(m_nx) + size_t(x)];
            cell.erase(std::remove(cell.begin(), cell.end(), handle), cell.end());
        }
    }
}

} // namespace Vaq::Fig2
