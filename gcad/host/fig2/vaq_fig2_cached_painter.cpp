#include "gcad/host/fig2/vaq_fig2_cached_painter.h"

#include "gcad/host/fig2/vaq_fig2_figure.h"
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "gcad/host/fig2/vaq_fig2_sprite_cache.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_render_object.h"

#include <algorithm>
#include <cmath>

namespace Vaq::GFigure2 {

namespace {

// Untextured drawing blends colours with alpha; sprites hold premultiplied colours.
void useTexture(bool on)
{
    if (on) {
        ::glEnable(GL_TEXTURE_2D);
        ::glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        ::glDisable(GL_TEXTURE_2D);
        ::glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
}

void setColor(const Color &color)
{
    ::glColor4ub(color.r, color.g, color.b, color.a);
}

// The corners of a quad inside glBegin(GL_QUADS), with the part source of the texture if any.
void quadVertices(const QRectF &rect, const QRectF *source)
{
    const QPointF corners[4] = { rect.topLeft(), rect.topRight(), rect.bottomRight(), rect.bottomLeft() };
    const QPointF texels[4]
        = { source ? source->topLeft() : QPointF(), source ? source->topRight() : QPointF(),
              source ? source->bottomRight() : QPointF(), source ? source->bottomLeft() : QPointF() };
    for (int i = 0; i < 4; ++i) {
        if (source)
            ::glTexCoord2d(texels[i].x(), texels[i].y());
        ::glVertex2d(corners[i].x(), corners[i].y());
    }
}

} // namespace

bool CachedFigurePainter::begin(GL::RenderObject *view, const QRectF &area)
{
    if (m_view || !view || view->width() <= 0 || view->height() <= 0 || !(area.width() > 0.0)
        || !(area.height() > 0.0))
        return false;
    m_pixels = QRect(0, 0, view->width(), view->height());
    m_to_device = QTransform::fromScale(m_pixels.width() / area.width(), m_pixels.height() / area.height());
    m_to_device.translate(-area.left(), -area.top());
    m_view = view;
    return true;
}

void CachedFigurePainter::drawFigure(const Fig2::Figure &figure, const QPointF &position, double scale)
{
    if (!m_view || !(scale > 0.0))
        return;
    QTransform toDevice = m_to_device;
    toDevice.translate(position.x(), position.y());
    toDevice.scale(scale, scale);

    ::glPushAttrib(GL_ALL_ATTRIB_BITS);
    ::glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    ::glMatrixMode(GL_PROJECTION);
    ::glPushMatrix();
    ::glLoadIdentity();
    // Device pixels, y downward from the top edge as QPainter counts them.
    ::glOrtho(0.0, m_pixels.width(), m_pixels.height(), 0.0, -1.0, 1.0);
    ::glMatrixMode(GL_MODELVIEW);
    ::glPushMatrix();
    ::glLoadIdentity();

    ::glViewport(0, 0, m_pixels.width(), m_pixels.height());
    for (const GLenum capability : { GL_DEPTH_TEST, GL_STENCIL_TEST, GL_LIGHTING, GL_CULL_FACE, GL_ALPHA_TEST,
             GL_FOG, GL_COLOR_MATERIAL, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_CLIP_PLANE0, GL_CLIP_PLANE1,
             GL_CLIP_PLANE2, GL_CLIP_PLANE3, GL_CLIP_PLANE4, GL_CLIP_PLANE5 })
        ::glDisable(capability);
    ::glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    ::glEnable(GL_BLEND);
    ::glEnable(GL_LINE_SMOOTH);
    ::glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    ::glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    ::glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE); // the view's alpha stays

    const Fig2::FillStyle &background = figure.getBackground();
    if (background.isVisible()) {
        useTexture(false);
        setColor(background.color);
        ::glBegin(GL_QUADS);
        quadVertices(toDevice.mapRect(QRectF(QPointF(0.0, 0.0), figure.getSize())), nullptr);
        ::glEnd();
    }
    // Sprites are painted and uploaded first, then drawn in two runs, since switching between
    // lines and textures costs more than drawing them: connectors lie under all boxes.
    m_sprites.clear();
    m_connectors.clear();
    gather(figure.getRoot(), toDevice);
    drawConnectors();
    drawSprites();

    ::glMatrixMode(GL_PROJECTION);
    ::glPopMatrix();
    ::glMatrixMode(GL_MODELVIEW);
    ::glPopMatrix();
    ::glPopClientAttrib();
    ::glPopAttrib();
}

void CachedFigurePainter::gather(const Fig2::Element &element, const QTransform &toDevice)
{
    if (element.isTemporarilyInvisible())
        return;
    if (element.getType() == Fig2::Element::T_GROUP) {
        for (const Fig2::Element *child : static_cast<const Fig2::Group &>(element).getChildren())
            gather(*child, toDevice);
        return;
    }
    SpriteCache::Sprite sprite;
    if (SpriteCache::shared().getSprite(element, toDevice, m_pixels, &sprite))
        m_sprites.push_back(sprite);
    if (element.getType() != Fig2::Element::T_LABEL)
        return;
    const auto &label = static_cast<const Fig2::LabelBase &>(element);
    const QLineF connector = label.getConnector();
    const Fig2::LineStyle &style = label.getConnectorStyle();
    if (connector.isNull() || !style.isVisible())
        return;
    // It starts at the box, wherever that was moved to, and ends at its point as it is.
    const QLineF device(toDevice.map(connector.p1()) + sprite.shift, toDevice.map(connector.p2()));
    if (std::isfinite(device.x1() + device.y1() + device.x2() + device.y2()))
        m_connectors.push_back({ device, std::max(1.0, style.width * toDevice.m11()), style.color });
}

// Connectors as QPainter draws them, flat-capped lines at least a device pixel wide (a dashed
// one is drawn solid), in runs of one width.
void CachedFigurePainter::drawConnectors() const
{
    useTexture(false);
    for (size_t run = 0; run < m_connectors.size();) {
        const double width = m_connectors[run].width;
        ::glLineWidth(float(width));
        ::glBegin(GL_LINES);
        for (; run < m_connectors.size() && m_connectors[run].width == width; ++run) {
            const Connector &c = m_connectors[run];
            setColor(c.color);
            ::glVertex2d(c.line.x1(), c.line.y1());
            ::glVertex2d(c.line.x2(), c.line.y2());
        }
        ::glEnd();
    }
}

void CachedFigurePainter::drawSprites() const
{
    // One draw call per run of sprites in one texture: mostly one for all, in the atlas.
    useTexture(true);
    for (size_t run = 0; run < m_sprites.size();) {
        const GLuint texture = m_sprites[run].texture;
        ::glBindTexture(GL_TEXTURE_2D, texture);
        ::glBegin(GL_QUADS);
        for (; run < m_sprites.size() && m_sprites[run].texture == texture; ++run)
            quadVertices(m_sprites[run].rect, &m_sprites[run].source);
        ::glEnd();
    }
}

void CachedFigurePainter::end()
{
    if (!m_view)
        return;
    SpriteCache::shared().endRepaint();
    m_view = nullptr;
}

} // namespace Vaq::GFigure2
