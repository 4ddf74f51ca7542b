#include "gcad/host/fig2/vaq_fig2_snapshot_frame.h"

#include <QPainter>

#include <algorithm>

namespace Vaq::Fig2 {

ImageConversion::ImageConversion(int type, int low, int high)
    : m_type(type >= GView::CV_COLOR && type <= GView::CV_BACKGROUND_WHITE ? type : GView::CV_DEFAULT)
    , m_low(std::clamp(low, 0, 255))
    , m_high(std::clamp(high, 0, 255))
{
}

QImage ImageConversion::apply(const QImage &image) const
{
    if (image.isNull() || (m_type == GView::CV_COLOR && m_low == 0 && m_high == 255))
        return image;
    QImage result = image.convertToFormat(QImage::Format_RGBA8888);
    const QRgb background = result.pixel(0, 0);
    const auto range = [this](int v) { return m_low + (v * (m_high - m_low) + 127) / 255; };
    for (int y = 0; y < result.height(); ++y) {
        auto *row = reinterpret_cast<uchar *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            uchar *p = row + 4 * x;
            int r = p[0], g = p[1], b = p[2];
            const int gray = (r * 11 + g * 16 + b * 5) / 32;
            switch (m_type) {
            case GView::CV_GRAY:
                r = g = b = gray;
                break;
            case GView::CV_INVERT:
                r = 255 - r, g = 255 - g, b = 255 - b;
                break;
            case GView::CV_GRAY_INVERT:
                r = g = b = 255 - gray;
                break;
            case GView::CV_BLACK_WHITE:
                r = g = b = gray >= 128 ? 255 : 0;
                break;
            case GView::CV_BACKGROUND_WHITE:
                if (qRgb(r, g, b) == (background | 0xff000000u))
                    r = g = b = 255;
                break;
            default:
                break;
            }
            p[0] = uchar(range(r));
            p[1] = uchar(range(g));
            p[2] = uchar(range(b));
        }
    }
    return result;
}

SnapshotFrame::SnapshotFrame() = default;

void SnapshotFrame::update()
{
    if (!m_tokens || m_token.isEmpty())
        return;
    const ImageData *image = m_tokens->getImage(m_token);
    m_image = image ? m_conversion.apply(image->getImage()) : QImage();
}

void SnapshotFrame::paint(QPainter &painter) const
{
    const QRectF rect = getCoveredRect();
    if (!m_image.isNull()) {
        painter.save();
        painter.setClipRect(rect, Qt::IntersectClip);
        painter.drawImage(rect.translated(-m_inner_origin), m_image);
        painter.restore();
    }
    if (m_frame.isVisible()) {
        painter.setPen(m_frame.toPen());
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect);
    }
}

std::unique_ptr<Element> SnapshotFrame::clone() const
{
    auto copy = std::make_unique<SnapshotFrame>();
    copy->m_token = m_token;
    copy->m_position = m_position;
    copy->m_inner_origin = m_inner_origin;
    copy->m_size = m_size;
    copy->m_conversion = m_conversion;
    copy->m_frame = m_frame;
    copy->m_image = m_image;
    return copy;
}

} // namespace Vaq::Fig2
