// What the label layout benchmark reports of one layout of a scene: how many labels are free
// (their box lies in the view and hides no other label's box, no fixed box and no other label's
// point), how many pairs of leaders cross, how many leaders run through other labels' boxes,
// and how long the leaders are; and, between two layouts, how many labels kept their place
// beside their point, and how many could have.
#pragma once

#include "bench/label_layout_scene.h"

#include <QPointF>

#include <vector>

namespace Vaq::Bench {

struct LayoutQuality
{
    // The share of free labels; 1 for no labels.
    double freeShare = 1.0;
    int crossings = 0;
    // Pairs of a leader and another label's box it runs through.
    int throughBoxes = 0;
    // Millimetres; a label whose box holds its point has a leader of length 0. The 95th
    // percentile is the nearest-rank one.
    double meanLeader = 0.0;
    double leader95 = 0.0;
};

// Compares every pair of labels directly, so that the measure shares nothing with a layout.
LayoutQuality measureLayout(const LabelScene &scene);
// Whether each label is free.
std::vector<bool> freeLabels(const LabelScene &scene);

// Each label's box centre relative to its point.
std::vector<QPointF> boxOffsets(const LabelScene &scene);
// The share of labels whose offsets differ by at most tolerance (a distance); 1 for none.
double keptShare(const std::vector<QPointF> &before, const std::vector<QPointF> &after, double tolerance);
// After the view changed, with every box moved along with its point: a share of labels that no
// layout can beat in keeping their place (moving by at most tolerance, a distance) while every
// label free before (wasFree) stays free. 1 for no labels.
double keepableShare(const LabelScene &scene, const std::vector<bool> &wasFree, double tolerance);

} // namespace Vaq::Bench
