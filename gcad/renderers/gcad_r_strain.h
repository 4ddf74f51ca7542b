// StrainRenderer: draws strain results: the grid of a strain evaluation as colour-mapped
// facets (a few rows per step), points, lines and boundary, its direction vectors and
// isolines with their labels; strain sections and single strain stage points.
#pragma once

#include "gcad/host/cad/vaq_cad_strain.h"
#include "gcad/host/cad/vaq_cad_strain_section.h"
#include "gcad/host/cad/vaq_cad_strain_stage_point.h"
#include "gcad/host/gl/vaq_gl_texture.h"
#include "gcad/renderers/gcad_gl_renderer.h"

#include <array>
#include <vector>

namespace Vaq::GCAD {

class StrainRenderer : public CADGLRenderer
{
public:
    // The passes; each is one value, not a bit of a set.
    enum StrainRenderType_t : unsigned {
        SRT_POINTS = 0,
        SRT_FACETS = 1,
        SRT_LINES = 2,
        SRT_BOUNDARY = 3,
        SRT_STAGE_POINT = 4,
        SRT_SECTION_LINES = 5,
        SRT_SECTION_POINTS = 6,
        SRT_SECTION_SPHERES = 7,
        SRT_COORDINATE_DIRECTIONS = 8,
        SRT_MAJOR_DIRECTIONS = 9,
        SRT_MINOR_DIRECTIONS = 10,
        SRT_DISPLACEMENT_DIRECTIONS = 11,
        SRT_ISOLINES = 12,
        SRT_ISOLINE_NORMALS = 13,
        SRT_ISOLINE_LABELS = 14,
    };
    // Grid rows drawn per facet step.
    static constexpr unsigned ROWS_PER_STEP = 5;

    explicit StrainRenderer(RenderCallback *callback);
    ~StrainRenderer() override;

    // Every how many columns a facet is drawn: 1, or while the view moves one more for every
    // 150000 points of the point-count hint.
    static unsigned columnStep(unsigned pointCountHint, bool interactive);
    // The vertices the last facet pass sent: every facet adds its centre, the corners and edge
    // midpoints that no neighbour of its step wrote before, and 16 more when tessellated.
    unsigned getFacetVertexCount() const { return m_facet_vertices; }

protected:
    // Throws ProgError "unsupported type" for an element that is no strain grid, section
    // or stage point.
    std::vector<unsigned> getRenderTypes() const override;
    // Throws ProgError "wrong element type" for the same.
    void preDrawInternal(unsigned renderType, int mode) override;
    bool drawInternal() override;
    void postDrawInternal(int mode) override;

private:
    // Facets (gcad_r_strain_facets.cpp).
    void refreshValueTexture();
    void createOverlayTexture();
    void setupFacets(int mode);
    bool drawFacets();
    void flushRow(bool flagged);
    void forgetSharedVertices();
    std::array<uint16_t *, 8> sharedIds(unsigned line, unsigned column);
    void drawBackQuads();
    void finishFacets();

    void setupPoints();
    void finishPoints();
    bool drawPoints();
    bool drawLines();
    bool drawBoundary();
    bool drawVectors();
    bool drawIsolines();
    bool drawIsolineLabels();
    bool drawStagePoint();
    bool drawSection();
    static void setColor(const Color &color);

    CAD::Strain *m_strain = nullptr;
    CAD::StrainSection *m_section = nullptr;
    CAD::StrainStagePoint *m_stage_point = nullptr;
    unsigned m_next_row = 0;
    unsigned m_current_type = SRT_POINTS;
    std::vector<BaVec3d<float>> m_back_quad_positions;
    std::vector<BaVec3d<float>> m_back_quad_normals;
    std::vector<Color> m_color_mapping;
    GL::Texture *m_value_texture = nullptr;
    GL::Texture *m_overlay_texture = nullptr;
    // The switch the overlay texture was made for.
    bool m_overlay_color_mapped = false;
    // One batch of rows: vertices, value-texture and overlay coordinates, the triangles of the
    // current row.
    std::vector<BaVec3d<float>> m_row_positions;
    std::vector<BaVec3d<float>> m_row_normals;
    std::vector<float> m_row_tex_coords;
    std::vector<float> m_row_overlay_coords;
    std::vector<uint16_t> m_row_indices;
    // Where the batch's shared vertices are (NEW_VERTEX: not yet written), per grid line of
    // the step: the corners, the midpoints of the edges along the line, and (between a line
    // and the next) the midpoints of the edges across.
    std::vector<uint16_t> m_corner_ids;
    std::vector<uint16_t> m_along_ids;
    std::vector<uint16_t> m_across_ids;
    unsigned m_row_capacity = 0;
    unsigned m_row_vertices = 0;
    unsigned m_row_index_count = 0;
    unsigned m_facet_vertices = 0;
};

} // namespace Vaq::GCAD
