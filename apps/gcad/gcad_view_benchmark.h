// The frame benchmark of `gcad view`: the cost of a frame on screen against the same repaint
// off-screen.
#pragma once

#include "gcad/host/gl/vaq_gl_view_widget.h"

namespace Gcad {

// Turns the view frames interactive frames off-screen (repaint and wait for the GPU) and as
// many on screen (repaint, read back and paint), three rounds of each alternating, all with
// the frame-rate plan switched off so that both draw the same, and prints each round's median
// frame time and the ratio of the medians of all rounds; beside them the time to show an
// off-screen frame's picture, which the machine's load disturbs less than whole frames.
void runViewBenchmark(Vaq::GL::ViewWidget &view, int frames);

// Three rounds of: one interactive frame each way (turn, repaint, show), a full repaint with
// the mouse off every element, and moves mouse moves onto an element the 3-D overlay
// highlights and off it again, each move a mouse event through the window's own path (the
// hover signal, the repaint, the picture on screen). Prints each round's medians and the
// median of the rounds: the milliseconds from the move to the frame with the highlight against
// the full repaint and against the interactive frame. False (after saying so) when no element
// the overlay highlights is in sight.
bool runHoverBenchmark(Vaq::GL::ViewWidget &view, int moves);

} // namespace Gcad
