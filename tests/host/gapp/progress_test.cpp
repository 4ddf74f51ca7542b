#include "gcad/host/gapp/vaq_gapp_progress.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace Vaq::GApp;

TEST(ProgressDisplay, barFillsInProportionAndAShorterLineBlanksWhatTheLongerOneLeft)
{
    // 30 cells: 33 % fills 9 (33 * 30 / 100, truncated); the percentage is clamped.
    EXPECT_EQ(ProgressDisplay::formatLine(0, ""), "[------------------------------]   0%");
    EXPECT_EQ(ProgressDisplay::formatLine(33, "create benchmark data"),
        "[#########---------------------]  33% create benchmark data");
    EXPECT_EQ(ProgressDisplay::formatLine(250, "done"), "[##############################] 100% done");

    std::ostringstream out;
    ProgressDisplay progress;
    progress.setStream(&out);
    progress.end(); // nothing started: nothing to close
    progress.set(10, "create benchmark data");
    progress.set(20, "run");
    progress.end();
    const std::string first = "[###---------------------------]  10% create benchmark data";
    const std::string second = "[######------------------------]  20% run";
    EXPECT_EQ(
        out.str(), "\r" + first + "\r" + second + std::string(first.size() - second.size(), ' ') + "\n");
}
