// Camera: what one view shows and how, as plain values: viewport size, view volume (the scene
// box, whose centre the model turns about), scale, rotation, pan and axis stretch, and the
// matrices they make. The projection is orthographic and the eye looks along -z of view space.
// It needs no GL context; RenderObject keeps one and loads its matrices.
#pragma once

#include "gcad/host/base/vaq_line.h"
#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/base/vaq_vec.h"

namespace Vaq::GL {

class Camera
{
public:
    // Pixels; the projection counts a side below 1 as 1.
    void setViewportSize(int width, int height);
    int width() const { return m_width; }
    int height() const { return m_height; }

    // The scene box the view is fitted to: its centre is the rotation centre, its bounding
    // sphere (after the axis stretch) fills the depth range at any rotation. False, and the
    // box unchanged, for a box that is not finite or has min above max on an axis.
    // The unit cube around the origin until set.
    bool setViewVolume(const BaVec3d<double> &min, const BaVec3d<double> &max);

    // Model units covered by the smaller of width and height. Until set (or after fitView),
    // the diameter of the view volume's bounding sphere. Throws ProgError "scale must be
    // positive" for zero, a negative or a non-finite scale.
    double getScale() const;
    void setScale(double scale);
    // Back to the fitted scale, without pan.
    void fitView();
    // Euler angles in radians: the model is turned about z, then y, then x. Throws ProgError
    // "rotation must be finite".
    const BaVec3d<double> &getRotation() const { return m_rotation; }
    void setRotation(const BaVec3d<double> &rotation);
    // Pan in view units (x right, y up, z towards the viewer), applied after the rotation.
    // Throws ProgError "translation must be finite".
    const BaVec3d<double> &getTranslation() const { return m_translation; }
    void setTranslation(const BaVec3d<double> &translation);
    // Per-axis stretch of the model, applied first. Throws ProgError "axis scale must be
    // finite and not zero".
    const BaVec3d<double> &getAxisScale() const { return m_axis_scale; }
    void setAxisScale(const BaVec3d<double> &axisScale);

    // The direction the viewer looks along, in model coordinates (unit length).
    BaVec3d<double> getViewDirection() const;

    // Model to view space, view space to the normalised cube, the cube to window pixels
    // (x, y with origin lower left, z depth 0 at the viewer to 1), and all three in a row.
    Transformation getModelView() const;
    Transformation getProjection() const;
    Transformation getViewport() const;
    Transformation get3d2dTransformation() const;
    Transformation getInverse3d2dTransformation() const;
    // The line of model points shown at window pixel (x, y), through the point at depth,
    // directed away from the viewer.
    Line3d unproject(double x, double y, double depth) const;
    // Whether the point lands inside the viewport and the depth range.
    bool isInViewVolume(const BaVec3d<double> &point) const;

private:
    // Half the diameter of the stretched view volume.
    double sceneRadius() const;
    Transformation getRotationTransformation() const;

    int m_width = 1;
    int m_height = 1;
    BaVec3d<double> m_min { -1.0, -1.0, -1.0 };
    BaVec3d<double> m_max { 1.0, 1.0, 1.0 };
    double m_scale = 0.0; // 0: fitted
    BaVec3d<double> m_rotation;
    BaVec3d<double> m_translation;
    BaVec3d<double> m_axis_scale { 1.0, 1.0, 1.0 };
};

} // namespace Vaq::GL
