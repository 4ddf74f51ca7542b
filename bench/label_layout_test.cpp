#include "bench/label_layout_baselines.h"
#include "bench/label_layout_geometry.h"
#include "bench/label_layout_quality.h"
#include "bench/label_layout_scene.h"
#include "bench/rect_bucket_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

using namespace Vaq;
using namespace Vaq::Bench;

namespace {

// A scene of a 100 x 100 mm view with one fixed box in its lower right quarter.
LabelScene emptyScene()
{
    LabelScene scene;
    scene.view = QRectF(0.0, 0.0, 100.0, 100.0);
    scene.fixed.push_back(QRectF(60.0, 60.0, 40.0, 40.0));
    return scene;
}

Fig2::Label &addLabel(LabelScene &scene, const QPointF &point, const QPointF &boxCentre)
{
    scene.labels.push_back(std::make_unique<Fig2::Label>());
    Fig2::Label &label = *scene.labels.back();
    label.setText(QStringLiteral("Bore 17"));
    label.setConnectorPoint(point);
    moveBoxCentre(label, boxCentre);
    return label;
}

std::set<int> found(const RectBucketGrid &grid, const QRectF &query)
{
    std::set<int> ids;
    grid.visit(query, [&](int id, const QRectF &r) {
        if (interiorsOverlap(query, r))
            ids.insert(id);
    });
    return ids;
}

} // namespace

// Each way a label stops being free, beside labels that only touch and stay free.
TEST(LabelLayoutQuality, freeShareCountsOverlapsHiddenPointsFixedBoxesAndTheView)
{
    LabelScene scene = emptyScene();
    Fig2::Label &a = addLabel(scene, QPointF(5.0, 5.0), QPointF(20.0, 20.0));
    const double w = a.getBoxRect().width(), h = a.getBoxRect().height();
    addLabel(scene, QPointF(5.0, 6.0), QPointF(20.0 + w, 20.0)); // touches a's right edge: both free
    addLabel(scene, QPointF(5.0, 7.0), QPointF(20.0, 20.0 + h)); // touches a's lower edge: free
    EXPECT_EQ(measureLayout(scene).freeShare, 1.0);

    addLabel(scene, QPointF(20.0, 50.0), QPointF(20.0 + 0.25 * w, 50.0)); // its own point does not count
    addLabel(scene, QPointF(50.0, 50.0), QPointF(50.0, 50.0 - h)); // lets the next one hide its point
    addLabel(scene, QPointF(5.0, 8.0), QPointF(50.0, 50.0 + 0.4 * h)); // hides that point: not free
    addLabel(scene, QPointF(5.0, 9.0), QPointF(60.0, 62.0)); // into the fixed box: not free
    addLabel(scene, QPointF(5.0, 10.0), QPointF(1.0, 40.0)); // out of the view: not free
    EXPECT_DOUBLE_EQ(measureLayout(scene).freeShare, 5.0 / 8.0);

    addLabel(scene, QPointF(5.0, 11.0), QPointF(20.0 + 0.5 * w, 20.0)); // overlaps the first two
    EXPECT_DOUBLE_EQ(measureLayout(scene).freeShare, 3.0 / 9.0);
}

// Leaders are counted as figure labels draw them, and two leaders to one point do not cross.
TEST(LabelLayoutQuality, crossingsAndLeaderLengths)
{
    LabelScene scene = emptyScene();
    Fig2::Label &a = addLabel(scene, QPointF(30.0, 30.0), QPointF(0.0, 0.0));
    const double w = a.getBoxRect().width(), h = a.getBoxRect().height();
    // Boxes above two points 20 mm apart, each reached from the nearer lower corner: the one of
    // the left point sits above the right one and the other way round.
    moveBoxCentre(a, QPointF(50.0, 30.0 - 10.0 - h / 2.0));
    addLabel(scene, QPointF(50.0, 30.0), QPointF(30.0, 30.0 - 10.0 - h / 2.0));
    const LayoutQuality crossed = measureLayout(scene);
    EXPECT_EQ(crossed.crossings, 1);
    const double slanted = std::hypot(20.0 - w / 2.0, 10.0);
    EXPECT_NEAR(crossed.meanLeader, slanted, 1e-9);

    // Two more labels of the right point, beside it: their leaders of 5 and 15 mm meet the
    // others at the point only.
    addLabel(scene, QPointF(50.0, 30.0), QPointF(55.0 + w / 2.0, 30.0));
    addLabel(scene, QPointF(50.0, 30.0), QPointF(35.0 - w / 2.0, 30.0));
    const LayoutQuality q = measureLayout(scene);
    EXPECT_EQ(q.crossings, 1);
    EXPECT_NEAR(q.meanLeader, (2.0 * slanted + 5.0 + 15.0) / 4.0, 1e-9);
    EXPECT_NEAR(q.leader95, std::max(slanted, 15.0), 1e-9); // nearest rank: the 4th of 4
}

TEST(LabelLayoutQuality, leadersThroughOtherBoxesCountButNotThoseAlongAnEdge)
{
    LabelScene scene = emptyScene();
    // A level leader 70 mm long to the right, and a box above another point straddling it.
    Fig2::Label &far = addLabel(scene, QPointF(5.0, 40.0), QPointF(0.0, 0.0));
    moveBoxCentre(far, QPointF(75.0 + far.getBoxRect().width() / 2.0, 40.0));
    Fig2::Label &near = addLabel(scene, QPointF(40.0, 55.0), QPointF(40.0, 40.0));
    EXPECT_EQ(measureLayout(scene).throughBoxes, 1);
    // Lifted so that the leader runs along its lower edge, or moved to where the leader starts
    // at its upper right corner: neither counts.
    const double w = near.getBoxRect().width(), h = near.getBoxRect().height();
    moveBoxCentre(near, QPointF(40.0, 40.0 - h / 2.0));
    EXPECT_EQ(measureLayout(scene).throughBoxes, 0);
    moveBoxCentre(near, QPointF(5.0 - w / 2.0, 40.0 + h / 2.0));
    EXPECT_EQ(measureLayout(scene).throughBoxes, 0);
}

TEST(LabelLayoutQuality, keptShareAllowsTheToleranceOnly)
{
    const std::vector<QPointF> before { { 0.0, 0.0 }, { 1.0, 1.0 }, { 2.0, 2.0 }, { 3.0, 3.0 } };
    const std::vector<QPointF> after { { 0.0, 0.0 }, { 1.3, 1.4 }, { 2.3, 2.4001 }, { -3.0, 3.0 } };
    EXPECT_DOUBLE_EQ(keptShare(before, after, 0.5), 0.5); // 0.5 exactly is kept, 0.50008 is not
    EXPECT_DOUBLE_EQ(keptShare({}, {}, 0.5), 1.0);
}

// Labels free before a change that it pushed onto a point or out of the view must move, and one of
// two boxes that came to overlap, unless a move within the tolerance parts them; boxes that
// overlapped before may stay.
TEST(LabelLayoutQuality, keepableShareCountsTheLabelsAChangeForcesToMove)
{
    LabelScene scene = emptyScene();
    Fig2::Label &a = addLabel(scene, QPointF(5.0, 5.0), QPointF(20.0, 20.0));
    const double w = a.getBoxRect().width(), h = a.getBoxRect().height();
    addLabel(scene, QPointF(5.0, 6.0), QPointF(20.0, 20.0 + h)); // under a
    addLabel(scene, QPointF(50.0, 50.0), QPointF(20.0, 50.0)); // its box to the left of the point
    addLabel(scene, QPointF(5.0, 8.0), QPointF(20.0, 80.0)); // overlaps the next one: not free
    addLabel(scene, QPointF(5.0, 9.0), QPointF(20.0 + 0.5 * w, 80.0));
    addLabel(scene, QPointF(5.0, 10.0), QPointF(80.0, 20.0));
    addLabel(scene, QPointF(5.0, 11.0), QPointF(50.0, 20.0)); // stays free
    const std::vector<bool> wasFree = freeLabels(scene);
    ASSERT_EQ(wasFree, std::vector<bool>({ true, true, true, false, false, true, true }));
    EXPECT_DOUBLE_EQ(keepableShare(scene, wasFree, 0.0), 1.0);

    moveBoxCentre(*scene.labels[1], QPointF(20.0, 20.0 + 0.5 * h)); // into a: one of the two moves
    moveBoxCentre(*scene.labels[2], QPointF(50.0 - 0.25 * w, 50.0)); // onto its own point: may stay
    moveBoxCentre(*scene.labels[4], QPointF(20.0 + 0.25 * w, 80.0)); // deeper into the hidden one
    moveBoxCentre(*scene.labels[5], QPointF(99.0, 20.0)); // out of the view
    EXPECT_DOUBLE_EQ(keepableShare(scene, wasFree, 0.0), 5.0 / 7.0);
    // a and the one under it overlap by half a height: moving each by 0.3 of one parts them.
    EXPECT_DOUBLE_EQ(keepableShare(scene, wasFree, 0.3 * h), 6.0 / 7.0);

    // Into the one under a: that one moving clears both. Another box onto the third label's point.
    moveBoxCentre(*scene.labels[2], QPointF(20.0, 20.0 + 1.25 * h));
    moveBoxCentre(*scene.labels[6], QPointF(50.0 - 0.25 * w, 50.0));
    EXPECT_DOUBLE_EQ(keepableShare(scene, wasFree, 0.0), 4.0 / 7.0);
    EXPECT_DOUBLE_EQ(keepableShare(emptyScene(), {}, 0.0), 1.0);
}

// Rectangles are found after moves and removal, also those sticking out of the grid's area.
TEST(RectBucketGrid, findsMovedAndOutlyingRectangles)
{
    RectBucketGrid grid(QRectF(0.0, 0.0, 100.0, 100.0), 10.0, 4);
    grid.insert(0, QRectF(5.0, 5.0, 30.0, 3.0)); // spans four buckets
    grid.insert(1, QRectF(-20.0, 50.0, 15.0, 5.0)); // left of the area
    grid.insert(2, QRectF(95.0, 95.0, 20.0, 20.0)); // over the lower right corner
    EXPECT_EQ(found(grid, QRectF(30.0, 6.0, 1.0, 1.0)), (std::set<int> { 0 }));
    EXPECT_EQ(found(grid, QRectF(-30.0, 40.0, 40.0, 20.0)), (std::set<int> { 1 }));
    EXPECT_EQ(found(grid, QRectF(105.0, 105.0, 1.0, 1.0)), (std::set<int> { 2 }));
    grid.remove(0);
    grid.insert(3, QRectF(29.0, 5.0, 2.0, 3.0));
    EXPECT_EQ(found(grid, QRectF(30.0, 6.0, 1.0, 1.0)), (std::set<int> { 3 }));
    grid.insert(0, QRectF(70.0, 70.0, 5.0, 5.0));
    EXPECT_EQ(found(grid, QRectF(-50.0, -50.0, 200.0, 200.0)), (std::set<int> { 0, 1, 2, 3 }));
    EXPECT_TRUE(found(grid, QRectF(40.0, 20.0, 20.0, 20.0)).empty());
}

// Candidates lie in the view, shortest leader first, and never over their own point, also for a
// point in a corner of the view.
TEST(LabelLayoutBaselines, candidatesInTheViewShortestLeaderFirst)
{
    const LayoutProblem problem { QRectF(0.0, 0.0, 100.0, 50.0), {}, { QSizeF(20.0, 5.0), QSizeF(20.0, 5.0) },
        { QPointF(50.0, 25.0), QPointF(0.5, 0.5) } };
    const auto candidates = candidateBoxes(problem);
    ASSERT_EQ(candidates.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        ASSERT_GT(candidates[i].size(), 20u);
        double last = 0.0;
        for (const QRectF &box : candidates[i]) {
            EXPECT_TRUE(problem.view.contains(box));
            EXPECT_FALSE(strictlyInside(problem.points[i], box));
            const double length = lengthOf(leaderOf(box, problem.points[i]));
            EXPECT_GE(length, last);
            last = length;
        }
    }
    EXPECT_EQ(lengthOf(leaderOf(candidates[0].front(), problem.points[0])), 0.0);
}

// Greedy keeps input order: the first label takes its first candidate (above its point), the
// second, whose first candidate would overlap that box, moves on to a free one.
// Annealing over the same candidates repeats itself for a seed and only ever picks candidates.
TEST(LabelLayoutBaselines, greedyTakesTheFirstFreeCandidateAndAnnealingRepeats)
{
    LayoutProblem problem { QRectF(0.0, 0.0, 100.0, 50.0), { QRectF(0.0, 0.0, 100.0, 10.0) },
        { QSizeF(20.0, 5.0), QSizeF(20.0, 5.0), QSizeF(20.0, 5.0) },
        { QPointF(50.0, 25.0), QPointF(55.0, 27.0), QPointF(50.0, 40.0) } };
    const auto candidates = candidateBoxes(problem);
    const std::vector<QRectF> greedy = placeGreedy(problem, candidates);
    EXPECT_EQ(greedy[0], candidates[0].front());
    for (size_t i = 0; i < greedy.size(); ++i) {
        for (size_t j = 0; j < greedy.size(); ++j)
            EXPECT_TRUE(i == j
                || (!interiorsOverlap(greedy[i], greedy[j])
                    && !strictlyInside(problem.points[j], greedy[i])));
        EXPECT_FALSE(interiorsOverlap(greedy[i], problem.fixed[0]));
    }
    EXPECT_NE(greedy[1], candidates[1].front());

    const std::vector<QRectF> annealed = placeByAnnealing(problem, candidates, 5000, 7);
    EXPECT_EQ(placeByAnnealing(problem, candidates, 5000, 7), annealed);
    for (size_t i = 0; i < annealed.size(); ++i)
        EXPECT_NE(std::find(candidates[i].begin(), candidates[i].end(), annealed[i]), candidates[i].end());
}
