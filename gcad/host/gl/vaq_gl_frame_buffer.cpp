#include "gcad/host/gl/vaq_gl_frame_buffer.h"

#include "gcad/host/gl/vaq_gl_context.h"
#include "gcad/host/gl/vaq_gl_extensions.h"

namespace Vaq::GL {

FrameBuffer::~FrameBuffer()
{
    release();
}

void FrameBuffer::release()
{
    // Names of a context that is gone must not be deleted on its successor.
    if (m_fbo && m_serial == GLContext::getSerial() && GLContext::tryGetInstance(nullptr)) {
        glDeleteFramebuffers(1, &m_fbo);
        glDeleteRenderbuffers(1, &m_color);
        glDeleteRenderbuffers(1, &m_depth_stencil);
    }
    m_fbo = m_color = m_depth_stencil = 0;
    m_width = m_height = 0;
}

bool FrameBuffer::fits(int width, int height, QString *error)
{
    const Capabilities &caps = GLExtensions::getCapabilities();
    if (!caps.frameBufferObject) {
        *error = QStringLiteral("the driver has no frame buffer objects");
        return false;
    }
    const int maxWidth = qMin(caps.maxRenderbufferSize, caps.maxViewportWidth);
    const int maxHeight = qMin(caps.maxRenderbufferSize, caps.maxViewportHeight);
    if (width <= 0 || height <= 0 || width > maxWidth || height > maxHeight) {
        *error = QStringLiteral("view size %1 x %2 outside 1 x 1 to %3 x %4")
                     .arg(width)
                     .arg(height)
                     .arg(maxWidth)
                     .arg(maxHeight);
        return false;
    }
    return true;
}

bool FrameBuffer::create(int width, int height, QString *error)
{
    if (!fits(width, height, error))
        return false;
    while (::glGetError() != GL_NO_ERROR) { }
    GLuint fbo = 0, color = 0, depthStencil = 0;
    glGenFramebuffers(1, &fbo);
    glGenRenderbuffers(1, &color);
    glGenRenderbuffers(1, &depthStencil);
    glBindRenderbuffer(GL_RENDERBUFFER, color);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, depthStencil);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthStencil);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    const GLenum glError = ::glGetError();
    if (status != GL_FRAMEBUFFER_COMPLETE || glError != GL_NO_ERROR) {
        glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
        glDeleteFramebuffers(1, &fbo);
        glDeleteRenderbuffers(1, &color);
        glDeleteRenderbuffers(1, &depthStencil);
        *error = QStringLiteral("frame buffer of %1 x %2 incomplete (status 0x%3, error 0x%4)")
                     .arg(width)
                     .arg(height)
                     .arg(status, 4, 16, QLatin1Char('0'))
                     .arg(glError, 4, 16, QLatin1Char('0'));
        return false;
    }
    release();
    m_fbo = fbo;
    m_color = color;
    m_depth_stencil = depthStencil;
    m_serial = GLContext::getSerial();
    m_width = width;
    m_height = height;
    return true;
}

void FrameBuffer::bind() const
{
    glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
}

QImage FrameBuffer::readColor() const
{
    QImage image(m_width, m_height, QImage::Format_RGBA8888);
    if (image.isNull())
        return image;
    bind();
    ::glPixelStorei(GL_PACK_ALIGNMENT, 4);
    ::glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    ::glReadPixels(0, 0, m_width, m_height, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    // GL keeps the bottom row first; images are read top-down. Flipped in place: a snapshot's
    // picture is large, and a flipped copy would double it for a moment.
    image.mirror(false, true);
    return image;
}

void FrameBuffer::readColorRows(int rows, QImage *image, int firstRow) const
{
    bind();
    ::glPixelStorei(GL_PACK_ALIGNMENT, 4);
    ::glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    ::glReadPixels(0, 0, m_width, rows, GL_RGBA, GL_UNSIGNED_BYTE, image->scanLine(firstRow));
}

void FrameBuffer::readStencil(const QRect &area, std::vector<unsigned char> *values) const
{
    values->assign(size_t(area.width()) * size_t(area.height()), 0);
    bind();
    ::glPixelStorei(GL_PACK_ALIGNMENT, 1);
    ::glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    ::glReadPixels(
        area.x(), area.y(), area.width(), area.height(), GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, values->data());
    ::glPixelStorei(GL_PACK_ALIGNMENT, 4);
}

bool FrameBuffer::copyTo(const FrameBuffer &target) const
{
    if (!glBlitFramebuffer || !isValid() || !target.isValid() || target.m_width != m_width
        || target.m_height != m_height)
        return false;
    // Blits pass the scissor test and the write masks: both opened for the copy.
    ::glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | GL_SCISSOR_BIT);
    ::glDisable(GL_SCISSOR_TEST);
    ::glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    ::glDepthMask(GL_TRUE);
    ::glStencilMask(0xFF);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_fbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target.m_fbo);
    glBlitFramebuffer(0, 0, m_width, m_height, 0, 0, m_width, m_height,
        GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT, GL_NEAREST);
    ::glPopAttrib();
    target.bind();
    return true;
}

} // namespace Vaq::GL
