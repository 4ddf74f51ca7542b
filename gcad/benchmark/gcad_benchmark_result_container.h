// BenchmarkResultContainer: the process-wide store of benchmark results, one per graphics
// configuration, kept in the user's file "gcad_benchmark.dat". It loads the file when it is
// created and rewrites it whenever a result is added and when it is destroyed.
#pragma once

#include "gcad/benchmark/gcad_benchmark_result.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <ostream>
#include <vector>

namespace Vaq::GCAD {

class BenchmarkResultContainer
{
public:
    // The one instance, set by the constructor; null before and after its life.
    static BenchmarkResultContainer *_instance;
    static BenchmarkResultContainer *getInstance() { return _instance; }

    // Loads the file; a missing, unreadable or foreign file leaves the store empty.
    // Throws ProgError "only one instance allowed" while another instance exists.
    BenchmarkResultContainer();
    // Writes the file once more.
    ~BenchmarkResultContainer();
    BenchmarkResultContainer(const BenchmarkResultContainer &) = delete;
    BenchmarkResultContainer &operator=(const BenchmarkResultContainer &) = delete;

    // Copies the newest result of the configuration of options (renderer, driver version,
    // software rendering) into *result; false, *result untouched, when none is stored. The
    // match is remembered and handed out without looking at options again until the list
    // changes.
    bool getResult(const GL::WidgetOptions::Options &options, BenchmarkResult *result);
    // Replaces any result of the same configuration by result, at the end of the list, and
    // writes the file.
    void addResult(const BenchmarkResult &result);
    // Forgets all results; the file keeps them until the next save.
    void clearResults();

    // Every result's dump, oldest first.
    void printResults(std::ostream &os) const;

private:
    void loadResults();
    // Replaces the file atomically; when that fails the previous file stays as it was.
    void saveResults() const;

    int m_current_index = -1;
    std::vector<BenchmarkResult> m_results;
};

} // namespace Vaq::GCAD
