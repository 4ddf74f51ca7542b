// A flat grid mesh for tests: columns x rows vertices spread evenly over the unit square at
// height z, two triangles per cell, facing +z, normals computed and the spatial tree built
// with leaves of at most maxLeafVertices vertices; leavesOf gives a mesh's leaves.
#pragma once

#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_poly_base_render_data.h"

#include <memory>

namespace Vaq::Test {

inline const CAD::StageIdentifier STAGE = CAD::StageIdentifier::DEFAULT_DATASET;

inline std::unique_ptr<CAD::PolyBase> makeGridMesh(unsigned columns, unsigned rows,
    CAD::ElementCreator::Element_t type = CAD::ElementCreator::MESH, double z = 0.0,
    unsigned maxLeafVertices = CAD::BspTree::MAX_LEAF_VERTICES)
{
    std::vector<BaVec3d<double>> vertices;
    for (unsigned i = 0; i < rows; ++i)
        for (unsigned j = 0; j < columns; ++j)
            vertices.emplace_back(double(j) / (columns - 1), double(i) / (rows - 1), z);
    std::vector<CAD::Triangle> triangles;
    for (unsigned i = 0; i + 1 < rows; ++i) {
        for (unsigned j = 0; j + 1 < columns; ++j) {
            const uint32_t k = i * columns + j;
            triangles.push_back({ k, k + 1, k + 1 + columns });
            triangles.push_back({ k, k + 1 + columns, k + columns });
        }
    }
    auto mesh = std::make_unique<CAD::PolyBase>(type, QStringLiteral("grid"));
    mesh->setMesh(std::move(vertices), std::move(triangles));
    mesh->computeNormals();
    mesh->needsNoBoundary(true);
    mesh->setMaxLeafVertices(maxLeafVertices);
    mesh->updateVisualization(STAGE, false, false);
    return mesh;
}

// The leaves of a mesh's own tree.
inline const std::vector<CAD::BspNode *> &leavesOf(const CAD::PolyBase &mesh)
{
    return mesh.getPolyBaseRenderData(STAGE)->getAllLeaves();
}

} // namespace Vaq::Test
