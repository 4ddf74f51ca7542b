// Preparing the GPU nodes of the benchmark dome (1001 x 1001 vertices, 2,000,000 triangles)
// for smooth shading with 16-bit normals, one worker per processor as the mesh renderer
// does, against the baseline of copying the same output bytes into new memory on as many
// threads. Also reports how well the spatial tree's leaf order uses a 32-entry vertex cache.
#include "bench/median_reporter.h"
#include "gcad/host/base/vaq_os.h"
#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/cad/vaq_cad_poly_base_render_data.h"
#include "gcad/mesh/gcad_gl_node.h"
#include "gcad/mesh/gcad_mesh_render_types.h"
#include "gcad/mesh/gcad_optimize_node_thread.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

using namespace Vaq;
using namespace Vaq::GCAD;

namespace {

const CAD::StageIdentifier STAGE = CAD::StageIdentifier::DEFAULT_DATASET;
constexpr unsigned FLAGS = RT_TRIANGLES | RT_SMOOTH;
constexpr int RENDER_MODE_16_BIT_NORMALS = 0;

struct Dome
{
    Dome()
    {
        CAD::BspTree::setVertexCacheSize(32);
        mesh = CAD::createDomeMesh(1001, false);
        mesh->needsNoBoundary(true);
        const auto start = std::chrono::steady_clock::now();
        mesh->updateVisualization(STAGE, false, false);
        treeSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        leaves = mesh->getPolyBaseRenderData(STAGE)->getAllLeaves();
    }
    std::unique_ptr<CAD::PolyBase> mesh;
    std::vector<CAD::BspNode *> leaves;
    double treeSeconds = 0.0;
};

Dome &dome()
{
    static Dome instance;
    return instance;
}

std::size_t outputBytes(const std::vector<std::unique_ptr<GLNode>> &nodes)
{
    std::size_t bytes = 0;
    for (const auto &node : nodes)
        bytes += node->getVertexBytes() + node->getIndexBytes();
    return bytes;
}

void BM_PrepareDomeNodes(benchmark::State &state)
{
    const unsigned workers = OS::getNumberOfCPUs();
    std::size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::unique_ptr<GLNode>> nodes;
        for (CAD::BspNode *leaf : dome().leaves)
            nodes.push_back(std::make_unique<GLNode>(STAGE, leaf));
        state.ResumeTiming();
        // As the mesh renderer does: up to one worker per processor, all awaited, repeated.
        for (std::size_t first = 0; first < nodes.size(); first += workers) {
            std::vector<std::unique_ptr<OptimizeNodeThread>> threads;
            for (std::size_t i = first; i < std::min(nodes.size(), first + workers); ++i) {
                threads.push_back(
                    std::make_unique<OptimizeNodeThread>(nodes[i].get(), FLAGS, RENDER_MODE_16_BIT_NORMALS));
                threads.back()->start(QThread::InheritPriority);
            }
            for (const auto &thread : threads) {
                thread->wait();
                thread->rethrowError();
            }
        }
        state.PauseTiming();
        bytes = outputBytes(nodes);
        nodes.clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(bytes) * state.iterations());
    state.counters["nodes"] = double(dome().leaves.size());
    state.counters["workers"] = workers;
}

void BM_CopyDomeNodeBytes(benchmark::State &state)
{
    // The prepared bytes once, then copied per iteration into fresh arrays, node by node on
    // the same number of threads.
    std::vector<std::unique_ptr<GLNode>> nodes;
    for (CAD::BspNode *leaf : dome().leaves) {
        nodes.push_back(std::make_unique<GLNode>(STAGE, leaf));
        nodes.back()->prepare(FLAGS, RENDER_MODE_16_BIT_NORMALS);
    }
    const unsigned workers = OS::getNumberOfCPUs();
    std::vector<std::unique_ptr<uint8_t[]>> vertexCopies(nodes.size());
    std::vector<std::unique_ptr<uint16_t[]>> indexCopies(nodes.size());
    for (auto _ : state) {
        for (std::size_t first = 0; first < nodes.size(); first += workers) {
            std::vector<std::thread> threads;
            for (std::size_t i = first; i < std::min(nodes.size(), first + workers); ++i) {
                threads.emplace_back([&, i] {
                    const GLNode &node = *nodes[i];
                    vertexCopies[i] = std::make_unique_for_overwrite<uint8_t[]>(node.getVertexBytes());
                    std::memcpy(vertexCopies[i].get(), node.getVertexData(0), node.getVertexBytes());
                    indexCopies[i] = std::make_unique_for_overwrite<uint16_t[]>(node.getIndexBytes() / 2);
                    std::memcpy(indexCopies[i].get(), node.getIndexData(), node.getIndexBytes());
                });
            }
            for (std::thread &thread : threads)
                thread.join();
        }
        state.PauseTiming();
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            vertexCopies[i].reset();
            indexCopies[i].reset();
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(outputBytes(nodes)) * state.iterations());
}

// Repetitions of both, interleaved at random, so that a busy machine slows both alike; the
// medians are compared.
GCAD_WALL_CLOCK_BENCHMARK(BM_PrepareDomeNodes, 0.5, 7);
GCAD_WALL_CLOCK_BENCHMARK(BM_CopyDomeNodeBytes, 0.5, 7);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const double hitRatio = dome().mesh->getPolyBaseRenderData(STAGE)->getBspTree().getAverageCacheHitRatio();
    std::printf(
        "dome 1001 x 1001: %zu leaves, tree built in %.2f s\n", dome().leaves.size(), dome().treeSeconds);
    std::printf("vertex cache of 32: average hit ratio %.4f, %.3f vertices transformed per triangle\n",
        hitRatio, 3.0 * (1.0 - hitRatio));
    std::fflush(stdout);

    Bench::MedianReporter reporter;
    Bench::runInterleaved(argc, argv, reporter);
    double prepare = 0.0, copy = 0.0;
    if (reporter.median("BM_PrepareDomeNodes", &prepare) && reporter.median("BM_CopyDomeNodeBytes", &copy))
        std::printf("prepare / copy of the same bytes, medians: %.2f (%.1f ms / %.1f ms)\n", prepare / copy,
            prepare, copy);
    benchmark::Shutdown();
    return 0;
}
