// Paraboloid3d: a paraboloid of revolution, z = (x^2 + y^2) / (4 f) in its own frame with the
// focal length f, cut off at a height above its vertex. Its transformation maps model
// coordinates into that frame (vertex at the origin, opening along +z).
#pragma once

#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/base/vaq_vec.h"

namespace Vaq {

class Paraboloid3d
{
public:
    Paraboloid3d() = default;
    Paraboloid3d(const Transformation &modelToLocal, double focalLength, double height)
        : m_transformation(modelToLocal)
        , m_focal_length(focalLength)
        , m_height(height)
    {
    }

    const Transformation &getTransformation() const { return m_transformation; }
    double getFocalLength() const { return m_focal_length; }
    double getHeight() const { return m_height; }
    // The radius of the rim at the cut-off height.
    double getRimRadius() const;
    // A positive, finite focal length and height.
    bool isValid() const;

    // The surface point at distance r from the axis in direction angle (radians from the x
    // axis), and the unit normal there pointing away from the focus, both in the own frame.
    void compute(double r, double angle, BaVec3d<double> *point, BaVec3d<double> *normal) const;

private:
    Transformation m_transformation;
    double m_focal_length = 1.0;
    double m_height = 1.0;
};

} // namespace Vaq
