// MedianReporter: the console reporter of the micro-benchmarks that also keeps the median
// real time of every benchmark, so that a benchmark can close with the ratio of a measured
// figure to its baseline from the same run. Benchmarks repeat and interleave at random
// (runInterleaved), so that a busy machine slows both sides alike.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace Vaq::Bench {

class MedianReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_medians[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The median real time of the named benchmark in its display unit; false when it did not run.
    bool median(const std::string &name, double *time) const
    {
        const auto found = m_medians.find(name);
        if (found == m_medians.end())
            return false;
        *time = found->second;
        return true;
    }

private:
    std::map<std::string, double> m_medians;
};

// Initializes Google Benchmark with random interleaving on (later flags on the command line
// win) and runs the benchmarks into reporter.
inline void runInterleaved(int argc, char **argv, MedianReporter &reporter)
{
    std::vector<char *> arguments(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleave);
    int count = int(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    benchmark::RunSpecifiedBenchmarks(&reporter);
}

} // namespace Vaq::Bench

// Registers function timed on the wall clock in milliseconds, run repetitions times of at least
// minTime seconds each, reporting only the aggregates (the median among them).
#define GCAD_WALL_CLOCK_BENCHMARK(function, minTime, repetitions)                                            \
    BENCHMARK(function)                                                                                      \
        ->Unit(benchmark::kMillisecond)                                                                      \
        ->UseRealTime()                                                                                      \
        ->MinTime(minTime)                                                                                   \
        ->Repetitions(repetitions)                                                                           \
        ->ReportAggregatesOnly(true)
