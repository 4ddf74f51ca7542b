// Strain: the results of a forming simulation or strain measurement on a grid. The grid's
// points come with their colour-mapped value; MappedPoint is one such point as the
// renderers tessellate it.
#pragma once

#include "gcad/host/base/vaq_vec.h"

#include <cstdint>

namespace Vaq::CAD {

class Strain
{
public:
    struct MappedPoint
    {
        BaVec3d<float> position;
        BaVec3d<float> normal;
        // The largest float when the point has no value.
        float value = 0.0f;
        // A flagged point weighs half in the tessellation's weights.
        uint8_t flag = 0;
    };
};

} // namespace Vaq::CAD
