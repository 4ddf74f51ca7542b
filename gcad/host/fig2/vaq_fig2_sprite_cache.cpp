// A sprite is looked up by its element and reused when the element's signature is unchanged:
// the device scale, the sprite's rectangle around the element's whole-pixel corner (for lines
// also the corner's fraction of a pixel), and what
// the element's type paints (texts, sizes and offsets within the element in 1/64 device pixels,
// styles and colours). Computing a signature costs a few hundred bytes per element and repaint,
// except for labels, whose revision tells at a glance that nothing changed; painting one is the
// cost of QPainter on an image of the element's size plus its upload.
// Sprites are packed into one atlas texture in shelves (rows of sprites of about one height),
// so that drawing them all is one draw call; places are not reused but the whole atlas starts
// over once it runs full. The atlas holds its rows as the view's colour buffer does, so that
// opaque sprites can be copied from it row by row. Only the bounds of a painted image's visible
// pixels are kept and drawn: the margin left for antialiasing is mostly transparent, and every
// pixel drawn costs the software rasteriser the same blending.
#include "gcad/host/fig2/vaq_fig2_sprite_cache.h"

#include "gcad/host/fig2/vaq_fig2_label.h"
#include "gcad/host/fig2/vaq_fig2_legend.h"
#include "gcad/host/fig2/vaq_fig2_line.h"
#include "gcad/host/fig2/vaq_fig2_text.h"
#include "gcad/host/gl/vaq_gl_context.h"
#include "gcad/host/gl/vaq_gl_extensions.h"

#include <QDataStream>
#include <QIODevice>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace Vaq::GFigure2 {

using Fig2::Element;

namespace {

// Pixels around an element's covered rectangle for antialiasing and hairlines.
constexpr int PAD = 2;
// The atlas's side in pixels, and the step of its shelves' heights.
constexpr int ATLAS = 2048;
constexpr int SHELF_STEP = 8;
// Repaints a sprite may go undrawn before it is let go.
constexpr unsigned KEEP_REPAINTS = 32;
// Device coordinates beyond this are no place for a sprite (and no int overflows).
constexpr double MAX_COORDINATE = 1.0e7;

// Half the width of the frame an element draws around its covered rectangle, in millimetres.
double frameHalfWidth(const Element &element)
{
    if (element.getType() == Element::T_LABEL)
        return static_cast<const Fig2::LabelBase &>(element).getBorder().width / 2.0;
    if (element.getType() == Element::T_LEGEND)
        return static_cast<const Fig2::Legend &>(element).getBorder().width / 2.0;
    return 0.0;
}

// What an element paints, relative to its covered rectangle's corner.
class Signature
{
public:
    Signature(const QTransform &toDevice, const QRect &spriteAtCorner, const QPointF &corner)
        : m_stream(&m_bytes, QIODevice::WriteOnly)
        , m_scale(toDevice.m11())
        , m_corner(corner)
    {
        m_stream << toDevice.m11() << toDevice.m12() << toDevice.m21() << toDevice.m22() << spriteAtCorner;
    }

    QByteArray bytes() const { return m_bytes; }

    // Lengths in 1/64 device pixels, so that rounding in moves does not count.
    void length(double mm) { m_stream << qint64(std::llround(mm * m_scale * 64.0)); }
    void offset(const QPointF &point)
    {
        length(point.x() - m_corner.x());
        length(point.y() - m_corner.y());
    }
    void size(const QSizeF &size)
    {
        length(size.width());
        length(size.height());
    }
    void pixels(const QPointF &p)
    {
        m_stream << qint64(std::llround(p.x() * 64.0)) << qint64(std::llround(p.y() * 64.0));
    }
    void color(const Color &c) { m_stream << c.r << c.g << c.b << c.a; }
    void line(const Fig2::LineStyle &style)
    {
        m_stream << qint32(style.style);
        color(style.color);
        length(style.width);
    }
    void fill(const Fig2::FillStyle &style)
    {
        m_stream << qint32(style.style);
        color(style.color);
    }
    void text(const Fig2::Text &text)
    {
        m_stream << text.getText();
        offset(text.getRect().topLeft());
        size(text.getSize());
    }
    void number(double value) { m_stream << value; }

private:
    QByteArray m_bytes;
    QDataStream m_stream;
    double m_scale;
    QPointF m_corner;
};

// Empty for an element whose looks cannot be told from outside: it is painted every time.
// fraction is where the element's corner lies within its pixel, for sprites that keep it.
QByteArray signatureOf(
    const Element &element, const QTransform &toDevice, const QRect &spriteAtCorner, const QPointF &fraction)
{
    const QPointF corner = element.getCoveredRect().topLeft();
    Signature s(toDevice, spriteAtCorner, corner);
    s.pixels(fraction);
    switch (element.getType()) {
    case Element::T_LABEL: {
        const auto *label = dynamic_cast<const Fig2::Label *>(&element);
        if (!label)
            return {};
        s.line(label->getBorder());
        s.fill(label->getBackground());
        s.size(label->getBoxRect().size());
        s.offset(label->getTextRect().topLeft());
        s.size(label->getTextRect().size());
        s.color(label->getTextColor());
        return s.bytes() + label->getText().toUtf8();
    }
    case Element::T_LINE: {
        const auto &line = static_cast<const Fig2::Line &>(element);
        s.offset(line.getP1());
        s.offset(line.getP2());
        s.line(line.getLineStyle());
        return s.bytes();
    }
    case Element::T_TEXT:
        s.text(static_cast<const Fig2::Text &>(element));
        return s.bytes();
    case Element::T_LEGEND: {
        const auto &legend = static_cast<const Fig2::Legend &>(element);
        s.size(legend.getSize());
        s.line(legend.getBorder());
        for (const Color &c : legend.getColors())
            s.color(c);
        s.number(legend.getMinimum());
        s.number(legend.getMaximum());
        s.offset(legend.getColorBarRect().topLeft());
        s.size(legend.getColorBarRect().size());
        s.text(legend.getTitle());
        for (const auto &tick : legend.getTicks())
            s.text(*tick);
        return s.bytes();
    }
    default:
        return {};
    }
}

// The bounds of the image's pixels that are not fully transparent; empty when there are none.
QRect visibleBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        int left = 0, right = image.width() - 1;
        while (left <= right && qAlpha(row[left]) == 0)
            ++left;
        while (right > left && qAlpha(row[right]) == 0)
            --right;
        if (left <= right)
            bounds |= QRect(left, y, right - left + 1, 1);
    }
    return bounds;
}

// Whether no pixel of the image lets anything beneath show through.
bool isOpaque(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        if (!std::all_of(row, row + image.width(), [](QRgb p) { return qAlpha(p) == 255; }))
            return false;
    }
    return true;
}

// A frame buffer whose colour buffer is the texture, to copy from with blits; 0 where the driver
// has none or cannot read from such a frame buffer.
GLuint readFrameBufferOf(GLuint texture)
{
    if (!GL::glBlitFramebuffer || !GL::GLExtensions::getCapabilities().frameBufferObject)
        return 0;
    GLint bound = 0;
    ::glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &bound);
    GLuint frameBuffer = 0;
    GL::glGenFramebuffers(1, &frameBuffer);
    GL::glBindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer);
    GL::glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    const bool complete = GL::glCheckFramebufferStatus(GL_READ_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    GL::glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(bound));
    if (!complete)
        GL::glDeleteFramebuffers(1, &frameBuffer);
    return complete ? frameBuffer : 0;
}

} // namespace

SpriteCache &SpriteCache::shared()
{
    static SpriteCache cache;
    return cache;
}

bool SpriteCache::getSprite(
    const Element &element, const QTransform &toDevice, const QRect &view, Sprite *sprite)
{
    const QRectF device = toDevice.mapRect(element.getCoveredRect());
    if (!(std::abs(device.left()) < MAX_COORDINATE && std::abs(device.top()) < MAX_COORDINATE
            && device.width() < MAX_COORDINATE && device.height() < MAX_COORDINATE))
        return false;
    // Lines keep their place to the pixel's fraction (a line's ends and edges would move by
    // half a pixel otherwise); everything else moves to the nearest whole pixel.
    const bool keepsFraction = element.getType() == Element::T_LINE;
    const QPoint corner = keepsFraction
        ? QPoint(int(std::floor(device.left())), int(std::floor(device.top())))
        : QPoint(int(std::lround(device.left())), int(std::lround(device.top())));
    if (m_serial != GL::GLContext::getSerial())
        startOver(); // the textures went with their context
    const QPointF fraction = device.topLeft() - QPointF(corner);
    sprite->shift = keepsFraction ? QPointF(0.0, 0.0) : -fraction;
    const int pad = PAD + int(std::ceil(frameHalfWidth(element) * toDevice.m11()));
    const QRect whole(corner - QPoint(pad, pad),
        QSize(int(std::ceil(device.width())) + 2 * pad, int(std::ceil(device.height())) + 2 * pad));
    sprite->rect = whole & view;
    if (sprite->rect.isEmpty())
        return false;

    Entry &entry = m_entries[&element];
    entry.last_repaint = m_repaint;
    // A label whose box did not change since, seen at the same scale and clipping, looks the
    // same: its signature need not be worked out again.
    const QRect spriteAtCorner = sprite->rect.translated(-corner);
    const auto *label
        = element.getType() == Element::T_LABEL ? dynamic_cast<const Fig2::Label *>(&element) : nullptr;
    const Glance glance { label ? label->getRevision() : 0, toDevice.m11(), toDevice.m12(), toDevice.m21(),
        toDevice.m22(), spriteAtCorner };
    if (!label || !entry.glance || *entry.glance != glance) {
        const QByteArray signature
            = signatureOf(element, toDevice, spriteAtCorner, keepsFraction ? fraction : QPointF());
        if (signature.isEmpty() || signature != entry.signature) {
            entry.signature = signature;
            upload(entry, element, toDevice, *sprite);
        }
        entry.glance = label ? std::optional<Glance>(glance) : std::nullopt;
    }
    if (entry.visible.isEmpty())
        return false;
    sprite->rect = entry.visible.translated(sprite->rect.topLeft());
    sprite->opaque = entry.opaque;
    if (entry.slot.isNull()) {
        sprite->texture = entry.texture;
        sprite->texture_size = entry.visible.size();
        sprite->source = QRect(QPoint(0, 0), entry.visible.size());
        sprite->frame_buffer = 0;
    } else {
        sprite->texture = m_atlas;
        sprite->texture_size = QSize(ATLAS, ATLAS);
        sprite->source = entry.slot;
        sprite->frame_buffer = m_atlas_frame_buffer;
    }
    return true;
}

bool SpriteCache::allocate(const QSize &size, QRect *slot)
{
    const int height = (size.height() + SHELF_STEP - 1) / SHELF_STEP * SHELF_STEP;
    if (size.width() > ATLAS)
        return false;
    for (Shelf &shelf : m_shelves) {
        if (shelf.height == height && shelf.filled + size.width() <= ATLAS) {
            *slot = QRect(QPoint(shelf.filled, shelf.top), size);
            shelf.filled += size.width();
            return true;
        }
    }
    const int top = m_shelves.empty() ? 0 : m_shelves.back().top + m_shelves.back().height;
    if (top + height > ATLAS)
        return false;
    m_shelves.push_back({ top, height, size.width() });
    *slot = QRect(QPoint(0, top), size);
    return true;
}

void SpriteCache::startOver()
{
    for (auto &[element, entry] : m_entries) {
        if (entry.texture != 0 && m_serial == GL::GLContext::getSerial())
            ::glDeleteTextures(1, &entry.texture);
    }
    m_entries.clear();
    m_shelves.clear();
    m_atlas_full = false;
    if (m_serial != GL::GLContext::getSerial())
        m_atlas = m_atlas_frame_buffer = 0;
    m_serial = GL::GLContext::getSerial();
}

void SpriteCache::upload(
    Entry &entry, const Element &element, const QTransform &toDevice, const Sprite &sprite)
{
    const QRect &rect = sprite.rect;
    QImage image(rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        painter.setTransform(toDevice
            * QTransform::fromTranslate(sprite.shift.x() - rect.left(), sprite.shift.y() - rect.top()));
        // A label's connector is drawn on its own, since it changes whenever the view turns.
        if (element.getType() == Element::T_LABEL)
            static_cast<const Fig2::LabelBase &>(element).paintBox(painter);
        else
            element.paint(painter);
    }
    ++m_paint_count;
    entry.visible = visibleBounds(image);
    if (entry.visible.isEmpty())
        return;
    // Rows bottom-up, as GL keeps them, and R, G, B, A in memory as in the view's colour
    // buffer: a copy from the atlas onto the view is then a plain copy of rows.
    const QImage painted = image.copy(entry.visible);
    entry.opaque = isOpaque(painted);
    const QImage visible = painted.convertToFormat(QImage::Format_RGBA8888_Premultiplied).mirrored();

    // A sprite keeps its place in the atlas while its size stays; one of a new size moves to a
    // new place, and one the atlas has no room for gets a texture of its own.
    if (entry.slot.size() != visible.size()) {
        QRect slot;
        if (entry.texture == 0 && allocate(visible.size(), &slot)) {
            entry.slot = slot;
        } else {
            m_atlas_full = entry.texture == 0;
            entry.slot = QRect();
        }
    }
    GLuint texture = entry.slot.isNull() ? entry.texture : m_atlas;
    if (texture == 0) {
        ::glGenTextures(1, &texture);
        ::glBindTexture(GL_TEXTURE_2D, texture);
        ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        if (entry.slot.isNull()) {
            entry.texture = texture;
        } else {
            m_atlas = texture;
            ::glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, ATLAS, ATLAS, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
            m_atlas_frame_buffer = readFrameBufferOf(m_atlas);
        }
    } else {
        ::glBindTexture(GL_TEXTURE_2D, texture);
    }
    ::glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    ::glPixelStorei(GL_UNPACK_ROW_LENGTH, GLint(visible.bytesPerLine() / 4));
    if (entry.slot.isNull())
        ::glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, visible.width(), visible.height(), 0, GL_RGBA,
            GL_UNSIGNED_BYTE, visible.constBits());
    else
        ::glTexSubImage2D(GL_TEXTURE_2D, 0, entry.slot.x(), entry.slot.y(), visible.width(), visible.height(),
            GL_RGBA, GL_UNSIGNED_BYTE, visible.constBits());
}

void SpriteCache::endRepaint()
{
    ++m_repaint;
    if (m_atlas_full) {
        startOver();
        return;
    }
    for (auto entry = m_entries.begin(); entry != m_entries.end();) {
        if (m_repaint - entry->second.last_repaint <= KEEP_REPAINTS) {
            ++entry;
            continue;
        }
        // The atlas's place stays used until the atlas starts over.
        if (entry->second.texture != 0 && m_serial == GL::GLContext::getSerial())
            ::glDeleteTextures(1, &entry->second.texture);
        entry = m_entries.erase(entry);
    }
}

} // namespace Vaq::GFigure2
