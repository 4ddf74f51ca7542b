#include "gcad/benchmark/gcad_benchmark_result_file.h"

#include "tests/benchmark/benchmark_test_results.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace Vaq::GCAD;
using Vaq::GCAD::Test::cardOptions;
using Vaq::GCAD::Test::dump;
using Vaq::GCAD::Test::makeResult;

namespace {

std::string write(const std::vector<BenchmarkResult> &results)
{
    std::ostringstream os;
    writeBenchmarkResults(os, results);
    return os.str();
}

std::vector<BenchmarkResult> read(const std::string &text, std::vector<BenchmarkResult> results = {})
{
    std::istringstream is(text);
    readBenchmarkResults(is, BenchmarkResult(cardOptions(true, 0)), &results);
    return results;
}

// One record with every item spelled out: rates are 10 + mode for edges, 20 + mode and
// 30 + mode for two- and single-sided triangles, 100 * (step index + 1) + mode for points.
const std::string _record = "1 Card\\sA \\e 2024-01-02T03:04:05 64 1 "
                            "10 11 12 13 20 21 22 23 30 31 32 33 "
                            "100 101 102 103 200 201 202 203 300 301 302 303 "
                            "400 401 402 403 500 501 502 503 600 601 602 603 ";

BenchmarkResult recordResult()
{
    BenchmarkResult result(cardOptions(false, 1024));
    result.setRenderer("Card A");
    result.setDriverVersion("");
    result.setDate(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)));
    result.setWidgetSize(64);
    result.setSoftwareRendering(true);
    for (unsigned mode = 0; mode < 4; ++mode) {
        const bool smooth = mode >= 2;
        const bool color = mode % 2 == 1;
        result.setEdgeStats(smooth, color, 10 + mode);
        result.setTwosidedTriangleStats(smooth, color, 20 + mode);
        result.setSinglesidedTriangleStats(smooth, color, 30 + mode);
        for (unsigned step = 0; step < 6; ++step)
            result.setPointStats(smooth, color, BenchmarkResult::_steppings[step], 100 * (step + 1) + mode);
    }
    return result;
}

} // namespace

TEST(BenchmarkResultFileWrite, emptyListIsVersionAndZero)
{
    EXPECT_EQ(write({}), "1 0 ");
}

TEST(BenchmarkResultFileWrite, recordListsPointRatesStepByStep)
{
    EXPECT_EQ(write({ recordResult() }), "1 1 " + _record + " ");
}

TEST(BenchmarkResultFileRead, readsWhatWasWritten)
{
    std::vector<BenchmarkResult> written = { makeResult(" NVIDIA GeForce  RTX\t4090 ", "", true, 1),
        makeResult("Radeon™ Ü\\s", "Mesa 23.1", false, 2) };
    const std::vector<BenchmarkResult> loaded = read(write(written));
    ASSERT_EQ(loaded.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(loaded[i].getRenderer(), written[i].getRenderer());
        EXPECT_EQ(loaded[i].getDriverVersion(), written[i].getDriverVersion());
        EXPECT_EQ(loaded[i].getDate(), written[i].getDate());
        EXPECT_EQ(dump(loaded[i]), dump(written[i]));
    }
    EXPECT_EQ(dump(read("1 1 " + _record + " ")[0]), dump(recordResult()));
}

TEST(BenchmarkResultFileRead, recordOfVersionZeroKeepsTheDefaults)
{
    const std::vector<BenchmarkResult> loaded = read("1 2 0  " + _record + " ");
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0].getRenderer(), "no renderer");
    EXPECT_EQ(loaded[0].getEdgeStats(false, false), 17u * 100000);
    EXPECT_EQ(dump(loaded[1]), dump(recordResult()));
}

TEST(BenchmarkResultFileRead, foreignOrEmptyHeaderLeavesTheListAsItWas)
{
    const std::vector<BenchmarkResult> before = { makeResult("kept", "", false, 1) };
    for (const std::string &text :
        std::vector<std::string> { "", "2 1 " + _record, "1", "1 x " + _record, "version 1" }) {
        SCOPED_TRACE(text);
        const std::vector<BenchmarkResult> loaded = read(text, before);
        ASSERT_EQ(loaded.size(), 1u);
        EXPECT_EQ(loaded[0].getRenderer(), "kept");
    }
}

TEST(BenchmarkResultFileRead, damagedRecordEndsTheListAtTheLastCompleteOne)
{
    const std::string second = write({ makeResult("second", "d", false, 2) }).substr(4);
    const std::string complete = "1 2 " + _record + " " + second;
    ASSERT_EQ(read(complete).size(), 2u);

    // Cut anywhere inside the second record, inside its last rate, or right after that rate,
    // before the blank that would say the number is complete.
    for (size_t cut : { size_t(0), size_t(2), second.size() / 2, second.size() - 4, second.size() - 2 }) {
        SCOPED_TRACE(cut);
        const std::vector<BenchmarkResult> loaded = read("1 2 " + _record + " " + second.substr(0, cut));
        ASSERT_EQ(loaded.size(), 1u);
        EXPECT_EQ(dump(loaded[0]), dump(recordResult()));
    }

    // Items of the second record replaced: its version, its software flag (item 5) by a word
    // and by 2, its first edge rate (item 6) by a number beyond 32 bits.
    const std::pair<int, std::string> damages[] = { { 0, "x" }, { 5, "x" }, { 5, "2" }, { 6, "4294967296" } };
    for (const auto &[item, damage] : damages) {
        SCOPED_TRACE(damage);
        std::string damaged = complete;
        size_t at = complete.size() - second.size();
        for (int skip = 0; skip < item; ++skip)
            at = damaged.find(' ', at) + 1;
        damaged.replace(at, damaged.find(' ', at) - at, damage);
        EXPECT_EQ(read(damaged).size(), 1u);
    }
}

TEST(BenchmarkResultFileRead, hugeCountIsOnlyTrustedAsFarAsRecordsArrive)
{
    // Reserving room for four billion results up front would throw std::bad_alloc.
    const std::vector<BenchmarkResult> loaded = read("1 4000000000 " + _record + " ");
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(dump(loaded[0]), dump(recordResult()));
    EXPECT_LE(loaded.capacity(), 1000u);
    EXPECT_TRUE(read("1 4294967295 ").empty());
}
