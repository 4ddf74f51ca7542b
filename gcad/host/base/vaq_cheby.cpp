#include "gcad/host/base/vaq_cheby.h"

namespace Vaq::Cheby {

bool computeOuterSphereRough(const std::vector<BaVec3d<double>> &points, BaVec3d<double> *center,
                             double *radius)
{
    if (points.empty())
        return false;

    // Start from the two points farthest apart along a rough diameter: the point farthest
    // from the first point, then the point farthest from that one.
    auto farthestFrom = [&points](const BaVec3d<double> &from) {
        size_t best = 0;
        double bestDistance = -1.0;
        for (size_t i = 0; i < points.size(); ++i) {
            const double d = (points[i] - from).dot(points[i] - from);
            if (d > bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        return points[best];
    };
    const BaVec3d<double> a = farthestFrom(points.front());
    const BaVec3d<double> b = farthestFrom(a);
    BaVec3d<double> c = (a + b) * 0.5;
    double r = (b - a).length() * 0.5;

    // Grow the sphere just enough to take in every point outside it.
    for (const BaVec3d<double> &p : points) {
        const double d = (p - c).length();
        if (d > r) {
            const double newRadius = (r + d) * 0.5;
            c = c + (p - c) * ((newRadius - r) / d);
            r = newRadius;
        }
    }
    // Rounding in the growth step can leave a point a hair outside; widen by a relative epsilon.
    *center = c;
    *radius = r * (1.0 + 1e-12) + 1e-300;
    return true;
}

} // namespace Vaq::Cheby
