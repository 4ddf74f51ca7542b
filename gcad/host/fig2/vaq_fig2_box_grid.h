// BoxGrid: a uniform grid of buckets over a rectangle that finds the stored items (each kept
// as its bounding rectangle and a caller's number) near a query rectangle, so that the label
// layout tests a candidate box against its neighbours only. Items outside the bounds fall
// into the border buckets.
#pragma once

#include <QRectF>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace Vaq::Fig2 {

class BoxGrid
{
public:
    // cellSize > 0; the grid has at most 256 buckets a side, larger cells where needed.
    BoxGrid(const QRectF &bounds, double cellSize);

    // Stores an item with the given bounding rectangle; returns its handle.
    int insert(const QRectF &rect, int payload);
    // Takes a stored item out again; the handle is not reused.
    void erase(int handle);

    // Calls visit(rect, payload) once for each stored item whose bucket range meets rect's,
    // until visit returns false. Returns false when a visit stopped it. An item is visited in
    // the first bucket (row by row) of rect's range that holds it.
    template<typename Visit> bool visit(const QRectF &rect, Visit &&visit) const
    {
        const Range r = range(rect);
        for (int y = r.y0; y <= r.y1; ++y) {
            for (int x = r.x0; x <= r.x1; ++x) {
                const std::vector<Entry> &cell = m_cells[size_t(y) * size_t(m_nx) + size_t(x)];
                m_entries_read += cell.size();
                for (const Entry &e : cell) {
                    if (std::max(e.x0, r.x0) != x || std::max(e.y0, r.y0) != y)
                        continue;
                    if (!visit(e.rect, e.payload))
                        return false;
                }
            }
        }
        return true;
    }

    // Bucket entries read by all visits so far: a measure of the work done.
    std::uint64_t entriesRead() const { return m_entries_read; }

private:
    struct Range
    {
        int x0, y0, x1, y1;
    };
    // A stored item in one of its buckets, with the first bucket of its range.
    struct Entry
    {
        QRectF rect;
        int payload, handle;
        int x0, y0;
    };
    // The bucket that holds the offset (in buckets) from the grid's start; the first or last
    // for one outside. Clamped first, the truncating conversion rounds down.
    static int cellIndex(double at, int cells)
    {
        if (!(at > 0.0))
            return 0;
        return at >= double(cells) ? cells - 1 : int(at);
    }
    Range range(const QRectF &rect) const
    {
        return { cellIndex((rect.left() - m_bounds.left()) * m_inv_w, m_nx),
            cellIndex((rect.top() - m_bounds.top()) * m_inv_h, m_ny),
            cellIndex((rect.right() - m_bounds.left()) * m_inv_w, m_nx),
            cellIndex((rect.bottom() - m_bounds.top()) * m_inv_h, m_ny) };
    }

    QRectF m_bounds;
    int m_nx = 1, m_ny = 1;
    // Buckets per millimetre across and down.
    double m_inv_w = 1.0, m_inv_h = 1.0;
    // The entries are copies, so that a visit reads its buckets only.
    std::vector<std::vector<Entry>> m_cells;
    // Each handle's rectangle, to find its buckets again.
    std::vector<QRectF> m_rects;
    mutable std::uint64_t m_entries_read = 0;
};

} // namespace Vaq::Fig2
