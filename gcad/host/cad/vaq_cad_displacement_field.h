// DisplacementFieldMeasurement: the displacement of measured points between two stages. Views
// draw each point's displacement split into its axis components and their resultant, every
// one in a colour of its own that the legend of such a measurement explains.
#pragma once

#include "gcad/host/base/vaq_color.h"

namespace Vaq::CAD {

class DisplacementFieldMeasurement
{
public:
    struct ComponentsColor
    {
        Color x, y, z, resultant;
    };

    // The axes in the colours of the coordinate axes, the resultant in white.
    static ComponentsColor getComponentsColor()
    {
        return { Color(255, 0, 0), Color(0, 200, 0), Color(0, 80, 255), Color(255, 255, 255) };
    }
};

} // namespace Vaq::CAD
