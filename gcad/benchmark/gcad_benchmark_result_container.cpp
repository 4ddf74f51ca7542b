#include "gcad/benchmark/gcad_benchmark_result_container.h"

#include "gcad/benchmark/gcad_benchmark_result_file.h"
#include "gcad/host/base/vaq_os.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cfg/vaq_cfg_user_file.h"

#include <fstream>
#include <locale>
#include <sstream>

namespace Vaq::GCAD {

constexpr char _file_name[] = "gcad_benchmark.dat";

BenchmarkResultContainer *BenchmarkResultContainer::_instance = nullptr;

BenchmarkResultContainer::BenchmarkResultContainer()
{
    const char *function = "Vaq::GCAD::BenchmarkResultContainer::BenchmarkResultContainer";
    if (_instance)
        VAQ_PROG_ERROR(function, "only one instance allowed");
    _instance = this;
    loadResults();
}

BenchmarkResultContainer::~BenchmarkResultContainer()
{
    saveResults();
    if (_instance == this)
        _instance = nullptr;
}

bool BenchmarkResultContainer::getResult(const GL::WidgetOptions::Options &options, BenchmarkResult *result)
{
    if (m_current_index == -1) {
        for (int i = int(m_results.size()) - 1; i >= 0; --i) {
            const BenchmarkResult &candidate = m_results[i];
            if (candidate.getRenderer() == options.renderer
                && candidate.getDriverVersion() == options.driverVersion
                && candidate.isSoftwareRendering() == options.softwareRendering) {
                m_current_index = i;
                break;
            }
        }
    }
    if (m_current_index == -1)
        return false;
    *result = m_results[m_current_index];
    return true;
}

void BenchmarkResultContainer::addResult(const BenchmarkResult &result)
{
    std::erase(m_results, result);
    m_results.push_back(result);
    m_current_index = -1;
    saveResults();
}

void BenchmarkResultContainer::clearResults()
{
    m_results.clear();
    m_current_index = -1;
}

void BenchmarkResultContainer::printResults(std::ostream &os) const
{
    for (const BenchmarkResult &result : m_results)
        result.printResults(os);
}

void BenchmarkResultContainer::loadResults()
{
    std::fstream stream;
    OS::openStdStream(stream, Cfg::UserFile::getLoadFileName(_file_name), std::ios::in);
    if (!stream.good())
        return;
    stream.imbue(std::locale::classic());
    readBenchmarkResults(stream, BenchmarkResult(), &m_results);
}

void BenchmarkResultContainer::saveResults() const
{
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    writeBenchmarkResults(stream, m_results);
    Cfg::UserFile::writeAtomically(
        Cfg::UserFile::getSaveFileName(_file_name), QByteArray::fromStdString(stream.str()));
}

} // namespace Vaq::GCAD
