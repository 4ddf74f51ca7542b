// SpriteCache: what single figure elements look like on the device, painted once into an image
// with QPainter and kept as a GL texture, so that a repaint that only moves them blends the
// textures instead of painting the text again. A sprite is kept while the element paints the
// same thing (its text, sizes, styles and colours, at the same device scale); moving it does not
// count, since each sprite is painted with its element's corner at a whole device pixel (a line
// keeps its fraction of a pixel and is painted again when that changes).
#pragma once

#include "gcad/host/gl/vaq_gl_api.h"

#include <QByteArray>
#include <QPointF>
#include <QRect>
#include <QTransform>

#include <optional>
#include <unordered_map>
#include <vector>

namespace Vaq::Fig2 {
class Element;
}

namespace Vaq::GFigure2 {

class SpriteCache
{
public:
    // Where a sprite goes: the pixels source of its texture (premultiplied alpha, rows
    // bottom-up as a GL frame buffer keeps them) cover rect, in device pixels (rows top-down),
    // the element's visible pixels without the transparent ones around them; shift moved the
    // element onto whole pixels there. Most sprites share one atlas texture, so that they can be
    // drawn together. An opaque sprite has no pixel that lets anything beneath show through;
    // where frame_buffer is set (a frame buffer whose colour buffer is the texture), it can be
    // copied from there onto the view.
    struct Sprite
    {
        GLuint texture = 0;
        QSize texture_size;
        QRect source;
        QRect rect;
        QPointF shift;
        bool opaque = false;
        GLuint frame_buffer = 0;
    };

    // The cache of the process's shared GL context.
    static SpriteCache &shared();

    // The sprite of a group-less element as toDevice (figure millimetres to device pixels) puts
    // it, clipped to the view's pixels; painted and uploaded unless the element looked the same
    // when last asked. A label's sprite holds its box, not its connector. False when nothing
    // of it lies in the view or it paints nothing there; shift is set all the same unless the
    // element lies at no finite place. Needs the shared context current; binds the texture and
    // changes the unpack settings.
    bool getSprite(
        const Fig2::Element &element, const QTransform &toDevice, const QRect &view, Sprite *sprite);
    // Closes a repaint: sprites of elements not drawn for a while are let go, and when the atlas
    // ran full, it starts over (its sprites are painted again as they are drawn).
    void endRepaint();

    // How many sprites were painted so far (a repaint that only moved its elements paints none).
    unsigned long getPaintCount() const { return m_paint_count; }

private:
    // What tells at a glance that a label looks as it did: its revision, the device scale and
    // its sprite's rectangle around its corner.
    struct Glance
    {
        unsigned long revision;
        double m11, m12, m21, m22;
        QRect sprite_at_corner;

        bool operator!=(const Glance &o) const
        {
            return revision != o.revision || m11 != o.m11 || m12 != o.m12 || m21 != o.m21 || m22 != o.m22
                || sprite_at_corner != o.sprite_at_corner;
        }
    };
    struct Entry
    {
        QByteArray signature;
        std::optional<Glance> glance; // of a label, when its signature was last worked out
        QRect visible; // the painted pixels not fully transparent, in the painted image
        bool opaque = false; // every visible pixel fully opaque
        QRect slot; // in the atlas, holding the visible pixels; null for a sprite of its own texture
        GLuint texture = 0; // its own, for a sprite the atlas had no room for
        unsigned last_repaint = 0;
    };
    // A row of the atlas holding sprites up to its height, filled from the left.
    struct Shelf
    {
        int top, height, filled;
    };

    SpriteCache() = default;
    void upload(Entry &entry, const Fig2::Element &element, const QTransform &toDevice, const Sprite &sprite);
    // A free place of the atlas for a sprite of the size; false when there is none.
    bool allocate(const QSize &size, QRect *slot);
    void startOver();

    std::unordered_map<const Fig2::Element *, Entry> m_entries;
    GLuint m_atlas = 0;
    GLuint m_atlas_frame_buffer = 0; // 0 where the driver cannot copy from it
    unsigned m_serial = 0; // the context's, when the textures were made
    std::vector<Shelf> m_shelves;
    bool m_atlas_full = false;
    unsigned m_repaint = 0;
    unsigned long m_paint_count = 0;
};

} // namespace Vaq::GFigure2
