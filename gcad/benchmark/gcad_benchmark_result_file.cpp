#include "gcad/benchmark/gcad_benchmark_result_file.h"

#include "gcad/host/base/vaq_tokenize.h"

#include <algorithm>
#include <cstdint>
#include <limits>
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
    // A result of no widget was never measured: the defaults a record of version 0 stands for,
    // as it was read. Written out in full, it would read back as a record no measurement gives.
    if (result.getWidgetSize() == 0) {
        os << "0 ";
        return;
    }
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

// Reads the next item; false at the end of the stream. Every item is followed by a blank, so
// one that ends the stream was cut.
bool readItem(std::istream &is, std::string *item)
{
    if (!(is >> *item))
        return false;
    const std::istream::int_type next = is.peek();
    return next != std::istream::traits_type::eof() && std::isspace(char(next), is.getloc());
}

// A rate or size as the benchmark writes it: decimal digits only, within 32 bits. Stream
// extraction would take "-5" as 4294967291 and a cut "12" of "1234" as a number.
bool readUnsigned(std::istream &is, unsigned *value)
{
    std::string item;
    if (!readItem(is, &item) || item.empty() || item.size() > 10)
        return false;
    uint64_t number = 0;
    for (char c : item) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + unsigned(c - '0');
    }
    if (number > std::numeric_limits<unsigned>::max())
        return false;
    *value = unsigned(number);
    return true;
}

bool readText(std::istream &is, QString *text)
{
    std::string token;
    if (!readItem(is, &token))
        return false;
    *text = fromToken(token);
    return true;
}

// Reads one record into *result; false when the stream ran out or held something a
// measurement cannot produce. Fields are set as they are read, so *result is only of use
// when true is returned.
bool readRecord(std::istream &is, BenchmarkResult *result)
{
    std::string version;
    if (!readItem(is, &version))
        return false;
    if (version == "0")
        return true;
    if (version != std::to_string(_record_version))
        return false;

    QString renderer, driverVersion, date;
    unsigned widgetSize = 0, softwareRendering = 0;
    if (!readText(is, &renderer) || !readText(is, &driverVersion) || !readText(is, &date)
        || !readUnsigned(is, &widgetSize) || !readUnsigned(is, &softwareRendering))
        return false;
    const QDateTime dateTime = QDateTime::fromString(date, Qt::ISODate);
    // The widget of a measurement has pixels; the flag is the stream's 0 or 1.
    if (!dateTime.isValid() || widgetSize == 0 || softwareRendering > 1)
        return false;
    result->setRenderer(renderer);
    result->setDriverVersion(driverVersion);
    result->setDate(dateTime);
    result->setWidgetSize(widgetSize);
    result->setSoftwareRendering(softwareRendering == 1);

    unsigned rate = 0;
    for (const RateTable &table : _rate_tables) {
        for (const Mode &mode : _modes) {
            if (!readUnsigned(is, &rate))
                return false;
            (result->*table.set)(mode.smooth, mode.color, rate);
        }
    }
    for (unsigned stepping : BenchmarkResult::_steppings) {
        for (const Mode &mode : _modes) {
            if (!readUnsigned(is, &rate))
                return false;
            result->setPointStats(mode.smooth, mode.color, stepping, rate);
        }
    }
    return true;
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

bool readBenchmarkResults(
    std::istream &is, const BenchmarkResult &defaults, std::vector<BenchmarkResult> *results)
{
    std::string version;
    unsigned count = 0;
    if (!readItem(is, &version) || version != std::to_string(_file_version) || !readUnsigned(is, &count))
        return false;

    results->clear();
    results->reserve(std::min(count, _reserve_limit));
    for (unsigned i = 0; i < count; ++i) {
        BenchmarkResult result = defaults;
        if (!readRecord(is, &result))
            return false;
        results->push_back(result);
    }
    // Anything after the last record is not of this format.
    std::string rest;
    return !(is >> rest);
}

} // namespace Vaq::GCAD
