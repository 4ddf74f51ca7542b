#include "gcad/host/gl/vaq_gl_extensions.h"

#include <EGL/egl.h>

#include <QByteArray>

#include <cstdlib>

namespace Vaq::GL {

PFNGLGENBUFFERSPROC glGenBuffers = nullptr;
PFNGLBINDBUFFERPROC glBindBuffer = nullptr;
PFNGLBUFFERDATAPROC glBufferData = nullptr;
PFNGLBUFFERSUBDATAPROC glBufferSubData = nullptr;
PFNGLMAPBUFFERPROC glMapBuffer = nullptr;
PFNGLUNMAPBUFFERPROC glUnmapBuffer = nullptr;
PFNGLDELETEBUFFERSPROC glDeleteBuffers = nullptr;
PFNGLMULTIDRAWELEMENTSPROC glMultiDrawElements = nullptr;
PFNGLBLENDFUNCSEPARATEPROC glBlendFuncSeparate = nullptr;
PFNGLGENQUERIESARBPROC glGenQueriesARB = nullptr;
PFNGLBEGINQUERYARBPROC glBeginQueryARB = nullptr;
PFNGLENDQUERYARBPROC glEndQueryARB = nullptr;
PFNGLGETQUERYIVARBPROC glGetQueryivARB = nullptr;
PFNGLGETQUERYOBJECTIVARBPROC glGetQueryObjectivARB = nullptr;
PFNGLGETQUERYOBJECTUIVARBPROC glGetQueryObjectuivARB = nullptr;
PFNGLDELETEQUERIESARBPROC glDeleteQueriesARB = nullptr;
PFNGLGENFRAMEBUFFERSPROC glGenFramebuffers = nullptr;
PFNGLBINDFRAMEBUFFERPROC glBindFramebuffer = nullptr;
PFNGLDELETEFRAMEBUFFERSPROC glDeleteFramebuffers = nullptr;
PFNGLFRAMEBUFFERRENDERBUFFERPROC glFramebufferRenderbuffer = nullptr;
PFNGLFRAMEBUFFERTEXTURE2DPROC glFramebufferTexture2D = nullptr;
PFNGLCHECKFRAMEBUFFERSTATUSPROC glCheckFramebufferStatus = nullptr;
PFNGLGENRENDERBUFFERSPROC glGenRenderbuffers = nullptr;
PFNGLBINDRENDERBUFFERPROC glBindRenderbuffer = nullptr;
PFNGLRENDERBUFFERSTORAGEPROC glRenderbufferStorage = nullptr;
PFNGLDELETERENDERBUFFERSPROC glDeleteRenderbuffers = nullptr;
PFNGLBLITFRAMEBUFFERPROC glBlitFramebuffer = nullptr;
PFNGLACTIVETEXTUREARBPROC glActiveTexture = nullptr;
PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTexture = nullptr;
PFNGLCREATESHADERPROC glCreateShader = nullptr;
PFNGLSHADERSOURCEPROC glShaderSource = nullptr;
PFNGLCOMPILESHADERPROC glCompileShader = nullptr;
PFNGLDELETESHADERPROC glDeleteShader = nullptr;
PFNGLCREATEPROGRAMPROC glCreateProgram = nullptr;
PFNGLATTACHSHADERPROC glAttachShader = nullptr;
PFNGLBINDATTRIBLOCATIONPROC glBindAttribLocation = nullptr;
PFNGLLINKPROGRAMPROC glLinkProgram = nullptr;
PFNGLGETPROGRAMIVPROC glGetProgramiv = nullptr;
PFNGLDELETEPROGRAMPROC glDeleteProgram = nullptr;
PFNGLUSEPROGRAMPROC glUseProgram = nullptr;
PFNGLGETUNIFORMLOCATIONPROC glGetUniformLocation = nullptr;
PFNGLUNIFORM1FPROC glUniform1f = nullptr;
PFNGLVERTEXATTRIBPOINTERPROC glVertexAttribPointer = nullptr;
PFNGLENABLEVERTEXATTRIBARRAYPROC glEnableVertexAttribArray = nullptr;
PFNGLDISABLEVERTEXATTRIBARRAYPROC glDisableVertexAttribArray = nullptr;

Capabilities GLExtensions::_capabilities;

namespace {

// The first name the driver resolves: the extension's suffixed name, then the core one.
template<typename Proc>
void load(Proc &pointer, bool available, const char *name, const char *coreName = nullptr)
{
    pointer = nullptr;
    if (!available)
        return;
    pointer = reinterpret_cast<Proc>(eglGetProcAddress(name));
    if (!pointer && coreName)
        pointer = reinterpret_cast<Proc>(eglGetProcAddress(coreName));
}

int glVersionNumber()
{
    // "4.5 (Compatibility Profile) Mesa 22.3.6" -> 45
    const char *text = reinterpret_cast<const char *>(::glGetString(GL_VERSION));
    if (!text)
        return 0;
    int major = 0, minor = 0;
    const char *p = text;
    while (*p >= '0' && *p <= '9')
        major = major * 10 + (*p++ - '0');
    if (*p == '.')
        ++p;
    if (*p >= '0' && *p <= '9')
        minor = *p - '0';
    return major * 10 + minor;
}

} // namespace

void GLExtensions::resolve()
{
    Capabilities caps;
    caps.resolved = true;
    const char *extensionText = reinterpret_cast<const char *>(::glGetString(GL_EXTENSIONS));
    if (extensionText)
        caps.extensions = QString::fromLatin1(extensionText).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QByteArray disabled = qgetenv("VAQ_GL_DISABLE_EXTENSIONS");
    for (const QString &name : QString::fromLatin1(disabled).split(QLatin1Char(','), Qt::SkipEmptyParts))
        caps.disabledExtensions.append(name.trimmed());
    _capabilities = caps;

    const int version = glVersionNumber();
    // An extension counts when the driver lists it or its core version covers it, and it
    // is not disabled; disabling wins so that tests can play an old driver.
    auto offered = [&](const char *extension, int coreVersion) {
        const QString name = QString::fromLatin1(extension);
        if (caps.disabledExtensions.contains(name))
            return false;
        return caps.extensions.contains(name) || (coreVersion > 0 && version >= coreVersion);
    };

    caps.bufferObjects = offered("GL_ARB_vertex_buffer_object", 15);
    load(glGenBuffers, caps.bufferObjects, "glGenBuffersARB", "glGenBuffers");
    load(glBindBuffer, caps.bufferObjects, "glBindBufferARB", "glBindBuffer");
    load(glBufferData, caps.bufferObjects, "glBufferDataARB", "glBufferData");
    load(glBufferSubData, caps.bufferObjects, "glBufferSubDataARB", "glBufferSubData");
    load(glMapBuffer, caps.bufferObjects, "glMapBufferARB", "glMapBuffer");
    load(glUnmapBuffer, caps.bufferObjects, "glUnmapBufferARB", "glUnmapBuffer");
    load(glDeleteBuffers, caps.bufferObjects, "glDeleteBuffersARB", "glDeleteBuffers");
    caps.bufferObjects
        = glGenBuffers && glBindBuffer && glBufferData && glMapBuffer && glUnmapBuffer && glDeleteBuffers;

    caps.multiDraw = offered("GL_EXT_multi_draw_arrays", 14);
    load(glMultiDrawElements, caps.multiDraw, "glMultiDrawElementsEXT", "glMultiDrawElements");
    caps.multiDraw = glMultiDrawElements != nullptr;

    caps.blendFuncSeparate = offered("GL_EXT_blend_func_separate", 14);
    load(glBlendFuncSeparate, caps.blendFuncSeparate, "glBlendFuncSeparateEXT", "glBlendFuncSeparate");
    caps.blendFuncSeparate = glBlendFuncSeparate != nullptr;

    caps.occlusionQuery = offered("GL_ARB_occlusion_query", 0);
    load(glGenQueriesARB, caps.occlusionQuery, "glGenQueriesARB", "glGenQueries");
    load(glBeginQueryARB, caps.occlusionQuery, "glBeginQueryARB", "glBeginQuery");
    load(glEndQueryARB, caps.occlusionQuery, "glEndQueryARB", "glEndQuery");
    load(glGetQueryivARB, caps.occlusionQuery, "glGetQueryivARB", "glGetQueryiv");
    load(glGetQueryObjectivARB, caps.occlusionQuery, "glGetQueryObjectivARB", "glGetQueryObjectiv");
    load(glGetQueryObjectuivARB, caps.occlusionQuery, "glGetQueryObjectuivARB", "glGetQueryObjectuiv");
    load(glDeleteQueriesARB, caps.occlusionQuery, "glDeleteQueriesARB", "glDeleteQueries");
    caps.occlusionQuery = glGenQueriesARB && glBeginQueryARB && glEndQueryARB && glGetQueryivARB
        && glGetQueryObjectivARB && glGetQueryObjectuivARB && glDeleteQueriesARB;

    caps.frameBufferObject = offered("GL_ARB_framebuffer_object", 30);
    load(glGenFramebuffers, caps.frameBufferObject, "glGenFramebuffers");
    load(glBindFramebuffer, caps.frameBufferObject, "glBindFramebuffer");
    load(glDeleteFramebuffers, caps.frameBufferObject, "glDeleteFramebuffers");
    load(glFramebufferRenderbuffer, caps.frameBufferObject, "glFramebufferRenderbuffer");
    load(glFramebufferTexture2D, caps.frameBufferObject, "glFramebufferTexture2D");
    load(glCheckFramebufferStatus, caps.frameBufferObject, "glCheckFramebufferStatus");
    load(glGenRenderbuffers, caps.frameBufferObject, "glGenRenderbuffers");
    load(glBindRenderbuffer, caps.frameBufferObject, "glBindRenderbuffer");
    load(glRenderbufferStorage, caps.frameBufferObject, "glRenderbufferStorage");
    load(glDeleteRenderbuffers, caps.frameBufferObject, "glDeleteRenderbuffers");
    caps.frameBufferObject = glGenFramebuffers && glBindFramebuffer && glDeleteFramebuffers
        && glFramebufferRenderbuffer && glFramebufferTexture2D && glCheckFramebufferStatus
        && glGenRenderbuffers && glBindRenderbuffer && glRenderbufferStorage && glDeleteRenderbuffers;
    load(glBlitFramebuffer, caps.frameBufferObject, "glBlitFramebuffer");

    caps.multitexture = offered("GL_ARB_multitexture", 13);
    load(glActiveTexture, caps.multitexture, "glActiveTextureARB", "glActiveTexture");
    load(glClientActiveTexture, caps.multitexture, "glClientActiveTextureARB", "glClientActiveTexture");
    caps.multitexture = glActiveTexture && glClientActiveTexture;

    // The core names only: the ARB objects' entry points take other handle types.
    caps.shaders = offered("GL_ARB_shading_language_100", 20);
    load(glCreateShader, caps.shaders, "glCreateShader");
    load(glShaderSource, caps.shaders, "glShaderSource");
    load(glCompileShader, caps.shaders, "glCompileShader");
    load(glDeleteShader, caps.shaders, "glDeleteShader");
    load(glCreateProgram, caps.shaders, "glCreateProgram");
    load(glAttachShader, caps.shaders, "glAttachShader");
    load(glBindAttribLocation, caps.shaders, "glBindAttribLocation");
    load(glLinkProgram, caps.shaders, "glLinkProgram");
    load(glGetProgramiv, caps.shaders, "glGetProgramiv");
    load(glDeleteProgram, caps.shaders, "glDeleteProgram");
    load(glUseProgram, caps.shaders, "glUseProgram");
    load(glGetUniformLocation, caps.shaders, "glGetUniformLocation");
    load(glUniform1f, caps.shaders, "glUniform1f");
    load(glVertexAttribPointer, caps.shaders, "glVertexAttribPointer");
    load(glEnableVertexAttribArray, caps.shaders, "glEnableVertexAttribArray");
    load(glDisableVertexAttribArray, caps.shaders, "glDisableVertexAttribArray");
    caps.shaders = glCreateShader && glShaderSource && glCompileShader && glDeleteShader && glCreateProgram
        && glAttachShader && glBindAttribLocation && glLinkProgram && glGetProgramiv && glDeleteProgram
        && glUseProgram && glGetUniformLocation && glUniform1f && glVertexAttribPointer
        && glEnableVertexAttribArray && glDisableVertexAttribArray;

    GLint value = 0;
    if (caps.multitexture) {
        ::glGetIntegerv(GL_MAX_TEXTURE_UNITS, &value);
        caps.textureUnits = value > 0 ? value : 1;
    }
    value = 0;
    ::glGetIntegerv(GL_MAX_TEXTURE_SIZE, &value);
    caps.maxTextureSize = value;
    value = 0;
    if (caps.frameBufferObject)
        ::glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &value);
    caps.maxRenderbufferSize = value;
    GLint dims[2] = { 0, 0 };
    ::glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
    caps.maxViewportWidth = dims[0];
    caps.maxViewportHeight = dims[1];
    // Errors of queries the driver does not know must not leak into the caller's checks.
    while (::glGetError() != GL_NO_ERROR) { }
    _capabilities = caps;
}

bool GLExtensions::isSupported(const QString &extension)
{
    return _capabilities.extensions.contains(extension)
        && !_capabilities.disabledExtensions.contains(extension);
}

bool GLExtensions::isMultitexturingPossible()
{
    return _capabilities.multitexture && _capabilities.textureUnits >= 2;
}

} // namespace Vaq::GL
