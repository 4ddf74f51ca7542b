// LimitedPlane3d: a rectangle in space, given by a corner, two unit directions and the
// extents along them. Section rectangles and preview planes are handed out this way.
#pragma once

#include "gcad/host/base/vaq_vec.h"

#include <array>

namespace Vaq {

struct LimitedPlane3d
{
    BaVec3d<double> normal;
    BaVec3d<double> reference; // the corner the two edges start at
    BaVec3d<double> firstDirection;
    double width = 0.0; // along firstDirection
    BaVec3d<double> secondDirection;
    double height = 0.0; // along secondDirection

    // Counter-clockwise from the reference corner when firstDirection x secondDirection
    // points along the normal.
    std::array<BaVec3d<double>, 4> getCorners() const
    {
        const BaVec3d<double> along = firstDirection * width;
        const BaVec3d<double> across = secondDirection * height;
        return { reference, reference + along, reference + along + across, reference + across };
    }
    BaVec3d<double> getCenter() const
    {
        return reference + firstDirection * (width / 2.0) + secondDirection * (height / 2.0);
    }
};

} // namespace Vaq
