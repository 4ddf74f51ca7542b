// BoxDistributor: places the text boxes of labels inside a view so that they cover neither
// each other nor what must stay visible (fixed boxes, other labels' points), close to the
// points their connectors reach. The overlay hands it the labels to place and the obstacles
// of one frame, runs it once and reads the moved labels back.
#pragma once

#include "gcad/host/fig2/vaq_fig2_box_placement.h"
#include "gcad/host/fig2/vaq_fig2_element.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <vector>

namespace Vaq::Fig2 {

class LabelBase;
class Legend;

class BoxDistributor
{
public:
    // The view edge a legend sits at.
    enum Side_t { SIDE_NONE = -1, SIDE_TOP = 0, SIDE_BOTTOM = 1, SIDE_LEFT = 2, SIDE_RIGHT = 3 };

    // viewSize: the usable area (0, 0) to viewSize in figure millimetres. marginFactor
    // (>= 1) widens every text box by that factor around its centre when testing for overlap,
    // so that placed boxes keep a gap to each other, to fixed boxes and to points. fillFactor
    // (0 to 1) is the share of the area around a crowded point the text boxes are expected to
    // fill at best; it sets how far a box searches for a free place (BoxScene). Throws ProgError
    // for a view size that is not finite or negative and for factors outside these ranges.
    BoxDistributor(const QSizeF &viewSize, double marginFactor, double fillFactor);

    // Takes a strip of the given depth (millimetres, from the view edge) at side out of the
    // usable area; of several strips at one side the deepest counts, SIDE_NONE takes none.
    // Throws ProgError for a depth that is not finite or negative and for an unknown side.
    void moveSide(Side_t side, double distance);

    // An obstacle no text box may cover: a rectangle, or what an element covers (nothing while
    // it is temporarily invisible). Throws ProgError for a rectangle that is not finite and
    // for a null element.
    void addFixedBox(const QRectF &box);
    void addFixedBox(const Element *element);
    // A label that stays where it is: its box and its connector point are obstacles, and
    // placed leaders avoid crossing its connector. Throws ProgError for a null label.
    void addFixedTextBox(const LabelBase *label);
    // A label to place; the distributor does not own it and it must outlive the placement.
    // Its current position is taken as last frame's placement and kept when it is still free.
    // Throws ProgError for a null label.
    void addTextBox(LabelBase *label);

    // Moves every text box to a free place near its connector point (or near centre for a
    // label without one), keeping last frame's places that are still free and near, and
    // avoiding leader crossings (BOX_DISTRIBUTE); labels are moved with Element::move and
    // updated. A connector point that is not finite counts as none. Throws ProgError for a
    // centre or a label box that is not finite, moving no label.
    void distribute(const QPointF &centre = QPointF());
    // Moves every text box with a connector point as close to it as the obstacles allow;
    // labels without one stay where they are (BOX_NEAR_POINT). Throws as distribute does.
    void placeAtElement();

    // Whether the legend touches a view edge: it lies within its own size times
    // (marginFactor - 1) of it. The edge tested is the one its long side runs along
    // (top or bottom for a horizontal legend, left or right for a vertical one); a maximized
    // legend always counts as at its nearest such edge. *side and *distance (the depth the
    // legend takes from the view at that edge, millimetres) are set when true.
    static bool legendAtBorder(const QSizeF &viewSize, const Legend &legend, bool horizontal, bool maximized,
        double marginFactor, Side_t *side, double *distance);

private:
    void place(BoxMode_t mode, const QPointF &centre);

    QSizeF m_view_size;
    // Strip depths taken at the top, bottom, left and right (Side_t order).
    double m_strips[4] = { 0.0, 0.0, 0.0, 0.0 };
    BoxScene m_scene;
    std::vector<LabelBase *> m_labels;
};

} // namespace Vaq::Fig2
