#include "gcad/host/cad/vaq_cad_ray_hit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Vaq::CAD {

namespace {

double reciprocal(double d)
{
    return d == 0.0 ? std::numeric_limits<double>::infinity() : 1.0 / d;
}

} // namespace

Ray::Ray(const BaVec3d<double> &origin_, const BaVec3d<double> &direction_)
    : origin(origin_)
    , direction(direction_)
    , inverse(reciprocal(direction_.x), reciprocal(direction_.y), reciprocal(direction_.z))
{
}

bool rayHitsBox(const Ray &ray, const Box3d &box, double tMax, double *tEnter)
{
    if (box.isEmpty())
        return false;
    double lo = 0.0, hi = tMax;
    for (int axis = 0; axis < 3; ++axis) {
        const double min = box.getMin()[axis], max = box.getMax()[axis];
        if (ray.direction[axis] == 0.0) {
            // Parallel to the slab: inside it everywhere or nowhere (its faces count as inside).
            if (ray.origin[axis] < min || ray.origin[axis] > max)
                return false;
            continue;
        }
        const double a = (min - ray.origin[axis]) * ray.inverse[axis];
        const double b = (max - ray.origin[axis]) * ray.inverse[axis];
        lo = std::max(lo, std::min(a, b));
        hi = std::min(hi, std::max(a, b));
        if (lo > hi)
            return false;
    }
    if (tEnter)
        *tEnter = lo;
    return true;
}

bool rayHitsTriangle(
    const Ray &ray, const BaVec3d<double> &a, const BaVec3d<double> &b, const BaVec3d<double> &c, double *t)
{
    const BaVec3d<double> e1 = b - a, e2 = c - a;
    const BaVec3d<double> p = ray.direction.cross(e2);
    const double det = e1.dot(p);
    // Relative to the sizes involved, so that tiny and huge models behave alike.
    const double scale = e1.length() * e2.length() * ray.direction.length();
    if (!(std::abs(det) > 1e-12 * scale))
        return false;
    const double inv = 1.0 / det;
    const BaVec3d<double> s = ray.origin - a;
    const double u = s.dot(p) * inv;
    if (u < 0.0 || u > 1.0)
        return false;
    const BaVec3d<double> q = s.cross(e1);
    const double v = ray.direction.dot(q) * inv;
    if (v < 0.0 || u + v > 1.0)
        return false;
    const double hit = e2.dot(q) * inv;
    if (hit < 0.0)
        return false;
    *t = hit;
    return true;
}

} // namespace Vaq::CAD
