// Image32: an image of 32-bit values, rows top-down, for per-pixel answers such as which
// element covers a pixel. Resizing reports a failed allocation instead of throwing.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace Vaq {

class Image32
{
public:
    int width() const { return m_width; }
    int height() const { return m_height; }

    // New size, contents undefined; false (and an empty image) when the memory is not there.
    bool resize(int width, int height)
    {
        m_width = m_height = 0;
        if (width <= 0 || height <= 0) {
            m_pixels.clear();
            return true;
        }
        try {
            m_pixels.resize(std::size_t(width) * std::size_t(height));
        } catch (const std::bad_alloc &) {
            m_pixels = {};
            return false;
        }
        m_width = width;
        m_height = height;
        return true;
    }

    void fill(std::uint32_t value) { m_pixels.assign(m_pixels.size(), value); }
    // Sets the pixels of columns x0..x1 and rows y0..y1 (inclusive, inside the image).
    void fillRect(int x0, int y0, int x1, int y1, std::uint32_t value)
    {
        for (int y = y0; y <= y1; ++y)
            std::fill_n(m_pixels.begin() + std::ptrdiff_t(y) * m_width + x0, x1 - x0 + 1, value);
    }

    std::uint32_t pixel(int x, int y) const
    {
        return m_pixels[std::size_t(y) * std::size_t(m_width) + std::size_t(x)];
    }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint32_t> m_pixels;
};

} // namespace Vaq
