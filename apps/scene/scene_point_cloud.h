// PointCloud: the points of a file that holds no surface (an XYZ file, a PLY file without
// faces) or of a point set given in a scene file, as plain data. Every vector but positions
// is either empty or holds one entry per position.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_vec.h"

#include <cstdint>
#include <vector>

namespace Gcad::Scene {

struct PointCloud
{
    std::vector<Vaq::BaVec3d<double>> positions;
    std::vector<Vaq::BaVec3d<float>> normals;
    std::vector<Vaq::Color> colors;
    // A scalar per point, such as the deviation of a scan from its nominal part.
    std::vector<float> values;
    // Point identifiers, shown as text next to the points.
    std::vector<int32_t> ids;
    // The deviation of each point as a vector, drawn as a needle.
    std::vector<Vaq::BaVec3d<float>> deviations;
};

} // namespace Gcad::Scene
