#include "gcad/host/gl/vaq_gl_context.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/gl/vaq_gl_extensions.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstring>
#include <memory>

namespace Vaq::GL {

unsigned GLContext::_serial = 0;

namespace {

// The shared context lives until the process ends and is never destroyed: tearing EGL down
// from a static destructor unloads the driver while the process exits, which gains nothing
// and leaves the driver's own memory looking leaked to LeakSanitizer.
std::unique_ptr<GLContext> &sharedContext()
{
    static auto *context = new std::unique_ptr<GLContext>;
    return *context;
}

bool hasExtension(const char *list, const char *name)
{
    if (!list)
        return false;
    const size_t length = std::strlen(name);
    for (const char *p = std::strstr(list, name); p; p = std::strstr(p + 1, name)) {
        if ((p == list || p[-1] == ' ') && (p[length] == ' ' || p[length] == '\0'))
            return true;
    }
    return false;
}

QString eglErrorText()
{
    return QStringLiteral("EGL error 0x%1").arg(eglGetError(), 4, 16, QLatin1Char('0'));
}

} // namespace

GLContext *GLContext::tryGetInstance(QString *error)
{
    std::unique_ptr<GLContext> &context = sharedContext();
    if (!context) {
        std::unique_ptr<GLContext> created(new GLContext);
        QString reason;
        if (!created->create(&reason)) {
            if (error)
                *error = reason;
            return nullptr;
        }
        context = std::move(created);
    }
    if (!context->makeCurrent()) {
        if (error)
            *error = QStringLiteral("cannot make the context current (%1)").arg(eglErrorText());
        return nullptr;
    }
    return context.get();
}

GLContext *GLContext::getInstance()
{
    QString reason;
    GLContext *context = tryGetInstance(&reason);
    if (!context)
        VAQ_PROG_ERROR(
            "Vaq::GL::GLContext::getInstance", QStringLiteral("no OpenGL context: %1").arg(reason));
    return context;
}

bool GLContext::create(QString *error)
{
    EGLDisplay display = EGL_NO_DISPLAY;
    const char *clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
            eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (getPlatformDisplay) {
            display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
            if (display != EGL_NO_DISPLAY && !eglInitialize(display, nullptr, nullptr))
                display = EGL_NO_DISPLAY;
            if (display != EGL_NO_DISPLAY)
                m_platform = QStringLiteral("surfaceless");
        }
    }
    if (display == EGL_NO_DISPLAY) {
        display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
        if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
            *error = QStringLiteral("no EGL display (%1)").arg(eglErrorText());
            return false;
        }
        m_platform = QStringLiteral("default");
    }
    m_display = display;

    const char *displayExtensions = eglQueryString(display, EGL_EXTENSIONS);
    if (!hasExtension(displayExtensions, "EGL_KHR_surfaceless_context")) {
        *error = QStringLiteral("the EGL display cannot make a context current without a surface");
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        *error = QStringLiteral("EGL has no desktop OpenGL (%1)").arg(eglErrorText());
        return false;
    }

    EGLConfig config = EGL_NO_CONFIG_KHR;
    if (!hasExtension(displayExtensions, "EGL_KHR_no_config_context")) {
        const EGLint attributes[] = { EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE };
        EGLint count = 0;
        if (!eglChooseConfig(display, attributes, &config, 1, &count) || count < 1) {
            *error = QStringLiteral("no EGL config for desktop OpenGL (%1)").arg(eglErrorText());
            return false;
        }
    }

    // The renderers use fixed-function GL, so the context must be a compatibility profile;
    // without EGL_KHR_create_context the driver's default is one.
    EGLContext context = EGL_NO_CONTEXT;
    if (hasExtension(displayExtensions, "EGL_KHR_create_context")) {
        const EGLint attributes[] = { EGL_CONTEXT_OPENGL_PROFILE_MASK_KHR,
            EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT_KHR, EGL_NONE };
        context = eglCreateContext(display, config, EGL_NO_CONTEXT, attributes);
    }
    if (context == EGL_NO_CONTEXT)
        context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) {
        *error = QStringLiteral("eglCreateContext failed (%1)").arg(eglErrorText());
        return false;
    }
    m_context = context;
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        *error = QStringLiteral("eglMakeCurrent failed (%1)").arg(eglErrorText());
        return false;
    }
    ++_serial;
    GLExtensions::resolve();
    return true;
}

bool GLContext::makeCurrent()
{
    if (isCurrent())
        return true;
    return eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, m_context);
}

bool GLContext::isCurrent() const
{
    return m_context && eglGetCurrentContext() == m_context;
}

GLContext::~GLContext()
{
    if (m_display != nullptr) {
        eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (m_context)
            eglDestroyContext(m_display, m_context);
        eglTerminate(m_display);
    }
}

} // namespace Vaq::GL
