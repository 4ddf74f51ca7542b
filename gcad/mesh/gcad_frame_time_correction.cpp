#include "gcad/mesh/gcad_frame_time_correction.h"

#include <algorithm>
#include <cmath>

namespace Vaq::GCAD {

void FrameTimeCorrection::addFrame(double estimated, double measured)
{
    if (!(estimated > 0.0 && measured > 0.0) || !std::isfinite(estimated) || !std::isfinite(measured))
        return;
    // With the frame's ratio in bounds, the weighted geometric mean of it and the factor is too.
    const double ratio = std::clamp(measured / estimated, MIN_SCALE, MAX_SCALE);
    m_scale *= std::pow(ratio / m_scale, SMOOTHING);
}

} // namespace Vaq::GCAD
