#include "gcad/benchmark/gcad_benchmark_result.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "tests/benchmark/benchmark_test_results.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

using namespace Vaq::GCAD;
using Vaq::GCAD::Test::cardOptions;
using Vaq::GCAD::Test::dump;
using Vaq::GCAD::Test::makeResult;

namespace {

// Multiplies the edge, triangle and point rates by their factors.
void scaleRates(BenchmarkResult *result, unsigned edges, unsigned triangles, unsigned points)
{
    for (bool smooth : { false, true }) {
        for (bool color : { false, true }) {
            result->setEdgeStats(smooth, color, result->getEdgeStats(smooth, color) * edges);
            result->setTwosidedTriangleStats(
                smooth, color, result->getTwosidedTriangleStats(smooth, color) * triangles);
            result->setSinglesidedTriangleStats(
                smooth, color, result->getSinglesidedTriangleStats(smooth, color) * triangles);
            for (unsigned stepping : BenchmarkResult::_steppings)
                result->setPointStats(
                    smooth, color, stepping, result->getPointStats(smooth, color, stepping) * points);
        }
    }
}

void expectSteppingError(const std::function<void()> &call)
{
    try {
        call();
        ADD_FAILURE() << "no ProgError";
    } catch (const Vaq::ProgError &error) {
        EXPECT_EQ(error.function(), "Vaq::GCAD::BenchmarkResult::getIndexForStepping");
        EXPECT_EQ(error.file(), "gcad_benchmark_result");
        EXPECT_EQ(error.message(), "stepping not valid");
    }
}

} // namespace

TEST(BenchmarkResultDefaults, newResultDescribesNoConfigurationAndIsDatedNow)
{
    const QDateTime before = QDateTime::currentDateTime();
    const BenchmarkResult result(cardOptions(false, 1024));
    EXPECT_EQ(result.getRenderer(), "no renderer");
    EXPECT_EQ(result.getDriverVersion(), "no driver");
    EXPECT_EQ(result.getWidgetSize(), 0u);
    EXPECT_FALSE(result.isSoftwareRendering());
    EXPECT_GE(result.getDate(), before);
    EXPECT_LE(result.getDate(), QDateTime::currentDateTime());
}

TEST(BenchmarkResultDefaults, ratesOfABigCardAreTheReferenceRates)
{
    const BenchmarkResult result(cardOptions(false, 65));
    // Mode index 2 * smooth + color: flat, flat coloured, smooth, smooth coloured.
    const unsigned twosided[4] = { 20000000, 8000000, 30000000, 12000000 };
    const unsigned singlesided[4] = { 27000000, 18000000, 38000000, 26000000 };
    const unsigned points[6] = { 25000000, 35000000, 40000000, 45000000, 50000000, 55000000 };
    for (int mode = 0; mode < 4; ++mode) {
        const bool smooth = mode >= 2;
        const bool color = mode % 2 == 1;
        SCOPED_TRACE(mode);
        EXPECT_EQ(result.getEdgeStats(smooth, color), 17000000u);
        EXPECT_EQ(result.getTwosidedTriangleStats(smooth, color), twosided[mode]);
        EXPECT_EQ(result.getSinglesidedTriangleStats(smooth, color), singlesided[mode]);
        for (int step = 0; step < 6; ++step)
            EXPECT_EQ(result.getPointStats(smooth, color, BenchmarkResult::_steppings[step]), points[step]);
    }
    EXPECT_DOUBLE_EQ(result.calculatePerformanceIndex(), 10.0);
}

TEST(BenchmarkResultDefaults, smallCardsAndSoftwareRenderingGetLowerRates)
{
    // 64 MB is still a small card; software rendering overrides any memory size.
    const BenchmarkResult small(cardOptions(false, 64));
    const BenchmarkResult software(cardOptions(true, 4096));
    EXPECT_EQ(small.getEdgeStats(false, false), 17u * 250000);
    EXPECT_EQ(small.getTwosidedTriangleStats(true, false), 30u * 250000);
    EXPECT_EQ(small.getPointStats(true, true, 8), 55u * 250000);
    EXPECT_EQ(software.getEdgeStats(false, false), 17u * 100000);
    EXPECT_EQ(software.getTwosidedTriangleStats(true, false), 30u * 100000);
    EXPECT_EQ(software.getPointStats(true, true, 8), 55u * 100000);
    EXPECT_DOUBLE_EQ(small.calculatePerformanceIndex(), 2.5);
    EXPECT_DOUBLE_EQ(software.calculatePerformanceIndex(), 1.0);
}

TEST(BenchmarkResultIndex, scalesWithTheRates)
{
    BenchmarkResult result(cardOptions(false, 1024));
    scaleRates(&result, 3, 3, 3);
    EXPECT_DOUBLE_EQ(result.calculatePerformanceIndex(), 30.0);

    // Rates beyond the signed 32-bit range still count as the large numbers they are.
    BenchmarkResult fast(cardOptions(false, 1024));
    scaleRates(&fast, 70, 70, 70);
    EXPECT_GT(fast.getPointStats(false, false, 8), 2147483647u);
    EXPECT_DOUBLE_EQ(fast.calculatePerformanceIndex(), 700.0);
}

TEST(BenchmarkResultIndex, trianglesWeighThreePointsTwoEdgesOne)
{
    // Doubling one kind adds its weight out of 6 to the reference index 10.
    BenchmarkResult edges(cardOptions(false, 1024));
    scaleRates(&edges, 2, 1, 1);
    EXPECT_DOUBLE_EQ(edges.calculatePerformanceIndex(), 10.0 + 10.0 / 6.0);
    BenchmarkResult triangles(cardOptions(false, 1024));
    scaleRates(&triangles, 1, 2, 1);
    EXPECT_DOUBLE_EQ(triangles.calculatePerformanceIndex(), 15.0);
    BenchmarkResult points(cardOptions(false, 1024));
    scaleRates(&points, 1, 1, 2);
    EXPECT_DOUBLE_EQ(points.calculatePerformanceIndex(), 10.0 + 20.0 / 6.0);

    // Each mode counts alike: one edge rate of four at zero costs a quarter of the edges' share.
    BenchmarkResult oneEdgeMode(cardOptions(false, 1024));
    oneEdgeMode.setEdgeStats(true, false, 0);
    EXPECT_DOUBLE_EQ(oneEdgeMode.calculatePerformanceIndex(), 10.0 - 10.0 / 24.0);
}

TEST(BenchmarkResultStepping, validSteppingsMapToTheirIndex)
{
    EXPECT_EQ(BenchmarkResult::getIndexForStepping(1), 0u);
    EXPECT_EQ(BenchmarkResult::getIndexForStepping(2), 1u);
    EXPECT_EQ(BenchmarkResult::getIndexForStepping(3), 2u);
    EXPECT_EQ(BenchmarkResult::getIndexForStepping(4), 3u);
    EXPECT_EQ(BenchmarkResult::getIndexForStepping(6), 4u);
    EXPECT_EQ(BenchmarkResult::getIndexForStepping(8), 5u);
}

TEST(BenchmarkResultStepping, otherSteppingsFailAndChangeNothing)
{
    for (unsigned stepping : { 0u, 5u, 7u, 9u, 16u })
        expectSteppingError([stepping] { BenchmarkResult::getIndexForStepping(stepping); });
    BenchmarkResult result = makeResult("card", "driver", false, 1);
    const std::string before = dump(result);
    expectSteppingError([&result] { result.getPointStats(true, false, 5); });
    expectSteppingError([&result] { result.getPointStats(false, false, 0); });
    expectSteppingError([&result] { result.setPointStats(false, true, 7, 1); });
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

TEST(BenchmarkResultPrint, listsTheConfigurationAndEveryRate)
{
    BenchmarkResult result(cardOptions(false, 1024));
    result.setRenderer("Card X");
    result.setDriverVersion("Mesa 22.3.6");
    result.setDate(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)));
    result.setWidgetSize(512);
    result.setSoftwareRendering(true);
    result.setEdgeStats(true, false, 7);
    result.setTwosidedTriangleStats(false, true, 1234567890);
    result.setPointStats(true, true, 3, 42);

    std::ostringstream os;
    result.printResults(os);
    EXPECT_EQ(os.str(),
        "Benchmark results from: Tue Jan 2 03:04:05 2024\n"
        "RENDERER    : Card X\n"
        "DRIVER      : Mesa 22.3.6\n"
        "RESOLUTION  : 512 x 512\n"
        "SW RENDERING: 1\n"
        "  smooth: no  color: no\n"
        "    edges/s    :   17000000\n"
        "    triangles/s:   27000000   20000000 (twosided)\n"
        "    points/s   :   25000000   35000000   40000000   45000000   50000000   55000000\n"
        "  smooth: yes color: no\n"
        "    edges/s    :          7\n"
        "    triangles/s:   38000000   30000000 (twosided)\n"
        "    points/s   :   25000000   35000000   40000000   45000000   50000000   55000000\n"
        "  smooth: no  color: yes\n"
        "    edges/s    :   17000000\n"
        "    triangles/s:   18000000 1234567890 (twosided)\n"
        "    points/s   :   25000000   35000000   40000000   45000000   50000000   55000000\n"
        "  smooth: yes color: yes\n"
        "    edges/s    :   17000000\n"
        "    triangles/s:   26000000   12000000 (twosided)\n"
        "    points/s   :   25000000   35000000         42   45000000   50000000   55000000\n");
}
