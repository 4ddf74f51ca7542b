#include "apps/gcad/gcad_bench_vertex_cache.h"

#include "apps/gcad/gcad_cli.h"
#include "apps/scene/scene.h"
#include "apps/scene/scene_demo.h"
#include "apps/scene/scene_render_callback.h"

#include "gcad/host/cad/vaq_cad_bsp_tree.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_poly_base_render_data.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/host/gapp/vaq_gapp_main_window.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"
#include "gcad/mesh/gcad_cmd_vertex_cache_benchmark.h"

#include <meshoptimizer.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace Gcad {

namespace {

using Vaq::GCAD::VertexCacheBenchmarkCommand;

struct CacheAnalysis
{
    std::size_t triangles = 0;
    std::size_t transformed = 0;
};

// The corners a leaf draws, in its order: its own triangles' corners as offsets in the leaf,
// and the overlap triangles' corners with every far corner a vertex of its own, as the GPU
// node holds them. Only visible triangles are drawn.
std::vector<uint32_t> drawnCorners(const Vaq::CAD::BspNode &leaf, const Vaq::CAD::PolyBase &mesh)
{
    const Vaq::CAD::BspTree &tree = *leaf.getTree();
    const auto mode = Vaq::CAD::PM_WITHOUT_PREVIEW;
    std::vector<uint32_t> corners(leaf.getLocalCorners().begin(),
        leaf.getLocalCorners().begin() + 3 * std::size_t(leaf.numVisibleTriangles(mode)));
    uint32_t nextSlot = uint32_t(leaf.getVertices().size());
    const std::vector<uint32_t> &triangles = leaf.getTriangles();
    const auto &data = *mesh.getData(Vaq::CAD::StageIdentifier::DEFAULT_DATASET);
    for (unsigned i = 0; i < leaf.numVisibleOverlapTriangles(mode); ++i) {
        for (uint32_t v : data.triangles[triangles[leaf.overlapStart() + i]])
            corners.push_back(
                tree.getBspNodeForVertex(v) == &leaf ? tree.getVertexOffsetInNode(v) : nextSlot++);
    }
    return corners;
}

// meshoptimizer's count of transformed vertices over every leaf of the scene's meshes.
CacheAnalysis analyzeLeaves(const Scene::Scene &scene, unsigned cacheSize)
{
    CacheAnalysis analysis;
    for (const auto &mesh : scene.getMeshes()) {
        const Vaq::CAD::PolyBaseRenderData *data
            = mesh->getPolyBaseRenderData(Vaq::CAD::StageIdentifier::DEFAULT_DATASET);
        if (!data)
            continue;
        for (const Vaq::CAD::BspNode *leaf : data->getBspTree().getAllLeaves()) {
            const std::vector<uint32_t> corners = drawnCorners(*leaf, *mesh);
            if (corners.empty())
                continue;
            const uint32_t vertices = *std::max_element(corners.begin(), corners.end()) + 1;
            analysis.triangles += corners.size() / 3;
            analysis.transformed
                += meshopt_analyzeVertexCache(corners.data(), corners.size(), vertices, cacheSize, 0, 0)
                       .vertices_transformed;
        }
    }
    return analysis;
}

} // namespace

int runVertexCacheBench(int edge, bool quick)
{
    using namespace Vaq;
    auto *command = dynamic_cast<VertexCacheBenchmarkCommand *>(
        GApp::CommandContainer::getCommand(VertexCacheBenchmarkCommand::NAME));
    if (!command)
        return reportError(
            QStringLiteral("bench"), QStringLiteral("the library has no vertex cache benchmark command"), 1);
    if (quick)
        command->setTiming(0.1, 2);

    Scene::Scene scene;
    Scene::addDemoScene(scene);
    Scene::SceneRenderCallback callback(scene);
    GL::ViewCreator creator(&callback);
    // The view goes before its creator and callback.
    const std::unique_ptr<GL::RenderObject> view(
        GL::RenderObject::createRenderObject(&callback, edge, edge, &creator));
    GL::RenderObject::setMainRenderObject(view.get());
    view->fitView();

    GApp::MainWindow *window = GApp::MainWindow::getInstance();
    if (!window->execute(VertexCacheBenchmarkCommand::NAME, QString()))
        return reportError(QStringLiteral("bench"), window->getLastError(), 1);
    const std::vector<VertexCacheBenchmarkCommand::Measurement> &measurements = command->getMeasurements();
    const auto best
        = std::max_element(measurements.begin(), measurements.end(), [](const auto &a, const auto &b) {
              return a.millionTrianglesPerSecond < b.millionTrianglesPerSecond;
          });
    std::printf("best cache size: %u (hit ratio %f, %.2f M triangles/s)\n", best->cacheSize, best->hitRatio,
        best->millionTrianglesPerSecond);

    // The same leaves, sorted for the best size, as meshoptimizer sees them.
    const unsigned previousSize = CAD::BspTree::getVertexCacheSize();
    CAD::BspTree::setVertexCacheSize(best->cacheSize);
    for (const auto &mesh : scene.getMeshes())
        mesh->updateVisualization(CAD::StageIdentifier::DEFAULT_DATASET, true, true);
    const CacheAnalysis analysis = analyzeLeaves(scene, best->cacheSize);
    CAD::BspTree::setVertexCacheSize(previousSize);
    if (analysis.triangles > 0) {
        const double acmr = double(analysis.transformed) / double(analysis.triangles);
        std::printf("meshoptimizer at cache size %u: ACMR %f, hit ratio 1 - ACMR/3 = %f\n", best->cacheSize,
            acmr, 1.0 - acmr / 3.0);
    }
    std::fflush(stdout);
    return 0;
}

} // namespace Gcad
