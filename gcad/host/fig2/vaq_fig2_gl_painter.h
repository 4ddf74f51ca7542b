// GLFigurePainter: paints figures over a GL view during its repaint. begin() reads the view's
// colour buffer into an image, the figures are painted onto it with QPainter, and end()
// writes it back with one glDrawPixels. On llvmpipe at 1920 x 1080 this takes about three
// quarters of the time of painting into a transparent image and blending it over the view as
// a textured quad (bench_figure_paint): that image must be cleared, painted with alpha,
// uploaded and blended, where the read-back is one copy and the write-back is unblended.
// Views that repaint while they move use CachedFigurePainter, which paints only what changed.
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

    // Writes what was painted into the view and leaves the GL state as it was.
    void end();

private:
    void writeBack() const;

    GL::RenderObject *m_view = nullptr;
    QImage m_image;
    QPainter m_painter;
};

// Sets up the painter on a device of the given pixel size so that the area in figure
// millimetres fills it, with antialiased lines and text.
void setFigureTransform(QPainter &painter, const QSize &pixels, const QRectF &area);

} // namespace Vaq::GFigure2
