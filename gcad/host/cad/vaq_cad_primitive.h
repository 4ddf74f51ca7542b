// Primitive: the base of the geometric elements that the primitive renderer draws (points,
// lines, circles, planes, slots, solids, adapters and label markers). Each kind keeps its
// geometry as plain values, hands it out through an accessor that reports degenerate data
// (NaN, a zero radius or axis ...) as failure, and frames it with its bounding box.
#pragma once

#include "gcad/host/base/vaq_box.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_element.h"

#include <initializer_list>

namespace Vaq::CAD {

class Primitive : public Element
{
public:
    // The box of the geometry (a stored box wins, as for every element); false for geometry
    // that cannot be drawn.
    bool getBoundingBox(
        const StageIdentifier &stage, BoundingBoxType_t type, ContextCS_t context, Box3d &box) const override;
    // A primitive that cannot be drawn shows no label either: it would point at nothing.
    bool mustLabelBeRendered(const StageIdentifier &stage) const override;

    // Whether a kind's data can be drawn: finite points, directions longer than 1e-50, finite
    // lengths above zero.
    static bool isPoint(const BaVec3d<double> &p);
    static bool isDirection(const BaVec3d<double> &v);
    static bool isLength(double length);
    // The box of a circle: each coordinate reaches radius x sqrt(1 - n_i^2) from the centre for
    // the unit normal n.
    static Box3d circleBox(const BaVec3d<double> &centre, const BaVec3d<double> &normal, double radius);

protected:
    // Throws ProgError "wrong element type" naming function when type is not one of types.
    // Primitives are drawn over the scene (render level 1): their surfaces are blended.
    Primitive(ElementCreator::Element_t type, std::initializer_list<ElementCreator::Element_t> types,
        const char *function);

    // The box of the kind's geometry; an empty box when it cannot be drawn.
    virtual Box3d geometryBox() const = 0;
};

} // namespace Vaq::CAD
