// GLNode: writing the interleaved vertex arrays and the colour-map coordinates.
#include "gcad/mesh/gcad_gl_node.h"

#include "gcad/host/cad/vaq_cad_bsp_node.h"
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"

#include <cstring>

namespace Vaq::GCAD {

namespace {

static_assert(sizeof(Color) == 4, "colours are copied as four bytes");

// Components are stored one by one: assembling them in a temporary first would make the
// copy read back across several small stores, which the processor cannot forward.
template<typename T> void store(uint8_t *out, T value)
{
    std::memcpy(out, &value, sizeof value);
}

void writeNormal(uint8_t *out, const BaVec3d<float> &normal, bool floatNormals)
{
    if (floatNormals) {
        store(out, normal.x);
        store(out + 4, normal.y);
        store(out + 8, normal.z);
    } else {
        // Truncated toward zero, so 1.0 and -1.0 become 32767 and -32767.
        store(out, int16_t(normal.x * 32767.0f));
        store(out + 2, int16_t(normal.y * 32767.0f));
        store(out + 4, int16_t(normal.z * 32767.0f));
    }
}

GLNode::TexCoord valueCoordinate(float s)
{
    if (s == CAD::NO_VALUE)
        return { 1.0f, GLNode::SPECIAL_ROW };
    return { s, 0.0f };
}

} // namespace

GLNode::TexCoord GLNode::colourMapCoordinate(const CAD::PolyBaseData &data, uint32_t vertex) const
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

void GLNode::copyVertices(int set, const CAD::PolyBaseData &data)
{
    const VertexLayout layout = getVertexLayout(m_vertex_type);
    const unsigned normalBytes = 3 * (layout.floatNormals ? sizeof(float) : sizeof(int16_t));
    const auto &positions = set == 0 ? data.vertices : data.offsetVertices;
    const auto &vertexNormals = set == 0 ? data.vertexNormals : data.offsetVertexNormals;
    const auto &triangleNormals = set == 0 ? data.triangleNormals : data.offsetTriangleNormals;
    // Vertex colours asked for on an element without them show its own colour.
    const Color fallback = getPoly()->getElemProperties()->color;
    const std::vector<uint32_t> &ownVertices = getNode()->getVertices();
    const unsigned count = m_own_vertex_count + m_foreign_vertex_count;

    uint8_t *out = allocateVertexData(set);
    for (unsigned k = 0; k < count; ++k, out += layout.size) {
        const uint32_t v
            = k < m_own_vertex_count ? ownVertices[k] : m_foreign_vertices[k - m_own_vertex_count];
        if (layout.texCoordOffset >= 0) {
            const TexCoord coordinate = colourMapCoordinate(data, v);
            std::memcpy(out + layout.texCoordOffset, &coordinate, sizeof coordinate);
        }
        if (layout.colorOffset >= 0)
            std::memcpy(
                out + layout.colorOffset, data.drawColors.empty() ? &fallback : &data.drawColors[v], 4);
        // Flat types: a vertex that provokes triangles carries their normals instead of its own.
        const int provoking = layout.normalCount == 2 ? m_provoking_count[k] : 0;
        if (provoking == 0)
            writeNormal(out + layout.normalOffset, vertexNormals[v], layout.floatNormals);
        for (int slot = 0; slot < provoking; ++slot)
            writeNormal(out + layout.normalOffset + slot * normalBytes,
                triangleNormals[m_normal_slot_triangle[slot][k]], layout.floatNormals);
        const BaVec3d<double> &p = positions[v];
        store(out + layout.positionOffset, float(p.x));
        store(out + layout.positionOffset + 4, float(p.y));
        store(out + layout.positionOffset + 8, float(p.z));
    }
}

} // namespace Vaq::GCAD
