#include "apps/scene/scene_vertex_merger.h"

#include "apps/scene/scene_reader_support.h"

#include <bit>
#include <limits>

namespace Gcad::Scene {

using Vaq::BaVec3d;

VertexMerger::VertexMerger(const QString &fileName, std::size_t expectedVertices)
    : m_file_name(fileName)
{
    rebuild(std::bit_ceil(std::max<std::size_t>(1024, 2 * expectedVertices)));
    // With some room to spare, so that a count a little over the guess does not copy them all;
    // what is not filled is never touched.
    reserveOrFail(m_vertices, expectedVertices + expectedVertices / 8, m_file_name);
}

inline uint64_t VertexMerger::hash(const BaVec3d<double> &p)
{
    // Adding +0.0 turns -0.0 into +0.0, so that both hash alike as they compare alike.
    const uint64_t x = std::bit_cast<uint64_t>(p.x + 0.0);
    const uint64_t y = std::bit_cast<uint64_t>(p.y + 0.0);
    const uint64_t z = std::bit_cast<uint64_t>(p.z + 0.0);
    uint64_t h = x * 0x9E3779B97F4A7C15ull;
    h = (h ^ (h >> 29) ^ y) * 0xBF58476D1CE4E5B9ull;
    h = (h ^ (h >> 31) ^ z) * 0x94D049BB133111EBull;
    return h ^ (h >> 32);
}

inline uint32_t VertexMerger::lookUp(const BaVec3d<double> &p, uint64_t hash)
{
    uint64_t slot = hash & m_mask;
    while (const uint32_t stored = m_table[slot]) {
        if (m_vertices[stored - 1] == p)
            return stored - 1;
        slot = (slot + 1) & m_mask;
    }
    if (m_vertices.size() == std::numeric_limits<uint32_t>::max() - 1)
        throw ImportError(m_file_name, QStringLiteral("too many vertices for 32-bit indices"));
    appendOrFail(m_vertices, p, m_file_name);
    m_table[slot] = uint32_t(m_vertices.size());
    if (2 * m_vertices.size() > m_table.size())
        grow();
    return uint32_t(m_vertices.size() - 1);
}

uint32_t VertexMerger::indexOf(const BaVec3d<double> &p)
{
    return lookUp(p, hash(p));
}

void VertexMerger::indicesOf(const BaVec3d<double> *points, std::size_t count, uint32_t *indices)
{
    uint64_t hashes[BLOCK];
    for (std::size_t i = 0; i < count; ++i) {
        hashes[i] = hash(points[i]);
        __builtin_prefetch(&m_table[hashes[i] & m_mask]);
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (const uint32_t stored = m_table[hashes[i] & m_mask])
            __builtin_prefetch(&m_vertices[stored - 1]);
    }
    for (std::size_t i = 0; i < count; ++i)
        indices[i] = lookUp(points[i], hashes[i]);
}

void VertexMerger::grow()
{
    rebuild(2 * m_table.size());
}

// The vertices are read in order and their slots written ahead of use, rather than the old
// table in order and the vertices at random.
void VertexMerger::rebuild(std::size_t size)
{
    m_table = std::vector<uint32_t>();
    reserveOrFail(m_table, size, m_file_name);
    m_table.assign(size, 0);
    m_mask = size - 1;
    constexpr std::size_t AHEAD = 16;
    for (std::size_t i = 0; i < m_vertices.size(); ++i) {
        if (i + AHEAD < m_vertices.size())
            __builtin_prefetch(&m_table[hash(m_vertices[i + AHEAD]) & m_mask]);
        uint64_t slot = hash(m_vertices[i]) & m_mask;
        while (m_table[slot] != 0)
            slot = (slot + 1) & m_mask;
        m_table[slot] = uint32_t(i + 1);
    }
}

std::vector<BaVec3d<double>> VertexMerger::takeVertices()
{
    m_table = std::vector<uint32_t>();
    return std::move(m_vertices);
}

} // namespace Gcad::Scene
