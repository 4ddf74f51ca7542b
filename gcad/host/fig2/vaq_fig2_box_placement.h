// Label box placement over plain rectangles: where the text boxes of labels go so that they
// keep clear of each other, of obstacles and of the points the labels point at, with short
// leaders that do not cross. BoxDistributor feeds it from figure elements.
#pragma once

#include <QLineF>
#include <QPointF>
#include <QRectF>

#include <vector>

namespace Vaq::Fig2 {

// What stays put while the boxes are placed. Coordinates are figure millimetres.
struct BoxScene
{
    // The boxes stay inside it where they fit.
    QRectF area;
    // (>= 1) A box counts as covering what its box widened by this factor around its centre
    // covers, so that placed boxes keep a gap to each other, to obstacles and to points.
    double marginFactor = 1.1;
    // (0, 1] The share of the area around a crowded point that the boxes are expected to fill
    // at best. A box searches for a free place out to twice the radius of the disc that all
    // boxes (widened) would fill at this share: a lower share searches farther. Where they
    // would cover more than this share of the whole area, some fit nowhere: there a box searches
    // only a few of its heights out, and one that finds no free place so near is hidden there.
    double fillFactor = 0.7;
    // Rectangles no box may cover.
    std::vector<QRectF> obstacles;
    // Points no box may cover (the connector points of labels that stay where they are).
    std::vector<QPointF> points;
    // Connectors of labels that stay where they are; placed leaders avoid crossing them.
    std::vector<QLineF> leaders;
};

// One text box to place.
struct BoxToPlace
{
    // Where the box is now: its size, and the last frame's place that is kept when still free.
    QRectF box;
    // The point its leader runs to (from the nearest point of the box's edge).
    QPointF point;
    bool hasPoint = false;
};

// The overlay's box modes 0 and 1.
enum BoxMode_t {
    // Keeps last frame's places where the box itself (not widened) is still free and its leader
    // (for a box without a point, the distance to centre) no longer than its search reaches; a
    // box that the turn of the view pushed a little out of the area, into a kept box or onto a
    // point shifts just clear of them. Places the others near their points (a box without a
    // point near centre), avoiding leader crossings, then removes the crossings left where
    // exchanging the places of two boxes, or moving boxes, allows it (a kept box moves only to a
    // place where it crosses nothing). A box that fits nowhere stays at last frame's place
    // (shifted back into the area) where that covers no more boxes still readable, obstacles or
    // points than the best place. Where the kept places have come to cross three times as much
    // as a layout that keeps none (boxes that fit nowhere counted in), that layout is taken
    // instead, unless the view is so full that many boxes fit nowhere. A layout of its own
    // result moves no box unless the repair of a crowd ran out of time.
    BOX_DISTRIBUTE = 0,
    // Places every box with a point as close to it as is free; boxes without one stay.
    BOX_NEAR_POINT = 1,
};

// The new box of every entry of boxes, in their order and of their sizes. No box, widened,
// covers another widened box, an obstacle or any point (its own included) where a free place
// within its search radius exists; where none does, it takes the candidate place that hides
// least of the other boxes, obstacles and points, rather overlapping boxes that are overlapped
// already than free ones. The result depends only on the input
// (the same input gives the same places). An empty area leaves the boxes where they are. All
// values must be finite. A roomy view of 200 boxes takes well under a millisecond; the work
// per box is bounded in any view.
std::vector<QRectF> placeBoxes(
    const BoxScene &scene, const std::vector<BoxToPlace> &boxes, BoxMode_t mode, const QPointF &centre);

} // namespace Vaq::Fig2
