// Tolerance: the allowed deviation band of a measured point, [lower, upper]. Meshes keep a
// list of them and one index into it per vertex; the colour map shows whether a vertex's
// deviation lies below, inside or above its band.
#pragma once

#include <cmath>

namespace Vaq::CAD {

struct Tolerance
{
    double lower = 0.0;
    double upper = 0.0;

    // A band that a value can lie in: both limits finite and lower < upper.
    bool isValid() const { return std::isfinite(lower) && std::isfinite(upper) && lower < upper; }
    bool operator==(const Tolerance &o) const { return lower == o.lower && upper == o.upper; }
};

} // namespace Vaq::CAD
