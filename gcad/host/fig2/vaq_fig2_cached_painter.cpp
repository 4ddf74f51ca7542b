#include "gcad/host/fig2/vaq_fig2_cached_painter.h"

#include "gcad/host/fig2/vaq_fig2_connector_shader.h"
#include "gcad/host/fig2/vaq_fig2_figure.h"
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "gcad/host/fig2/vaq_fig2_sprite_cache.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
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

// Client-side vertex arrays of what one run draws. A connector's vertex also carries the
// whole connector and its half width, for the connector shader.
struct ConnectorVertex
{
    float x, y;
    Color color;
    float line[4];
    float halfWidth;
};
static_assert(sizeof(Color) == 4, "colours are read as four unsigned bytes");
struct TexturedVertex
{
    float x, y, s, t;
};

} // namespace

bool CachedFigurePainter::begin(GL::RenderObject *view, const QRectF &area, Connectors connectors)
{
    if (m_view || !view || view->width() <= 0 || view->height() <= 0 || !(area.width() > 0.0)
        || !(area.height() > 0.0))
        return false;
    m_pixels = QRect(0, 0, view->width(), view->height());
    m_to_device = QTransform::fromScale(m_pixels.width() / area.width(), m_pixels.height() / area.height());
    m_to_device.translate(-area.left(), -area.top());
    m_view = view;
    m_connector_look = connectors;
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
    ::glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT | GL_CLIENT_VERTEX_ARRAY_BIT);
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
    ::glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    ::glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE); // the view's alpha stays

    const Fig2::FillStyle &background = figure.getBackground();
    if (background.isVisible()) {
        useTexture(false);
        ::glColor4ub(background.color.r, background.color.g, background.color.b, background.color.a);
        const QRectF area = toDevice.mapRect(QRectF(QPointF(0.0, 0.0), figure.getSize()));
        ::glRectd(area.left(), area.top(), area.right(), area.bottom());
    }
    // Sprites are painted and uploaded first, then drawn in two runs, since switching between
    // lines and textures costs more than drawing them: connectors lie under all boxes.
    m_sprites.clear();
    m_connectors.clear();
    gather(figure.getRoot(), toDevice);
    // The vertex arrays lie in client memory.
    GLint arrayBuffer = 0;
    ::glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
    if (arrayBuffer != 0)
        GL::glBindBuffer(GL_ARRAY_BUFFER, 0);
    drawConnectors();
    drawSprites();
    if (arrayBuffer != 0)
        GL::glBindBuffer(GL_ARRAY_BUFFER, GLuint(arrayBuffer));

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
// one is drawn solid), one draw call per run of one width. Antialiased, by the connector
// shader where the driver has shaders, else by GL's line smoothing, which llvmpipe shades as
// two triangles per line and so spends half as much again on. (So does a strip of triangles
// fading to transparent beside each line: it shades the blocks of pixels along the line once
// per triangle.) Plain lines cover half as many blocks of pixels as the shader's, which must
// reach a pixel beyond the line on either side, need no program and blend only if translucent.
void CachedFigurePainter::drawConnectors() const
{
    if (m_connectors.empty())
        return;
    std::vector<ConnectorVertex> vertices;
    vertices.reserve(2 * m_connectors.size());
    for (const Connector &c : m_connectors) {
        const float x1 = float(c.line.x1()), y1 = float(c.line.y1()), x2 = float(c.line.x2()),
                    y2 = float(c.line.y2()), halfWidth = float(c.width / 2.0);
        vertices.push_back({ x1, y1, c.color, { x1, y1, x2, y2 }, halfWidth });
        vertices.push_back({ x2, y2, c.color, { x1, y1, x2, y2 }, halfWidth });
    }
    useTexture(false);
    const bool antialiased = m_connector_look == Connectors::ANTIALIASED;
    const bool shaded = antialiased && ConnectorShader::use(m_pixels.height());
    if (shaded) {
        ::glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        GL::glEnableVertexAttribArray(ConnectorShader::LINE_ATTRIBUTE);
        GL::glEnableVertexAttribArray(ConnectorShader::HALF_WIDTH_ATTRIBUTE);
        GL::glVertexAttribPointer(ConnectorShader::LINE_ATTRIBUTE, 4, GL_FLOAT, GL_FALSE,
            sizeof(ConnectorVertex), vertices.front().line);
        GL::glVertexAttribPointer(ConnectorShader::HALF_WIDTH_ATTRIBUTE, 1, GL_FLOAT, GL_FALSE,
            sizeof(ConnectorVertex), &vertices.front().halfWidth);
    } else if (antialiased) {
        ::glEnable(GL_LINE_SMOOTH);
        ::glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    }
    ::glEnableClientState(GL_VERTEX_ARRAY);
    ::glEnableClientState(GL_COLOR_ARRAY);
    ::glVertexPointer(2, GL_FLOAT, sizeof(ConnectorVertex), &vertices.front().x);
    ::glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ConnectorVertex), &vertices.front().color);
    // A run shares its width and, for plain lines, whether it needs blending, which makes them
    // cost llvmpipe a third more.
    const auto opaque = [](const Connector &c) { return c.color.a == 255; };
    for (size_t run = 0; run < m_connectors.size();) {
        const Connector &first = m_connectors[run];
        size_t end = run + 1;
        while (end < m_connectors.size() && m_connectors[end].width == first.width
            && (antialiased || opaque(m_connectors[end]) == opaque(first)))
            ++end;
        if (antialiased) {
            ::glLineWidth(shaded ? ConnectorShader::lineWidth(first.width) : float(first.width));
        } else {
            ::glLineWidth(std::round(float(first.width)));
            if (opaque(first))
                ::glDisable(GL_BLEND);
            else
                ::glEnable(GL_BLEND);
        }
        ::glDrawArrays(GL_LINES, GLint(2 * run), GLsizei(2 * (end - run)));
        run = end;
    }
    ::glEnable(GL_BLEND);
    ::glDisableClientState(GL_COLOR_ARRAY);
    ::glDisableClientState(GL_VERTEX_ARRAY);
    if (shaded) {
        GL::glDisableVertexAttribArray(ConnectorShader::HALF_WIDTH_ATTRIBUTE);
        GL::glDisableVertexAttribArray(ConnectorShader::LINE_ATTRIBUTE);
        ConnectorShader::release();
    } else if (antialiased) {
        ::glDisable(GL_LINE_SMOOTH);
    }
}

// Sprites in paint order, in runs of one texture and one way of drawing: mostly one run for all
// labels, in the atlas. Opaque sprites are copied onto the view where their texture can be read
// as a frame buffer: a copy of rows, where llvmpipe spends several times as much on sampling
// the texture for each pixel of a quad. The others are textured quads, blended unless opaque.
void CachedFigurePainter::drawSprites() const
{
    for (size_t run = 0; run < m_sprites.size();) {
        const SpriteCache::Sprite &first = m_sprites[run];
        size_t end = run + 1;
        while (end < m_sprites.size() && m_sprites[end].texture == first.texture
            && m_sprites[end].opaque == first.opaque)
            ++end;
        if (first.opaque && first.frame_buffer != 0)
            copySprites(run, end);
        else
            drawQuads(run, end);
        run = end;
    }
}

void CachedFigurePainter::copySprites(size_t begin, size_t end) const
{
    GLint readFrameBuffer = 0;
    ::glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFrameBuffer);
    GL::glBindFramebuffer(GL_READ_FRAMEBUFFER, m_sprites[begin].frame_buffer);
    for (size_t i = begin; i < end; ++i) {
        const QRect &from = m_sprites[i].source, &to = m_sprites[i].rect;
        // The view's rows, like the texture's, go bottom-up.
        const int bottom = m_pixels.height() - 1 - to.bottom();
        GL::glBlitFramebuffer(from.left(), from.top(), from.left() + from.width(), from.top() + from.height(),
            to.left(), bottom, to.left() + to.width(), bottom + to.height(), GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    GL::glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(readFrameBuffer));
}

void CachedFigurePainter::drawQuads(size_t begin, size_t end) const
{
    const SpriteCache::Sprite &first = m_sprites[begin];
    const double width = first.texture_size.width(), height = first.texture_size.height();
    std::vector<TexturedVertex> vertices;
    vertices.reserve(4 * (end - begin));
    for (size_t i = begin; i < end; ++i) {
        const QRectF r(m_sprites[i].rect);
        const QRect &t = m_sprites[i].source;
        // The sprite's top row is the source's last.
        const float left = float(t.left() / width), right = float((t.left() + t.width()) / width),
                    top = float((t.top() + t.height()) / height), bottom = float(t.top() / height);
        vertices.push_back({ float(r.left()), float(r.top()), left, top });
        vertices.push_back({ float(r.right()), float(r.top()), right, top });
        vertices.push_back({ float(r.right()), float(r.bottom()), right, bottom });
        vertices.push_back({ float(r.left()), float(r.bottom()), left, bottom });
    }
    useTexture(true);
    if (first.opaque)
        ::glDisable(GL_BLEND);
    ::glBindTexture(GL_TEXTURE_2D, first.texture);
    ::glEnableClientState(GL_VERTEX_ARRAY);
    ::glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    ::glVertexPointer(2, GL_FLOAT, sizeof(TexturedVertex), &vertices.front().x);
    ::glTexCoordPointer(2, GL_FLOAT, sizeof(TexturedVertex), &vertices.front().s);
    ::glDrawArrays(GL_QUADS, 0, GLsizei(vertices.size()));
    ::glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    ::glDisableClientState(GL_VERTEX_ARRAY);
    ::glEnable(GL_BLEND);
}

void CachedFigurePainter::end()
{
    if (!m_view)
        return;
    SpriteCache::shared().endRepaint();
    m_view = nullptr;
}

} // namespace Vaq::GFigure2
