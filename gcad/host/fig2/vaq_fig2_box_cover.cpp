#include "gcad/host/fig2/vaq_fig2_box_cover.h"

#include <algorithm>
#include <cmath>

namespace Vaq::Fig2 {

namespace {

constexpr int MAX_CELLS_PER_SIDE = 512;
constexpr unsigned WORD_BITS = 64;
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
    , m_last_x(m_nx - 1)
    , m_last_y(m_ny - 1)
    , m_words_per_row((size_t(m_nx) + WORD_BITS - 1) / WORD_BITS)
    , m_bits(m_words_per_row * size_t(m_ny), 0)
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
        std::uint64_t *bits = m_bits.data() + size_t(y) * m_words_per_row;
        for (int x = x0; x < x1; ++x) {
            row[x] = std::uint32_t(int(row[x]) + delta);
            const std::uint64_t bit = std::uint64_t(1) << (unsigned(x) % WORD_BITS);
            std::uint64_t &word = bits[unsigned(x) / WORD_BITS];
            word = row[x] != 0 ? word | bit : word & ~bit;
        }
    }
}

// The cells the rectangle meets, edges included: a covered one lies a little inside a rectangle
// held (see INSET), so that even one the rectangle only touches overlaps that rectangle.
bool BoxCover::meets(const QRectF &rect) const
{
    const double l = (rect.x() - m_left) * m_inv_w, t = (rect.y() - m_top) * m_inv_h;
    const double r = l + rect.width() * m_inv_w, b = t + rect.height() * m_inv_h;
    if (!(l < r && t < b && r > 0.0 && b > 0.0 && l < m_last_x + 1.0 && t < m_last_y + 1.0))
        return false;
    // Clamped first, the truncating conversions round down.
    const unsigned x0 = l > 0.0 ? unsigned(l) : 0u, x1 = r < m_last_x ? unsigned(r) : unsigned(m_last_x);
    const unsigned y0 = t > 0.0 ? unsigned(t) : 0u, y1 = b < m_last_y ? unsigned(b) : unsigned(m_last_y);
    const unsigned w0 = x0 / WORD_BITS, w1 = x1 / WORD_BITS;
    const std::uint64_t first = ~std::uint64_t(0) << (x0 % WORD_BITS);
    const std::uint64_t last = ~std::uint64_t(0) >> (WORD_BITS - 1 - x1 % WORD_BITS);
    const std::uint64_t *row = m_bits.data() + size_t(y0) * m_words_per_row;
    const std::uint64_t *end = row + size_t(y1 - y0 + 1) * m_words_per_row;
    if (w0 == w1) {
        for (const std::uint64_t mask = first & last; row != end; row += m_words_per_row) {
            if (row[w0] & mask)
                return true;
        }
        return false;
    }
    for (; row != end; row += m_words_per_row) {
        if ((row[w0] & first) || (row[w1] & last))
            return true;
        for (unsigned w = w0 + 1; w < w1; ++w) {
            if (row[w])
                return true;
        }
    }
    return false;
}

} // namespace Vaq::Fig2
