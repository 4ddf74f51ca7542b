// Minimum-area enclosing rectangle. Cost O(n log n + h^2) for n points with h on the hull.
// Idea: the best rectangle has one side on an edge of the convex hull (Freeman and Shapira,
// "Determining the minimum-area encasing rectangle for an arbitrary closed curve", CACM 1975),
// so the hull (Andrew's monotone chain) is built and every hull edge is tried; the hulls of
// box corners met here are small, so the plain scan beats rotating calipers in clarity.
#include "gcad/host/base/vaq_polygon2d.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Vaq {

namespace {

double cross(const BaVec2d<double> &o, const BaVec2d<double> &a, const BaVec2d<double> &b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Counter-clockwise, without collinear points.
std::vector<BaVec2d<double>> convexHull(std::vector<BaVec2d<double>> points)
{
    std::sort(points.begin(), points.end(),
        [](const auto &a, const auto &b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    points.erase(std::unique(points.begin(), points.end()), points.end());
    if (points.size() < 3)
        return points;
    std::vector<BaVec2d<double>> hull(2 * points.size());
    std::size_t k = 0;
    for (const auto &p : points) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], p) <= 0.0)
            --k;
        hull[k++] = p;
    }
    for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && cross(hull[k - 2], hull[k - 1], points[i]) <= 0.0)
            --k;
        hull[k++] = points[i];
    }
    hull.resize(k - 1);
    return hull;
}

} // namespace

bool Polygon2d::getMinimumBoundingRect(
    BaVec2d<double> *reference, BaVec2d<double> *direction, double *width, double *height) const
{
    for (const auto &p : m_points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return false;
    }
    const std::vector<BaVec2d<double>> hull = convexHull(m_points);
    if (hull.size() < 3)
        return false;

    double bestArea = std::numeric_limits<double>::max();
    for (std::size_t i = 0; i < hull.size(); ++i) {
        const BaVec2d<double> edge = hull[(i + 1) % hull.size()] - hull[i];
        const BaVec2d<double> u = edge * (1.0 / edge.length());
        const BaVec2d<double> v(-u.y, u.x);
        double minU = std::numeric_limits<double>::max(), maxU = std::numeric_limits<double>::lowest();
        double minV = minU, maxV = maxU;
        for (const auto &p : hull) {
            const double a = p.dot(u), b = p.dot(v);
            minU = std::min(minU, a);
            maxU = std::max(maxU, a);
            minV = std::min(minV, b);
            maxV = std::max(maxV, b);
        }
        const double area = (maxU - minU) * (maxV - minV);
        if (area < bestArea) {
            bestArea = area;
            *reference = u * minU + v * minV;
            *direction = u;
            *width = maxU - minU;
            *height = maxV - minV;
        }
    }
    return true;
}

} // namespace Vaq
