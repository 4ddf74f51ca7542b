// Shared pieces of the GPU node tests: small meshes with their tree, and readers for the
// bytes a prepared node holds.
#pragma once

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_bsp_tree.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/mesh/gcad_gl_node.h"
#include "tests/support/gcad_grid_mesh.h"
#include "tests/support/prog_error_message.h"

#include <cstring>
#include <memory>
#include <string>

namespace Vaq::Test {

// Keeps the leaves in mesh order (cache size 0) while a test builds trees, so that the
// expected index order follows the triangle numbers.
class MeshOrderGuard
{
public:
    MeshOrderGuard() { CAD::BspTree::setVertexCacheSize(0); }
    ~MeshOrderGuard() { CAD::BspTree::setVertexCacheSize(m_old); }

private:
    unsigned m_old = CAD::BspTree::getVertexCacheSize();
};

// A mesh with its own tree, in mesh order.
struct MeshWithTree
{
    MeshWithTree(std::vector<BaVec3d<double>> vertices, std::vector<CAD::Triangle> triangles,
        unsigned leafLimit = CAD::BspTree::MAX_LEAF_VERTICES)
    {
        mesh.setMesh(std::move(vertices), std::move(triangles));
        mesh.computeNormals();
        MeshOrderGuard order;
        tree = std::make_unique<CAD::BspTree>(&mesh, *mesh.getData(STAGE), leafLimit);
    }
    CAD::BspNode *leaf(std::size_t i = 0) const { return tree->getAllLeaves().at(i); }

    CAD::PolyBase mesh;
    std::unique_ptr<CAD::BspTree> tree;
};

// A grid of n x n vertices split into leaves of at most leafLimit vertices.
inline std::unique_ptr<CAD::PolyBase> grid(unsigned n, unsigned leafLimit)
{
    return makeGridMesh(n, n, CAD::ElementCreator::MESH, 0.0, leafLimit);
}

template<typename T> T readAt(const uint8_t *bytes, std::size_t offset)
{
    T value;
    std::memcpy(&value, bytes + offset, sizeof value);
    return value;
}

inline BaVec3d<float> position(const GCAD::GLNode &node, unsigned k, int set = 0)
{
    const GCAD::VertexLayout layout = GCAD::getVertexLayout(node.getVertexType());
    const uint8_t *p = node.getVertexData(set) + k * layout.size + layout.positionOffset;
    return { readAt<float>(p, 0), readAt<float>(p, 4), readAt<float>(p, 8) };
}

inline std::vector<uint16_t> indices(const GCAD::GLNode &node, unsigned first, unsigned count)
{
    return { node.getIndexData() + first, node.getIndexData() + first + count };
}

} // namespace Vaq::Test
