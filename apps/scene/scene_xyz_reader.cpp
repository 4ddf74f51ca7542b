#include "apps/scene/scene_xyz_reader.h"

#include "apps/scene/scene_import_error.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>
#include <vector>

namespace Gcad::Scene {

namespace {

constexpr std::string_view SEPARATORS = " \t\r\f\v,;";

// The values of one line, comment removed.
std::vector<std::string_view> splitValues(std::string_view line)
{
    line = line.substr(0, line.find('#'));
    std::vector<std::string_view> values;
    std::size_t start = line.find_first_not_of(SEPARATORS);
    while (start != std::string_view::npos) {
        const std::size_t end = line.find_first_of(SEPARATORS, start);
        values.push_back(line.substr(start, end == std::string_view::npos ? end : end - start));
        start = line.find_first_not_of(SEPARATORS, end);
    }
    return values;
}

// A value as an error message quotes it: a binary file read by mistake can hold "values"
// of any length.
QString toText(std::string_view value)
{
    constexpr std::size_t LONGEST = 40;
    const QString text = QString::fromUtf8(value.data(), qsizetype(std::min(value.size(), LONGEST)));
    return value.size() > LONGEST ? text + QStringLiteral("...") : text;
}

class LineReader
{
public:
    LineReader(const QString &fileName, std::size_t line)
        : m_file_name(fileName)
        , m_line(line)
    {
    }

    [[noreturn]] void fail(const QString &what) const
    {
        throw ImportError(m_file_name, QStringLiteral("line %1: %2").arg(m_line).arg(what));
    }

    double coordinate(std::string_view value) const
    {
        double number = 0.0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
        if (end != value.data() + value.size()
            || (error != std::errc() && error != std::errc::result_out_of_range))
            fail(QStringLiteral("'%1' is not a number").arg(toText(value)));
        // Beyond the largest double, or so close to zero that no double tells it from zero.
        if (error == std::errc::result_out_of_range)
            fail(QStringLiteral("coordinate '%1' is out of range").arg(toText(value)));
        if (!std::isfinite(number))
            fail(QStringLiteral("non-finite coordinate '%1'").arg(toText(value)));
        return number;
    }

    uint8_t channel(std::string_view value) const
    {
        unsigned number = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
        if (error != std::errc() || end != value.data() + value.size() || number > 255)
            fail(QStringLiteral("colour values must be whole numbers from 0 to 255, not '%1'")
                     .arg(toText(value)));
        return uint8_t(number);
    }

private:
    const QString &m_file_name;
    std::size_t m_line;
};

} // namespace

PointCloud readXyzPoints(std::string_view text, const QString &fileName)
{
    PointCloud cloud;
    std::size_t valuesPerPoint = 0; // set by the first point: 3, or 6 with a colour
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;

        const std::vector<std::string_view> values = splitValues(line);
        if (values.empty())
            continue;
        const LineReader reader(fileName, lineNumber);
        if (valuesPerPoint == 0) {
            if (values.size() != 3 && values.size() != 6)
                reader.fail(
                    QStringLiteral("expected x y z or x y z r g b, found %1 values").arg(values.size()));
            valuesPerPoint = values.size();
        } else if (values.size() != valuesPerPoint) {
            reader.fail(QStringLiteral("expected %1 values like the first point, found %2")
                            .arg(valuesPerPoint)
                            .arg(values.size()));
        }
        cloud.positions.emplace_back(
            reader.coordinate(values[0]), reader.coordinate(values[1]), reader.coordinate(values[2]));
        if (valuesPerPoint == 6)
            cloud.colors.emplace_back(
                reader.channel(values[3]), reader.channel(values[4]), reader.channel(values[5]));
    }
    if (cloud.positions.empty())
        throw ImportError(fileName, QStringLiteral("no points"));
    return cloud;
}

} // namespace Gcad::Scene
