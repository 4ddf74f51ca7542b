// PmpRenderer: draws the elements of the measuring plan: the distances and angles between
// planned features, the nominal points to probe (with their probing directions) and the
// nominal holes whose changes are measured. Point features also leave an invisible marker
// at their reference point, outside the stencil, so that it can be snapped to.
#pragma once

#include "gcad/renderers/gcad_gl_renderer.h"

namespace Vaq::CAD {
class PmpElement;
}

namespace Vaq::GCAD {

class PmpRenderer : public CADGLRenderer
{
public:
    explicit PmpRenderer(RenderCallback *callback);

protected:
    void preDrawInternal(unsigned, int) override { }
    // Throws ProgError "unsupported type" for a type this renderer does not draw.
    bool drawInternal() override;
    void postDrawInternal(int) override { }

private:
    void drawFeature(const CAD::PmpElement &feature, const Color &color);
    void drawHole(const CAD::PmpElement &feature, const Color &color);
    // The nominal point's marker and its direction drawn as the line from from to to.
    void drawPointFigure(const BaVec3d<double> &from, const BaVec3d<double> &to, const BaVec3d<double> &point,
        const Color &color);
    void drawReferencePoint();
};

} // namespace Vaq::GCAD
