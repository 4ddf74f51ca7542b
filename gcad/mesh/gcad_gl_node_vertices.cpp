// GLNode: the colour-map coordinates of the vertices, and their interleaved arrays.
#include "gcad/mesh/gcad_gl_node.h"

#include "gcad/host/cad/vaq_cad_bsp_node.h"
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"
#include "gcad/mesh/gcad_vertex_packing.h"

namespace Vaq::GCAD {

namespace {

TexCoord valueCoordinate(float s)
{
    if (s == CAD::NO_VALUE)
        return { 1.0f, SPECIAL_ROW };
    return { s, 0.0f };
}

} // namespace

TexCoord GLNode::colourMapCoordinate(const CAD::PolyBaseData &data, uint32_t vertex) const
{
    const Legend2::LegendHandler &legend = *Legend2::LegendHandler::getInstance();
    const double deviation = data.deviations.empty() ? CAD::NO_VALUE : data.deviations[vertex];
    if (!legend.getColorMap().getToleranceMode())
        return valueCoordinate(legend.getColorIndex(deviation));
    if (data.toleranceIndices.empty() || !m_tolerances)
        return { 1.0f, SPECIAL_ROW };
    const uint32_t index = data.toleranceIndices[vertex];
    if (index < m_tolerances->size() && (*m_tolerances)[index].isValid())
        return valueCoordinate(legend.getToleranceColorIndex((*m_tolerances)[index], deviation));
    return { 0.0f, SPECIAL_ROW };
}

void GLNode::copyVertices(const CAD::PolyBaseData &data, bool offsetSurface)
{
    // The leaf's visible vertices, then the far corners' slots.
    const uint32_t *own = getNode()->getVertices().data();
    const unsigned count = m_own_vertex_count + m_foreign_vertex_count;
    std::vector<TexCoord> texCoords;
    if (hasColorMap(m_vertex_type)) {
        texCoords.reserve(count);
        for (unsigned k = 0; k < count; ++k)
            texCoords.push_back(colourMapCoordinate(
                data, k < m_own_vertex_count ? own[k] : m_foreign_vertices[k - m_own_vertex_count]));
    }

    VertexSources sources;
    sources.positions = data.vertices.data();
    sources.vertexNormals = data.vertexNormals.data();
    sources.triangleNormals = data.triangleNormals.data();
    // Vertex colours asked for on an element without them show its own colour.
    sources.colours = data.drawColors.empty() ? nullptr : data.drawColors.data();
    sources.colour = getPoly()->getElemProperties()->color;
    sources.texCoords = texCoords.empty() ? nullptr : texCoords.data();
    if (isFlat(m_vertex_type)) {
        sources.provokingCount = m_provoking_count.data();
        sources.slotTriangle[0] = m_normal_slot_triangle[0].data();
        sources.slotTriangle[1] = m_normal_slot_triangle[1].data();
    }
    for (int set = 0; set < (offsetSurface ? 2 : 1); ++set) {
        if (set == 1) {
            sources.positions = data.offsetVertices.data();
            sources.vertexNormals = data.offsetVertexNormals.data();
            sources.triangleNormals = data.offsetTriangleNormals.data();
        }
        uint8_t *out = allocateVertexData(set);
        packVertices(out, m_vertex_type, own, m_own_vertex_count, sources);
        packVertices(out + std::size_t(m_own_vertex_count) * getVertexSize(), m_vertex_type,
            m_foreign_vertices.data(), m_foreign_vertex_count, sources.from(m_own_vertex_count));
    }
}

} // namespace Vaq::GCAD
