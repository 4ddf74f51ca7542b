#include "gcad/benchmark/gcad_benchmark_result_file.h"

#include "gcad/host/base/vaq_tokenize.h"

#include <algorithm>
#include <locale>
#include <string>

namespace Vaq::GCAD {

namespace {
constexpr int _file_version = 1;
constexpr int _record_version = 1;
// The count in the header comes from outside; room for more grows as records arrive.
constexpr unsigned _reserve_limit = 64;

// Shading modes in the order of their index, as the file lists them.
struct Mode
{
    bool smooth;
    bool color;
};
constexpr Mode _modes[] = { { false, false }, { false, true }, { true, false }, { true, true } };

// The per-mode rate tables in the file's order: edges, two-sided and single-sided triangles.
struct RateTable
{
    unsigned (BenchmarkResult::*get)(bool smooth, bool color) const;
    void (BenchmarkResult::*set)(bool smooth, bool color, unsigned rate);
};
constexpr RateTable _rate_tables[] = {
    { &BenchmarkResult::getEdgeStats, &BenchmarkResult::setEdgeStats },
    { &BenchmarkResult::getTwosidedTriangleStats, &BenchmarkResult::setTwosidedTriangleStats },
    { &BenchmarkResult::getSinglesidedTriangleStats, &BenchmarkResult::setSinglesidedTriangleStats },
};

std::string toToken(const QString &text)
{
    return tokenize(text.toUtf8().toStdString(), true);
}

QString fromToken(const std::string &token)
{
    return QString::fromStdString(untokenize(token, true));
}

void writeRecord(std::ostream &os, const BenchmarkResult &result)
{
    os << _record_version << ' ' << toToken(result.getRenderer()) << ' ' << toToken(result.getDriverVersion())
       << ' ' << toToken(result.getDate().toString(Qt::ISODate)) << ' ' << result.getWidgetSize() << ' '
       << result.isSoftwareRendering() << ' ';
    for (const RateTable &table : _rate_tables) {
        for (const Mode &mode : _modes)
            os << (result.*table.get)(mode.smooth, mode.color) << ' ';
    }
    for (unsigned stepping : BenchmarkResult::_steppings) {
        for (const Mode &mode : _modes)
            os << result.getPointStats(mode.smooth, mode.color, stepping) << ' ';
    }
}

// Whether the item just read was followed by its blank: a file cut inside a number would
// otherwise yield a shorter number.
bool itemEnded(std::istream &is)
{
    if (!is)
        return false;
    const std::istream::int_type next = is.peek();
    return next != std::istream::traits_type::eof() && std::isspace(char(next), is.getloc());
}

// Reads one record into *result; false when the stream ran out or held something else.
// Fields are set as they are read, so *result is only of use when true is returned.
bool readRecord(std::istream &is, BenchmarkResult *result)
{
    int version = 0;
    is >> version;
    if (!itemEnded(is))
        return false;
    if (version == 0)
        return true;

    std::string renderer;
    std::string driverVersion;
    std::string date;
    unsigned widgetSize = 0;
    bool softwareRendering = false;
    is >> renderer >> driverVersion >> date >> widgetSize >> softwareRendering;
    result->setRenderer(fromToken(renderer));
    result->setDriverVersion(fromToken(driverVersion));
    result->setDate(QDateTime::fromString(fromToken(date), Qt::ISODate));
    result->setWidgetSize(widgetSize);
    result->setSoftwareRendering(softwareRendering);

    unsigned rate = 0;
    for (const RateTable &table : _rate_tables) {
        for (const Mode &mode : _modes) {
            is >> rate;
            (result->*table.set)(mode.smooth, mode.color, rate);
        }
    }
    for (unsigned stepping : BenchmarkResult::_steppings) {
        for (const Mode &mode : _modes) {
            is >> rate;
            result->setPointStats(mode.smooth, mode.color, stepping, rate);
        }
    }
    return itemEnded(is);
}
} // namespace

void writeBenchmarkResults(std::ostream &os, const std::vector<BenchmarkResult> &results)
{
    os << _file_version << ' ' << results.size() << ' ';
    for (const BenchmarkResult &result : results) {
        writeRecord(os, result);
        os << ' ';
    }
}

void readBenchmarkResults(
    std::istream &is, const BenchmarkResult &defaults, std::vector<BenchmarkResult> *results)
{
    int version = 0;
    unsigned count = 0;
    if (!(is >> version) || version != _file_version || !(is >> count))
        return;

    results->clear();
    results->reserve(std::min(count, _reserve_limit));
    for (unsigned i = 0; i < count; ++i) {
        BenchmarkResult result = defaults;
        if (!readRecord(is, &result))
            return;
        results->push_back(result);
    }
}

} // namespace Vaq::GCAD
