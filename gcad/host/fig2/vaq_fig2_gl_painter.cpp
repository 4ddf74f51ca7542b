#include "gcad/host/fig2/vaq_fig2_gl_painter.h"

#include "gcad/host/fig2/vaq_fig2_figure.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_render_object.h"

namespace Vaq::GFigure2 {

void setFigureTransform(QPainter &painter, const QSize &pixels, const QRectF &area)
{
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.scale(pixels.width() / area.width(), pixels.height() / area.height());
    painter.translate(-area.topLeft());
}

bool GLFigurePainter::begin(GL::RenderObject *view, const QRectF &area)
{
    if (m_view || !view || view->width() <= 0 || view->height() <= 0 || !(area.width() > 0.0)
        || !(area.height() > 0.0))
        return false;
    const QSize size(view->width(), view->height());
    if (m_image.size() != size)
        m_image = QImage(size, QImage::Format_ARGB32_Premultiplied);
    m_image.fill(Qt::transparent);
    m_painter.begin(&m_image);
    setFigureTransform(m_painter, size, area);
    m_view = view;
    return true;
}

void GLFigurePainter::drawFigure(const Fig2::Figure &figure, const QPointF &position, double scale)
{
    if (!m_view)
        return;
    m_painter.save();
    m_painter.translate(position);
    m_painter.scale(scale, scale);
    figure.paint(m_painter);
    m_painter.restore();
}

void GLFigurePainter::end()
{
    if (!m_view)
        return;
    m_painter.end();
    composite();
    m_view = nullptr;
}

void GLFigurePainter::composite() const
{
    const int w = m_image.width(), h = m_image.height();
    ::glPushAttrib(GL_ALL_ATTRIB_BITS);
    ::glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    ::glMatrixMode(GL_PROJECTION);
    ::glPushMatrix();
    ::glLoadIdentity();
    ::glOrtho(0.0, w, 0.0, h, -1.0, 1.0);
    ::glMatrixMode(GL_MODELVIEW);
    ::glPushMatrix();
    ::glLoadIdentity();

    ::glViewport(0, 0, w, h);
    ::glDisable(GL_DEPTH_TEST);
    ::glDisable(GL_STENCIL_TEST);
    ::glDisable(GL_LIGHTING);
    ::glDisable(GL_CULL_FACE);
    ::glDisable(GL_CLIP_PLANE0);
    ::glEnable(GL_BLEND);
    ::glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA); // the image is premultiplied

    // ARGB32 is B, G, R, A in memory on little-endian machines: uploaded as it is.
    GLuint texture = 0;
    ::glGenTextures(1, &texture);
    ::glBindTexture(GL_TEXTURE_2D, texture);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    ::glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    ::glPixelStorei(GL_UNPACK_ROW_LENGTH, GLint(m_image.bytesPerLine() / 4));
    ::glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE, m_image.constBits());
    ::glEnable(GL_TEXTURE_2D);
    ::glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);

    // The image's top row is texture row 0 and belongs at the top of the view (y = h).
    ::glBegin(GL_QUADS);
    ::glTexCoord2d(0.0, 1.0);
    ::glVertex2i(0, 0);
    ::glTexCoord2d(1.0, 1.0);
    ::glVertex2i(w, 0);
    ::glTexCoord2d(1.0, 0.0);
    ::glVertex2i(w, h);
    ::glTexCoord2d(0.0, 0.0);
    ::glVertex2i(0, h);
    ::glEnd();
    ::glDeleteTextures(1, &texture);

    ::glMatrixMode(GL_PROJECTION);
    ::glPopMatrix();
    ::glMatrixMode(GL_MODELVIEW);
    ::glPopMatrix();
    ::glPopClientAttrib();
    ::glPopAttrib();
}

} // namespace Vaq::GFigure2
