// The render callback's sizes for snapshots: a snapshot renders the view larger, and sizes
// given in pixels shrink in model units by the snapshot scaling so that they keep their
// share of the picture.
#include "gcad/rcb/gcad_rcb.h"

#include "gcad/host/gl/vaq_gl_render_object.h"

#include <algorithm>

namespace Vaq::GCAD {

double RenderCallback::getPixelSize() const
{
    const GL::RenderObject *view = getRenderObject();
    if (!view)
        return 1.0;
    return view->getScale() / std::min(view->width(), view->height()) / _snapshot_scaling;
}

} // namespace Vaq::GCAD
