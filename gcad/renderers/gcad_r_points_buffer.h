// PointsBuffer: the points of one point set as vertex arrays (positions as floats, then normals
// and colours where the set has them), in one buffer object where the driver and the view
// allow it, else in client memory, so that the points renderer draws a slice of them with one
// vertex-array call. It remembers which data it holds and is refilled when the set, its colour
// choice or the memory it may use changes.
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

    // Makes the arrays hold the points of element in stage with colors (one per point, or
    // empty for the current GL colour), in a buffer object if useBufferObject and one can be
    // made, filling them only when they hold other data. Normals of (0, 0, 0), and all
    // normals of a set without them, become (0, 0, 1).
    void prepare(const CAD::PointsBase &element, const CAD::StageIdentifier &stage,
        const CAD::PointsRecordVector<Color> &colors, bool useBufferObject);
    // Draws the points from start to below end, every stepping-th, leaving out the points
    // that flags (one per point) mark hidden or preview; allShown says that none is, so that
    // the flags need not be read. Sets up and clears the vertex arrays itself.
    void draw(const CAD::PointsRecordVector<CAD::PointFlags> &flags, bool allShown, unsigned start,
        unsigned end, unsigned stepping);
    // Gives the buffer object back (the context must be current) and the client memory.
    void release();

private:
    // Writes the arrays for n points to out.
    void fill(uint8_t *out, const CAD::PointsBase &element, const CAD::StageIdentifier &stage,
        const CAD::PointsRecordVector<Color> &colors) const;

    unsigned m_name = 0;
    std::vector<uint8_t> m_client;
    bool m_filled = false;
    uint64_t m_version = 0;
    const void *m_colors = nullptr;
    unsigned m_count = 0;
    bool m_has_normals = false;
    bool m_has_colors = false;
    // The points of one slice that are drawn, when not all of them are.
    std::vector<uint32_t> m_indices;
};

} // namespace Vaq::GCAD
