// Transformation: an affine or projective 4x4 transformation of points (row-major,
// points as columns: p' = M p). Elements carry one as their render transformation; views
// use them for the model-view-projection chain.
#pragma once

#include "gcad/host/base/vaq_box.h"
#include "gcad/host/base/vaq_vec.h"

namespace Vaq {

class Transformation
{
public:
    // The identity.
    Transformation();
    // From 16 values in row-major order.
    explicit Transformation(const double rowMajor[16]);

    static Transformation translation(const BaVec3d<double> &offset);
    static Transformation scaling(double sx, double sy, double sz);
    // Rotation by angle (radians) about an axis through the origin; a zero axis gives the identity.
    static Transformation rotation(const BaVec3d<double> &axis, double angle);
    // Rotation by angle (radians, counter-clockwise seen from the direction's tip) about the
    // axis through point along direction; a zero direction gives the identity.
    static Transformation computeTransformationRotateAxis(
        const BaVec3d<double> &point, const BaVec3d<double> &direction, double angle);

    double operator()(int row, int column) const { return m_m[row * 4 + column]; }
    double &operator()(int row, int column) { return m_m[row * 4 + column]; }

    // this * other: other is applied first.
    Transformation operator*(const Transformation &other) const;
    bool operator==(const Transformation &other) const;

    // The inverse; false (and *inverse unchanged) when the matrix is singular.
    bool getInverse(Transformation *inverse) const;

    // Transforms a point (with the projective divide when the last row is not 0 0 0 1).
    BaVec3d<double> transform(const BaVec3d<double> &p) const;
    // Transforms a direction (the upper 3x3 only).
    BaVec3d<double> transformVector(const BaVec3d<double> &v) const;
    // The z coordinate of the transformed point, cheaper than transform() for depth sorting.
    double transformZ(const BaVec3d<double> &p) const;
    // The axis-aligned box around the eight transformed corners.
    Box3d transformBox(const Box3d &box) const;

    // Column-major, as glMultMatrixd and glLoadMatrixd take it.
    void getGLTransformation(double columnMajor[16]) const;
    static Transformation fromGLTransformation(const double columnMajor[16]);

private:
    double m_m[16];
};

} // namespace Vaq
