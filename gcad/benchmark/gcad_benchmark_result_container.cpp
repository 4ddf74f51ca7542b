#include "gcad/benchmark/gcad_benchmark_result_container.h"

#include "gcad/benchmark/gcad_benchmark_result_file.h"
#include "gcad/host/base/vaq_os.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cfg/vaq_cfg_user_file.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

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
    saveResults(nullptr);
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

namespace {
std::string fileText(const std::vector<BenchmarkResult> &results)
{
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    writeBenchmarkResults(stream, results);
    return stream.str();
}
} // namespace

QString BenchmarkResultContainer::getFileName()
{
    return Cfg::UserFile::getLoadFileName(_file_name);
}

void BenchmarkResultContainer::loadResults()
{
    m_file_text = fileText(m_results);
    const QFileInfo file(getFileName());
    // Something else in the file's place (a folder, a device) is neither read nor moved; saving
    // then fails and says why.
    if (!file.isFile())
        return;
    std::fstream stream;
    OS::openStdStream(stream, file.filePath(), std::ios::in);
    if (!stream.good())
        return;
    stream.imbue(std::locale::classic());
    m_file_unreadable = !readBenchmarkResults(stream, BenchmarkResult(), &m_results);
    m_file_text = fileText(m_results);
}

bool BenchmarkResultContainer::saveResults(QString *error)
{
    const std::string text = fileText(m_results);
    if (text == m_file_text)
        return true;
    const QString fileName = Cfg::UserFile::getSaveFileName(_file_name);
    if (m_file_unreadable && !moveUnreadableFileAside(fileName, error))
        return false;
    if (!Cfg::UserFile::writeAtomically(fileName, QByteArray::fromStdString(text), error))
        return false;
    m_file_text = text;
    return true;
}

bool BenchmarkResultContainer::moveUnreadableFileAside(const QString &fileName, QString *error)
{
    const QString stem = fileName + QStringLiteral(".unreadable-")
        + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString target = stem;
    for (int i = 2; QFileInfo::exists(target); ++i)
        target = stem + QStringLiteral("-%1").arg(i);
    QFile file(fileName);
    if (file.exists()) {
        if (!file.rename(target)) {
            if (error)
                *error = QStringLiteral("cannot move the unreadable file aside: %1").arg(file.errorString());
            return false;
        }
        m_moved_aside_file_name = target;
    }
    m_file_unreadable = false;
    return true;
}

} // namespace Vaq::GCAD
