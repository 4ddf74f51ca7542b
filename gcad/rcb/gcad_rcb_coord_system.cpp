// The render callback's coordinate-system settings, shared by all views, and the room the
// axes at the origin take in the scene box.
#include "gcad/rcb/gcad_rcb.h"

#include <algorithm>
#include <limits>

namespace Vaq::GCAD {

bool RenderCallback::_axis_drawing_enabled = false;
bool RenderCallback::_axis_grid_drawing_enabled = false;
bool RenderCallback::_write_view_direction = false;
RenderCallback::CoordSystemMode_t RenderCallback::_axis_drawing_mode = RenderCallback::CSM_ORIGIN;
double RenderCallback::_axis_length_factor = 0.3;
double RenderCallback::_size_axis_notation = 8.0;
Color RenderCallback::_col_axis_notation(255, 255, 255);

bool RenderCallback::addPreviewBoundingBox(BaVec3d<double> *min, BaVec3d<double> *max)
{
    _axis_length = 5.0;
    if (min->x != std::numeric_limits<double>::max()) {
        const BaVec3d<double> size = *max - *min;
        _axis_length = _axis_length_factor * std::max({ size.x, size.y, size.z, 0.0 });
    }
    if (!isCoordinateAxisDrawingEnabled() || _axis_drawing_mode != CSM_ORIGIN)
        return false;
    // The axes stand at the origin.
    const double half = _axis_length / 2.0;
    for (int i = 0; i < 3; ++i) {
        (*min)[i] = std::min((*min)[i], -half);
        (*max)[i] = std::max((*max)[i], half);
    }
    return true;
}

} // namespace Vaq::GCAD
