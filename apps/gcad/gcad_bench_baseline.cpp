#include "apps/gcad/gcad_bench_baseline.h"

#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/mesh/gcad_framerate_adjust.h"
#include "gcad/mesh/gcad_mesh_render_types.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace Gcad {

using namespace Vaq;
using namespace Vaq::GCAD;

namespace {

// One vertex: the colour (where there is one), the normal in 16 bits per axis and the
// position, packed like the library's smooth node vertices.
constexpr std::size_t COLOR_BYTES = 4;
constexpr std::size_t NORMAL_BYTES = 3 * sizeof(int16_t);
constexpr std::size_t POSITION_BYTES = 3 * sizeof(float);

std::size_t vertexSize(bool colors)
{
    return (colors ? COLOR_BYTES : 0) + NORMAL_BYTES + POSITION_BYTES;
}

int16_t packNormal(float value)
{
    return int16_t(value * 32767.0f);
}

void writeNormal(uint8_t *vertex, bool colors, const BaVec3d<float> &n)
{
    const int16_t normal[3] = { packNormal(n.x), packNormal(n.y), packNormal(n.z) };
    std::memcpy(vertex + (colors ? COLOR_BYTES : 0), normal, NORMAL_BYTES);
}

const void *offset(std::size_t bytes)
{
    return reinterpret_cast<const void *>(bytes);
}

} // namespace

PlainMeshRenderer::PlainMeshRenderer(RenderCallback *callback, FlatNormals flatNormals)
    : CADGLRenderer(callback)
    , m_flat_normals(flatNormals)
{
}

void PlainMeshRenderer::releaseBuffers()
{
    for (const auto &[element, buffers] : m_buffers) {
        const GLuint names[2] = { buffers.vertexBuffer, buffers.indexBuffer };
        GL::glDeleteBuffers(2, names);
    }
    m_buffers.clear();
}

// Flat shading takes a triangle's normal from its last (provoking) corner. Each triangle
// is turned so that a corner no earlier triangle has claimed comes last and gets the
// triangle's normal; where all three are claimed, the last corner is appended again as a
// vertex of its own. A closed triangle mesh has about twice as many triangles as vertices,
// so about half the triangles need such a copy; trying all three corners keeps that number
// near its least.
const PlainMeshRenderer::Buffers &PlainMeshRenderer::buffers(bool flat)
{
    Buffers &buffers = m_buffers[{ m_current_element, flat }];
    if (buffers.vertexBuffer != 0)
        return buffers;
    const CAD::PolyBase &mesh = *static_cast<const CAD::PolyBase *>(m_current_element);
    const CAD::PolyBaseData &data = *mesh.getData(m_stage);
    buffers.colors = !data.drawColors.empty();
    const std::size_t size = vertexSize(buffers.colors);
    std::vector<uint8_t> vertices;
    vertices.reserve(size * (flat ? data.vertices.size() + data.triangles.size() : data.vertices.size()));
    auto append = [&](uint32_t v, const BaVec3d<float> &n) {
        vertices.resize(vertices.size() + size);
        uint8_t *out = vertices.data() + vertices.size() - size;
        if (buffers.colors) {
            const Color &c = data.drawColors[v];
            const uint8_t color[COLOR_BYTES] = { c.r, c.g, c.b, c.a };
            std::memcpy(out, color, COLOR_BYTES);
        }
        writeNormal(out, buffers.colors, n);
        const BaVec3d<double> &p = data.vertices[v];
        const float position[3] = { float(p.x), float(p.y), float(p.z) };
        std::memcpy(out + size - POSITION_BYTES, position, POSITION_BYTES);
    };

    for (std::size_t v = 0; v < data.vertices.size(); ++v)
        append(uint32_t(v), data.vertexNormals[v]);

    std::vector<CAD::Triangle> triangles = data.triangles;
    if (flat) {
        std::vector<bool> claimed(data.vertices.size(), false);
        uint32_t next = uint32_t(data.vertices.size());
        for (std::size_t t = 0; t < triangles.size(); ++t) {
            CAD::Triangle &corners = triangles[t];
            const BaVec3d<float> &n = data.triangleNormals[t];
            int turn = 0;
            while (turn < 3 && claimed[corners[(2 + turn) % 3]])
                ++turn;
            if (turn < 3) {
                std::rotate(corners.begin(), corners.begin() + turn, corners.end());
                claimed[corners[2]] = true;
                writeNormal(vertices.data() + std::size_t(corners[2]) * size, buffers.colors, n);
            } else {
                append(corners[2], n);
                corners[2] = next++;
            }
        }
    }
    buffers.vertexCount = int(vertices.size() / size);
    buffers.indexCount = int(3 * triangles.size());

    GLuint names[2] = { 0, 0 };
    GL::glGenBuffers(2, names);
    buffers.vertexBuffer = names[0];
    buffers.indexBuffer = names[1];
    GL::glBindBuffer(GL_ARRAY_BUFFER, buffers.vertexBuffer);
    GL::glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size()), vertices.data(), GL_STATIC_DRAW);
    GL::glBindBuffer(GL_ARRAY_BUFFER, 0);
    GL::glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers.indexBuffer);
    GL::glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(triangles.size() * sizeof(CAD::Triangle)),
        triangles.data(), GL_STATIC_DRAW);
    GL::glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    return buffers;
}

void PlainMeshRenderer::preDrawInternal(unsigned renderType, int)
{
    m_render_type = renderType;
}

bool PlainMeshRenderer::drawInternal()
{
    if (m_render_type & RT_POINTS)
        drawPoints(buffers(false));
    if (m_render_type & RT_TRIANGLES)
        drawSurface(buffers(!(m_render_type & RT_SMOOTH) && m_flat_normals == FlatNormals::FACET));
    if (m_render_type & RT_EDGES)
        drawEdges(buffers(false));
    return true;
}

void PlainMeshRenderer::postDrawInternal(int) { }

void PlainMeshRenderer::bind(const Buffers &buffers, bool normals, bool colors, unsigned stepping) const
{
    const std::size_t size = vertexSize(buffers.colors);
    const GLsizei stride = GLsizei(stepping * size);
    const std::size_t normalOffset = buffers.colors ? COLOR_BYTES : 0;
    GL::glBindBuffer(GL_ARRAY_BUFFER, buffers.vertexBuffer);
    if (colors) {
        ::glColorPointer(3, GL_UNSIGNED_BYTE, stride, offset(0));
        ::glEnableClientState(GL_COLOR_ARRAY);
    }
    if (normals) {
        ::glNormalPointer(GL_SHORT, stride, offset(normalOffset));
        ::glEnableClientState(GL_NORMAL_ARRAY);
    }
    ::glVertexPointer(3, GL_FLOAT, stride, offset(normalOffset + NORMAL_BYTES));
    ::glEnableClientState(GL_VERTEX_ARRAY);
}

// The state switches follow the library's node drawing, so that only the way the data is
// held and sent differs.
void PlainMeshRenderer::drawSurface(const Buffers &buffers)
{
    const bool colors = buffers.colors && (m_render_type & RT_VERTEX_COLORS);
    const Color front = initMaterial(m_current_element, false, m_render_type & RT_BACK_SIDE, false);
    if (colors) {
        // The colours show on the front only: the library draws the back side in a pass of
        // its own in the back material.
        ::glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
        ::glEnable(GL_COLOR_MATERIAL);
        ::glColor3ub(255, 255, 255);
    } else {
        ::glColor3ub(front.r, front.g, front.b);
    }
    if (!(m_render_type & RT_SMOOTH))
        ::glShadeModel(GL_FLAT);
    bind(buffers, true, colors, 1);
    GL::glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers.indexBuffer);
    ::glDrawElements(GL_TRIANGLES, buffers.indexCount, GL_UNSIGNED_INT, nullptr);
    ::glDisableClientState(GL_VERTEX_ARRAY);
    ::glDisableClientState(GL_NORMAL_ARRAY);
    ::glDisableClientState(GL_COLOR_ARRAY);
    GL::glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    GL::glBindBuffer(GL_ARRAY_BUFFER, 0);
    ::glShadeModel(GL_SMOOTH);
    ::glDisable(GL_COLOR_MATERIAL);
    ::glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
}

void PlainMeshRenderer::drawEdges(const Buffers &buffers)
{
    initMaterial(m_current_element, false, false, false);
    Color edge = m_element_properties->edgeColor;
    edge.a = 100;
    enableRenderMode(RM_LINES);
    ::glColor4ub(edge.r, edge.g, edge.b, edge.a);
    bind(buffers, false, false, 1);
    GL::glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers.indexBuffer);
    ::glDrawElements(GL_TRIANGLES, buffers.indexCount, GL_UNSIGNED_INT, nullptr);
    ::glDisableClientState(GL_VERTEX_ARRAY);
    GL::glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    GL::glBindBuffer(GL_ARRAY_BUFFER, 0);
    disableRenderMode(RM_LINES);
    resetLineWidth();
}

void PlainMeshRenderer::drawPoints(const Buffers &buffers)
{
    const bool colors = buffers.colors && (m_render_type & RT_VERTEX_COLORS);
    const unsigned stepping = std::max(1u, m_stepping);
    ::glPointSize(GLfloat(m_element_properties->pointSize * m_snapshot_scaling));
    // The material colour goes first, as in the library's points, so that the point colour
    // is a change of colour that the colour material takes up.
    const Color front = initMaterial(m_current_element, false, false, false);
    ::glColor3ub(front.r, front.g, front.b);
    ::glEnable(GL_COLOR_MATERIAL);
    if (!colors) {
        const Color &c = m_element_properties->pointColor;
        ::glColor3ub(c.r, c.g, c.b);
    }
    bind(buffers, true, colors, stepping);
    ::glDrawArrays(GL_POINTS, 0, GLsizei(unsigned(buffers.vertexCount) / stepping));
    ::glDisableClientState(GL_VERTEX_ARRAY);
    ::glDisableClientState(GL_NORMAL_ARRAY);
    ::glDisableClientState(GL_COLOR_ARRAY);
    GL::glBindBuffer(GL_ARRAY_BUFFER, 0);
    ::glDisable(GL_COLOR_MATERIAL);
    ::glPointSize(1.0f);
}

BaselineRCB::BaselineRCB(FlatNormals flatNormals)
    : m_renderer(this, flatNormals)
    , m_flat_normals(flatNormals)
{
}

bool BaselineRCB::measures(const CAD::ElemProp &properties) const
{
    return m_flat_normals == FlatNormals::FACET || (properties.showTriangles && !properties.smooth);
}

// The scene stage draws the planned render types plainly; the other stages are the
// library's.
bool BaselineRCB::draw()
{
    if (getRenderStage() != GL::RenderObject::RS_LEVEL0 || !getMesh())
        return BenchmarkRCB::draw();
    std::vector<unsigned> renderTypes;
    unsigned stepping = 1;
    if (!FramerateAdjust::getInstance()->getPlan(this, getMesh(), &renderTypes, &stepping))
        throw std::runtime_error("the baseline's view has no frame-rate plan");
    m_renderer.setup(
        CAD::ElementAndStageImp(getMesh(), CAD::StageIdentifier::NO_STAGE), renderTypes, stepping);
    while (!m_renderer.draw()) { }
    m_renderer.finish();
    return true;
}

void BaselineRCB::widgetAboutToBeDestroyed()
{
    m_renderer.releaseBuffers();
    BenchmarkRCB::widgetAboutToBeDestroyed();
}

} // namespace Gcad
