// Ray tests on plain data, the kernels of picking: a ray against an axis-aligned box (the slab
// test) and against a triangle (Moeller-Trumbore, both faces). Each costs a few dozen flops and
// needs no set-up beyond the ray's reciprocal direction.
#pragma once

#include "gcad/host/base/vaq_box.h"
#include "gcad/host/base/vaq_line.h"

namespace Vaq::CAD {

// A half-line: the points origin + t * direction for t >= 0. Parameters count in units of the
// direction's length.
struct Ray
{
    Ray(const BaVec3d<double> &origin_, const BaVec3d<double> &direction_);
    explicit Ray(const Line3d &line)
        : Ray(line.getPoint(), line.getDirection())
    {
    }

    BaVec3d<double> pointAt(double t) const { return origin + direction * t; }

    BaVec3d<double> origin;
    BaVec3d<double> direction;
    // 1 / direction per axis (infinite for a zero component).
    BaVec3d<double> inverse;
};

// Whether the ray meets box at a parameter in [0, tMax]; *tEnter (may be null) gets the first
// such parameter. Points on the box's faces count as inside, also for a ray that runs within a
// face's plane. An empty box is never hit.
bool rayHitsBox(const Ray &ray, const Box3d &box, double tMax, double *tEnter);

// Whether the ray meets the triangle (a, b, c) at a parameter t >= 0, from either side; edges
// and corners count. A ray parallel to the triangle's plane and a degenerate triangle miss.
bool rayHitsTriangle(
    const Ray &ray, const BaVec3d<double> &a, const BaVec3d<double> &b, const BaVec3d<double> &c, double *t);

} // namespace Vaq::CAD
