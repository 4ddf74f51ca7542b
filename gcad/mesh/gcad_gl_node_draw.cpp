// GLNode: drawing a prepared node for the mesh renderer: points, the shaded surface (smooth
// or flat, front and back side, nominal and material-offset surface) and the edges. Whole
// index ranges go to glDrawElements, at most four per surface pass; a pass that culls one
// side leaves out the runs of triangles that all face that way. Only the flat leftovers are
// drawn in immediate mode.
#include "gcad/mesh/gcad_gl_node.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/cad/vaq_cad_bsp_node.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_stencil_handler.h"
#include "gcad/host/gl/vaq_gl_texture.h"
#include "gcad/mesh/gcad_color_map_texture.h"
#include "gcad/mesh/gcad_mesh_render_types.h"
#include "gcad/mesh/gcad_selection_textures.h"
#include "gcad/rcb/gcad_rcb.h"
#include "gcad/renderers/gcad_gl_renderer.h"

#include <algorithm>
#include <cstdint>

namespace Vaq::GCAD {

using CAD::ElementCreator;
using CAD::PM_WITHOUT_PREVIEW;

namespace {

// The flags a node keeps when its element offset of 0.0 turns the offset surface into the
// back side: points, vertex colours, triangles and smooth shading.
constexpr unsigned NOMINAL_FLAGS = RT_POINTS | RT_VERTEX_COLORS | RT_TRIANGLES | RT_SMOOTH;

// Scans and closed meshes show their vertex colours on the surface, not on the points.
bool hasUncolouredPoints(ElementCreator::Element_t type)
{
    return type == ElementCreator::MESH_SCAN || type == ElementCreator::MESH_CLOSED;
}

// An address in client memory at base, or an offset into the bound buffer when base is null.
const void *at(const uint8_t *base, std::size_t offset)
{
    return base ? static_cast<const void *>(base + offset) : reinterpret_cast<const void *>(offset);
}

} // namespace

void GLNode::draw(CADGLRenderer *renderer, unsigned flags, bool reducedDrawing)
{
    // A dropped node waits for its deletion; its leaf and counts are gone.
    if (!isLinked())
        return;
    if ((flags & RT_MATERIAL_OFFSET) && m_material_offset_type == CAD::MO_ELEMENT && m_element_offset == 0.0)
        flags = (flags & NOMINAL_FLAGS) | RT_BACK_SIDE;
    const CAD::ElemProp &properties = *getPoly()->getElemProperties();
    m_draw_flags = flags;
    DrawState &state = m_draw_state;
    state = DrawState();
    state.vertexColours = flags & RT_VERTEX_COLORS;
    state.colourMap = flags & RT_COLOR_MAP;
    state.highlight = properties.highlightBackSide;

    if (flags & RT_POINTS) {
        const bool uncolouredPoints = hasUncolouredPoints(getPoly()->getType());
        if (uncolouredPoints)
            state.vertexColours = false;
        ::glPointSize(GLfloat(properties.pointSize * renderer->getRenderCallback()->getSnapshotScaling()));
        if (!isPlain())
            ::glEnable(GL_COLOR_MATERIAL);
        drawPoints(renderer, reducedDrawing);
        ::glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
        ::glDisable(GL_COLOR_MATERIAL);
        ::glPointSize(1.0f);
        // The colours went to the points, unless this kind shows them on the surface.
        state.vertexColours = uncolouredPoints && (flags & RT_VERTEX_COLORS);
        state.colourMap = uncolouredPoints && state.colourMap;
    }

    if (flags & RT_TRIANGLES) {
        if ((flags & RT_BACK_SIDE) && (flags & (RT_VERTEX_COLORS | RT_COLOR_MAP))) {
            // The front side coloured, then the back side in the material's back colour.
            state.highlight = true;
            state.frontOnly = true;
            drawSurface(renderer);
            state.vertexColours = false;
            state.colourMap = false;
            state.frontOnly = false;
            state.backOnly = true;
            drawSurface(renderer);
        } else if (flags & RT_MATERIAL_OFFSET) {
            state.highlight = false;
            drawSurface(renderer);
            if (m_vertex_data[1] || m_vertex_buffer[1] != 0) {
                state.vertexColours = false;
                state.colourMap = false;
                state.useOffset = true;
                state.offsetMaterial = true;
                if (m_material_offset_type == CAD::MO_PER_PATCH) {
                    // Where both passes reach the same depth the back side is drawn over.
                    state.frontOnly = true;
                    drawSurface(renderer);
                    GLint depthFunction = GL_LEQUAL;
                    ::glGetIntegerv(GL_DEPTH_FUNC, &depthFunction);
                    ::glDepthFunc(GL_LEQUAL);
                    state.frontOnly = false;
                    state.backOnly = true;
                    drawSurface(renderer);
                    ::glDepthFunc(GLenum(depthFunction));
                } else {
                    drawSurface(renderer);
                }
            }
        } else {
            state.highlight = flags & RT_BACK_SIDE;
            drawSurface(renderer);
        }
    }

    if (flags & RT_EDGES) {
        // Edges outline the nominal surface in their own colour, and do not mark the element
        // for picking.
        state.useOffset = false;
        state.vertexColours = false;
        state.colourMap = false;
        GL::RenderObject *view = renderer->getRenderCallback()->getRenderObject();
        GL::StencilHandlerBase *stencil = view ? view->getStencilHandler() : nullptr;
        const CAD::Element *stencilElement = stencil ? stencil->getElement() : nullptr;
        if (stencil)
            stencil->setElement(nullptr);
        renderer->initMaterial(getPoly(), false, false, false);
        Color edge = properties.edgeColor;
        if (renderer->getRenderCallback()->getUpdateOptions().snapshotRendering)
            renderer->setLineWidth(1.0);
        else
            edge.a = 100;
        renderer->enableRenderMode(CADGLRenderer::RM_LINES);
        ::glColor4ub(edge.r, edge.g, edge.b, edge.a);
        drawEdges();
        renderer->disableRenderMode(CADGLRenderer::RM_LINES);
        renderer->resetLineWidth();
        // The next leaf's surface marks the element again.
        if (stencil)
            stencil->setElement(stencilElement);
    }
}

void GLNode::drawSurface(CADGLRenderer *renderer)
{
    const DrawState &state = m_draw_state;
    // A closed mesh never shows its inside.
    const bool closed = getPoly()->getType() == ElementCreator::MESH_CLOSED;
    const bool culling = state.backOnly || state.frontOnly || closed;
    const GLenum culledFace = (state.frontOnly || closed) ? GL_BACK : GL_FRONT;
    // The offset surface may face otherwise than the nominal one the cones were made from.
    if (culling && !state.useOffset && !hideCulledRuns(culledFace))
        return;
    const bool smooth = m_draw_flags & RT_SMOOTH;
    if (!smooth)
        ::glShadeModel(GL_FLAT);
    if (!isPlain())
        ::glEnable(GL_COLOR_MATERIAL);
    if (culling) {
        ::glEnable(GL_CULL_FACE);
        ::glCullFace(culledFace);
    }
    if (smooth)
        drawSmoothMesh(renderer);
    else
        drawFlatMesh(renderer);
    m_hidden_runs.clear();
    ::glDisable(GL_COLOR_MATERIAL);
    ::glDisable(GL_CULL_FACE);
    ::glCullFace(GL_BACK);
    ::glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    ::glShadeModel(GL_SMOOTH);
}

bool GLNode::hideCulledRuns(unsigned culledFace)
{
    double projection[16], modelView[16], modelToClip[16];
    ::glGetDoublev(GL_PROJECTION_MATRIX, projection);
    ::glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    (Transformation::fromGLTransformation(projection) * Transformation::fromGLTransformation(modelView))
        .getGLTransformation(modelToClip);
    GLint frontFace = GL_CCW;
    ::glGetIntegerv(GL_FRONT_FACE, &frontFace);
    // The side whose triangles the pass culls, as the cones name it.
    const Facing culled = (culledFace == GL_FRONT) == (frontFace == GL_CCW) ? Facing::FRONT : Facing::BACK;
    m_hidden_runs.resize(m_facing_cones.size());
    bool drawsSome = !m_leftovers[0].empty() || !m_leftovers[1].empty();
    for (std::size_t run = 0; run < m_facing_cones.size(); ++run) {
        m_hidden_runs[run] = facingInView(m_facing_cones[run], modelToClip) == culled;
        drawsSome = drawsSome || !m_hidden_runs[run];
    }
    if (!drawsSome)
        m_hidden_runs.clear();
    return drawsSome;
}

template<typename Draw>
void GLNode::drawSelectedPass(CADGLRenderer *renderer, unsigned normalSlot, unsigned strideFactor, Draw draw)
{
    setMaterial(renderer, true);
    setSelectionTextures(true);
    bindVertices(true, normalSlot, strideFactor, true);
    draw();
    setSelectionTextures(false);
}

void GLNode::drawSmoothMesh(CADGLRenderer *renderer)
{
    if (!hasTriangleData())
        VAQ_PROG_ERROR("Vaq::GCAD::GLNode::drawSmoothMesh", "triangle data not valid");
    const CAD::BspNode &leaf = *getNode();
    const unsigned own = 3 * leaf.numVisibleTriangles(PM_WITHOUT_PREVIEW);
    const unsigned selected = 3 * leaf.numSelectedTriangles(PM_WITHOUT_PREVIEW);
    const unsigned overlap = 3 * leaf.numVisibleOverlapTriangles(PM_WITHOUT_PREVIEW);
    const unsigned selectedOverlap = 3 * leaf.numSelectedOverlapTriangles(PM_WITHOUT_PREVIEW);

    if (selected + selectedOverlap > 0) {
        drawSelectedPass(renderer, 0, 1, [&] {
            drawIndices(0, selected);
            drawIndices(own, selectedOverlap);
        });
    }
    setMaterial(renderer, false);
    bindVertices(true, 0, 1, false);
    drawIndices(selected, own - selected);
    drawIndices(own + selectedOverlap, overlap - selectedOverlap);
    unbind();
}

void GLNode::drawFlatMesh(CADGLRenderer *renderer)
{
    if (!hasTriangleData())
        VAQ_PROG_ERROR("Vaq::GCAD::GLNode::drawFlatMesh", "triangle data not valid");
    setMaterial(renderer, false);
    // The index array holds slot 0 selected, slot 0 unselected, slot 1 selected, slot 1
    // unselected; each slot is drawn with its own normal of the provoking vertices.
    unsigned offset = 0;
    for (unsigned slot = 0; slot < 2; ++slot) {
        if (m_flat_selected_count[slot] > 0) {
            drawSelectedPass(renderer, slot, 1, [&] { drawIndices(offset, m_flat_selected_count[slot]); });
            setMaterial(renderer, false);
            offset += m_flat_selected_count[slot];
        }
        if (m_flat_unselected_count[slot] > 0) {
            bindVertices(true, slot, 1, false);
            drawIndices(offset, m_flat_unselected_count[slot]);
            offset += m_flat_unselected_count[slot];
        }
    }
    unbind();
    drawFlatLeftovers(renderer, true);
    drawFlatLeftovers(renderer, false);
}

void GLNode::drawFlatLeftovers(CADGLRenderer *renderer, bool selected)
{
    if (getLeftovers(selected).empty())
        return;
    setMaterial(renderer, selected);
    if (selected)
        setSelectionTextures(true);
    if (m_draw_state.colourMap)
        enableColourMap(selected);
    drawLeftovers(selected);
    if (m_draw_state.colourMap)
        GL::TextureManager::_manager.disableTexture(GL_TEXTURE0);
    if (selected)
        setSelectionTextures(false);
}

void GLNode::drawLeftovers(bool selected) const
{
    const GrowableArray<uint32_t> &triangles = getLeftovers(selected);
    const CAD::PolyBaseData *data = getPoly()->getData(m_stage);
    if (triangles.empty() || !data)
        return;
    const DrawState &state = m_draw_state;
    const bool colourMap = state.colourMap && hasColorMap(m_vertex_type);
    const auto &positions = state.useOffset ? data->offsetVertices : data->vertices;
    const auto &normals = state.useOffset ? data->offsetTriangleNormals : data->triangleNormals;
    const Color fallback = getPoly()->getElemProperties()->color;
    const TexCoord *coordinates = getLeftoverTexCoords(selected).data();

    ::glBegin(GL_TRIANGLES);
    for (uint32_t triangle : triangles) {
        const CAD::Triangle &corners = data->triangles[triangle];
        const BaVec3d<float> &normal = normals[triangle];
        ::glNormal3f(normal.x, normal.y, normal.z);
        if (colourMap) {
            ::glColor3ub(255, 255, 255);
        } else if (state.vertexColours) {
            const Color &c = data->drawColors.empty() ? fallback : data->drawColors[corners[0]];
            ::glColor4ub(c.r, c.g, c.b, c.a);
        }
        for (uint32_t v : corners) {
            if (colourMap) {
                ::glTexCoord2f(coordinates->s, coordinates->t);
                ++coordinates;
            }
            const BaVec3d<double> &p = positions[v];
            ::glVertex3d(p.x, p.y, p.z);
        }
    }
    ::glEnd();
}

void GLNode::drawEdges()
{
    if (!hasTriangleData())
        VAQ_PROG_ERROR("Vaq::GCAD::GLNode::drawEdges", "triangle data not valid");
    bindVertices(false, 0, 1, false);
    if (!isFlat(m_vertex_type)) {
        const CAD::BspNode &leaf = *getNode();
        drawIndices(0,
            3
                * (leaf.numVisibleTriangles(PM_WITHOUT_PREVIEW)
                    + leaf.numVisibleOverlapTriangles(PM_WITHOUT_PREVIEW)));
        unbind();
        return;
    }
    unsigned offset = 0;
    for (unsigned slot = 0; slot < 2; ++slot) {
        const unsigned count = m_flat_selected_count[slot] + m_flat_unselected_count[slot];
        drawIndices(offset, count);
        offset += count;
        // The leftovers: selected ones after slot 0, unselected ones after slot 1.
        drawLeftovers(slot == 0);
    }
    unbind();
}

void GLNode::drawPoints(CADGLRenderer *renderer, bool reducedDrawing)
{
    // With stepping k the stride skips k - 1 vertices, so firsts and counts are in k's.
    const unsigned k = std::max(1u, renderer->getStepping());
    const unsigned selected = getNode()->numSelectedPoints(PM_WITHOUT_PREVIEW);
    const CAD::ElemProp &properties = *getPoly()->getElemProperties();
    if (reducedDrawing)
        ::glPointSize(2.0f);

    if (selected / k > 0)
        drawSelectedPass(renderer, 0, k, [&] { ::glDrawArrays(GL_POINTS, 0, GLsizei(selected / k)); });
    setMaterial(renderer, false);
    bindVertices(true, 0, k, false);
    if (isPlain()) {
        ::glEnable(GL_COLOR_MATERIAL);
        const Color &c = reducedDrawing && properties.useAlternativePointColor
            ? properties.alternativePointColor
            : properties.pointColor;
        ::glColor3ub(c.r, c.g, c.b);
    }
    ::glDrawArrays(GL_POINTS, GLint(selected / k),
        GLsizei((m_own_vertex_count - std::min(selected, m_own_vertex_count)) / k));
    unbind();
}

void GLNode::bindVertices(bool normals, unsigned normalSlot, unsigned strideFactor, bool selectedPass)
{
    const DrawState &state = m_draw_state;
    const int set = state.useOffset ? 1 : 0;
    const uint8_t *base = m_vertex_data[set].get();
    if (m_vertex_buffer[set] != 0) {
        base = nullptr;
        GL::glBindBuffer(GL_ARRAY_BUFFER, m_vertex_buffer[set]);
    } else if (!base) {
        VAQ_PROG_ERROR("Vaq::GCAD::GLNode::bindVertices", "invalid vertex array");
    } else if (isOnGPU()) {
        // Another array of this node in a buffer: client pointers must not read as offsets.
        GL::glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    const VertexLayout layout = getVertexLayout(m_vertex_type);
    const GLsizei stride = GLsizei(strideFactor * layout.size);

    if (state.vertexColours && layout.colorOffset >= 0) {
        // Red, green, blue: the fourth byte is not shown.
        ::glColorPointer(3, GL_UNSIGNED_BYTE, stride, at(base, std::size_t(layout.colorOffset)));
        ::glEnableClientState(GL_COLOR_ARRAY);
    }
    if (state.colourMap && layout.texCoordOffset >= 0 && enableColourMap(selectedPass)) {
        ::glTexCoordPointer(2, GL_FLOAT, stride, at(base, std::size_t(layout.texCoordOffset)));
        ::glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    if (normals) {
        const std::size_t slotBytes = 3 * (layout.floatNormals ? sizeof(float) : sizeof(int16_t));
        ::glNormalPointer(layout.floatNormals ? GL_FLOAT : GL_SHORT, stride,
            at(base, layout.normalOffset + normalSlot * slotBytes));
        ::glEnableClientState(GL_NORMAL_ARRAY);
    }
    ::glVertexPointer(3, GL_FLOAT, stride, at(base, std::size_t(layout.positionOffset)));
    ::glEnableClientState(GL_VERTEX_ARRAY);
    if (m_index_buffer != 0)
        GL::glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_index_buffer);
}

bool GLNode::enableColourMap(bool selectedPass) const
{
    // Without multitexturing, the dimmed texture stands in for the selection tint.
    const bool dimmed = selectedPass && !GL::GLExtensions::isMultitexturingPossible();
    return GL::TextureManager::_manager.enableTexture(ColorMapTexture::get(getPoly(), dimmed), GL_TEXTURE0);
}

void GLNode::drawIndices(unsigned first, unsigned count) const
{
    // The leaf's counts are read at draw time; they never reach past the prepared indices.
    const unsigned available = m_index_bytes / 2;
    count = std::min(count, available - std::min(first, available));
    if (count == 0)
        return;
    auto draw = [&](unsigned from, unsigned to) {
        if (to <= from)
            return;
        const void *indices = m_index_buffer != 0 ? reinterpret_cast<const void *>(std::size_t(from) * 2)
                                                  : static_cast<const void *>(m_index_data.get() + from);
        ::glDrawElements(GL_TRIANGLES, GLsizei(to - from), GL_UNSIGNED_SHORT, indices);
    };
    if (m_hidden_runs.empty()) {
        draw(first, first + count);
        return;
    }
    // Consecutive runs the pass draws go to one call.
    const unsigned end = first + count, runIndices = 3 * FACING_RUN;
    unsigned from = first;
    for (unsigned run = first / runIndices; run * runIndices < end; ++run) {
        const unsigned runStart = std::max(first, run * runIndices);
        const unsigned runEnd = std::min(end, (run + 1) * runIndices);
        if (run < m_hidden_runs.size() && m_hidden_runs[run]) {
            draw(from, runStart);
            from = runEnd;
        }
    }
    draw(from, end);
}

void GLNode::unbind()
{
    ::glDisableClientState(GL_VERTEX_ARRAY);
    ::glDisableClientState(GL_NORMAL_ARRAY);
    ::glDisableClientState(GL_COLOR_ARRAY);
    GL::TextureManager::_manager.disableTexture(GL_TEXTURE0);
    if (isOnGPU()) {
        GL::glBindBuffer(GL_ARRAY_BUFFER, 0);
        GL::glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    }
}

void GLNode::setMaterial(CADGLRenderer *renderer, bool selected)
{
    const DrawState &state = m_draw_state;
    // Coloured nodes keep their colours under the material and show selection by textures;
    // drawn without them (a marked element), they take the material's colour like plain ones.
    const Color colour
        = renderer->initMaterial(getPoly(), selected && isPlain(), state.highlight, state.offsetMaterial);
    // A pass that culls the back faces shows front faces only, which one-sided lighting lights
    // alike; two-sided lighting would only make the driver sort out the sides per triangle.
    if (state.frontOnly)
        ::glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    if (isPlain() || !(state.vertexColours || state.colourMap))
        ::glColor3ub(colour.r, colour.g, colour.b);
    else
        ::glColor3ub(255, 255, 255);
}

void GLNode::setSelectionTextures(bool on)
{
    const CAD::PolyBase &poly = *getPoly();
    // Plain nodes show selection through their material; kind-0 meshes and meshes coloured
    // through the colour-map switch stay untinted.
    if (isPlain() || poly.getElemProperties()->colorMapEnabled || poly.getType() == ElementCreator::MESH
        || !GL::GLExtensions::isMultitexturingPossible())
        return;
    const GLenum unit = GL_TEXTURE0 + (m_draw_state.colourMap ? 1 : 0);
    if (on)
        SelectionTextures::enable(unit);
    else
        SelectionTextures::disable(unit);
}

} // namespace Vaq::GCAD
