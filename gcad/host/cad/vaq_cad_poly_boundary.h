// PolyBoundary: the boundary polylines of a mesh, chains of the edges that only one triangle
// uses (the outer rim and the holes). They are computed once from the triangles; the visible
// parts are cut out at hidden vertices when asked, so flag changes need no recomputation.
#pragma once

#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_point_flags.h"

#include <cstdint>
#include <vector>

namespace Vaq::CAD {

struct PolyBaseData;

class PolyBoundary
{
public:
    // Chains the boundary edges of data's triangles. Chains end where more than two boundary
    // edges meet or at a dead end; a chain that returns to its start is closed. Cost: linear
    // in the number of triangles. data must outlive the boundary.
    explicit PolyBoundary(const PolyBaseData &data);

    // Vertex indices of each polyline, and whether it is closed (its last point joins the first).
    const std::vector<std::vector<uint32_t>> &getPolylines() const { return m_polylines; }
    const std::vector<bool> &getClosedFlags() const { return m_closed; }

    // The polylines cut at hidden vertices: each run of at least two visible points is one
    // polyline; a closed polyline stays closed only while all its points are visible. The
    // three calls list the same polylines in the same order.
    std::vector<std::vector<BaVec3d<double>>> getVisibleBoundaries() const;
    std::vector<bool> getVisibleClosedFlag() const;
    std::vector<std::vector<PointFlags>> getVisibleFlags() const;

private:
    struct Run
    {
        std::vector<uint32_t> vertices;
        bool closed = false;
    };
    std::vector<Run> visibleRuns() const;

    const PolyBaseData &m_data;
    std::vector<std::vector<uint32_t>> m_polylines;
    std::vector<bool> m_closed;
};

} // namespace Vaq::CAD
