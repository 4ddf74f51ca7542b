#include "gcad/mesh/gcad_gl_node.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_bsp_tree.h"
#include "gcad/mesh/gcad_gl_node_container.h"
#include "gcad/mesh/gcad_mesh_render_types.h"
#include "gcad/mesh/gcad_provoking_vertices.h"
#include "gcad/mesh/gcad_vertex_bands.h"

#include <algorithm>
#include <numeric>

namespace Vaq::GCAD {

using CAD::PM_WITHOUT_PREVIEW;

namespace {

CAD::BspNode *checkedNode(CAD::BspNode *node)
{
    if (!node)
        VAQ_PROG_ERROR("Vaq::GCAD::GLNode::GLNode", "node must not be 0");
    return node;
}

bool asksForFlatTriangles(unsigned flags)
{
    return (flags & RT_TRIANGLES) && !(flags & RT_SMOOTH);
}

} // namespace

GLNode::GLNode(const CAD::StageIdentifier &stage, CAD::BspNode *node)
    : AbstractNodeRenderData(checkedNode(node))
    , m_stage(stage)
{
    node->setNodeRenderData(this);
    if (GLNodeContainer *container = GLNodeContainer::getInstance())
        container->addNode(this);
}

GLNode::~GLNode()
{
    if (GLNodeContainer *container = GLNodeContainer::getInstance())
        container->removeNode(this);
    else if (isOnGPU())
        releaseBuffers();
}

void GLNode::nodeDropped()
{
    // Without a container the node's creator keeps it and deletes it.
    if (GLNodeContainer *container = GLNodeContainer::getInstance())
        container->unlinkNode(this);
}

unsigned GLNode::determinVertexType(unsigned flags, int renderMode)
{
    if (renderMode < 0 || renderMode > 4)
        VAQ_PROG_ERROR("Vaq::GCAD::GLNode::determinVertexType", "vertex type not handled");
    // Render mode 1 is for drivers that mishandle 16-bit normals.
    const unsigned floatNormals = renderMode == 1 ? 1 : 0;
    const bool flat = asksForFlatTriangles(flags);
    if (flags & RT_COLOR_MAP)
        return (flat ? 10 : 8) + floatNormals;
    if (flags & RT_VERTEX_COLORS)
        return (flat ? 6 : 2) + floatNormals;
    return (flat ? 4 : 0) + floatNormals;
}

uint8_t *GLNode::allocateVertexData(int set)
{
    m_vertex_data[set] = std::make_unique_for_overwrite<uint8_t[]>(m_vertex_bytes);
    return m_vertex_data[set].get();
}

uint16_t *GLNode::allocateIndexData()
{
    m_index_data = std::make_unique_for_overwrite<uint16_t[]>(m_index_bytes / 2);
    return m_index_data.get();
}

void GLNode::prepare(unsigned flags, int renderMode)
{
    if (isOnGPU())
        VAQ_PROG_ERROR("Vaq::GCAD::GLNode::prepare", "node data is on the GPU");
    m_vertex_type = determinVertexType(flags, renderMode);
    // A dropped node or a stage without data has nothing to prepare.
    const CAD::PolyBaseData *data = isLinked() ? getPoly()->getData(m_stage) : nullptr;
    if (!data)
        return;
    // Edges are drawn from smooth index data.
    if (!(flags & RT_TRIANGLES) && (flags & RT_EDGES))
        flags |= RT_TRIANGLES | RT_SMOOTH;
    readMaterialOffset(flags, *getPoly());
    m_tolerances = getPoly()->getDistancePointTolerances();
    collectOverlapVertices(flags, *data);
    if (flags & RT_TRIANGLES) {
        allocateIndexData();
        const std::vector<BaVec3d<double>> positions = localPositions(*data);
        // Compact runs pay where passes cull a side and skip the runs facing it: two-sided
        // colours and closed meshes. Drawn whole, the lists in leaf order draw as fast.
        const bool culled = ((flags & RT_BACK_SIDE) && (flags & (RT_VERTEX_COLORS | RT_COLOR_MAP)))
            || getPoly()->getType() == CAD::ElementCreator::MESH_CLOSED;
        if (flags & RT_SMOOTH)
            copySmoothTriangles();
        else
            copyFlatTriangles(*data, positions, culled);
        computeFacingCones(positions);
    }
    // An element offset of 0.0 is drawn as the back side of the nominal surface.
    const bool offsetSurface = m_material_offset_type == CAD::MO_PER_PATCH
        || (m_material_offset_type == CAD::MO_ELEMENT && m_element_offset != 0.0);
    copyVertices(*data, offsetSurface && getPoly()->isOffsetMeshValid());
    setModificationReason(MR_NONE);
    releasePreparationLists();
}

std::vector<BaVec3d<double>> GLNode::localPositions(const CAD::PolyBaseData &data) const
{
    const uint32_t *own = getNode()->getVertices().data();
    std::vector<BaVec3d<double>> positions;
    positions.reserve(m_own_vertex_count + m_foreign_vertex_count);
    for (unsigned k = 0; k < m_own_vertex_count; ++k)
        positions.push_back(data.vertices[own[k]]);
    for (const uint32_t v : m_foreign_vertices)
        positions.push_back(data.vertices[v]);
    return positions;
}

void GLNode::computeFacingCones(const std::vector<BaVec3d<double>> &positions)
{
    // The flat list keeps room for its leftovers at the end, which hold no triangles.
    unsigned indices = m_index_bytes / 2;
    if (isFlat(m_vertex_type))
        indices = m_flat_selected_count[0] + m_flat_unselected_count[0] + m_flat_selected_count[1]
            + m_flat_unselected_count[1];
    m_facing_cones = windingNormalCones(positions, m_index_data.get(), indices / 3, FACING_RUN);
}

void GLNode::releasePreparationLists()
{
    m_overlap_indices.release();
    m_foreign_vertices.release();
    m_provoking_count.release();
    m_normal_slot_triangle[0].release();
    m_normal_slot_triangle[1].release();
}

void GLNode::resetMaterialOffset()
{
    m_material_offset_type = CAD::MO_NONE;
    m_element_offset = 0.0;
    m_patch_count = 0;
    m_patch_flags.clear();
    m_patch_offsets.clear();
}

void GLNode::readMaterialOffset(unsigned flags, const CAD::PolyBase &poly)
{
    resetMaterialOffset();
    if (!(flags & RT_MATERIAL_OFFSET))
        return;
    m_material_offset_type = poly.existsMaterialOffset();
    if (m_material_offset_type == CAD::MO_PER_PATCH) {
        const CAD::PatchInfo &patches = *poly.getPatchInfoObject();
        m_patch_count = patches.getNumberOfPatches();
        for (unsigned p = 0; p < m_patch_count; ++p) {
            m_patch_flags.push_back(patches.getPatchFlag(p));
            m_patch_offsets.push_back(patches.getPatchOffset(p));
        }
    } else if (m_material_offset_type == CAD::MO_ELEMENT) {
        m_element_offset = poly.getElementMaterialOffset();
    }
}

void GLNode::collectOverlapVertices(unsigned flags, const CAD::PolyBaseData &data)
{
    const CAD::BspNode &leaf = *getNode();
    const CAD::BspTree &tree = *leaf.getTree();
    m_own_vertex_count = leaf.numVisiblePoints(PM_WITHOUT_PREVIEW);
    const unsigned own = leaf.numVisibleTriangles(PM_WITHOUT_PREVIEW);
    const unsigned overlap = leaf.numVisibleOverlapTriangles(PM_WITHOUT_PREVIEW);
    m_overlap_indices.release();
    m_foreign_vertices.release();
    m_index_bytes = 0;
    if (flags & RT_TRIANGLES) {
        m_overlap_indices.reserve(3 * overlap);
        m_foreign_vertices.reserve(3 * overlap);
        const uint32_t *ids = leaf.getTriangles().data() + leaf.overlapStart();
        for (unsigned i = 0; i < overlap; ++i) {
            for (uint32_t v : data.triangles[ids[i]]) {
                // A far corner gets a slot of its own each time, even for a repeated vertex.
                if (tree.getBspNodeForVertex(v) == &leaf) {
                    m_overlap_indices.push_back(uint16_t(tree.getVertexOffsetInNode(v)));
                } else {
                    m_overlap_indices.push_back(uint16_t(m_own_vertex_count + m_foreign_vertices.size()));
                    m_foreign_vertices.push_back(v);
                }
            }
        }
        m_index_bytes = (own + overlap) * 3 * sizeof(uint16_t);
    }
    m_foreign_vertex_count = unsigned(m_foreign_vertices.size());
    m_vertex_bytes = getVertexSize() * (m_own_vertex_count + m_foreign_vertex_count);
}

void GLNode::copySmoothTriangles()
{
    const CAD::BspNode &leaf = *getNode();
    const unsigned own = leaf.numVisibleTriangles(PM_WITHOUT_PREVIEW);
    if (6 * own + 2 * m_overlap_indices.size() != m_index_bytes)
        VAQ_PROG_ERROR("Vaq::GCAD::GLNode::copySmoothTriangles", "wrong triangle count");
    // The leaf keeps its own triangles' local corners in its list order.
    const uint16_t *corners = leaf.getLocalCorners().data();
    uint16_t *out = std::copy(corners, corners + 3 * own, m_index_data.get());
    std::copy(m_overlap_indices.begin(), m_overlap_indices.end(), out);
}

void GLNode::copyFlatTriangles(
    const CAD::PolyBaseData &data, const std::vector<BaVec3d<double>> &positions, bool inBands)
{
    const CAD::BspNode &leaf = *getNode();
    const unsigned own = leaf.numVisibleTriangles(PM_WITHOUT_PREVIEW);
    const unsigned overlap = unsigned(m_overlap_indices.size() / 3);
    // Leftovers keep their room in the array, so the index bytes stay those of all triangles.
    if (6 * (own + overlap) != m_index_bytes)
        VAQ_PROG_ERROR("Vaq::GCAD::GLNode::copyFlatTriangles", "wrong triangle count");
    // The own triangles, then the overlap ones; each block lists its selected ones first.
    const uint16_t *ownCorners = leaf.getLocalCorners().data();
    std::vector<uint16_t> corners(ownCorners, ownCorners + 3 * own);
    corners.insert(corners.end(), m_overlap_indices.begin(), m_overlap_indices.end());
    std::vector<uint8_t> selected(own + overlap, 0);
    std::fill_n(selected.begin(), leaf.numSelectedTriangles(PM_WITHOUT_PREVIEW), 1);
    std::fill_n(selected.begin() + own, leaf.numSelectedOverlapTriangles(PM_WITHOUT_PREVIEW), 1);

    const unsigned localCount = m_own_vertex_count + m_foreign_vertex_count;
    m_provoking_count.resize(localCount);
    m_normal_slot_triangle[0].resize(localCount);
    m_normal_slot_triangle[1].resize(localCount);
    uint32_t *const slotTriangle[2] = { m_normal_slot_triangle[0].data(), m_normal_slot_triangle[1].data() };
    // In bands, each run of the lists is a patch about as wide as it is long.
    std::vector<uint32_t> vertexOrder(localCount);
    if (inBands)
        vertexOrder = bandOrder(positions, corners.data(), own + overlap, FLAT_BAND_WIDTH);
    else
        std::iota(vertexOrder.begin(), vertexOrder.end(), 0u);
    const FlatTriangleOrder order = orderFlatTriangles(m_index_data.get(), m_provoking_count.data(),
        slotTriangle, corners.data(), selected.data(), own + overlap, localCount, vertexOrder.data());
    for (int slot = 0; slot < 2; ++slot) {
        m_flat_selected_count[slot] = order.indexCount[slot][0];
        m_flat_unselected_count[slot] = order.indexCount[slot][1];
    }

    // Triangles by their place in the list above, to element triangles.
    const uint32_t *ids = leaf.getTriangles().data();
    auto elementTriangle = [&](uint32_t i) { return i < own ? ids[i] : ids[leaf.overlapStart() + i - own]; };
    for (unsigned k = 0; k < localCount; ++k) {
        for (int slot = 0; slot < m_provoking_count[k]; ++slot)
            slotTriangle[slot][k] = elementTriangle(slotTriangle[slot][k]);
    }
    for (int group = 0; group < 2; ++group) {
        m_leftovers[group].release();
        m_leftover_tex_coords[group].release();
        for (uint32_t i : order.leftovers[group]) {
            const uint32_t triangle = elementTriangle(i);
            m_leftovers[group].push_back(triangle);
            // Colour-map types draw the leftovers with their corners' coordinates.
            if (hasColorMap(m_vertex_type)) {
                for (uint32_t v : data.triangles[triangle])
                    m_leftover_tex_coords[group].push_back(colourMapCoordinate(data, v));
            }
        }
    }
}

bool GLNode::updateOrNeedsRebuild(const CAD::StageIdentifier &stage, unsigned flags)
{
    m_stage = stage;
    if (m_vertex_type == VT_NONE || !isLinked())
        return true;
    // The colour map wins over vertex colours, so only flags without it ask for colours.
    const bool wantsColors = (flags & RT_VERTEX_COLORS) && !(flags & RT_COLOR_MAP);
    if (hasColors(m_vertex_type) != wantsColors)
        return true;
    if (hasColorMap(m_vertex_type) != bool(flags & RT_COLOR_MAP))
        return true;
    if (flags & RT_TRIANGLES) {
        if (isFlat(m_vertex_type) != asksForFlatTriangles(flags))
            return true;
    }
    if (!hasTriangleData() && (flags & (RT_TRIANGLES | RT_BACK_SIDE | RT_MATERIAL_OFFSET | RT_EDGES)))
        return true;
    if ((flags & RT_MATERIAL_OFFSET) && materialOffsetChanged(*getPoly()))
        return true;

    switch (getModificationReason()) {
    case MR_NONE:
        return false;
    case MR_NODE_SELECTED:
    case MR_NODE_UNSELECTED:
        moveSelection(getModificationReason() == MR_NODE_SELECTED);
        setModificationReason(MR_NONE);
        return false;
    default:
        return true;
    }
}

bool GLNode::materialOffsetChanged(const CAD::PolyBase &poly) const
{
    const CAD::MaterialOffset_t type = poly.existsMaterialOffset();
    if (type != m_material_offset_type)
        return true;
    const bool offsetSurface = m_vertex_data[1] || m_vertex_buffer[1] != 0;
    if (type == CAD::MO_PER_PATCH) {
        const CAD::PatchInfo &patches = *poly.getPatchInfoObject();
        if (patches.getNumberOfPatches() != m_patch_count || !offsetSurface)
            return true;
        for (unsigned p = 0; p < m_patch_count; ++p) {
            if (patches.getPatchFlag(p) != m_patch_flags[p]
                || patches.getPatchOffset(p) != m_patch_offsets[p])
                return true;
        }
    } else if (type == CAD::MO_ELEMENT) {
        const double offset = poly.getElementMaterialOffset();
        // An offset of 0.0 has no surface of its own.
        if (offset != m_element_offset || (offset != 0.0 && !offsetSurface))
            return true;
    }
    return false;
}

void GLNode::moveSelection(bool toSelected)
{
    // Only flat data splits its ranges by selection; smooth drawing reads the leaf's counts.
    if (!isFlat(m_vertex_type))
        return;
    const int to = toSelected ? 0 : 1;
    const int from = 1 - to;
    for (int slot = 0; slot < 2; ++slot) {
        // The halves of a slot are adjacent, so the merged range starts where both did.
        const unsigned total = m_flat_selected_count[slot] + m_flat_unselected_count[slot];
        m_flat_selected_count[slot] = toSelected ? total : 0;
        m_flat_unselected_count[slot] = toSelected ? 0 : total;
    }
    m_leftovers[to].append(m_leftovers[from]);
    m_leftovers[from].release();
    m_leftover_tex_coords[to].append(m_leftover_tex_coords[from]);
    m_leftover_tex_coords[from].release();
}

void GLNode::clear()
{
    if (GLNodeContainer *container = GLNodeContainer::getInstance())
        container->saveFromGPU(this, true);
    else if (isOnGPU())
        releaseBuffers();
    m_vertex_data[0].reset();
    m_vertex_data[1].reset();
    m_index_data.reset();
    resetMaterialOffset();
    m_facing_cones.clear();
    m_vertex_type = VT_NONE;
    m_own_vertex_count = 0;
    m_foreign_vertex_count = 0;
    m_vertex_bytes = 0;
    m_index_bytes = 0;
    for (int i = 0; i < 2; ++i) {
        m_flat_selected_count[i] = 0;
        m_flat_unselected_count[i] = 0;
        m_leftovers[i].release();
        m_leftover_tex_coords[i].release();
    }
    releasePreparationLists();
    m_view_visibility.clear();
}

bool GLNode::isVisibleInView(const GL::RenderCallback *view) const
{
    const auto it = m_view_visibility.find(view);
    return it == m_view_visibility.end() || it->second;
}

} // namespace Vaq::GCAD
