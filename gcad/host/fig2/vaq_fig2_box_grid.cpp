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

int BoxGrid::insert(const QRectF &rect, int payload)
{
    const int handle = int(m_rects.size());
    m_rects.push_back(rect);
    const Range r = range(rect);
    for (int y = r.y0; y <= r.y1; ++y) {
        for (int x = r.x0; x <= r.x1; ++x)
            m_cells[size_t(y) * size_t(m_nx) + size_t(x)].push_back({ rect, payload, handle, r.x0, r.y0 });
    }
    return handle;
}

void BoxGrid::erase(int handle)
{
    const Range r = range(m_rects[size_t(handle)]);
    for (int y = r.y0; y <= r.y1; ++y) {
        for (int x = r.x0; x <= r.x1; ++x) {
            std::vector<Entry> &cell = m_cells[size_t(y) * size_t(m_nx) + size_t(x)];
            cell.erase(
                std::remove_if(cell.begin(), cell.end(), [&](const Entry &e) { return e.handle == handle; }),
                cell.end());
        }
    }
}

} // namespace Vaq::Fig2
