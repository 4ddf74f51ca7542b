#include "gcad/host/cad/vaq_cad_triangle_bvh.h"

#include <algorithm>

namespace Vaq::CAD {

namespace {

// Few enough that a leaf's triangles cost about as much as one more level of boxes.
constexpr uint32_t LEAF_SIZE = 4;

} // namespace

TriangleBvh::TriangleBvh(const std::vector<BaVec3d<double>> &vertices, const std::vector<Triangle> &triangles,
    std::vector<uint32_t> subset)
    : m_vertices(vertices)
    , m_triangles(triangles)
    , m_order(std::move(subset))
{
    if (m_order.empty())
        return;
    std::vector<Item> items(m_order.size());
    for (std::size_t i = 0; i < m_order.size(); ++i) {
        const Triangle &tri = triangles[m_order[i]];
        items[i] = { m_order[i], (vertices[tri[0]] + vertices[tri[1]] + vertices[tri[2]]) / 3.0 };
    }
    m_nodes.reserve(2 * m_order.size() / LEAF_SIZE + 1);
    m_nodes.emplace_back();
    build(0, 0, uint32_t(items.size()), items);
    for (std::size_t i = 0; i < items.size(); ++i)
        m_order[i] = items[i].triangle;
}

void TriangleBvh::build(uint32_t node, uint32_t begin, uint32_t end, std::vector<Item> &items)
{
    Box3d box, centroidBox;
    for (uint32_t i = begin; i < end; ++i) {
        for (const uint32_t corner : m_triangles[items[i].triangle])
            box.extend(m_vertices[corner]);
        centroidBox.extend(items[i].centroid);
    }
    m_nodes[node].box = box;
    const BaVec3d<double> size = centroidBox.getSize();
    if (end - begin <= LEAF_SIZE || (size.x == 0.0 && size.y == 0.0 && size.z == 0.0)) {
        m_nodes[node].first = begin;
        m_nodes[node].count = end - begin;
        return;
    }
    const int axis = size.x >= size.y && size.x >= size.z ? 0 : (size.y >= size.z ? 1 : 2);
    const uint32_t middle = begin + (end - begin) / 2;
    std::nth_element(items.begin() + begin, items.begin() + middle, items.begin() + end,
        [axis](const Item &a, const Item &b) { return a.centroid[axis] < b.centroid[axis]; });
    const uint32_t children = uint32_t(m_nodes.size());
    m_nodes[node].first = children;
    m_nodes.resize(m_nodes.size() + 2);
    build(children, begin, middle, items);
    build(children + 1, middle, end, items);
}

bool TriangleBvh::intersect(const Ray &ray, double *limit, const AcceptHit &accept, RayHit *hit) const
{
    if (m_nodes.empty())
        return false;
    bool found = false;
    double best = *limit;
    uint32_t stack[64];
    int top = 0;
    stack[top++] = 0;
    while (top > 0) {
        const Node &node = m_nodes[stack[--top]];
        if (!rayHitsBox(ray, node.box, best, nullptr))
            continue;
        if (node.count > 0) {
            for (uint32_t i = node.first; i < node.first + node.count; ++i) {
                const uint32_t triangle = m_order[i];
                const Triangle &tri = m_triangles[triangle];
                double t = 0.0;
                if (rayHitsTriangle(ray, m_vertices[tri[0]], m_vertices[tri[1]], m_vertices[tri[2]], &t)
                    && t < best && (!accept || accept(triangle, t))) {
                    best = t;
                    hit->triangle = triangle;
                    found = true;
                }
            }
            continue;
        }
        // The nearer child goes on top of the stack, so that its hit prunes the other one.
        double near0 = 0.0, near1 = 0.0;
        const bool hit0 = rayHitsBox(ray, m_nodes[node.first].box, best, &near0);
        const bool hit1 = rayHitsBox(ray, m_nodes[node.first + 1].box, best, &near1);
        if (hit0 && hit1) {
            const bool firstNearer = near0 <= near1;
            stack[top++] = firstNearer ? node.first + 1 : node.first;
            stack[top++] = firstNearer ? node.first : node.first + 1;
        } else if (hit0) {
            stack[top++] = node.first;
        } else if (hit1) {
            stack[top++] = node.first + 1;
        }
    }
    if (!found)
        return false;
    hit->t = best;
    *limit = best;
    return true;
}

} // namespace Vaq::CAD
