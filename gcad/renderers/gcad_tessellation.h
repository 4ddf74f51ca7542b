// The tessellations behind CADGLRenderer's drawing routines, as plain functions over points
// and arrays: what each shape turns into (arc vertices, marker triangles, rings of a surface
// of revolution, ...) without any GL call, so that the shapes can be checked on their own.
// The renderer members only emit what these return.
#pragma once

#include "gcad/host/base/vaq_vec.h"

#include <array>
#include <vector>

namespace Vaq::GCAD::Tessellation {

// A vector perpendicular to v: the component of smallest magnitude becomes zero, the other two
// are swapped and the second negated (ties prefer z, then y). Not normalised.
BaVec3d<double> perpendicular(const BaVec3d<double> &v);
// Scales *v to the given length. A vector of length <= 1e-50 is left as it is: false.
bool setLength(BaVec3d<double> *v, double length);

// The point marker: an icosahedron with unit edge coordinates (0, +-1, +-phi) and their
// cyclic shifts, and its 20 triangles, counter-clockwise seen from outside.
const std::array<BaVec3d<double>, 12> &markerVertices();
const std::array<std::array<int, 3>, 20> &markerTriangles();
// The marker's corners for a marker of the given size centred at centre.
std::array<BaVec3d<double>, 12> markerCorners(const BaVec3d<double> &centre, double size);

} // namespace Vaq::GCAD::Tessellation
