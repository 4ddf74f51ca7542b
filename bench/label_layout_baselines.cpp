// Greedy and annealing label layouts over candidate boxes (the header says how each chooses).
// Cost: k candidates per label (about 150) are made and sorted once; greedy tests up to k of
// them per label, an annealing move the old and the new box, each against its neighbours in
// bucket grids of boxes, leaders and points: about n k plus 2 m queries for n labels, m moves.
#include "bench/label_layout_baselines.h"

#include "bench/label_layout_geometry.h"
#include "bench/rect_bucket_grid.h"
#include "bench/split_mix_random.h"

#include <algorithm>
#include <cmath>

namespace Vaq::Bench {

namespace {

// The rings' gaps between box and point, in box heights.
constexpr double RING_GAPS[] = { 0.0, 0.5, 1.25, 2.25, 3.5, 5.0, 7.0, 9.5, 12.5 };
// Annealing energy, in mean box heights of leader length: what hiding one thing and one
// crossing cost, and the temperatures at the start and at the end.
constexpr double HIDE_WEIGHT = 20.0;
constexpr double CROSSING_WEIGHT = 5.0;
constexpr double START_TEMPERATURE = 2.0;
constexpr double END_TEMPERATURE = 0.05;

QRectF shiftedInto(const QRectF &box, const QRectF &view)
{
    const double x = std::max(view.left(), std::min(box.left(), view.right() - box.width()));
    const double y = std::max(view.top(), std::min(box.top(), view.bottom() - box.height()));
    return QRectF(QPointF(x, y), box.size());
}

double leaderLength(const QRectF &box, const QPointF &p)
{
    return lengthOf(leaderOf(box, p));
}

double meanHeight(const LayoutProblem &problem)
{
    double sum = 0.0;
    for (const QSizeF &s : problem.sizes)
        sum += s.height();
    return problem.sizes.empty() ? 1.0 : std::max(sum / double(problem.sizes.size()), 1e-3);
}

// The placed boxes and their leaders, and all points, in bucket grids of about two boxes.
class PlacedLabels
{
public:
    explicit PlacedLabels(const LayoutProblem &problem)
        : m_problem(problem)
        , m_boxes(problem.view, cellSize(problem), int(problem.sizes.size()))
        , m_leaders(problem.view, cellSize(problem), int(problem.sizes.size()))
        , m_points(problem.view, cellSize(problem), int(problem.sizes.size()))
        , m_placed(problem.sizes.size())
    {
        for (size_t i = 0; i < problem.points.size(); ++i)
            m_points.insert(int(i), QRectF(problem.points[i], QSizeF()));
    }

    void place(int i, const QRectF &box)
    {
        m_placed[size_t(i)] = box;
        m_boxes.insert(i, box);
        const QLineF leader = leaderOf(box, m_problem.points[size_t(i)]);
        if (leader.p1() != leader.p2())
            m_leaders.insert(i, QRectF(leader.p1(), leader.p2()).normalized());
    }

    void lift(int i)
    {
        m_boxes.remove(i);
        m_leaders.remove(i);
    }

    const std::vector<QRectF> &boxes() const { return m_placed; }

    // The placed boxes, fixed boxes and points of other labels that the box of label i hides.
    int hidden(int i, const QRectF &box) const
    {
        int count = 0;
        m_boxes.visit(box, [&](int j, const QRectF &r) { count += j != i && interiorsOverlap(box, r); });
        for (const QRectF &r : m_problem.fixed)
            count += interiorsOverlap(box, r);
        m_points.visit(
            box, [&](int j, const QRectF &r) { count += j != i && strictlyInside(r.topLeft(), box); });
        return count;
    }

    // The placed leaders that the leader of label i at the box crosses.
    int crossings(int i, const QRectF &box) const
    {
        const QLineF leader = leaderOf(box, m_problem.points[size_t(i)]);
        if (leader.p1() == leader.p2())
            return 0;
        int count = 0;
        m_leaders.visit(QRectF(leader.p1(), leader.p2()).normalized(), [&](int j, const QRectF &) {
            count
                += j != i && leadersCross(leader, leaderOf(m_placed[size_t(j)], m_problem.points[size_t(j)]));
        });
        return count;
    }

private:
    static double cellSize(const LayoutProblem &problem)
    {
        double sum = 0.0;
        for (const QSizeF &s : problem.sizes)
            sum += std::max(s.width(), s.height());
        return std::max(problem.sizes.empty() ? 1.0 : 2.0 * sum / double(problem.sizes.size()), 1e-3);
    }

    const LayoutProblem &m_problem;
    RectBucketGrid m_boxes, m_leaders, m_points;
    std::vector<QRectF> m_placed;
};

// Puts every label at its first candidate that hides nothing, else at its first one; returns the
// index of the candidate taken.
std::vector<int> placeGreedily(PlacedLabels &placed, const std::vector<std::vector<QRectF>> &candidates)
{
    std::vector<int> chosen;
    for (int i = 0; i < int(candidates.size()); ++i) {
        const std::vector<QRectF> &boxes = candidates[size_t(i)];
        const auto free = std::find_if(
            boxes.begin(), boxes.end(), [&](const QRectF &box) { return placed.hidden(i, box) == 0; });
        chosen.push_back(free != boxes.end() ? int(free - boxes.begin()) : 0);
        placed.place(i, boxes[size_t(chosen.back())]);
    }
    return chosen;
}

} // namespace

std::vector<std::vector<QRectF>> candidateBoxes(const LayoutProblem &problem)
{
    std::vector<std::vector<QRectF>> all(problem.sizes.size());
    for (size_t i = 0; i < problem.sizes.size(); ++i) {
        const QSizeF &size = problem.sizes[i];
        const QPointF &p = problem.points[i];
        const double a = size.width() / 2.0, b = size.height() / 2.0;
        // With their leader lengths, to sort by.
        std::vector<std::pair<double, QRectF>> boxes;
        const auto offer = [&](double dx, double dy) {
            const QRectF box
                = shiftedInto(QRectF(p.x() + dx - a, p.y() + dy - b, 2.0 * a, 2.0 * b), problem.view);
            if (!strictlyInside(p, box))
                boxes.emplace_back(leaderLength(box, p), box);
        };
        for (const double ring : RING_GAPS) {
            const double g = ring * size.height(), d = g / std::sqrt(2.0);
            // Beside, above and below the point, centred and shifted by half the box.
            for (const double shift : { 0.0, -1.0, 1.0 }) {
                offer(shift * a, -(b + g));
                offer(a + g, shift * b);
                offer(shift * a, b + g);
                offer(-(a + g), shift * b);
            }
            for (const double sx : { 1.0, -1.0 }) {
                for (const double sy : { -1.0, 1.0 })
                    offer(sx * (a + d), sy * (b + d));
            }
        }
        std::stable_sort(
            boxes.begin(), boxes.end(), [](const auto &u, const auto &v) { return u.first < v.first; });
        for (const auto &entry : boxes)
            all[i].push_back(entry.second);
        if (boxes.empty()) // a box that cannot leave its point, shifted into the view
            all[i].push_back(shiftedInto(QRectF(p.x() - a, p.y() - b, 2.0 * a, 2.0 * b), problem.view));
    }
    return all;
}

std::vector<QRectF> placeGreedy(
    const LayoutProblem &problem, const std::vector<std::vector<QRectF>> &candidates)
{
    PlacedLabels placed(problem);
    placeGreedily(placed, candidates);
    return placed.boxes();
}

std::vector<QRectF> placeByAnnealing(const LayoutProblem &problem,
    const std::vector<std::vector<QRectF>> &candidates, int moves, uint64_t seed)
{
    const int n = int(candidates.size());
    PlacedLabels placed(problem);
    std::vector<int> chosen = placeGreedily(placed, candidates);
    if (n == 0 || moves <= 0)
        return placed.boxes();

    const double unit = meanHeight(problem);
    const auto energy = [&](int i, const QRectF &box) {
        return unit * (HIDE_WEIGHT * placed.hidden(i, box) + CROSSING_WEIGHT * placed.crossings(i, box))
            + leaderLength(box, problem.points[size_t(i)]);
    };
    SplitMixRandom random(seed);
    const double cooling = std::pow(END_TEMPERATURE / START_TEMPERATURE, 1.0 / moves);
    double temperature = START_TEMPERATURE * unit;
    for (int move = 0; move < moves; ++move, temperature *= cooling) {
        const int i = random.index(n);
        const std::vector<QRectF> &boxes = candidates[size_t(i)];
        const int k = random.index(int(boxes.size()));
        const double u = random.uniform();
        if (k == chosen[size_t(i)])
            continue;
        const QRectF old = placed.boxes()[size_t(i)];
        placed.lift(i);
        const double delta = energy(i, boxes[size_t(k)]) - energy(i, old);
        const bool accept = delta <= 0.0 || u < std::exp(-delta / temperature);
        if (accept)
            chosen[size_t(i)] = k;
        placed.place(i, accept ? boxes[size_t(k)] : old);
    }
    return placed.boxes();
}

} // namespace Vaq::Bench
