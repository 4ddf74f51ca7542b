// Label box placement: finds for each text box a place near its point where the box, widened by
// the margin factor, covers no other box, no obstacle and no point, with a short leader that
// crosses nothing.
// Idea: point-feature labelling with candidate positions chosen greedily (Christensen, Marks and
// Shieber, 1995). The candidates lie on rings of growing distance around the point, each ring a
// rectangle around the point sampled about half a box apart (at most 16 candidates a side); the
// most crowded boxes go first and each takes its cheapest free candidate (leader length plus a
// penalty per crossing). Last frame's places where the box itself is still clear are kept
// before anything else, so that labels stay calm while the view turns (Been, Daiches and Yap,
// 2006), and crossing leaders (or leaders through boxes) are repaired at the end by swapping
// two boxes, moving one or placing both afresh, as in boundary labelling; a kept box moves only
// to a place free of crossings, so that a layout of its own result stays as it is. A box that
// finds no free place takes the candidate that hides least of the others.
// Cost: about n c grid queries for n boxes and c candidates tried per box, tens in a roomy view;
// in a crowded one c is bounded by the search radius, and the placement and the repair each by
// a budget. A uniform grid keeps each query to the items near the candidate.
#include "gcad/host/fig2/vaq_fig2_box_placement.h"

#include "gcad/host/fig2/vaq_fig2_box_geometry.h"
#include "gcad/host/fig2/vaq_fig2_box_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <numbers>

namespace Vaq::Fig2 {

using namespace BoxGeometry;

namespace {

// From one ring to the next the gap grows by a step, or by this share of it where that is more,
// so that a far search takes few rings.
constexpr double RING_GROWTH = 0.15;
// A box searches at least this many steps out.
constexpr double NEAR_STEPS = 4.5;
// One crossing costs as much leader length as this many steps; a box looks no farther than
// that beyond its first free candidate.
constexpr double CROSSING_STEPS = 3.0;
// Candidates along one side of a ring at most.
constexpr int MAX_SIDE_SAMPLES = 16;
// Work per box on average, in grid entries read, a candidate counting as CANDIDATE_WORK of them;
// once it is spent, the boxes left look at their first ring only, so that a hopelessly crowded
// view still takes bounded time.
constexpr std::uint64_t WORK_PER_BOX = 40000;
constexpr std::uint64_t CANDIDATE_WORK = 32;
// The crossing repair's own work per box on average, whatever the placement used, so that it
// gets as far in a layout that placed every box afresh as in one that kept them all.
constexpr std::uint64_t REPAIR_WORK_PER_BOX = 5000;
constexpr int UNCROSS_PASSES = 4;
// Partners a box tries to swap with, and to be placed afresh with, in one pass.
constexpr size_t UNCROSS_PARTNERS = 4;
// Crossings of one leader and box counted at most: beyond this many a place is hopeless anyway.
constexpr int MAX_CROSSINGS = 8;
// The smallest ring spacing, millimetres (for boxes of no height).
constexpr double MIN_STEP = 1.0;
// Covering a point weighs as much as covering this share of the box's own area, and covering
// the gap around other boxes this share of the area covered.
constexpr double POINT_COVER_SHARE = 0.5;
constexpr double GAP_COVER_SHARE = 0.05;
constexpr double INF = std::numeric_limits<double>::infinity();

class Layout
{
public:
    Layout(const BoxScene &scene, const std::vector<BoxToPlace> &boxes);
    std::vector<QRectF> run(BoxMode_t mode, const QPointF &centre);

private:
    struct Item
    {
        QSizeF size;
        QRectF previous;
        // The connector point, or for a box without one the point it is placed near.
        QPointF target;
        bool hasPoint = false;
        // Ring spacing: about one widened box height.
        double step = MIN_STEP;
        QRectF box;
        bool placed = false;
        // At last frame's place: the repair moves it only where it crosses nothing.
        bool kept = false;
        int rectHandle = -1, leaderHandle = -1;
    };

    void put(int i, const QRectF &box);
    void take(int i);
    QLineF leaderLine(int payload) const;
    QRectF boxOf(const QRectF &entry, int owner) const;

    QRectF clamped(const QRectF &box) const;
    QRectF centredAt(int i, const QPointF &centre) const;
    double shortestLeader(int i, double gap) const;
    double lastGap(int i) const;
    template<typename Consider> void forEachCandidate(int i, Consider &&consider) const;

    bool isClear(int i, const QRectF &shape) const;
    bool isFree(int i, const QRectF &box) const;
    int crossings(int i, const QRectF &box, int limit = MAX_CROSSINGS) const;
    int mutualCrossings(int i, const QRectF &bi, int j, const QRectF &bj) const;
    double coverage(int i, const QRectF &box, double limit) const;
    double leaderLength(int i, const QRectF &box) const;
    int crowding(int i) const;

    std::uint64_t work() const;
    bool spent() const;
    bool keepable(int i) const;
    bool search(int i, bool avoidCrossings, QRectF *best, QRectF *leastCovered = nullptr) const;
    void place(int i, bool avoidCrossings);
    void uncross();
    bool acceptChange(int before, int after, std::initializer_list<int> items);
    bool trySwap(int i, int j);
    bool tryReplace(int j, int i);
    bool tryMove(int i);

    const BoxScene &m_scene;
    std::vector<Item> m_items;
    // How far a box searches: far enough that all boxes would fit around one point at the
    // fill share, even in a corner.
    double m_radius = 0.0;
    // The work all searches may do (see WORK_PER_BOX), and the candidates tried so far.
    std::uint64_t m_budget = 0;
    mutable std::uint64_t m_candidates = 0;
    // Obstacles (payload -1) and the widened boxes placed (payload: the item).
    BoxGrid m_rects;
    // Fixed points (payload -1) and the items' connector points (payload: the item).
    BoxGrid m_points;
    // Fixed leaders (payload -1 - index) and placed leaders (payload: the item).
    BoxGrid m_leaders;
};

// Buckets about one average box wide: a candidate meets a few of them.
double cellSizeFor(const std::vector<BoxToPlace> &boxes, const QRectF &area)
{
    double sum = 0.0;
    for (const BoxToPlace &b : boxes)
        sum += std::max(b.box.width(), b.box.height());
    const double mean = boxes.empty() ? std::max(area.width(), area.height()) : sum / double(boxes.size());
    return std::max(mean, MIN_STEP);
}

Layout::Layout(const BoxScene &scene, const std::vector<BoxToPlace> &boxes)
    : m_scene(scene)
    , m_rects(scene.area, cellSizeFor(boxes, scene.area))
    , m_points(scene.area, cellSizeFor(boxes, scene.area))
    , m_leaders(scene.area, cellSizeFor(boxes, scene.area))
{
    const double m = scene.marginFactor;
    double coveredArea = 0.0;
    m_items.resize(boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
        Item &item = m_items[i];
        item.previous = boxes[i].box.normalized();
        item.size = item.previous.size();
        item.target = boxes[i].point;
        item.hasPoint = boxes[i].hasPoint;
        item.step = std::max(m * item.size.height(), MIN_STEP);
        coveredArea += m * item.size.width() * m * item.size.height();
        if (item.hasPoint)
            m_points.insert(QRectF(item.target, QSizeF(0.0, 0.0)), int(i));
    }
    m_radius = 2.0 * std::sqrt(coveredArea / (std::numbers::pi * scene.fillFactor));
    m_budget = WORK_PER_BOX * boxes.size();

    for (const QRectF &r : scene.obstacles)
        m_rects.insert(r, -1);
    for (const QPointF &p : scene.points)
        m_points.insert(QRectF(p, QSizeF(0.0, 0.0)), -1);
    for (size_t k = 0; k < scene.leaders.size(); ++k)
        m_leaders.insert(boundsOf(scene.leaders[k]), -1 - int(k));
}

void Layout::put(int i, const QRectF &box)
{
    Item &item = m_items[size_t(i)];
    item.box = box;
    item.placed = true;
    item.rectHandle = m_rects.insert(widened(box, m_scene.marginFactor), i);
    if (item.hasPoint && leaderLength(i, box) > 0.0)
        item.leaderHandle = m_leaders.insert(boundsOf(leaderOf(box, item.target)), i);
}

void Layout::take(int i)
{
    Item &item = m_items[size_t(i)];
    m_rects.erase(item.rectHandle);
    if (item.leaderHandle >= 0)
        m_leaders.erase(item.leaderHandle);
    item.rectHandle = item.leaderHandle = -1;
    item.placed = false;
}

QLineF Layout::leaderLine(int payload) const
{
    if (payload < 0)
        return m_scene.leaders[size_t(-1 - payload)];
    const Item &item = m_items[size_t(payload)];
    return leaderOf(item.box, item.target);
}

// Shifted into the area where it sticks out; a box larger than the area keeps to its top left.
QRectF Layout::clamped(const QRectF &box) const
{
    const QRectF &a = m_scene.area;
    const double x = std::max(a.left(), std::min(box.left(), a.right() - box.width()));
    const double y = std::max(a.top(), std::min(box.top(), a.bottom() - box.height()));
    return QRectF(QPointF(x, y), box.size());
}

QRectF Layout::centredAt(int i, const QPointF &centre) const
{
    const QSizeF &s = m_items[size_t(i)].size;
    return clamped(
        QRectF(centre.x() - s.width() / 2.0, centre.y() - s.height() / 2.0, s.width(), s.height()));
}

// The shortest leader a candidate on the ring of the given gap can have (ignoring the shift
// into the area).
double Layout::shortestLeader(int i, double gap) const
{
    const QSizeF &s = m_items[size_t(i)].size;
    return gap + (m_scene.marginFactor - 1.0) / 2.0 * std::min(s.width(), s.height());
}

// The gap of the farthest ring searched: the search radius, and at least NEAR_STEPS.
double Layout::lastGap(int i) const
{
    return std::max(m_radius, NEAR_STEPS * m_items[size_t(i)].step);
}

// Calls consider(gap, box) for the candidate boxes, ring by ring, until it returns false; gap
// is how far the widened box keeps from the point on the ring. Its centre runs round a
// rectangle around the point: first the side above the point, then below, right and left,
// each from its middle outward, so that among equally good places the one above wins. The
// rings reach the search radius (at least NEAR_STEPS); once the budget is spent, no ring after
// the first. The first ring touches the point, the second keeps half a step from it.
template<typename Consider> void Layout::forEachCandidate(int i, Consider &&consider) const
{
    const Item &item = m_items[size_t(i)];
    const double m = m_scene.marginFactor;
    const double w = m * item.size.width(), h = m * item.size.height();
    const QPointF &p = item.target;
    const QRectF &area = m_scene.area;
    if (!item.hasPoint && !consider(0.0, centredAt(i, p)))
        return;
    // Samples on each side from the middle outward, without the corners on the left and right.
    auto evenCount = [](double length, double spacing) {
        const double n = std::ceil(length / spacing - 1e-9);
        return n >= MAX_SIDE_SAMPLES ? MAX_SIDE_SAMPLES : std::max(2, int(n) + (int(n) & 1));
    };
    QRectF last;
    auto offer = [&](double gap, double cx, double cy) {
        const QRectF box = centredAt(i, QPointF(cx, cy));
        if (box == last)
            return true;
        last = box;
        ++m_candidates;
        return consider(gap, box);
    };
    const auto nextGap = [&](double gap) {
        return gap == 0.0 ? item.step / 2.0 : gap + std::max(item.step, RING_GROWTH * gap);
    };
    for (double gap = 0.0; gap <= lastGap(i); gap = nextGap(gap)) {
        const double a = w / 2.0 + gap, b = h / 2.0 + gap;
        const int nx = evenCount(2.0 * a, std::max(w, item.step) / 2.0);
        const int ny = evenCount(2.0 * b, std::max(h, item.step) / 2.0);
        const double dx = 2.0 * a / nx, dy = 2.0 * b / ny;
        for (const double y : { p.y() - b, p.y() + b }) {
            for (int k = 0; k <= nx; ++k) {
                const int j = (k & 1) ? (k + 1) / 2 : -k / 2;
                if (!offer(gap, p.x() + j * dx, y))
                    return;
            }
        }
        for (const double x : { p.x() + a, p.x() - a }) {
            for (int k = 0; k < ny - 1; ++k) {
                const int j = (k & 1) ? (k + 1) / 2 : -k / 2;
                if (!offer(gap, x, p.y() + j * dy))
                    return;
            }
        }
        // No further ring once the budget is spent or the ring holds the whole area: then every
        // further ring would be shifted onto the same places.
        if (spent()
            || (p.x() - a <= area.left() && p.x() + a >= area.right() && p.y() - b <= area.top()
                && p.y() + b >= area.bottom()))
            return;
    }
}

// Whether the shape covers no other widened box, obstacle or point.
bool Layout::isClear(int i, const QRectF &shape) const
{
    const bool clear
        = m_rects.visit(shape, [&](const QRectF &r, int owner) { return owner == i || !overlaps(shape, r); });
    return clear
        && m_points.visit(shape, [&](const QRectF &r, int) { return !strictlyInside(r.topLeft(), shape); });
}

// Whether the widened box covers no other widened box, obstacle or point.
bool Layout::isFree(int i, const QRectF &box) const
{
    return isClear(i, widened(box, m_scene.marginFactor));
}

// What an entry of the box grid stands for: an obstacle, or an item's box without its margin.
QRectF Layout::boxOf(const QRectF &entry, int owner) const
{
    return owner >= 0 ? m_items[size_t(owner)].box : entry;
}

// The leaders the box's leader crosses, the boxes it runs through, and the leaders that run
// through the box, leaving out the item's own; counted no further than limit. A leader
// through a box's margin only is no crossing.
int Layout::crossings(int i, const QRectF &box, int limit) const
{
    int count = 0;
    const Item &item = m_items[size_t(i)];
    if (item.hasPoint) {
        const QLineF leader = leaderOf(box, item.target);
        const QRectF bounds = boundsOf(leader);
        m_leaders.visit(bounds, [&](const QRectF &r, int payload) {
            count += payload != i && touches(bounds, r) && segmentsCross(leader, leaderLine(payload));
            return count < limit;
        });
        m_rects.visit(bounds, [&](const QRectF &r, int owner) {
            count += owner != i && touches(bounds, r) && segmentEnters(leader, boxOf(r, owner));
            return count < limit;
        });
    }
    m_leaders.visit(box, [&](const QRectF &r, int payload) {
        count += payload != i && touches(box, r) && segmentEnters(leaderLine(payload), box);
        return count < limit;
    });
    return std::min(count, limit);
}

// The crossings between two items at the given boxes, while neither is in the grids.
int Layout::mutualCrossings(int i, const QRectF &bi, int j, const QRectF &bj) const
{
    const QLineF li = leaderOf(bi, m_items[size_t(i)].target), lj = leaderOf(bj, m_items[size_t(j)].target);
    return int(segmentsCross(li, lj)) + int(segmentEnters(li, bj)) + int(segmentEnters(lj, bi));
}

// What the box hides: the area of other boxes and obstacles it covers plus a weight per covered
// point, and a little for the gaps it fills, so that of two places that hide nothing the one
// keeping more gap wins. The sum stops growing once it is past limit.
double Layout::coverage(int i, const QRectF &box, double limit) const
{
    const QRectF wide = widened(box, m_scene.marginFactor);
    double sum = 0.0;
    m_rects.visit(wide, [&](const QRectF &r, int owner) {
        if (owner != i) {
            const QRectF &other = owner >= 0 ? m_items[size_t(owner)].box : r;
            sum += overlapArea(box, other) + GAP_COVER_SHARE * overlapArea(wide, r);
        }
        return sum <= limit;
    });
    const double pointWeight = POINT_COVER_SHARE * box.width() * box.height();
    m_points.visit(box, [&](const QRectF &r, int) {
        if (strictlyInside(r.topLeft(), box))
            sum += pointWeight;
        return sum <= limit;
    });
    return sum;
}

double Layout::leaderLength(int i, const QRectF &box) const
{
    const QLineF leader = leaderOf(box, m_items[size_t(i)].target);
    return std::sqrt(leader.dx() * leader.dx() + leader.dy() * leader.dy());
}

// Points near the item's point that compete for the same first ring.
int Layout::crowding(int i) const
{
    const Item &item = m_items[size_t(i)];
    const double m = m_scene.marginFactor;
    const double rx = m * item.size.width() + item.step, ry = m * item.size.height() + item.step;
    const QRectF near(item.target.x() - rx, item.target.y() - ry, 2.0 * rx, 2.0 * ry);
    int count = 0;
    m_points.visit(near, [&](const QRectF &r, int) {
        count += strictlyInside(r.topLeft(), near);
        return true;
    });
    return count;
}

std::uint64_t Layout::work() const
{
    const std::uint64_t entries = m_rects.entriesRead() + m_points.entriesRead() + m_leaders.entriesRead();
    return entries + CANDIDATE_WORK * m_candidates;
}

bool Layout::spent() const
{
    return work() > m_budget;
}

// Whether last frame's place can stay: inside the area, the box itself (not widened, so that a
// turn of the view that only narrows the gaps between boxes moves none) clear of the boxes
// kept so far, and its leader no longer than a search could have found.
bool Layout::keepable(int i) const
{
    const Item &item = m_items[size_t(i)];
    if (!contains(m_scene.area, item.previous, 1e-9) || !isClear(i, item.previous))
        return false;
    const double edge = (m_scene.marginFactor - 1.0) / 2.0 * std::max(item.size.width(), item.size.height());
    return leaderLength(i, item.previous) <= std::numbers::sqrt2 * (lastGap(i) + edge);
}

// The cheapest free candidate: the shortest leader, plus a penalty per crossing when asked to
// avoid them. While none is found, *leastCovered (when given) becomes the candidate that covers
// least, and of those the one with the shortest leader, for a box that finds no free place. The search stops
// at the first ring that cannot beat the best found, and at most one penalty beyond the first free candidate.
bool Layout::search(int i, bool avoidCrossings, QRectF *best, QRectF *leastCovered) const
{
    double penalty = avoidCrossings && !spent() ? CROSSING_STEPS * m_items[size_t(i)].step : 0.0;
    double bestCost = INF, enough = INF, bestCover = INF, coveredLength = INF;
    double ringGap = -1.0;
    forEachCandidate(i, [&](double gap, const QRectF &box) {
        if (gap != ringGap) {
            if (std::min(bestCost, enough) <= shortestLeader(i, gap))
                return false;
            ringGap = gap;
        }
        const double length = leaderLength(i, box);
        if (length >= bestCost)
            return true;
        if (!isFree(i, box)) {
            // Until a free place turns up, the one that hides least is the fallback.
            if (leastCovered && bestCost == INF) {
                const double cover = coverage(i, box, bestCover);
                if (cover < bestCover || (cover == bestCover && length < coveredLength)) {
                    bestCover = cover;
                    coveredLength = length;
                    *leastCovered = box;
                }
            }
            return true;
        }
        enough = std::min(enough, length + penalty);
        double cost = length;
        if (penalty > 0.0) {
            // Only as many crossings as could still leave it cheaper are counted.
            const double room = std::ceil((bestCost - length) / penalty);
            cost += penalty * crossings(i, box, room < MAX_CROSSINGS ? int(room) : MAX_CROSSINGS);
        }
        if (cost < bestCost) {
            bestCost = cost;
            *best = box;
        }
        return true;
    });
    return bestCost < INF;
}

void Layout::place(int i, bool avoidCrossings)
{
    QRectF box, leastCovered = centredAt(i, m_items[size_t(i)].previous.center());
    if (!search(i, avoidCrossings, &box, &leastCovered))
        box = leastCovered;
    put(i, box);
}

// Repairs crossing leaders: a box whose leader crosses others swaps places with one of them,
// or else moves to its best place counting crossings, or else is placed afresh together with
// one of them. Every accepted change lowers the number
// of crossings, so the passes end; their number, the partners tried and the work budget bound
// the time taken. The repair has a budget of its own, so that a layout of its own result gets
// as far as the first did and finds nothing left to change; a box at last frame's place moves
// only to cross nothing.
void Layout::uncross()
{
    m_budget = work() + REPAIR_WORK_PER_BOX * m_items.size();
    for (int pass = 0; pass < UNCROSS_PASSES; ++pass) {
        bool changed = false;
        for (int i = 0; i < int(m_items.size()) && !spent(); ++i) {
            const Item &item = m_items[size_t(i)];
            if (!item.hasPoint || item.leaderHandle < 0)
                continue;
            // The placed leaders it crosses and the boxes it runs through, to swap with; a
            // fixed one only lets it move.
            const QLineF leader = leaderOf(item.box, item.target);
            const QRectF bounds = boundsOf(leader);
            std::vector<int> partners;
            bool crossed = false;
            m_leaders.visit(bounds, [&](const QRectF &, int payload) {
                if (payload != i && segmentsCross(leader, leaderLine(payload))) {
                    crossed = true;
                    if (payload >= 0)
                        partners.push_back(payload);
                }
                return true;
            });
            m_rects.visit(bounds, [&](const QRectF &r, int owner) {
                if (owner != i && touches(bounds, r) && segmentEnters(leader, boxOf(r, owner))) {
                    crossed = true;
                    if (owner >= 0)
                        partners.push_back(owner);
                }
                return true;
            });
            if (!crossed)
                continue;
            std::sort(partners.begin(), partners.end());
            partners.erase(std::unique(partners.begin(), partners.end()), partners.end());
            bool done = false;
            for (size_t k = 0; k < partners.size() && k < UNCROSS_PARTNERS && !done; ++k)
                done = trySwap(i, partners[k]);
            done = done || tryMove(i);
            for (size_t k = 0; k < partners.size() && k < UNCROSS_PARTNERS && !done; ++k)
                done = tryReplace(partners[k], i);
            changed = done || changed;
        }
        if (!changed)
            return;
    }
}

// Whether a change of the items' places that leaves after crossings of before is taken: it must
// lower them, and to none where it moves a box from last frame's place, so that a layout is
// not reshuffled in every frame for crossings that cannot be removed. The items are then no
// longer at last frame's places.
bool Layout::acceptChange(int before, int after, std::initializer_list<int> items)
{
    bool moved = false;
    for (const int i : items)
        moved = moved || m_items[size_t(i)].kept;
    if (after >= before || (moved && after > 0))
        return false;
    for (const int i : items)
        m_items[size_t(i)].kept = false;
    return true;
}

// Swaps the centres of the two boxes when both are free there and fewer crossings result.
bool Layout::trySwap(int i, int j)
{
    const QRectF bi = m_items[size_t(i)].box, bj = m_items[size_t(j)].box;
    take(i);
    take(j);
    const QRectF si = centredAt(i, bj.center()), sj = centredAt(j, bi.center());
    const int before = crossings(i, bi) + crossings(j, bj) + mutualCrossings(i, bi, j, bj);
    const bool better = isFree(i, si) && isFree(j, sj)
        && !overlaps(widened(si, m_scene.marginFactor), widened(sj, m_scene.marginFactor))
        && acceptChange(
            before, crossings(i, si) + crossings(j, sj) + mutualCrossings(i, si, j, sj), { i, j });
    put(i, better ? si : bi);
    put(j, better ? sj : bj);
    return better;
}

// Places both boxes afresh, first j, then i around it, when that leaves fewer crossings: for
// two leaders that cross where neither box alone has a better place.
bool Layout::tryReplace(int j, int i)
{
    const QRectF bi = m_items[size_t(i)].box, bj = m_items[size_t(j)].box;
    take(i);
    take(j);
    const int before = crossings(i, bi) + crossings(j, bj) + mutualCrossings(i, bi, j, bj);
    QRectF si, sj;
    bool found = search(j, true, &sj);
    if (found) {
        put(j, sj);
        found = search(i, true, &si);
        take(j);
    }
    const bool better = found
        && acceptChange(
            before, crossings(i, si) + crossings(j, sj) + mutualCrossings(i, si, j, sj), { i, j });
    put(i, better ? si : bi);
    put(j, better ? sj : bj);
    return better;
}

// Moves the box to its best free place counting crossings, when that has fewer of them.
bool Layout::tryMove(int i)
{
    const QRectF old = m_items[size_t(i)].box;
    take(i);
    QRectF box;
    const bool better = search(i, true, &box) && acceptChange(crossings(i, old), crossings(i, box), { i });
    put(i, better ? box : old);
    return better;
}

std::vector<QRectF> Layout::run(BoxMode_t mode, const QPointF &centre)
{
    const int n = int(m_items.size());
    const bool distribute = mode == BOX_DISTRIBUTE;
    for (int i = 0; i < n; ++i) {
        Item &item = m_items[size_t(i)];
        if (!item.hasPoint)
            item.target = centre;
        if (distribute ? keepable(i) : !item.hasPoint) {
            put(i, item.previous);
            item.kept = distribute;
        }
    }
    // The most crowded first, as they have the fewest places to choose from; boxes without a
    // point last, as any free place near the centre suits them.
    std::vector<int> order;
    std::vector<int> crowd(size_t(n), 0);
    for (int i = 0; i < n; ++i) {
        if (!m_items[size_t(i)].placed) {
            order.push_back(i);
            crowd[size_t(i)] = m_items[size_t(i)].hasPoint ? crowding(i) : -1;
        }
    }
    std::stable_sort(
        order.begin(), order.end(), [&](int a, int b) { return crowd[size_t(a)] > crowd[size_t(b)]; });
    for (const int i : order)
        place(i, distribute);
    if (distribute)
        uncross();

    std::vector<QRectF> boxes;
    boxes.reserve(size_t(n));
    for (const Item &item : m_items)
        boxes.push_back(item.box);
    return boxes;
}

} // namespace

std::vector<QRectF> placeBoxes(
    const BoxScene &scene, const std::vector<BoxToPlace> &boxes, BoxMode_t mode, const QPointF &centre)
{
    if (!(scene.area.width() > 0.0 && scene.area.height() > 0.0)) {
        std::vector<QRectF> unchanged;
        for (const BoxToPlace &b : boxes)
            unchanged.push_back(b.box);
        return unchanged;
    }
    return Layout(scene, boxes).run(mode, centre);
}

} // namespace Vaq::Fig2
