// The colours in which legends and views draw the x, y and z axes, so that an axis has one
// colour wherever it is shown.
#pragma once

#include "gcad/host/base/vaq_color.h"

namespace Vaq::Legend2 {

inline constexpr Color color_axis_x { 230, 0, 0 };
inline constexpr Color color_axis_y { 0, 190, 0 };
inline constexpr Color color_axis_z { 0, 60, 255 };

} // namespace Vaq::Legend2
