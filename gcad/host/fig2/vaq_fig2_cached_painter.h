// CachedFigurePainter: paints figures over a GL view during its repaint, fast enough for views
// that move. Each element is a sprite of the shared SpriteCache at whole device pixels, copied
// onto the view where it is opaque, else blended over it as a textured quad; a label's
// connector, which changes as the view turns, is drawn as a GL line under all boxes,
// antialiased unless the view is moving. Painting text again is left to elements that changed.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/fig2/vaq_fig2_sprite_cache.h"

#include <QLineF>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QTransform>

#include <vector>

namespace Vaq::GL {
class RenderObject;
}
namespace Vaq::Fig2 {
class Element;
class Figure;
} // namespace Vaq::Fig2

namespace Vaq::GFigure2 {

class CachedFigurePainter
{
public:
    // How connectors look: antialiased as QPainter draws them, or plain lines of whole pixels,
    // which cost the software rasteriser half as much, for a view that is moving.
    enum class Connectors { ANTIALIASED, PLAIN };

    // Starts painting over the view, whose context must be current with its frame buffer bound
    // (inside its repaint). area, in figure millimetres, covers the whole view. False (and
    // nothing painted) for an empty view or area, or while already painting.
    bool begin(GL::RenderObject *view, const QRectF &area, Connectors connectors = Connectors::ANTIALIASED);
    bool isActive() const { return m_view != nullptr; }

    // Paints the figure with its origin at position (millimetres of the area) and every size
    // multiplied by scale. Each element lands within half a pixel of its place, with its
    // covered rectangle's corner on a whole pixel. The GL state is left as it was.
    void drawFigure(const Fig2::Figure &figure, const QPointF &position, double scale);

    // Ends painting; sprites of elements that were not drawn for a while are let go.
    void end();

private:
    // A label's connector in device pixels.
    struct Connector
    {
        QLineF line;
        double width;
        Color color;
    };

    // Collects the sprites and connectors of the element and its children in paint order.
    void gather(const Fig2::Element &element, const QTransform &toDevice);
    void drawConnectors() const;
    void drawSprites() const;
    // The sprites [begin, end), of one texture and opacity, copied onto the view or drawn as
    // textured quads.
    void copySprites(size_t begin, size_t end) const;
    void drawQuads(size_t begin, size_t end) const;

    GL::RenderObject *m_view = nullptr;
    Connectors m_connector_look = Connectors::ANTIALIASED;
    QRect m_pixels;
    QTransform m_to_device;
    std::vector<SpriteCache::Sprite> m_sprites;
    std::vector<Connector> m_connectors;
};

} // namespace Vaq::GFigure2
