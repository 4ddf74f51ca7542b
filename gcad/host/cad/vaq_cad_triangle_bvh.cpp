#include "gcad/host/cad/vaq_cad_triangle_bvh.h"

#include "gcad/host/cad/vaq_cad_triangle_point.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace Vaq::CAD {

namespace {

// Few enough that a leaf's triangles cost about as much as one more level of boxes.
constexpr uint32_t LEAF_SIZE = 4;
// Sets of more triangles are built on two threads.
constexpr uint32_t PARALLEL_BUILD = 100000;
// The tie distance relative to the size of the whole set.
constexpr double TIE_SCALE = 1e-10;

inline double boxDistance2(const Box3d &box, const BaVec3d<double> &p)
{
    const BaVec3d<double> &lo = box.getMin(), &hi = box.getMax();
    const double dx = p.x < lo.x ? lo.x - p.x : (p.x > hi.x ? p.x - hi.x : 0.0);
    const double dy = p.y < lo.y ? lo.y - p.y : (p.y > hi.y ? p.y - hi.y : 0.0);
    const double dz = p.z < lo.z ? lo.z - p.z : (p.z > hi.z ? p.z - hi.z : 0.0);
    return dx * dx + dy * dy + dz * dz;
}

// The angle between u and v, both non-zero.
double angleBetween(const BaVec3d<double> &u, const BaVec3d<double> &v)
{
    return std::acos(std::clamp(u.dot(v) / std::sqrt(u.dot(u) * v.dot(v)), -1.0, 1.0));
}

// What a triangle adds to the pseudo-normal of the feature its nearest point lies on.
BaVec3d<double> pseudoNormalShare(
    const BaVec3d<double> &a, const BaVec3d<double> &b, const BaVec3d<double> &c, TriangleFeature feature)
{
    const BaVec3d<double> normal = (b - a).cross(c - a).normalized();
    if (normal == BaVec3d<double>())
        return normal;
    switch (feature) {
    case TriangleFeature::CORNER_A:
        return normal * angleBetween(b - a, c - a);
    case TriangleFeature::CORNER_B:
        return normal * angleBetween(c - b, a - b);
    case TriangleFeature::CORNER_C:
        return normal * angleBetween(a - c, b - c);
    default:
        return normal;
    }
}

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
    const uint32_t count = uint32_t(items.size());
    int axis = 0;
    if (count < PARALLEL_BUILD || !splitAxis(items, 0, count, &axis)) {
        build(m_nodes, 0, 0, count, items);
    } else {
        // A big set splits once here, and a second thread builds the upper half into nodes of
        // its own, appended afterwards.
        const uint32_t middle = splitAtMedian(items, 0, count, axis);
        std::vector<Node> upper(1);
        std::thread helper([&] { build(upper, 0, middle, count, items); });
        m_nodes.resize(3);
        build(m_nodes, 1, 0, middle, items);
        helper.join();
        // The upper root becomes node 2, its other nodes follow the lower half's.
        const auto offset = uint32_t(m_nodes.size());
        for (Node &node : upper) {
            if (node.count == 0)
                node.first = offset + node.first - 1;
        }
        m_nodes[2] = upper[0];
        m_nodes.insert(m_nodes.end(), upper.begin() + 1, upper.end());
        Box3d box = m_nodes[1].box;
        box.extend(m_nodes[2].box);
        m_nodes[0] = { box, 1, 0 };
    }
    for (std::size_t i = 0; i < items.size(); ++i)
        m_order[i] = items[i].triangle;
    const BaVec3d<double> size = m_nodes[0].box.getSize();
    m_tie = TIE_SCALE * std::max(size.length(), 1e-300);
}

bool TriangleBvh::splitAxis(const std::vector<Item> &items, uint32_t begin, uint32_t end, int *axis)
{
    double low[3] = { INFINITY, INFINITY, INFINITY }, high[3] = { -INFINITY, -INFINITY, -INFINITY };
    for (uint32_t i = begin; i < end; ++i) {
        const BaVec3d<double> &c = items[i].centroid;
        low[0] = std::min(low[0], c.x), high[0] = std::max(high[0], c.x);
        low[1] = std::min(low[1], c.y), high[1] = std::max(high[1], c.y);
        low[2] = std::min(low[2], c.z), high[2] = std::max(high[2], c.z);
    }
    const double size[3] = { high[0] - low[0], high[1] - low[1], high[2] - low[2] };
    *axis = size[0] >= size[1] && size[0] >= size[2] ? 0 : (size[1] >= size[2] ? 1 : 2);
    return end - begin > LEAF_SIZE && size[*axis] > 0.0;
}

uint32_t TriangleBvh::splitAtMedian(std::vector<Item> &items, uint32_t begin, uint32_t end, int axis)
{
    const uint32_t middle = begin + (end - begin) / 2;
    std::nth_element(items.begin() + begin, items.begin() + middle, items.begin() + end,
        [axis](const Item &a, const Item &b) { return a.centroid[axis] < b.centroid[axis]; });
    return middle;
}

void TriangleBvh::build(
    std::vector<Node> &nodes, uint32_t node, uint32_t begin, uint32_t end, std::vector<Item> &items) const
{
    int axis = 0;
    if (!splitAxis(items, begin, end, &axis)) {
        BaVec3d<double> low { INFINITY, INFINITY, INFINITY }, high = -low;
        for (uint32_t i = begin; i < end; ++i) {
            for (const uint32_t corner : m_triangles[items[i].triangle]) {
                const BaVec3d<double> &v = m_vertices[corner];
                low = { std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z) };
                high = { std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z) };
            }
        }
        nodes[node] = { Box3d(low, high), begin, end - begin };
        return;
    }
    const uint32_t middle = splitAtMedian(items, begin, end, axis);
    const uint32_t children = uint32_t(nodes.size());
    nodes.resize(nodes.size() + 2);
    build(nodes, children, begin, middle, items);
    build(nodes, children + 1, middle, end, items);
    // An inner box is its children's: each triangle is read once, at its leaf.
    Box3d box = nodes[children].box;
    box.extend(nodes[children + 1].box);
    nodes[node] = { box, children, 0 };
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

bool TriangleBvh::nearest(
    const BaVec3d<double> &p, double maxDistance, uint32_t hint, NearestPoint *result) const
{
    if (m_nodes.empty() || !(maxDistance >= 0.0))
        return false;
    // Until the first answer, best bounds the search: the hint's distance or the maximum.
    double best = maxDistance;
    if (hint != NO_HINT) {
        const Triangle &tri = m_triangles[hint];
        const TrianglePoint q
            = closestPointOnTriangle(p, m_vertices[tri[0]], m_vertices[tri[1]], m_vertices[tri[2]]);
        best = std::min(best, (p - q.point).length());
    }
    bool found = false;
    NearestPoint answer;
    BaVec3d<double> normalSum;
    // Nodes to visit with the squared distance of their boxes, computed once when pushed.
    struct Pending
    {
        uint32_t node;
        double distance2;
    };
    Pending stack[64];
    int top = 0;
    stack[top++] = { 0, boxDistance2(m_nodes[0].box, p) };
    while (top > 0) {
        const Pending pending = stack[--top];
        const double reach = std::min(maxDistance, best + m_tie);
        if (pending.distance2 > reach * reach)
            continue;
        const Node &node = m_nodes[pending.node];
        if (node.count > 0) {
            for (uint32_t i = node.first; i < node.first + node.count; ++i) {
                const uint32_t triangle = m_order[i];
                const Triangle &tri = m_triangles[triangle];
                const BaVec3d<double> &a = m_vertices[tri[0]], &b = m_vertices[tri[1]],
                                      &c = m_vertices[tri[2]];
                const TrianglePoint q = closestPointOnTriangle(p, a, b, c);
                const double distance2 = (p - q.point).dot(p - q.point);
                const double cut = std::min(maxDistance, best + m_tie);
                if (distance2 > cut * cut)
                    continue;
                const double distance = std::sqrt(distance2);
                const BaVec3d<double> share = pseudoNormalShare(a, b, c, q.feature);
                if (!found || distance < best - m_tie)
                    normalSum = share;
                else
                    normalSum += share;
                if (!found || distance < best) {
                    best = distance;
                    answer.triangle = triangle;
                    answer.point = q.point;
                }
                found = true;
            }
            continue;
        }
        // The nearer child goes on top of the stack, so that its answer prunes the other one.
        const double reach2 = reach * reach;
        Pending first { node.first, boxDistance2(m_nodes[node.first].box, p) };
        Pending second { node.first + 1, boxDistance2(m_nodes[node.first + 1].box, p) };
        if (second.distance2 < first.distance2)
            std::swap(first, second);
        if (second.distance2 <= reach2)
            stack[top++] = second;
        if (first.distance2 <= reach2)
            stack[top++] = first;
    }
    if (!found)
        return false;
    answer.distance = best;
    answer.normal = normalSum.normalized();
    answer.signedDistance = (p - answer.point).dot(normalSum) < 0.0 ? -best : best;
    *result = answer;
    return true;
}

} // namespace Vaq::CAD
