// SnapshotFrame: the framed picture of a snapshot document. The picture is named by a token
// that the figure's token interface resolves when the frame is updated; the frame keeps the
// converted pixels from then on, so the source of the token may go away.
#pragma once

#include "gcad/host/fig2/vaq_fig2_element.h"
#include "gcad/host/fig2/vaq_fig2_image_data.h"
#include "gcad/host/fig2/vaq_fig2_style.h"

#include <QImage>
#include <QPointF>
#include <QSizeF>
#include <QString>

namespace Vaq::GView {

// How a view's picture is turned into the picture of a document.
enum Convert_t {
    CV_COLOR = 0, // as it is
    CV_GRAY = 1, // luminance
    CV_INVERT = 2, // each channel inverted
    CV_GRAY_INVERT = 3, // luminance, inverted
    CV_BLACK_WHITE = 4, // luminance above the middle of the range white, the rest black
    CV_BACKGROUND_WHITE = 5, // the colour of the upper-left pixel becomes white
    CV_DEFAULT = CV_COLOR,
};

} // namespace Vaq::GView

namespace Vaq::Fig2 {

// Hands out the pictures a figure names by token.
class FigureTokenInterface
{
public:
    virtual ~FigureTokenInterface() = default;
    // The picture of the token; throws ProgError for a token the interface does not know.
    virtual const ImageData *getImage(const QString &token) const = 0;
};

// A conversion of a picture (GView::Convert_t) whose channels are then mapped from 0..255 onto
// low..high.
class ImageConversion
{
public:
    ImageConversion(int type, int low, int high);

    int getType() const { return m_type; }
    // The converted picture; the colour conversion over 0..255 hands the image back as it is
    // (no copy of its pixels).
    QImage apply(const QImage &image) const;

private:
    int m_type;
    int m_low, m_high;
};

class SnapshotFrame : public Element
{
public:
    // The numbers of the other element kinds are fixed by the overlay; this one is new.
    static constexpr Type_t T_SNAPSHOT_FRAME = Type_t(20);

    SnapshotFrame();

    Type_t getType() const override { return T_SNAPSHOT_FRAME; }
    QRectF getCoveredRect() const override { return QRectF(m_position - toPoint(m_size) / 2.0, m_size); }
    void move(double dx, double dy) override { m_position += QPointF(dx, dy); }
    // Resolves the token through the token interface (when both are set) and converts the
    // picture.
    void update() override;
    // The picture fills the frame's rectangle, with a hairline frame around it.
    void paint(QPainter &painter) const override;
    std::unique_ptr<Element> clone() const override;

    void setToken(const QString &token) { m_token = token; }
    const QString &getToken() const { return m_token; }
    // Not owned; needed only until the next update().
    void setTokenInterface(const FigureTokenInterface *tokens) { m_tokens = tokens; }
    // The frame's centre, in figure millimetres.
    void setPosition(const QPointF &centre) { m_position = centre; }
    const QPointF &getPosition() const { return m_position; }
    // Where in the picture's own millimetres the frame's upper-left corner looks.
    void setInnerOrigin(const QPointF &origin) { m_inner_origin = origin; }
    void setSize(const QSizeF &size) { m_size = size; }
    const QSizeF &getSize() const { return m_size; }
    void setImageConversion(const ImageConversion &conversion) { m_conversion = conversion; }
    const ImageConversion &getImageConversion() const { return m_conversion; }
    void setFrameStyle(const LineStyle &style) { m_frame = style; }

    // The converted picture of the last update.
    const QImage &getImage() const { return m_image; }

private:
    static QPointF toPoint(const QSizeF &size) { return QPointF(size.width(), size.height()); }

    QString m_token;
    const FigureTokenInterface *m_tokens = nullptr;
    QPointF m_position;
    QPointF m_inner_origin;
    QSizeF m_size;
    ImageConversion m_conversion { GView::CV_DEFAULT, 0, 255 };
    LineStyle m_frame { LineStyle::SOLID, Color(0, 0, 0), 0.0 };
    QImage m_image;
};

} // namespace Vaq::Fig2
