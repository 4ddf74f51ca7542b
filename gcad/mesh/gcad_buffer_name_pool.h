// BufferNamePool: buffer object names that mesh nodes gave back, kept for reuse. Creating and
// deleting names costs more than dropping a buffer's storage and filling it again later, so
// released names wait here, and the smallest is handed out first. Library-wide; GUI thread,
// with the shared context current.
#pragma once

#include <set>

namespace Vaq::GCAD {

class BufferNamePool
{
public:
    // The smallest pooled name, else a new one from glGenBuffers; 0 when none can be made
    // (no buffer objects).
    static unsigned obtain();
    // Drops the storage of name (a zero-size glBufferData) and pools it. Array and index
    // buffers go through GL_ARRAY_BUFFER alike: a name has no target of its own.
    static void release(unsigned name);
    // Deletes every pooled name (glDeleteBuffers) while the context is still current.
    static void deleteAll();
    static const std::set<unsigned> &getNames() { return _names; }

private:
    static std::set<unsigned> _names;
};

} // namespace Vaq::GCAD
