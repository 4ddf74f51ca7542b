// FrameTimeCorrection: how far one view's frames stray from the time the frame-rate plan
// estimated for them from the benchmark rates, as a factor for the view's next estimates.
// It is a smoothed proportional correction of a measured frame time, the feedback behind
// VTK's desired update rate: each measured frame moves the factor a third of the way towards
// measured / estimated on a logarithmic scale, so that a frame twice as slow weighs as much as
// one twice as fast and one stray frame cannot swing the plan. Constant time per frame.
#pragma once

namespace Vaq::GCAD {

class FrameTimeCorrection
{
public:
    // The factor never leaves [MIN_SCALE, MAX_SCALE]: the benchmark rates are trusted to
    // within a factor of ten, whatever a single frame measures.
    static constexpr double MIN_SCALE = 0.1;
    static constexpr double MAX_SCALE = 10.0;
    // The share of the (logarithmic) way to a new frame's ratio that one frame moves.
    static constexpr double SMOOTHING = 1.0 / 3.0;

    // The factor for the view's estimates; 1 until a frame was measured.
    double getScale() const { return m_scale; }
    // A frame whose plan was estimated at estimated seconds (before correction) took measured
    // seconds. Ignored unless both are positive and finite.
    void addFrame(double estimated, double measured);

private:
    double m_scale = 1.0;
};

} // namespace Vaq::GCAD
