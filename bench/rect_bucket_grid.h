// RectBucketGrid: finds the rectangles near a query rectangle among many that move, so that the
// benchmark's baseline layouts test a candidate against its neighbours only. A uniform grid of
// buckets over an area; each rectangle (an id from 0 to capacity - 1) sits in every bucket it
// touches, what lies outside the area in the border buckets. A query costs the buckets it
// touches plus the entries in them.
#pragma once

#include <QRectF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace Vaq::Bench {

class RectBucketGrid
{
public:
    // cell: the bucket width and height, > 0.
    RectBucketGrid(const QRectF &area, double cell, int capacity)
        : m_area(area)
        , m_cell(cell)
        , m_columns(std::max(1, int(std::ceil(area.width() / cell))))
        , m_rows(std::max(1, int(std::ceil(area.height() / cell))))
        , m_buckets(size_t(m_columns) * size_t(m_rows))
        , m_rects(size_t(capacity))
        , m_present(size_t(capacity), false)
        , m_seen(size_t(capacity), 0)
    {
    }

    // id must not be in the grid.
    void insert(int id, const QRectF &rect)
    {
        m_rects[size_t(id)] = rect;
        m_present[size_t(id)] = true;
        forEachBucket(rect, [&](size_t bucket) { m_buckets[bucket].push_back(id); });
    }

    void remove(int id)
    {
        if (!m_present[size_t(id)])
            return;
        m_present[size_t(id)] = false;
        forEachBucket(m_rects[size_t(id)], [&](size_t index) {
            std::vector<int> &bucket = m_buckets[index];
            *std::find(bucket.begin(), bucket.end(), id) = bucket.back();
            bucket.pop_back();
        });
    }

    const QRectF &rect(int id) const { return m_rects[size_t(id)]; }

    // Calls visit(id, rect) once for every rectangle sharing a bucket with the query; the caller
    // tests the actual overlap.
    template<typename Visit> void visit(const QRectF &query, Visit &&visit) const
    {
        ++m_stamp;
        forEachBucket(query, [&](size_t bucket) {
            for (const int id : m_buckets[bucket]) {
                if (m_seen[size_t(id)] != m_stamp) {
                    m_seen[size_t(id)] = m_stamp;
                    visit(id, m_rects[size_t(id)]);
                }
            }
        });
    }

private:
    int column(double x) const
    {
        return std::clamp(int(std::floor((x - m_area.left()) / m_cell)), 0, m_columns - 1);
    }
    int row(double y) const
    {
        return std::clamp(int(std::floor((y - m_area.top()) / m_cell)), 0, m_rows - 1);
    }

    // Calls action with the index of every bucket the rectangle touches.
    template<typename Action> void forEachBucket(const QRectF &rect, Action &&action) const
    {
        const int c0 = column(rect.left()), c1 = column(rect.right());
        const int r0 = row(rect.top()), r1 = row(rect.bottom());
        for (int r = r0; r <= r1; ++r) {
            for (int c = c0; c <= c1; ++c)
                action(size_t(r) * size_t(m_columns) + size_t(c));
        }
    }

    QRectF m_area;
    double m_cell;
    int m_columns, m_rows;
    std::vector<std::vector<int>> m_buckets;
    std::vector<QRectF> m_rects;
    std::vector<bool> m_present;
    mutable std::vector<unsigned> m_seen;
    mutable unsigned m_stamp = 0;
};

} // namespace Vaq::Bench
