// Repair of crossing leaders after the placement: two boxes whose leaders cross exchange their
// places, each hung from the point where the other's leader met its box. As in the classical
// matching argument (two crossing segments are together longer than the two that join their
// ends the other way round), every such exchange shortens the leaders in all, so exchanges do
// not cycle, and boxes of one size end without crossings. Boxes of other sizes slide along
// the edge they hang from, or hang from another edge, to fit, and once that changes nothing are
// set back from the point they hang from. Partners whose leaders cross, and of those the ones of
// like size, are tried first. What exchanges leave is moved to its best place counting
// crossings, or placed afresh together with a box it crosses, the two searching farther out than
// the placement does.
// Cost: a pass asks the grids about each box's leader and tries its crossing partners, each
// exchange a few grid queries, and a pair that failed only once one of the two has moved since;
// a work budget per box not hidden bounds the exchange passes and another the moves, as a search
// each.
#include "gcad/host/fig2/vaq_fig2_box_geometry.h"
#include "gcad/host/fig2/vaq_fig2_box_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <unordered_map>

namespace Vaq::Fig2 {

using namespace BoxGeometry;

namespace {

// The crossing repair's own work per box on average, whatever the placement used, so that it
// gets as far in a layout that placed every box afresh as in one that kept them all: first for
// exchanging places, then for moving boxes or placing pairs afresh.
constexpr std::uint64_t EXCHANGE_WORK_PER_BOX = 1250;
constexpr std::uint64_t REPAIR_WORK_PER_BOX = 500;
constexpr int EXCHANGE_PASSES = 30;
constexpr int UNCROSS_PASSES = 4;
// Partners a box tries to be placed afresh with in one pass.
constexpr size_t UNCROSS_PARTNERS = 4;

} // namespace

// Whether the item's leader crosses a leader or runs through a box; partners gets the placed
// items among them, without repeats: those whose leaders it crosses first, as their exchange is
// what removes a crossing, then those whose boxes it runs through; in each group those most
// alike the item in size first, as their places fit each other most often. In a crowded view
// the work budget ends the exchanges long before every pair is tried. A hidden box (placed
// where it fit nowhere, or covered by such a box) counts as crossing nothing: its label cannot
// be read anyway, and in a crowded view the repair would spend most of its time on these.
bool BoxLayout::crossingPartners(int i, std::vector<int> *partners) const
{
    const Item &item = m_items[size_t(i)];
    partners->clear();
    if (!item.hasPoint || item.leaderHandle < 0 || item.hidden)
        return false;
    const QLineF leader = leaderOf(item.box, item.target);
    const QRectF bounds = boundsOf(leader);
    bool crossed = false;
    m_leaders.visit(leader, [&](const QRectF &, int payload) {
        if (payload != i && segmentsCross(leader, leaderLine(payload))) {
            crossed = true;
            if (payload >= 0)
                partners->push_back(payload);
        }
        return true;
    });
    const size_t leaders = partners->size();
    m_rects.visit(leader, [&](const QRectF &r, int owner) {
        if (owner != i && touches(bounds, r) && segmentEnters(leader, boxOf(r, owner))) {
            crossed = true;
            if (owner >= 0)
                partners->push_back(owner);
        }
        return true;
    });
    const QSizeF &size = item.size;
    const auto misfit = [&](int j) {
        const QSizeF &other = m_items[size_t(j)].size;
        return std::abs(other.width() - size.width()) + std::abs(other.height() - size.height());
    };
    const auto byFit = [&](int a, int b) {
        const double ma = misfit(a), mb = misfit(b);
        return ma < mb || (ma == mb && a < b);
    };
    // The grids visit each item once: a partner comes twice only where both its leader and its
    // box meet the item's leader, and stays with the leaders.
    const auto split = partners->begin() + std::ptrdiff_t(leaders);
    std::sort(partners->begin(), split, byFit);
    const auto through = std::remove_if(
        split, partners->end(), [&](int j) { return std::find(partners->begin(), split, j) != split; });
    std::sort(split, through, byFit);
    partners->erase(through, partners->end());
    return crossed;
}

// Repairs crossing leaders: first by exchanging the places of two boxes whose leaders cross
// (or one's leader runs through the other's box), each pass over all boxes, until a pass
// changes nothing; then a box whose leader still crosses moves to its best place counting
// crossings, or else is placed afresh together with one of the boxes it crosses. Every exchange
// shortens the leaders in all and every other change lowers the number of crossings, so neither
// goes round in circles; the passes, the partners tried and the work budgets bound the time
// taken. The repair
// has budgets of its own, so that a layout of its own result gets as far as the first did and
// finds nothing left to change; a box at last frame's place moves only to cross nothing.
void BoxLayout::uncross()
{
    std::uint64_t readable = 0;
    for (const Item &item : m_items)
        readable += !item.hidden;
    m_budget = work() + EXCHANGE_WORK_PER_BOX * readable;
    std::vector<int> partners;
    // Exchanges tried so far, the last try at which each box moved, and the last at which each
    // pair failed (set-back tries apart). A pair is tried again only once one of its boxes has
    // moved: with both where they were, it fails again all but once or twice in a hundred.
    int tries = 0;
    std::vector<int> movedAt(m_items.size(), 0);
    std::unordered_map<std::uint64_t, int> failedAt;
    bool crossed = true, setBack = false;
    for (int pass = 0; pass < EXCHANGE_PASSES && crossed; ++pass) {
        bool changed = false;
        crossed = false;
        for (int i = 0; i < int(m_items.size()) && !spent(); ++i) {
            if (!crossingPartners(i, &partners))
                continue;
            crossed = true;
            for (size_t k = 0; k < partners.size() && !spent(); ++k) {
                const int j = partners[k];
                const std::uint64_t pair = std::uint64_t(std::min(i, j)) << 33
                    | std::uint64_t(std::max(i, j)) << 1 | std::uint64_t(setBack);
                const auto failed = failedAt.find(pair);
                if (failed != failedAt.end() && movedAt[size_t(i)] < failed->second
                    && movedAt[size_t(j)] < failed->second)
                    continue;
                ++tries;
                if (tryExchange(i, j, setBack)) {
                    movedAt[size_t(i)] = movedAt[size_t(j)] = tries;
                    changed = true;
                    break;
                }
                failedAt[pair] = tries;
            }
        }
        // A pass cut short by the budget may have missed crossings.
        crossed = crossed || spent();
        // Once exchanges at the rim change nothing, boxes set back from it are tried, which
        // cost more.
        if (!changed && !setBack && !spent()) {
            setBack = true;
            continue;
        }
        if (!changed)
            break;
    }
    // A whole pass that found no crossing at all leaves nothing to move.
    if (!crossed)
        return;
    m_budget = work() + REPAIR_WORK_PER_BOX * readable;
    for (int pass = 0; pass < UNCROSS_PASSES; ++pass) {
        bool changed = false;
        for (int i = 0; i < int(m_items.size()) && !spent(); ++i) {
            if (!crossingPartners(i, &partners))
                continue;
            bool done = tryMove(i);
            for (size_t k = 0; k < partners.size() && k < UNCROSS_PARTNERS && !done; ++k)
                done = tryReplace(partners[k], i);
            changed = done || changed;
        }
        if (!changed)
            return;
    }
}

// Whether the items may leave their places for ones where their leaders cross after others: a
// box at last frame's place moves only to cross nothing, so that a layout is not reshuffled in
// every frame for crossings that cannot be removed. Where they may, they are no longer at last
// frame's places.
bool BoxLayout::leaveKeptPlaces(std::initializer_list<int> items, int after)
{
    bool kept = false;
    for (const int i : items)
        kept = kept || m_items[size_t(i)].kept;
    if (kept && after > 0)
        return false;
    for (const int i : items)
        m_items[size_t(i)].kept = false;
    return true;
}

// The crossings of two items at the given places (see crossings), those between the two counted
// once, and no further than limit: counted up to the count before a move, what the move leaves
// tells whether it lowers that.
int BoxLayout::pairCrossings(int i, const QRectF &bi, int j, const QRectF &bj, int limit) const
{
    int count = mutualCrossings(i, bi, j, bj);
    if (count < limit)
        count += crossings(i, bi, limit - count, j);
    if (count < limit)
        count += crossings(j, bj, limit - count, i);
    return std::min(count, limit);
}

// Whether a move of the items that leaves after crossings of before is taken: it must lower
// them, and the items may leave their places.
bool BoxLayout::acceptChange(int before, int after, std::initializer_list<int> items)
{
    return after < before && leaveKeptPlaces(items, after);
}

// The places for box i at the place of box j that are free, shortest leader first: hung from
// the point where j's leader meets j's box, at the same share of its width and height, or slid
// along the edge that point lies on as far as it stays on the box's rim; or, around the rim,
// with that point at one of five (finely nine) places along each of the box's edges; or set
// back: around the rim at five places a side, with that point half a step to a step and a half
// off it. At each but the set-back ones, i's leader is no longer than the line from i's point
// to that point. Where two leaders cross, the two lines to the exchanged ends are together
// shorter than the two leaders (the triangle inequality on their crossing), so exchanges
// shorten the leaders in all and cannot go round in circles; tryExchange makes sure of it for
// set-back places. A larger box slid along the edge, hung from another edge or set back often
// fits where the smaller one was.
std::vector<QRectF> BoxLayout::exchangePlaces(int i, int j, const QRectF &bj, Hang hang) const
{
    const QSizeF &s = m_items[size_t(i)].size;
    const QPointF end
        = m_items[size_t(j)].hasPoint ? leaderOf(bj, m_items[size_t(j)].target).p1() : bj.center();
    const double fx = bj.width() > 0.0 ? (end.x() - bj.left()) / bj.width() : 0.5;
    const double fy = bj.height() > 0.0 ? (end.y() - bj.top()) / bj.height() : 0.5;
    const bool onLevelEdge = fy == 0.0 || fy == 1.0, onUprightEdge = fx == 0.0 || fx == 1.0;
    std::vector<QRectF> places;
    // Hung at shares ax, ay of its width and height from the end, moved by dx, dy.
    auto offer = [&](double ax, double ay, double dx, double dy) {
        const QRectF box = clamped(
            QRectF(end.x() - ax * s.width() + dx, end.y() - ay * s.height() + dy, s.width(), s.height()));
        const auto same = [&](const QRectF &place) { return sameRect(place, box); };
        if (std::none_of(places.begin(), places.end(), same) && isFree(i, box, j))
            places.push_back(box);
    };
    // At shares of each edge, the end as far off the rim as back, outward.
    auto aroundRim = [&](size_t shares, double back) {
        constexpr double SHARES[] = { 0.5, 0.25, 0.75, 0.0, 1.0, 0.125, 0.375, 0.625, 0.875 };
        for (const double share : std::span(SHARES, shares)) {
            for (const double edge : { 0.0, 1.0 }) {
                const double away = edge == 0.0 ? back : -back;
                offer(share, edge, 0.0, away);
                offer(edge, share, away, 0.0);
            }
        }
    };
    if (hang == Hang::ALONG_EDGE) {
        offer(fx, fy, 0.0, 0.0);
        for (const double share : { 0.5, 0.0, 1.0 }) {
            if (onLevelEdge)
                offer(share, fy, 0.0, 0.0);
            if (onUprightEdge)
                offer(fx, share, 0.0, 0.0);
        }
    } else if (hang == Hang::SET_BACK) {
        for (int steps = 1; steps <= 3; ++steps)
            aroundRim(5, steps * m_items[size_t(i)].step / 2.0);
    } else {
        aroundRim(hang == Hang::AROUND_RIM_FINELY ? 9 : 5, 0.0);
    }
    std::sort(places.begin(), places.end(),
        [&](const QRectF &a, const QRectF &b) { return leaderLength(i, a) < leaderLength(i, b); });
    return places;
}

// Exchanges the places of the two boxes when both are free there and that shortens the leaders
// in all, uncrossing two leaders that crossed each other or leaving no more crossings. The
// places around the rim are tried only where the nearer ones do not fit, and finely for two
// leaders that cross each other, as their exchange is what removes a crossing. Asked to set
// back, it tries only the set-back places, and only for two leaders that cross each other.
bool BoxLayout::tryExchange(int i, int j, bool setBack)
{
    const QRectF bi = m_items[size_t(i)].box, bj = m_items[size_t(j)].box;
    const double m = m_scene.marginFactor;
    const bool crossedEachOther
        = segmentsCross(leaderOf(bi, m_items[size_t(i)].target), leaderOf(bj, m_items[size_t(j)].target));
    if (setBack && !crossedEachOther)
        return false;
    const Hang hangs[] = { setBack ? Hang::SET_BACK : Hang::ALONG_EDGE,
        crossedEachOther ? Hang::AROUND_RIM_FINELY : Hang::AROUND_RIM };
    // The larger box is the likelier not to fit at the other's place: its places are looked for
    // first, and the other's only where it has some.
    const bool iLarger = bi.width() * bi.height() >= bj.width() * bj.height();
    const auto placesOf = [&](bool ofI, Hang hang) {
        return ofI ? exchangePlaces(i, j, bj, hang) : exchangePlaces(j, i, bi, hang);
    };
    QRectF si, sj;
    bool found = false;
    for (const Hang hang : std::span(hangs, setBack ? 1 : 2)) {
        if (found)
            break;
        const std::vector<QRectF> larger = placesOf(iLarger, hang);
        const std::vector<QRectF> smaller = larger.empty() ? larger : placesOf(!iLarger, hang);
        const std::vector<QRectF> &placesI = iLarger ? larger : smaller,
                                  &placesJ = iLarger ? smaller : larger;
        for (size_t a = 0; a < placesI.size() && !found; ++a) {
            for (size_t b = 0; b < placesJ.size() && !found; ++b) {
                found = !overlaps(widened(placesI[a], m), widened(placesJ[b], m));
                si = placesI[a];
                sj = placesJ[b];
            }
        }
    }
    if (!found)
        return false;
    // Only exchanges that shorten the leaders in all are taken, so that they cannot go round in
    // circles. Two leaders that cross each other are exchanged then whatever the count of other
    // crossings does: that count may rise for a while, but the falling total length is what
    // ends the exchanges without crossings. Other exchanges must not raise the count. The
    // crossings are counted only where they decide, as most exchanges uncross two leaders.
    const bool shorter
        = leaderLength(i, si) + leaderLength(j, sj) < leaderLength(i, bi) + leaderLength(j, bj);
    if (!shorter)
        return false;
    const bool kept = m_items[size_t(i)].kept || m_items[size_t(j)].kept;
    if (!crossedEachOther || kept) {
        const auto count = [&](const QRectF &ri, const QRectF &rj) {
            return crossings(i, ri, MAX_CROSSINGS, j) + crossings(j, rj, MAX_CROSSINGS, i)
                + mutualCrossings(i, ri, j, rj);
        };
        const int after = count(si, sj);
        if ((!crossedEachOther && after > count(bi, bj)) || !leaveKeptPlaces({ i, j }, after))
            return false;
    }
    take(i);
    take(j);
    put(i, si);
    put(j, sj);
    return true;
}

// Places both boxes afresh, first j, then i around it, when that leaves fewer crossings: for
// two leaders that cross where neither box alone has a better place. With both boxes out of the
// way, the places near them are free, and what uncrosses the pair often lies farther out than
// one penalty beyond those: each search goes as far as its best could still be beaten, and all
// crossings are counted, before and after, so that many are not taken for a few.
bool BoxLayout::tryReplace(int j, int i)
{
    const QRectF bi = m_items[size_t(i)].box, bj = m_items[size_t(j)].box;
    take(i);
    take(j);
    const int before = pairCrossings(i, bi, j, bj, std::numeric_limits<int>::max());
    QRectF si, sj;
    bool found = search(j, Avoid::CROSSINGS_FAR, &sj);
    if (found) {
        put(j, sj);
        found = search(i, Avoid::CROSSINGS_FAR, &si);
        take(j);
    }
    const bool better = found && acceptChange(before, pairCrossings(i, si, j, sj, before), { i, j });
    put(i, better ? si : bi);
    put(j, better ? sj : bj);
    return better;
}

// Moves the box to its best free place counting crossings, when that has fewer of them.
bool BoxLayout::tryMove(int i)
{
    const QRectF old = m_items[size_t(i)].box;
    take(i);
    QRectF box;
    const bool better
        = search(i, Avoid::CROSSINGS_NEAR, &box) && acceptChange(crossings(i, old), crossings(i, box), { i });
    put(i, better ? box : old);
    return better;
}

} // namespace Vaq::Fig2
