// The overlay's computations that need no view: raster ranges, rich text and mark numbering.
#include "apps/scene/scene_element_list_callback.h"
#include "gcad/overlay/gcad_r_overlay2d.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

using namespace Vaq;
using GCAD::Overlay2d;
using Test::progErrorMessage;

namespace {

void expectSteps(const Overlay2d::RasterSteps &r, long long start1, long long end1, long long start2,
    long long end2, long long step)
{
    EXPECT_EQ(r.start1, start1);
    EXPECT_EQ(r.end1, end1);
    EXPECT_EQ(r.start2, start2);
    EXPECT_EQ(r.end2, end2);
    EXPECT_EQ(r.step, step);
}

} // namespace

TEST(RasterSteps, aStepGivesFewerLinesThanOnePer50PixelsAndTheRangesReachAStepBeyond)
{
    // 1000 over 500 pixels: 1000 / 100 = 10 lines is not below 10, 1000 / 200 = 5 is.
    expectSteps(Overlay2d::computeRasterSteps(0, 1000, 0, 400, 500), -200, 1200, -200, 600, 200);
    // Negative ranges and corners given the wrong way round.
    expectSteps(Overlay2d::computeRasterSteps(-100, -300, 130, -70, 400), -350, -50, -100, 150, 50);
    // A range straddling zero keeps zero on the raster.
    const Overlay2d::RasterSteps r = Overlay2d::computeRasterSteps(-1234, 5678, -1, 1, 1000);
    EXPECT_EQ(r.step, 500);
    EXPECT_EQ(r.start1 % r.step, 0);
    EXPECT_LT(r.start1, -1234);
    EXPECT_GT(r.end1, 5678);
    // A range too large for the largest step still gets it.
    EXPECT_EQ(Overlay2d::computeRasterSteps(0, 4000000000000LL, 0, 1, 100).step, 50000000);
}

TEST(RasterSteps, anEmptyRangeOrATinyViewGivesAnEmptyRaster)
{
    for (const Overlay2d::RasterSteps &r : { Overlay2d::computeRasterSteps(5, 5, 0, 10, 500),
             Overlay2d::computeRasterSteps(0, 10, 7, 7, 500), Overlay2d::computeRasterSteps(0, 10, 0, 10, 1) })
        expectSteps(r, 1, 0, 1, 0, 1);
}

TEST(Overlay2d, richTextWrapsTheTextInAStyledSpan)
{
    EXPECT_EQ(Overlay2d::getRichText(QStringLiteral("a<b"), QStringLiteral("style=\"color:#ff0000\"")),
        QStringLiteral("<html><span style=\"color:#ff0000\">a<b</span></html>"));
}

TEST(Overlay2d, marksTakeTheSmallestFreeNumberAndAnUnknownOneIsRefused)
{
    Gcad::Scene::ElementListCallback callback;
    Overlay2d &overlay = *callback.getOverlay2d();
    const Color red(255, 0, 0);
    EXPECT_EQ(overlay.markPoint({ 0, 0, 0 }, QStringLiteral("a"), red), 0u);
    EXPECT_EQ(overlay.markPoint({ 1, 0, 0 }, QStringLiteral("b"), red), 1u);
    EXPECT_EQ(overlay.markPoint({ 2, 0, 0 }, QString(), red), 2u);
    overlay.unmarkPoint(1);
    EXPECT_EQ(progErrorMessage([&] { overlay.unmarkPoint(1); }), "the point is not marked");
    EXPECT_EQ(overlay.getMarkedPoints().size(), 2u);
    EXPECT_EQ(overlay.markPoint({ 3, 0, 0 }, QStringLiteral("c"), red), 1u);
    EXPECT_EQ(overlay.getMarkedPoints().at(1).point.x, 3.0);
}
