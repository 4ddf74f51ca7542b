// Results, widget options and rate tables for the benchmark tests: every rate of a made-up
// result is different, so a rate read into the wrong place shows.
#pragma once

#include "gcad/benchmark/gcad_benchmark_result.h"
#include "gcad/benchmark/gcad_benchmark_result_file.h"

#include <sstream>
#include <string>
#include <vector>

namespace Vaq::GCAD::Test {

inline GL::WidgetOptions::Options cardOptions(bool softwareRendering, unsigned memoryMB,
    const QString &renderer = QString(), const QString &driverVersion = QString())
{
    GL::WidgetOptions::Options options;
    options.valid = true;
    options.softwareRendering = softwareRendering;
    options.memoryMB = memoryMB;
    options.renderer = renderer;
    options.driverVersion = driverVersion;
    return options;
}

// Replaces each of the 36 rates by f(index, rate). Index order: the modes as the tables index
// them (2 * smooth + color), within a mode edges, two-sided and single-sided triangles, then
// the points by stepping.
template<typename F> void setRates(BenchmarkResult *result, F f)
{
    unsigned i = 0;
    for (bool smooth : { false, true }) {
        for (bool color : { false, true }) {
            result->setEdgeStats(smooth, color, f(i++, result->getEdgeStats(smooth, color)));
            result->setTwosidedTriangleStats(
                smooth, color, f(i++, result->getTwosidedTriangleStats(smooth, color)));
            result->setSinglesidedTriangleStats(
                smooth, color, f(i++, result->getSinglesidedTriangleStats(smooth, color)));
            for (unsigned stepping : BenchmarkResult::_steppings)
                result->setPointStats(
                    smooth, color, stepping, f(i++, result->getPointStats(smooth, color, stepping)));
        }
    }
}

// The 36 rates in the order of setRates.
inline std::vector<unsigned> rates(BenchmarkResult result)
{
    std::vector<unsigned> all;
    setRates(&result, [&all](unsigned, unsigned rate) {
        all.push_back(rate);
        return rate;
    });
    return all;
}

// A result of the configuration with rates derived from seed, each one distinct.
inline BenchmarkResult makeResult(
    const QString &renderer, const QString &driverVersion, bool softwareRendering, unsigned seed)
{
    BenchmarkResult result(cardOptions(false, 1024));
    result.setRenderer(renderer);
    result.setDriverVersion(driverVersion);
    result.setSoftwareRendering(softwareRendering);
    result.setDate(QDateTime(QDate(2023, 11, 5), QTime(8, 9, 10)));
    result.setWidgetSize(500 + seed);
    setRates(&result, [seed](unsigned i, unsigned) { return seed * 1000 + i + 1; });
    return result;
}

// Everything a result holds, as text (the date to the second).
inline std::string dump(const BenchmarkResult &result)
{
    std::ostringstream os;
    result.printResults(os);
    return os.str();
}

// The result file's text of results.
inline std::string fileText(const std::vector<BenchmarkResult> &results)
{
    std::ostringstream os;
    writeBenchmarkResults(os, results);
    return os.str();
}

} // namespace Vaq::GCAD::Test
