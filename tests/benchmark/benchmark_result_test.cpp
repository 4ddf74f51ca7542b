#include "gcad/benchmark/gcad_benchmark_result.h"

#include "tests/benchmark/benchmark_test_results.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

using namespace Vaq::GCAD;
using namespace Vaq::GCAD::Test;
using Vaq::Test::progErrorMessage;

namespace {

// The default result of a 1024 MB card with the edge, triangle and point rates multiplied.
BenchmarkResult scaled(unsigned edges, unsigned triangles, unsigned points)
{
    BenchmarkResult result(cardOptions(false, 1024));
    setRates(&result, [=](unsigned i, unsigned rate) {
        return rate * (i % 9 == 0 ? edges : i % 9 < 3 ? triangles : points);
    });
    return result;
}

} // namespace

TEST(BenchmarkResultIndex, defaultsOfTheCardAndWeightsOfTheRates)
{
    // Above 64 MB the defaults are the reference rates; 64 MB or less gives a quarter of them,
    // software rendering a tenth whatever the memory.
    EXPECT_DOUBLE_EQ(BenchmarkResult(cardOptions(false, 65)).calculatePerformanceIndex(), 10.0);
    EXPECT_DOUBLE_EQ(BenchmarkResult(cardOptions(false, 64)).calculatePerformanceIndex(), 2.5);
    EXPECT_DOUBLE_EQ(BenchmarkResult(cardOptions(true, 4096)).calculatePerformanceIndex(), 1.0);

    // Triangles weigh 3, points 2, edges 1: doubling one kind adds its weight out of 6 to the
    // reference index 10. At 70 times the reference, point rates lie beyond the signed 32-bit
    // range and must still count in full.
    EXPECT_DOUBLE_EQ(scaled(70, 70, 70).calculatePerformanceIndex(), 700.0);
    EXPECT_DOUBLE_EQ(scaled(2, 1, 1).calculatePerformanceIndex(), 10.0 + 10.0 / 6.0);
    EXPECT_DOUBLE_EQ(scaled(1, 2, 1).calculatePerformanceIndex(), 15.0);
    EXPECT_DOUBLE_EQ(scaled(1, 1, 2).calculatePerformanceIndex(), 10.0 + 20.0 / 6.0);
    // Each mode counts alike: one edge rate of four at zero costs a quarter of the edges' share.
    BenchmarkResult oneEdgeMode = scaled(1, 1, 1);
    oneEdgeMode.setEdgeStats(true, false, 0);
    EXPECT_DOUBLE_EQ(oneEdgeMode.calculatePerformanceIndex(), 10.0 - 10.0 / 24.0);
}

TEST(BenchmarkResultStepping, otherSteppingsFailAndChangeNothing)
{
    EXPECT_EQ(BenchmarkResult::getIndexForStepping(6), 4u);
    for (unsigned stepping : { 0u, 5u, 16u })
        EXPECT_EQ(progErrorMessage([stepping] { BenchmarkResult::getIndexForStepping(stepping); }),
            "stepping not valid");
    BenchmarkResult result = makeResult("card", "driver", false, 1);
    const std::string before = dump(result);
    EXPECT_EQ(progErrorMessage([&result] { result.getPointStats(true, false, 5); }), "stepping not valid");
    EXPECT_EQ(progErrorMessage([&result] { result.setPointStats(false, true, 7, 1); }), "stepping not valid");
    EXPECT_EQ(dump(result), before);
}

TEST(BenchmarkResultEquality, comparesTheConfigurationOnly)
{
    const BenchmarkResult a = makeResult("card", "driver 1", false, 1);
    BenchmarkResult b = makeResult("card", "driver 1", false, 2);
    b.setDate(QDateTime(QDate(2001, 1, 1), QTime(0, 0)));
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == makeResult("card 2", "driver 1", false, 1));
    EXPECT_FALSE(a == makeResult("card", "driver 2", false, 1));
    EXPECT_FALSE(a == makeResult("card", "driver 1", true, 1));
}

TEST(BenchmarkResultPrint, listsTheConfigurationAndEveryRateOfEachMode)
{
    // Rates 1019 to 1027 are those of smooth shading without colour.
    const std::string printed = dump(makeResult("Card", "Mesa 1", true, 1));
    EXPECT_TRUE(printed.starts_with("Benchmark results from: Sun Nov 5 08:09:10 2023\n"
                                    "RENDERER    : Card\n"
                                    "DRIVER      : Mesa 1\n"
                                    "RESOLUTION  : 501 x 501\n"
                                    "SW RENDERING: 1\n"
                                    "  smooth: no  color: no\n"))
        << printed;
    EXPECT_NE(
        printed.find("  smooth: yes color: no\n"
                     "    edges/s    :       1019\n"
                     "    triangles/s:       1021       1020 (twosided)\n"
                     "    points/s   :       1022       1023       1024       1025       1026       1027\n"
                     "  smooth: no  color: yes\n"),
        std::string::npos)
        << printed;
}
