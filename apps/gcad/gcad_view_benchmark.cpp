#include "apps/gcad/gcad_view_benchmark.h"

#include "gcad/host/cad/vaq_cad_element_creator.h"
#include "gcad/host/gl/vaq_gl_render_callback.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_view_navigation.h"
#include "gcad/overlay/gcad_r_overlay3d.h"
#include "gcad/rcb/gcad_rcb.h"

#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTimer>

#include <optional>

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

// Milliseconds of each off-screen frame, and of showing its picture afterwards (read back and
// paint): the share the window adds, measured on the same frames.
void offscreenFrames(
    Vaq::GL::ViewWidget &widget, int frames, std::vector<double> *milliseconds, std::vector<double> *showing)
{
    Vaq::GL::RenderObject &view = *widget.getRenderObject();
    QElapsedTimer frame;
    for (int i = 0; i < frames; ++i) {
        frame.start();
        Vaq::GL::ViewNavigation::turn(view, STEP, 0.0);
        view.repaintWidget(
            Vaq::GL::UpdateOptions(Vaq::GL::UpdateOptions::US_VIEW, Vaq::GL::UpdateOptions::UT_INTERACTIVE));
        view.waitForRendering();
        milliseconds->push_back(frame.nsecsElapsed() / 1.0e6);
        frame.start();
        widget.refresh();
        widget.repaint();
        showing->push_back(frame.nsecsElapsed() / 1.0e6);
    }
}

// The longest time, in milliseconds, an event waited while the view drew itself fully once
// (after dropping its GPU data, so that the repaint uploads everything again, the heaviest
// case): a timer asks every millisecond and the gaps between its calls are the waits.
double longestEventWait(Vaq::GL::ViewWidget &view)
{
    view.getRenderObject()->getRenderCallback()->resetAllRenderData();
    QElapsedTimer clock;
    double longest = 0.0;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.nsecsElapsed() / 1.0e6);
        clock.start();
    });
    clock.start();
    probe.start();
    view.redraw();
    probe.stop();
    return std::max(longest, clock.nsecsElapsed() / 1.0e6);
}

// Milliseconds from a mouse move to widget position to the repainted picture.
double moveMouse(Vaq::GL::ViewWidget &view, const QPoint &position)
{
    QElapsedTimer clock;
    clock.start();
    const QPoint global = view.mapToGlobal(position);
    QCursor::setPos(global);
    QMouseEvent move(
        QEvent::MouseMove, QPointF(position), QPointF(global), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &move);
    return clock.nsecsElapsed() / 1.0e6;
}

// Widget positions over an element the overlay highlights and over the background.
bool findHoverTargets(Vaq::GL::ViewWidget &view, QPoint *element, QPoint *background)
{
    const auto *callback
        = dynamic_cast<const Vaq::GCAD::RenderCallback *>(view.getRenderObject()->getRenderCallback());
    std::optional<QPoint> onElement, offElement;
    const int height = view.getRenderObject()->height();
    for (int y = 8; y < height && !(onElement && offElement); y += 8) {
        for (int x = 8; x < view.getRenderObject()->width() && !(onElement && offElement); x += 8) {
            const Vaq::CAD::Element *found
                = callback->getNearestRenderedElement(Vaq::BaVec2d<double>(x, height - 1 - y), false);
            Vaq::CAD::ElementClassification classification;
            if (found)
                Vaq::CAD::ElementCreator::getElementClassification(found, &classification);
            if (!found && !offElement)
                offElement = QPoint(x, y);
            else if (found && !classification[Vaq::CAD::ElementClassification::MESH_DATASET] && !onElement)
                onElement = QPoint(x, y);
        }
    }
    if (!onElement || !offElement)
        return false;
    *element = *onElement;
    *background = *offElement;
    return true;
}

} // namespace

bool runHoverBenchmark(Vaq::GL::ViewWidget &view, int moves)
{
    QPoint element, background;
    view.redraw();
    if (!findHoverTargets(view, &element, &background)) {
        std::printf("hover: no element that the overlay highlights is in sight\n");
        std::fflush(stdout);
        return false;
    }
    const auto *callback
        = dynamic_cast<const Vaq::GCAD::RenderCallback *>(view.getRenderObject()->getRenderCallback());
    Vaq::GL::RenderObject &renderObject = *view.getRenderObject();
    moveMouse(view, background);
    std::vector<double> hovers, repaints, interactive;
    int highlighted = 0, overlayOnly = 0;
    for (int round = 1; round <= ROUNDS; ++round) {
        // One interactive frame each way, shown as a motion shows it; the view ends where it was.
        std::vector<double> frames;
        for (const double step : { STEP, -STEP }) {
            QElapsedTimer frame;
            frame.start();
            Vaq::GL::ViewNavigation::turn(renderObject, step, 0.0);
            renderObject.repaintWidget(Vaq::GL::UpdateOptions(
                Vaq::GL::UpdateOptions::US_VIEW, Vaq::GL::UpdateOptions::UT_INTERACTIVE));
            view.refresh();
            view.repaint();
            frames.push_back(frame.nsecsElapsed() / 1.0e6);
        }
        // The plain full repaint, with the mouse off every element, shown.
        QElapsedTimer clock;
        clock.start();
        view.redraw();
        const double repaint = clock.nsecsElapsed() / 1.0e6;
        std::vector<double> on;
        for (int i = 0; i < moves; ++i) {
            on.push_back(moveMouse(view, element));
            highlighted += callback->getOverlay3d()->getHighlightedElement() != nullptr;
            overlayOnly += renderObject.wasOverlayOnly();
            moveMouse(view, background);
        }
        std::printf("round %d: mouse move to the frame with the highlight %.2f ms, full repaint without "
                    "highlight %.2f ms, interactive frame %.2f ms\n",
            round, median(on), repaint, median(frames));
        hovers.push_back(median(on));
        repaints.push_back(repaint);
        interactive.push_back(median(frames));
    }
    const double hover = median(hovers), repaint = median(repaints), frame = median(interactive);
    std::printf(
        "hover: %d moves of %dx%d (%d of %d highlighted, %d of %d drawn over the kept scene), median of %d "
        "rounds: mouse move to the frame with the highlight %.2f ms; full repaint without highlight "
        "%.2f ms (ratio %.3f); interactive frame %.2f ms (ratio %.3f)\n",
        moves, renderObject.width(), renderObject.height(), highlighted, ROUNDS * moves, overlayOnly,
        ROUNDS * moves, ROUNDS, hover, repaint, hover / repaint, frame, hover / frame);
    std::fflush(stdout);
    return true;
}

void runViewBenchmark(Vaq::GL::ViewWidget &view, int frames)
{
    // The frame-rate plan would thin each frame by how long the frames before took, so that
    // the two ways would not draw the same: every frame draws the whole scene.
    view.getRenderObject()->setFramerateAdjustAllowed(false);
    std::vector<double> offscreen, showing, onscreen;
    for (int round = 1; round <= ROUNDS; ++round) {
        std::vector<double> off, show;
        offscreenFrames(view, frames, &off, &show);
        const std::vector<double> on = view.runFrames(frames, STEP);
        std::printf("round %d: %d frames of %dx%d, median off screen %.2f ms (+ %.2f ms to show it), "
                    "on screen %.2f ms\n",
            round, frames, view.getRenderObject()->width(), view.getRenderObject()->height(), median(off),
            median(show), median(on));
        offscreen.insert(offscreen.end(), off.begin(), off.end());
        showing.insert(showing.end(), show.begin(), show.end());
        onscreen.insert(onscreen.end(), on.begin(), on.end());
    }
    const double off = median(offscreen), show = median(showing), on = median(onscreen);
    std::printf(
        "frame on screen %.2f ms, off screen %.2f ms: %+.1f %%; showing the picture %.2f ms: %+.1f %%\n", on,
        off, 100.0 * (on / off - 1.0), show, 100.0 * show / off);
    std::printf("longest wait of an event during a full repaint that uploads the whole scene: %.1f ms\n",
        longestEventWait(view));
    std::fflush(stdout);
    view.getRenderObject()->setFramerateAdjustAllowed(true);
}

} // namespace Gcad
