// FindParameter: one pick query against the elements of a view. It carries the view line
// through the pixel, the view's 3-D to 2-D transformation and an optional clipping plane, and
// collects what an element's findElementAtPixel found: the point, its depth, and the render
// transformation that takes the point into view coordinates.
//
// Depth ("found z") compares hits of different elements: it is the window depth of the point
// under the 3-D to 2-D transformation, negated, so that a larger value is nearer the viewer
// (0 on the near plane, -1 on the far plane of a view's transformation).
#pragma once

#include "gcad/host/base/vaq_line.h"
#include "gcad/host/base/vaq_plane.h"
#include "gcad/host/base/vaq_transformation.h"

#include <optional>

namespace Vaq::CAD {

class FindParameter
{
public:
    FindParameter(const Line3d &viewLine, const Transformation &transformation3d2d)
        : m_view_line(viewLine)
        , m_3d2d(transformation3d2d)
    {
    }

    const Line3d &getViewLine() const { return m_view_line; }
    const Transformation &get3d2dTransformation() const { return m_3d2d; }

    // Only what lies on the side the plane's normal points to can be found.
    void setClippingPlane(const Plane3d &plane) { m_clipping_plane = plane; }
    bool getClippingPlane(Plane3d *plane) const;
    // Whether a point (view coordinates) lies on the side the clipping plane cuts away.
    bool isCutAway(const BaVec3d<double> &point) const
    {
        return m_clipping_plane && m_clipping_plane->distance(point) < 0.0;
    }
    // The depth of a point (view coordinates), as getFoundZ reports it.
    double depthOf(const BaVec3d<double> &point) const { return -m_3d2d.transformZ(point); }
    // The view line in the coordinates of an element whose render transformation is toWorld
    // (null: none, the view line itself); false when toWorld cannot be inverted.
    bool getViewLineInElement(const Transformation *toWorld, Line3d *line) const;

    // Results, written by findElementAtPixel. The point is in the element's own coordinates.
    void clearFound();
    void setFound(const BaVec3d<double> &point, double z);
    void setFoundRenderTrafo(const Transformation &transformation) { m_found_trafo = transformation; }
    bool getFoundZ(double *z) const;
    bool getFoundPoint(BaVec3d<double> *point) const;
    bool existsFoundRenderTrafo() const { return m_found_trafo.has_value(); }
    bool getFoundRenderTrafo(Transformation *transformation) const;

private:
    Line3d m_view_line;
    Transformation m_3d2d;
    std::optional<Plane3d> m_clipping_plane;
    std::optional<BaVec3d<double>> m_found_point;
    double m_found_z = 0.0;
    std::optional<Transformation> m_found_trafo;
};

} // namespace Vaq::CAD
