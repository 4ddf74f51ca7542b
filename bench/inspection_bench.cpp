// Inspection benchmarks, printed as a table, each time the median of three runs in this process:
// - deviations of a scan of 2 million points from a 2-million-triangle nominal part
//   (computeDeviations on every processor, the hierarchy's build included), against the
//   brute-force loop over every triangle on a sample of the points, extrapolated to all of
//   them and to the same number of threads; the sample's answers must agree;
// - a section through a 10-million-triangle mesh through its spatial tree, against cutting
//   every triangle; both must give the same runs.
//
//   bench_inspection [--quick]   --quick: a tenth of the sizes, for a test of the program
#include "apps/scene/scene_deviation.h"
#include "apps/scene/scene_inspection_sample.h"

#include "gcad/host/cad/vaq_cad_plane_cut.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_poly_base_render_data.h"
#include "gcad/host/cad/vaq_cad_triangle_bvh.h"
#include "gcad/host/cad/vaq_cad_triangle_point.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <numeric>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Vaq::BaVec3d;
using namespace Gcad::Scene;
using Vaq::CAD::NO_VALUE;
using Vaq::CAD::StageIdentifier;

double processSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

// The median wall-clock time of three runs of work, in seconds; *cpu (may be null) gets the
// processor time of that run over all threads, which a busy machine inflates least.
double medianSeconds(const std::function<void()> &work, double *cpu = nullptr)
{
    std::vector<std::pair<double, double>> times;
    for (int run = 0; run < 3; ++run) {
        const Clock::time_point start = Clock::now();
        const double startCpu = processSeconds();
        work();
        times.emplace_back(
            std::chrono::duration<double>(Clock::now() - start).count(), processSeconds() - startCpu);
    }
    std::sort(times.begin(), times.end());
    if (cpu)
        *cpu = times[1].second;
    return times[1].first;
}

std::unique_ptr<Vaq::CAD::PolyBase> partElement(unsigned sides, unsigned rings)
{
    MeshData data = makeSamplePart(sides, rings);
    auto part = std::make_unique<Vaq::CAD::PolyBase>(Vaq::CAD::ElementCreator::MESH, QStringLiteral("part"));
    part->setMesh(std::move(data.vertices), std::move(data.triangles));
    part->updateVisualization(StageIdentifier::NO_STAGE, true, false);
    return part;
}

// The nearest distance of p to any triangle, signed by the face normal of the nearest one.
double bruteForceDeviation(const Vaq::CAD::PolyBaseData &mesh, const BaVec3d<double> &p)
{
    double best = std::numeric_limits<double>::infinity(), sign = 1.0;
    for (const Vaq::CAD::Triangle &t : mesh.triangles) {
        const BaVec3d<double> &a = mesh.vertices[t[0]], &b = mesh.vertices[t[1]], &c = mesh.vertices[t[2]];
        const BaVec3d<double> q = Vaq::CAD::closestPointOnTriangle(p, a, b, c).point;
        const double distance = (p - q).length();
        if (distance < best) {
            best = distance;
            sign = (p - q).dot((b - a).cross(c - a)) < 0.0 ? -1.0 : 1.0;
        }
    }
    return sign * best;
}

void benchDeviations(bool quick)
{
    const unsigned side = quick ? 316 : 1000;
    auto part = partElement(side, side);
    const Vaq::CAD::PolyBaseData &nominal = *part->getData(StageIdentifier::NO_STAGE);
    const PointCloud scan = makeSampleScan(2 * side, side, 0.03, 1);
    Vaq::Box3d box;
    part->getBoundingBox(StageIdentifier::NO_STAGE, Vaq::CAD::BBT_GEOMETRY, Vaq::CAD::CCS_WORLD, box);
    const double maxDistance = 0.02 * box.getSize().length();
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());

    Deviations deviations;
    double treeCpu = 0.0;
    const double tree = medianSeconds(
        [&] { deviations = computeDeviations(nominal, scan.positions, maxDistance); }, &treeCpu);
    std::vector<uint32_t> all(nominal.triangles.size());
    std::iota(all.begin(), all.end(), 0u);
    const double build
        = medianSeconds([&] { const Vaq::CAD::TriangleBvh bvh(nominal.vertices, nominal.triangles, all); });

    // Every 2000th point (0.05 %): the loop over all triangles takes about 5 ms a point.
    const std::size_t step = 2000;
    std::vector<double> brute;
    const double sample = medianSeconds([&] {
        brute.clear();
        for (std::size_t i = 0; i < scan.positions.size(); i += step)
            brute.push_back(bruteForceDeviation(nominal, scan.positions[i]));
    });
    std::size_t disagree = 0;
    for (std::size_t k = 0; k < brute.size(); ++k) {
        const float value = deviations.values[k * step];
        const bool reached = std::abs(brute[k]) <= maxDistance;
        disagree += reached != (value != NO_VALUE) || (reached && std::abs(value - brute[k]) > 1e-6);
    }
    const double extrapolated = sample * double(scan.positions.size()) / double(brute.size()) / threads;
    std::printf("deviations: %zu points, %zu triangles, %u threads, search distance %.3g\n",
        scan.positions.size(), nominal.triangles.size(), threads, maxDistance);
    std::printf("  hierarchy and nearest points   %9.3f s   (%.3f s of processor time, %.3f s the hierarchy's"
                " build; %zu points with a value)\n",
        tree, treeCpu, build, deviations.withValue);
    std::printf("  brute force, %zu-point sample %9.3f s   -> %.1f s for all on %u threads, %.0fx slower;"
                " %zu answers differ\n",
        brute.size(), sample, extrapolated, threads, extrapolated / tree, disagree);
}

double runLength(const std::vector<Vaq::CAD::PlaneCutRun> &runs)
{
    double length = 0.0;
    for (const Vaq::CAD::PlaneCutRun &run : runs) {
        for (std::size_t i = 1; i < run.points.size(); ++i)
            length += (run.points[i] - run.points[i - 1]).length();
    }
    return length;
}

void benchSection(bool quick)
{
    // Leaves in mesh order: the cut does not care, and the build is much quicker.
    Vaq::CAD::BspTree::setVertexCacheSize(0);
    const unsigned side = quick ? 707 : 2237;
    auto part = partElement(side, side - 1);
    const Vaq::CAD::PolyBaseData &data = *part->getData(StageIdentifier::NO_STAGE);
    const Vaq::Plane3d plane({ 0, 0, 0.5 * SAMPLE_PART_HEIGHT + 0.01 }, { 0, 0, 1 });
    std::vector<Vaq::CAD::PlaneCutRun> withTree, everyTriangle;
    const double tree
        = medianSeconds([&] { withTree = cutWithPlane(*part, StageIdentifier::NO_STAGE, plane); });
    const double all = medianSeconds([&] { everyTriangle = cutWithPlane(data, plane); });
    const bool same = withTree.size() == everyTriangle.size()
        && std::abs(runLength(withTree) - runLength(everyTriangle)) < 1e-9;
    std::printf("section: %zu triangles, %zu leaves, %zu run(s), %s\n", data.triangles.size(),
        part->getPolyBaseRenderData(StageIdentifier::NO_STAGE)->getAllLeaves().size(), withTree.size(),
        same ? "the same runs both ways" : "THE RUNS DIFFER");
    std::printf("  through the leaves the plane crosses %8.1f ms\n", 1000.0 * tree);
    std::printf(
        "  every triangle                       %8.1f ms   (%.1fx slower)\n", 1000.0 * all, all / tree);
}

} // namespace

int main(int argc, char **argv)
{
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    benchDeviations(quick);
    benchSection(quick);
    return 0;
}
