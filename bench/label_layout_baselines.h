// The two label layouts the benchmark measures the box distributor against, both choosing for
// each label one of the same candidate boxes around its point:
//  - greedy: labels in input order, each at its first candidate (shortest leader first) that
//    hides no placed label, fixed box or other label's point, else at its first candidate;
//  - simulated annealing (as measured by Christensen, Marks and Shieber, 1995), starting from
//    the greedy layout: random moves of one label to a random candidate of its own, accepted by
//    the Metropolis rule while the temperature falls geometrically; energy = weighted count of
//    hidden boxes and points + leader length + weighted count of leader crossings.
// Lengths are figure millimetres. The same input gives the same boxes.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <cstdint>
#include <vector>

namespace Vaq::Bench {

struct LayoutProblem
{
    QRectF view;
    std::vector<QRectF> fixed;
    // The label boxes' sizes and their points, in one order.
    std::vector<QSizeF> sizes;
    std::vector<QPointF> points;
};

// For every label its candidate boxes, shortest leader first: on rings of growing distance
// from its point (up to a dozen box heights), on each ring beside, above, below and at the
// corners of the point, shifted into the view; none hides its own point.
std::vector<std::vector<QRectF>> candidateBoxes(const LayoutProblem &problem);

std::vector<QRectF> placeGreedy(
    const LayoutProblem &problem, const std::vector<std::vector<QRectF>> &candidates);

// moves: the number of moves tried; seed: of the random moves.
std::vector<QRectF> placeByAnnealing(const LayoutProblem &problem,
    const std::vector<std::vector<QRectF>> &candidates, int moves, uint64_t seed);

} // namespace Vaq::Bench
