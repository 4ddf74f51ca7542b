// CADGLRenderer: the OpenGL layer every concrete renderer derives from. It owns the five
// render modes (bundles of GL state switched on and back to the library's defaults in
// pairs), turns the renderer's front and back colours into GL material, routes every line
// width through the snapshot scaling, draws bounding boxes, and draws the geometric shapes
// (markers, arcs, discs, surfaces, arrows) that every element renderer is built from.
#pragma once

#include "gcad/host/base/vaq_shapes.h"
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

    // The drawing routines. Sizes named in pixels stay the same on screen at any zoom; shapes
    // that must not be distorted by the view's axis scale say so. Each routine leaves the
    // library's default GL state behind.

    // An icosahedron of circumradius about 1.9 x size pixels (at least 5e-05 model units),
    // undistorted, lit in color; transparent draws it unlit with the colour's alpha. Style 1
    // puts a square of 10 pixels facing the viewer behind it.
    void drawPointMarker(
        const BaVec3d<double> &position, double size, const Color &color, int style, bool transparent);

    // An arc as a line strip in the current mode: start turned about the axis through centre
    // along normal by sweep radians, clockwise seen from the normal's tip, in segments of about
    // one pixel (at least one degree each), or through count corners when fixedPoints is set
    // (ProgError "invalid number of fixed points" below three).
    void drawCircleInternal(const BaVec3d<double> &centre, const BaVec3d<double> &normal,
        const BaVec3d<double> &start, bool fixedPoints, unsigned count, double sweep, const Color &color);
    // The sector of the same arc, filled with triangles in the colour's alpha.
    void drawDiscInternal(const BaVec3d<double> &centre, const BaVec3d<double> &normal,
        const BaVec3d<double> &start, bool fixedPoints, unsigned count, double sweep, const Color &color);
    // A full circle as unlit lines that do not write depth, and a full disc blended.
    void drawCircle(
        const BaVec3d<double> &centre, const BaVec3d<double> &normal, double radius, const Color &color);
    void drawDisc(
        const BaVec3d<double> &centre, const BaVec3d<double> &normal, double radius, const Color &color);
    // A circle element: the blended disc, a 30-pixel cross at the centre, a needle of
    // needleLength model units along the normal, and the outline, lines lineWidth pixels wide.
    void drawCircleElement(const Circle3d &circle, const Color &color, double lineWidth, double needleLength);
    // The same for a regular polygon, fill and outline exactly through its corners; an invalid
    // polygon draws nothing.
    void drawRegularPolygon(
        const RegularPolygon3d &polygon, const Color &color, double lineWidth, double needleLength);
    // A plane's polygon, blended, and its closed outline.
    void drawPolygon(const BaVec3d<double> &normal, const std::vector<BaVec3d<double>> &points,
        const Color &color, double lineWidth);

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
    // The view's per-axis stretch ((1, 1, 1) without a view), and the model-view matrix pushed
    // with its inverse applied, under which shapes built in the stretched space come out
    // undistorted. popAxisScale pops it again.
    BaVec3d<double> getAxisScale() const;
    void pushInverseAxisScale(const BaVec3d<double> &axisScale) const;
    static void popAxisScale();
    // The 30-pixel cross through centre (one arm towards start) and the needle along the
    // normal, as depth-writing lines of lineWidth pixels; the width stays set.
    void drawCentreCross(const BaVec3d<double> &centre, const BaVec3d<double> &normal,
        const BaVec3d<double> &start, const Color &color, double lineWidth, double needleLength);
};

} // namespace Vaq::GCAD
