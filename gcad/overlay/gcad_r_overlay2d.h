// Overlay2d: the 2-D layer over one 3-D view. After the scene is drawn it brings two figures
// up to date and paints them over the view: its own figure (the raster, the view-direction
// text and the marks) and the render callback's label figure, into which it gathers the
// labels and legends the shown elements provide, keeps them inside the view and hands them
// to the label layout. While painting it records which label covers which pixel, so that
// picking finds labels before the geometry under them.
//
// Figure coordinates are millimetres, x to the right and y downward from the top edge; a
// pixel is getPixelSize() millimetres wide. The source is split by area: gcad_r_overlay2d
// (frame procedure and label picking), gcad_r_overlay2d_legend (legend size and place),
// gcad_r_overlay2d_raster (raster and view direction) and gcad_r_overlay2d_mark (marks).
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_image32.h"
#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_element.h"
#include "gcad/host/fig2/vaq_fig2_style.h"

#include <QPoint>
#include <QPointF>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <map>
#include <memory>
#include <set>
#include <vector>

namespace Vaq::Fig2 {
class Element;
class Figure;
class Label;
class Line;
} // namespace Vaq::Fig2

namespace Vaq::GLegend2 {
class GlobalLegend;
}

namespace Vaq::GCAD {

class RenderCallback;

class Overlay2d
{
public:
    // The ranges of a raster along the two axes of the view, in thousandths of the length
    // unit; an empty raster has start 1, end 0 and step 1.
    struct RasterSteps
    {
        long long start1 = 1, end1 = 0, start2 = 1, end2 = 0, step = 1;
    };

    // A numbered point mark.
    struct MarkedPoint
    {
        BaVec3d<double> point;
        QString text;
        Color color;
    };

    explicit Overlay2d(RenderCallback *renderCallback);
    virtual ~Overlay2d();
    Overlay2d(const Overlay2d &) = delete;
    Overlay2d &operator=(const Overlay2d &) = delete;

    // Brings both figures up to date and paints them over the view (render stage 4).
    virtual bool draw();

    // The overlay's own figure: raster, view direction and marks.
    Fig2::Figure *getTextFigure() const { return m_text_figure.get(); }
    // Millimetres per pixel: the screen's, divided by the snapshot scaling.
    double getPixelSize() const { return m_pixel_size; }
    void updatePixelSize();
    // Asks the view for an overlay-only repaint.
    void repaintOverlay();

    // The element whose label covers the pixel (origin top left) in the last full repaint.
    CAD::Element *getElementAtPosition(const QPoint &position) const;
    // One entry per pixel of the rectangle between the corners (GL window pixels, y upward,
    // inclusive), rows bottom-up of the image, each left to right: the element whose label
    // covers it, or null. Empty when the rectangle reaches outside the last id image.
    std::vector<CAD::Element *> getRenderedElements(unsigned x0, unsigned y0, unsigned x1, unsigned y1) const;

    // A figure line (the caller owns it).
    std::unique_ptr<Fig2::Line> createFigLine(
        const QPointF &p1, const QPointF &p2, const Fig2::LineStyle &style) const;
    // A frameless label of the overlay's own figure from the reusable pool, placed at
    // position; it stays valid until the pool is reset.
    Fig2::Label *createFigLabel(const QPointF &position, const QString &text, const QString &style);
    // "<html><span STYLE>TEXT</span></html>"; style is a span attribute such as
    // LabelBase::getRTFStyleAttribute gives.
    static QString getRichText(const QString &text, const QString &style);

    // Raster ranges for the view's corners min..max along two axes (thousandths of the
    // unit) over a view pixels wide: a step of the 1-2-5 table giving fewer than one line
    // per 50 pixels, each range widened to whole steps plus one step on both sides.
    static RasterSteps computeRasterSteps(
        long long min1, long long max1, long long min2, long long max2, int pixels);

    // A crosshair through a model point, in the given colour.
    void markCross(const BaVec3d<double> &point, const Color &color);
    void unmarkCross();
    bool isCrossActive() const { return m_cross_active; }
    // A small cross at a model point, with an optional text beside it; returns its id, the
    // smallest one free.
    unsigned markPoint(const BaVec3d<double> &point, const QString &text, const Color &color);
    // Throws ProgError "the point is not marked" for an id not in use.
    void unmarkPoint(unsigned id);
    const std::map<unsigned, MarkedPoint> &getMarkedPoints() const { return m_marked_points; }

    // The colour marks take unless told otherwise.
    static const Color DEFAULT_MARK_COLOR;
    // Raster lines and the view-direction text.
    static const Color RASTER_COLOR;

protected:
    // Steps of draw.
    void initFigure();
    void initFigureElement(const CAD::ElementAndStageImp &entry);
    void doResize();
    void doResizeLegend(const QSizeF &viewSize);
    void setLegendSize(const QSizeF &viewSize);
    void checkLegendPosition(const QSizeF &viewSize);
    void drawInternalFigure();
    // Records, for every label and legend of the label figure in paint order, the pixels it
    // covers.
    void fillElementIdImage(const QSize &pixels);
    // Moves the legend's centre to the anchor of its initial position in a view of that size.
    void moveLegendToAnchor(const QSizeF &viewSize);
    void updateRaster();
    void updateViewDirection();
    void updateMarks();

    // The view's size in pixels (0 x 0 without a view).
    QSize viewPixels() const;
    QSizeF viewSizeMM() const;
    // A model point in figure millimetres: window pixels through the view transformation, y
    // flipped.
    QPointF project(const Transformation &view, const BaVec3d<double> &point) const;
    // The callback's view transformation with the element's render transformation for the
    // stage in front of it.
    Transformation viewTransformation(const CAD::Element *element, const CAD::StageIdentifier &stage) const;

    RenderCallback *m_render_callback;
    double m_pixel_size = 0.0;
    std::unique_ptr<Fig2::Figure> m_text_figure;
    Fig2::Figure *m_label_figure = nullptr;

    Image32 m_element_id_image;
    std::vector<CAD::Element *> m_label_hit_elements;

    // Parts of the text figure, owned by its root; null while absent.
    Fig2::Element *m_raster_group = nullptr;
    Fig2::Element *m_view_direction_group = nullptr;
    Fig2::Element *m_marks_group = nullptr;

    // Gathered for the label figure in this frame.
    std::vector<Fig2::Element *> m_figure_elements;
    std::map<const Fig2::Element *, CAD::ElementAndStageImp> m_figure_element_owners;
    std::set<const CAD::Element *> m_rendered_elements;
    // The legend found among the label figure's items this frame, and whether it sits at a
    // view edge (the layout keeps that strip free).
    GLegend2::GlobalLegend *m_legend = nullptr;
    bool m_legend_at_border = false;
    int m_legend_side = -1;
    double m_legend_distance = 0.0;

    QSize m_last_view_size { 0, 0 };
    bool m_show_labels = false;
    unsigned m_box_mode = 0;

    bool m_cross_active = false;
    BaVec3d<double> m_cross_point { 0.0, 0.0, 0.0 };
    Color m_cross_color = DEFAULT_MARK_COLOR;
    std::map<unsigned, MarkedPoint> m_marked_points;

    std::vector<std::unique_ptr<Fig2::Label>> m_label_pool;
    std::size_t m_labels_in_use = 0;
};

} // namespace Vaq::GCAD
