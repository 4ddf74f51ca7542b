// MeshRenderer: draws triangle meshes leaf by leaf. For each element it chooses the render
// types from the element's display switches, culls the leaves of its spatial tree against the
// view, orders them front to back, prepares missing GPU nodes on one worker per processor,
// keeps them on the GPU within the budget and draws one leaf per step, optionally skipping
// leaves hidden behind others with occlusion queries. It estimates render times from the
// benchmark rates and thins out what it draws when the frame-rate plan asks for it.
#pragma once

#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/cad/vaq_cad_tolerance.h"
#include "gcad/host/gapp/vaq_gapp_wait_cursor.h"
#include "gcad/renderers/gcad_gl_renderer.h"

#include <array>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace Vaq::CAD {
class BspNode;
class PolyBase;
class PolyBaseRenderData;
} // namespace Vaq::CAD

namespace Vaq::GCAD {

class GLNode;

class MeshRenderer : public CADGLRenderer
{
public:
    // Occlusion queries issued per batch.
    static constexpr unsigned QUERY_BATCH = 128;
    // Meshes with at most this many visible points are drawn without occlusion queries.
    static constexpr unsigned OCCLUSION_MIN_POINTS = 2000;
    // More pending leaves than this show the wait cursor while they are prepared.
    static constexpr unsigned WAIT_CURSOR_LEAVES = 25;

    explicit MeshRenderer(RenderCallback *callback);
    ~MeshRenderer() override;

    void removeElement(CAD::Element *element) override;
    // Drops the GPU nodes of the elements this view drew and no other open view shows.
    void removeAllElements() override;
    double estimateRenderTime(const std::vector<unsigned> &renderTypes, unsigned stepping) const override;
    // One reduction per call: edges, then the back side, then the material offset go; then
    // everything becomes points in the element's colouring, whose stepping then grows.
    // Throws ProgError "wrong stepping" for a points plan at a stepping not benchmarked.
    bool reduceRenderTime(std::vector<unsigned> *renderTypes, unsigned *stepping) const override;

    // Whether the current element is drawn behind occlusion queries (after setup).
    bool isOcclusionMode() const { return m_occlusion_mode; }
    // Leaves drawn and prepared since the counters were last reset, for statistics.
    unsigned getDrawnLeaves() const { return m_drawn_leaves; }
    unsigned getPreparedLeaves() const { return m_prepared_leaves; }
    void resetLeafCounters() { m_drawn_leaves = m_prepared_leaves = 0; }

protected:
    std::vector<unsigned> getRenderTypes() const override;
    void setupInternal() override;
    void preDrawInternal(unsigned renderType, int mode) override;
    bool drawInternal() override;
    void postDrawInternal(int mode) override;

private:
    // What an element's colour-map texture and nodes were built from.
    struct ColorMapState
    {
        bool toleranceMode = false;
        bool toleranceData = false;
        double minimum = 0.0;
        double maximum = 0.0;
        std::vector<Color> indexedColors;
        bool uncomputedValid = false;
        Color uncomputed;
        std::vector<Color> toleranceColors;
        std::vector<CAD::Tolerance> tolerances;
    };

    // The current element as a mesh; throws ProgError "wrong element type" for others.
    CAD::PolyBase *mesh(const char *function) const;
    bool checkOcclusionMode() const;
    // Compares with the stored state; true when the legend changed what the nodes hold.
    bool updateColorMap();
    void cullLeaves(bool legendChanged);
    void prepareNodes();
    bool drawNextLeaf();
    bool occlusionStep();
    void drawLeafBox(const CAD::BspNode *leaf) const;
    void drawLeaf(CAD::BspNode *leaf);
    void drawBoundary() const;
    void drawFeatureLines() const;
    // The fitted cylinder of type 102, over the scene (RT_CYLINDER).
    void drawFittedCylinder();

    CAD::PolyBase *m_element = nullptr;
    CAD::PolyBaseRenderData *m_render_data = nullptr;
    std::vector<CAD::BspNode *> m_draw_list;
    std::vector<CAD::BspNode *> m_pending;
    unsigned m_next_leaf = 0;
    bool m_occlusion_mode = false;
    unsigned m_current_type = 0;
    unsigned m_build_flags = 0;
    bool m_vertex_colours_available = false;
    bool m_color_map_available = false;
    // The view marks the element: its surface shows the marking colour instead of its own.
    bool m_marked = false;
    // Shown while more than WAIT_CURSOR_LEAVES leaves wait to be prepared.
    std::optional<GApp::WaitCursor> m_wait_cursor;
    bool m_queries_allocated = false;
    std::array<unsigned, QUERY_BATCH> m_query_ids {};
    std::array<unsigned, QUERY_BATCH> m_query_leaf {};
    unsigned m_query_count = 0;
    std::map<const CAD::Element *, ColorMapState> m_color_map_info;
    // Every element this view's renderer has set up, for removeAllElements.
    std::set<const CAD::Element *> m_drawn_elements;
    // The view of the current setup.
    Transformation m_transformation;
    int m_width = 0;
    int m_height = 0;
    bool m_gpu_allowed = false;
    unsigned m_drawn_leaves = 0;
    unsigned m_prepared_leaves = 0;
};

} // namespace Vaq::GCAD
