// FrameBuffer: the render target of one off-screen view, an RGBA8 colour buffer and a
// depth24/stencil8 buffer of the view's size on the shared context.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <vector>

namespace Vaq::GL {

class FrameBuffer
{
public:
    FrameBuffer() = default;
    ~FrameBuffer();
    FrameBuffer(const FrameBuffer &) = delete;
    FrameBuffer &operator=(const FrameBuffer &) = delete;

    // Whether the driver can hold a buffer of the given size; if not, *error says why.
    static bool fits(int width, int height, QString *error);
    // (Re)creates the buffers at the given size on the current context. On failure the
    // old buffers stay and *error says why.
    bool create(int width, int height, QString *error);
    void bind() const;
    bool isValid() const { return m_fbo != 0; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    // Colour pixels, rows top-down.
    QImage readColor() const;
    // Reads the lowest `rows` rows of colour into image (RGBA8888, as wide as the buffer) from
    // row `firstRow` on, bottom row first as GL keeps them.
    void readColorRows(int rows, QImage *image, int firstRow) const;
    // The stencil values of area (window pixels, origin lower left, inside the buffer), rows
    // bottom-up as GL keeps them (area width x height bytes).
    void readStencil(const QRect &area, std::vector<unsigned char> *values) const;
    // Copies colour, depth and stencil into target, a buffer of the same size, and leaves
    // target bound. False (nothing copied) for another size or a driver without blits.
    bool copyTo(const FrameBuffer &target) const;

private:
    void release();

    unsigned m_fbo = 0;
    unsigned m_color = 0;
    unsigned m_depth_stencil = 0;
    unsigned m_serial = 0;
    int m_width = 0;
    int m_height = 0;
};

} // namespace Vaq::GL
