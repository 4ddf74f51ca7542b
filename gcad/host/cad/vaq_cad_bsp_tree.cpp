#include "gcad/host/cad/vaq_cad_bsp_tree.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_kd_split.h"
#include "gcad/host/cad/vaq_cad_node_render_data.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_vertex_cache_order.h"

#include <algorithm>

namespace Vaq::CAD {

// GPUs of the last decade keep about this many transformed vertices.
unsigned BspTree::_vertex_cache_size = 32;

namespace {

BspNode::Group groupOf(const PointFlags &flags)
{
    if (!flags.isVisible())
        return BspNode::G_HIDDEN;
    if (flags.isPreview())
        return BspNode::G_PREVIEW;
    return flags.isSelected() ? BspNode::G_SELECTED : BspNode::G_UNSELECTED;
}

// A triangle is as visible as its least visible part; selection is the triangle's own.
BspNode::Group groupOf(const PolyBaseData &data, uint32_t triangle)
{
    int group = groupOf(data.triangleFlags[triangle]);
    for (uint32_t v : data.triangles[triangle])
        group = std::max(group, int(groupOf(data.pointFlags[v])));
    if (group == BspNode::G_UNSELECTED && data.triangleFlags[triangle].isSelected())
        group = BspNode::G_SELECTED;
    return BspNode::Group(group);
}

} // namespace

BspTree::BspTree(PolyBase *poly, const PolyBaseData &data, unsigned maxLeafVertices)
    : m_poly(poly)
    , m_data(data)
{
    if (!poly)
        VAQ_PROG_ERROR("Vaq::CAD::BspTree::BspTree", "null mesh");
    if (maxLeafVertices < 3 || maxLeafVertices > MAX_LEAF_VERTICES)
        VAQ_PROG_ERROR("Vaq::CAD::BspTree::BspTree", "leaf vertex limit out of range");

    KdSplit split = splitMesh(data.vertices, data.triangles, maxLeafVertices);
    m_vertex_leaf = std::move(split.vertexLeaf);
    m_triangle_leaf = std::move(split.triangleLeaf);
    m_vertex_offset.assign(data.vertices.size(), 0);
    std::vector<bool> listed(data.vertices.size(), false);
    for (uint32_t index = 0; index < split.leafTriangles.size(); ++index) {
        auto leaf = std::make_unique<BspNode>(this);
        leaf->m_vertices = std::move(split.leafLoneVertices[index]);
        for (uint32_t v : leaf->m_vertices)
            leaf->m_box.extend(data.vertices[v]);
        for (uint32_t t : split.leafTriangles[index]) {
            for (uint32_t v : data.triangles[t]) {
                leaf->m_box.extend(data.vertices[v]);
                if (m_vertex_leaf[v] != index)
                    m_far_corners.emplace_back(v, index);
                else if (!listed[v]) {
                    listed[v] = true;
                    leaf->m_vertices.push_back(v);
                }
            }
        }
        leaf->m_triangles = std::move(split.leafTriangles[index]);
        m_leaf_list.push_back(leaf.get());
        m_leaves.push_back(std::move(leaf));
    }
    std::sort(m_far_corners.begin(), m_far_corners.end());
    m_far_corners.erase(std::unique(m_far_corners.begin(), m_far_corners.end()), m_far_corners.end());
    for (BspNode *leaf : m_leaf_list)
        orderLeaf(*leaf);
}

BspTree::~BspTree() = default;

double BspTree::getAverageCacheHitRatio() const
{
    std::size_t corners = 0, transformed = 0;
    for (const BspNode *leaf : m_leaf_list) {
        corners += leaf->m_drawn_corners;
        transformed += leaf->m_transformed_vertices;
    }
    return corners == 0 ? 0.0 : 1.0 - double(transformed) / double(corners);
}

void BspTree::orderLeaf(BspNode &leaf)
{
    // Vertices by group, then by index.
    std::vector<uint64_t> keys;
    keys.reserve(leaf.m_vertices.size());
    for (uint32_t v : leaf.m_vertices)
        keys.push_back(uint64_t(groupOf(m_data.pointFlags[v])) << 32 | v);
    std::sort(keys.begin(), keys.end());
    std::fill(std::begin(leaf.m_point_counts), std::end(leaf.m_point_counts), 0u);
    for (uint32_t i = 0; i < keys.size(); ++i) {
        const uint32_t v = uint32_t(keys[i]);
        leaf.m_vertices[i] = v;
        m_vertex_offset[v] = i;
        ++leaf.m_point_counts[keys[i] >> 32];
    }

    // Triangles into own and overlap blocks of four groups each, in mesh order first.
    std::sort(leaf.m_triangles.begin(), leaf.m_triangles.end());
    std::vector<uint32_t> ids[2][BspNode::NUMBER_OF_GROUPS];
    for (uint32_t t : leaf.m_triangles) {
        const bool own = std::all_of(m_data.triangles[t].begin(), m_data.triangles[t].end(),
            [&](uint32_t v) { return m_leaf_list[m_vertex_leaf[v]] == &leaf; });
        ids[own ? 0 : 1][groupOf(m_data, t)].push_back(t);
    }

    // Local corners as a renderer numbers them: own vertices by offset, every far corner a
    // slot of its own after them.
    const std::size_t ownCount = leaf.m_vertices.size();
    std::size_t farCount = 0;
    for (const auto &block : ids[1]) {
        for (uint32_t t : block) {
            for (uint32_t v : m_data.triangles[t])
                farCount += m_leaf_list[m_vertex_leaf[v]] != &leaf;
        }
    }
    const std::size_t localCount = ownCount + farCount;
    uint32_t nextSlot = uint32_t(ownCount);
    const unsigned cacheSize = _vertex_cache_size;
    std::vector<uint32_t> drawn;
    leaf.m_triangles.clear();
    leaf.m_local_corners.clear();
    for (int block = 0; block < 2; ++block) {
        if (block == 1)
            leaf.m_overlap_start = unsigned(leaf.m_triangles.size());
        unsigned *counts = block == 0 ? leaf.m_own_counts : leaf.m_overlap_counts;
        for (int group = 0; group < BspNode::NUMBER_OF_GROUPS; ++group) {
            std::vector<uint32_t> &list = ids[block][group];
            std::vector<uint32_t> corners;
            corners.reserve(list.size() * 3);
            for (uint32_t t : list) {
                for (uint32_t v : m_data.triangles[t])
                    corners.push_back(
                        m_leaf_list[m_vertex_leaf[v]] == &leaf ? m_vertex_offset[v] : nextSlot++);
            }
            orderForVertexCache(list, corners, localCount, cacheSize);
            counts[group] = unsigned(list.size());
            leaf.m_triangles.insert(leaf.m_triangles.end(), list.begin(), list.end());
            if (block == 0)
                leaf.m_local_corners.insert(leaf.m_local_corners.end(), corners.begin(), corners.end());
            if (group == BspNode::G_SELECTED || group == BspNode::G_UNSELECTED)
                drawn.insert(drawn.end(), corners.begin(), corners.end());
        }
    }
    leaf.m_drawn_corners = drawn.size();
    leaf.m_transformed_vertices = countTransformedVertices(drawn, localCount, cacheSize);
}

void BspTree::markVertices(const std::vector<uint32_t> &vertices, Change change)
{
    for (uint32_t v : vertices) {
        markLeaf(m_vertex_leaf[v], change);
        // A far corner copies the vertex's data and shares its visibility, not its selection.
        if (change == CH_SELECTION)
            continue;
        auto range = std::equal_range(m_far_corners.begin(), m_far_corners.end(), std::make_pair(v, 0u),
            [](const auto &a, const auto &b) { return a.first < b.first; });
        for (auto it = range.first; it != range.second; ++it)
            markLeaf(it->second, change);
    }
}

void BspTree::markTriangles(const std::vector<uint32_t> &triangles, Change change)
{
    for (uint32_t t : triangles)
        markLeaf(m_triangle_leaf[t], change);
}

void BspTree::markAllLeaves(Change change)
{
    for (uint32_t leaf = 0; leaf < m_leaves.size(); ++leaf)
        markLeaf(leaf, change);
}

void BspTree::applyChanges()
{
    using Data = AbstractNodeRenderData;
    for (BspNode *leaf : m_leaf_list) {
        const unsigned changes = leaf->m_changes;
        if (changes == 0)
            continue;
        leaf->m_changes = 0;
        if (changes & (CH_SELECTION | CH_FLAGS))
            orderLeaf(*leaf);

        unsigned reason = Data::MR_VALUES;
        if (changes == CH_SELECTION) {
            const PreviewMode_t mode = PM_WITHOUT_PREVIEW;
            const unsigned selected = leaf->numSelectedPoints(mode) + leaf->numSelectedTriangles(mode)
                + leaf->numSelectedOverlapTriangles(mode);
            const unsigned visible = leaf->numVisiblePoints(mode) + leaf->numVisibleTriangles(mode)
                + leaf->numVisibleOverlapTriangles(mode);
            reason = selected == visible ? Data::MR_NODE_SELECTED
                : selected == 0          ? Data::MR_NODE_UNSELECTED
                                         : Data::MR_FLAGS;
        } else if (changes & (CH_SELECTION | CH_FLAGS)) {
            reason = Data::MR_FLAGS;
        } else if (changes & CH_GEOMETRY) {
            reason = Data::MR_GEOMETRY;
        }
        // Whole-node selection states replace each other; a rebuild reason stays.
        Data *data = leaf->getNodeRenderData();
        if (data && data->getModificationReason() < Data::MR_FLAGS)
            data->setModificationReason(reason);
    }
}

} // namespace Vaq::CAD
