// The facets of a strain grid. Each facet (four shown corners) is tessellated round its centre
// (addQuadFan: a fan of eight triangles) or, when its corners are flagged unequally, into four
// such fans (addTesselatedQuad), so that the flagged overlay fades over a finer mesh. The value
// becomes the s coordinate of a colour-scale texture, which the rasteriser looks up per pixel:
// the colours stay exact across a facet, where interpolated vertex colours would blend through
// colours that are not on the scale. A step batches up to five rows in one set of vertex
// arrays, in which neighbouring facets share their corners and edge midpoints (about 4
// vertices per facet instead of 9, which is what the driver's vertex processing costs), and
// draws each row with one glDrawElements call; cost per step O(5 x width), memory up to 125
// vertices (at most 65535) and 96 indices per column.
#include "gcad/renderers/gcad_r_strain.h"

#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/rcb/gcad_rcb.h"

#include <QImage>

#include <algorithm>

namespace Vaq::GCAD {

namespace {

constexpr unsigned QUAD_VERTICES = 25;
constexpr unsigned QUAD_INDICES = 96;
// 16-bit indices address this many vertices of one batch (the last value marks a new vertex).
constexpr unsigned MAX_BATCH_VERTICES = CADRenderer::NEW_VERTEX;
// The tessellation ids of a facet's corners and edge midpoints, in the order sharedIds gives them.
constexpr int SHARED_FAN_VERTICES[8] = { 0, 1, 2, 3, 5, 6, 7, 8 };
constexpr unsigned OVERLAY_TEXELS = 256;

void clientTextureUnit(GLenum unit)
{
    if (GL::glClientActiveTexture)
        GL::glClientActiveTexture(unit);
}

void textureCoordinates(GLenum unit, int size, const float *coordinates)
{
    clientTextureUnit(unit);
    ::glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    ::glTexCoordPointer(size, GL_FLOAT, 0, coordinates);
    clientTextureUnit(GL_TEXTURE0);
}

bool sameFlags(const CAD::Strain::MappedPoint corners[4])
{
    return corners[0].flag == corners[1].flag && corners[1].flag == corners[2].flag
        && corners[2].flag == corners[3].flag;
}

// A facet with a corner without value takes the no-value row of the scale on all its vertices,
// so it shares none with its neighbours.
bool hasValues(const CAD::Strain::MappedPoint corners[4])
{
    return std::none_of(corners, corners + 4, [](const auto &c) { return c.value == CAD::NO_VALUE; });
}

} // namespace

unsigned StrainRenderer::columnStep(unsigned pointCountHint, bool interactive)
{
    return interactive ? unsigned(2ull * pointCountHint / 300000 + 1) : 1;
}

void StrainRenderer::refreshValueTexture()
{
    m_color_mapping = m_strain->getColorMapping();
    GL::TextureManager &manager = GL::TextureManager::_manager;
    if (m_value_texture && !m_value_texture->isValid()) {
        manager.deleteTexture(m_value_texture);
        m_value_texture = nullptr;
    }
    if (!m_value_texture)
        m_value_texture = manager.createTexture(GL_CLAMP);
    if (!m_value_texture)
        return;
    // The texture's lower two rows (t below 0.5) are the colour scale, the upper two the
    // colour of facets with a corner without value; the image lists rows top-down.
    const int n = std::max(1, int(m_color_mapping.size()));
    QImage image(n, 4, QImage::Format_RGBA8888);
    const Color &none = m_element_properties->strain.noValueColor;
    for (int i = 0; i < n; ++i) {
        const Color c = m_color_mapping.empty() ? none : m_color_mapping[std::size_t(i)];
        for (int row = 0; row < 4; ++row) {
            const Color &texel = row < 2 ? none : c;
            image.setPixelColor(i, row, QColor(texel.r, texel.g, texel.b, 255));
        }
    }
    manager.setTextureImage(m_value_texture, image);
    manager.setFiltering(m_value_texture, GL_NEAREST, GL_NEAREST);
}

void StrainRenderer::createOverlayTexture()
{
    // Weights run from 1 (no flagged corner) down to 0.5 (at a flagged corner). Without the
    // colour map the overlay is red, more opaque the nearer a flagged point (decal); with it
    // the colours darken (modulate).
    GL::TextureManager &manager = GL::TextureManager::_manager;
    const bool colorMapped = m_element_properties->colorMapEnabled;
    if (m_overlay_texture && m_overlay_texture->isValid() && m_overlay_color_mapped == colorMapped)
        return;
    if (!m_overlay_texture || !m_overlay_texture->isValid()) {
        manager.deleteTexture(m_overlay_texture);
        m_overlay_texture = manager.createTexture(GL_CLAMP);
        if (!m_overlay_texture)
            return;
    }
    QImage image(OVERLAY_TEXELS, 1, QImage::Format_RGBA8888);
    for (int i = 0; i < int(OVERLAY_TEXELS); ++i)
        image.setPixelColor(i, 0, colorMapped ? QColor(i, i, i, 255) : QColor(255, 0, 0, 255 - i));
    manager.setTextureImage(m_overlay_texture, image);
    manager.setFiltering(m_overlay_texture, GL_LINEAR, GL_LINEAR);
    m_overlay_color_mapped = colorMapped;
}

void StrainRenderer::setupFacets(int mode)
{
    refreshValueTexture();
    createOverlayTexture();
    if (mode == 1 || mode == 3) {
        // The arrays hold a whole step of facets, as far as 16-bit indices reach; the indices
        // one row.
        const unsigned w = m_strain->getWidth();
        const unsigned capacity = unsigned(
            std::min(std::size_t(ROWS_PER_STEP) * QUAD_VERTICES * w, std::size_t(MAX_BATCH_VERTICES)));
        if (m_row_capacity < capacity || m_row_indices.size() < QUAD_INDICES * w) {
            m_row_positions.resize(capacity);
            m_row_normals.resize(capacity);
            m_row_indices.resize(QUAD_INDICES * w);
            m_row_tex_coords.resize(2 * capacity);
            m_row_overlay_coords.resize(capacity);
            m_row_capacity = capacity;
        }
        m_corner_ids.resize((ROWS_PER_STEP + 1) * w);
        m_along_ids.resize((ROWS_PER_STEP + 1) * w);
        m_across_ids.resize(ROWS_PER_STEP * w);
        m_row_index_count = m_facet_vertices = 0;
        ::glEnableClientState(GL_VERTEX_ARRAY);
    }
    if (mode == 2 || mode == 3) {
        // Tracking on before the material is loaded: the white colour of the fans must become
        // the material even when it is the current colour already.
        ::glEnable(GL_COLOR_MATERIAL);
        initMaterial(m_strain, false, false, false);
        if (m_element_properties->showMaterialSide) {
            ::glEnable(GL_CULL_FACE);
            ::glCullFace(GL_BACK);
            const std::size_t facets
                = std::size_t(m_strain->getWidth() - 1) * std::min(ROWS_PER_STEP, m_strain->getHeight() - 1);
            m_back_quad_positions.reserve(4 * facets);
            m_back_quad_normals.reserve(4 * facets);
        }
    }
}

void StrainRenderer::forgetSharedVertices()
{
    m_row_vertices = 0;
    std::fill(m_corner_ids.begin(), m_corner_ids.end(), NEW_VERTEX);
    std::fill(m_along_ids.begin(), m_along_ids.end(), NEW_VERTEX);
    std::fill(m_across_ids.begin(), m_across_ids.end(), NEW_VERTEX);
}

std::array<uint16_t *, 8> StrainRenderer::sharedIds(unsigned line, unsigned column)
{
    // Corners 0-3 at (column, line), (column + 1, line), (column + 1, line + 1), (column,
    // line + 1); then the midpoints of the edges 0-3, 0-1, 1-2 and 2-3.
    const unsigned w = m_strain->getWidth(), at = line * w + column, below = at + w;
    return { &m_corner_ids[at], &m_corner_ids[at + 1], &m_corner_ids[below + 1], &m_corner_ids[below],
        &m_across_ids[at], &m_along_ids[at], &m_across_ids[at + 1], &m_along_ids[below] };
}

bool StrainRenderer::drawFacets()
{
    const unsigned rows = m_strain->getHeight(), width = m_strain->getWidth();
    const unsigned end = std::min(m_next_row + ROWS_PER_STEP, rows);
    const unsigned k = columnStep(m_num_points, m_render_callback->getUpdateOptions().interactiveUpdate);
    const bool backSide = m_element_properties->showMaterialSide;
    CAD::Strain::MappedPoint c[4];
    forgetSharedVertices();
    for (unsigned row = m_next_row; row < end; ++row) {
        bool flagged = false;
        for (unsigned column = 0; column < width; column += k) {
            if (!m_strain->getDrawFacets(m_stage, column, row, c))
                continue;
            if (m_row_vertices + QUAD_VERTICES > m_row_capacity) {
                flushRow(flagged);
                flagged = false;
                forgetSharedVertices();
            }
            uint16_t ids[QUAD_VERTICES];
            std::fill(std::begin(ids), std::end(ids), NEW_VERTEX);
            const bool shared = hasValues(c);
            const std::array<uint16_t *, 8> kept = sharedIds(row - m_next_row, column);
            if (shared)
                for (int i = 0; i < 8; ++i)
                    ids[SHARED_FAN_VERTICES[i]] = *kept[std::size_t(i)];
            const unsigned before = m_row_vertices;
            if (!sameFlags(c)) {
                addTesselatedQuad(c, m_row_positions.data(), m_row_normals.data(), m_row_tex_coords.data(),
                    m_row_overlay_coords.data(), &m_row_vertices, ids);
                addTesselatedQuadIndices(m_row_indices.data(), &m_row_index_count, ids);
            } else {
                addQuadFan(c, m_row_positions.data(), m_row_normals.data(), m_row_tex_coords.data(),
                    m_row_overlay_coords.data(), &m_row_vertices, ids);
                addQuadFanIndices(m_row_indices.data(), &m_row_index_count, ids);
            }
            if (shared)
                for (int i = 0; i < 8; ++i)
                    *kept[std::size_t(i)] = ids[SHARED_FAN_VERTICES[i]];
            m_facet_vertices += m_row_vertices - before;
            flagged = flagged || c[0].flag || c[1].flag || c[2].flag || c[3].flag;
            if (backSide) {
                for (int i = 3; i >= 0; --i) {
                    m_back_quad_positions.push_back(c[i].position);
                    m_back_quad_normals.push_back(-c[i].normal);
                }
            }
        }
        flushRow(flagged);
    }
    drawBackQuads();
    m_next_row = end;
    return end == rows;
}

void StrainRenderer::flushRow(bool flagged)
{
    if (m_row_index_count == 0)
        return;
    ::glEnableClientState(GL_NORMAL_ARRAY);
    ::glColor4ub(255, 255, 255, 255);
    ::glVertexPointer(3, GL_FLOAT, 0, m_row_positions.data());
    ::glNormalPointer(GL_FLOAT, 0, m_row_normals.data());
    ::glDisableClientState(GL_COLOR_ARRAY);

    GL::TextureManager &manager = GL::TextureManager::_manager;
    const bool colorMapped = m_element_properties->colorMapEnabled;
    manager.enableTexture(m_value_texture, GL_TEXTURE0, GL_MODULATE);
    textureCoordinates(GL_TEXTURE0, 2, m_row_tex_coords.data());
    const bool multitexture = GL::GLExtensions::isMultitexturingPossible();
    if (multitexture) {
        if (flagged
            && manager.enableTexture(m_overlay_texture, GL_TEXTURE1, colorMapped ? GL_MODULATE : GL_DECAL))
            textureCoordinates(GL_TEXTURE1, 1, m_row_overlay_coords.data());
        else
            manager.disableTexture(GL_TEXTURE1);
    }

    // The row's vertices follow those of the rows above it in the batch, which it partly shares.
    const auto drawFans = [&] {
        ::glDrawElements(GL_TRIANGLES, GLsizei(m_row_index_count), GL_UNSIGNED_SHORT, m_row_indices.data());
    };
    drawFans();

    if (!multitexture && flagged) {
        // One texture unit: the overlay goes on top in a second pass over the same pixels.
        ::glDepthMask(GL_FALSE);
        ::glDepthFunc(GL_EQUAL);
        if (colorMapped)
            ::glBlendFunc(GL_ZERO, GL_SRC_COLOR);
        else
            ::glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        manager.disableTexture(GL_TEXTURE0);
        manager.enableTexture(m_overlay_texture, GL_TEXTURE0, GL_REPLACE);
        textureCoordinates(GL_TEXTURE0, 1, m_row_overlay_coords.data());
        drawFans();
        ::glDepthMask(GL_TRUE);
        ::glDepthFunc(GL_LEQUAL); // the host's default
        ::glBlendFunc(GL_ONE, GL_ZERO);
    }
    m_row_index_count = 0;
}

void StrainRenderer::drawBackQuads()
{
    if (m_back_quad_positions.empty())
        return;
    GL::TextureManager::_manager.disableTexture(GL_TEXTURE0);
    GL::TextureManager::_manager.disableTexture(GL_TEXTURE1);
    ::glDisableClientState(GL_COLOR_ARRAY);
    ::glEnableClientState(GL_NORMAL_ARRAY);
    setColor(m_element_properties->meshBackColor);
    ::glVertexPointer(3, GL_FLOAT, 0, m_back_quad_positions.data());
    ::glNormalPointer(GL_FLOAT, 0, m_back_quad_normals.data());
    ::glDrawArrays(GL_QUADS, 0, GLsizei(m_back_quad_positions.size()));
    m_back_quad_positions.clear();
    m_back_quad_normals.clear();
}

void StrainRenderer::finishFacets()
{
    GL::TextureManager::_manager.disableTexture(GL_TEXTURE0);
    GL::TextureManager::_manager.disableTexture(GL_TEXTURE1);
    ::glDisableClientState(GL_VERTEX_ARRAY);
    ::glDisableClientState(GL_NORMAL_ARRAY);
    ::glDisable(GL_CULL_FACE);
    ::glDisable(GL_COLOR_MATERIAL);
}

} // namespace Vaq::GCAD
