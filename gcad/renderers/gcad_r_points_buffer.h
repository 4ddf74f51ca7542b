// PointsBuffer: the points of one point set in one buffer object (positions as floats, then
// normals and colours where the set has them), so that the points renderer draws a slice of
// them with one vertex-array call instead of three GL calls per point. It remembers which data
// it holds and is refilled when the set or its colour choice changes.
#pragma once

#include "gcad/host/cad/vaq_cad_points_base.h"

#include <cstdint>
#include <vector>

namespace Vaq::GCAD {

class PointsBuffer
{
public:
    PointsBuffer() = default;
    ~PointsBuffer();
    PointsBuffer(const PointsBuffer &) = delete;
    PointsBuffer &operator=(const PointsBuffer &) = delete;

    // Makes the buffer hold the points of element in stage with colors (one per point, or
    // empty for the current GL colour), filling it only when it holds other data. Normals
    // of (0, 0, 0), and all normals of a set without them, become (0, 0, 1). False when no
    // buffer object can be made; the buffer is empty then.
    bool prepare(const CAD::PointsBase &element, const CAD::StageIdentifier &stage,
        const CAD::PointsRecordVector<Color> &colors);
    // Draws the points from start to below end, every stepping-th, leaving out the points
    // that flags (one per point) mark hidden or preview; allShown says that none is, so that
    // the flags need not be read. Sets up and clears the vertex arrays itself; the buffer
    // must be prepared.
    void draw(const CAD::PointsRecordVector<CAD::PointFlags> &flags, bool allShown, unsigned start,
        unsigned end, unsigned stepping);
    // Gives the buffer object back (the context must be current).
    void release();

private:
    unsigned m_name = 0;
    uint64_t m_version = 0;
    const void *m_colors = nullptr;
    unsigned m_count = 0;
    bool m_has_normals = false;
    bool m_has_colors = false;
    // The points of one slice that are drawn, when not all of them are.
    std::vector<uint32_t> m_indices;
};

} // namespace Vaq::GCAD
