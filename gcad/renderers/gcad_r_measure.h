// MeasureRenderer: draws measurement elements: distances (with their pull-out dimension lines
// and drag handles), disc and segment calipers, measured points, lines and planes with the
// perpendiculars onto them, angles and six-degree-of-freedom frames. Each element is drawn
// whole in one step of its single render type.
#pragma once

#include "gcad/renderers/gcad_gl_renderer.h"

namespace Vaq::GCAD {

class MeasureRenderer : public CADGLRenderer
{
public:
    explicit MeasureRenderer(RenderCallback *callback);

    // Distances, disc calipers and angles: their pulled-out lines, discs and arcs widen the box,
    // their arrowheads and leader lines reach beyond it; the other kinds cannot say.
    double getPixelReach(CAD::Element &element, Box3d *box) const override;

protected:
    void preDrawInternal(unsigned, int) override { }
    // Throws ProgError "unsupported type" for a type this renderer does not draw; invalid
    // measured data draws nothing.
    bool drawInternal() override;
    void postDrawInternal(int) override { }

private:
    void drawDiscCaliper(const Color &color);
    void drawSegmentCaliper(const Color &color);
    void drawFeature(const Color &color);
    void drawAngleMeasurement(const Color &color);
    void drawSixDof(const Color &color);
};

} // namespace Vaq::GCAD
