#include "gcad/mesh/gcad_buffer_name_pool.h"

#include "gcad/host/gl/vaq_gl_extensions.h"

namespace Vaq::GCAD {

std::set<unsigned> BufferNamePool::_names;

unsigned BufferNamePool::obtain()
{
    if (!_names.empty())
        return _names.extract(_names.begin()).value();
    GLuint name = 0;
    if (GL::glGenBuffers)
        GL::glGenBuffers(1, &name);
    return name;
}

void BufferNamePool::release(unsigned name)
{
    GL::glBindBuffer(GL_ARRAY_BUFFER, name);
    GL::glBufferData(GL_ARRAY_BUFFER, 0, nullptr, GL_STATIC_DRAW);
    GL::glBindBuffer(GL_ARRAY_BUFFER, 0);
    _names.insert(name);
}

void BufferNamePool::deleteAll()
{
    // Without the entry point (the extensions were switched off since) the names go with
    // the context.
    if (GL::glDeleteBuffers) {
        for (GLuint name : _names)
            GL::glDeleteBuffers(1, &name);
    }
    _names.clear();
}

} // namespace Vaq::GCAD
