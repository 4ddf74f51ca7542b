// Cutting a mesh with a plane into section polylines. Only the triangles of the spatial tree's
// leaves whose boxes the plane meets are looked at (linear in those triangles); each triangle the
// plane crosses gives a segment between the points where the plane crosses two of its edges, and
// the segments are chained into runs through a hash of those edges, keyed by the edges' end
// positions so that vertices copied at creases still join. A vertex on the plane counts as lying
// above it (a symbolic perturbation): every triangle then has no crossing edge or exactly two and
// neighbours agree on the edge they share, so vertices, edges and faces that touch the plane need
// no cases of their own; the zero-length segments they give are dropped from the runs.
#pragma once

#include "gcad/host/base/vaq_plane.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_stage.h"

#include <vector>

namespace Vaq::CAD {

class BspNode;
class PolyBase;
struct PolyBaseData;

// One polyline of a section.
struct PlaneCutRun
{
    std::vector<BaVec3d<double>> points;
    // Per point the mesh's unit normal there: the vertex normals interpolated along the cut
    // edge (the face normals when the mesh has none), averaged over the triangles at the edge.
    std::vector<BaVec3d<float>> normals;
    // The last point joins the first.
    bool closed = false;
};

// The runs in which plane cuts the triangles listed by leaves (each triangle in one leaf, each
// leaf's box holding its triangles' corners). A closed surface gives closed runs; a run ends
// at the mesh's border. Consecutive points differ; runs with fewer than two points are left
// out. Empty when the plane misses the mesh, and when it only touches it from below (a part
// whose bottom face lies in the plane) while a top face in the plane gives its outline.
std::vector<PlaneCutRun> cutWithPlane(
    const PolyBaseData &data, const std::vector<BspNode *> &leaves, const Plane3d &plane);
// The same without a spatial tree: every triangle of data is looked at.
std::vector<PlaneCutRun> cutWithPlane(const PolyBaseData &data, const Plane3d &plane);
// The mesh element in stage, through its spatial tree; empty before the tree exists or in a
// stage where the element is not valid.
std::vector<PlaneCutRun> cutWithPlane(
    const PolyBase &poly, const StageIdentifier &stage, const Plane3d &plane);

} // namespace Vaq::CAD
