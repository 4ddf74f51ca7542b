// BenchmarkResultContainer: the process-wide store of benchmark results, one per graphics
// configuration, kept in the user's file "gcad_benchmark.dat". It loads the file when it is
// created and writes it back when a result is added and when it is destroyed, but only when
// the results differ from what the file holds. A file it cannot read whole is never
// overwritten: the first write moves it aside, so that nothing the user measured is lost.
#pragma once

#include "gcad/benchmark/gcad_benchmark_result.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <QString>

#include <ostream>
#include <string>
#include <vector>

namespace Vaq::GCAD {

class BenchmarkResultContainer
{
public:
    // The one instance, set by the constructor; null before and after its life.
    static BenchmarkResultContainer *_instance;
    static BenchmarkResultContainer *getInstance() { return _instance; }

    // Loads the file; a missing or foreign file leaves the store empty, a damaged one keeps the
    // results before the damage.
    // Throws ProgError "only one instance allowed" while another instance exists.
    BenchmarkResultContainer();
    // Writes the file once more when the results changed; a program that must know whether that
    // worked calls saveResults first.
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

    // Writes the file when the results differ from what it holds (the empty store stands for a
    // missing file). A file that was not read whole is first renamed to
    // "gcad_benchmark.dat.unreadable-<UTC time>". The file is replaced atomically; when that
    // fails, false is returned with the reason in *error (when given), the previous file stays
    // as it was and the next call tries again.
    bool saveResults(QString *error = nullptr);
    // The path of the store's file.
    static QString getFileName();
    // Where an unreadable file was moved to, empty while none was.
    const QString &getMovedAsideFileName() const { return m_moved_aside_file_name; }

private:
    void loadResults();
    bool moveUnreadableFileAside(const QString &fileName, QString *error);

    int m_current_index = -1;
    std::vector<BenchmarkResult> m_results;
    // The file's contents as this store would write them, at load or at the last save.
    std::string m_file_text;
    // The file exists but was not read whole (damaged, or of another version).
    bool m_file_unreadable = false;
    QString m_moved_aside_file_name;
};

} // namespace Vaq::GCAD
