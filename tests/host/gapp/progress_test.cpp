#include "gcad/host/gapp/vaq_gapp_progress.h"

#include <gtest/gtest.h>

#include <sstream>

#include <unistd.h>

using namespace Vaq::GApp;

TEST(ProgressLine, barFillsInProportionPercentIsRightAlignedAndClamped)
{
    // 30 cells: 33 % fills 9 (33 * 30 / 100, truncated), 100 % fills all.
    EXPECT_EQ(ProgressDisplay::formatLine(0, ""), "[------------------------------]   0%");
    EXPECT_EQ(ProgressDisplay::formatLine(33, "create benchmark data"),
        "[#########---------------------]  33% create benchmark data");
    EXPECT_EQ(ProgressDisplay::formatLine(100, "done"), "[##############################] 100% done");
    EXPECT_EQ(ProgressDisplay::formatLine(-5, "x"), ProgressDisplay::formatLine(0, "x"));
    EXPECT_EQ(ProgressDisplay::formatLine(250, "x"), ProgressDisplay::formatLine(100, "x"));
}

TEST(ProgressDisplay, shorterLineBlanksWhatTheLongerOneLeftAndEndClosesTheLine)
{
    std::ostringstream out;
    ProgressDisplay progress;
    progress.setStream(&out);
    progress.end();
    EXPECT_EQ(out.str(), "");
    progress.set(10, "create benchmark data");
    progress.set(20, "run");
    progress.end();
    const std::string first = "[###---------------------------]  10% create benchmark data";
    const std::string second = "[######------------------------]  20% run";
    EXPECT_EQ(
        out.str(), "\r" + first + "\r" + second + std::string(first.size() - second.size(), ' ') + "\n");
}

TEST(ProgressDisplay, withoutAStreamNothingIsWrittenButTheStateIsKept)
{
    ProgressDisplay progress;
    progress.setStream(nullptr);
    progress.start();
    progress.set(40, "quiet");
    EXPECT_TRUE(progress.isActive());
    EXPECT_EQ(progress.getPercent(), 40);
    EXPECT_EQ(progress.getText(), "quiet");
    progress.end();
    EXPECT_FALSE(progress.isActive());
}

TEST(ProgressDisplay, defaultStreamIsStandardErrorOnlyOnATerminal)
{
    // ctest runs the tests with standard error on a pipe or file.
    EXPECT_EQ(ProgressDisplay().getStream() != nullptr, bool(isatty(2)));
}
