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
    // ARGB32 is B, G, R, A in memory on little-endian machines: read as it is. The view's
    // alpha is opaque where it was drawn; end() leaves it as it was in any case.
    ::glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    ::glPixelStorei(GL_PACK_ALIGNMENT, 4);
    ::glPixelStorei(GL_PACK_ROW_LENGTH, GLint(m_image.bytesPerLine() / 4));
    ::glReadPixels(0, 0, size.width(), size.height(), GL_BGRA, GL_UNSIGNED_BYTE, m_image.bits());
    ::glPopClientAttrib();
    m_image.mirror(); // GL rows run upward
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
    writeBack();
    m_view = nullptr;
}

void GLFigurePainter::writeBack() const
{
    const int w = m_image.width(), h = m_image.height();
    ::glPushAttrib(GL_ALL_ATTRIB_BITS);
    ::glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    ::glMatrixMode(GL_PROJECTION);
    ::glPushMatrix();
    ::glLoadIdentity();
    ::glMatrixMode(GL_MODELVIEW);
    ::glPushMatrix();
    ::glLoadIdentity();

    // The pixels replace the view's colours as they are; its alpha stays.
    ::glViewport(0, 0, w, h);
    ::glDisable(GL_DEPTH_TEST);
    ::glDisable(GL_STENCIL_TEST);
    ::glDisable(GL_BLEND);
    ::glDisable(GL_TEXTURE_2D);
    ::glDisable(GL_CLIP_PLANE0); // a clipped raster position would draw nothing
    ::glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    // The image runs top-down: start at the top edge and step downward.
    ::glRasterPos2d(-1.0, 1.0);
    ::glPixelZoom(1.0f, -1.0f);
    ::glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    ::glPixelStorei(GL_UNPACK_ROW_LENGTH, GLint(m_image.bytesPerLine() / 4));
    ::glDrawPixels(w, h, GL_BGRA, GL_UNSIGNED_BYTE, m_image.constBits());

    ::glMatrixMode(GL_PROJECTION);
    ::glPopMatrix();
    ::glMatrixMode(GL_MODELVIEW);
    ::glPopMatrix();
    ::glPopClientAttrib();
    ::glPopAttrib();
}

} // namespace Vaq::GFigure2
