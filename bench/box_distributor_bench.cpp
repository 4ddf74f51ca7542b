// Label layout of one frame: 200 labels of 8 to 30 x 4 to 6 mm in a 1920 x 1080 pixel view
// (508 x 286 mm), with a legend strip and the reserved corner, as the overlay lays them out in
// every full repaint:
//  - BM_FreshLayout: every box starts over its own point, so that each one searches;
//  - BM_NextFrame: the boxes start where the fresh layout put them (the view did not change
//    enough to move them), so that all are kept;
//  - BM_CrowdedCluster: all 200 points lie in one 20 mm square, the worst case for the search;
//  - BM_AllPairsCheck, the baseline: testing the 200 laid-out boxes pairwise for overlap once.
#include "bench/median_reporter.h"
#include "gcad/host/fig2/vaq_fig2_box_placement.h"

#include <cstdio>
#include <random>

using namespace Vaq::Fig2;

namespace {

const QRectF VIEW(0.0, 0.0, 508.0, 286.0);
constexpr int COUNT = 200;

BoxScene scene()
{
    BoxScene s;
    s.area = VIEW.adjusted(0.0, 0.0, 0.0, -25.0);
    s.marginFactor = 1.1;
    s.fillFactor = 0.7;
    s.obstacles = { QRectF(0.0, VIEW.height() - 32.0, 32.0, 32.0) };
    return s;
}

std::vector<BoxToPlace> labels(const QRectF &points)
{
    std::mt19937 random(1);
    auto uniform = [&](double low, double high) { return low + (high - low) * (random() / 4294967296.0); };
    std::vector<BoxToPlace> boxes(COUNT);
    for (BoxToPlace &b : boxes) {
        b.point = QPointF(uniform(points.left(), points.right()), uniform(points.top(), points.bottom()));
        b.box = QRectF(b.point - QPointF(2.0, 2.0), QSizeF(uniform(8.0, 30.0), uniform(4.0, 6.0)));
        b.hasPoint = true;
    }
    return boxes;
}

const BoxScene _scene = scene();
const std::vector<BoxToPlace> _fresh = labels(_scene.area);
const std::vector<BoxToPlace> _cluster = labels(QRectF(244.0, 120.0, 20.0, 20.0));

std::vector<BoxToPlace> nextFrame()
{
    const std::vector<QRectF> placed = placeBoxes(_scene, _fresh, BOX_DISTRIBUTE, QPointF());
    std::vector<BoxToPlace> boxes = _fresh;
    for (size_t i = 0; i < boxes.size(); ++i)
        boxes[i].box = placed[i];
    return boxes;
}

const std::vector<BoxToPlace> _next = nextFrame();

void run(benchmark::State &state, const std::vector<BoxToPlace> &boxes)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(placeBoxes(_scene, boxes, BOX_DISTRIBUTE, QPointF(254.0, 130.0)));
}

void BM_FreshLayout(benchmark::State &state)
{
    run(state, _fresh);
}

void BM_NextFrame(benchmark::State &state)
{
    run(state, _next);
}

void BM_CrowdedCluster(benchmark::State &state)
{
    run(state, _cluster);
}

void BM_AllPairsCheck(benchmark::State &state)
{
    for (auto _ : state) {
        int overlapping = 0;
        for (size_t i = 0; i < _next.size(); ++i) {
            for (size_t j = i + 1; j < _next.size(); ++j)
                overlapping += _next[i].box.intersects(_next[j].box);
        }
        benchmark::DoNotOptimize(overlapping);
    }
}

} // namespace

GCAD_WALL_CLOCK_BENCHMARK(BM_FreshLayout, 0.2, 5);
GCAD_WALL_CLOCK_BENCHMARK(BM_NextFrame, 0.2, 5);
GCAD_WALL_CLOCK_BENCHMARK(BM_CrowdedCluster, 0.2, 5);
GCAD_WALL_CLOCK_BENCHMARK(BM_AllPairsCheck, 0.2, 5);

int main(int argc, char **argv)
{
    Vaq::Bench::MedianReporter reporter;
    Vaq::Bench::runInterleaved(argc, argv, reporter);
    double fresh = 0.0, next = 0.0, cluster = 0.0, pairs = 0.0;
    if (reporter.median("BM_FreshLayout", &fresh) && reporter.median("BM_NextFrame", &next)
        && reporter.median("BM_CrowdedCluster", &cluster) && reporter.median("BM_AllPairsCheck", &pairs))
        std::printf(
            "medians for %d labels: fresh layout %.3f ms, next frame %.3f ms, crowded cluster %.2f ms; "
            "%.0f, %.0f and %.0f times one all-pairs overlap check (%.4f ms)\n",
            COUNT, fresh, next, cluster, fresh / pairs, next / pairs, cluster / pairs, pairs);
    benchmark::Shutdown();
    return 0;
}
