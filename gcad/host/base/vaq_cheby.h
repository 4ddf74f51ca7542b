// Rough outer spheres of point sets. computeOuterSphereRough follows Ritter's two-pass
// bounding sphere ("An Efficient Bounding Sphere", Graphics Gems, 1990): linear time, a
// sphere at most a few percent larger than the minimal one, and it contains every point.
#pragma once

#include "gcad/host/base/vaq_vec.h"

#include <vector>

namespace Vaq::Cheby {

// False for an empty point list (centre and radius are then left unchanged).
bool computeOuterSphereRough(const std::vector<BaVec3d<double>> &points, BaVec3d<double> *center,
                             double *radius);

} // namespace Vaq::Cheby
