// Results and widget options for the benchmark tests: every rate of a made-up result is
// different, so a rate read into the wrong place shows.
#pragma once

#include "gcad/benchmark/gcad_benchmark_result.h"

#include <sstream>
#include <string>

namespace Vaq::GCAD::Test {

inline GL::WidgetOptions::Options cardOptions(bool softwareRendering, unsigned memoryMB)
{
    GL::WidgetOptions::Options options;
    options.valid = true;
    options.softwareRendering = softwareRendering;
    options.memoryMB = memoryMB;
    return options;
}

inline GL::WidgetOptions::Options configurationOptions(
    const QString &renderer, const QString &driverVersion, bool softwareRendering)
{
    GL::WidgetOptions::Options options = cardOptions(softwareRendering, 1024);
    options.renderer = renderer;
    options.driverVersion = driverVersion;
    return options;
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
    unsigned rate = seed * 1000;
    for (bool smooth : { false, true }) {
        for (bool color : { false, true }) {
            result.setEdgeStats(smooth, color, ++rate);
            result.setTwosidedTriangleStats(smooth, color, ++rate);
            result.setSinglesidedTriangleStats(smooth, color, ++rate);
            for (unsigned stepping : BenchmarkResult::_steppings)
                result.setPointStats(smooth, color, stepping, ++rate);
        }
    }
    return result;
}

// Everything a result holds, as text (the date to the second).
inline std::string dump(const BenchmarkResult &result)
{
    std::ostringstream os;
    result.printResults(os);
    return os.str();
}

} // namespace Vaq::GCAD::Test
