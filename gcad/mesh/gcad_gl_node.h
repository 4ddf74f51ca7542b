// GLNode: the GPU data of one leaf of a mesh's spatial tree. It packs the leaf's visible
// vertices (and the far corners of its overlap triangles) into one interleaved array per
// surface (nominal and material offset) and its triangles into 16-bit indices, arranged for
// smooth or flat shading with the selected triangles in ranges of their own. Preparation
// runs on a worker thread and touches no GL; uploading to buffer objects (through the node
// container, which owns every node) and drawing run on the GUI thread.
#pragma once

#include "gcad/host/cad/vaq_cad_node_render_data.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_stage.h"
#include "gcad/mesh/gcad_facing_cone.h"
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

class CADGLRenderer;

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

    // Attaches to the leaf and registers with the node container, which then owns the node.
    // Throws ProgError "node must not be 0".
    GLNode(const CAD::StageIdentifier &stage, CAD::BspNode *node);
    // Releases the buffers, detaches from the leaf and leaves the node container.
    ~GLNode() override;
    // The leaf goes away: the node container queues the node for deletion.
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
    // not handled" or "wrong triangle count", and "node data is on the GPU" unless the node
    // was cleared since it was uploaded (the buffers' sizes must not change). Clears the
    // modification reason.
    void prepare(unsigned flags, int renderMode);
    // Brings the node up to date where that needs no rebuild, and says whether the data must
    // be built again for stage and flags. It keeps the stage, and applies a whole-leaf
    // selection change (the selected and unselected ranges merge) and forgets it.
    bool updateOrNeedsRebuild(const CAD::StageIdentifier &stage, unsigned flags);
    bool hasTriangleData() const { return m_index_data || m_index_buffer != 0; }
    // Releases the buffer objects (through the node container) and the client arrays, and
    // resets every count, the material-offset state, the flat-shading lists and the view
    // visibility. GUI thread; throws what GLNodeContainer::saveFromGPU throws.
    void clear();

    // Buffer objects (GUI thread, context current). Each array moves on its own, so a node
    // can be partly on the GPU; drawing takes every array from where it is.
    bool isOnGPU() const { return m_vertex_buffer[0] != 0 || m_vertex_buffer[1] != 0 || m_index_buffer != 0; }
    // What the node takes on the GPU: the index array and both vertex sets, present or not.
    std::uint64_t getGPUSize() const { return m_index_bytes + 2 * std::uint64_t(m_vertex_bytes); }
    // Moves each client array into a buffer object of its own and frees the client copy; an
    // array whose buffer cannot be made stays where it is ("VBO creation failed" is traced).
    // Call it through GLNodeContainer::ensureOnGPU, which accounts the memory.
    void restoreVBO();
    // Copies the buffers back into client memory and releases them; false when refused
    // (render mode 1, whose drivers cannot read buffers back) or a buffer cannot be read.
    bool downloadFromGPU();
    // Releases every buffer; its data is lost.
    void releaseBuffers();

    // Draws the node for renderer with the render flags: points, surface (front, back,
    // material offset) and edges as they ask. reducedDrawing: the render callback imposed
    // the render types (a moving view). GUI thread; the node must be prepared for flags.
    // Throws ProgError "invalid vertex array" or "triangle data not valid" for missing data.
    void draw(CADGLRenderer *renderer, unsigned flags, bool reducedDrawing);

    const CAD::StageIdentifier &getStage() const { return m_stage; }
    // The render flags of the last draw.
    unsigned getDrawFlags() const { return m_draw_flags; }

    // Local vertices: the leaf's visible vertices in leaf order, then the far-corner slots.
    unsigned getOwnVertexCount() const { return m_own_vertex_count; }
    unsigned getForeignVertexCount() const { return m_foreign_vertex_count; }
    // Size of one vertex array: vertex size x (own + foreign).
    unsigned getVertexBytes() const { return m_vertex_bytes; }
    // Client vertex array of set 0 (nominal) or 1 (material offset); null when absent or
    // on the GPU.
    uint8_t *getVertexData(int set) const { return m_vertex_data[set].get(); }
    // Buffer object name of set; 0 when in client memory.
    unsigned getVertexBuffer(int set) const { return m_vertex_buffer[set]; }

    unsigned getIndexBytes() const { return m_index_bytes; }
    uint16_t *getIndexData() const { return m_index_data.get(); }

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
    uint8_t *allocateVertexData(int set);
    uint16_t *allocateIndexData();

    // Drawing passes.
    void drawPoints(CADGLRenderer *renderer, bool reducedDrawing);
    void drawSurface(CADGLRenderer *renderer);
    // For a surface pass that culls the culledFace side (GL_FRONT or GL_BACK) of the nominal
    // surface: marks the runs of triangles it would draw nothing of in the current view, which
    // drawIndices then skips; false when it would draw nothing at all.
    bool hideCulledRuns(unsigned culledFace);
    // The positions of the local vertices: the own ones, then the far-corner slots.
    std::vector<BaVec3d<double>> localPositions(const CAD::PolyBaseData &data) const;
    // The cones of the prepared triangle list's runs, from the local vertices' positions.
    void computeFacingCones(const std::vector<BaVec3d<double>> &positions);
    void drawSmoothMesh(CADGLRenderer *renderer);
    void drawFlatMesh(CADGLRenderer *renderer);
    // The flat leftovers of a group in their material and, with the colour map, its texture.
    void drawFlatLeftovers(CADGLRenderer *renderer, bool selected);
    // The flat leftovers of a group in immediate mode, in the GL state set up for them.
    void drawLeftovers(bool selected) const;
    void drawEdges();
    // The selected triangles or points: draw() runs in the selection material and tint, with
    // the arrays bound for normalSlot and strideFactor.
    template<typename Draw>
    void drawSelectedPass(CADGLRenderer *renderer, unsigned normalSlot, unsigned strideFactor, Draw draw);
    // Sets the array pointers of the drawn vertex set: normals of normalSlot when normals,
    // every strideFactor-th vertex; selectedPass picks the dimmed colour-map texture where
    // selection textures cannot be shown.
    void bindVertices(bool normals, unsigned normalSlot, unsigned strideFactor, bool selectedPass);
    // One glDrawElements of count indices from first, from the index buffer or client array
    // that bindVertices made current.
    void drawIndices(unsigned first, unsigned count) const;
    // The element's colour-map texture on unit 0, dimmed for a selected pass where the
    // selection textures cannot be shown; false when it cannot be enabled.
    bool enableColourMap(bool selectedPass) const;
    void unbind();
    // The material of the selected or unselected triangles, as GL colour too.
    void setMaterial(CADGLRenderer *renderer, bool selected);
    // The grey tint of selected items on coloured nodes, where the card can show it.
    void setSelectionTextures(bool on);
    // Plain: neither vertex colours nor the colour map colour the node.
    bool isPlain() const { return !m_draw_state.vertexColours && !m_draw_state.colourMap; }

    // Frees the lists that only preparation needs.
    void releasePreparationLists();
    void resetMaterialOffset();
    void readMaterialOffset(unsigned flags, const CAD::PolyBase &poly);
    bool materialOffsetChanged(const CAD::PolyBase &poly) const;
    void collectOverlapVertices(unsigned flags, const CAD::PolyBaseData &data);
    void copySmoothTriangles();
    // inBands: the lists walk the vertices in bands (bandOrder) instead of in leaf order.
    void copyFlatTriangles(
        const CAD::PolyBaseData &data, const std::vector<BaVec3d<double>> &positions, bool inBands);
    // Packs vertex set 0, and set 1 (the offset surface) when asked.
    void copyVertices(const CAD::PolyBaseData &data, bool offsetSurface);
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
    // Triangles per run of the facing test: a small patch of a cache- or band-ordered list,
    // and few enough runs that testing them costs nothing beside drawing them.
    static constexpr unsigned FACING_RUN = 1024;
    // Flat lists for culled passes visit their provoking vertices in bands this many vertices
    // wide, so that a run of FACING_RUN triangles of one slot covers a square patch.
    static constexpr unsigned FLAT_BAND_WIDTH = 32;
    // Around the winding normals of each run of FACING_RUN triangles of the index array, and
    // during a surface pass, which runs it skips.
    std::vector<FacingCone> m_facing_cones;
    std::vector<uint8_t> m_hidden_runs;
};

} // namespace Vaq::GCAD
