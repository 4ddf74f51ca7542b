// VertexCacheBenchmarkCommand: the command "sys.run_vertex_cache_benchmark". For the vertex
// cache sizes 0, 2, ..., 120 it has the meshes of the main view re-sorted for that cache size,
// turns the view for a while and prints one line per size with the element model's average
// cache hit ratio and the measured million triangles per second, so that the model's figure
// can be compared with what the card really does.
#pragma once

#include "gcad/host/gapp/vaq_gapp_command.h"

#include <QString>

#include <cstdint>

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

    VertexCacheBenchmarkCommand();

    // The 61 sizes on the meshes of the main view; false, printing nothing, without a main
    // view or when it draws nothing.
    bool executeScript(const QString &parameters) override;

    // How long each size is timed: at least minSeconds and minFrames (3 s and 20 frames unless
    // set otherwise).
    void setTiming(double minSeconds, unsigned minFrames);

    // The line for one cache size: hit ratio weighted / triangles (0 without triangles) and
    // triangles / secondsPerFrame in millions per second.
    static QString formatLine(
        unsigned cacheSize, uint64_t triangles, double weightedHitRatio, double secondsPerFrame);

private:
    // Seconds per frame while the view turns by pi/5 a frame.
    double timeFrames();

    GL::RenderObject *m_main = nullptr;
    RenderCallback *m_callback = nullptr;
    double m_min_seconds = 3.0;
    unsigned m_min_frames = 20;
};

} // namespace Vaq::GCAD
