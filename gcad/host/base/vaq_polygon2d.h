// Polygon2d: a set of points in the plane, seen as the polygon they span; answers the
// smallest rectangle around them, which section rectangles are made from.
#pragma once

#include "gcad/host/base/vaq_vec.h"

#include <vector>

namespace Vaq {

class Polygon2d
{
public:
    Polygon2d() = default;
    explicit Polygon2d(std::vector<BaVec2d<double>> points)
        : m_points(std::move(points))
    {
    }

    void addPoint(const BaVec2d<double> &point) { m_points.push_back(point); }
    const std::vector<BaVec2d<double>> &getPoints() const { return m_points; }

    // The minimum-area rectangle holding every point: it spans reference + s * direction *
    // width + t * left * height for s, t in [0, 1], where direction is a unit vector and left
    // is direction turned by +90 degrees. False (outputs unchanged) when the points do not
    // span an area (fewer than three, all on one line) or one is not finite.
    bool getMinimumBoundingRect(
        BaVec2d<double> *reference, BaVec2d<double> *direction, double *width, double *height) const;

private:
    std::vector<BaVec2d<double>> m_points;
};

} // namespace Vaq
