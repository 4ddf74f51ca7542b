// GLNode: moving the client arrays into buffer objects and back.
#include "gcad/mesh/gcad_gl_node.h"

#include "gcad/host/base/vaq_trace.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"
#include "gcad/mesh/gcad_buffer_name_pool.h"

#include <cstring>

namespace Vaq::GCAD {

namespace {

// Moves one client array into a new buffer; a buffer that cannot be made or filled leaves
// the array in client memory, where drawing finds it as well.
template<typename T> void upload(std::unique_ptr<T[]> &data, unsigned &buffer, GLenum target, unsigned bytes)
{
    if (buffer != 0 || !data)
        return;
    const unsigned name = BufferNamePool::obtain();
    bool filled = false;
    if (name != 0) {
        GL::glBindBuffer(target, name);
        GL::glBufferData(target, bytes, data.get(), GL_STATIC_DRAW);
        filled = ::glGetError() != GL_OUT_OF_MEMORY;
        GL::glBindBuffer(target, 0);
        if (!filled)
            BufferNamePool::release(name);
    }
    if (!filled) {
        VAQ_TRACE("Vaq::GCAD::GLNode::restoreVBO", QStringLiteral("VBO creation failed"));
        return;
    }
    buffer = name;
    data.reset();
}

// Copies one buffer back into a new client array and releases the buffer; false (and
// nothing changed) when the buffer cannot be read.
template<typename T>
bool download(std::unique_ptr<T[]> &data, unsigned &buffer, GLenum target, unsigned bytes)
{
    if (buffer == 0)
        return true;
    GL::glBindBuffer(target, buffer);
    const void *mapped = GL::glMapBuffer(target, GL_READ_ONLY);
    if (mapped) {
        data = std::make_unique_for_overwrite<T[]>(bytes / sizeof(T));
        std::memcpy(data.get(), mapped, bytes);
        GL::glUnmapBuffer(target);
    }
    GL::glBindBuffer(target, 0);
    if (!mapped)
        return false;
    BufferNamePool::release(buffer);
    buffer = 0;
    return true;
}

void release(unsigned &buffer)
{
    if (buffer == 0)
        return;
    BufferNamePool::release(buffer);
    buffer = 0;
}

} // namespace

void GLNode::restoreVBO()
{
    upload(m_vertex_data[0], m_vertex_buffer[0], GL_ARRAY_BUFFER, m_vertex_bytes);
    upload(m_vertex_data[1], m_vertex_buffer[1], GL_ARRAY_BUFFER, m_vertex_bytes);
    upload(m_index_data, m_index_buffer, GL_ELEMENT_ARRAY_BUFFER, m_index_bytes);
}

bool GLNode::downloadFromGPU()
{
    if (GL::WidgetOptions::getInstance()->getCurrentWidgetOptions().renderMode
        == GL::WidgetOptions::RM_FLOAT_NORMALS)
        return false;
    bool ok = download(m_vertex_data[0], m_vertex_buffer[0], GL_ARRAY_BUFFER, m_vertex_bytes);
    ok = download(m_vertex_data[1], m_vertex_buffer[1], GL_ARRAY_BUFFER, m_vertex_bytes) && ok;
    return download(m_index_data, m_index_buffer, GL_ELEMENT_ARRAY_BUFFER, m_index_bytes) && ok;
}

void GLNode::releaseBuffers()
{
    release(m_vertex_buffer[0]);
    release(m_vertex_buffer[1]);
    release(m_index_buffer);
}

} // namespace Vaq::GCAD
