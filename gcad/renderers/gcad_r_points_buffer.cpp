#include "gcad/renderers/gcad_r_points_buffer.h"

#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/mesh/gcad_buffer_name_pool.h"

#include <algorithm>
#include <cstring>

namespace Vaq::GCAD {

namespace {

constexpr std::size_t POSITION_BYTES = 3 * sizeof(float);
constexpr std::size_t NORMAL_BYTES = 3 * sizeof(float);
constexpr std::size_t COLOR_BYTES = 4;
// The largest stride GL takes for a vertex array (GL_MAX_VERTEX_ATTRIB_STRIDE is at least
// this, and drivers check it).
constexpr std::size_t MAX_STRIDE = 2048;

} // namespace

PointsBuffer::~PointsBuffer()
{
    release();
}

void PointsBuffer::release()
{
    if (m_name)
        BufferNamePool::release(m_name);
    m_name = 0;
    m_client = {};
    m_filled = false;
    m_count = 0;
    m_colors = nullptr;
}

void PointsBuffer::prepare(const CAD::PointsBase &element, const CAD::StageIdentifier &stage,
    const CAD::PointsRecordVector<Color> &colors, bool useBufferObject)
{
    const auto &points = element.getPointVector(stage);
    const bool canUseBufferObject
        = useBufferObject && GL::glGenBuffers && GL::glMapBuffer && GL::glUnmapBuffer;
    if (m_filled && m_version == element.getDataVersion() && m_colors == &colors && m_count == points.size()
        && (m_name != 0) == canUseBufferObject)
        return;
    release();
    m_has_normals = !element.getNormalVector(stage).empty();
    m_has_colors = !colors.empty();
    m_count = unsigned(points.size());
    m_version = element.getDataVersion();
    m_colors = &colors;
    m_filled = true;
    const std::size_t size = std::size_t(m_count)
        * (POSITION_BYTES + (m_has_normals ? NORMAL_BYTES : 0) + (m_has_colors ? COLOR_BYTES : 0));

    if (canUseBufferObject && (m_name = BufferNamePool::obtain()) != 0) {
        GL::glBindBuffer(GL_ARRAY_BUFFER, m_name);
        GL::glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(size), nullptr, GL_STATIC_DRAW);
        if (auto *out = static_cast<uint8_t *>(GL::glMapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY))) {
            fill(out, element, stage, colors);
            if (GL::glUnmapBuffer(GL_ARRAY_BUFFER) == GL_TRUE) {
                GL::glBindBuffer(GL_ARRAY_BUFFER, 0);
                return;
            }
        }
        // Storage the driver could not give or lost: client memory serves as well.
        GL::glBindBuffer(GL_ARRAY_BUFFER, 0);
        BufferNamePool::release(m_name);
        m_name = 0;
    }
    m_client.resize(size);
    fill(m_client.data(), element, stage, colors);
}

void PointsBuffer::fill(uint8_t *out, const CAD::PointsBase &element, const CAD::StageIdentifier &stage,
    const CAD::PointsRecordVector<Color> &colors) const
{
    // One array after the other, so that each is a plain copy of floats or bytes.
    auto *position = reinterpret_cast<float *>(out);
    for (const BaVec3d<double> &p : element.getPointVector(stage)) {
        *position++ = float(p.x);
        *position++ = float(p.y);
        *position++ = float(p.z);
    }
    if (m_has_normals) {
        auto *normal = position;
        for (const BaVec3d<float> &v : element.getNormalVector(stage)) {
            // A point without a direction faces the z axis.
            const bool none = v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
            *normal++ = v.x;
            *normal++ = v.y;
            *normal++ = none ? 1.0f : v.z;
        }
        position = normal;
    }
    if (m_has_colors)
        std::memcpy(position, colors.data(), std::size_t(m_count) * COLOR_BYTES);
}

void PointsBuffer::draw(const CAD::PointsRecordVector<CAD::PointFlags> &flags, bool allShown, unsigned start,
    unsigned end, unsigned stepping)
{
    end = std::min(end, m_count);
    if (!m_filled || start >= end)
        return;
    // Every stepping-th point of a run of shown points is read straight from the arrays with
    // a stride of stepping records; anything else is drawn through a list of the points.
    bool arrays = allShown && stepping * NORMAL_BYTES <= MAX_STRIDE;
    if (!allShown && stepping == 1) {
        arrays = true;
        for (unsigned i = start; arrays && i < end; ++i)
            arrays = flags[i].isVisibleAndNotPreview();
    }
    m_indices.clear();
    if (!arrays) {
        for (unsigned i = start; i < end; i += stepping)
            if (allShown || flags[i].isVisibleAndNotPreview())
                m_indices.push_back(i);
        if (m_indices.empty())
            return;
    }
    // The arrays begin at the first point drawn, or at the first point for the list.
    const std::size_t first = arrays ? start : 0, step = arrays ? stepping : 1;
    // Offsets into the buffer object, or into the client memory.
    const uint8_t *base = m_name ? nullptr : m_client.data();
    const auto at = [base](std::size_t offset) { return static_cast<const void *>(base + offset); };

    const std::size_t n = m_count;
    if (m_name)
        GL::glBindBuffer(GL_ARRAY_BUFFER, m_name);
    ::glEnableClientState(GL_VERTEX_ARRAY);
    ::glVertexPointer(3, GL_FLOAT, GLsizei(step * POSITION_BYTES), at(first * POSITION_BYTES));
    std::size_t offset = n * POSITION_BYTES;
    if (m_has_normals) {
        ::glEnableClientState(GL_NORMAL_ARRAY);
        ::glNormalPointer(GL_FLOAT, GLsizei(step * NORMAL_BYTES), at(offset + first * NORMAL_BYTES));
        offset += n * NORMAL_BYTES;
    } else {
        ::glNormal3f(0.0f, 0.0f, 1.0f);
    }
    if (m_has_colors) {
        // Three bytes of each colour: the points are opaque whatever the alpha says.
        ::glEnableClientState(GL_COLOR_ARRAY);
        ::glColorPointer(3, GL_UNSIGNED_BYTE, GLsizei(step * COLOR_BYTES), at(offset + first * COLOR_BYTES));
    }
    if (arrays)
        ::glDrawArrays(GL_POINTS, 0, GLsizei((end - start + stepping - 1) / stepping));
    else
        ::glDrawElements(GL_POINTS, GLsizei(m_indices.size()), GL_UNSIGNED_INT, m_indices.data());
    ::glDisableClientState(GL_COLOR_ARRAY);
    ::glDisableClientState(GL_NORMAL_ARRAY);
    ::glDisableClientState(GL_VERTEX_ARRAY);
    if (m_name)
        GL::glBindBuffer(GL_ARRAY_BUFFER, 0);
}

} // namespace Vaq::GCAD
