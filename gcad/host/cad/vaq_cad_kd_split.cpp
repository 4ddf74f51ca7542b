#include "gcad/host/cad/vaq_cad_kd_split.h"

#include <algorithm>
#include <limits>

namespace Vaq::CAD {

namespace {

constexpr uint32_t NONE = std::numeric_limits<uint32_t>::max();

class Splitter
{
public:
    Splitter(const std::vector<BaVec3d<double>> &vertices,
        const std::vector<std::array<uint32_t, 3>> &triangles, unsigned maxLocalVertices)
        : m_triangles(triangles)
        , m_limit(maxLocalVertices)
        , m_first_triangle(vertices.size(), NONE)
        , m_stamp(triangles.size(), 0)
    {
        // Items are the triangles (at their centroid) followed by the unused vertices; an item
        // numbers its centre.
        for (uint32_t t = 0; t < triangles.size(); ++t) {
            BaVec3d<double> sum;
            for (uint32_t v : triangles[t]) {
                m_first_triangle[v] = std::min(m_first_triangle[v], t);
                sum += vertices[v];
            }
            m_items.push_back(t);
            m_centers.push_back(toFloat(sum / 3.0));
        }
        for (uint32_t v = 0; v < vertices.size(); ++v) {
            if (m_first_triangle[v] == NONE) {
                m_items.push_back(uint32_t(triangles.size() + m_lone.size()));
                m_lone.push_back(v);
                m_centers.push_back(toFloat(vertices[v]));
            }
        }
    }

    KdSplit run(std::size_t vertexCount)
    {
        KdSplit split;
        if (!m_items.empty())
            splitRange(0, m_items.size(), split);
        split.triangleLeaf.assign(m_triangles.size(), NONE);
        split.vertexLeaf.assign(vertexCount, NONE);
        for (uint32_t leaf = 0; leaf < split.leafTriangles.size(); ++leaf) {
            for (uint32_t t : split.leafTriangles[leaf])
                split.triangleLeaf[t] = leaf;
            for (uint32_t v : split.leafLoneVertices[leaf])
                split.vertexLeaf[v] = leaf;
        }
        for (std::size_t v = 0; v < vertexCount; ++v) {
            if (m_first_triangle[v] != NONE)
                split.vertexLeaf[v] = split.triangleLeaf[m_first_triangle[v]];
        }
        return split;
    }

private:
    static BaVec3d<float> toFloat(const BaVec3d<double> &p) { return { float(p.x), float(p.y), float(p.z) }; }

    bool isTriangle(uint32_t item) const { return item < m_triangles.size(); }

    // A vertex is own when its first triangle is in the range (counted once, at that
    // triangle), otherwise it takes one slot per corner.
    std::size_t localVertexCount(std::size_t begin, std::size_t end)
    {
        ++m_current_stamp;
        for (std::size_t i = begin; i < end; ++i) {
            if (isTriangle(m_items[i]))
                m_stamp[m_items[i]] = m_current_stamp;
        }
        std::size_t count = 0;
        for (std::size_t i = begin; i < end; ++i) {
            const uint32_t item = m_items[i];
            if (!isTriangle(item)) {
                ++count;
                continue;
            }
            for (uint32_t v : m_triangles[item]) {
                const uint32_t first = m_first_triangle[v];
                if (first == item || m_stamp[first] != m_current_stamp)
                    ++count;
            }
        }
        return count;
    }

    void splitRange(std::size_t begin, std::size_t end, KdSplit &split)
    {
        if (end - begin == 1 || localVertexCount(begin, end) <= m_limit) {
            std::vector<uint32_t> triangles;
            std::vector<uint32_t> lone;
            for (std::size_t i = begin; i < end; ++i) {
                if (isTriangle(m_items[i]))
                    triangles.push_back(m_items[i]);
                else
                    lone.push_back(m_lone[m_items[i] - m_triangles.size()]);
            }
            split.leafTriangles.push_back(std::move(triangles));
            split.leafLoneVertices.push_back(std::move(lone));
            return;
        }
        BaVec3d<float> min = m_centers[m_items[begin]];
        BaVec3d<float> max = min;
        for (std::size_t i = begin; i < end; ++i) {
            const BaVec3d<float> &c = m_centers[m_items[i]];
            for (int a = 0; a < 3; ++a) {
                min[a] = std::min(min[a], c[a]);
                max[a] = std::max(max[a], c[a]);
            }
        }
        int axis = 0;
        for (int a = 1; a < 3; ++a) {
            if (max[a] - min[a] > max[axis] - min[axis])
                axis = a;
        }
        // The median halves the range even when centroids coincide, so the recursion ends.
        const std::size_t middle = begin + (end - begin) / 2;
        std::nth_element(m_items.begin() + begin, m_items.begin() + middle, m_items.begin() + end,
            [&](uint32_t a, uint32_t b) { return m_centers[a][axis] < m_centers[b][axis]; });
        splitRange(begin, middle, split);
        splitRange(middle, end, split);
    }

    const std::vector<std::array<uint32_t, 3>> &m_triangles;
    const std::size_t m_limit;
    std::vector<uint32_t> m_first_triangle;
    std::vector<uint32_t> m_lone;
    std::vector<uint32_t> m_items;
    std::vector<BaVec3d<float>> m_centers;
    std::vector<uint32_t> m_stamp;
    uint32_t m_current_stamp = 0;
};

} // namespace

KdSplit splitMesh(const std::vector<BaVec3d<double>> &vertices,
    const std::vector<std::array<uint32_t, 3>> &triangles, unsigned maxLocalVertices)
{
    return Splitter(vertices, triangles, maxLocalVertices).run(vertices.size());
}

} // namespace Vaq::CAD
