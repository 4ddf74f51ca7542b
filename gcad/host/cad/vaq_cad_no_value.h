// NO_VALUE: the per-point value (a deviation, a strain) of a point for which none was computed.
#pragma once

#include <limits>

namespace Vaq::CAD {

// The largest float.
inline constexpr float NO_VALUE = std::numeric_limits<float>::max();

} // namespace Vaq::CAD
