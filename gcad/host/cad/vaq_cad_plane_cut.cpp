#include "gcad/host/cad/vaq_cad_plane_cut.h"

#include "gcad/host/cad/vaq_cad_bsp_node.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_poly_base_render_data.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <unordered_map>

namespace Vaq::CAD {

namespace {

constexpr uint32_t NONE = std::numeric_limits<uint32_t>::max();
// Leaf boxes are tested with this margin, relative to their size, so that rounding never drops
// a leaf with a vertex on the plane.
constexpr double BOX_MARGIN = 1e-9;

using Position = BaVec3d<double>;

bool lexicallyLess(const Position &a, const Position &b)
{
    if (a.x != b.x)
        return a.x < b.x;
    if (a.y != b.y)
        return a.y < b.y;
    return a.z < b.z;
}

// An edge by its end positions, the lexically smaller first.
struct EdgeKey
{
    Position low, high;
    bool operator==(const EdgeKey &o) const { return low == o.low && high == o.high; }
};

struct EdgeKeyHash
{
    std::size_t operator()(const EdgeKey &key) const
    {
        uint64_t h = 0x9E3779B97F4A7C15ull;
        for (const double v : { key.low.x, key.low.y, key.low.z, key.high.x, key.high.y, key.high.z })
            h = (h ^ std::bit_cast<uint64_t>(v + 0.0)) * 0x100000001B3ull;
        return std::size_t(h ^ (h >> 29));
    }
};

// Whether the plane meets the box (with a small margin), a vertex on the plane being above it.
bool planeCrossesBox(const Plane3d &plane, const Box3d &box)
{
    if (box.isEmpty())
        return false;
    const Position &n = plane.getNormal();
    const Position half = box.getSize() * 0.5;
    const double reach = std::abs(n.x) * half.x + std::abs(n.y) * half.y + std::abs(n.z) * half.z;
    const double centre = plane.distance(box.getCenter());
    const double margin = BOX_MARGIN * (half.length() + std::abs(centre));
    return centre - reach < margin && centre + reach >= -margin;
}

// The crossing points and the segments between them, then the runs.
class Cutter
{
public:
    Cutter(const PolyBaseData &data, const Plane3d &plane)
        : m_data(data)
        , m_plane(plane)
    {
    }

    void cutTriangle(uint32_t triangle);
    std::vector<PlaneCutRun> chainRuns();

private:
    struct CutPoint
    {
        Position position;
        BaVec3d<double> normalSum;
        std::array<uint32_t, 2> links { NONE, NONE };
        // Where the first segment from here goes: runs follow the triangles' orientation.
        uint32_t next = NONE;
        bool visited = false;
    };

    uint32_t crossing(uint32_t triangle, int corner, const double *distances);
    void link(uint32_t from, uint32_t to);
    PlaneCutRun walk(uint32_t start);

    const PolyBaseData &m_data;
    const Plane3d &m_plane;
    std::vector<CutPoint> m_points;
    std::unordered_map<EdgeKey, uint32_t, EdgeKeyHash> m_index;
};

void Cutter::cutTriangle(uint32_t triangle)
{
    const Triangle &tri = m_data.triangles[triangle];
    double distances[3];
    unsigned above = 0;
    for (int i = 0; i < 3; ++i) {
        distances[i] = m_plane.distance(m_data.vertices[tri[i]]);
        above |= unsigned(distances[i] >= 0.0) << i;
    }
    if (above == 0 || above == 7)
        return;
    // Going round the corners, the plane is crossed once downwards and once upwards; the
    // segment runs from the first crossing to the second, so that the segments of a
    // consistently oriented surface chain head to tail.
    uint32_t down = NONE, up = NONE;
    for (int i = 0; i < 3; ++i) {
        const bool here = (above >> i) & 1u, there = (above >> ((i + 1) % 3)) & 1u;
        if (here && !there)
            down = crossing(triangle, i, distances);
        else if (!here && there)
            up = crossing(triangle, i, distances);
    }
    link(down, up);
}

// The cut point on the edge from corner to the next corner of triangle, made at the first
// triangle that reaches it; its position depends on the edge alone, not on the triangle.
uint32_t Cutter::crossing(uint32_t triangle, int corner, const double *distances)
{
    const Triangle &tri = m_data.triangles[triangle];
    int a = corner, b = (corner + 1) % 3;
    if (lexicallyLess(m_data.vertices[tri[b]], m_data.vertices[tri[a]]))
        std::swap(a, b);
    const Position &low = m_data.vertices[tri[a]], &high = m_data.vertices[tri[b]];
    const double t = distances[a] == 0.0 ? 0.0
        : distances[b] == 0.0            ? 1.0
                                         : distances[a] / (distances[a] - distances[b]);
    const auto [entry, added] = m_index.try_emplace(EdgeKey { low, high }, uint32_t(m_points.size()));
    if (added) {
        CutPoint point;
        point.position = t == 0.0 ? low : (t == 1.0 ? high : low + (high - low) * t);
        m_points.push_back(point);
    }
    BaVec3d<double> normal;
    if (!m_data.vertexNormals.empty()) {
        const BaVec3d<float> &na = m_data.vertexNormals[tri[a]], &nb = m_data.vertexNormals[tri[b]];
        normal = BaVec3d<double>(na.x, na.y, na.z) * (1.0 - t) + BaVec3d<double>(nb.x, nb.y, nb.z) * t;
    } else {
        normal = (m_data.vertices[tri[1]] - m_data.vertices[tri[0]])
                     .cross(m_data.vertices[tri[2]] - m_data.vertices[tri[0]]);
    }
    m_points[entry->second].normalSum += normal.normalized();
    return entry->second;
}

void Cutter::link(uint32_t from, uint32_t to)
{
    CutPoint &a = m_points[from], &b = m_points[to];
    // A third segment at a point (an edge of more than two triangles) is left out.
    const int slotA = a.links[0] == NONE ? 0 : (a.links[1] == NONE ? 1 : -1);
    const int slotB = b.links[0] == NONE ? 0 : (b.links[1] == NONE ? 1 : -1);
    if (slotA < 0 || slotB < 0)
        return;
    a.links[slotA] = to;
    b.links[slotB] = from;
    if (a.next == NONE)
        a.next = to;
}

PlaneCutRun Cutter::walk(uint32_t start)
{
    PlaneCutRun run;
    uint32_t previous = NONE, current = start;
    while (current != NONE && !m_points[current].visited) {
        CutPoint &point = m_points[current];
        point.visited = true;
        if (run.points.empty() || run.points.back() != point.position) {
            run.points.push_back(point.position);
            const BaVec3d<double> n = point.normalSum.normalized();
            run.normals.emplace_back(float(n.x), float(n.y), float(n.z));
        }
        uint32_t following = previous == NONE && point.next != NONE ? point.next
            : point.links[0] == previous                            ? point.links[1]
                                                                    : point.links[0];
        if (following == start && previous != NONE)
            run.closed = true;
        previous = current;
        current = following;
    }
    if (run.closed && run.points.size() > 1 && run.points.back() == run.points.front()) {
        run.points.pop_back();
        run.normals.pop_back();
    }
    return run;
}

std::vector<PlaneCutRun> Cutter::chainRuns()
{
    std::vector<PlaneCutRun> runs;
    auto keep = [&runs](PlaneCutRun run) {
        if (run.points.size() < 2)
            return;
        // Two points make no closed figure: the plane grazes the surface there.
        run.closed = run.closed && run.points.size() > 2;
        runs.push_back(std::move(run));
    };
    // Open runs start at an end, a point with one segment: one that the segment leaves first,
    // so that they follow the surface's orientation, then any other (a surface whose
    // triangles disagree on it); what is left are closed runs.
    const auto isEnd = [](const CutPoint &point) { return point.links[1] == NONE; };
    const auto leavesEnd = [&isEnd](const CutPoint &point) { return isEnd(point) && point.next != NONE; };
    const auto anyPoint = [](const CutPoint &) { return true; };
    for (const auto &startsHere :
        { std::function<bool(const CutPoint &)>(leavesEnd), std::function<bool(const CutPoint &)>(isEnd),
            std::function<bool(const CutPoint &)>(anyPoint) }) {
        for (uint32_t i = 0; i < m_points.size(); ++i) {
            const CutPoint &point = m_points[i];
            if (!point.visited && point.links[0] != NONE && startsHere(point))
                keep(walk(i));
        }
    }
    return runs;
}

} // namespace

std::vector<PlaneCutRun> cutWithPlane(
    const PolyBaseData &data, const std::vector<BspNode *> &leaves, const Plane3d &plane)
{
    Cutter cutter(data, plane);
    for (const BspNode *leaf : leaves) {
        if (!planeCrossesBox(plane, leaf->getBoundingBox(BBT_GEOMETRY)))
            continue;
        for (const uint32_t triangle : leaf->getTriangles())
            cutter.cutTriangle(triangle);
    }
    return cutter.chainRuns();
}

std::vector<PlaneCutRun> cutWithPlane(const PolyBaseData &data, const Plane3d &plane)
{
    Cutter cutter(data, plane);
    for (uint32_t triangle = 0; triangle < data.triangles.size(); ++triangle)
        cutter.cutTriangle(triangle);
    return cutter.chainRuns();
}

std::vector<PlaneCutRun> cutWithPlane(
    const PolyBase &poly, const StageIdentifier &stage, const Plane3d &plane)
{
    const PolyBaseData *data = poly.getData(stage);
    const PolyBaseRenderData *renderData = poly.getPolyBaseRenderData(stage);
    if (!data || !renderData)
        return {};
    return cutWithPlane(*data, renderData->getAllLeaves(), plane);
}

} // namespace Vaq::CAD
