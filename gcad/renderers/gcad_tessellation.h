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

// The angle between two vertices of an arc of the given radius: one segment spans about
// pixelLength (the model length of one pixel), but at least one degree; with fixedPoints, a
// full turn in exactly count steps. Throws ProgError "invalid number of fixed points" naming
// function for fewer than three fixed points.
double arcStep(double pixelLength, double radius, bool fixedPoints, unsigned count, const char *function);
// The vertices of an arc: start turned about the axis through centre along normal by the
// angles 0, -step, -2 step, ... (clockwise seen from the normal's tip), round(sweep / step) of
// them, then one at exactly -sweep. The sweep is taken as 0 to 2 pi.
std::vector<BaVec3d<double>> arcPoints(const BaVec3d<double> &centre, const BaVec3d<double> &normal,
    const BaVec3d<double> &start, double step, double sweep);

} // namespace Vaq::GCAD::Tessellation
