// GpsRenderer: draws the elements of geometric tolerancing, datum systems and form
// and position tolerances, from the ready list of shapes the element model supplies for each
// (plane outlines, line segments, cylinders, points, spheres), whole in one step.
#pragma once

#include "gcad/renderers/gcad_gl_renderer.h"

namespace Vaq::GCAD {

class GpsRenderer : public CADGLRenderer
{
public:
    explicit GpsRenderer(RenderCallback *callback);

protected:
    void preDrawInternal(unsigned, int) override { }
    // Throws ProgError "unsupported type" for a type this renderer does not draw.
    bool drawInternal() override;
    void postDrawInternal(int) override { }
};

} // namespace Vaq::GCAD
