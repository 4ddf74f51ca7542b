#include "gcad/benchmark/gcad_benchmark_result.h"

#include "gcad/host/base/vaq_prog_error.h"

namespace Vaq::GCAD {

namespace {
// Rates are multiples of a base rate that depends on the card. With the base of a card with
// more than 64 MB these multiples are the reference rates of the performance index.
constexpr unsigned _edge_multiples[4] = { 17, 17, 17, 17 };
constexpr unsigned _twosided_multiples[4] = { 20, 8, 30, 12 };
constexpr unsigned _singlesided_multiples[4] = { 27, 18, 38, 26 };
constexpr unsigned _point_multiples[6] = { 25, 35, 40, 45, 50, 55 };

constexpr unsigned _software_base = 100000;
constexpr unsigned _small_card_base = 250000;
constexpr unsigned _reference_base = 1000000;
constexpr unsigned _small_card_memory_mb = 64;

unsigned getBaseRate(const GL::WidgetOptions::Options &options)
{
    if (options.softwareRendering)
        return _software_base;
    return options.memoryMB > _small_card_memory_mb ? _reference_base : _small_card_base;
}

double ratio(unsigned rate, unsigned multiple)
{
    return double(rate) / (double(multiple) * _reference_base);
}

std::string field(unsigned rate)
{
    return QString::number(rate).rightJustified(10, QLatin1Char(' ')).toStdString();
}
} // namespace

BenchmarkResult::BenchmarkResult()
    : BenchmarkResult(GL::WidgetOptions::getInstance()->getWidgetOptions(false))
{
}

BenchmarkResult::BenchmarkResult(const GL::WidgetOptions::Options &options)
    : m_renderer(QStringLiteral("no renderer"))
    , m_driver_version(QStringLiteral("no driver"))
    , m_date(QDateTime::currentDateTime())
{
    const unsigned base = getBaseRate(options);
    for (int mode = 0; mode < _mode_count; ++mode) {
        m_edge_rates[mode] = _edge_multiples[mode] * base;
        m_twosided_triangle_rates[mode] = _twosided_multiples[mode] * base;
        m_singlesided_triangle_rates[mode] = _singlesided_multiples[mode] * base;
        for (size_t step = 0; step < _steppings.size(); ++step)
            m_point_rates[mode][step] = _point_multiples[step] * base;
    }
}

bool BenchmarkResult::operator==(const BenchmarkResult &other) const
{
    return m_renderer == other.m_renderer && m_driver_version == other.m_driver_version
        && m_software_rendering == other.m_software_rendering;
}

void BenchmarkResult::setEdgeStats(bool smooth, bool color, unsigned rate)
{
    m_edge_rates[getModeIndex(smooth, color)] = rate;
}

unsigned BenchmarkResult::getEdgeStats(bool smooth, bool color) const
{
    return m_edge_rates[getModeIndex(smooth, color)];
}

void BenchmarkResult::setTwosidedTriangleStats(bool smooth, bool color, unsigned rate)
{
    m_twosided_triangle_rates[getModeIndex(smooth, color)] = rate;
}

unsigned BenchmarkResult::getTwosidedTriangleStats(bool smooth, bool color) const
{
    return m_twosided_triangle_rates[getModeIndex(smooth, color)];
}

void BenchmarkResult::setSinglesidedTriangleStats(bool smooth, bool color, unsigned rate)
{
    m_singlesided_triangle_rates[getModeIndex(smooth, color)] = rate;
}

unsigned BenchmarkResult::getSinglesidedTriangleStats(bool smooth, bool color) const
{
    return m_singlesided_triangle_rates[getModeIndex(smooth, color)];
}

void BenchmarkResult::setPointStats(bool smooth, bool color, unsigned stepping, unsigned rate)
{
    m_point_rates[getModeIndex(smooth, color)][getIndexForStepping(stepping)] = rate;
}

unsigned BenchmarkResult::getPointStats(bool smooth, bool color, unsigned stepping) const
{
    return m_point_rates[getModeIndex(smooth, color)][getIndexForStepping(stepping)];
}

unsigned BenchmarkResult::getIndexForStepping(unsigned stepping)
{
    for (unsigned index = 0; index < _steppings.size(); ++index) {
        if (_steppings[index] == stepping)
            return index;
    }
    VAQ_PROG_ERROR("Vaq::GCAD::BenchmarkResult::getIndexForStepping", "stepping not valid");
}

double BenchmarkResult::calculatePerformanceIndex() const
{
    double edges = 0.0;
    double triangles = 0.0;
    double points = 0.0;
    for (int mode = 0; mode < _mode_count; ++mode) {
        edges += ratio(m_edge_rates[mode], _edge_multiples[mode]);
        triangles += ratio(m_twosided_triangle_rates[mode], _twosided_multiples[mode]);
        triangles += ratio(m_singlesided_triangle_rates[mode], _singlesided_multiples[mode]);
        for (size_t step = 0; step < _steppings.size(); ++step)
            points += ratio(m_point_rates[mode][step], _point_multiples[step]);
    }
    // Means of each kind, weighted 1 : 3 : 2, so that reaching every reference rate gives 10.
    const double e = edges * 0.25;
    const double t = triangles * 0.125 * 3.0;
    const double p = points / 24.0 * 2.0;
    return (t + p + e) / 6.0 * 10.0;
}

void BenchmarkResult::printResults(std::ostream &os) const
{
    os << "Benchmark results from: " << m_date.toString().toLocal8Bit().constData() << std::endl;
    os << "RENDERER    : " << m_renderer.toLocal8Bit().constData() << std::endl;
    os << "DRIVER      : " << m_driver_version.toLocal8Bit().constData() << std::endl;
    os << "RESOLUTION  : " << m_widget_size << " x " << m_widget_size << std::endl;
    os << "SW RENDERING: " << m_software_rendering << std::endl;
    for (bool color : { false, true }) {
        for (bool smooth : { false, true }) {
            const int mode = getModeIndex(smooth, color);
            os << "  smooth: " << (smooth ? "yes" : "no ") << " color: " << (color ? "yes" : "no")
               << std::endl;
            os << "    edges/s    : " << field(m_edge_rates[mode]) << std::endl;
            os << "    triangles/s: " << field(m_singlesided_triangle_rates[mode]) << ' '
               << field(m_twosided_triangle_rates[mode]) << " (twosided)" << std::endl;
            os << "    points/s   :";
            for (unsigned rate : m_point_rates[mode])
                os << ' ' << field(rate);
            os << std::endl;
        }
    }
}

} // namespace Vaq::GCAD
