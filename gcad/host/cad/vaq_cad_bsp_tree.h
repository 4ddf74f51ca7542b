// BspTree: the spatial tree of a mesh. A kd split of the triangle centroids cuts the mesh
// into leaves that address at most 65536 local vertices, so a renderer can draw each leaf
// with 16-bit indices. Every vertex belongs to exactly one leaf; each leaf orders its
// triangles for the vertex cache size set with setVertexCacheSize. Edits to the mesh mark
// the leaves they touch, and applyChanges re-sorts them and tells their render data why.
#pragma once

#include "gcad/host/cad/vaq_cad_bsp_node.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Vaq::CAD {

class PolyBase;
struct PolyBaseData;

class BspTree
{
public:
    // The most local vertices a leaf may address: the range of a 16-bit index.
    static constexpr unsigned MAX_LEAF_VERTICES = 65536;

    // What an edit changed; a leaf collects these until applyChanges.
    enum Change : unsigned {
        CH_SELECTION = 0x1, // point or triangle selection
        CH_FLAGS = 0x2, // visibility or preview
        CH_VALUES = 0x4, // colours, deviations, tolerance indices
        CH_GEOMETRY = 0x8, // normals, offset surface
    };

    // Splits the mesh data of poly, which both must outlive the tree; a smaller limit than the
    // default serves tests that need many leaves. Throws ProgError "null mesh", or "leaf
    // vertex limit out of range" outside [3, 65536].
    BspTree(PolyBase *poly, const PolyBaseData &data, unsigned maxLeafVertices = MAX_LEAF_VERTICES);
    ~BspTree();

    BspTree(const BspTree &) = delete;
    BspTree &operator=(const BspTree &) = delete;

    // The FIFO cache size that new and re-sorted leaves order their triangles for; 0 keeps
    // the triangles in mesh order. Applies to trees built or re-sorted afterwards.
    static void setVertexCacheSize(unsigned size) { _vertex_cache_size = size; }
    static unsigned getVertexCacheSize() { return _vertex_cache_size; }
    // Hits per drawn corner of the visible triangles in leaf order, over all leaves, for the
    // cache size the leaves were ordered for (0 for sizes below 3 or without triangles). A
    // triangle transforms 3 x (1 - ratio) vertices on average.
    double getAverageCacheHitRatio() const;

    PolyBase *getPoly() const { return m_poly; }
    const std::vector<BspNode *> &getAllLeaves() const { return m_leaf_list; }
    // The leaf owning a vertex, and the vertex's position in that leaf's getVertices.
    BspNode *getBspNodeForVertex(uint32_t vertex) const { return m_leaf_list[m_vertex_leaf[vertex]]; }
    unsigned getVertexOffsetInNode(uint32_t vertex) const { return m_vertex_offset[vertex]; }

    // Marks the leaves an edit touches. A vertex's visibility and values also reach the
    // leaves that use it as the far corner of an overlap triangle.
    void markVertices(const std::vector<uint32_t> &vertices, Change change);
    void markTriangles(const std::vector<uint32_t> &triangles, Change change);
    void markAllLeaves(Change change);
    // Re-sorts the marked leaves whose flags changed and sets their render data's
    // modification reason: a selection change that leaves the whole leaf selected or
    // unselected gives MR_NODE_SELECTED or MR_NODE_UNSELECTED (unless a rebuild is pending
    // already), any other change a rebuild reason.
    void applyChanges();

private:
    void orderLeaf(BspNode &leaf);
    void markLeaf(uint32_t leaf, Change change) { m_leaves[leaf]->m_changes |= change; }

    static unsigned _vertex_cache_size;

    PolyBase *m_poly;
    const PolyBaseData &m_data;
    std::vector<std::unique_ptr<BspNode>> m_leaves;
    std::vector<BspNode *> m_leaf_list;
    std::vector<uint32_t> m_vertex_leaf;
    std::vector<uint32_t> m_vertex_offset;
    std::vector<uint32_t> m_triangle_leaf;
    // (vertex, leaf) for every overlap corner whose vertex another leaf owns, sorted.
    std::vector<std::pair<uint32_t, uint32_t>> m_far_corners;
};

} // namespace Vaq::CAD
