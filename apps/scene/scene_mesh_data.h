// MeshData: the triangles a mesh file holds, as its reader gives them, and the step that makes
// them the MESH_SCAN element the scene shows.
#pragma once

#include "apps/scene/scene_point_cloud.h"

#include "gcad/host/cad/vaq_cad_poly_base.h"

#include <QString>

#include <memory>
#include <variant>
#include <vector>

namespace Gcad::Scene {

struct MeshData
{
    std::vector<Vaq::BaVec3d<double>> vertices;
    std::vector<Vaq::CAD::Triangle> triangles; // every corner a valid vertex index
    std::vector<Vaq::Color> colors; // empty, or one per vertex
};

// A mesh, or the points of a file without faces.
using ImportedData = std::variant<std::unique_ptr<Vaq::CAD::PolyBase>, PointCloud>;

// The MESH_SCAN element named fileName with mesh's vertices, triangles and colours and
// normals computed with creaseAngle (PolyBase::computeNormals); its render data is left to whoever shows it.
// Throws ImportError "no triangles" for a mesh without any.
std::unique_ptr<Vaq::CAD::PolyBase> buildMesh(MeshData mesh, const QString &fileName, double creaseAngle);

} // namespace Gcad::Scene
