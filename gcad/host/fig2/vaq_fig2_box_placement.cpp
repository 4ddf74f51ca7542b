// Label box placement: finds for each text box a place near its point where the box, widened by
// the margin factor, covers no other box, no obstacle and no point, with a short leader that
// crosses nothing.
// Idea: point-feature labelling with candidate positions chosen greedily (Christensen, Marks and
// Shieber, 1995). The candidates lie on rings of growing distance around the point, each ring a
// rectangle around the point sampled about half a box apart (at most 16 candidates a side); the
// most crowded boxes go first and each takes its cheapest free candidate (leader length plus a
// penalty per crossing). Last frame's places where the box itself is still clear are kept before
// anything else, so that labels stay calm while the view turns (Been, Daiches and Yap, 2006); a
// box that the turn pushed a little out of the view, into another or onto a point glides out of
// the way (vaq_fig2_box_keep.cpp).
// Crossing leaders (or leaders through boxes) are repaired at the end, above all by exchanging the
// places of two boxes (vaq_fig2_box_uncross.cpp); a kept box moves only to a place free of
// crossings, so that a layout of its own result stays as it is. A box that finds no free place
// takes the candidate that hides least of the others, rather covering much of a box that is hidden
// already than of a free one; it stays at last frame's place where that hides no more readable
// boxes or points, so that a crowded view stays calm too. Kept places that have come to cross
// three times as often as a fresh layout would give way to that one (see placeBoxes).
// Cost: about n c grid queries for n boxes and c candidates tried per box, tens in a roomy view; in
// a crowded one c is bounded by the search radius (in an overfilled view, a few steps), and the
// placement and the repair each by a budget; a layout whose kept places cross much is laid out a
// second time, afresh, to compare. A uniform grid keeps each query to the items near the candidate;
// leaders are kept, and looked for, in the buckets along them only, as a long slanted one meets few
// of the buckets its bounds do. A raster of the cells that placed boxes cover whole turns most
// candidates of a crowded view down with a few word operations; a second one, of the boxes not
// hidden, lets the fallback pass over the places that would hide one once it knows a place that
// hides none.
#include "gcad/host/fig2/vaq_fig2_box_placement.h"

#include "gcad/host/fig2/vaq_fig2_box_geometry.h"
#include "gcad/host/fig2/vaq_fig2_box_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <utility>

namespace Vaq::Fig2 {

using namespace BoxGeometry;

namespace {

// From one ring to the next the gap grows by a step, or by this share of it where that is more,
// so that a far search takes few rings.
constexpr double RING_GROWTH = 0.15;
// A box searches at least this many steps out.
constexpr double NEAR_STEPS = 4.5;
// In a view its widened boxes together cover more than the fill share of, about a quarter of
// the boxes fit nowhere, and the search radius spans the view: there a box searches no farther
// than this many steps. A free place farther out takes a leader across the crowd, crossing so
// many others that the label is better hidden with those that fit nowhere; and each box that
// fits nowhere would search the whole view to learn so.
constexpr double OVERFILLED_STEPS = 16.0;
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
// Covering a point weighs as much as covering this share of the box's own area, and covering
// the gap around other boxes this share of the area covered. Overlapping a box (or obstacle)
// that nothing overlapped so far weighs as much as covering this share of the box's own area
// besides: a box that fits nowhere still takes a sliver of a free box, which leaves it
// readable, but rather than covering much of one it piles onto boxes that are hidden anyway.
constexpr double POINT_COVER_SHARE = 0.5;
constexpr double GAP_COVER_SHARE = 0.05;
constexpr double HIDE_WEIGHT = 0.6;
// A place for a box that fits nowhere that hides less than this share of its own area (and so
// no box that was not hidden already) is good enough: the search goes no farther out.
constexpr double ENOUGH_COVER_SHARE = 0.3;
// Places that hide more than this many times the box's own area are all as bad as each other:
// measuring how much more they hide would read every box of a pile, as many times as boxes
// pile up there.
constexpr double HOPELESS_COVER_SHARE = 8.0;
// A layout that kept last frame's places gives way to one that keeps none where it has this
// many times the other's defects and RESET_SLACK a box more (one pair of crossing leaders in
// fifty boxes), unless more than HIDDEN_SHARE of its boxes are hidden (see placeBoxes).
constexpr double RESET_FACTOR = 3.0;
constexpr double RESET_SLACK = 0.04;
constexpr double HIDDEN_SHARE = 0.05;
constexpr int MAX_CROWDING = 256;
constexpr double COVER_CELLS_PER_BOX = 64.0;
constexpr double INF = std::numeric_limits<double>::infinity();

// Buckets about one average box wide: a candidate meets a few of them.
double cellSizeFor(const std::vector<BoxToPlace> &boxes, const QRectF &area)
{
    double sum = 0.0;
    for (const BoxToPlace &b : boxes)
        sum += std::max(b.box.width(), b.box.height());
    const double mean = boxes.empty() ? std::max(area.width(), area.height()) : sum / double(boxes.size());
    return std::max(mean, BoxLayout::MIN_STEP);
}

// Cells about a third of an average box's height, so that most boxes cover some of them whole;
// but no more than COVER_CELLS_PER_BOX cells a box, so that a roomy view (where few candidates
// are taken) does not spend more on clearing the raster than it saves.
double coverCellFor(const std::vector<BoxToPlace> &boxes, const QRectF &area)
{
    double sum = 0.0;
    for (const BoxToPlace &b : boxes)
        sum += std::min(b.box.width(), b.box.height());
    const double n = double(std::max<size_t>(boxes.size(), 1));
    const double fewest = std::sqrt(area.width() * area.height() / (COVER_CELLS_PER_BOX * n));
    return std::max({ sum / n / 3.0, fewest, BoxLayout::MIN_STEP / 4.0 });
}

} // namespace

BoxLayout::BoxLayout(const BoxScene &scene, const std::vector<BoxToPlace> &boxes)
    : m_scene(scene)
    , m_rects(scene.area, cellSizeFor(boxes, scene.area))
    , m_cover(scene.area, coverCellFor(boxes, scene.area))
    , m_readable(scene.area, coverCellFor(boxes, scene.area))
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
    m_overfilled = coveredArea > scene.fillFactor * scene.area.width() * scene.area.height();
    m_budget = WORK_PER_BOX * boxes.size();

    for (const QRectF &r : scene.obstacles) {
        m_rects.insert(r, -1);
        m_cover.add(r);
        m_readable.add(r);
    }
    for (const QPointF &p : scene.points)
        m_points.insert(QRectF(p, QSizeF(0.0, 0.0)), -1);
    for (size_t k = 0; k < scene.leaders.size(); ++k)
        m_leaders.insert(scene.leaders[k], -1 - int(k));
}

void BoxLayout::put(int i, const QRectF &box)
{
    Item &item = m_items[size_t(i)];
    item.box = box;
    item.placed = true;
    const QRectF wide = widened(box, m_scene.marginFactor);
    item.rectHandle = m_rects.insert(wide, i);
    m_cover.add(wide);
    if (!item.hidden)
        m_readable.add(box);
    if (item.hasPoint && leaderLength(i, box) > 0.0)
        item.leaderHandle = m_leaders.insert(leaderOf(box, item.target), i);
}

void BoxLayout::take(int i)
{
    Item &item = m_items[size_t(i)];
    m_rects.erase(item.rectHandle);
    m_cover.remove(widened(item.box, m_scene.marginFactor));
    if (!item.hidden)
        m_readable.remove(item.box);
    if (item.leaderHandle >= 0)
        m_leaders.erase(item.leaderHandle);
    item.rectHandle = item.leaderHandle = -1;
    item.placed = false;
}

QLineF BoxLayout::leaderLine(int payload) const
{
    if (payload < 0)
        return m_scene.leaders[size_t(-1 - payload)];
    const Item &item = m_items[size_t(payload)];
    return leaderOf(item.box, item.target);
}

// The shortest leader a candidate on the ring of the given gap can have (ignoring the shift
// into the area).
double BoxLayout::shortestLeader(int i, double gap) const
{
    const QSizeF &s = m_items[size_t(i)].size;
    return gap + (m_scene.marginFactor - 1.0) / 2.0 * std::min(s.width(), s.height());
}

// The gap of the farthest ring searched: the search radius, in an overfilled view no more than
// OVERFILLED_STEPS, and at least NEAR_STEPS.
double BoxLayout::lastGap(int i) const
{
    const double step = m_items[size_t(i)].step;
    return std::max(m_overfilled ? std::min(m_radius, OVERFILLED_STEPS * step) : m_radius, NEAR_STEPS * step);
}

// Calls consider(gap, box, repeated) for the candidate boxes, ring by ring, until it returns
// false; gap is how far the widened box keeps from the point on the ring. Its centre runs round a
// rectangle around the point: first the side above the point, then below, right and left,
// each from its middle outward, so that among equally good places the one above wins. The
// rings reach the search radius (at least NEAR_STEPS); once the budget is spent, no ring after
// the first. The first ring touches the point, the second keeps half a step from it. Far rings
// reach out of the area, and their candidates are shifted into it: along one side every box
// pushed against the same end is the same box, and so is every box pushed into the same corner.
// Such a box comes again with repeated set, so that it need not be weighed again (it counts as
// tried, and as the first of its ring, all the same).
template<typename Consider> void BoxLayout::forEachCandidate(int i, Consider &&consider) const
{
    const Item &item = m_items[size_t(i)];
    const double m = m_scene.marginFactor;
    const double w = m * item.size.width(), h = m * item.size.height();
    const QPointF &p = item.target;
    const QRectF &area = m_scene.area;
    if (!item.hasPoint && !consider(0.0, centredAt(i, p), false))
        return;
    // Samples on each side from the middle outward, without the corners on the left and right.
    auto evenCount = [](double length, double spacing) {
        const double n = std::ceil(length / spacing - 1e-9);
        return n >= MAX_SIDE_SAMPLES ? MAX_SIDE_SAMPLES : std::max(2, int(n) + (int(n) & 1));
    };
    QRectF last;
    // The ends of the current side, and the corners, that boxes were pushed against so far.
    bool sideEnds[2] = {}, corners[4] = {};
    const double rightmost = area.right() - item.size.width(), lowest = area.bottom() - item.size.height();
    const auto seen = [](bool &flag) { return std::exchange(flag, true); };
    auto offer = [&](double gap, double cx, double cy, bool across) {
        const QRectF box = centredAt(i, QPointF(cx, cy));
        if (sameRect(box, last))
            return true;
        last = box;
        ++m_candidates;
        const int ex = box.x() == area.left() ? 0 : box.x() == rightmost ? 1 : -1;
        const int ey = box.y() == area.top() ? 0 : box.y() == lowest ? 1 : -1;
        const int end = across ? ex : ey;
        const bool repeated
            = (ex >= 0 && ey >= 0 && seen(corners[2 * ey + ex])) || (end >= 0 && seen(sideEnds[end]));
        return consider(gap, box, repeated);
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
            sideEnds[0] = sideEnds[1] = false;
            for (int k = 0; k <= nx; ++k) {
                const int j = (k & 1) ? (k + 1) / 2 : -k / 2;
                if (!offer(gap, p.x() + j * dx, y, true))
                    return;
            }
        }
        for (const double x : { p.x() + a, p.x() - a }) {
            sideEnds[0] = sideEnds[1] = false;
            for (int k = 0; k < ny - 1; ++k) {
                const int j = (k & 1) ? (k + 1) / 2 : -k / 2;
                if (!offer(gap, x, p.y() + j * dy, false))
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

bool BoxLayout::coversNoPoint(const QRectF &shape) const
{
    return m_points.visit(shape, [&](const QRectF &r, int) { return !strictlyInside(r.topLeft(), shape); });
}

// Whether the shape covers no other widened box (of items other than i and other), obstacle
// or point.
bool BoxLayout::isClear(int i, const QRectF &shape, int other) const
{
    return m_rects.visit(shape, [&](const QRectF &r, int owner) {
        return owner == i || (owner == other && owner >= 0) || !overlaps(shape, r);
    }) && coversNoPoint(shape);
}

// Whether the shape covers no other box (without its margin), obstacle or point.
bool BoxLayout::isClearOfBoxes(int i, const QRectF &shape) const
{
    return m_rects.visit(shape, [&](const QRectF &r, int owner) {
        return owner == i || !overlaps(shape, boxOf(r, owner));
    }) && coversNoPoint(shape);
}

// Whether the widened box covers no other widened box (but other's), obstacle or point.
bool BoxLayout::isFree(int i, const QRectF &box, int other) const
{
    return isClear(i, widened(box, m_scene.marginFactor), other);
}

// What an entry of the box grid stands for: an obstacle, or an item's box without its margin.
QRectF BoxLayout::boxOf(const QRectF &entry, int owner) const
{
    return owner >= 0 ? m_items[size_t(owner)].box : entry;
}

// The leaders the box's leader crosses, the boxes it runs through, and the leaders that run
// through the box, leaving out the item's own and other's; counted no further than limit. A
// leader through a box's margin only is no crossing.
int BoxLayout::crossings(int i, const QRectF &box, int limit, int other) const
{
    const auto counted = [&](int payload) { return payload != i && (payload != other || payload < 0); };
    int count = 0;
    const Item &item = m_items[size_t(i)];
    if (item.hasPoint) {
        const QLineF leader = leaderOf(box, item.target);
        const QRectF bounds = boundsOf(leader);
        m_leaders.visit(leader, [&](const QRectF &r, int payload) {
            count += counted(payload) && touches(bounds, r) && segmentsCross(leader, leaderLine(payload));
            return count < limit;
        });
        m_rects.visit(leader, [&](const QRectF &r, int owner) {
            count += counted(owner) && touches(bounds, r) && segmentEnters(leader, boxOf(r, owner));
            return count < limit;
        });
    }
    m_leaders.visit(box, [&](const QRectF &r, int payload) {
        count += counted(payload) && touches(box, r) && segmentEnters(leaderLine(payload), box);
        return count < limit;
    });
    return std::min(count, limit);
}

// The crossings between two items at the given boxes, while neither is in the grids.
int BoxLayout::mutualCrossings(int i, const QRectF &bi, int j, const QRectF &bj) const
{
    const QLineF li = leaderOf(bi, m_items[size_t(i)].target), lj = leaderOf(bj, m_items[size_t(j)].target);
    return int(segmentsCross(li, lj)) + int(segmentEnters(li, bj)) + int(segmentEnters(lj, bi));
}

// What the box hides: the area of other boxes and obstacles it covers, a weight per box or
// obstacle it newly hides and per covered point, and a little for the gaps it fills, so that
// of two places that hide nothing the one keeping more gap wins. The sum stops growing once it
// is past limit.
double BoxLayout::coverage(int i, const QRectF &box, double limit) const
{
    const QRectF wide = widened(box, m_scene.marginFactor);
    double sum = 0.0;
    m_rects.visit(wide, [&](const QRectF &r, int owner) {
        if (owner != i) {
            const QRectF &other = owner >= 0 ? m_items[size_t(owner)].box : r;
            const double area = overlapArea(box, other);
            sum += area + GAP_COVER_SHARE * overlapArea(wide, r);
            if (area > 0.0 && (owner < 0 || !m_items[size_t(owner)].hidden))
                sum += HIDE_WEIGHT * box.width() * box.height();
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

// The boxes not hidden yet (but the item's own) and the obstacles that the box covers part of,
// and the points it covers.
int BoxLayout::readableCovered(int i, const QRectF &box) const
{
    int count = 0;
    m_rects.visit(box, [&](const QRectF &r, int owner) {
        count
            += owner != i && (owner < 0 || !m_items[size_t(owner)].hidden) && overlaps(box, boxOf(r, owner));
        return true;
    });
    m_points.visit(box, [&](const QRectF &r, int) {
        count += strictlyInside(r.topLeft(), box);
        return true;
    });
    return count;
}

double BoxLayout::leaderLength(int i, const QRectF &box) const
{
    const QLineF leader = leaderOf(box, m_items[size_t(i)].target);
    return std::sqrt(leader.dx() * leader.dx() + leader.dy() * leader.dy());
}

// Points near the item's point that compete for the same first ring, counted up to
// MAX_CROWDING: a point with more has no room either way, and counting all of a pile for each
// of its points would take the square of its size.
int BoxLayout::crowding(int i) const
{
    const Item &item = m_items[size_t(i)];
    const double m = m_scene.marginFactor;
    const double rx = m * item.size.width() + item.step, ry = m * item.size.height() + item.step;
    const QRectF near(item.target.x() - rx, item.target.y() - ry, 2.0 * rx, 2.0 * ry);
    int count = 0;
    m_points.visit(near, [&](const QRectF &r, int) {
        count += strictlyInside(r.topLeft(), near);
        return count < MAX_CROWDING;
    });
    return count;
}

std::uint64_t BoxLayout::work() const
{
    const std::uint64_t entries = m_rects.entriesRead() + m_points.entriesRead() + m_leaders.entriesRead();
    return entries + CANDIDATE_WORK * m_candidates;
}

bool BoxLayout::spent() const
{
    return work() > m_budget;
}

// The cheapest free candidate: the shortest leader, plus a penalty per crossing when asked to
// avoid them. The search stops at the first ring that cannot beat the best found and, unless
// asked to go far, at most one penalty beyond the first free candidate. A candidate that the
// cover shows taken is turned down before the grids are asked.
bool BoxLayout::search(int i, Avoid avoid, QRectF *best) const
{
    double penalty = avoid != Avoid::NOTHING && !spent() ? CROSSING_STEPS * m_items[size_t(i)].step : 0.0;
    const bool far = avoid == Avoid::CROSSINGS_FAR;
    const int most = far ? std::numeric_limits<int>::max() : MAX_CROSSINGS;
    double bestCost = INF, enough = INF;
    const double m = m_scene.marginFactor;
    double ringGap = -1.0;
    forEachCandidate(i, [&](double gap, const QRectF &box, bool repeated) {
        if (gap != ringGap) {
            if (std::min(bestCost, enough) <= shortestLeader(i, gap))
                return false;
            ringGap = gap;
        }
        if (repeated)
            return true;
        // The leader is measured first only once it can rule the candidate out.
        const bool found = bestCost < INF;
        double length = found ? leaderLength(i, box) : 0.0;
        if ((found && length >= bestCost) || m_cover.meets(widened(box, m)) || !isFree(i, box))
            return true;
        if (!found)
            length = leaderLength(i, box);
        if (!far)
            enough = std::min(enough, length + penalty);
        double cost = length;
        if (penalty > 0.0) {
            // Only as many crossings as could still leave it cheaper are counted.
            const double room = std::ceil((bestCost - length) / penalty);
            cost += penalty * crossings(i, box, room < double(most) ? int(room) : most);
        }
        if (cost < bestCost) {
            bestCost = cost;
            *best = box;
        }
        return true;
    });
    return bestCost < INF;
}

// For a box that finds no free place: the candidate that covers least, and of those the one
// with the shortest leader. Only asked for once the search found nothing free, as most boxes
// find a free place after many that are not. Once a ring holds a candidate that hides little
// (see ENOUGH_COVER_SHARE), farther rings would mostly lengthen the leader and are not searched.
void BoxLayout::leastCovered(int i, QRectF *box) const
{
    double bestCover = INF, bestLength = INF;
    const QSizeF &size = m_items[size_t(i)].size;
    const double enough = ENOUGH_COVER_SHARE * size.width() * size.height();
    const double hopeless = HOPELESS_COVER_SHARE * size.width() * size.height();
    const double readableCover = HIDE_WEIGHT * size.width() * size.height();
    double ringGap = -1.0;
    forEachCandidate(i, [&](double gap, const QRectF &candidate, bool repeated) {
        if (gap != ringGap) {
            if (bestCover < enough)
                return false;
            ringGap = gap;
        }
        if (repeated)
            return true;
        // Once the best hides no readable box, one that surely covers some cannot beat it.
        if (bestCover <= readableCover && m_readable.meets(candidate))
            return true;
        const double cover = std::min(coverage(i, candidate, std::min(bestCover, hopeless)), hopeless);
        if (cover > bestCover)
            return true;
        const double length = leaderLength(i, candidate);
        if (cover < bestCover || length < bestLength) {
            bestCover = cover;
            bestLength = length;
            *box = candidate;
        }
        return true;
    });
}

// Places the box at its cheapest free place, or where it hides least. When distributing with
// last frame's places kept, a box that fits nowhere stays at last frame's place (shifted back
// into the area where the turn of the view pushed it out, off its own point, and in reach)
// unless that hides more boxes still readable, obstacles or points than the place that hides
// least: in a crowded view such boxes would otherwise jump about in every frame for little
// gain, but staying must not cost a readable label.
void BoxLayout::place(int i, bool distribute, bool keepLastPlaces)
{
    QRectF box;
    if (search(i, distribute ? Avoid::CROSSINGS_NEAR : Avoid::NOTHING, &box)) {
        put(i, box);
        return;
    }
    const QRectF previous = clamped(m_items[size_t(i)].previous);
    box = centredAt(i, previous.center());
    leastCovered(i, &box);
    if (distribute && keepLastPlaces && mayStayAt(i, previous)
        && readableCovered(i, previous) <= readableCovered(i, box))
        box = previous;
    put(i, box);
    // It and what it overlaps are hidden now; later boxes that fit nowhere pile onto them.
    hide(i);
    m_rects.visit(box, [&](const QRectF &, int owner) {
        if (owner >= 0 && owner != i && overlaps(box, m_items[size_t(owner)].box))
            hide(owner);
        return true;
    });
}

void BoxLayout::hide(int i)
{
    Item &item = m_items[size_t(i)];
    if (!item.hidden)
        m_readable.remove(item.box);
    item.hidden = true;
}

std::vector<QRectF> BoxLayout::run(BoxMode_t mode, const QPointF &centre, bool keepLastPlaces)
{
    const int n = int(m_items.size());
    const bool distribute = mode == BOX_DISTRIBUTE;
    // Last frame's places that are still clear stay first; then the boxes that came to overlap
    // one of them glide out of the way where they can, so that none of those makes a box leave
    // a place it could have kept.
    for (int i = 0; i < n; ++i) {
        Item &item = m_items[size_t(i)];
        if (!item.hasPoint)
            item.target = centre;
        QRectF place = item.previous;
        if (distribute ? keepLastPlaces && keepable(i, false, &place) : !item.hasPoint) {
            put(i, place);
            item.kept = distribute;
        }
    }
    if (distribute && keepLastPlaces) {
        for (int i = 0; i < n; ++i) {
            QRectF place;
            if (!m_items[size_t(i)].placed && keepable(i, true, &place)) {
                put(i, place);
                m_items[size_t(i)].kept = true;
            }
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
        place(i, distribute, keepLastPlaces);
    if (distribute)
        uncross();

    std::vector<QRectF> boxes;
    boxes.reserve(size_t(n));
    for (const Item &item : m_items)
        boxes.push_back(item.box);
    return boxes;
}

bool BoxLayout::keptAny() const
{
    return std::any_of(m_items.begin(), m_items.end(), [](const Item &item) { return item.kept; });
}

int BoxLayout::hiddenCount() const
{
    return int(std::count_if(m_items.begin(), m_items.end(), [](const Item &item) { return item.hidden; }));
}

int BoxLayout::defects() const
{
    int sum = 0;
    for (int i = 0; i < int(m_items.size()); ++i) {
        const Item &item = m_items[size_t(i)];
        sum += item.hidden ? 2 : 0;
        if (item.leaderHandle < 0)
            continue;
        const QLineF leader = leaderOf(item.box, item.target);
        const QRectF bounds = boundsOf(leader);
        m_leaders.visit(leader, [&](const QRectF &r, int payload) {
            sum += payload != i && touches(bounds, r) && segmentsCross(leader, leaderLine(payload));
            return true;
        });
    }
    return sum;
}

// A layout that keeps last frame's places is weighed against one that keeps none: while the
// view turns in small steps, kept boxes do not move to undo what each step did to their
// leaders, and these come to cross more and more (after ten turns of 2 degrees, three to six
// times as often as in a fresh layout of the turned view). Once the kept layout has RESET_FACTOR
// times the defects of the fresh one and some more, the fresh one is taken: the labels move
// once rather than stay tangled. After a single small turn the kept layout is seldom that far
// behind, unless the fresh one crosses nothing at all. A layout with few defects cannot be, and
// is not laid out twice; nor is a view where many boxes fit nowhere, which is as crowded laid
// out afresh.
std::vector<QRectF> placeBoxes(
    const BoxScene &scene, const std::vector<BoxToPlace> &boxes, BoxMode_t mode, const QPointF &centre)
{
    if (!(scene.area.width() > 0.0 && scene.area.height() > 0.0)) {
        std::vector<QRectF> unchanged;
        for (const BoxToPlace &b : boxes)
            unchanged.push_back(b.box);
        return unchanged;
    }
    BoxLayout kept(scene, boxes);
    std::vector<QRectF> placed = kept.run(mode, centre, true);
    const double n = double(boxes.size()), slack = RESET_SLACK * n;
    const int defects = mode == BOX_DISTRIBUTE && kept.keptAny() ? kept.defects() : 0;
    if (defects <= slack || kept.hiddenCount() > HIDDEN_SHARE * n)
        return placed;
    BoxLayout fresh(scene, boxes);
    std::vector<QRectF> afresh = fresh.run(mode, centre, false);
    return defects > RESET_FACTOR * fresh.defects() + slack ? afresh : placed;
}

} // namespace Vaq::Fig2
