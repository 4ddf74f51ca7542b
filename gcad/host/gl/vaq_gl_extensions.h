// Extension entry points and driver capabilities. The pointers live in Vaq::GL (distinct
// from any global prototypes) and are resolved once when a context is made current; a
// pointer is null when the driver lacks its extension or VAQ_GL_DISABLE_EXTENSIONS (a
// comma-separated list of extension names) switches it off, so every fallback can run.
#pragma once

#include "gcad/host/gl/vaq_gl_api.h"

#include <QString>
#include <QStringList>

namespace Vaq::GL {

// Buffer objects (GL_ARB_vertex_buffer_object).
extern PFNGLGENBUFFERSPROC glGenBuffers;
extern PFNGLBINDBUFFERPROC glBindBuffer;
extern PFNGLBUFFERDATAPROC glBufferData;
extern PFNGLBUFFERSUBDATAPROC glBufferSubData;
extern PFNGLMAPBUFFERPROC glMapBuffer;
extern PFNGLUNMAPBUFFERPROC glUnmapBuffer;
extern PFNGLDELETEBUFFERSPROC glDeleteBuffers;
// Multi-draw (GL_EXT_multi_draw_arrays).
extern PFNGLMULTIDRAWELEMENTSPROC glMultiDrawElements;
// Separate blend functions (GL_EXT_blend_func_separate).
extern PFNGLBLENDFUNCSEPARATEPROC glBlendFuncSeparate;
// Occlusion queries (GL_ARB_occlusion_query).
extern PFNGLGENQUERIESARBPROC glGenQueriesARB;
extern PFNGLBEGINQUERYARBPROC glBeginQueryARB;
extern PFNGLENDQUERYARBPROC glEndQueryARB;
extern PFNGLGETQUERYIVARBPROC glGetQueryivARB;
extern PFNGLGETQUERYOBJECTIVARBPROC glGetQueryObjectivARB;
extern PFNGLGETQUERYOBJECTUIVARBPROC glGetQueryObjectuivARB;
extern PFNGLDELETEQUERIESARBPROC glDeleteQueriesARB;
// Frame buffer objects (GL_ARB_framebuffer_object).
extern PFNGLGENFRAMEBUFFERSPROC glGenFramebuffers;
extern PFNGLBINDFRAMEBUFFERPROC glBindFramebuffer;
extern PFNGLDELETEFRAMEBUFFERSPROC glDeleteFramebuffers;
extern PFNGLFRAMEBUFFERRENDERBUFFERPROC glFramebufferRenderbuffer;
extern PFNGLFRAMEBUFFERTEXTURE2DPROC glFramebufferTexture2D;
extern PFNGLCHECKFRAMEBUFFERSTATUSPROC glCheckFramebufferStatus;
extern PFNGLGENRENDERBUFFERSPROC glGenRenderbuffers;
extern PFNGLBINDRENDERBUFFERPROC glBindRenderbuffer;
extern PFNGLRENDERBUFFERSTORAGEPROC glRenderbufferStorage;
extern PFNGLDELETERENDERBUFFERSPROC glDeleteRenderbuffers;
// Copies between frame buffers (part of GL_ARB_framebuffer_object; null: views keep no saved frame).
extern PFNGLBLITFRAMEBUFFERPROC glBlitFramebuffer;
// Multitexturing (GL_ARB_multitexture).
extern PFNGLACTIVETEXTUREARBPROC glActiveTexture;
extern PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTexture;
// Shader programs (OpenGL 2.0, GL_ARB_shading_language_100).
extern PFNGLCREATESHADERPROC glCreateShader;
extern PFNGLSHADERSOURCEPROC glShaderSource;
extern PFNGLCOMPILESHADERPROC glCompileShader;
extern PFNGLDELETESHADERPROC glDeleteShader;
extern PFNGLCREATEPROGRAMPROC glCreateProgram;
extern PFNGLATTACHSHADERPROC glAttachShader;
extern PFNGLBINDATTRIBLOCATIONPROC glBindAttribLocation;
extern PFNGLLINKPROGRAMPROC glLinkProgram;
extern PFNGLGETPROGRAMIVPROC glGetProgramiv;
extern PFNGLDELETEPROGRAMPROC glDeleteProgram;
extern PFNGLUSEPROGRAMPROC glUseProgram;
extern PFNGLGETUNIFORMLOCATIONPROC glGetUniformLocation;
extern PFNGLUNIFORM1FPROC glUniform1f;
extern PFNGLVERTEXATTRIBPOINTERPROC glVertexAttribPointer;
extern PFNGLENABLEVERTEXATTRIBARRAYPROC glEnableVertexAttribArray;
extern PFNGLDISABLEVERTEXATTRIBARRAYPROC glDisableVertexAttribArray;

// What the current context offers, resolved once per context.
struct Capabilities
{
    bool resolved = false;
    bool bufferObjects = false;
    bool multiDraw = false;
    bool blendFuncSeparate = false;
    bool occlusionQuery = false;
    bool frameBufferObject = false;
    bool multitexture = false;
    bool shaders = false;
    int textureUnits = 1;
    int maxTextureSize = 0;
    int maxRenderbufferSize = 0;
    int maxViewportWidth = 0;
    int maxViewportHeight = 0;
    QStringList extensions; // as the driver reports them
    QStringList disabledExtensions; // switched off by VAQ_GL_DISABLE_EXTENSIONS
};

class GLExtensions
{
public:
    // Reads the extension string of the current context, applies
    // VAQ_GL_DISABLE_EXTENSIONS and sets the entry points. Called by the context on
    // creation; calling it again re-reads the environment.
    static void resolve();
    static const Capabilities &getCapabilities() { return _capabilities; }
    // Offered by the driver and not disabled.
    static bool isSupported(const QString &extension);
    static bool isMultitexturingPossible();

private:
    static Capabilities _capabilities;
};

} // namespace Vaq::GL
