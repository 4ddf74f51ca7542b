// The tessellations behind CADGLRenderer's drawing routines, as plain functions over points
// and arrays: what each shape turns into (arc vertices, marker triangles, rings of a surface
// of revolution, ...) without any GL call, so that the shapes can be checked on their own.
// The renderer members only emit what these return.
#pragma once

#include "gcad/host/base/vaq_paraboloid.h"
#include "gcad/host/base/vaq_shapes.h"
#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/base/vaq_vec.h"

#include <array>
#include <vector>

namespace Vaq::GCAD::Tessellation {

// A vector perpendicular to v: the component of smallest magnitude becomes zero, the other two
// are swapped and the second negated (ties prefer z, then y). Not normalised.
BaVec3d<double> perpendicular(const BaVec3d<double> &v);
// Scales *v to the given length. A vector of length <= 1e-50 is left as it is: false.
bool setLength(BaVec3d<double> *v, double length);

// The point marker: an icosahedron with unit edge coordinates (0, +-1, +-phi) and their
// cyclic shifts, and its 20 triangles, counter-clockwise seen from outside.
const std::array<BaVec3d<double>, 12> &markerVertices();
const std::array<std::array<int, 3>, 20> &markerTriangles();
// The marker's corners for a marker of the given size centred at centre.
std::array<BaVec3d<double>, 12> markerCorners(const BaVec3d<double> &centre, double size);

// The angle between two vertices of an arc of the given radius: one segment spans about
// pixelLength (the model length of one pixel), but at least one degree; with fixedPoints, a
// full turn in exactly count steps. Throws ProgError "invalid number of fixed points" naming
// function for fewer than three fixed points.
double arcStep(double pixelLength, double radius, bool fixedPoints, unsigned count, const char *function);
// The vertices of an arc: start turned about the axis through centre along normal by the
// angles 0, -step, -2 step, ... (clockwise seen from the normal's tip), round(sweep / step) of
// them, then one at exactly -sweep. The sweep is taken as 0 to 2 pi.
std::vector<BaVec3d<double>> arcPoints(const BaVec3d<double> &centre, const BaVec3d<double> &normal,
    const BaVec3d<double> &start, double step, double sweep);

// Vertices, each with its normal, taken three at a time (triangles) or four (quads) in the
// order given; faces are counter-clockwise seen from the side their normals point to. A surface
// whose faces share corners lists each corner once and names them face by face in indices: the
// GL then transforms and lights a shared corner once instead of for every face around it.
struct Batch
{
    std::vector<BaVec3d<double>> vertices;
    std::vector<BaVec3d<double>> normals;
    std::vector<unsigned> indices; // empty: the vertices follow each other face by face

    void add(const BaVec3d<double> &vertex, const BaVec3d<double> &normal)
    {
        vertices.push_back(vertex);
        normals.push_back(normal);
    }
    // The corners in drawing order, through the indices where there are any.
    std::size_t cornerCount() const { return indices.empty() ? vertices.size() : indices.size(); }
    const BaVec3d<double> &corner(std::size_t i) const { return vertices[indices.empty() ? i : indices[i]]; }
    const BaVec3d<double> &cornerNormal(std::size_t i) const
    {
        return normals[indices.empty() ? i : indices[i]];
    }
    // A flat face: every corner gets the face normal, the cross product of its first two
    // edges (not normalised).
    void addFace(std::initializer_list<BaVec3d<double>> corners);
};

// A four-sided pyramid with its apex at tip and its body towards the point towards: length
// long, its diamond base length x sin 15 degrees from the axis. Four triangles.
Batch arrowHead(const BaVec3d<double> &tip, const BaVec3d<double> &towards, double length);
// The diamond at two thirds of the length and a second apex at the end: eight triangles.
Batch doubleArrowHead(const BaVec3d<double> &tip, const BaVec3d<double> &towards, double length);

// A profile in the plane of an axis: points (distance from the axis, height along it), and a
// normal (radial, axial) for each.
struct Profile
{
    std::vector<BaVec2d<double>> points;
    std::vector<BaVec2d<double>> normals;
};
// The profile turned about the z axis in n steps, mapped through transformation: quads
// between neighbouring rings and neighbouring profile points, facing outwards for a profile
// that runs from the top down.
Batch surfaceOfRevolution(const Profile &profile, unsigned n, const Transformation &transformation);
// Half a circle of the given radius from the top (0, radius) down, in n steps.
Profile halfCircle(double radius, unsigned n);
// A sphere: halfCircle(radius, n) turned in n steps about an axis along z through centre,
// the very values surfaceOfRevolution gives with a translation to centre; the turn's sines
// and cosines, the unit normals and the faces are kept per n, so only the corners cost time.
Batch sphere(const BaVec3d<double> &centre, double radius, unsigned n);
// The bowl from its vertex to its rim in n angular steps and max(2, n / 2) rings, mapped
// into model coordinates, as smooth triangles; nothing for an invalid paraboloid.
Batch paraboloid(const Paraboloid3d &paraboloid, unsigned n);

// An open cylinder of 360 one-degree quads facing out, then the same facing in.
Batch cylinder(const BaVec3d<double> &centre, const BaVec3d<double> &axis, double radius, double length);
// The apex where the cone's side lines meet, the smaller end first; false (nothing to draw)
// when they do not meet, as for equal radii.
bool coneApex(const Cone3d &cone, BaVec3d<double> *apex);
// The cone's surface like the cylinder's, with normals square to its side lines.
Batch coneSurface(const Cone3d &cone, const BaVec3d<double> &apex);
// The two rim circles in one-degree segments (four vertices per step), as line pairs.
std::vector<BaVec3d<double>> coneRims(const Cone3d &cone);
// The two side lines that bound the cone seen along viewDirection, as line pairs.
std::vector<BaVec3d<double>> coneSides(const Cone3d &cone, const BaVec3d<double> &viewDirection);

// A rectangle with rounded corners around the segment from first to second, width wide
// across it in the plane of normal, reaching width / 2 beyond both ends; radius of the
// corners at most width / 2 (a slot when it is width / 2).
struct RoundedRectangle
{
    // Corner k: its arc starts at centres[k] + starts[k] and turns a quarter clockwise about
    // the normal; corners follow each other clockwise.
    std::array<BaVec3d<double>, 4> centres;
    std::array<BaVec3d<double>, 4> starts;
    double radius = 0.0;
    // The inner octagon between the arcs, as three quads, and the four straight sides as
    // line pairs.
    std::vector<BaVec3d<double>> quads;
    std::vector<BaVec3d<double>> sides;
    // The middle of the figure and the direction from first to second (unit).
    BaVec3d<double> middle, direction;
};
RoundedRectangle roundedRectangle(const BaVec3d<double> &first, const BaVec3d<double> &second,
    const BaVec3d<double> &normal, double width, double radius);

// A coordinate axis from origin along vector: a shaft and a cone head, 12 segments round.
// Head length 0.3, shaft radius 0.03 and head radius 0.07 times the vector's length (half
// of each when thin). Triangles of the head and its base, then quads of the shaft.
struct AxisArrow
{
    Batch head;
    Batch shaft;
};
AxisArrow axisArrow(bool thin, const BaVec3d<double> &origin, const BaVec3d<double> &vector);

// A caliper jaw: a knife-edged prism whose edge runs through position along direction for
// length, with 45-degree flanks reaching width / 2 to each side and back against the normal.
// Its triangles, and its edges as line pairs.
struct Jaw
{
    Batch faces;
    std::vector<BaVec3d<double>> edges;
};
Jaw caliperJaw(const BaVec3d<double> &position, const BaVec3d<double> &direction,
    const BaVec3d<double> &normal, double length, double width);

} // namespace Vaq::GCAD::Tessellation
