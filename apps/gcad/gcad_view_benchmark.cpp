#include "apps/gcad/gcad_view_benchmark.h"

#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_view_navigation.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace Gcad {

namespace {

// Drag per frame, in pixels: a visible turn that keeps the scene in view.
constexpr double STEP = 4.0;
constexpr int ROUNDS = 3;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

std::vector<double> offscreenFrames(Vaq::GL::RenderObject &view, int frames)
{
    std::vector<double> milliseconds;
    QElapsedTimer frame;
    for (int i = 0; i < frames; ++i) {
        frame.start();
        Vaq::GL::ViewNavigation::turn(view, STEP, 0.0);
        view.repaintWidget(
            Vaq::GL::UpdateOptions(Vaq::GL::UpdateOptions::US_VIEW, Vaq::GL::UpdateOptions::UT_INTERACTIVE));
        view.waitForRendering();
        milliseconds.push_back(frame.nsecsElapsed() / 1.0e6);
    }
    return milliseconds;
}

} // namespace

void runViewBenchmark(Vaq::GL::ViewWidget &view, int frames)
{
    std::vector<double> offscreen, onscreen;
    for (int round = 1; round <= ROUNDS; ++round) {
        const std::vector<double> off = offscreenFrames(*view.getRenderObject(), frames);
        const std::vector<double> on = view.runFrames(frames, STEP);
        std::printf("round %d: %d frames of %dx%d, median off screen %.2f ms, on screen %.2f ms\n", round,
            frames, view.getRenderObject()->width(), view.getRenderObject()->height(), median(off),
            median(on));
        offscreen.insert(offscreen.end(), off.begin(), off.end());
        onscreen.insert(onscreen.end(), on.begin(), on.end());
    }
    const double off = median(offscreen), on = median(onscreen);
    std::printf("frame on screen %.2f ms, off screen %.2f ms: %+.1f %%\n", on, off, 100.0 * (on / off - 1.0));
    std::fflush(stdout);
}

} // namespace Gcad
