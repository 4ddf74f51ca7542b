// GLNode: the GPU data of one leaf of a mesh's spatial tree. It packs the leaf's visible
// vertices (and the far corners of its overlap triangles) into one interleaved array per
// surface (nominal and material offset) and its triangles into 16-bit indices, arranged for
// smooth or flat shading with the selected triangles in ranges of their own. Preparation
// runs on a worker thread and touches no GL; buffer objects and drawing use the result.
#pragma once

#include "gcad/host/cad/vaq_cad_node_render_data.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_stage.h"
#include "gcad/mesh/gcad_growable_array.h"
#include "gcad/mesh/gcad_vertex_layout.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace Vaq::GL {
class RenderCallback;
}

namespace Vaq::GCAD {

class GLNode : public CAD::AbstractNodeRenderData
{
public:
    // What the draw entry switches per pass.
    struct DrawState
    {
        bool highlight = false; // two-sided material
        bool vertexColours = false;
        bool useOffset = false; // draw vertex set 1
        bool backOnly = false;
        bool frontOnly = false;
        bool offsetMaterial = false; // front and back colours exchanged
        bool colourMap = false;
    };
    // A colour-map texture coordinate: s along the scale, t = 0 for the colour row and
    // SPECIAL_ROW for the row of the colours without a value.
    struct TexCoord
    {
        float s = 0.0f;
        float t = 0.0f;
    };
    static constexpr float SPECIAL_ROW = 4096.0f;

    // Attaches to the leaf and reports to the node listener. Throws ProgError "node must not
    // be 0".
    GLNode(const CAD::StageIdentifier &stage, CAD::BspNode *node);
    // Reports to the node listener, detaches from the leaf and clears.
    ~GLNode() override;
    // The leaf goes away: the node listener queues the node for deletion.
    void nodeDropped() override;

    // The vertex type for the render flags: colour map before vertex colours, two normals
    // for flat triangles; render mode 1 (of the widget options) asks for float normals, 0
    // and 2 to 4 for 16-bit ones. Throws ProgError "vertex type not handled" for other modes.
    static unsigned determinVertexType(unsigned flags, int renderMode);
    unsigned getVertexType() const { return m_vertex_type; }
    // Bytes per vertex of the current type; 0 before preparation.
    unsigned getVertexSize() const { return getVertexLayout(m_vertex_type).size; }

    // Builds the arrays in client memory for the render flags (worker thread; reads the
    // element and the current legend, writes only this node). Throws ProgError "vertex type
    // not handled" or "wrong triangle count". Clears the modification reason.
    void prepare(unsigned flags, int renderMode);
    // Whether the data must be built again for stage and flags (the stage is kept). A whole-
    // leaf selection change is applied here instead: the selected and unselected ranges merge.
    bool needsRebuild(const CAD::StageIdentifier &stage, unsigned flags);
    bool hasTriangleData() const { return m_index_data || m_index_buffer != 0; }
    // Releases the buffer objects (node listener) and the client arrays, and resets every
    // count, the material-offset state, the flat-shading lists and the view visibility.
    void clear();

    const CAD::StageIdentifier &getStage() const { return m_stage; }

    // The material offset found at preparation.
    CAD::MaterialOffset_t getMaterialOffsetType() const { return m_material_offset_type; }
    double getElementMaterialOffset() const { return m_element_offset; }
    unsigned getPatchCount() const { return m_patch_count; }
    const std::vector<bool> &getPatchFlags() const { return m_patch_flags; }
    const std::vector<double> &getPatchOffsets() const { return m_patch_offsets; }

    unsigned getDrawFlags() const { return m_draw_flags; }
    void setDrawFlags(unsigned flags) { m_draw_flags = flags; }
    DrawState &getDrawState() { return m_draw_state; }
    const DrawState &getDrawState() const { return m_draw_state; }

    // Local vertices: the leaf's visible vertices in leaf order, then the far-corner slots.
    unsigned getOwnVertexCount() const { return m_own_vertex_count; }
    unsigned getForeignVertexCount() const { return m_foreign_vertex_count; }
    // Size of one vertex array: vertex size x (own + foreign).
    unsigned getVertexBytes() const { return m_vertex_bytes; }
    // Client vertex array of set 0 (nominal) or 1 (material offset); null when absent.
    uint8_t *getVertexData(int set) const { return m_vertex_data[set].get(); }
    // A new client array of getVertexBytes for set, replacing any old one.
    uint8_t *allocateVertexData(int set);
    void freeVertexData(int set) { m_vertex_data[set].reset(); }
    unsigned getVertexBuffer(int set) const { return m_vertex_buffer[set]; }
    void setVertexBuffer(int set, unsigned name) { m_vertex_buffer[set] = name; }

    unsigned getIndexBytes() const { return m_index_bytes; }
    uint16_t *getIndexData() const { return m_index_data.get(); }
    uint16_t *allocateIndexData();
    void freeIndexData() { m_index_data.reset(); }
    unsigned getIndexBuffer() const { return m_index_buffer; }
    void setIndexBuffer(unsigned name) { m_index_buffer = name; }

    // Flat shading: indices per normal slot, selected and unselected; the index array holds
    // slot 0 selected, slot 0 unselected, slot 1 selected, slot 1 unselected, then room for
    // the leftovers, which are drawn directly.
    unsigned getFlatSelectedCount(int slot) const { return m_flat_selected_count[slot]; }
    unsigned getFlatUnselectedCount(int slot) const { return m_flat_unselected_count[slot]; }
    // Element triangle ids of the flat triangles no corner could carry, and their colour-map
    // coordinates (three per triangle, colour-map types only).
    const GrowableArray<uint32_t> &getLeftovers(bool selected) const { return m_leftovers[selected ? 0 : 1]; }
    const GrowableArray<TexCoord> &getLeftoverTexCoords(bool selected) const
    {
        return m_leftover_tex_coords[selected ? 0 : 1];
    }

    // Whether the leaf lies in a view; a view without an entry counts as showing it.
    bool isVisibleInView(const GL::RenderCallback *view) const;
    void setVisibleInView(const GL::RenderCallback *view, bool visible) { m_view_visibility[view] = visible; }

    // The element's tolerance list read for the colour-map coordinates (not owned).
    const std::vector<CAD::Tolerance> *getTolerances() const { return m_tolerances; }

private:
    void readMaterialOffset(unsigned flags, const CAD::PolyBase &poly);
    bool materialOffsetChanged(const CAD::PolyBase &poly) const;
    void collectOverlapVertices(unsigned flags, const CAD::PolyBaseData &data);
    void copySmoothTriangles();
    void copyFlatTriangles(const CAD::PolyBaseData &data);
    void copyVertices(int set, const CAD::PolyBaseData &data);
    TexCoord colourMapCoordinate(const CAD::PolyBaseData &data, uint32_t vertex) const;
    void moveSelection(bool toSelected);

    CAD::StageIdentifier m_stage;
    CAD::MaterialOffset_t m_material_offset_type = CAD::MO_NONE;
    double m_element_offset = 0.0;
    unsigned m_patch_count = 0;
    std::vector<bool> m_patch_flags;
    std::vector<double> m_patch_offsets;
    unsigned m_draw_flags = 0;
    DrawState m_draw_state;
    unsigned m_vertex_type = VT_NONE;
    unsigned m_own_vertex_count = 0;
    unsigned m_foreign_vertex_count = 0;
    unsigned m_vertex_bytes = 0;
    std::unique_ptr<uint8_t[]> m_vertex_data[2];
    unsigned m_vertex_buffer[2] = { 0, 0 };
    unsigned m_index_bytes = 0;
    std::unique_ptr<uint16_t[]> m_index_data;
    unsigned m_index_buffer = 0;
    unsigned m_flat_unselected_count[2] = { 0, 0 };
    unsigned m_flat_selected_count[2] = { 0, 0 };
    GrowableArray<uint32_t> m_leftovers[2]; // [0] selected, [1] unselected
    GrowableArray<TexCoord> m_leftover_tex_coords[2];
    // Preparation only: the overlap triangles' local corners, the element vertices of the
    // far-corner slots, and per local vertex its provoking uses and their triangles.
    GrowableArray<uint16_t> m_overlap_indices;
    GrowableArray<uint32_t> m_foreign_vertices;
    GrowableArray<int8_t> m_provoking_count;
    GrowableArray<uint32_t> m_normal_slot_triangle[2];
    std::map<const GL::RenderCallback *, bool> m_view_visibility;
    const std::vector<CAD::Tolerance> *m_tolerances = nullptr;
};

} // namespace Vaq::GCAD
