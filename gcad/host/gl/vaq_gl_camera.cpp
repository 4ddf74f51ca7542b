#include "gcad/host/gl/vaq_gl_camera.h"

#include "gcad/host/base/vaq_prog_error.h"

#include <algorithm>
#include <cmath>

namespace Vaq::GL {

namespace {

bool isFinite(const BaVec3d<double> &v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

BaVec3d<double> stretched(const BaVec3d<double> &v, const BaVec3d<double> &axisScale)
{
    return BaVec3d<double>(v.x * axisScale.x, v.y * axisScale.y, v.z * axisScale.z);
}

} // namespace

void Camera::setViewportSize(int width, int height)
{
    m_width = width;
    m_height = height;
}

bool Camera::setViewVolume(const BaVec3d<double> &min, const BaVec3d<double> &max)
{
    if (!isFinite(min) || !isFinite(max) || min.x > max.x || min.y > max.y || min.z > max.z)
        return false;
    m_min = min;
    m_max = max;
    return true;
}

double Camera::sceneRadius() const
{
    return 0.5 * stretched(m_max - m_min, m_axis_scale).length();
}

double Camera::getScale() const
{
    if (m_scale > 0.0)
        return m_scale;
    const double diameter = 2.0 * sceneRadius();
    return diameter > 0.0 ? diameter : 2.0;
}

void Camera::setScale(double scale)
{
    if (!(scale > 0.0) || !std::isfinite(scale))
        VAQ_PROG_ERROR("Vaq::GL::Camera::setScale", "scale must be positive");
    m_scale = scale;
}

void Camera::fitView()
{
    m_scale = 0.0;
    m_translation = BaVec3d<double>();
}

void Camera::setRotation(const BaVec3d<double> &rotation)
{
    if (!isFinite(rotation))
        VAQ_PROG_ERROR("Vaq::GL::Camera::setRotation", "rotation must be finite");
    m_rotation = rotation;
}

void Camera::setTranslation(const BaVec3d<double> &translation)
{
    if (!isFinite(translation))
        VAQ_PROG_ERROR("Vaq::GL::Camera::setTranslation", "translation must be finite");
    m_translation = translation;
}

void Camera::setAxisScale(const BaVec3d<double> &axisScale)
{
    if (!isFinite(axisScale) || axisScale.x == 0.0 || axisScale.y == 0.0 || axisScale.z == 0.0)
        VAQ_PROG_ERROR("Vaq::GL::Camera::setAxisScale", "axis scale must be finite and not zero");
    m_axis_scale = axisScale;
}

Transformation Camera::getRotationTransformation() const
{
    return Transformation::rotation(BaVec3d<double>(1, 0, 0), m_rotation.x)
        * Transformation::rotation(BaVec3d<double>(0, 1, 0), m_rotation.y)
        * Transformation::rotation(BaVec3d<double>(0, 0, 1), m_rotation.z);
}

BaVec3d<double> Camera::getViewDirection() const
{
    // The model-view's linear part is R S; view -z goes back through R's transpose (the
    // negated third row of R) and S's inverse. The projection is orthographic, so that is all.
    const Transformation r = getRotationTransformation();
    return BaVec3d<double>(-r(2, 0) / m_axis_scale.x, -r(2, 1) / m_axis_scale.y, -r(2, 2) / m_axis_scale.z)
        .normalized();
}

Transformation Camera::getModelView() const
{
    const BaVec3d<double> center = (m_min + m_max) * 0.5;
    return Transformation::translation(m_translation) * getRotationTransformation()
        * Transformation::scaling(m_axis_scale.x, m_axis_scale.y, m_axis_scale.z)
        * Transformation::translation(-center);
}

Transformation Camera::getProjection() const
{
    const double unitsPerPixel = getScale() / double(std::max(1, std::min(m_width, m_height)));
    const double halfWidth = 0.5 * std::max(1, m_width) * unitsPerPixel;
    const double halfHeight = 0.5 * std::max(1, m_height) * unitsPerPixel;
    // The bounding sphere of the view volume, a little widened, fills the depth range at
    // any rotation, wherever the pan moved it along z.
    const double depth = std::max(sceneRadius() * 1.05, 1e-9);
    const double nearPlane = -(m_translation.z + depth), farPlane = depth - m_translation.z;
    Transformation p;
    p(0, 0) = 1.0 / halfWidth;
    p(1, 1) = 1.0 / halfHeight;
    p(2, 2) = -2.0 / (farPlane - nearPlane);
    p(2, 3) = -(farPlane + nearPlane) / (farPlane - nearPlane);
    return p;
}

Transformation Camera::getViewport() const
{
    Transformation viewport;
    viewport(0, 0) = viewport(0, 3) = 0.5 * m_width;
    viewport(1, 1) = viewport(1, 3) = 0.5 * m_height;
    viewport(2, 2) = viewport(2, 3) = 0.5;
    return viewport;
}

Transformation Camera::get3d2dTransformation() const
{
    return getViewport() * getProjection() * getModelView();
}

Transformation Camera::getInverse3d2dTransformation() const
{
    Transformation inverse;
    get3d2dTransformation().getInverse(&inverse);
    return inverse;
}

Line3d Camera::unproject(double x, double y, double depth) const
{
    const Transformation inverse = getInverse3d2dTransformation();
    const BaVec3d<double> point = inverse.transform(BaVec3d<double>(x, y, depth));
    const BaVec3d<double> direction
        = inverse.transform(BaVec3d<double>(x, y, 1.0)) - inverse.transform(BaVec3d<double>(x, y, 0.0));
    return Line3d(point, direction);
}

bool Camera::isInViewVolume(const BaVec3d<double> &point) const
{
    const BaVec3d<double> window = get3d2dTransformation().transform(point);
    return window.x >= 0.0 && window.y >= 0.0 && window.x < m_width && window.y < m_height && window.z >= 0.0
        && window.z <= 1.0;
}

} // namespace Vaq::GL
