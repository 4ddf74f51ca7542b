// The correction of a view's estimates by its measured frame times.
#include "gcad/mesh/gcad_frame_time_correction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using Vaq::GCAD::FrameTimeCorrection;

namespace {

TEST(FrameTimeCorrection, ConvergesOnTheRatioOfMeasuredToEstimatedFrameTimes)
{
    FrameTimeCorrection correction;
    EXPECT_EQ(correction.getScale(), 1.0);
    // Frames twice as slow as estimated: each frame covers a third of the remaining way on a
    // logarithmic scale, so after n frames the factor is 2^(1 - (2/3)^n).
    for (int n = 1; n <= 12; ++n) {
        correction.addFrame(0.1, 0.2);
        EXPECT_NEAR(correction.getScale(), std::pow(2.0, 1.0 - std::pow(2.0 / 3.0, n)), 1e-12) << n;
    }
    EXPECT_NEAR(correction.getScale(), 2.0, 0.02);
    // Frames twice as fast as estimated take the same steps down: the reciprocal factors.
    FrameTimeCorrection fast;
    for (int n = 0; n < 12; ++n)
        fast.addFrame(0.2, 0.1);
    EXPECT_NEAR(fast.getScale() * correction.getScale(), 1.0, 1e-12);
}

TEST(FrameTimeCorrection, IsClampedIgnoresMeaninglessFramesAndResets)
{
    FrameTimeCorrection correction;
    // One frame a thousand times slower than estimated counts as ten times slower: it moves
    // the factor to 10^(1/3), and no number of them beyond 10.
    correction.addFrame(0.001, 1.0);
    EXPECT_NEAR(correction.getScale(), std::cbrt(10.0), 1e-12);
    for (int n = 0; n < 100; ++n)
        correction.addFrame(0.001, 1.0);
    EXPECT_NEAR(correction.getScale(), FrameTimeCorrection::MAX_SCALE, 1e-9);
    EXPECT_LE(correction.getScale(), FrameTimeCorrection::MAX_SCALE);

    // Nothing estimated, nothing measured, or no number at all: no frame to learn from.
    const double before = correction.getScale();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const auto &[estimated, measured] : { std::pair(0.0, 0.1), std::pair(0.1, 0.0), std::pair(-0.1, 0.1),
             std::pair(nan, 0.1), std::pair(0.1, nan), std::pair(inf, 0.1), std::pair(0.1, inf) }) {
        correction.addFrame(estimated, measured);
        EXPECT_EQ(correction.getScale(), before) << estimated << " " << measured;
    }

    correction = FrameTimeCorrection();
    for (int n = 0; n < 100; ++n)
        correction.addFrame(1.0, 0.001);
    EXPECT_NEAR(correction.getScale(), FrameTimeCorrection::MIN_SCALE, 1e-9);
    EXPECT_GE(correction.getScale(), FrameTimeCorrection::MIN_SCALE);
}

} // namespace
