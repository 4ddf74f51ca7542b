#include "gcad/host/cad/vaq_cad_poly_boundary.h"

#include "gcad/host/cad/vaq_cad_poly_base.h"

#include <algorithm>

namespace Vaq::CAD {

namespace {

// Compressed adjacency: the neighbours of vertex v are targets[offsets[v] .. offsets[v + 1]).
struct Adjacency
{
    std::vector<uint32_t> offsets;
    std::vector<uint32_t> targets;
};

// Each undirected edge (a, b) of the list is stored at both ends.
Adjacency buildAdjacency(const std::vector<std::pair<uint32_t, uint32_t>> &edges, std::size_t vertexCount)
{
    Adjacency adjacency;
    adjacency.offsets.assign(vertexCount + 1, 0);
    for (const auto &[a, b] : edges) {
        ++adjacency.offsets[a + 1];
        ++adjacency.offsets[b + 1];
    }
    for (std::size_t v = 0; v < vertexCount; ++v)
        adjacency.offsets[v + 1] += adjacency.offsets[v];
    adjacency.targets.resize(adjacency.offsets[vertexCount]);
    std::vector<uint32_t> fill(adjacency.offsets.begin(), adjacency.offsets.end() - 1);
    for (const auto &[a, b] : edges) {
        adjacency.targets[fill[a]++] = b;
        adjacency.targets[fill[b]++] = a;
    }
    return adjacency;
}

// Edges used by exactly one triangle. Every edge is filed under its smaller vertex, so each
// vertex only sorts its own short list.
std::vector<std::pair<uint32_t, uint32_t>> boundaryEdges(const PolyBaseData &data)
{
    std::vector<std::pair<uint32_t, uint32_t>> filed;
    filed.reserve(data.triangles.size() * 3);
    for (const Triangle &t : data.triangles) {
        for (int i = 0; i < 3; ++i) {
            const uint32_t a = t[i];
            const uint32_t b = t[(i + 1) % 3];
            if (a != b)
                filed.emplace_back(std::min(a, b), std::max(a, b));
        }
    }
    std::vector<uint32_t> offsets(data.vertices.size() + 1, 0);
    for (const auto &edge : filed)
        ++offsets[edge.first + 1];
    for (std::size_t v = 0; v < data.vertices.size(); ++v)
        offsets[v + 1] += offsets[v];
    std::vector<uint32_t> others(filed.size());
    std::vector<uint32_t> fill(offsets.begin(), offsets.end() - 1);
    for (const auto &edge : filed)
        others[fill[edge.first]++] = edge.second;

    std::vector<std::pair<uint32_t, uint32_t>> result;
    for (std::size_t v = 0; v < data.vertices.size(); ++v) {
        const auto begin = others.begin() + offsets[v];
        const auto end = others.begin() + offsets[v + 1];
        std::sort(begin, end);
        for (auto it = begin; it != end;) {
            const auto next = std::find_if(it, end, [it](uint32_t o) { return o != *it; });
            if (next - it == 1)
                result.emplace_back(uint32_t(v), *it);
            it = next;
        }
    }
    return result;
}

} // namespace

PolyBoundary::PolyBoundary(const PolyBaseData &data)
    : m_data(data)
{
    const std::vector<std::pair<uint32_t, uint32_t>> edges = boundaryEdges(data);
    const Adjacency adjacency = buildAdjacency(edges, data.vertices.size());
    std::vector<bool> used(adjacency.targets.size(), false);
    auto degree = [&](uint32_t v) { return adjacency.offsets[v + 1] - adjacency.offsets[v]; };
    // Marks the edge (a, b) used at both of its ends.
    auto take = [&](uint32_t a, uint32_t b) {
        for (uint32_t i = adjacency.offsets[a]; i < adjacency.offsets[a + 1]; ++i) {
            if (adjacency.targets[i] == b && !used[i]) {
                used[i] = true;
                break;
            }
        }
        for (uint32_t i = adjacency.offsets[b]; i < adjacency.offsets[b + 1]; ++i) {
            if (adjacency.targets[i] == a && !used[i]) {
                used[i] = true;
                break;
            }
        }
    };
    // Follows unused edges from start until a chain end (degree other than 2) or no edge is left.
    auto walk = [&](uint32_t start, uint32_t slot) {
        std::vector<uint32_t> chain { start };
        uint32_t current = start;
        uint32_t next = adjacency.targets[slot];
        while (true) {
            take(current, next);
            chain.push_back(next);
            current = next;
            if (degree(current) != 2)
                break;
            uint32_t i = adjacency.offsets[current];
            while (i < adjacency.offsets[current + 1] && used[i])
                ++i;
            if (i == adjacency.offsets[current + 1])
                break;
            next = adjacency.targets[i];
        }
        const bool closed = chain.size() > 2 && chain.back() == start;
        if (closed)
            chain.pop_back();
        m_polylines.push_back(std::move(chain));
        m_closed.push_back(closed);
    };

    // Open chains first, from their ends and junctions; what is left are closed loops.
    for (int pass = 0; pass < 2; ++pass) {
        for (uint32_t v = 0; v < data.vertices.size(); ++v) {
            if (pass == 0 && degree(v) == 2)
                continue;
            for (uint32_t i = adjacency.offsets[v]; i < adjacency.offsets[v + 1]; ++i) {
                if (!used[i])
                    walk(v, i);
            }
        }
    }
}

std::vector<PolyBoundary::Run> PolyBoundary::visibleRuns() const
{
    auto visible = [this](uint32_t v) { return m_data.pointFlags[v].isVisible(); };
    std::vector<Run> runs;
    for (std::size_t p = 0; p < m_polylines.size(); ++p) {
        const std::vector<uint32_t> &line = m_polylines[p];
        const auto hidden = std::find_if_not(line.begin(), line.end(), visible);
        if (hidden == line.end()) {
            runs.push_back({ line, m_closed[p] });
            continue;
        }
        // A closed line is read from just after a hidden point, so that the run across its
        // start stays in one piece.
        std::vector<uint32_t> order;
        if (m_closed[p]) {
            order.assign(hidden + 1, line.end());
            order.insert(order.end(), line.begin(), hidden + 1);
        } else {
            order = line;
        }
        Run run;
        for (uint32_t v : order) {
            if (visible(v)) {
                run.vertices.push_back(v);
                continue;
            }
            if (run.vertices.size() >= 2)
                runs.push_back(run);
            run.vertices.clear();
        }
        if (run.vertices.size() >= 2)
            runs.push_back(run);
    }
    return runs;
}

std::vector<std::vector<BaVec3d<double>>> PolyBoundary::getVisibleBoundaries() const
{
    std::vector<std::vector<BaVec3d<double>>> result;
    for (const Run &run : visibleRuns()) {
        std::vector<BaVec3d<double>> points;
        points.reserve(run.vertices.size());
        for (uint32_t v : run.vertices)
            points.push_back(m_data.vertices[v]);
        result.push_back(std::move(points));
    }
    return result;
}

std::vector<bool> PolyBoundary::getVisibleClosedFlag() const
{
    std::vector<bool> result;
    for (const Run &run : visibleRuns())
        result.push_back(run.closed);
    return result;
}

std::vector<std::vector<PointFlags>> PolyBoundary::getVisibleFlags() const
{
    std::vector<std::vector<PointFlags>> result;
    for (const Run &run : visibleRuns()) {
        std::vector<PointFlags> flags;
        flags.reserve(run.vertices.size());
        for (uint32_t v : run.vertices)
            flags.push_back(m_data.pointFlags[v]);
        result.push_back(std::move(flags));
    }
    return result;
}

} // namespace Vaq::CAD
