#include "gcad/mesh/gcad_cmd_vertex_cache_benchmark.h"

#include "gcad/host/base/vaq_time.h"
#include "gcad/host/base/vaq_translation.h"
#include "gcad/host/cad/vaq_cad_bsp_tree.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_poly_base_render_data.h"
#include "gcad/host/gapp/vaq_gapp_wait_cursor.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_update_options.h"
#include "gcad/mesh/gcad_framerate_adjust.h"
#include "gcad/rcb/gcad_rcb.h"

#include <QCoreApplication>

#include <cstdio>

namespace Vaq::GCAD {

namespace {

// The view turns by pi/5 about the vertical axis from one frame to the next.
constexpr double TURN_PER_FRAME = 0.6283185307179586;
// The trace prefix of the result lines: scripts that read them expect this line number.
constexpr const char *TRACE_FUNCTION = "Vaq::GCAD::VertexCacheBenchmarkCommand::executeScript";
constexpr int TRACE_LINE = 151;

} // namespace

const char *const VertexCacheBenchmarkCommand::NAME = "sys.run_vertex_cache_benchmark";

VertexCacheBenchmarkCommand::VertexCacheBenchmarkCommand()
    : GApp::Command(NAME, translate("GCAD_cmd", "run vertex cache benchmark"))
{
}

void VertexCacheBenchmarkCommand::setTiming(double minSeconds, unsigned minFrames)
{
    m_min_seconds = minSeconds;
    m_min_frames = minFrames;
}

VertexCacheBenchmarkCommand::Measurement VertexCacheBenchmarkCommand::measure(
    unsigned cacheSize, uint64_t triangles, double weightedHitRatio, double secondsPerFrame)
{
    // Without mesh triangles there is no ratio to average; 0 says that nothing hit.
    return Measurement { cacheSize, triangles > 0 ? weightedHitRatio / double(triangles) : 0.0,
        (double(triangles) / secondsPerFrame) / 1000000.0 };
}

QString VertexCacheBenchmarkCommand::formatLine(const Measurement &measurement)
{
    return QString::asprintf("cache_size: %d  hit_ratio: %f  tps: %.2f M", int(measurement.cacheSize),
        measurement.hitRatio, measurement.millionTrianglesPerSecond);
}

bool VertexCacheBenchmarkCommand::executeScript(const QString &)
{
    m_main = GL::RenderObject::getMainRenderObject();
    if (!m_main)
        return false;
    m_callback = dynamic_cast<RenderCallback *>(m_main->getRenderCallback());
    if (!m_callback)
        return false;
    const std::vector<CAD::ElementAndStageImp> elements = m_callback->getElementsForDrawing();
    if (elements.empty())
        return false;

    std::vector<Measurement> measurements;
    const unsigned previousSize = CAD::BspTree::getVertexCacheSize();
    const BaVec3d<double> previousRotation = m_main->getRotation();
    {
        const GApp::WaitCursor waitCursor;
        for (unsigned size = 0; size <= LARGEST_CACHE_SIZE; size += CACHE_SIZE_STEP) {
            CAD::BspTree::setVertexCacheSize(size);
            for (const CAD::ElementAndStageImp &element : elements)
                element.getElement()->updateVisualization(element.getStage(), true, true);
            const double secondsPerFrame = timeFrames();
            uint64_t triangles = 0;
            double weighted = 0.0;
            for (const CAD::ElementAndStageImp &element : elements) {
                const auto *poly = dynamic_cast<const CAD::PolyBase *>(element.getElement());
                const CAD::PolyBaseRenderData *data
                    = poly ? poly->getPolyBaseRenderData(element.getStage()) : nullptr;
                if (!data)
                    continue;
                const unsigned n = poly->getNumberOfVisibleTriangles(CAD::StageIdentifier::DEFAULT_DATASET);
                triangles += n;
                weighted += n * data->getBspTree().getAverageCacheHitRatio();
            }
            measurements.push_back(measure(size, triangles, weighted, secondsPerFrame));
            std::printf("%s(%d): %s\n", TRACE_FUNCTION, TRACE_LINE,
                formatLine(measurements.back()).toUtf8().constData());
            std::fflush(stdout);
        }
    }
    // The views draw for the cache size they had before, from where they were seen.
    CAD::BspTree::setVertexCacheSize(previousSize);
    for (const CAD::ElementAndStageImp &element : elements)
        element.getElement()->updateVisualization(element.getStage(), true, true);
    m_main->setRotation(previousRotation);
    m_measurements = std::move(measurements);
    m_main = nullptr;
    m_callback = nullptr;
    return true;
}

double VertexCacheBenchmarkCommand::timeFrames()
{
    const GL::UpdateOptions options(GL::UpdateOptions::US_ALL, GL::UpdateOptions::UT_BENCHMARK);
    // The first frame uploads the re-sorted meshes; it is not timed.
    m_main->repaintWidget(options);
    m_main->waitForRendering();
    const Time timer;
    double elapsed = 0.0;
    unsigned frames = 0;
    while (elapsed < m_min_seconds || frames < m_min_frames) {
        QCoreApplication::processEvents();
        m_main->setRotation(BaVec3d<double>(0.0, frames * TURN_PER_FRAME, 0.0));
        m_main->repaintWidget(options);
        m_main->waitForRendering();
        ++frames;
        elapsed = timer.elapsed();
    }
    if (FramerateAdjust *adjust = FramerateAdjust::getInstance())
        adjust->setFixed(false);
    return elapsed / frames;
}

} // namespace Vaq::GCAD
