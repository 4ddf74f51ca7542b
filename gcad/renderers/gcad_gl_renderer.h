// CADGLRenderer: the OpenGL layer every concrete renderer derives from. It owns the five
// render modes (bundles of GL state switched on and back to the library's defaults in
// pairs), turns the renderer's front and back colours into GL material, routes every line
// width through the snapshot scaling, draws bounding boxes, and draws the geometric shapes
// (markers, arcs, discs, surfaces, arrows) that every element renderer is built from.
#pragma once

#include "gcad/host/base/vaq_paraboloid.h"
#include "gcad/host/base/vaq_shapes.h"
#include "gcad/host/base/vaq_transformation.h"
#include "gcad/renderers/gcad_renderer.h"
#include "gcad/renderers/gcad_tessellation.h"

namespace Vaq::CAD {
class AngleMeasurement;
class DistPullOut;
} // namespace Vaq::CAD

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
    // A blended disc in color (its alpha) about position, square to direction, over
    // everything: no depth or stencil test, unlit.
    void drawSpotlight(const BaVec3d<double> &position, const BaVec3d<double> &direction, double radius,
        const Color &color) override;

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
    // A slot (long hole) round the segment from first to second, width wide, and a rectangle
    // of the same extent with corners of edgeRadius: blended fill, centre cross and needle as
    // for circles, outline.
    void drawSlot(const BaVec3d<double> &first, const BaVec3d<double> &second, const BaVec3d<double> &normal,
        double width, const Color &color, double lineWidth, double needleLength);
    void drawRoundedRectangle(const BaVec3d<double> &first, const BaVec3d<double> &second,
        const BaVec3d<double> &normal, double width, double edgeRadius, const Color &color, double lineWidth,
        double needleLength);

    // Pyramids length model units long with the apex on tip and the body towards towards, lit
    // in the opaque material and undistorted by the axis scale: four-sided, and an eight-sided
    // double pyramid.
    void drawArrowHead(
        const BaVec3d<double> &tip, const BaVec3d<double> &towards, double length, const Color &color);
    void drawDoubleArrowHead(
        const BaVec3d<double> &tip, const BaVec3d<double> &towards, double length, const Color &color);
    // A caliper jaw: a lit knife-edged prism in fill along direction through position, its
    // back against normal, and its edges in outline; undistorted by the axis scale.
    void drawCaliperJaw(const BaVec3d<double> &position, const BaVec3d<double> &direction,
        const BaVec3d<double> &normal, double length, double width, const Color &fill, const Color &outline);

    // An open cylinder, blended, seen from outside and inside alike.
    void drawCylinder(const BaVec3d<double> &centre, const BaVec3d<double> &axis, double radius,
        double length, const Color &color);
    // A cone's blended surface, or with outline its rims and two side lines as lines of
    // lineWidth pixels that do not write depth. Nothing when its side lines do not meet.
    void drawCone(const Cone3d &cone, const Color &color, double lineWidth, bool outline);
    // The profile turned about the z axis of transformation in n steps, quads in color.
    void drawSurfaceOfRevolution(const Tessellation::Profile &profile, unsigned n,
        const Transformation &transformation, bool smooth, const Color &color);
    // Blended sphere and paraboloid in n segments round.
    void drawSphere(const Sphere3d &sphere, unsigned n, bool smooth, const Color &color);
    void drawParaboloid(const Paraboloid3d &paraboloid, unsigned n, bool smooth, const Color &color);

    // A distance between the measured points p1 and p2 in the element's colour and line width:
    // the dimension line (pulled out as pullOut says, which may be null), extension lines that
    // overshoot it by extension pixels, 35-pixel arrowheads, and with handle the handle that
    // drags it, announced to the render callback (only outside snapshots and moving views, for
    // a selected element or a visible handle).
    void drawDistance(const BaVec3d<double> &p1, const BaVec3d<double> &p2, CAD::Element *element,
        CAD::DistPullOut *pullOut, double extension, bool handle);
    // Line segments (pairs of ends) in color as lines of lineWidth pixels that write depth.
    void drawLines(const std::vector<BaVec3d<double>> &ends, const Color &color, double lineWidth);
    // 35-pixel arrowheads with their tips on a and b, their bodies along the segment between;
    // none for coincident points.
    void drawArrowsAtEnds(const BaVec3d<double> &a, const BaVec3d<double> &b, const Color &color);
    // An angle's legs from its apex and the arc between them with 35-pixel arrowheads, as lines
    // of lineWidth pixels; no arc for an angle too small to show, nothing for a null direction.
    void drawAngle(const CAD::AngleMeasurement &angle, const Color &color, double lineWidth);
    // The letters X, Y and Z at the three tips, in the render callback's axis notation.
    void drawAxisLetters(const BaVec3d<double> tips[3]);
    // The colours of the x, y and z axes.
    static const Color AXIS_COLORS[3];

    // Coordinate axes: the lit material of an axis, an arrow from origin along vector in the
    // current material, and the sphere of about 11 pixels at an origin (in the highlight colour
    // when highlighted, else grey).
    void applyAxisMaterial(const Color &color);
    void drawAxisArrow(bool thin, const BaVec3d<double> &origin, const BaVec3d<double> &vector);
    void drawOriginSphere(RenderCallback *callback, const BaVec3d<double> &centre, bool highlighted);

protected:
    std::vector<unsigned> getRenderTypes() const override { return { 0 }; }
    // For getPixelReach: how far a line of the element's width blends beyond its centre, and how
    // far a point marker of its point size reaches from its centre, both in pixels.
    double getLineReach(const CAD::Element &element) const;
    double getMarkerReach(const CAD::Element &element) const;
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
    void drawDistanceHandle(
        const BaVec3d<double> &point, CAD::Element *element, CAD::DistPullOut *pullOut, const Color &color);
    void checkTransparencyAllowed(const char *function) const;
    // The view's per-axis stretch ((1, 1, 1) without a view), and the model-view matrix pushed
    // with its inverse applied, under which shapes built in the stretched space come out
    // undistorted. popAxisScale pops it again.
    BaVec3d<double> getAxisScale() const;
    void pushInverseAxisScale(const BaVec3d<double> &axisScale) const;
    static void popAxisScale();
    // Each vertex of the batch with its normal, as mode (GL_TRIANGLES or GL_QUADS).
    static void drawBatch(unsigned mode, const Tessellation::Batch &batch);
    // The points as mode (GL_LINES, ...), without normals.
    static void drawPoints(unsigned mode, const std::vector<BaVec3d<double>> &points);
    // An arrowhead figure (tip, the point it points away from, length), built in the stretched
    // space and drawn solid in colour.
    using ArrowFigure = Tessellation::Batch (*)(const BaVec3d<double> &, const BaVec3d<double> &, double);
    void drawArrowFigure(ArrowFigure figure, const BaVec3d<double> &tip, const BaVec3d<double> &towards,
        double length, const Color &color);
    // Fill, cross and outline of a rounded rectangle (a slot when its corners are half its width).
    void drawRoundedFigure(const Tessellation::RoundedRectangle &figure, const BaVec3d<double> &normal,
        const Color &color, double lineWidth, double needleLength);
    // The 30-pixel cross through centre (one arm towards start) and the needle along the
    // normal, as depth-writing lines of lineWidth pixels; the width stays set.
    void drawCentreCross(const BaVec3d<double> &centre, const BaVec3d<double> &normal,
        const BaVec3d<double> &start, const Color &color, double lineWidth, double needleLength);
};

} // namespace Vaq::GCAD
