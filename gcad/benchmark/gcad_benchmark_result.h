// BenchmarkResult: one measurement of a graphics configuration (renderer, driver, software
// rendering) with the rates at which the card drew edges, triangles and points in the four
// shading modes. The mesh renderer estimates render times from it; the performance index
// condenses it into one number. A result that was never measured carries default rates.
#pragma once

#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <ostream>

namespace Vaq::GCAD {

class BenchmarkResult
{
public:
    // The step widths whose point rates are measured, in step-index order.
    static constexpr std::array<unsigned, 6> _steppings = { 1, 2, 3, 4, 6, 8 };

    // Default rates for the host's current graphics configuration, dated now.
    BenchmarkResult();
    // Default rates for a configuration with these widget options: scaled for software
    // rendering and for cards with 64 MB or less.
    explicit BenchmarkResult(const GL::WidgetOptions::Options &options);

    // Whether both describe the same configuration: renderer, driver version and software
    // rendering. Dates, sizes and rates are not compared.
    bool operator==(const BenchmarkResult &other) const;

    const QString &getRenderer() const { return m_renderer; }
    void setRenderer(const QString &renderer) { m_renderer = renderer; }
    const QString &getDriverVersion() const { return m_driver_version; }
    void setDriverVersion(const QString &driverVersion) { m_driver_version = driverVersion; }
    const QDateTime &getDate() const { return m_date; }
    void setDate(const QDateTime &date) { m_date = date; }
    // Edge length in pixels of the square widget the benchmark drew into.
    unsigned getWidgetSize() const { return m_widget_size; }
    void setWidgetSize(unsigned widgetSize) { m_widget_size = widgetSize; }
    bool isSoftwareRendering() const { return m_software_rendering; }
    void setSoftwareRendering(bool softwareRendering) { m_software_rendering = softwareRendering; }

    // Rates in elements per second of the benchmark mesh, per shading mode.
    void setEdgeStats(bool smooth, bool color, unsigned rate);
    unsigned getEdgeStats(bool smooth, bool color) const;
    void setTwosidedTriangleStats(bool smooth, bool color, unsigned rate);
    unsigned getTwosidedTriangleStats(bool smooth, bool color) const;
    void setSinglesidedTriangleStats(bool smooth, bool color, unsigned rate);
    unsigned getSinglesidedTriangleStats(bool smooth, bool color) const;
    // Points of the whole mesh per second while it is drawn with every stepping-th point.
    // Throws ProgError "stepping not valid" for a stepping not in _steppings.
    void setPointStats(bool smooth, bool color, unsigned stepping, unsigned rate);
    unsigned getPointStats(bool smooth, bool color, unsigned stepping) const;

    // The position of stepping in _steppings; throws ProgError "stepping not valid" for
    // any other value.
    static unsigned getIndexForStepping(unsigned stepping);

    // 10.0 for a card that reaches the reference rates (the defaults of a card with more than
    // 64 MB); proportional to the rates, triangles weighing 3, points 2 and edges 1.
    double calculatePerformanceIndex() const;

    // A human-readable dump of everything, several lines.
    void printResults(std::ostream &os) const;

private:
    static constexpr int _mode_count = 4;

    // Rate tables are indexed by 2 * smooth + color.
    static int getModeIndex(bool smooth, bool color) { return 2 * int(smooth) + int(color); }

    QString m_renderer;
    QString m_driver_version;
    QDateTime m_date;
    unsigned m_widget_size = 0;
    bool m_software_rendering = false;
    unsigned m_edge_rates[_mode_count];
    unsigned m_twosided_triangle_rates[_mode_count];
    unsigned m_singlesided_triangle_rates[_mode_count];
    unsigned m_point_rates[_mode_count][_steppings.size()];
};

} // namespace Vaq::GCAD
