// OtherRenderer: draws the element kinds no other renderer takes: scale bars, cameras (body,
// lines to the object points, image rays), poly-surfaces, labels placed in the scene (an
// invisible marker that makes them pickable), cutting edges and coordinate systems.
#pragma once

#include "gcad/renderers/gcad_gl_renderer.h"

namespace Vaq::CAD {
class Camera;
}

namespace Vaq::GCAD {

class OtherRenderer : public CADGLRenderer
{
public:
    explicit OtherRenderer(RenderCallback *callback);

protected:
    void preDrawInternal(unsigned, int) override { }
    // Throws ProgError "unsupported type" for a type this renderer does not draw.
    bool drawInternal() override;
    void postDrawInternal(int) override { }

private:
    void drawCamera(const CAD::Camera &camera, const Color &color);
    // The image plane through the ends of the four corner rays and the rays from the centre.
    // Throws ProgError "rays enthaelt nicht exakt vier elemente" unless there are four rays.
    void drawImageRays(const CAD::Camera &camera, const Color &color);
    void drawPolySurface(CAD::Element *element, const Color &color);
    void drawCoordSystem(CAD::Element *element);
};

} // namespace Vaq::GCAD
