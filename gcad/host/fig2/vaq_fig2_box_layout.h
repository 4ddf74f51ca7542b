// BoxLayout: the state of one run of placeBoxes: the boxes to place with their places so far,
// and grids of what is placed and fixed. The placement (vaq_fig2_box_placement.cpp), the keeping
// of last frame's places (vaq_fig2_box_keep.cpp) and the repair of crossing leaders
// (vaq_fig2_box_uncross.cpp) share it; nothing else uses it.
#pragma once

#include "gcad/host/fig2/vaq_fig2_box_cover.h"
#include "gcad/host/fig2/vaq_fig2_box_grid.h"
#include "gcad/host/fig2/vaq_fig2_box_placement.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace Vaq::Fig2 {

class BoxLayout
{
public:
    // Crossings of one leader and box counted at most: beyond this many a place is hopeless
    // anyway.
    static constexpr int MAX_CROSSINGS = 8;
    // The smallest ring spacing, millimetres (for boxes of no height).
    static constexpr double MIN_STEP = 1.0;

    BoxLayout(const BoxScene &scene, const std::vector<BoxToPlace> &boxes);
    // keepLastPlaces: whether BOX_DISTRIBUTE keeps last frame's places that are still free.
    std::vector<QRectF> run(BoxMode_t mode, const QPointF &centre, bool keepLastPlaces);

    // After run: whether a box stayed at last frame's place, how many boxes are hidden (fit
    // nowhere, or lie under one that did), and how far the layout is from a clean one: two for
    // every pair of crossing leaders (one for a leader crossing a fixed one) and two for every
    // hidden box.
    bool keptAny() const;
    int hiddenCount() const;
    int defects() const;

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
        // Placed where no free place was, or overlapped by such a box: covering it again spoils
        // nothing that was readable.
        bool hidden = false;
        int rectHandle = -1, leaderHandle = -1;
    };

    void put(int i, const QRectF &box);
    void take(int i);
    QLineF leaderLine(int payload) const;
    QRectF boxOf(const QRectF &entry, int owner) const;

    // Shifted into the area where it sticks out; a box larger than the area keeps to its top
    // left. Inline, as every candidate place passes through it.
    QRectF clamped(const QRectF &box) const
    {
        const QRectF &a = m_scene.area;
        const double x = std::max(a.left(), std::min(box.left(), a.right() - box.width()));
        const double y = std::max(a.top(), std::min(box.top(), a.bottom() - box.height()));
        return QRectF(x, y, box.width(), box.height());
    }
    QRectF centredAt(int i, const QPointF &centre) const
    {
        const QSizeF &s = m_items[size_t(i)].size;
        return clamped(
            QRectF(centre.x() - s.width() / 2.0, centre.y() - s.height() / 2.0, s.width(), s.height()));
    }
    double shortestLeader(int i, double gap) const;
    double lastGap(int i) const;
    template<typename Consider> void forEachCandidate(int i, Consider &&consider) const;

    bool coversNoPoint(const QRectF &shape) const;
    bool isClear(int i, const QRectF &shape, int other = -1) const;
    bool isClearOfBoxes(int i, const QRectF &shape) const;
    bool isFree(int i, const QRectF &box, int other = -1) const;
    int crossings(int i, const QRectF &box, int limit = MAX_CROSSINGS, int other = -1) const;
    int mutualCrossings(int i, const QRectF &bi, int j, const QRectF &bj) const;
    int pairCrossings(int i, const QRectF &bi, int j, const QRectF &bj, int limit) const;
    double coverage(int i, const QRectF &box, double limit) const;
    int readableCovered(int i, const QRectF &box) const;
    double leaderLength(int i, const QRectF &box) const;
    int crowding(int i) const;

    std::uint64_t work() const;
    bool spent() const;
    bool keepable(int i, bool glide, QRectF *place) const;
    bool mayStayAt(int i, const QRectF &place) const;
    // How hard a search avoids crossings: not at all; as the placement of each box does, looking
    // at most one penalty beyond the first free candidate and counting MAX_CROSSINGS at most;
    // or, for the repair, as far out as the best place found could still be beaten, counting
    // them all.
    enum class Avoid { NOTHING, CROSSINGS_NEAR, CROSSINGS_FAR };
    bool search(int i, Avoid avoid, QRectF *best) const;
    void leastCovered(int i, QRectF *box) const;
    void place(int i, bool distribute, bool keepLastPlaces);
    void hide(int i);
    bool crossingPartners(int i, std::vector<int> *partners) const;
    void uncross();
    bool leaveKeptPlaces(std::initializer_list<int> items, int after);
    bool acceptChange(int before, int after, std::initializer_list<int> items);
    // Where exchangePlaces hangs a box from the end of the other's leader: along the edge that
    // end lies on, or all round the rim, at five places a side or, finely, at nine; or set back
    // from it, around the rim at five places a side with the end off it.
    enum class Hang { ALONG_EDGE, AROUND_RIM, AROUND_RIM_FINELY, SET_BACK };
    std::vector<QRectF> exchangePlaces(int i, int j, const QRectF &bj, Hang hang) const;
    bool tryExchange(int i, int j, bool setBack);
    bool tryReplace(int j, int i);
    bool tryMove(int i);

    const BoxScene &m_scene;
    std::vector<Item> m_items;
    // How far a box searches: far enough that all boxes would fit around one point at the
    // fill share, even in a corner.
    double m_radius = 0.0;
    // Whether the widened boxes together cover more than the fill share of the area.
    bool m_overfilled = false;
    // The work all searches may do (see WORK_PER_BOX), and the candidates tried so far.
    std::uint64_t m_budget = 0;
    mutable std::uint64_t m_candidates = 0;
    // Obstacles (payload -1) and the widened boxes placed (payload: the item).
    BoxGrid m_rects;
    // Where the widened boxes placed and the obstacles surely lie.
    BoxCover m_cover;
    // Where the boxes (without their margin) that are not hidden and the obstacles surely lie.
    BoxCover m_readable;
    // Fixed points (payload -1) and the items' connector points (payload: the item).
    BoxGrid m_points;
    // Fixed leaders (payload -1 - index) and placed leaders (payload: the item).
    BoxGrid m_leaders;
};

} // namespace Vaq::Fig2
