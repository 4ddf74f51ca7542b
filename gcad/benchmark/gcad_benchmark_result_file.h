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

// Reads the records of the stream into *results and returns whether the whole stream was a
// file of this format. A record of version 0 stands for a copy of defaults. Reading stops at
// the first record that is incomplete, garbled or holds a value no measurement produces (a
// negative rate, a widget of no pixels, an invalid date); *results then holds the records
// before it and false is returned, as for anything after the last record. A header that is not
// of version 1 leaves *results as it was. The record count of the header is only trusted as
// far as records arrive.
bool readBenchmarkResults(
    std::istream &is, const BenchmarkResult &defaults, std::vector<BenchmarkResult> *results);

} // namespace Vaq::GCAD
