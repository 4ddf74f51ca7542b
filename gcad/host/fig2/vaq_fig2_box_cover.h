// BoxCover: a raster over the label layout's area that counts, for every cell, the rectangles
// that cover the whole cell, and keeps a bit a cell for the covered ones. A rectangle that meets
// a covered cell overlaps one of them, so that a candidate box is known to overlap without
// asking the grid of rectangles; in a crowded view most candidates are turned down this way by
// testing a few words of bits.
#pragma once

#include <QRectF>

#include <cstdint>
#include <vector>

namespace Vaq::Fig2 {

class BoxCover
{
public:
    // cellSize > 0; the raster has at most 512 cells a side, larger cells where needed.
    BoxCover(const QRectF &bounds, double cellSize);

    // Counts the rectangle in the cells that lie inside it (edges not counted), or no longer.
    void add(const QRectF &rect);
    void remove(const QRectF &rect);

    // Whether the rectangle surely overlaps (with an inside in common) a rectangle added and not
    // removed; false where the raster cannot tell.
    bool meets(const QRectF &rect) const;

private:
    void count(const QRectF &rect, int delta);

    double m_left = 0.0, m_top = 0.0;
    int m_nx = 1, m_ny = 1;
    // Cells per millimetre across and down.
    double m_inv_w = 1.0, m_inv_h = 1.0;
    std::vector<std::uint32_t> m_counts;
    // The last column and row.
    double m_last_x = 0.0, m_last_y = 0.0;
    // One bit a cell, set where its count is not 0; each row starts a word.
    size_t m_words_per_row = 1;
    std::vector<std::uint64_t> m_bits;
};

} // namespace Vaq::Fig2
