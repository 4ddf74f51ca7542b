// PointCloud: the points of a file that holds no surface (an XYZ file, a PLY file without
// faces). The element model has no point-set element yet; a points element takes this data
// as it is once it exists.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_vec.h"

#include <vector>

namespace Gcad::Scene {

struct PointCloud
{
    std::vector<Vaq::BaVec3d<double>> positions;
    // Empty, or one colour per position.
    std::vector<Vaq::Color> colors;
};

} // namespace Gcad::Scene
