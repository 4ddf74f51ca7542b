#include "gcad/host/gl/vaq_gl_widget_options.h"

#include "gcad/host/base/vaq_trace.h"
#include "gcad/host/gl/vaq_gl_context.h"
#include "gcad/host/gl/vaq_gl_extensions.h"

#include <QRegularExpression>

#include <cstdlib>

namespace Vaq::GL {

const char *const CFG_SOFTWARE_RENDERING = "OpenGL/SoftwareRendering";
const char *const CFG_GL_OFFSCREEN_RENDERING = "OpenGL/OffscreenRendering";
const char *const CFG_USE_MESH_OCCLUSION_QUERY = "OpenGL/UseMeshOcclusionQuery";

#ifndef GL_GPU_MEMORY_INFO_TOTAL_AVAILABLE_MEMORY_NVX
#define GL_GPU_MEMORY_INFO_TOTAL_AVAILABLE_MEMORY_NVX 0x9048
#endif
#ifndef GL_TEXTURE_FREE_MEMORY_ATI
#define GL_TEXTURE_FREE_MEMORY_ATI 0x87FC
#endif

namespace {
constexpr unsigned _default_memory_mb = 1024;
constexpr int _largest_snapshot = 4096;

QString glString(GLenum name)
{
    const char *text = reinterpret_cast<const char *>(::glGetString(name));
    return text ? QString::fromLatin1(text) : QString();
}
} // namespace

WidgetOptions *WidgetOptions::getInstance()
{
    static WidgetOptions instance;
    return &instance;
}

const WidgetOptions::Options &WidgetOptions::getWidgetOptions(bool update)
{
    if (update || !m_read)
        updateWidgetOptions();
    return m_options;
}

bool WidgetOptions::isOffscreenRenderingEnabled()
{
    return getCurrentWidgetOptions().offscreenMode != OM_OFF;
}

void WidgetOptions::setSoftwareRenderingSetting(int value)
{
    m_software_setting = value;
    // Mesa picks its software rasteriser for contexts made after this.
    if (value == 2)
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
}

void WidgetOptions::setOffscreenRenderingSetting(int value)
{
    m_offscreen_setting = value;
    m_read = false;
}

void WidgetOptions::setSnapshotSizeSetting(int pixels)
{
    m_snapshot_setting = qMax(0, pixels);
    m_read = false;
}

bool WidgetOptions::isSoftwareRenderer(const QString &renderer)
{
    static const QRegularExpression software(
        QStringLiteral("llvmpipe|softpipe|swrast"), QRegularExpression::CaseInsensitiveOption);
    return renderer.contains(software);
}

QString WidgetOptions::driverVersionFromGLVersion(const QString &glVersion)
{
    // Vendors append their driver name and version after the GL version number and an
    // optional profile in parentheses.
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*[0-9]+(?:\\.[0-9]+)*\\s*(?:\\([^)]*\\))?\\s*(.*?)\\s*$"));
    const QRegularExpressionMatch match = pattern.match(glVersion);
    const QString rest = match.hasMatch() ? match.captured(1) : glVersion.trimmed();
    return rest.isEmpty() ? glVersion.trimmed() : rest;
}

void WidgetOptions::updateWidgetOptions()
{
    Options options;
    m_read = true;
    QString error;
    if (!GLContext::tryGetInstance(&error)) {
        options.error = error;
        m_options = options;
        VAQ_TRACE("Vaq::GL::WidgetOptions::updateWidgetOptions",
            QStringLiteral("no OpenGL context: %1").arg(error));
        return;
    }
    const Capabilities &caps = GLExtensions::getCapabilities();
    options.valid = true;
    options.vendor = glString(GL_VENDOR);
    options.renderer = glString(GL_RENDERER);
    options.glVersion = glString(GL_VERSION);
    options.driverVersion = driverVersionFromGLVersion(options.glVersion);
    options.softwareRendering = isSoftwareRenderer(options.renderer) || m_software_setting == 2;
    // VAQ_GL_SOFTWARE_RENDERING (0 or 1) overrides that, so that tests and benchmarks can take
    // the hardware paths (occlusion queries, hardware defaults) on a software rasteriser.
    const QString softwareOverride = qEnvironmentVariable("VAQ_GL_SOFTWARE_RENDERING");
    if (softwareOverride == QLatin1String("0") || softwareOverride == QLatin1String("1"))
        options.softwareRendering = softwareOverride == QLatin1String("1");
    options.offscreenMode
        = (caps.frameBufferObject && m_offscreen_setting != 1) ? OM_FRAME_BUFFER_OBJECT : OM_OFF;

    GLint kilobytes[4] = { 0, 0, 0, 0 };
    if (GLExtensions::isSupported(QStringLiteral("GL_NVX_gpu_memory_info"))) {
        ::glGetIntegerv(GL_GPU_MEMORY_INFO_TOTAL_AVAILABLE_MEMORY_NVX, kilobytes);
        options.memoryMB = unsigned(kilobytes[0] / 1024);
    } else if (GLExtensions::isSupported(QStringLiteral("GL_ATI_meminfo"))) {
        // Free texture memory: the best an ATI driver tells.
        ::glGetIntegerv(GL_TEXTURE_FREE_MEMORY_ATI, kilobytes);
        options.memoryMB = unsigned(kilobytes[0] / 1024);
    }
    while (::glGetError() != GL_NO_ERROR) { }
    if (options.memoryMB == 0) {
        bool ok = false;
        const unsigned fromEnvironment = qEnvironmentVariable("VAQ_GL_MEMORY_MB").toUInt(&ok);
        options.memoryMB = (ok && fromEnvironment > 0) ? fromEnvironment : _default_memory_mb;
    }

    bool ok = false;
    const int mode = qEnvironmentVariable("VAQ_GL_RENDER_MODE").toInt(&ok);
    if (ok && mode >= RM_DEFAULT && mode <= RM_IMMEDIATE)
        options.renderMode = mode;
    else if (qEnvironmentVariableIsSet("VAQ_GL_RENDER_MODE"))
        VAQ_TRACE("Vaq::GL::WidgetOptions::updateWidgetOptions",
            QStringLiteral("VAQ_GL_RENDER_MODE must be 0 to 4; using 0"));

    // A snapshot needs one frame buffer of its size, so the driver's limits cap it.
    const int limit = qMin(caps.maxRenderbufferSize, qMin(caps.maxViewportWidth, caps.maxViewportHeight));
    const int snapshotSize = m_snapshot_setting > 0 ? m_snapshot_setting : qMin(limit, _largest_snapshot);
    options.snapshotSize = options.offscreenMode == OM_OFF ? 0 : snapshotSize;
    m_options = options;
}

} // namespace Vaq::GL
