#include "gcad/host/gl/vaq_gl_stencil_handler.h"

#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_context.h"
#include "gcad/host/gl/vaq_gl_frame_buffer.h"

#include <QRect>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace Vaq::GL {

StencilHandlerBase::StencilHandlerBase(const FrameBuffer *frameBuffer)
    : m_frame_buffer(frameBuffer)
{
}

StencilHandlerBase::~StencilHandlerBase() = default;

void StencilHandlerBase::reset(int width, int height)
{
    m_width = width;
    m_height = height;
    if (m_id_image.use_count() > 1) { // shared with a saved frame: take the spare if it is free
        std::swap(m_id_image, m_spare.image);
        if (!m_id_image || m_id_image.use_count() > 1)
            m_id_image = std::make_shared<IdImage>();
    }
    m_id_image->resize(size_t(std::max(width, 0)) * size_t(std::max(height, 0)));
    m_tiles_x = (std::max(width, 0) + TILE - 1) / TILE;
    m_tiles_y = (std::max(height, 0) + TILE - 1) / TILE;
    const size_t tiles = size_t(m_tiles_x) * size_t(m_tiles_y);
    m_touched.assign(tiles, 0);
    m_resolved.assign(tiles, 0);
    m_round_ids.clear();
    m_tile_ids.assign(tiles, {});
    m_tile_owners.assign(tiles * 256, nullptr);
    m_element = nullptr;
    m_area = QRect(0, 0, width, height);
    m_current_id = NO_ELEMENT_ID;
    m_disabled = false;
    m_drawing = true;
    m_valid = true;
    m_resolve_count = 0;
    m_resolved_pixels = 0;
    applyStencilFunction();
}

void StencilHandlerBase::finish()
{
    if (m_drawing)
        ::glStencilMask(0xFF);
    m_drawing = false;
}

void StencilHandlerBase::applyStencilFunction() const
{
    if (!m_drawing)
        return;
    ::glStencilMask(m_disabled ? 0x00 : 0xFF);
    ::glStencilFunc(GL_ALWAYS, GLint(m_current_id), 0xFF);
}

void StencilHandlerBase::setElement(const CAD::Element *element, const QRect &area)
{
    m_element = element;
    m_area = area;
    m_disabled = false;
    if (!element) {
        m_current_id = NO_ELEMENT_ID;
    } else {
        m_current_id = takeId(element, area);
        if (m_current_id == 0) {
            if (m_drawing)
                resolve(true);
            else
                clearRound();
            m_current_id = takeId(element, area);
        }
    }
    if (m_drawing)
        touch(area);
    applyStencilFunction();
}

bool StencilHandlerBase::tileRange(const QRect &area, int range[4]) const
{
    const QRect inside = area.intersected(QRect(0, 0, m_width, m_height));
    if (inside.isEmpty())
        return false;
    range[0] = inside.left() / TILE;
    range[1] = inside.top() / TILE;
    range[2] = inside.right() / TILE;
    range[3] = inside.bottom() / TILE;
    return true;
}

unsigned StencilHandlerBase::takeId(const CAD::Element *element, const QRect &area)
{
    const auto known = m_round_ids.find(element);
    int range[4];
    if (!tileRange(area, range)) // draws nothing: any id will do
        return known != m_round_ids.end() ? known->second : 1u;
    const auto tile = [&](int tx, int ty) { return size_t(ty) * size_t(m_tiles_x) + size_t(tx); };
    const auto freeFor = [&](unsigned id) {
        for (int ty = range[1]; ty <= range[3]; ++ty)
            for (int tx = range[0]; tx <= range[2]; ++tx) {
                const CAD::Element *owner = m_tile_owners[tile(tx, ty) * 256 + id];
                if (owner && owner != element)
                    return false;
            }
        return true;
    };
    unsigned id = 0;
    if (known != m_round_ids.end() && freeFor(known->second)) {
        id = known->second;
    } else {
        std::array<std::uint64_t, 4> taken = { 1u, 0u, 0u, 0u }; // 0 means "no element drawn"
        for (int ty = range[1]; ty <= range[3]; ++ty)
            for (int tx = range[0]; tx <= range[2]; ++tx)
                for (int w = 0; w < 4; ++w)
                    taken[size_t(w)] |= m_tile_ids[tile(tx, ty)][size_t(w)];
        for (unsigned w = 0; w < 4 && id == 0; ++w)
            if (const std::uint64_t free = ~taken[w])
                id = 64 * w + unsigned(std::countr_zero(free));
        if (id == 0 || id > LAST_ELEMENT_ID)
            return 0;
    }
    for (int ty = range[1]; ty <= range[3]; ++ty)
        for (int tx = range[0]; tx <= range[2]; ++tx) {
            m_tile_ids[tile(tx, ty)][id / 64] |= std::uint64_t(1) << (id % 64);
            m_tile_owners[tile(tx, ty) * 256 + id] = element;
        }
    m_round_ids[element] = id;
    return id;
}

const CAD::Element *StencilHandlerBase::roundElement(unsigned id, int x, int y) const
{
    const size_t tile = size_t(y / TILE) * size_t(m_tiles_x) + size_t(x / TILE);
    return tile < m_tile_ids.size() ? m_tile_owners[tile * 256 + id] : nullptr;
}

void StencilHandlerBase::clearRound()
{
    if (m_round_ids.empty())
        return;
    for (size_t tile = 0; tile < m_tile_ids.size(); ++tile) {
        std::array<std::uint64_t, 4> &ids = m_tile_ids[tile];
        if (ids == std::array<std::uint64_t, 4> {})
            continue;
        ids = {};
        std::fill_n(m_tile_owners.begin() + std::ptrdiff_t(tile * 256), 256, nullptr);
    }
    m_round_ids.clear();
}

void StencilHandlerBase::touch(const QRect &area)
{
    const QRect inside = area.intersected(QRect(0, 0, m_width, m_height));
    if (inside.isEmpty())
        return;
    for (int ty = inside.top() / TILE; ty <= inside.bottom() / TILE; ++ty) {
        unsigned char *row = m_touched.data() + size_t(ty) * size_t(m_tiles_x);
        std::fill(row + inside.left() / TILE, row + inside.right() / TILE + 1, 1);
    }
}

std::vector<QRect> StencilHandlerBase::touchedRectangles() const
{
    std::vector<QRect> done;
    std::vector<QRect> open; // in tiles, reaching down to the row before
    std::vector<QRect> next;
    for (int ty = 0; ty <= m_tiles_y; ++ty) {
        next.clear();
        const unsigned char *row = m_touched.data() + size_t(ty) * size_t(m_tiles_x);
        for (int tx = 0; ty < m_tiles_y && tx < m_tiles_x;) {
            if (!row[tx]) {
                ++tx;
                continue;
            }
            const int first = tx;
            while (tx < m_tiles_x && row[tx])
                ++tx;
            QRect run(first, ty, tx - first, 1);
            const auto below = std::find_if(open.begin(), open.end(),
                [&](const QRect &r) { return r.left() == run.left() && r.right() == run.right(); });
            if (below != open.end()) {
                run.setTop(below->top());
                open.erase(below);
            }
            next.push_back(run);
        }
        done.insert(done.end(), open.begin(), open.end());
        open.swap(next);
    }
    const QRect view(0, 0, m_width, m_height);
    for (QRect &r : done)
        r = QRect(r.x() * TILE, r.y() * TILE, r.width() * TILE, r.height() * TILE).intersected(view);
    return done;
}

void StencilHandlerBase::disable()
{
    m_disabled = true;
    applyStencilFunction();
}

StencilHandlerBase::IdImage &StencilHandlerBase::ownIdImage()
{
    if (m_id_image.use_count() > 1)
        m_id_image = std::make_shared<IdImage>(*m_id_image);
    return *m_id_image;
}

void StencilHandlerBase::resolve(bool clearStencil)
{
    if (!m_valid || !m_frame_buffer || m_frame_buffer->width() != m_width
        || m_frame_buffer->height() != m_height) {
        clearRound();
        return;
    }
    if (!GLContext::tryGetInstance(nullptr))
        return;
    // Outside the touched tiles the stencil is still clear: nothing to read there.
    const std::vector<QRect> touched = touchedRectangles();
    IdImage &image = ownIdImage();
    std::vector<unsigned char> stencil;
    for (const QRect &area : touched) {
        m_frame_buffer->readStencil(area, &stencil);
        m_resolved_pixels += size_t(area.width()) * size_t(area.height());
        // Zero: untouched in this round, the earlier rounds' element stays; none where no
        // resolve of this repaint has read the tile yet.
        const unsigned char *id = stencil.data();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const CAD::Element **pixel = image.data() + size_t(y) * size_t(m_width) + size_t(area.left());
            for (int x = area.left(); x <= area.right();) {
                const size_t tile = size_t(y / TILE) * size_t(m_tiles_x) + size_t(x / TILE);
                const bool fresh = !m_resolved[tile];
                const CAD::Element *const *owners = m_tile_owners.data() + tile * 256; // [0] stays null
                for (const int end = std::min(area.right() + 1, (x / TILE + 1) * TILE); x < end;
                     ++x, ++id, ++pixel) {
                    if (*id == NO_ELEMENT_ID)
                        *pixel = nullptr;
                    else if (const CAD::Element *element = owners[*id])
                        *pixel = element;
                    else if (fresh)
                        *pixel = nullptr;
                }
            }
        }
    }
    for (size_t tile = 0; tile < m_touched.size(); ++tile)
        m_resolved[tile] |= m_touched[tile];
    clearRound();
    if (clearStencil) {
        const GLboolean scissor = ::glIsEnabled(GL_SCISSOR_TEST);
        GLint box[4];
        ::glGetIntegerv(GL_SCISSOR_BOX, box);
        ::glEnable(GL_SCISSOR_TEST);
        ::glStencilMask(0xFF);
        ::glClearStencil(0);
        for (const QRect &area : touched) {
            ::glScissor(area.x(), area.y(), area.width(), area.height());
            ::glClear(GL_STENCIL_BUFFER_BIT);
        }
        ::glScissor(box[0], box[1], box[2], box[3]);
        if (!scissor)
            ::glDisable(GL_SCISSOR_TEST);
        std::fill(m_touched.begin(), m_touched.end(), 0);
        ++m_resolve_count;
    }
}

void StencilHandlerBase::resolvePending()
{
    if (m_round_ids.empty())
        return;
    // Inside a repaint the ids are still in use, so the stencil must start over.
    resolve(m_drawing);
    if (m_drawing) {
        // The current element's id went with the old round: give it a fresh one.
        const bool disabled = m_disabled;
        setElement(m_element, m_area);
        if (disabled)
            disable();
    }
}

void StencilHandlerBase::highlightElement(const CAD::Element *element, const Color &color)
{
    if (!m_drawing || !m_valid || !element)
        return;
    resolvePending();
    // Only the rectangle around the element's pixels is blended.
    int x0 = m_width, y0 = m_height, x1 = -1, y1 = -1;
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            if (elementAt(x, y) == element) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
        }
    }
    if (x1 < 0)
        return;
    const int w = x1 - x0 + 1, h = y1 - y0 + 1;
    static_assert(sizeof(Color) == 4, "pixels are handed to GL as RGBA bytes");
    std::vector<Color> pixels(size_t(w) * size_t(h), Color(0, 0, 0, 0));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            if (elementAt(x, y) == element)
                pixels[size_t(y - y0) * size_t(w) + size_t(x - x0)] = color;
        }
    }

    ::glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT
        | GL_PIXEL_MODE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
    ::glDisable(GL_DEPTH_TEST);
    ::glDisable(GL_LIGHTING);
    ::glDisable(GL_TEXTURE_2D);
    ::glDisable(GL_STENCIL_TEST); // the highlight is no part of any element
    ::glEnable(GL_BLEND);
    ::glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    ::glMatrixMode(GL_PROJECTION);
    ::glPushMatrix();
    ::glLoadIdentity();
    ::glOrtho(0.0, m_width, 0.0, m_height, -1.0, 1.0);
    ::glMatrixMode(GL_MODELVIEW);
    ::glPushMatrix();
    ::glLoadIdentity();
    ::glRasterPos2i(x0, y0);
    ::glDrawPixels(w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    ::glPopMatrix();
    ::glMatrixMode(GL_PROJECTION);
    ::glPopMatrix();
    ::glPopAttrib();
}

const CAD::Element *StencilHandlerBase::elementAt(int x, int y) const
{
    if (!m_resolved[size_t(y / TILE) * size_t(m_tiles_x) + size_t(x / TILE)])
        return nullptr;
    return (*m_id_image)[size_t(y) * size_t(m_width) + size_t(x)];
}

const CAD::Element *StencilHandlerBase::getNearestRenderedElement(
    const BaVec2d<double> &pixel, bool searchAround, int radius)
{
    if (!m_valid)
        return nullptr;
    const int px = int(std::floor(pixel.x)), py = int(std::floor(pixel.y));
    const int reach = searchAround ? std::max(radius, 0) : 0;
    const QRect area = QRect(px - reach, py - reach, 2 * reach + 1, 2 * reach + 1)
                           .intersected(QRect(0, 0, m_width, m_height));
    if (area.isEmpty())
        return nullptr;

    // After a repaint only the pixels asked about are read of the last round's ids, not the
    // whole stencil: a click costs a few bytes instead of a read of the view.
    std::vector<unsigned char> round;
    if (!m_round_ids.empty()) {
        if (m_drawing)
            resolvePending();
        else if (GLContext::tryGetInstance(nullptr) && m_frame_buffer && m_frame_buffer->width() == m_width
            && m_frame_buffer->height() == m_height)
            m_frame_buffer->readStencil(area, &round);
    }
    const auto at = [&](int x, int y) -> const CAD::Element * {
        if (!round.empty()) {
            const unsigned id = round[size_t(y - area.y()) * size_t(area.width()) + size_t(x - area.x())];
            if (id == NO_ELEMENT_ID)
                return nullptr;
            if (id != 0)
                if (const CAD::Element *element = roundElement(id, x, y))
                    return element;
        }
        return elementAt(x, y);
    };

    if (area.contains(px, py)) {
        if (const CAD::Element *element = at(px, py))
            return element;
    }
    if (!searchAround || radius <= 0)
        return nullptr;
    const CAD::Element *best = nullptr;
    int bestDistance = std::numeric_limits<int>::max();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const int distance = (x - px) * (x - px) + (y - py) * (y - py);
            if (distance > radius * radius || distance >= bestDistance)
                continue;
            if (const CAD::Element *element = at(x, y)) {
                best = element;
                bestDistance = distance;
            }
        }
    }
    return best;
}

bool StencilHandlerBase::getRenderedElements(const BaVec2d<double> &corner1, const BaVec2d<double> &corner2,
    bool clipToView, unsigned rect[4], std::vector<const CAD::Element *> *elements)
{
    elements->clear();
    if (!m_valid || m_width <= 0 || m_height <= 0)
        return false;
    int x0 = int(std::floor(std::min(corner1.x, corner2.x)));
    int x1 = int(std::floor(std::max(corner1.x, corner2.x)));
    int y0 = int(std::floor(std::min(corner1.y, corner2.y)));
    int y1 = int(std::floor(std::max(corner1.y, corner2.y)));
    const bool inside = x0 >= 0 && y0 >= 0 && x1 < m_width && y1 < m_height;
    if (!inside) {
        if (!clipToView)
            return false;
        x0 = std::max(x0, 0);
        y0 = std::max(y0, 0);
        x1 = std::min(x1, m_width - 1);
        y1 = std::min(y1, m_height - 1);
        if (x0 > x1 || y0 > y1)
            return false;
    }
    resolvePending();
    rect[0] = unsigned(x0);
    rect[1] = unsigned(y0);
    rect[2] = unsigned(x1);
    rect[3] = unsigned(y1);
    elements->reserve(size_t(x1 - x0 + 1) * size_t(y1 - y0 + 1));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x)
            elements->push_back(elementAt(x, y));
    }
    return true;
}

} // namespace Vaq::GL
