// Cones around the winding normals of runs of a leaf's triangles, so that one test per run and
// view tells whether the view sees all of them from the front, all from the back, or some of
// each. A drawing pass that culls one side skips the runs whose triangles all face that way:
// it would have drawn nothing there.
#pragma once

#include "gcad/host/base/vaq_vec.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Vaq::GCAD {

struct FacingCone
{
    BaVec3d<double> axis; // unit length
    // The half opening angle; a cosine of -1 holds every direction, which no view sees from
    // one side only.
    double cosHalfAngle = -1.0;
    double sinHalfAngle = 0.0;
};

enum class Facing { FRONT, BACK, BOTH };

// One cone per run of runLength triangles (the last run may be shorter) of the triangle list
// indices (three per triangle, into vertices), around the normals (p2 - p1) x (p3 - p1).
// Triangles of no area are left out, as the rasteriser leaves them out. A cone of 90 degrees
// or more, or of no triangles, holds every direction.
std::vector<FacingCone> windingNormalCones(const std::vector<BaVec3d<double>> &vertices,
    const uint16_t *indices, std::size_t triangleCount, std::size_t runLength);

// How triangles with normals in cone show in a view whose model-to-window transformation has
// the 4 x 4 column-major matrix modelToClip (projection times model-view). FRONT: every such
// triangle is counter-clockwise in the window; BACK: every one clockwise. Directions within a
// small margin of edge-on, a cone holding every direction and a projection that is not
// affine answer BOTH.
Facing facingInView(const FacingCone &cone, const double modelToClip[16]);

} // namespace Vaq::GCAD
