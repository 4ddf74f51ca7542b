// A nominal part and a scan of it, for inspection pictures, tests and benchmarks: a closed vase
// (a surface of revolution about z with flat caps) and points on its wall as a scanner delivers
// them, row by row, each moved off the nominal along its normal by a smooth deformation (an
// oval bulge and a dent) plus Gaussian noise of its own.
#pragma once

#include "apps/scene/scene_mesh_data.h"
#include "apps/scene/scene_point_cloud.h"

#include <cstdint>

namespace Gcad::Scene {

inline constexpr double SAMPLE_PART_HEIGHT = 100.0;

// The vase: `sides` corners per ring (at least 3), `rings` rings from z = 0 to the height (at
// least 2), and a centre vertex in each cap: 2 x sides x rings triangles, facing outwards.
MeshData makeSamplePart(unsigned sides, unsigned rings);

// How far the scan lies off the nominal, before noise, at angle (radians) and height z:
// positive outwards.
double sampleDeformation(double angle, double z);

// columns x rows points on the wall between 2 % and 98 % of the height, row after row, with
// their nominal normals; noise is the standard deviation of the Gaussian noise, seed makes it
// repeat.
PointCloud makeSampleScan(unsigned columns, unsigned rows, double noise, uint64_t seed);

} // namespace Gcad::Scene
