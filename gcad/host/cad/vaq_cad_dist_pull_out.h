// DistPullOut: the pull-out of a distance's dimension line. A distance is drawn between its two
// measured points until the user drags its handle; from then on the dimension line runs,
// parallel to the measured points, through the point it was dragged to, and extension lines
// join it to the points. The record keeps only that point; the geometry follows from the
// distance's points at every draw, so it stays right when the measurement changes.
#pragma once

#include "gcad/host/base/vaq_vec.h"

#include <utility>

namespace Vaq::CAD {

class DistPullOut
{
public:
    using Segment = std::pair<BaVec3d<double>, BaVec3d<double>>;

    bool isPulledOut() const { return m_pulled_out; }
    // Pulls the dimension line through point; reset puts it back onto the measured points.
    void pullTo(const BaVec3d<double> &point);
    void reset() { m_pulled_out = false; }
    const BaVec3d<double> &getPullPoint() const { return m_point; }

    // The dimension line of the measured points p1, p2: moved square to them until it passes
    // through the pull point (for coincident points, moved by the whole way to it); the
    // measured points themselves when not pulled out.
    Segment getMainLine(const BaVec3d<double> &p1, const BaVec3d<double> &p2) const;
    // The ends of the dimension line where the extension lines from p1 and p2 meet it, as
    // getMainLine, or moved only along direction (a caliper's segment direction). Null
    // directions move nothing.
    Segment getKinkPoints(const BaVec3d<double> &p1, const BaVec3d<double> &p2) const;
    Segment getKinkPointsByDir(
        const BaVec3d<double> &p1, const BaVec3d<double> &p2, const BaVec3d<double> &direction) const;

private:
    bool m_pulled_out = false;
    BaVec3d<double> m_point;
};

} // namespace Vaq::CAD
