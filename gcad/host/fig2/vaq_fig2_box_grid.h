// BoxGrid: a uniform grid of buckets over a rectangle that finds the stored items (each kept
// as its bounding rectangle and a caller's number) near a query rectangle or segment, so that
// the label layout tests a candidate box or leader against its neighbours only. Items outside
// the bounds fall into the border buckets.
#pragma once

#include <QLineF>
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

    // Stores an item with the given bounding rectangle, in every bucket the rectangle meets;
    // returns its handle.
    int insert(const QRectF &rect, int payload);
    // Stores a segment (with its bounding rectangle as the item's), only in the buckets the
    // segment passes through: a long slanted leader meets a few of its rectangle's buckets.
    int insert(const QLineF &segment, int payload);
    // Takes a stored item out again; the handle is not reused.
    void erase(int handle);

    // Calls visit(rect, payload) once for each stored item in the buckets that rect meets,
    // until visit returns false. Returns false when a visit stopped it. Holds every item that
    // overlaps rect, and every segment that passes through it. visit must not visit this grid
    // itself: each visit marks what it has seen, and a second one would wipe the marks.
    template<typename Visit> bool visit(const QRectF &rect, Visit &&visit) const
    {
        const std::uint32_t stamp = nextStamp();
        const Range r = range(rect);
        for (int y = r.y0; y <= r.y1; ++y) {
            if (!visitRow(y, r.x0, r.x1, stamp, visit))
                return false;
        }
        return true;
    }
    // The same for the buckets the segment passes through: holds every item that the segment
    // meets, and every stored segment that it crosses.
    template<typename Visit> bool visit(const QLineF &segment, Visit &&visit) const
    {
        const std::uint32_t stamp = nextStamp();
        return forEachRowAlong(
            segment, [&](int y, int x0, int x1) { return visitRow(y, x0, x1, stamp, visit); });
    }

    // Bucket entries read by all visits so far: a measure of the work done.
    std::uint64_t entriesRead() const { return m_entries_read; }

private:
    struct Range
    {
        int x0, y0, x1, y1;
    };
    // A stored item in one of its buckets.
    struct Entry
    {
        QRectF rect;
        int payload, handle;
    };
    // What a handle was stored as, to find its buckets again.
    struct Stored
    {
        QRectF rect;
        QLineF segment;
        bool alongSegment = false;
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
    // Calls row(y, x0, x1) for the buckets x0 to x1 of each row y that the segment passes
    // through, until it returns false.
    template<typename Row> bool forEachRowAlong(const QLineF &segment, Row &&row) const;
    // An item is visited once however many of the buckets read hold it: each visit marks the
    // items it has seen with a stamp of its own.
    std::uint32_t nextStamp() const
    {
        if (++m_stamp == 0) {
            std::fill(m_seen.begin(), m_seen.end(), 0u);
            m_stamp = 1;
        }
        return m_stamp;
    }
    template<typename Visit> bool visitRow(int y, int x0, int x1, std::uint32_t stamp, Visit &visit) const
    {
        for (int x = x0; x <= x1; ++x) {
            const std::vector<Entry> &cell = m_cells[size_t(y) * size_t(m_nx) + size_t(x)];
            m_entries_read += cell.size();
            for (const Entry &e : cell) {
                std::uint32_t &seen = m_seen[size_t(e.handle)];
                if (seen == stamp)
                    continue;
                seen = stamp;
                if (!visit(e.rect, e.payload))
                    return false;
            }
        }
        return true;
    }
    int store(const Stored &stored, int payload);
    template<typename Cell> void forEachCell(const Stored &stored, Cell &&cell);

    QRectF m_bounds;
    int m_nx = 1, m_ny = 1;
    // Buckets per millimetre across and down.
    double m_inv_w = 1.0, m_inv_h = 1.0;
    // The entries are copies, so that a visit reads its buckets only.
    std::vector<std::vector<Entry>> m_cells;
    std::vector<Stored> m_stored;
    // The last visit's stamp, and each handle's last stamp.
    mutable std::uint32_t m_stamp = 0;
    mutable std::vector<std::uint32_t> m_seen;
    mutable std::uint64_t m_entries_read = 0;
};

// The rows from the segment's highest to its lowest; in each, the buckets from where the segment
// enters the row to where it leaves, a little wider against rounding, so that every bucket
// holding a point of the segment is among them. A segment outside the bounds runs along the
// border buckets, as the items there do.
template<typename Row> bool BoxGrid::forEachRowAlong(const QLineF &segment, Row &&row) const
{
    // Buckets of slack on each side.
    constexpr double SLACK = 1e-6;
    const double ax = (segment.x1() - m_bounds.left()) * m_inv_w,
                 ay = (segment.y1() - m_bounds.top()) * m_inv_h;
    const double bx = (segment.x2() - m_bounds.left()) * m_inv_w,
                 by = (segment.y2() - m_bounds.top()) * m_inv_h;
    const double low = std::min(ay, by), high = std::max(ay, by);
    const int y0 = cellIndex(low - SLACK, m_ny), y1 = cellIndex(high + SLACK, m_ny);
    // Buckets across per bucket down; a segment within one row needs none.
    const double slope = y0 != y1 ? (bx - ax) / (by - ay) : 0.0;
    for (int y = y0; y <= y1; ++y) {
        double left = std::min(ax, bx), right = std::max(ax, bx);
        if (y0 != y1) {
            // The piece of the segment within the row, the first and last rows reaching to
            // its ends.
            const double top = y == y0 ? low : std::max(low, y - SLACK);
            const double bottom = y == y1 ? high : std::min(high, y + 1.0 + SLACK);
            const double xt = ax + (top - ay) * slope, xb = ax + (bottom - ay) * slope;
            left = std::min(xt, xb);
            right = std::max(xt, xb);
        }
        if (!row(y, cellIndex(left - SLACK, m_nx), cellIndex(right + SLACK, m_nx)))
            return false;
    }
    return true;
}

} // namespace Vaq::Fig2
