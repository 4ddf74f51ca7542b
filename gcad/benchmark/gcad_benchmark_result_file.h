// The text format of the benchmark result file: items separated by blanks, no line breaks.
// A header (file version 1, number of records) is followed by the records, each the record
// version 1, renderer, driver version and ISO date as single tokens, the widget size, the
// software flag and the rates (edges, two-sided and single-sided triangles per mode, then
// the point rates step by step, every mode of each step).
#pragma once

#include "gcad/benchmark/gcad_benchmark_result.h"

#include <istream>
#include <ostream>
#include <vector>

namespace Vaq::GCAD {

// Writes results in list order with the stream's current formatting; the caller gives it the
// classic locale.
void writeBenchmarkResults(std::ostream &os, const std::vector<BenchmarkResult> &results);

// Replaces *results by the records of the stream. A record of version 0 stands for a copy of
// defaults. Reading stops at the first record that is incomplete or garbled, which is
// dropped with everything after it; a header that is not of version 1 leaves *results as
// it was. The record count of the header is only trusted as far as records arrive.
void readBenchmarkResults(
    std::istream &is, const BenchmarkResult &defaults, std::vector<BenchmarkResult> *results);

} // namespace Vaq::GCAD
