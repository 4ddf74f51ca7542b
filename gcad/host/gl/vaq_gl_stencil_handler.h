// StencilHandlerBase: tells which element covers a pixel of the last repaint. Each element
// drawn gets a small id written into the 8-bit stencil buffer; when the ids run out the
// stencil is resolved into a CPU id image and cleared, so any number of elements can be
// picked exactly. Elements are only stored and compared, never dereferenced. An id names one
// element per tile of the view, so elements whose areas share no tile share ids: the ids run
// out, and the stencil is read back, only where many elements crowd. A resolve reads back and
// clears only the tiles of the view that the round's elements said they may touch.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_vec.h"

#include <QRect>

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace Vaq::CAD {
class Element;
}

namespace Vaq::GL {

class FrameBuffer;

class StencilHandlerBase
{
public:
    // Stencil values 1 to LAST_ELEMENT_ID name elements; NO_ELEMENT_ID marks pixels drawn
    // while no element was set, so that they hide what an earlier round left there.
    static constexpr unsigned LAST_ELEMENT_ID = 254;
    static constexpr unsigned NO_ELEMENT_ID = 255;
    // Default search radius of getNearestRenderedElement, in pixels.
    static constexpr int PICK_RADIUS = 5;

    // frameBuffer: the target whose stencil is read (not owned; outlives the handler).
    explicit StencilHandlerBase(const FrameBuffer *frameBuffer);
    virtual ~StencilHandlerBase();

    // Called by the view at the start of a repaint with the cleared stencil.
    virtual void reset(int width, int height);
    // Called by the view when the repaint is done: no more stencil writes.
    virtual void finish();

    // What is drawn from now on identifies element (null: no element). Re-enables a
    // disabled handler. What is drawn until the next setElement must lie inside area (GL
    // window coordinates; it may be empty); without an area it may touch the whole view.
    void setElement(const CAD::Element *element) { setElement(element, QRect(0, 0, m_width, m_height)); }
    virtual void setElement(const CAD::Element *element, const QRect &area);
    const CAD::Element *getElement() const { return m_element; }
    // What is drawn from now on leaves the stencil as it is, until the next setElement.
    virtual void disable();
    bool isDisabled() const { return m_disabled; }

    // The element at pixel (x, y) in GL window coordinates (origin lower left). With
    // searchAround, a background pixel yields the nearest element within radius pixels.
    virtual const CAD::Element *getNearestRenderedElement(
        const BaVec2d<double> &pixel, bool searchAround = false, int radius = PICK_RADIUS);
    // The pixels of the rectangle spanned by the two corners (inclusive, GL window
    // coordinates): rect receives x0, y0, x1, y1 and elements one entry per pixel, rows
    // from y0 to y1, each from x0 to x1 (null where no element is). A rectangle reaching
    // outside the view is clipped with clipToView, else it fails; it also fails when
    // nothing lies inside or before the first repaint.
    virtual bool getRenderedElements(const BaVec2d<double> &corner1, const BaVec2d<double> &corner2,
        bool clipToView, unsigned rect[4], std::vector<const CAD::Element *> *elements);

    // Blends color (by its alpha) over every pixel element covers so far in this repaint: a
    // translucent highlight that costs a pass over the pixels, not a second drawing of the
    // element. Nothing outside a repaint, for null or for an element not drawn.
    virtual void highlightElement(const CAD::Element *element, const Color &color);

    // Elements given ids since the stencil was last resolved (for tests and statistics).
    unsigned getPendingIds() const { return unsigned(m_round_ids.size()); }
    // How often the ids ran out in the last repaint, and how many stencil pixels its resolves
    // read back.
    unsigned getResolveCount() const { return m_resolve_count; }
    std::size_t getResolvedPixels() const { return m_resolved_pixels; }

    // Side of the square tiles in which touched areas are kept, in pixels.
    static constexpr int TILE = 64;

private:
    void applyStencilFunction() const;
    // The tiles the area covers, clipped to the view: x0, y0, x1, y1 (inclusive); false if none.
    bool tileRange(const QRect &area, int range[4]) const;
    // An id for element that no other element of this round holds in the area's tiles, its
    // earlier one where that is still free there; recorded as the element's in those tiles.
    // 0 when every id is taken somewhere in the area.
    unsigned takeId(const CAD::Element *element, const QRect &area);
    // The element of this round that id names in the tile of pixel (x, y); null if none.
    const CAD::Element *roundElement(unsigned id, int x, int y) const;
    // Forgets which element holds which id (a new round).
    void clearRound();
    void touch(const QRect &area);
    // The touched tiles as few rectangles: runs of tiles in a row, joined with the same run of
    // the rows above; clipped to the view.
    std::vector<QRect> touchedRectangles() const;
    // Moves the touched pixels' ids into the id image and clears them in the stencil.
    void resolve(bool clearStencil);
    void resolvePending();
    const CAD::Element *elementAt(int x, int y) const;

    const FrameBuffer *m_frame_buffer;
    int m_width = 0;
    int m_height = 0;
    bool m_drawing = false;
    bool m_valid = false;
    bool m_disabled = false;
    const CAD::Element *m_element = nullptr;
    QRect m_area; // the current element's
    unsigned m_current_id = 0;
    // This round: each element's latest id; per tile the ids taken (bit id) and the element
    // holding each id (index tile * 256 + id).
    std::unordered_map<const CAD::Element *, unsigned> m_round_ids;
    std::vector<std::array<std::uint64_t, 4>> m_tile_ids;
    std::vector<const CAD::Element *> m_tile_owners;
    // The id image, rows bottom-up. A copy of the handler (a saved frame) shares it; the
    // handler writes to one of its own, the one it used before when the copy has let go of
    // that, so that keeping a frame copies no image.
    using IdImage = std::vector<const CAD::Element *>;
    std::shared_ptr<IdImage> m_id_image = std::make_shared<IdImage>();
    struct Spare // not passed on to copies
    {
        Spare() = default;
        Spare(const Spare &) { }
        Spare &operator=(const Spare &) { return *this; }
        std::shared_ptr<IdImage> image;
    } m_spare;
    IdImage &ownIdImage();
    // Per tile: its pixels in the id image belong to this repaint; the others name no element
    // (a repaint starts without clearing the whole image).
    std::vector<unsigned char> m_resolved;
    int m_tiles_x = 0;
    int m_tiles_y = 0;
    std::vector<unsigned char> m_touched; // per tile, rows bottom-up: written since the last resolve
    unsigned m_resolve_count = 0;
    std::size_t m_resolved_pixels = 0;
};

} // namespace Vaq::GL
