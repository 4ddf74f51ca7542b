// VertexMerger: gives corners at the same position one vertex index, in the order of first
// appearance. Cost: O(1) expected per corner; memory: the vertices plus an open-addressing
// table of 32-bit indices kept at most half full (doubled and rehashed as it fills).
// Positions are compared exactly (-0 and +0 alike); the table holds only indices, so a probe
// compares the candidate's stored position. Both the slot and the stored position are mostly
// cache misses in a big mesh: indicesOf takes corners in blocks and prefetches both for the
// whole block before looking any up, so that the misses overlap.
#pragma once

#include "gcad/host/base/vaq_vec.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace Gcad::Scene {

class VertexMerger
{
public:
    // fileName: for the ImportError of a mesh beyond 32-bit indices or out of memory;
    // expectedVertices: how many the table and the vertices are first made for (they grow when
    // there are more).
    VertexMerger(const QString &fileName, std::size_t expectedVertices);

    // The index of the vertex at p, a new one if no earlier corner was there. p is finite.
    uint32_t indexOf(const Vaq::BaVec3d<double> &p);
    // indexOf for each of count points (at most BLOCK) into indices, faster than one by one.
    static constexpr std::size_t BLOCK = 96;
    void indicesOf(const Vaq::BaVec3d<double> *points, std::size_t count, uint32_t *indices);

    // The merged vertices; the merger is not used afterwards.
    std::vector<Vaq::BaVec3d<double>> takeVertices();

private:
    static uint64_t hash(const Vaq::BaVec3d<double> &p);
    uint32_t lookUp(const Vaq::BaVec3d<double> &p, uint64_t hash);
    void grow();
    void rebuild(std::size_t size);

    const QString &m_file_name;
    std::vector<Vaq::BaVec3d<double>> m_vertices;
    std::vector<uint32_t> m_table; // vertex index + 1; 0 is an empty slot
    uint64_t m_mask = 0;
};

} // namespace Gcad::Scene
