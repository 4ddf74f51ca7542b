// GLFigurePainter: paints figures over a GL view during its repaint. The figures are painted
// with QPainter into a transparent image of the view's size, which end() lays over the
// view's colour buffer as one textured quad with premultiplied-alpha blending. Painting
// straight into a read-back copy of the frame buffer and writing it back measures slower on
// llvmpipe (bench_figure_paint), because the read-back and the unblended write cost more than
// the upload of the overlay image.
#pragma once

#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRectF>

namespace Vaq::GL {
class RenderObject;
}
namespace Vaq::Fig2 {
class Figure;
}

namespace Vaq::GFigure2 {

class GLFigurePainter
{
public:
    // Starts painting over the view, whose context must be current with its frame buffer
    // bound (inside its repaint). area, in figure millimetres, covers the whole view, so the
    // view's pixel size is area.width() / view width. False (and nothing painted) for an
    // empty view or area, or while already painting.
    bool begin(GL::RenderObject *view, const QRectF &area);
    bool isActive() const { return m_view != nullptr; }

    // Paints the figure with its origin at position (millimetres of the area) and every
    // size multiplied by scale.
    void drawFigure(const Fig2::Figure &figure, const QPointF &position, double scale);

    // Lays what was painted over the view and leaves the GL state as it was.
    void end();

    // The image painted since begin(), top row first (for checks and read-backs).
    const QImage &getImage() const { return m_image; }

private:
    void composite() const;

    GL::RenderObject *m_view = nullptr;
    QImage m_image;
    QPainter m_painter;
};

// Sets up the painter on a device of the given pixel size so that the area in figure
// millimetres fills it, with antialiased lines and text.
void setFigureTransform(QPainter &painter, const QSize &pixels, const QRectF &area);

} // namespace Vaq::GFigure2
