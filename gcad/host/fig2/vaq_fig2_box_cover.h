// BoxCover: a raster over the label layout's area that counts, for every cell, the rectangles
// that cover the whole cell. A point in a covered cell lies inside one of them, so that a
// candidate box with such a point is known to overlap without asking the grid of rectangles;
// in a crowded view most candidates are turned down this way at the cost of a table look-up.
#pragma once

#include <QPointF>
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

    // Whether p lies inside (not on the edge of) a rectangle added and not removed; false
    // where the raster cannot tell.
    bool covered(const QPointF &p) const
    {
        const double x = (p.x() - m_left) * m_inv_w, y = (p.y() - m_top) * m_inv_h;
        if (!(x >= 0.0 && y >= 0.0 && x < m_nx && y < m_ny))
            return false;
        return m_counts[size_t(int(y)) * size_t(m_nx) + size_t(int(x))] > 0;
    }

private:
    void count(const QRectF &rect, int delta);

    double m_left = 0.0, m_top = 0.0;
    int m_nx = 1, m_ny = 1;
    // Cells per millimetre across and down.
    double m_inv_w = 1.0, m_inv_h = 1.0;
    std::vector<std::uint32_t> m_counts;
};

} // namespace Vaq::Fig2
