// CoordinateElement: a temporary element standing for one part of the drawn coordinate system
// (an axis as a line, the square between two axes as a limited plane, the origin as a point),
// so that the render callback can tell which part lies under the mouse. Its file name is the
// name of the view direction a click on it turns to ("x+", "iso" ...).
#pragma once

#include "gcad/host/base/vaq_limited_plane.h"
#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/cad/vaq_cad_element.h"

#include <vector>

namespace Vaq::GCAD {

class CoordinateElement : public CAD::Element
{
public:
    // An element of type LINE from a to b, of type LIMITED_PLANE, or of type POINT.
    CoordinateElement(const QString &viewName, const BaVec3d<double> &a, const BaVec3d<double> &b);
    CoordinateElement(const QString &viewName, const LimitedPlane3d &plane);
    CoordinateElement(const QString &viewName, const BaVec3d<double> &point);

    // Each false for an element of another kind.
    bool getLine(BaVec3d<double> *a, BaVec3d<double> *b) const;
    bool getLimitedPlane(LimitedPlane3d *plane) const;
    bool getPoint(BaVec3d<double> *point) const;

private:
    LimitedPlane3d m_plane; // a line runs from reference to reference + firstDirection
};

// Tolerances of the hit test, in window pixels.
constexpr double COORDINATE_POINT_RADIUS = 10.5;
constexpr double COORDINATE_LINE_TOLERANCE = 5.0;
constexpr double COORDINATE_LINE_TOLERANCE_PER_LENGTH = 0.015;

// The part of the coordinate system at window pixel mouse (origin lower left) under toWindow
// (model to window, third coordinate the depth, 0 at the viewer), or null. Among several the
// one nearest the viewer wins; a point hit makes later lines untested. Elements that are not
// CoordinateElements are passed over.
const CoordinateElement *findCoordinateElementAt(const std::vector<CAD::Element *> &elements,
    const Transformation &toWindow, const BaVec2d<double> &mouse);

} // namespace Vaq::GCAD
