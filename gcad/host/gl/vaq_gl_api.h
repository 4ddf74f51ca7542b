// The one include of the system OpenGL headers. Extension prototypes stay hidden, so that
// the entry points resolved at run time (vaq_gl_extensions.h) are the only ones in use.
#pragma once

#undef GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
