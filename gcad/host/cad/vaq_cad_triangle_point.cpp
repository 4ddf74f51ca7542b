#include "gcad/host/cad/vaq_cad_triangle_point.h"

namespace Vaq::CAD {

namespace {

// The point of the segment from a to b nearest to p, with the features of its ends and inside.
TrianglePoint closestPointOnSegment(const BaVec3d<double> &p, const BaVec3d<double> &a,
    const BaVec3d<double> &b, TriangleFeature atA, TriangleFeature inside, TriangleFeature atB)
{
    const BaVec3d<double> ab = b - a;
    const double length2 = ab.dot(ab);
    const double t = length2 > 0.0 ? (p - a).dot(ab) / length2 : 0.0;
    if (t <= 0.0)
        return { a, atA };
    if (t >= 1.0)
        return { b, atB };
    return { a + ab * t, inside };
}

// Without area, the triangle's points are those of its longest edge.
TrianglePoint closestPointOnFlatTriangle(
    const BaVec3d<double> &p, const BaVec3d<double> &a, const BaVec3d<double> &b, const BaVec3d<double> &c)
{
    using F = TriangleFeature;
    const double ab = (b - a).dot(b - a), bc = (c - b).dot(c - b), ca = (a - c).dot(a - c);
    if (ab >= bc && ab >= ca)
        return closestPointOnSegment(p, a, b, F::CORNER_A, F::EDGE_AB, F::CORNER_B);
    if (bc >= ca)
        return closestPointOnSegment(p, b, c, F::CORNER_B, F::EDGE_BC, F::CORNER_C);
    return closestPointOnSegment(p, c, a, F::CORNER_C, F::EDGE_CA, F::CORNER_A);
}

} // namespace

TrianglePoint closestPointOnTriangle(
    const BaVec3d<double> &p, const BaVec3d<double> &a, const BaVec3d<double> &b, const BaVec3d<double> &c)
{
    using F = TriangleFeature;
    const BaVec3d<double> ab = b - a, ac = c - a, ap = p - a;
    const double d1 = ab.dot(ap), d2 = ac.dot(ap);
    if (d1 <= 0.0 && d2 <= 0.0)
        return { a, F::CORNER_A };
    const BaVec3d<double> bp = p - b;
    const double d3 = ab.dot(bp), d4 = ac.dot(bp);
    if (d3 >= 0.0 && d4 <= d3)
        return { b, F::CORNER_B };
    const double vc = d1 * d4 - d3 * d2;
    if (vc <= 0.0 && d1 >= 0.0 && d3 <= 0.0 && d1 - d3 > 0.0)
        return { a + ab * (d1 / (d1 - d3)), F::EDGE_AB };
    const BaVec3d<double> cp = p - c;
    const double d5 = ab.dot(cp), d6 = ac.dot(cp);
    if (d6 >= 0.0 && d5 <= d6)
        return { c, F::CORNER_C };
    const double vb = d5 * d2 - d1 * d6;
    if (vb <= 0.0 && d2 >= 0.0 && d6 <= 0.0 && d2 - d6 > 0.0)
        return { a + ac * (d2 / (d2 - d6)), F::EDGE_CA };
    const double va = d3 * d6 - d5 * d4;
    const double toB = d4 - d3, toC = d5 - d6;
    if (va <= 0.0 && toB >= 0.0 && toC >= 0.0 && toB + toC > 0.0)
        return { b + (c - b) * (toB / (toB + toC)), F::EDGE_BC };
    const double sum = va + vb + vc;
    if (!(sum > 0.0))
        return closestPointOnFlatTriangle(p, a, b, c);
    return { a + ab * (vb / sum) + ac * (vc / sum), F::FACE };
}

} // namespace Vaq::CAD
