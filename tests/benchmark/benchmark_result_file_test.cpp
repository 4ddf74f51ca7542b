#include "gcad/benchmark/gcad_benchmark_result_file.h"

#include "tests/benchmark/benchmark_test_results.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace Vaq::GCAD;
using namespace Vaq::GCAD::Test;

namespace {

// The results read from text, and whether text was read whole.
struct Loaded
{
    std::vector<BenchmarkResult> results;
    bool whole = false;
    size_t size() const { return results.size(); }
};

Loaded read(const std::string &text, std::vector<BenchmarkResult> results = {})
{
    std::istringstream is(text);
    const bool whole = readBenchmarkResults(is, BenchmarkResult(cardOptions(true, 0)), &results);
    return Loaded { std::move(results), whole };
}

// The record of _card, every item spelled out. makeResult numbers the rates 1001 to 1036
// mode by mode (edges, two-sided and single-sided triangles, points by stepping); the file
// lists the edge and triangle tables mode by mode, then the points step by step.
const BenchmarkResult _card = makeResult("Card A", "", true, 1);
const std::string _record = "1 Card\\sA \\e 2023-11-05T08:09:10 501 1 "
                            "1001 1010 1019 1028 1002 1011 1020 1029 1003 1012 1021 1030 "
                            "1004 1013 1022 1031 1005 1014 1023 1032 1006 1015 1024 1033 "
                            "1007 1016 1025 1034 1008 1017 1026 1035 1009 1018 1027 1036 ";

} // namespace

TEST(BenchmarkResultFile, writesPointRatesStepByStepAndReadsWhatItWrote)
{
    EXPECT_EQ(fileText({}), "1 0 ");
    EXPECT_EQ(fileText({ _card }), "1 1 " + _record + " ");
    // Blanks, a backslash and letters beyond ASCII in the names.
    const std::vector<BenchmarkResult> written = { makeResult(" NVIDIA GeForce  RTX\t4090 ", "", true, 1),
        makeResult("Radeon™ Ü\\s", "Mesa 23.1", false, 2) };
    const Loaded loaded = read(fileText(written));
    EXPECT_TRUE(loaded.whole);
    ASSERT_EQ(loaded.size(), 2u);
    for (size_t i = 0; i < 2; ++i)
        EXPECT_EQ(dump(loaded.results[i]), dump(written[i]));
}

TEST(BenchmarkResultFile, recordOfVersionZeroKeepsTheDefaults)
{
    const Loaded loaded = read("1 2 0  " + _record + " ");
    EXPECT_TRUE(loaded.whole);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded.results[0].getRenderer(), "no renderer");
    EXPECT_EQ(rates(loaded.results[0]), rates(BenchmarkResult(cardOptions(true, 0))));
    EXPECT_EQ(dump(loaded.results[1]), dump(_card));
    // Written back, the defaults stay a record of version 0, which reads whole again.
    EXPECT_EQ(fileText(loaded.results), "1 2 0  " + _record + " ");
}

TEST(BenchmarkResultFile, foreignOrEmptyHeaderLeavesTheListAsItWasAndIsNotReadWhole)
{
    const std::vector<BenchmarkResult> before = { makeResult("kept", "", false, 1) };
    for (const std::string &text :
        std::vector<std::string> { "", "2 1 " + _record, "01 1 " + _record, "1 x " + _record, "1 -1 " }) {
        const Loaded loaded = read(text, before);
        EXPECT_FALSE(loaded.whole) << text;
        EXPECT_EQ(dump(loaded.results.at(0)), dump(before[0])) << text;
    }
}

TEST(BenchmarkResultFile, damagedRecordEndsTheListAtTheLastCompleteOneAndIsNotReadWhole)
{
    const std::string second = fileText({ makeResult("second", "d", false, 2) }).substr(4);
    const std::string complete = "1 2 " + _record + " " + second;
    ASSERT_EQ(read(complete).size(), 2u);
    EXPECT_FALSE(read(complete + "1 ").whole); // more than the count announced

    // Cut inside the second record, inside its last rate, or right after that rate, before the
    // blank that would say the number is complete.
    for (size_t cut : { size_t(2), second.size() / 2, second.size() - 2 }) {
        const Loaded loaded = read("1 2 " + _record + " " + second.substr(0, cut));
        EXPECT_FALSE(loaded.whole) << cut;
        ASSERT_EQ(loaded.size(), 1u) << cut;
        EXPECT_EQ(dump(loaded.results[0]), dump(_card));
    }

    // Items of the second record damaged, or holding what no measurement gives: a negative or
    // too large rate (stream extraction takes "-5" as 4294967291), a widget of no pixels, a
    // month 13.
    const std::pair<int, const char *> damages[] = { { 0, "x" }, { 0, "2" }, { 3, "2023-13-05T08:09:10" },
        { 4, "0" }, { 4, "+501" }, { 5, "2" }, { 6, "4294967296" }, { 6, "-5" }, { 41, "12x" } };
    for (const auto &[item, damage] : damages) {
        std::string damaged = complete;
        size_t at = complete.size() - second.size();
        for (int skip = 0; skip < item; ++skip)
            at = damaged.find(' ', at) + 1;
        const Loaded loaded = read(damaged.replace(at, damaged.find(' ', at) - at, damage));
        EXPECT_FALSE(loaded.whole) << damage;
        EXPECT_EQ(loaded.size(), 1u) << damage;
    }
}

TEST(BenchmarkResultFile, hugeCountIsOnlyTrustedAsFarAsRecordsArrive)
{
    // Reserving room for four billion results up front would throw std::bad_alloc.
    const Loaded loaded = read("1 4000000000 " + _record + " ");
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(dump(loaded.results[0]), dump(_card));
    EXPECT_LE(loaded.results.capacity(), 1000u);
    EXPECT_EQ(read("1 4294967295 ").size(), 0u);
}
