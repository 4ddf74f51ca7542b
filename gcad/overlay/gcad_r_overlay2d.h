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
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <map>
#include <memory>
#include <set>
#include <vector>

namespace Vaq::Fig2 {
class BoxDistributor;
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

    // Label layout (gcad_r_overlay2d_position). Positions are figure millimetres of a label's
    // box's top left; an edge-anchored position counts a negative x from the right edge (the
    // box's right edge lies -x millimetres left of it) and a negative y from the lower edge.
    //
    // Lays the labels of the given elements out now, as the next full repaint would, without
    // storing their places in the model.
    void estimateLabelPositions(const std::vector<CAD::ElementAndStageImp> &elements);
    // Puts the label at an edge-anchored position and stores the place in the model.
    void placeElement(CAD::LabelElement *label, const CAD::StageIdentifier &stage, const QPointF &position);
    // The same for a gathered figure element; one no element owns is only moved.
    void placeElement(Fig2::Element *element, const QPointF &position);
    // Edge-anchored position to absolute, for the element's box size in the current view.
    QPointF computeLabelPosition(Fig2::Element *element, const QPointF &position) const;
    // The same for the element's label; throws ProgError "The CAD::Element does not have a
    // Fig2::Text-Element!" for an element without a label text.
    QPointF computeLabelPosition(const CAD::Element *element, const QPointF &position) const;
    // Where the box is, edge-anchored to the nearer edges (at most -0.001 when anchored, so
    // that a box flush with the right or lower edge does not read as the left or upper one).
    QPointF getLabelPosition(Fig2::Element *element) const;
    // The same for the element's label; (0, 0) without one.
    QPointF getLabelPosition(const CAD::Element *element) const;
    // Whether the layout may move a gathered figure element; others are ignored.
    void setAutoLabelPlacement(Fig2::Element *element, bool on);
    // The label of the element that provided the figure element, or null.
    CAD::LabelElement *getLabelElementForFigElement(const Fig2::Element *element) const;
    // The boxes of the gathered labels, once the view has finished drawing; false when none
    // are gathered.
    bool getAllCoveredTextAreas(std::vector<QRectF> *areas);
    // The next repaint lays the labels out again.
    void repositionLabels();
    // What the last repaint gathered into the label figure, and the element each came from.
    const std::vector<Fig2::Element *> &getGatheredElements() const { return m_figure_elements; }
    const CAD::Element *getOwner(const Fig2::Element *element) const;
    // The boxes the last label layout kept its labels clear of (figure millimetres).
    const std::vector<QRectF> &getLayoutObstacles() const { return m_layout_obstacles; }

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
    void initFigureElement(const CAD::ElementAndStageImp &entry, const Transformation &toWindow);
    void doResize();
    void doResizeLegend(const QSizeF &viewSize);
    void setLegendSize(const QSizeF &viewSize);
    void checkLegendPosition(const QSizeF &viewSize);
    void drawInternalFigure();
    // Records, for every label and legend of the label figure in paint order, the pixels it
    // covers.
    void fillElementIdImage(const QSize &pixels);
    // The element of an id of the image; null for 0 or an id beyond the list.
    CAD::Element *elementOfId(std::uint32_t id) const;
    // Whether the view moved, resized, clipped differently or finished moving since the last
    // layout; remembers the view for the next call when it did. Asked in full repaints only.
    bool viewChangedSinceLayout();
    // Hands the gathered labels to the box distributor and stores where they went.
    void layoutLabels();
    // A distributor for the view with the legend's strip and the lower-left corner kept
    // free and the overlay's own figure as obstacles.
    std::unique_ptr<Fig2::BoxDistributor> createDistributor(const QSizeF &viewSize);
    // Hands an obstacle to the distributor and remembers its box.
    void addObstacle(Fig2::BoxDistributor &distributor, const QRectF &box);
    void addObstacle(Fig2::BoxDistributor &distributor, const Fig2::Element *element);
    // Stores where the label's box now is as its offset from its connector point in the model.
    void storeLabelPlace(const Transformation &toWindow, CAD::Element *element,
        const CAD::StageIdentifier &stage, const Fig2::Element *box);
    // Moves the element so that its box's top left lies at position.
    static void moveTopLeftTo(Fig2::Element *element, const QPointF &position);

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
    // The view's transformation to the window (the callback's, which the camera builds afresh
    // at each call: taken once per frame or layout) with the element's render transformation
    // for the stage in front of it.
    Transformation viewTransformation(
        const Transformation &toWindow, const CAD::Element *element, const CAD::StageIdentifier &stage) const;

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
    // The view at the last label layout.
    BaVec3d<double> m_last_rotation { 0.0, 0.0, 0.0 };
    BaVec3d<double> m_last_translation { 0.0, 0.0, 0.0 };
    BaVec3d<double> m_last_axis_scale { 1.0, 1.0, 1.0 };
    double m_last_scale = 1.0;
    bool m_last_label_flag = false;
    QString m_last_clipping_key;
    std::vector<QRectF> m_layout_obstacles;
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
