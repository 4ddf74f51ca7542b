#include "bench/label_layout_quality.h"

#include "bench/label_layout_geometry.h"

#include <algorithm>
#include <cmath>

namespace Vaq::Bench {

namespace {

// Boxes that overlap by less than this (the rounding of moves) only touch.
constexpr double TOUCH_MM = 1e-6;

} // namespace

LayoutQuality measureLayout(const LabelScene &scene)
{
    const size_t n = scene.labels.size();
    LayoutQuality quality;
    if (n == 0)
        return quality;
    std::vector<QRectF> boxes;
    std::vector<QPointF> points;
    std::vector<QLineF> leaders;
    for (const auto &label : scene.labels) {
        boxes.push_back(label->getBoxRect());
        points.push_back(label->getConnectorPoint());
        leaders.push_back(label->getConnector());
    }
    int freeCount = 0;
    std::vector<double> lengths;
    const QRectF view = scene.view.adjusted(-TOUCH_MM, -TOUCH_MM, TOUCH_MM, TOUCH_MM);
    for (size_t i = 0; i < n; ++i) {
        const QRectF inner = boxes[i].adjusted(TOUCH_MM, TOUCH_MM, -TOUCH_MM, -TOUCH_MM);
        bool free = view.contains(boxes[i]);
        for (const QRectF &r : scene.fixed)
            free = free && !interiorsOverlap(inner, r);
        for (size_t j = 0; j < n && free; ++j)
            free = j == i || (!interiorsOverlap(inner, boxes[j]) && !strictlyInside(points[j], inner));
        freeCount += free;
        for (size_t j = i + 1; j < n; ++j)
            quality.crossings
                += !leaders[i].isNull() && !leaders[j].isNull() && leadersCross(leaders[i], leaders[j]);
        for (size_t j = 0; j < n; ++j)
            quality.throughBoxes += j != i && !leaders[i].isNull() && leaderEntersBox(leaders[i], boxes[j]);
        lengths.push_back(leaders[i].isNull() ? 0.0 : leaders[i].length());
    }
    quality.freeShare = double(freeCount) / double(n);
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

} // namespace Vaq::Bench
