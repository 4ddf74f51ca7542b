// Tessellation of the drawing routines' shapes. Every function is linear in what it returns;
// the tables are built once, on first use.
#include "gcad/renderers/gcad_tessellation.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/base/vaq_transformation.h"

#include <algorithm>
#include <cmath>

namespace Vaq::GCAD::Tessellation {

BaVec3d<double> perpendicular(const BaVec3d<double> &v)
{
    const double ax = std::abs(v.x), ay = std::abs(v.y), az = std::abs(v.z);
    if (az <= ax && az <= ay)
        return { v.y, -v.x, 0.0 };
    if (ay <= ax)
        return { v.z, 0.0, -v.x };
    return { 0.0, v.z, -v.y };
}

bool setLength(BaVec3d<double> *v, double length)
{
    const double n = v->length();
    if (n <= 1e-50)
        return false;
    *v *= length / n;
    return true;
}

const std::array<BaVec3d<double>, 12> &markerVertices()
{
    static constexpr double PHI = 1.61803;
    static const std::array<BaVec3d<double>, 12> vertices = { {
        { 0, 1, PHI },
        { 0, -1, PHI },
        { 0, 1, -PHI },
        { 0, -1, -PHI },
        { PHI, 0, 1 },
        { PHI, 0, -1 },
        { -PHI, 0, 1 },
        { -PHI, 0, -1 },
        { 1, PHI, 0 },
        { 1, -PHI, 0 },
        { -1, PHI, 0 },
        { -1, -PHI, 0 },
    } };
    return vertices;
}

const std::array<std::array<int, 3>, 20> &markerTriangles()
{
    static const std::array<std::array<int, 3>, 20> triangles = { {
        { 0, 1, 4 },
        { 0, 4, 8 },
        { 0, 8, 10 },
        { 0, 10, 6 },
        { 0, 6, 1 },
        { 3, 2, 5 },
        { 3, 7, 2 },
        { 3, 11, 7 },
        { 3, 9, 11 },
        { 3, 5, 9 },
        { 1, 9, 4 },
        { 9, 5, 4 },
        { 4, 5, 8 },
        { 5, 2, 8 },
        { 8, 2, 10 },
        { 2, 7, 10 },
        { 10, 7, 6 },
        { 7, 11, 6 },
        { 6, 11, 1 },
        { 11, 9, 1 },
    } };
    return triangles;
}

std::array<BaVec3d<double>, 12> markerCorners(const BaVec3d<double> &centre, double size)
{
    std::array<BaVec3d<double>, 12> corners;
    for (std::size_t i = 0; i < corners.size(); ++i)
        corners[i] = centre + markerVertices()[i] * size;
    return corners;
}

double arcStep(double pixelLength, double radius, bool fixedPoints, unsigned count, const char *function)
{
    static constexpr double ONE_DEGREE = 0.017453292519943295;
    double step;
    if (fixedPoints) {
        if (count < 3)
            VAQ_PROG_ERROR(function, "invalid number of fixed points");
        step = 2.0 * M_PI / count;
    } else {
        // A radius below one pixel (or none) gives a quarter turn per segment.
        const double s = pixelLength / radius;
        step = std::asin(s < 1.0 ? std::max(s, -1.0) : 1.0);
    }
    return std::max(step, ONE_DEGREE);
}

std::vector<BaVec3d<double>> arcPoints(const BaVec3d<double> &centre, const BaVec3d<double> &normal,
    const BaVec3d<double> &start, double step, double sweep)
{
    sweep = std::isfinite(sweep) ? std::clamp(sweep, 0.0, 2.0 * M_PI) : 0.0;
    const unsigned count = unsigned(sweep / step + 0.5);
    std::vector<BaVec3d<double>> points;
    points.reserve(count + 1);
    for (unsigned i = 0; i < count; ++i)
        points.push_back(
            Transformation::computeTransformationRotateAxis(centre, normal, -(i * step)).transform(start));
    points.push_back(
        Transformation::computeTransformationRotateAxis(centre, normal, -sweep).transform(start));
    return points;
}

} // namespace Vaq::GCAD::Tessellation
