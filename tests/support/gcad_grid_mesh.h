// A flat grid mesh for tests: columns x rows vertices spread evenly over the unit square at
// height z, two triangles per cell, facing +z, normals computed and the spatial tree built
// with leaves of at most maxLeafVertices vertices; appendGrid lays such a grid over another
// square into lists of one's own, leavesOf gives a mesh's leaves.
#pragma once

#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_poly_base_render_data.h"

#include <memory>

namespace Vaq::Test {

inline const CAD::StageIdentifier STAGE = CAD::StageIdentifier::DEFAULT_DATASET;

// Appends a grid of columns x rows vertices spread evenly over the square [low, high] at
// height z, two triangles per cell, facing +z.
inline void appendGrid(std::vector<BaVec3d<double>> &vertices, std::vector<CAD::Triangle> &triangles,
    unsigned columns, unsigned rows, double z, double low = 0.0, double high = 1.0)
{
    const uint32_t first = uint32_t(vertices.size());
    for (unsigned i = 0; i < rows; ++i)
        for (unsigned j = 0; j < columns; ++j)
            vertices.emplace_back(
                low + (high - low) * j / (columns - 1), low + (high - low) * i / (rows - 1), z);
    for (unsigned i = 0; i + 1 < rows; ++i) {
        for (unsigned j = 0; j + 1 < columns; ++j) {
            const uint32_t k = first + i * columns + j;
            triangles.push_back({ k, k + 1, k + 1 + columns });
            triangles.push_back({ k, k + 1 + columns, k + columns });
        }
    }
}

inline std::unique_ptr<CAD::PolyBase> makeGridMesh(unsigned columns, unsigned rows,
    CAD::ElementCreator::Element_t type = CAD::ElementCreator::MESH, double z = 0.0,
    unsigned maxLeafVertices = CAD::BspTree::MAX_LEAF_VERTICES)
{
    std::vector<BaVec3d<double>> vertices;
    std::vector<CAD::Triangle> triangles;
    appendGrid(vertices, triangles, columns, rows, z);
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
