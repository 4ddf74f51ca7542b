#include "gcad/host/fig2/vaq_fig2_box_cover.h"
#include "gcad/host/fig2/vaq_fig2_box_distributor.h"
#include "gcad/host/fig2/vaq_fig2_box_grid.h"
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "gcad/host/fig2/vaq_fig2_legend.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <limits>
#include <memory>
#include <numbers>
#include <random>

using namespace Vaq;
using namespace Vaq::Fig2;
using Vaq::Test::progErrorMessage;

namespace {

// A 1920 x 1080 pixel view at 0.2646 mm per pixel, and the overlay's factors.
const QSizeF VIEW(508.0, 286.0);
constexpr double MARGIN = 1.1, FILL = 0.7;
constexpr double EPS = 1e-6;

// A label with a box of a given size and no text to lay out.
class BoxLabel : public LabelBase
{
public:
    BoxLabel(const QRectF &box, const QPointF &point)
        : m_box(box)
    {
        setConnectorPoint(point);
    }
    QRectF getBoxRect() const override { return m_box; }
    void move(double dx, double dy) override { m_box.translate(dx, dy); }

protected:
    void paintContent(QPainter &) const override { }

private:
    QRectF m_box;
};

using Labels = std::vector<std::unique_ptr<BoxLabel>>;

bool overlap(const QRectF &a, const QRectF &b)
{
    return a.left() < b.right() - EPS && b.left() < a.right() - EPS && a.top() < b.bottom() - EPS
        && b.top() < a.bottom() - EPS;
}

bool covers(const QRectF &r, const QPointF &p)
{
    return r.left() < p.x() - EPS && p.x() < r.right() - EPS && r.top() < p.y() - EPS
        && p.y() < r.bottom() - EPS;
}

QRectF widened(const QRectF &box)
{
    const double dx = box.width() * (MARGIN - 1.0) / 2.0, dy = box.height() * (MARGIN - 1.0) / 2.0;
    return box.adjusted(-dx, -dy, dx, dy);
}

bool inside(const QRectF &outer, const QRectF &inner)
{
    return inner.left() >= outer.left() - EPS && inner.right() <= outer.right() + EPS
        && inner.top() >= outer.top() - EPS && inner.bottom() <= outer.bottom() + EPS;
}

// Whether the leaders cross at a point inside both (they are never parallel here).
bool crosses(const QLineF &a, const QLineF &b)
{
    QPointF at;
    return !a.isNull() && !b.isNull() && a.intersects(b, &at) == QLineF::BoundedIntersection && at != a.p2()
        && at != b.p2();
}

// Pairs of labels whose leaders cross.
int countCrossings(const Labels &labels)
{
    int crossings = 0;
    for (size_t i = 0; i < labels.size(); ++i) {
        for (size_t j = i + 1; j < labels.size(); ++j)
            crossings += crosses(labels[i]->getConnector(), labels[j]->getConnector());
    }
    return crossings;
}

// Where a box starts, from its point: over the point, so that it cannot stay there.
const QPointF START_OFFSET(-2.0, -2.0);

// count labels of sizes between least and most (8 to 30 x 4 to 6 mm unless given) pointing at
// random places of points, each box starting over its own point, so that none can stay.
Labels randomLabels(int count, const QRectF &points, unsigned seed, const QSizeF &least = QSizeF(8.0, 4.0),
    const QSizeF &most = QSizeF(30.0, 6.0))
{
    std::mt19937 random(seed);
    auto uniform = [&](double low, double high) { return low + (high - low) * (random() / 4294967296.0); };
    Labels labels;
    for (int i = 0; i < count; ++i) {
        const QPointF point(uniform(points.left(), points.right()), uniform(points.top(), points.bottom()));
        const QSizeF size(uniform(least.width(), most.width()), uniform(least.height(), most.height()));
        labels.push_back(std::make_unique<BoxLabel>(QRectF(point + START_OFFSET, size), point));
    }
    return labels;
}

std::vector<QRectF> boxesOf(const Labels &labels)
{
    std::vector<QRectF> boxes;
    for (const auto &label : labels)
        boxes.push_back(label->getBoxRect());
    return boxes;
}

// The area of all pairwise overlaps of the labels' boxes.
double overlapArea(const Labels &labels)
{
    double sum = 0.0;
    for (size_t i = 0; i < labels.size(); ++i) {
        for (size_t j = i + 1; j < labels.size(); ++j) {
            const QRectF both = labels[i]->getBoxRect().intersected(labels[j]->getBoxRect());
            sum += both.width() * both.height();
        }
    }
    return sum;
}

TEST(BoxDistributor, RandomLabelsKeepClearOfEachOtherObstaclesAndPointsWithShortUncrossedLeaders)
{
    // Strips at all sides (a legend's at the bottom), the reserved corner, a floating legend and
    // a label placed by hand: about a sixth of the area is text, so every label has room near
    // its point.
    const QRectF area(6.0, 8.0, VIEW.width() - 21.0, VIEW.height() - 33.0);
    const QRectF corner(0.0, VIEW.height() - 32.0, 32.0, 32.0), legend(200.0, 120.0, 120.0, 20.0);
    for (const auto &[count, seed] : { std::pair { 50, 1u }, { 120, 2u }, { 200, 3u }, { 200, 4u } }) {
        SCOPED_TRACE(testing::Message() << count << " labels, seed " << seed);
        Labels labels = randomLabels(count, area, seed);
        BoxLabel manual(QRectF(400.0, 40.0, 30.0, 5.0), QPointF(380.0, 60.0));
        BoxDistributor distributor(VIEW, MARGIN, FILL);
        distributor.moveSide(BoxDistributor::SIDE_BOTTOM, 25.0);
        distributor.moveSide(BoxDistributor::SIDE_RIGHT, 15.0);
        distributor.moveSide(BoxDistributor::SIDE_TOP, 8.0);
        distributor.moveSide(BoxDistributor::SIDE_LEFT, 6.0);
        // Of two strips at one side the deeper counts; SIDE_NONE takes none.
        distributor.moveSide(BoxDistributor::SIDE_BOTTOM, 5.0);
        distributor.moveSide(BoxDistributor::SIDE_NONE, 100.0);
        distributor.addFixedBox(corner);
        distributor.addFixedBox(legend);
        distributor.addFixedTextBox(&manual);
        for (auto &label : labels)
            distributor.addTextBox(label.get());
        distributor.distribute(area.center());

        double longest = 0.0, sum = 0.0;
        for (size_t i = 0; i < labels.size(); ++i) {
            const QRectF box = labels[i]->getBoxRect();
            ASSERT_TRUE(inside(area, box)) << i;
            ASSERT_FALSE(overlap(box, corner) || overlap(box, legend) || overlap(box, manual.getBoxRect()))
                << i;
            ASSERT_FALSE(covers(box, manual.getConnectorPoint())) << i;
            ASSERT_FALSE(crosses(labels[i]->getConnector(), manual.getConnector())) << i;
            for (size_t j = 0; j < labels.size(); ++j) {
                ASSERT_FALSE(covers(box, labels[j]->getConnectorPoint()))
                    << i << " covers the point of " << j;
                if (j > i) {
                    // Widened by the margin factor, they still keep apart.
                    ASSERT_FALSE(overlap(widened(box), widened(labels[j]->getBoxRect())))
                        << i << " overlaps " << j;
                    ASSERT_FALSE(crosses(labels[i]->getConnector(), labels[j]->getConnector()))
                        << i << " crosses " << j;
                }
            }
            const double length = labels[i]->getConnector().length();
            longest = std::max(longest, length);
            sum += length;
        }
        // Free places lie within a few box heights of every point.
        EXPECT_LT(longest, 30.0);
        // Most boxes sit right at their points, their leaders no longer than the gap the margin
        // keeps (a box keeping half a box height away would average about 3 mm).
        EXPECT_LT(sum / count, 2.0);
    }
}

TEST(BoxDistributor, LeadersOfSideBySidePointsAreUncrossed)
{
    // Last frame left each box above the other label's point, so that the leaders cross;
    // both places are free and near, but swapping them uncrosses the leaders.
    const QPointF p1(100.0, 100.0), p2(130.0, 100.0);
    const QRectF overP2(118.0, 88.0, 20.0, 5.0), overP1(92.0, 88.0, 20.0, 5.0);
    {
        BoxLabel a(overP2, p1), b(overP1, p2);
        ASSERT_TRUE(crosses(a.getConnector(), b.getConnector()));
        BoxDistributor distributor(VIEW, MARGIN, FILL);
        distributor.addTextBox(&a);
        distributor.addTextBox(&b);
        distributor.distribute();
        EXPECT_FALSE(crosses(a.getConnector(), b.getConnector()));
        EXPECT_FALSE(overlap(a.getBoxRect(), b.getBoxRect()));
        EXPECT_FALSE(covers(a.getBoxRect(), p2) || covers(b.getBoxRect(), p1));
    }
    {
        // The same with the second label fixed: the placed one gives way.
        BoxLabel a(overP2, p1), fixed(overP1, p2);
        BoxDistributor distributor(VIEW, MARGIN, FILL);
        distributor.addFixedTextBox(&fixed);
        distributor.addTextBox(&a);
        distributor.distribute();
        EXPECT_FALSE(crosses(a.getConnector(), fixed.getConnector()));
        EXPECT_FALSE(overlap(a.getBoxRect(), fixed.getBoxRect()));
        EXPECT_EQ(fixed.getBoxRect(), overP1);
    }
}

TEST(BoxDistributor, ALeaderThatRunsThroughAnotherBoxIsRepaired)
{
    // Last frame left the far label behind the near one, its leader through the near box;
    // both places are free and near, and there are no leaders to cross.
    const QPointF p1(100.0, 100.0), p2(110.0, 100.0);
    BoxLabel farther(QRectF(123.0, 97.0, 8.0, 6.0), p1), nearer(QRectF(114.0, 97.0, 8.0, 6.0), p2);
    ASSERT_TRUE(farther.getConnector().p2() == p1 || farther.getConnector().p1() == p1);
    BoxDistributor distributor(VIEW, MARGIN, FILL);
    distributor.addTextBox(&farther);
    distributor.addTextBox(&nearer);
    distributor.distribute();
    const QLineF leader = farther.getConnector();
    const QRectF box = nearer.getBoxRect();
    for (double t = 0.0; t <= 1.0; t += 0.01)
        EXPECT_FALSE(box.contains(leader.pointAt(t))) << "at " << t;
    EXPECT_FALSE(overlap(farther.getBoxRect(), nearer.getBoxRect()));
}

TEST(BoxDistributor, KeepsLastPlacesThatAreStillFreeAndNear)
{
    // A grid of labels, each box 8 mm to the lower left of its point: free and near, though
    // not where a fresh layout would put it.
    Labels labels;
    for (int i = 0; i < 30; ++i) {
        const QPointF point(40.0 + 60.0 * (i % 6), 40.0 + 40.0 * (i / 6));
        labels.push_back(
            std::make_unique<BoxLabel>(QRectF(point + QPointF(-28.0, 8.0), QSizeF(20.0, 5.0)), point));
    }
    const std::vector<QRectF> before = boxesOf(labels);
    auto run = [&](const std::vector<QRectF> &fixed) {
        BoxDistributor distributor(VIEW, MARGIN, FILL);
        for (const QRectF &box : fixed)
            distributor.addFixedBox(box);
        for (auto &label : labels)
            distributor.addTextBox(label.get());
        distributor.distribute(QPointF(200.0, 120.0));
    };
    run({});
    EXPECT_EQ(boxesOf(labels), before);

    // The view turned a little: the points moved, the places are still good.
    for (auto &label : labels)
        label->setConnectorPoint(label->getConnectorPoint() + QPointF(0.4, -0.3));
    run({});
    EXPECT_EQ(boxesOf(labels), before);

    // Something now covers label 7's place: it moves, the others stay.
    const QRectF blocker = before[7].adjusted(-2.0, -1.0, 2.0, 1.0);
    run({ blocker });
    const std::vector<QRectF> after = boxesOf(labels);
    for (size_t i = 0; i < labels.size(); ++i) {
        if (i == 7)
            EXPECT_FALSE(overlap(after[i], blocker));
        else
            EXPECT_EQ(after[i], before[i]) << i;
    }

    // A place far from its point is not kept although it is free.
    BoxLabel far(QRectF(300.0, 250.0, 20.0, 5.0), QPointF(300.0, 150.0));
    BoxDistributor distributor(VIEW, MARGIN, FILL);
    distributor.addTextBox(&far);
    distributor.distribute();
    EXPECT_LT(far.getConnector().length(), 10.0);

    // Two boxes that came closer than their margins keep apart, without overlapping: both stay.
    const QRectF leftBox(100.0, 200.0, 20.0, 5.0), rightBox(120.5, 200.0, 20.0, 5.0);
    BoxLabel left(leftBox, QPointF(110.0, 210.0)), right(rightBox, QPointF(130.0, 210.0));
    BoxDistributor close(VIEW, MARGIN, FILL);
    close.addTextBox(&left);
    close.addTextBox(&right);
    close.distribute();
    EXPECT_EQ(left.getBoxRect(), leftBox);
    EXPECT_EQ(right.getBoxRect(), rightBox);
}

TEST(BoxDistributor, ALabelPushedALittleOutOfTheViewIntoAnotherOrOntoAPointGlidesAside)
{
    // A turn of the view pushed one box 2 mm past the right edge, another 1 mm into its
    // neighbour, and a third 1 mm over another label's point: each shifts just back, rather
    // than looking for a place afresh.
    BoxLabel edge(QRectF(VIEW.width() - 18.0, 100.0, 20.0, 5.0), QPointF(VIEW.width() - 23.0, 110.0));
    const QRectF stays(100.0, 200.0, 20.0, 5.0);
    BoxLabel left(stays, QPointF(110.0, 210.0));
    BoxLabel right(QRectF(119.0, 200.0, 20.0, 5.0), QPointF(129.0, 210.0));
    const QRectF staysToo(270.0, 190.0, 20.0, 5.0);
    BoxLabel pointed(staysToo, QPointF(301.0, 202.0));
    BoxLabel over(QRectF(300.0, 200.0, 20.0, 5.0), QPointF(310.0, 210.0));
    BoxDistributor distributor(VIEW, MARGIN, FILL);
    for (BoxLabel *label : { &edge, &left, &right, &pointed, &over })
        distributor.addTextBox(label);
    distributor.distribute();
    EXPECT_EQ(edge.getBoxRect(), QRectF(VIEW.width() - 20.0, 100.0, 20.0, 5.0));
    EXPECT_EQ(left.getBoxRect(), stays);
    EXPECT_EQ(right.getBoxRect(), QRectF(120.0, 200.0, 20.0, 5.0));
    EXPECT_EQ(pointed.getBoxRect(), staysToo);
    EXPECT_EQ(over.getBoxRect(), QRectF(301.0, 200.0, 20.0, 5.0));
}

// Distributes the labels in the whole view with the overlay's centre.
void distributeAll(Labels &labels)
{
    BoxDistributor distributor(VIEW, MARGIN, FILL);
    for (auto &label : labels)
        distributor.addTextBox(label.get());
    distributor.distribute(QPointF(VIEW.width() / 2.0, VIEW.height() / 2.0));
}

TEST(BoxDistributor, ALayoutOfItsOwnResultMovesNothing)
{
    // 40 labels sharing one point, whose leaders run through the crowd around it, and a view
    // a quarter full of text: a second layout with nothing changed has no reason to move any.
    const QPointF middle(VIEW.width() / 2.0, VIEW.height() / 2.0);
    Labels scenes[]
        = { randomLabels(40, QRectF(middle, QSizeF()), 5), randomLabels(400, QRectF(QPointF(), VIEW), 6) };
    for (Labels &labels : scenes) {
        SCOPED_TRACE(testing::Message() << labels.size() << " labels");
        distributeAll(labels);
        const std::vector<QRectF> first = boxesOf(labels);
        distributeAll(labels);
        const std::vector<QRectF> second = boxesOf(labels);
        int moved = 0;
        for (size_t i = 0; i < labels.size(); ++i)
            moved += second[i] != first[i];
        EXPECT_EQ(moved, 0);
    }
}

// Turns the view by two degrees about its middle as the overlay sees it: every point turns and
// its label moves along with it. Returns the labels' boxes after the move.
std::vector<QRectF> turnTwoDegrees(Labels &labels)
{
    const double a = 2.0 * std::numbers::pi / 180.0;
    const QPointF middle(VIEW.width() / 2.0, VIEW.height() / 2.0);
    for (auto &label : labels) {
        const QPointF d = label->getConnectorPoint() - middle;
        const QPointF point = middle
            + QPointF(std::cos(a) * d.x() - std::sin(a) * d.y(), std::sin(a) * d.x() + std::cos(a) * d.y());
        const QPointF shift = point - label->getConnectorPoint();
        label->setConnectorPoint(point);
        label->move(shift.x(), shift.y());
    }
    return boxesOf(labels);
}

// Lays the labels out, turns the view by two degrees and lays them out again. Returns how many
// boxes stayed where the turn moved them.
int keptAfterATurn(Labels &labels)
{
    distributeAll(labels);
    const std::vector<QRectF> turned = turnTwoDegrees(labels);
    distributeAll(labels);
    int kept = 0;
    for (size_t i = 0; i < labels.size(); ++i)
        kept += labels[i]->getBoxRect() == turned[i];
    return kept;
}

TEST(BoxDistributor, AfterATurnOfTwoDegreesNineInTenKeepTheirPlace)
{
    // The boxes near the middle barely shift against each other, those far out by up to 7 mm,
    // mostly closing the gaps between boxes rather than making them overlap.
    Labels labels = randomLabels(400, QRectF(QPointF(10.0, 10.0), VIEW - QSizeF(20.0, 20.0)), 8);
    EXPECT_GE(keptAfterATurn(labels), 0.9 * double(labels.size()));
}

// Every box back over its own point, as in a scene laid out for the first time.
void startAfresh(Labels &labels)
{
    for (auto &label : labels) {
        const QPointF shift = label->getConnectorPoint() + START_OFFSET - label->getBoxRect().topLeft();
        label->move(shift.x(), shift.y());
    }
}

TEST(BoxDistributor, LeadersDoNotTangleWhileTheViewTurnsInSmallSteps)
{
    // 400 labels laid out again after each of ten turns of 2 degrees. Kept boxes ride along with
    // their points and would not move to undo what the turns do to their leaders: after ten
    // turns these crossed three to four times as often as in a fresh layout of the turned view.
    // A layout that falls that far behind gives way to the fresh one. A single turn still keeps
    // most boxes where they were.
    const QPointF middle(VIEW.width() / 2.0, VIEW.height() / 2.0);
    for (unsigned seed = 60; seed < 63; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        Labels labels = randomLabels(400, QRectF(middle - QPointF(140.0, 100.0), QSizeF(280.0, 200.0)), seed);
        EXPECT_GE(keptAfterATurn(labels), 0.85 * double(labels.size()));
        for (int turn = 1; turn < 10; ++turn) {
            turnTwoDegrees(labels);
            distributeAll(labels);
        }
        const int crossings = countCrossings(labels);
        startAfresh(labels);
        distributeAll(labels);
        EXPECT_LE(crossings, 3 * countCrossings(labels) + 8);
    }
}

TEST(BoxDistributor, ThreeInFourSmallCrowdsOfLabelsEndUncrossed)
{
    // Forty crowds of sixteen labels around a small area, with little room for the exchanges
    // that uncross leaders: 30 end uncrossed. 28 do where exchanging a box and one whose leader
    // runs through it may leave more crossings, and 27 where no box is set back from the end of
    // the other's leader.
    int uncrossed = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        Labels labels = randomLabels(16, QRectF(QPointF(200.0, 120.0), QSizeF(30.0, 18.0)), seed);
        distributeAll(labels);
        uncrossed += countCrossings(labels) == 0;
    }
    EXPECT_GE(uncrossed, 30);
}

TEST(BoxDistributor, NoLeadersCrossInAViewAFifthFullOfText)
{
    // 500 small labels spread evenly: room enough near every point for leaders that cross
    // nothing, though a few points sit so close that one box alone cannot clear the other's
    // leader and both must move.
    for (unsigned seed = 20; seed < 30; ++seed) {
        Labels labels = randomLabels(500, QRectF(QPointF(10.0, 10.0), VIEW - QSizeF(20.0, 20.0)), seed,
            QSizeF(8.0, 3.0), QSizeF(14.0, 6.0));
        distributeAll(labels);
        EXPECT_EQ(countCrossings(labels), 0) << "seed " << seed;
    }
}

// Whether every two labels' boxes, widened by the margin factor, keep apart.
testing::AssertionResult keepApart(const Labels &labels)
{
    for (size_t i = 0; i < labels.size(); ++i) {
        for (size_t j = i + 1; j < labels.size(); ++j) {
            if (overlap(widened(labels[i]->getBoxRect()), widened(labels[j]->getBoxRect())))
                return testing::AssertionFailure() << i << " overlaps " << j;
        }
    }
    return testing::AssertionSuccess();
}

TEST(BoxDistributor, LabelsOfOnePointFindFreePlacesFarOut)
{
    // 450 labels of one point, in a view not a third full of text: many find a free place only
    // far out, farther than a search goes in a view its labels overfill.
    Labels labels = randomLabels(450, QRectF(QPointF(250.0, 140.0), QSizeF(1.0, 1.0)), 50);
    distributeAll(labels);
    for (size_t i = 0; i < labels.size(); ++i)
        ASSERT_TRUE(inside(QRectF(QPointF(), VIEW), labels[i]->getBoxRect())) << i;
    EXPECT_TRUE(keepApart(labels));
}

TEST(BoxDistributor, InAnOverfilledViewNoLabelIsSentAcrossTheCrowd)
{
    // 120 labels of 10 x 2 mm, more than a 400 x 10 mm view holds, with their points under a
    // fixed box over the left three quarters. Free places lie only right of it, up to 60 mm from
    // the points farthest left: rather than a leader that long, crossing the others on its way,
    // a label whose free places are all far is hidden near its point. The labels nearer still
    // take the free places, and pile there once those are full: at least 40 end right of it.
    const QSizeF view(400.0, 10.0);
    const QRectF fixed(0.0, 0.0, 300.0, 10.0);
    Labels labels;
    for (int k = 0; k < 120; ++k) {
        const QPointF point(240.0 + 0.5 * k, 1.0 + (k % 9));
        labels.push_back(std::make_unique<BoxLabel>(QRectF(point + START_OFFSET, QSizeF(10.0, 2.0)), point));
    }
    BoxDistributor distributor(view, MARGIN, FILL);
    distributor.addFixedBox(fixed);
    for (auto &label : labels)
        distributor.addTextBox(label.get());
    distributor.distribute();
    int right = 0;
    double longest = 0.0;
    for (const auto &label : labels) {
        right += label->getBoxRect().left() >= fixed.right();
        longest = std::max(longest, label->getConnector().length());
    }
    EXPECT_GE(right, 40);
    EXPECT_LE(longest, 40.0);
}

TEST(BoxDistributor, LabelsOfOneSizeAroundCrowdedClustersLeaveNoLeadersCrossed)
{
    // Clusters of 30 points too close together for their labels, which ring each cluster with
    // long leaders. Boxes of one size can always exchange places, so no crossing has to stay.
    for (unsigned seed = 40; seed < 43; ++seed) {
        std::mt19937 random(seed);
        std::normal_distribution<double> spread(0.0, 12.0);
        Labels labels;
        for (const QPointF centre : { QPointF(120.0, 90.0), QPointF(380.0, 100.0), QPointF(250.0, 200.0) }) {
            for (int k = 0; k < 30; ++k) {
                const QPointF point = centre + QPointF(spread(random), spread(random));
                labels.push_back(
                    std::make_unique<BoxLabel>(QRectF(point - QPointF(8.0, 2.5), QSizeF(16.0, 5.0)), point));
            }
        }
        distributeAll(labels);
        EXPECT_TRUE(keepApart(labels));
        EXPECT_EQ(countCrossings(labels), 0) << "seed " << seed;
    }
}

// The labels whose boxes overlap no other box and cover no other label's point.
int countClear(const Labels &labels)
{
    int clear = 0;
    for (size_t i = 0; i < labels.size(); ++i) {
        const QRectF box = labels[i]->getBoxRect();
        bool hides = false;
        for (size_t j = 0; j < labels.size() && !hides; ++j)
            hides = j != i
                && (overlap(box, labels[j]->getBoxRect()) || covers(box, labels[j]->getConnectorPoint()));
        clear += !hides;
    }
    return clear;
}

TEST(BoxDistributor, InAViewThreeQuartersFullOfTextMostBoxesThatFitNowhereShareTheirPlaces)
{
    // 400 labels of 20 x 6 to 40 x 12 mm: their boxes would cover three quarters of the view,
    // more than fits with the gaps. Boxes that find no free place rather cover boxes already
    // overlapped than free ones, so that half of the labels overlap nothing.
    for (unsigned seed = 50; seed < 52; ++seed) {
        Labels labels = randomLabels(400, QRectF(QPointF(10.0, 10.0), VIEW - QSizeF(20.0, 20.0)), seed,
            QSizeF(20.0, 6.0), QSizeF(40.0, 12.0));
        distributeAll(labels);
        EXPECT_GE(countClear(labels), 200) << "seed " << seed;
    }
}

TEST(BoxDistributor, ATurnLeavesAsManyLabelsReadableInAViewThreeQuartersFullOfText)
{
    // After a small turn, boxes that overlapped others find no free place again. One stays where
    // it was unless that covers more labels still readable than the place that hides least, so
    // that a turn costs no readable label. Staying wherever that hid a little more kept about
    // twice as many in place but left a fifth fewer labels readable (166 of 211). A quarter of
    // them stay all the same.
    Labels labels = randomLabels(400, QRectF(QPointF(10.0, 10.0), VIEW - QSizeF(20.0, 20.0)), 50,
        QSizeF(20.0, 6.0), QSizeF(40.0, 12.0));
    distributeAll(labels);
    std::vector<size_t> overlapped;
    for (size_t i = 0; i < labels.size(); ++i) {
        for (size_t j = 0; j < labels.size(); ++j) {
            if (j != i && overlap(labels[i]->getBoxRect(), labels[j]->getBoxRect())) {
                overlapped.push_back(i);
                break;
            }
        }
    }
    ASSERT_GE(overlapped.size(), 40u);
    const int clearBefore = countClear(labels);
    const std::vector<QRectF> turned = turnTwoDegrees(labels);
    distributeAll(labels);
    size_t stayed = 0;
    for (const size_t i : overlapped)
        stayed += labels[i]->getBoxRect() == turned[i];
    EXPECT_GE(countClear(labels), 0.95 * clearBefore);
    EXPECT_GE(stayed, overlapped.size() / 4) << "of " << overlapped.size();
}

TEST(BoxDistributor, ABoxThatFitsNowhereLeavesItsPlaceOnlyForOneThatCoversFewerBoxes)
{
    // Every place in the view is under a fixed box, the left third under five: the 10 x 5 mm
    // box can only hide as little as possible.
    const QSizeF view(60.0, 20.0);
    const QPointF point(30.0, 10.0);
    const auto place = [&](const QRectF &last) {
        BoxLabel label(last, point);
        BoxDistributor distributor(view, MARGIN, FILL);
        distributor.addFixedBox(QRectF(QPointF(), view));
        for (int k = 0; k < 5; ++k)
            distributor.addFixedBox(QRectF(0.0, 0.0, 20.0, 20.0));
        distributor.addTextBox(&label);
        distributor.distribute();
        return label.getBoxRect();
    };
    // Under one fixed box, as every best place is: it stays.
    const QRectF right(40.0, 2.0, 10.0, 5.0);
    EXPECT_EQ(place(right), right);
    // Under six: it moves to where it hides one.
    const QRectF left(5.0, 2.0, 10.0, 5.0);
    const QRectF moved = place(left);
    EXPECT_GE(moved.left(), 20.0);
    // Over its own point: it moves off it.
    const QRectF over(25.0, 8.0, 10.0, 5.0);
    EXPECT_FALSE(covers(place(over), point));
}

TEST(BoxDistributor, ABoxThatFitsNowhereAmongPointsStaysWhereItCoversNoMoreOfThemThanElsewhere)
{
    // The whole view is under a fixed box and points of fixed labels lie 2 mm apart: a 10 x 5 mm
    // box covers eight of them at the least (four columns and two rows inside).
    const QSizeF view(60.0, 20.0);
    const QPointF point(31.0, 11.0);
    Labels dots;
    for (int x = 2; x < 60; x += 2) {
        for (int y = 2; y < 20; y += 2)
            dots.push_back(std::make_unique<BoxLabel>(QRectF(x, y, 0.0, 0.0), QPointF(x, y)));
    }
    const auto place = [&](const QRectF &last) {
        BoxLabel label(last, point);
        BoxDistributor distributor(view, MARGIN, FILL);
        distributor.addFixedBox(QRectF(QPointF(), view));
        for (const auto &dot : dots)
            distributor.addFixedTextBox(dot.get());
        distributor.addTextBox(&label);
        distributor.distribute();
        return label.getBoxRect();
    };
    const auto covered = [&](const QRectF &box) {
        return std::count_if(
            dots.begin(), dots.end(), [&](const auto &dot) { return covers(box, dot->getConnectorPoint()); });
    };
    // Over eight: it stays.
    const QRectF fewest(40.0, 2.0, 10.0, 5.0);
    ASSERT_EQ(covered(fewest), 8);
    EXPECT_EQ(place(fewest), fewest);
    // Pushed 2 mm out of the view by a turn of it: it stays, shifted back in.
    EXPECT_EQ(place(QRectF(52.0, 2.0, 10.0, 5.0)), fewest.translated(10.0, 0.0));
    // Over fifteen (five columns, three rows): it moves to where it covers fewer.
    const QRectF more(41.0, 1.5, 10.0, 5.0);
    ASSERT_EQ(covered(more), 15);
    EXPECT_LT(covered(place(more)), 15);
}

// Labels for the same scene in a new set of objects, allocated last to first, so that their
// addresses run the other way.
Labels sameLabelsReversed(int count, const QRectF &area, unsigned seed)
{
    const Labels model = randomLabels(count, area, seed);
    Labels labels(model.size());
    for (size_t i = model.size(); i-- > 0;)
        labels[i] = std::make_unique<BoxLabel>(model[i]->getBoxRect(), model[i]->getConnectorPoint());
    return labels;
}

TEST(BoxDistributor, FindsTheOneFreePlaceAtAnEdgeOfAViewSmallerThanItsSearch)
{
    // A 20 x 5 mm box with its point at the right of a view not much wider, taken but for one
    // place at the left edge (its widened box touches the fixed boxes): the search rings reach
    // past the view, and their candidates are pushed against its ends and corners, those at
    // the right first. The place is in the lower left corner, or on the upper side of the
    // second last ring, pushed against its left end.
    const auto place = [](const QSizeF &view, const std::vector<QRectF> &fixed, const QPointF &point) {
        BoxLabel label(QRectF(point - QPointF(10.0, 2.5), QSizeF(20.0, 5.0)), point);
        BoxDistributor distributor(view, MARGIN, FILL);
        for (const QRectF &box : fixed)
            distributor.addFixedBox(box);
        distributor.addTextBox(&label);
        distributor.distribute(QPointF(20.0, 6.0));
        return label.getBoxRect();
    };
    EXPECT_EQ(place(QSizeF(40.0, 12.0), { QRectF(0.0, 0.0, 40.0, 6.75), QRectF(21.0, 6.75, 19.0, 5.25) },
                  QPointF(35.0, 10.0)),
        QRectF(0.0, 7.0, 20.0, 5.0));
    EXPECT_EQ(
        place(QSizeF(40.0, 50.0),
            { QRectF(0.0, 0.0, 40.0, 5.25), QRectF(21.0, 5.25, 19.0, 5.5), QRectF(0.0, 10.75, 40.0, 39.25) },
            QPointF(35.0, 30.0)),
        QRectF(0.0, 5.5, 20.0, 5.0));
}

TEST(BoxDistributor, TheSameSceneGivesTheSameLayout)
{
    // Crowded enough that ties, fallbacks and repairs all take part.
    const QRectF area(QPointF(), VIEW);
    Labels first = randomLabels(600, area, 7), second = sameLabelsReversed(600, area, 7);
    for (Labels *labels : { &first, &second }) {
        BoxDistributor distributor(VIEW, MARGIN, FILL);
        distributor.addFixedBox(QRectF(150.0, 100.0, 120.0, 20.0));
        for (auto &label : *labels)
            distributor.addTextBox(label.get());
        distributor.distribute(QPointF(254.0, 143.0));
    }
    EXPECT_EQ(boxesOf(first), boxesOf(second));
}

TEST(BoxDistributor, CrowdedViewEndsWithLittleOverlap)
{
    // 50 labels of 30 x 6 mm point into a 10 mm square in the middle of a 150 x 100 mm view:
    // their widened boxes need three quarters of it, more than fits around the points.
    Labels labels
        = randomLabels(50, QRectF(70.0, 45.0, 10.0, 10.0), 11, QSizeF(30.0, 6.0), QSizeF(30.0, 6.0));
    const QSizeF view(150.0, 100.0);
    BoxDistributor distributor(view, MARGIN, FILL);
    for (auto &label : labels)
        distributor.addTextBox(label.get());
    distributor.distribute(QPointF(75.0, 50.0));
    for (auto &label : labels)
        EXPECT_TRUE(inside(QRectF(QPointF(), view), label->getBoxRect()));
    // Left where they were, they would overlap by several times their own area.
    EXPECT_LT(overlapArea(labels), 0.05 * 50 * 30.0 * 6.0);

    // A box larger than the view keeps to its top left.
    BoxLabel huge(QRectF(5.0, 5.0, 40.0, 8.0), QPointF(10.0, 2.0));
    BoxDistributor tiny(QSizeF(20.0, 5.0), MARGIN, FILL);
    tiny.addTextBox(&huge);
    tiny.distribute();
    EXPECT_EQ(huge.getBoxRect().topLeft(), QPointF(0.0, 0.0));
}

TEST(BoxDistributor, TenThousandLabelsOnOnePixelOrInATinyViewAreAllPlacedInTheView)
{
    // Far more text than fits, all pointing at one spot: every box ends inside the view, in a
    // second layout of the result too. The work grows about as the number of labels, not as its
    // square, as it would if every box measured the whole pile: four times the labels take
    // well under eight times the processor time.
    const QPointF spot(VIEW.width() / 3.0, VIEW.height() / 2.0);
    double seconds[2] = {};
    for (const int count : { 2500, 10000 }) {
        Labels labels = randomLabels(count, QRectF(spot, QSizeF()), 12);
        const std::clock_t start = std::clock();
        distributeAll(labels);
        seconds[count / 10000] = double(std::clock() - start) / CLOCKS_PER_SEC;
        distributeAll(labels);
        for (const auto &label : labels)
            ASSERT_TRUE(inside(QRectF(QPointF(), VIEW), label->getBoxRect()));
    }
    EXPECT_LT(seconds[1], 8.0 * seconds[0]) << seconds[0] << " s, then " << seconds[1] << " s";
    // A view of one pixel, points inside it or not: a box keeps inside it, or to its left or
    // top edge where it is wider or taller.
    const double pixel = 0.26;
    Labels few = randomLabels(20, QRectF(-1.0, -1.0, 2.0, 2.0), 13, QSizeF(0.1, 0.1), QSizeF(3.0, 1.0));
    BoxDistributor tiny(QSizeF(pixel, pixel), MARGIN, FILL);
    for (auto &label : few)
        tiny.addTextBox(label.get());
    tiny.distribute();
    for (const auto &label : few) {
        const QRectF box = label->getBoxRect();
        EXPECT_TRUE(
            box.width() > pixel ? box.left() == 0.0 : box.left() >= -EPS && box.right() <= pixel + EPS)
            << box.left() << " " << box.width();
        EXPECT_TRUE(
            box.height() > pixel ? box.top() == 0.0 : box.top() >= -EPS && box.bottom() <= pixel + EPS)
            << box.top() << " " << box.height();
    }
}

TEST(BoxDistributor, PlaceAtElementPutsEveryBoxNextToItsPointWhereDistributeKeepsItsPlace)
{
    // Last places 15 mm off are free and near enough to keep when distributing, but placing at
    // the element brings each box next to its point. Two labels share one point.
    BoxLabel a(QRectF(115.0, 100.0, 20.0, 5.0), QPointF(100.0, 100.0));
    BoxLabel b(QRectF(300.0, 200.0, 20.0, 5.0), QPointF(300.0, 185.0));
    BoxLabel c(QRectF(200.0, 65.0, 20.0, 5.0), QPointF(200.0, 50.0));
    BoxLabel d(QRectF(170.0, 30.0, 20.0, 5.0), QPointF(200.0, 50.0));
    // Without a point, a label goes to the centre, kept off the box there, or stays.
    BoxLabel loose(QRectF(20.0, 20.0, 20.0, 5.0), LabelBase::INVALID_POINT);
    const QPointF centre(250.0, 140.0);
    const QRectF blocker(240.0, 130.0, 20.0, 20.0);
    auto run = [&](bool atElement) {
        BoxDistributor distributor(VIEW, MARGIN, FILL);
        distributor.addFixedBox(blocker);
        for (BoxLabel *label : { &a, &b, &c, &d, &loose })
            distributor.addTextBox(label);
        atElement ? distributor.placeAtElement() : distributor.distribute(centre);
    };
    run(false);
    const std::vector<QRectF> distributed
        = { a.getBoxRect(), b.getBoxRect(), c.getBoxRect(), d.getBoxRect(), loose.getBoxRect() };
    EXPECT_EQ(distributed[0], QRectF(115.0, 100.0, 20.0, 5.0));
    EXPECT_EQ(distributed[1], QRectF(300.0, 200.0, 20.0, 5.0));
    EXPECT_FALSE(overlap(loose.getBoxRect(), blocker));
    EXPECT_LT(QLineF(loose.getBoxRect().center(), centre).length(), 25.0);
    // The next frame keeps all of them, the label without a point included.
    run(false);
    EXPECT_EQ(distributed,
        (std::vector<QRectF> {
            a.getBoxRect(), b.getBoxRect(), c.getBoxRect(), d.getBoxRect(), loose.getBoxRect() }));

    run(true);
    for (BoxLabel *label : { &a, &b, &c, &d }) {
        EXPECT_LT(label->getConnector().length(), 5.0);
        EXPECT_GT(label->getConnector().length(), 0.0);
    }
    EXPECT_FALSE(overlap(c.getBoxRect(), d.getBoxRect()));
    EXPECT_EQ(loose.getBoxRect(), distributed[4]);
}

TEST(BoxDistributor, MovesFigureLabelsClearOfFigureElements)
{
    Legend legend;
    legend.setCenter(QPointF(100.0, 50.0));
    Legend hidden;
    hidden.setCenter(QPointF(100.0, 150.0));
    hidden.setTemporarilyInvisible(true);
    // One label starts on the legend, one on the hidden legend, which covers nothing.
    Label onLegend, onHidden;
    onLegend.setText(QStringLiteral("Deviation 0.25"));
    onLegend.setPosition(QPointF(90.0, 45.0));
    onLegend.setConnectorPoint(QPointF(80.0, 62.0));
    onHidden.setText(QStringLiteral("P2"));
    onHidden.setPosition(QPointF(95.0, 150.0));
    onHidden.setConnectorPoint(QPointF(90.0, 160.0));
    const QRectF hiddenStart = onHidden.getBoxRect();

    BoxDistributor distributor(VIEW, MARGIN, FILL);
    distributor.addFixedBox(&legend);
    distributor.addFixedBox(&hidden);
    distributor.addTextBox(&onLegend);
    distributor.addTextBox(&onHidden);
    distributor.distribute();
    EXPECT_FALSE(overlap(onLegend.getBoxRect(), legend.getCoveredRect()));
    EXPECT_LT(onLegend.getConnector().length(), 10.0);
    // The text moved with its box.
    EXPECT_TRUE(inside(onLegend.getBoxRect(), onLegend.getTextRect()));
    EXPECT_EQ(onHidden.getBoxRect(), hiddenStart);
}

TEST(BoxDistributor, RejectsBadInput)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(progErrorMessage([] { BoxDistributor(QSizeF(-1.0, 10.0), MARGIN, FILL); }),
        "view size must be finite and not negative");
    EXPECT_EQ(progErrorMessage([] { BoxDistributor(VIEW, 0.9, FILL); }), "margin factor must be at least 1");
    EXPECT_EQ(progErrorMessage([] { BoxDistributor(VIEW, MARGIN, 0.0); }), "fill factor must lie in (0, 1]");
    EXPECT_EQ(progErrorMessage([&] { BoxDistributor(VIEW, MARGIN, nan); }), "fill factor must lie in (0, 1]");

    BoxDistributor distributor(VIEW, MARGIN, FILL);
    EXPECT_EQ(progErrorMessage([&] { distributor.moveSide(BoxDistributor::SIDE_LEFT, -2.0); }),
        "strip depth must be finite and not negative");
    EXPECT_EQ(
        progErrorMessage([&] { distributor.moveSide(BoxDistributor::Side_t(-2), 2.0); }), "unknown side");
    EXPECT_EQ(progErrorMessage([&] { distributor.addFixedBox(QRectF(0.0, nan, 1.0, 1.0)); }),
        "fixed box is not finite");
    EXPECT_EQ(progErrorMessage([&] { distributor.addFixedBox(static_cast<const Element *>(nullptr)); }),
        "no element");
    EXPECT_EQ(progErrorMessage([&] { distributor.addTextBox(nullptr); }), "no label");
    BoxLabel broken(QRectF(nan, 0.0, 10.0, 5.0), QPointF(1.0, 1.0));
    BoxLabel fine(QRectF(20.0, 20.0, 10.0, 5.0), QPointF(1.0, 1.0));
    distributor.addTextBox(&fine);
    distributor.addTextBox(&broken);
    EXPECT_EQ(progErrorMessage([&] { distributor.distribute(QPointF(nan, 0.0)); }), "centre is not finite");
    EXPECT_EQ(progErrorMessage([&] { distributor.distribute(); }), "label box is not finite");
    EXPECT_EQ(progErrorMessage([&] { distributor.placeAtElement(); }), "label box is not finite");
    // Nothing moved.
    EXPECT_EQ(fine.getBoxRect(), QRectF(20.0, 20.0, 10.0, 5.0));
}

TEST(BoxDistributorLegendAtBorder, TouchesTheEdgeAlongItsLongSide)
{
    // 120 x 20 mm (20 x 120 when vertical); with margin 1.1 it touches an edge within 2 mm.
    struct Case
    {
        QPointF centre;
        bool horizontal, maximized, atBorder;
        BoxDistributor::Side_t side;
        double distance;
    };
    for (const Case &c : {
             Case { { 254.0, 274.0 }, true, false, true, BoxDistributor::SIDE_BOTTOM, 22.0 }, // 2 mm off
             Case { { 254.0, 10.0 }, true, false, true, BoxDistributor::SIDE_TOP, 20.0 }, // flush
             Case { { 254.0, 270.0 }, true, false, false, BoxDistributor::SIDE_NONE, 0.0 }, // 6 mm off
             Case { { 254.0, 270.0 }, true, true, true, BoxDistributor::SIDE_BOTTOM, 26.0 }, // maximized
             Case { { 497.0, 143.0 }, false, false, true, BoxDistributor::SIDE_RIGHT, 21.0 }, // 1 mm off
             // Vertical and 1 mm off the bottom: not the edge its long side runs along.
             Case { { 254.0, 225.0 }, false, false, false, BoxDistributor::SIDE_NONE, 0.0 },
         }) {
        SCOPED_TRACE(testing::Message() << c.centre.x() << ", " << c.centre.y());
        Legend legend;
        legend.setSize(c.horizontal ? QSizeF(120.0, 20.0) : QSizeF(20.0, 120.0));
        legend.setCenter(c.centre);
        BoxDistributor::Side_t side = BoxDistributor::SIDE_NONE;
        double distance = 0.0;
        EXPECT_EQ(
            BoxDistributor::legendAtBorder(VIEW, legend, c.horizontal, c.maximized, MARGIN, &side, &distance),
            c.atBorder);
        EXPECT_EQ(side, c.side);
        EXPECT_DOUBLE_EQ(distance, c.distance);
        // The outputs are optional.
        EXPECT_EQ(
            BoxDistributor::legendAtBorder(VIEW, legend, c.horizontal, c.maximized, MARGIN, nullptr, nullptr),
            c.atBorder);
    }
    // An empty legend touches nothing.
    Legend empty;
    empty.setSize(QSizeF(0.0, 0.0));
    EXPECT_FALSE(BoxDistributor::legendAtBorder(VIEW, empty, false, true, MARGIN, nullptr, nullptr));
}

TEST(BoxCover, MeetsOnlyRectanglesThatOverlapTheOnesItHolds)
{
    // One rectangle on the cell lines (1 mm cells), one off them, overlapping it, one across a
    // few words of cells and two side by side in two words: a query meets them only where it
    // shares an inside with one, and surely where it reaches a cell or more into one.
    BoxCover cover(QRectF(0.0, 0.0, 200.0, 50.0), 1.0);
    const QRectF onLines(10.0, 5.0, 20.0, 10.0), offLines(25.3, 8.7, 14.2, 20.45);
    const QRectF wide(50.5, 30.2, 130.0, 9.6), middle(70.2, 42.0, 30.0, 5.0), late(130.5, 42.0, 10.0, 5.0);
    for (const QRectF &r : { onLines, offLines, wide, middle, late })
        cover.add(r);
    const auto check = [&](const std::vector<QRectF> &held) {
        for (const QSizeF size : { QSizeF(0.5, 0.5), QSizeF(3.7, 1.2), QSizeF(80.0, 2.5) }) {
            for (double x = -2.0; x <= 200.0; x += 0.25) {
                for (double y = -2.0; y <= 50.0; y += 0.25) {
                    const QRectF query(QPointF(x, y), size);
                    bool overlapping = false, deep = false;
                    for (const QRectF &r : held) {
                        const QRectF common = query.intersected(r);
                        overlapping = overlapping || common.width() * common.height() > 0.0;
                        deep = deep || query.intersects(r.adjusted(2.0, 2.0, -2.0, -2.0));
                    }
                    if (cover.meets(query))
                        ASSERT_TRUE(overlapping) << x << ", " << y << ", " << size.width();
                    else
                        ASSERT_FALSE(deep) << x << ", " << y << ", " << size.width();
                }
            }
        }
    };
    check({ onLines, offLines, wide, middle, late });
    // Rectangles that only touch one held are not met.
    EXPECT_FALSE(cover.meets(QRectF(5.0, 5.0, 5.0, 10.0)));
    EXPECT_FALSE(cover.meets(QRectF(12.0, 0.0, 4.0, 5.0)));
    EXPECT_TRUE(cover.meets(QRectF(5.0, 5.0, 7.5, 10.0)));
    cover.remove(onLines);
    cover.remove(middle);
    check({ offLines, wide, late });
    for (const QRectF &r : { offLines, wide, late })
        cover.remove(r);
    check({});
    // Outside the raster, or without an inside, nothing is met.
    cover.add(onLines);
    EXPECT_FALSE(cover.meets(QRectF(-10.0, 10.0, 5.0, 5.0)));
    EXPECT_FALSE(cover.meets(QRectF(15.0, 10.0, 0.0, 3.0)));
    EXPECT_FALSE(cover.meets(QRectF(std::numeric_limits<double>::quiet_NaN(), 10.0, 5.0, 5.0)));
}

TEST(BoxGrid, VisitsEveryItemThatMeetsTheQueryOnce)
{
    // Items of up to several buckets (10 mm buckets), some sticking out of the bounds, some
    // erased: a query visits each item it overlaps, once, and no erased one.
    BoxGrid grid(QRectF(0.0, 0.0, 100.0, 60.0), 10.0);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> at(-10.0, 105.0), extent(0.5, 35.0);
    std::vector<QRectF> items;
    std::vector<bool> erased;
    std::vector<int> handles;
    for (int k = 0; k < 60; ++k) {
        items.emplace_back(at(random), at(random) * 0.6, extent(random), extent(random));
        handles.push_back(grid.insert(items.back(), k));
        erased.push_back(k % 7 == 3);
    }
    for (size_t k = 0; k < items.size(); ++k) {
        if (erased[k])
            grid.erase(handles[k]);
    }
    for (int q = 0; q < 300; ++q) {
        const QRectF query(at(random), at(random) * 0.6, extent(random), extent(random));
        std::vector<int> visits(items.size(), 0);
        grid.visit(query, [&](const QRectF &r, int payload) {
            EXPECT_EQ(r, items[size_t(payload)]);
            ++visits[size_t(payload)];
            return true;
        });
        for (size_t k = 0; k < items.size(); ++k) {
            SCOPED_TRACE(testing::Message() << "query " << q << ", item " << k);
            EXPECT_LE(visits[k], erased[k] ? 0 : 1);
            if (!erased[k] && query.intersects(items[k])) {
                EXPECT_EQ(visits[k], 1);
            }
        }
    }
}

TEST(BoxGrid, FindsWhatASegmentMeetsAndSegmentsThatMeetAQuery)
{
    // Slanted, level, upright and nearly level segments, some reaching out of the bounds, stored
    // along their path beside rectangles; queried with segments and rectangles. A query visits
    // each item once, and every rectangle and segment that a point of it lies in or on (sampled
    // densely, so that the expectation shares nothing with the grid's walk through its buckets).
    BoxGrid grid(QRectF(0.0, 0.0, 100.0, 60.0), 10.0);
    std::mt19937 random(11);
    std::uniform_real_distribution<double> at(-10.0, 110.0), extent(0.5, 20.0), tiny(-0.01, 0.01);
    const auto randomSegment = [&](int k) {
        const QPointF a(at(random), at(random) * 0.6);
        switch (k % 4) {
        case 0:
            return QLineF(a, QPointF(at(random), at(random) * 0.6));
        case 1:
            return QLineF(a, a + QPointF(at(random), 0.0));
        case 2:
            return QLineF(a, a + QPointF(0.0, at(random) * 0.6));
        default:
            // Across a bucket row while barely leaving the level.
            return QLineF(QPointF(a.x(), 30.0 + tiny(random)), QPointF(a.x() + 60.0, 30.0 + tiny(random)));
        }
    };
    std::vector<QLineF> segments;
    std::vector<QRectF> rects;
    for (int k = 0; k < 40; ++k) {
        segments.push_back(randomSegment(k));
        rects.emplace_back(at(random), at(random) * 0.6, extent(random), extent(random));
        EXPECT_EQ(grid.insert(segments.back(), 2 * k), 2 * k);
        EXPECT_EQ(grid.insert(rects.back(), 2 * k + 1), 2 * k + 1);
    }
    // Every tenth segment is taken out again.
    for (int k = 0; k < 40; k += 10)
        grid.erase(2 * k);
    const auto sample = [](const QLineF &s, int i) { return s.pointAt(double(i) / 400.0); };
    const auto closedContains = [](const QRectF &r, const QPointF &p) {
        return r.left() <= p.x() && p.x() <= r.right() && r.top() <= p.y() && p.y() <= r.bottom();
    };
    const auto near = [](const QPointF &p, const QLineF &s) {
        // Distance from p to the segment.
        const QPointF d = s.p2() - s.p1();
        const double len2 = QPointF::dotProduct(d, d);
        const double t = len2 > 0.0 ? std::clamp(QPointF::dotProduct(p - s.p1(), d) / len2, 0.0, 1.0) : 0.0;
        const QPointF q = s.p1() + t * d - p;
        return std::hypot(q.x(), q.y()) < 1e-9;
    };
    for (int q = 0; q < 200; ++q) {
        const QLineF querySegment = randomSegment(q);
        const QRectF queryRect(at(random), at(random) * 0.6, extent(random), extent(random));
        std::vector<int> bySegment(2 * segments.size(), 0), byRect(2 * segments.size(), 0);
        grid.visit(querySegment, [&](const QRectF &, int payload) {
            ++bySegment[size_t(payload)];
            return true;
        });
        grid.visit(queryRect, [&](const QRectF &, int payload) {
            ++byRect[size_t(payload)];
            return true;
        });
        for (size_t k = 0; k < segments.size(); ++k) {
            SCOPED_TRACE(testing::Message() << "query " << q << ", item " << k);
            const bool erased = k % 10 == 0;
            EXPECT_LE(bySegment[2 * k], erased ? 0 : 1);
            EXPECT_LE(byRect[2 * k], erased ? 0 : 1);
            EXPECT_LE(bySegment[2 * k + 1], 1);
            EXPECT_LE(byRect[2 * k + 1], 1);
            bool segmentMeetsRect = false, rectMeetsSegment = false;
            for (int i = 0; i <= 400; ++i) {
                segmentMeetsRect = segmentMeetsRect || closedContains(rects[k], sample(querySegment, i));
                rectMeetsSegment = rectMeetsSegment || closedContains(queryRect, sample(segments[k], i));
            }
            // Crossing segments: a sample of one lies on the other only by chance; test the
            // crossing point itself.
            QPointF crossing;
            const bool segmentsMeet
                = querySegment.intersects(segments[k], &crossing) == QLineF::BoundedIntersection
                && near(crossing, querySegment) && near(crossing, segments[k]);
            if (segmentMeetsRect) {
                EXPECT_EQ(bySegment[2 * k + 1], 1);
            }
            if (!erased && segmentsMeet) {
                EXPECT_EQ(bySegment[2 * k], 1);
            }
            if (!erased && rectMeetsSegment) {
                EXPECT_EQ(byRect[2 * k], 1);
            }
        }
    }
}

} // namespace
