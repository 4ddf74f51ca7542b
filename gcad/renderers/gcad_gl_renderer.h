// CADGLRenderer: the OpenGL layer every concrete renderer derives from. It owns the five
// render modes (bundles of GL state switched on and back to the library's defaults in
// pairs), turns the renderer's front and back colours into GL material, routes every line
// width through the snapshot scaling, and draws bounding boxes.
#pragma once

#include "gcad/renderers/gcad_renderer.h"

namespace Vaq::GCAD {

class CADGLRenderer : public CADRenderer
{
public:
    enum RenderMode_t : unsigned {
        RM_POINTS = 0, // polygons rasterised as points
        RM_WIREFRAME = 1, // polygons rasterised as lines, unlit
        RM_LINES_NO_DEPTH_WRITE = 2, // smoothed unlit lines over surfaces, no depth writes
        RM_LINES = 3, // smoothed unlit lines with depth writes
        RM_TRANSPARENT = 4, // blended surfaces in the front colour's alpha, no depth writes
    };

    explicit CADGLRenderer(RenderCallback *callback);

    void initDefaults() override;
    bool checkDefaults() override;
    void drawBoundingBox(const Box3d &box) override;

    // Switch a mode's state on, and back to the defaults; always called in pairs. Other
    // values change nothing. RM_TRANSPARENT throws ProgError "transparency not allowed in
    // this render stage" for an element drawn in render stage 1 (other than a 2-D
    // inspection section), before any state changes.
    void enableRenderMode(unsigned mode);
    void disableRenderMode(unsigned mode);

    // Line widths in pixels, scaled for snapshots.
    void setLineWidth(double width);
    void resetLineWidth();
    // Shadows the GL function inside renderer code: direct calls would ignore the snapshot
    // scaling, so they only print a warning and change nothing.
    void glLineWidth(double width);

protected:
    std::vector<unsigned> getRenderTypes() const override { return { 0 }; }
    void applyMaterial(int opaque) override;

    // Whether lines may be smoothed (and blended) for the current element: never for
    // sections, and not for meshes while a snapshot is rendered.
    bool isLineSmoothingAllowed() const;
    // Standard alpha blending; blending is "off" with GL_ONE, GL_ZERO, GL_BLEND stays enabled.
    static void setAlphaBlendFunction();
    // The box's twelve edges as lines, or its six faces as quads, in the current colour,
    // unlit and outside the stencil (a box is no part of its element for picking). Leaves
    // lighting on, the stencil test as it was, and depth writes on.
    static void drawBoxOutsideStencil(const Box3d &box, bool faces);

private:
    void checkTransparencyAllowed(const char *function) const;
};

} // namespace Vaq::GCAD
