// ImageData: a picture handed to a figure (a snapshot's rendered view), with its pixels held
// as a shared QImage so that wrapping a rendered image copies nothing.
#pragma once

#include <QImage>

namespace Vaq::Fig2 {

class ImageData
{
public:
    ImageData() = default;
    explicit ImageData(const QImage &image)
        : m_image(image)
    {
    }

    bool isNull() const { return m_image.isNull(); }
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    const QImage &getImage() const { return m_image; }

private:
    QImage m_image;
};

} // namespace Vaq::Fig2
