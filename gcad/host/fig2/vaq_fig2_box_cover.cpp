#include "gcad/host/fig2/vaq_fig2_box_cover.h"

#include <algorithm>
#include <cmath>

namespace Vaq::Fig2 {

namespace {

constexpr int MAX_CELLS_PER_SIDE = 512;
// How far (in cells) a counted cell keeps inside its rectangle, so that rounding cannot count a
// cell that sticks out by a hair.
constexpr double INSET = 1e-6;

int cellCount(double extent, double cellSize)
{
    const double count = std::ceil(extent / cellSize);
    return count >= MAX_CELLS_PER_SIDE ? MAX_CELLS_PER_SIDE : std::max(1, int(count));
}

} // namespace

BoxCover::BoxCover(const QRectF &bounds, double cellSize)
    : m_left(bounds.left())
    , m_top(bounds.top())
    , m_nx(cellCount(bounds.width(), cellSize))
    , m_ny(cellCount(bounds.height(), cellSize))
    , m_inv_w(1.0 / std::max(bounds.width() / m_nx, 1e-9))
    , m_inv_h(1.0 / std::max(bounds.height() / m_ny, 1e-9))
    , m_counts(size_t(m_nx) * size_t(m_ny), 0)
{
}

void BoxCover::add(const QRectF &rect)
{
    count(rect, 1);
}

void BoxCover::remove(const QRectF &rect)
{
    count(rect, -1);
}

// The cells whose closed square lies inside the rectangle, kept a little off its edges against
// rounding: every point of them, edges included, lies inside it. The same rectangle always
// meets the same cells, so that removing it undoes adding it.
void BoxCover::count(const QRectF &rect, int delta)
{
    const auto first
        = [](double at, int cells) { return std::clamp(std::floor(at + INSET) + 1.0, 0.0, double(cells)); };
    const auto end
        = [](double at, int cells) { return std::clamp(std::ceil(at - INSET) - 1.0, 0.0, double(cells)); };
    const int x0 = int(first((rect.left() - m_left) * m_inv_w, m_nx));
    const int y0 = int(first((rect.top() - m_top) * m_inv_h, m_ny));
    const int x1 = int(end((rect.right() - m_left) * m_inv_w, m_nx));
    const int y1 = int(end((rect.bottom() - m_top) * m_inv_h, m_ny));
    for (int y = y0; y < y1; ++y) {
        std::uint32_t *row = m_counts.data() + size_t(y) * size_t(m_nx);
        for (int x = x0; x < x1; ++x)
            row[x] = std::uint32_t(int(row[x]) + delta);
    }
}

} // namespace Vaq::Fig2
