// The point of a triangle nearest to a given point, and the feature of the triangle (its
// inside, an edge or a corner) that point lies on: the kernel of scan-to-mesh distances. It
// follows Ericson, "Real-Time Collision Detection" (5.1.5): six dot products tell the Voronoi
// regions of the corners and edges apart, a few dozen flops and no square root per triangle.
#pragma once

#include "gcad/host/base/vaq_vec.h"

namespace Vaq::CAD {

enum class TriangleFeature { FACE, EDGE_AB, EDGE_BC, EDGE_CA, CORNER_A, CORNER_B, CORNER_C };

struct TrianglePoint
{
    BaVec3d<double> point;
    TriangleFeature feature = TriangleFeature::FACE;
};

// The point of the triangle (a, b, c) nearest to p. A triangle without area is treated as
// its longest edge (the feature is then that edge or one of its corners).
TrianglePoint closestPointOnTriangle(
    const BaVec3d<double> &p, const BaVec3d<double> &a, const BaVec3d<double> &b, const BaVec3d<double> &c);

} // namespace Vaq::CAD
