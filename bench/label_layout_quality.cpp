#include "bench/label_layout_quality.h"

#include "bench/label_layout_geometry.h"

#include <algorithm>
#include <cmath>

namespace Vaq::Bench {

namespace {

// Boxes that overlap by less than this (the rounding of moves) only touch.
constexpr double TOUCH_MM = 1e-6;

// Label i's box shrunk by slack on every side, and by the rounding of moves.
QRectF shrunkBox(const LabelScene &scene, size_t i, double slack)
{
    const double d = TOUCH_MM + slack;
    return scene.labels[i]->getBoxRect().adjusted(d, d, -d, -d);
}

// Whether label i's box, moved by up to slack across and down, can lie in the view clear of the
// fixed boxes and of other labels' points; with no slack, whether it is free unless another
// label's box overlaps it.
bool clearOfAllButBoxes(const LabelScene &scene, size_t i, double slack)
{
    const QRectF inner = shrunkBox(scene, i, slack);
    if (!scene.view.contains(inner))
        return false;
    for (const QRectF &r : scene.fixed) {
        if (interiorsOverlap(inner, r))
            return false;
    }
    for (size_t j = 0; j < scene.labels.size(); ++j) {
        if (j != i && strictlyInside(scene.labels[j]->getConnectorPoint(), inner))
            return false;
    }
    return true;
}

// Whether the boxes of labels i and j overlap however each moves by up to slack.
bool boxesOverlap(const LabelScene &scene, size_t i, size_t j, double slack)
{
    const QRectF other = scene.labels[j]->getBoxRect().adjusted(slack, slack, -slack, -slack);
    return interiorsOverlap(shrunkBox(scene, i, slack), other);
}

} // namespace

std::vector<bool> freeLabels(const LabelScene &scene)
{
    const size_t n = scene.labels.size();
    std::vector<bool> free(n);
    for (size_t i = 0; i < n; ++i) {
        free[i] = clearOfAllButBoxes(scene, i, 0.0);
        for (size_t j = 0; j < n && free[i]; ++j)
            free[i] = j == i || !boxesOverlap(scene, i, j, 0.0);
    }
    return free;
}

LayoutQuality measureLayout(const LabelScene &scene)
{
    const size_t n = scene.labels.size();
    LayoutQuality quality;
    if (n == 0)
        return quality;
    std::vector<QRectF> boxes;
    std::vector<QLineF> leaders;
    for (const auto &label : scene.labels) {
        boxes.push_back(label->getBoxRect());
        leaders.push_back(label->getConnector());
    }
    const std::vector<bool> free = freeLabels(scene);
    std::vector<double> lengths;
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = i + 1; j < n; ++j)
            quality.crossings
                += !leaders[i].isNull() && !leaders[j].isNull() && leadersCross(leaders[i], leaders[j]);
        for (size_t j = 0; j < n; ++j)
            quality.throughBoxes += j != i && !leaders[i].isNull() && leaderEntersBox(leaders[i], boxes[j]);
        lengths.push_back(leaders[i].isNull() ? 0.0 : leaders[i].length());
    }
    quality.freeShare = double(std::count(free.begin(), free.end(), true)) / double(n);
    std::sort(lengths.begin(), lengths.end());
    double sum = 0.0;
    for (const double l : lengths)
        sum += l;
    quality.meanLeader = sum / double(n);
    quality.leader95 = lengths[size_t(std::ceil(0.95 * double(n))) - 1];
    return quality;
}

std::vector<QPointF> boxOffsets(const LabelScene &scene)
{
    std::vector<QPointF> offsets;
    for (const auto &label : scene.labels)
        offsets.push_back(label->getBoxRect().center() - label->getConnectorPoint());
    return offsets;
}

double keptShare(const std::vector<QPointF> &before, const std::vector<QPointF> &after, double tolerance)
{
    if (before.empty())
        return 1.0;
    int kept = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        const QPointF d = after[i] - before[i];
        kept += std::hypot(d.x(), d.y()) <= tolerance;
    }
    return double(kept) / double(before.size());
}

// Each label free before that the change pushed out of the view, onto a fixed box or onto another
// label's point farther than the tolerance has to move; and of two boxes that came to overlap
// by more than twice the tolerance, one of them free before, one has to. Such pairs are matched
// greedily: the boxes of different matched pairs are different boxes that must move, so that
// their count is a lower bound. O(n^2) for n labels.
double keepableShare(const LabelScene &scene, const std::vector<bool> &wasFree, double tolerance)
{
    const size_t n = scene.labels.size();
    if (n == 0)
        return 1.0;
    std::vector<bool> moves(n);
    size_t movers = 0;
    for (size_t i = 0; i < n; ++i) {
        moves[i] = wasFree[i] && !clearOfAllButBoxes(scene, i, tolerance);
        movers += moves[i];
    }
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = i + 1; j < n && !moves[i]; ++j) {
            if (!moves[j] && (wasFree[i] || wasFree[j]) && boxesOverlap(scene, i, j, tolerance)) {
                moves[i] = moves[j] = true;
                ++movers;
            }
        }
    }
    return double(n - movers) / double(n);
}

} // namespace Vaq::Bench
