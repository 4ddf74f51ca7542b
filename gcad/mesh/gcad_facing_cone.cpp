// Which side of a run of a leaf's triangles a view sees, for all of them at once.
// The window-space signed area of a triangle with edges u and v under a linear map whose first
// two rows are a1 and a2 is (a1 x a2) . (u x v): the triangle is counter-clockwise exactly when
// its winding normal lies on the side of a1 x a2. So every triangle of a run faces the same
// way when the cone around their winding normals stays within 90 degrees of a1 x a2 or of its
// opposite.
// A run's cone is the normalised mean of its unit normals with the largest angle to any of
// them: linear in the triangles, computed once when a leaf is prepared; the test per run and
// view is a few multiplications. Runs of a cache-ordered or band-ordered triangle list are
// small patches, so their cones are narrow.
#include "gcad/mesh/gcad_facing_cone.h"

#include <algorithm>
#include <cmath>

namespace Vaq::GCAD {

namespace {

// cos(angle to a1 x a2 + half angle) must exceed this, about 0.06 degrees short of edge-on, so that
// the rounding of window coordinates cannot turn a triangle over.
constexpr double EDGE_ON_MARGIN = 1e-3;

} // namespace

std::vector<FacingCone> windingNormalCones(const std::vector<BaVec3d<double>> &vertices,
    const uint16_t *indices, std::size_t triangleCount, std::size_t runLength)
{
    std::vector<FacingCone> cones;
    std::vector<BaVec3d<double>> normals;
    for (std::size_t first = 0; first < triangleCount; first += runLength) {
        normals.clear();
        BaVec3d<double> sum;
        for (std::size_t i = first; i < std::min(triangleCount, first + runLength); ++i) {
            const uint16_t *t = indices + 3 * i;
            const BaVec3d<double> &p = vertices[t[0]];
            const BaVec3d<double> n = (vertices[t[1]] - p).cross(vertices[t[2]] - p);
            const double length = n.length();
            if (!(length > 0.0) || !std::isfinite(length))
                continue;
            normals.push_back(n * (1.0 / length));
            sum = sum + normals.back();
        }
        FacingCone &cone = cones.emplace_back();
        const double length = sum.length();
        if (!(length > 1e-9 * double(normals.size())))
            continue;
        const BaVec3d<double> axis = sum * (1.0 / length);
        double cosine = 1.0;
        for (const BaVec3d<double> &n : normals)
            cosine = std::min(cosine, n.dot(axis));
        if (cosine <= 0.0)
            continue;
        cone.axis = axis;
        cone.cosHalfAngle = cosine;
        cone.sinHalfAngle = std::sqrt(std::max(0.0, 1.0 - cosine * cosine));
    }
    return cones;
}

Facing facingInView(const FacingCone &cone, const double modelToClip[16])
{
    const double *m = modelToClip;
    const bool affine = m[3] == 0.0 && m[7] == 0.0 && m[11] == 0.0 && m[15] != 0.0;
    if (cone.cosHalfAngle <= 0.0 || !affine)
        return Facing::BOTH;
    const BaVec3d<double> a1(m[0], m[4], m[8]), a2(m[1], m[5], m[9]);
    // Counter-clockwise triangles have their normals on this side. (Dividing both window
    // coordinates by m[15] scales every area by 1 / m[15]^2, which keeps its sign.)
    const BaVec3d<double> front = a1.cross(a2);
    const double length = front.length();
    if (!(length > 0.0) || !std::isfinite(length))
        return Facing::BOTH;
    const double c = front.dot(cone.axis) / length;
    const double s = std::sqrt(std::max(0.0, 1.0 - c * c));
    if (c * cone.cosHalfAngle - s * cone.sinHalfAngle > EDGE_ON_MARGIN)
        return Facing::FRONT;
    if (-c * cone.cosHalfAngle - s * cone.sinHalfAngle > EDGE_ON_MARGIN)
        return Facing::BACK;
    return Facing::BOTH;
}

} // namespace Vaq::GCAD
