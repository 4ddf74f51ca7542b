// PrimitiveRenderer: draws the geometric primitives of the model (points, lines, circles,
// discs, planes, slots, spheres, cylinders, cones, paraboloids, regular polygon holes, label
// markers and fixture adapters). A thin dispatcher: it reads each element's shape from the
// element model, loads its colour and hands the shape to one of CADGLRenderer's drawing
// routines; every element is drawn whole in one step of the single render type 0.
#pragma once

#include "gcad/host/base/vaq_shapes.h"
#include "gcad/renderers/gcad_gl_renderer.h"

#include <set>

namespace Vaq::GCAD {

class PrimitiveRenderer : public CADGLRenderer
{
public:
    explicit PrimitiveRenderer(RenderCallback *callback);

    // Forget which elements were reported as not drawable.
    void removeElement(CAD::Element *element) override;
    void removeAllElements() override;
    // Solids, planes and discs stay inside their box but for the line width; points, lines
    // and planar figures add their markers, arrowheads, crosses and needles; the rest (labels,
    // adapters) cannot say.
    double getPixelReach(CAD::Element &element, Box3d *box) const override;

protected:
    void preDrawInternal(unsigned, int) override { }
    // Throws ProgError "unsupported type" for a type without a figure, and "wrong element type"
    // for an element of a primitive type that carries no primitive data. An element whose
    // geometry cannot be drawn (a zero radius, a NaN, ...) is left out with one trace line.
    bool drawInternal() override;
    void postDrawInternal(int) override { }

private:
    // Each draws the current element's figure in colour; false when its geometry could not be
    // had.
    bool drawPoint(const Color &colour);
    bool drawLine(const Color &colour);
    bool drawSegment(const Color &colour);
    bool drawCirclePrimitive(const Color &colour);
    bool drawDiscPrimitive(const Color &colour);
    bool drawPlane(const Color &colour);
    bool drawLimitedPlane(const Color &colour);
    bool drawAdapterPlane(const Color &colour);
    bool drawLonghole(const Color &colour, bool rounded);
    bool drawSpherePrimitive(const Color &colour);
    bool drawCylinderPrimitive(const Color &colour);
    bool drawConePrimitive(const Color &colour);
    bool drawParaboloidPrimitive(const Color &colour);
    bool drawLabel(const Color &colour);
    bool drawAdapterEdge(const Color &colour);
    bool drawAdapterCylinder(const Color &colour);
    bool drawAdapterSphere(const Color &colour);
    bool drawPolyhole(const Color &colour);

    // The shared figures: a cylinder with its rims and axis; a line segment of the element's
    // line width; a point marker of its point size.
    void drawCylinderFigure(const Cylinder3d &cylinder, const Color &colour);
    void drawLineSegment(const BaVec3d<double> &from, const BaVec3d<double> &to, const Color &colour);
    void drawMarker(const BaVec3d<double> &point, const Color &colour);
    // The current element as its kind; throws "wrong element type" when it is not one.
    template<typename Kind> const Kind &element() const;

    // Elements already reported as not drawable, so that a repaint does not repeat the trace.
    std::set<const CAD::Element *> m_reported;
};

} // namespace Vaq::GCAD
