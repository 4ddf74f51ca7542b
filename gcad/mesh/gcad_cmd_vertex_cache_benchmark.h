// VertexCacheBenchmarkCommand: the command "sys.run_vertex_cache_benchmark". For the vertex
// cache sizes 0, 2, ..., 120 it has the meshes of the main view re-sorted for that cache size,
// turns the view for a while and prints one line per size with the element model's average
// cache hit ratio and the measured million triangles per second, so that the model's figure
// can be compared with what the card really does.
#pragma once

#include "gcad/host/gapp/vaq_gapp_command.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace Vaq::GL {
class RenderObject;
}

namespace Vaq::GCAD {

class RenderCallback;

class VertexCacheBenchmarkCommand : public GApp::Command
{
public:
    static const char *const NAME;
    static constexpr unsigned LARGEST_CACHE_SIZE = 120;
    static constexpr unsigned CACHE_SIZE_STEP = 2;

    // What one cache size gave.
    struct Measurement
    {
        unsigned cacheSize = 0;
        double hitRatio = 0.0; // the element model's, weighted by the meshes' visible triangles
        double millionTrianglesPerSecond = 0.0;
    };

    VertexCacheBenchmarkCommand();

    // The 61 sizes on the meshes of the main view; false, printing nothing, without a main
    // view or when it draws nothing.
    bool executeScript(const QString &parameters) override;

    // How long each size is timed: at least minSeconds and minFrames (3 s and 20 frames unless
    // set otherwise).
    void setTiming(double minSeconds, unsigned minFrames);

    // The sizes of the last run that finished, in their order.
    const std::vector<Measurement> &getMeasurements() const { return m_measurements; }

    // One size's figures: hit ratio weighted / triangles (0 without triangles) and
    // triangles / secondsPerFrame in millions per second.
    static Measurement measure(
        unsigned cacheSize, uint64_t triangles, double weightedHitRatio, double secondsPerFrame);
    // Its output line, after the trace prefix.
    static QString formatLine(const Measurement &measurement);

private:
    // Seconds per frame while the view turns by pi/5 a frame.
    double timeFrames();

    GL::RenderObject *m_main = nullptr;
    RenderCallback *m_callback = nullptr;
    double m_min_seconds = 3.0;
    unsigned m_min_frames = 20;
    std::vector<Measurement> m_measurements;
};

} // namespace Vaq::GCAD
