#include "gcad/host/gl/vaq_gl_view_navigation.h"

#include "gcad/host/gl/vaq_gl_render_object.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Vaq::GL::ViewNavigation {

namespace {

// Model units per pixel.
double unitsPerPixel(const RenderObject &view)
{
    return view.getScale() / double(std::max(1, std::min(view.width(), view.height())));
}

// Where the model point lies in view space (x right, y up, z towards the viewer).
BaVec3d<double> viewPosition(const RenderObject &view, const BaVec3d<double> &point)
{
    int viewport[4];
    double modelView[16], projection[16];
    view.getViewportData(viewport, modelView, projection);
    return Transformation::fromGLTransformation(modelView).transform(point);
}

} // namespace

Transformation rotationMatrix(const BaVec3d<double> &angles)
{
    return Transformation::rotation(BaVec3d<double>(1, 0, 0), angles.x)
        * Transformation::rotation(BaVec3d<double>(0, 1, 0), angles.y)
        * Transformation::rotation(BaVec3d<double>(0, 0, 1), angles.z);
}

BaVec3d<double> eulerAngles(const Transformation &r)
{
    // Rx(a) Ry(b) Rz(c) has sin b in row 0, column 2; row 0 holds cos b times (cos c, -sin c)
    // and column 2 cos b times (-sin a, cos a) below it.
    const double sinB = std::clamp(r(0, 2), -1.0, 1.0);
    const double b = std::asin(sinB);
    if (std::abs(sinB) > 1.0 - 1e-12) // cos b = 0: only a +- c is defined
        return { std::atan2(r(2, 1), r(1, 1)), b, 0.0 };
    return { std::atan2(-r(1, 2), r(2, 2)), b, std::atan2(-r(0, 1), r(0, 0)) };
}

void turn(RenderObject &view, double dx, double dy, const BaVec3d<double> *centre)
{
    const double radiansPerPixel
        = std::numbers::pi / double(std::max(1, std::min(view.width(), view.height())));
    const BaVec3d<double> before = centre ? viewPosition(view, *centre) : BaVec3d<double>();
    const Transformation drag = Transformation::rotation(BaVec3d<double>(1, 0, 0), dy * radiansPerPixel)
        * Transformation::rotation(BaVec3d<double>(0, 1, 0), dx * radiansPerPixel);
    view.setRotation(eulerAngles(drag * rotationMatrix(view.getRotation())));
    if (centre)
        view.setTranslation(view.getTranslation() + before - viewPosition(view, *centre));
}

void pan(RenderObject &view, double dx, double dy)
{
    const double units = unitsPerPixel(view);
    view.setTranslation(view.getTranslation() + BaVec3d<double>(dx * units, -dy * units, 0.0));
}

void zoomAt(RenderObject &view, double x, double y, double factor)
{
    const double before = unitsPerPixel(view);
    view.setScale(view.getScale() * factor);
    const double change = unitsPerPixel(view) - before;
    view.setTranslation(view.getTranslation()
        + BaVec3d<double>((x - 0.5 * view.width()) * change, (y - 0.5 * view.height()) * change, 0.0));
}

} // namespace Vaq::GL::ViewNavigation
