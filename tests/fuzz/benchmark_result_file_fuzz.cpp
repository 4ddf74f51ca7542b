// Feeds arbitrary bytes to the benchmark result file reader. Besides crashes, leaks and
// undefined behaviour it catches a reader and writer that disagree: whatever the reader
// accepts, written out and read again, must write out the same text.
#include "gcad/benchmark/gcad_benchmark_result_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Vaq::GCAD::BenchmarkResult;

const BenchmarkResult &defaults()
{
    // Fixed options: the fuzzer must not depend on the machine's graphics.
    static const BenchmarkResult result = [] {
        Vaq::GL::WidgetOptions::Options options;
        options.memoryMB = 1024;
        return BenchmarkResult(options);
    }();
    return result;
}

std::vector<BenchmarkResult> read(const std::string &text)
{
    std::istringstream is(text);
    is.imbue(std::locale::classic());
    std::vector<BenchmarkResult> results;
    Vaq::GCAD::readBenchmarkResults(is, defaults(), &results);
    return results;
}

std::string write(const std::vector<BenchmarkResult> &results)
{
    std::ostringstream os;
    os.imbue(std::locale::classic());
    Vaq::GCAD::writeBenchmarkResults(os, results);
    return os.str();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::vector<BenchmarkResult> results
        = read(std::string(reinterpret_cast<const char *>(data), size));
    const std::string once = write(results);
    const std::vector<BenchmarkResult> again = read(once);
    if (again.size() != results.size() || write(again) != once)
        std::abort();
    return 0;
}
