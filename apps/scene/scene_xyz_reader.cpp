#include "apps/scene/scene_xyz_reader.h"

#include "apps/scene/scene_reader_support.h"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace Gcad::Scene {

namespace {

constexpr std::size_t RELEASE_STEP = std::size_t(32) << 20;
constexpr std::size_t MOST_COLUMNS = 32;

enum Column : uint8_t { SKIP, X, Y, Z, NX, NY, NZ, RED, GREEN, BLUE, VALUE };

// Which bytes separate values: blanks, tabs, commas, semicolons, and CR of CRLF line ends.
constexpr std::array<bool, 256> SEPARATOR = [] {
    std::array<bool, 256> table {};
    for (unsigned char c : std::string_view(" \t,;\r\f\v"))
        table[c] = true;
    return table;
}();

bool isSeparator(char c)
{
    return SEPARATOR[static_cast<unsigned char>(c)];
}

// a in any case equals the lower-case name b.
bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char c, char d) {
        return (c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) == d;
    });
}

Column columnNamed(std::string_view name)
{
    static constexpr std::pair<std::string_view, Column> NAMES[] = { { "x", X }, { "y", Y }, { "z", Z },
        { "nx", NX }, { "ny", NY }, { "nz", NZ }, { "r", RED }, { "g", GREEN }, { "b", BLUE }, { "red", RED },
        { "green", GREEN }, { "blue", BLUE }, { "value", VALUE }, { "scalar", VALUE }, { "quality", VALUE },
        { "intensity", VALUE }, { "deviation", VALUE } };
    for (const auto &[known, column] : NAMES) {
        if (sameName(name, known))
            return column;
    }
    return SKIP;
}

// The words of one line up to a comment, at most MOST_COLUMNS + 1 of them.
struct Words
{
    std::array<std::string_view, MOST_COLUMNS + 1> words;
    std::size_t count = 0;
};

Words splitLine(std::string_view line)
{
    Words result;
    std::size_t i = 0;
    while (result.count <= MOST_COLUMNS) {
        while (i < line.size() && isSeparator(line[i]))
            ++i;
        if (i == line.size() || line[i] == '#')
            break;
        const std::size_t start = i;
        while (i < line.size() && !isSeparator(line[i]) && line[i] != '#')
            ++i;
        result.words[result.count++] = line.substr(start, i - start);
    }
    return result;
}

// The columns a comment names, if its words start with x y z.
std::optional<std::vector<Column>> namedColumns(std::string_view comment)
{
    const std::size_t start = comment.find_first_not_of('#');
    if (start == std::string_view::npos)
        return std::nullopt;
    const Words words = splitLine(comment.substr(start));
    if (words.count < 3 || columnNamed(words.words[0]) != X || columnNamed(words.words[1]) != Y
        || columnNamed(words.words[2]) != Z)
        return std::nullopt;
    std::vector<Column> columns;
    for (std::size_t i = 0; i < std::min(words.count, MOST_COLUMNS); ++i) {
        const Column column = columnNamed(words.words[i]);
        // A name given twice counts once.
        columns.push_back(std::find(columns.begin(), columns.end(), column) == columns.end() ? column : SKIP);
    }
    return columns;
}

std::vector<Column> columnsByCount(std::size_t count)
{
    switch (count) {
    case 3:
        return { X, Y, Z };
    case 6:
        return { X, Y, Z, NX, NY, NZ }; // until the values show colours
    case 7:
        return { X, Y, Z, RED, GREEN, BLUE, VALUE };
    case 9:
        return { X, Y, Z, NX, NY, NZ, RED, GREEN, BLUE };
    default:
        return {};
    }
}

class XyzReader
{
public:
    XyzReader(const QString &fileName)
        : m_file_name(fileName)
    {
    }

    PointCloud read(std::string_view text, const ReleaseRead &release)
    {
        std::size_t start = 0, released = 0;
        while (start < text.size()) {
            const std::size_t newline = text.find('\n', start);
            const std::size_t end = newline == std::string_view::npos ? text.size() : newline;
            const std::string_view line = text.substr(start, end - start);
            const std::size_t lineStart = start;
            start = end + 1;
            ++m_line;
            const Words words = splitLine(line);
            if (words.count == 0) {
                if (m_columns.empty() && !m_named) {
                    const std::size_t hash = line.find('#');
                    if (hash != std::string_view::npos)
                        nameColumns(line.substr(hash));
                }
                continue;
            }
            if (m_columns.empty())
                chooseColumns(words.count);
            if (m_cloud.positions.empty())
                reserveLike(line.size() + 1, text.size() - lineStart);
            readPoint(words);
            if (release && start - released > RELEASE_STEP) {
                release(start);
                released = start;
            }
        }
        if (m_cloud.positions.empty())
            throw ImportError(m_file_name, QStringLiteral("no points"));
        if (m_guessing && !m_unit)
            takeColorsFromNormals();
        return std::move(m_cloud);
    }

private:
    [[noreturn]] void fail(const QString &what) const
    {
        throw ImportError(m_file_name, QStringLiteral("line %1: %2").arg(m_line).arg(what));
    }

    void nameColumns(std::string_view comment)
    {
        if (std::optional<std::vector<Column>> columns = namedColumns(comment)) {
            m_columns = std::move(*columns);
            m_named = true;
            for (Column column : m_columns)
                m_has[column] = true;
        }
    }

    void chooseColumns(std::size_t count)
    {
        m_columns = columnsByCount(count);
        if (m_columns.empty())
            fail(QStringLiteral("expected 3, 6, 7 or 9 values (x y z, normals, colours), found %1")
                     .arg(count > MOST_COLUMNS ? QStringLiteral("more") : QString::number(count)));
        m_guessing = count == 6;
        for (Column column : m_columns)
            m_has[column] = true;
    }

    // Room for as many points as there are lines like the first in the rest of the file, so
    // that the vectors seldom grow; at most one per six bytes ("1 2 3\n"), so that a short first
    // line costs nothing unreasonable.
    void reserveLike(std::size_t lineBytes, std::size_t restBytes)
    {
        const std::size_t count
            = restBytes / std::max<std::size_t>(6, lineBytes) + restBytes / lineBytes / 16 + 16;
        reserveOrFail(m_cloud.positions, count, m_file_name);
        if (m_has[NX])
            reserveOrFail(m_cloud.normals, count, m_file_name);
        if (m_has[RED])
            reserveOrFail(m_cloud.colors, count, m_file_name);
        if (m_has[VALUE])
            reserveOrFail(m_cloud.values, count, m_file_name);
    }

    double number(std::string_view word) const
    {
        double value = 0.0;
        const auto [end, error] = fast_float::from_chars(word.data(), word.data() + word.size(), value);
        if (error != std::errc() || end != word.data() + word.size())
            fail(QStringLiteral("'%1' is not a number").arg(quoted(word)));
        return value;
    }

    static bool isChannel(double value) { return value >= 0 && value <= 255 && value == std::floor(value); }

    void readPoint(const Words &words)
    {
        if (words.count != m_columns.size())
            fail(
                QStringLiteral("expected %1 values %2, found %3")
                    .arg(m_columns.size())
                    .arg(m_named ? QStringLiteral("as the comment names them")
                                 : QStringLiteral("like the first point"))
                    .arg(words.count > MOST_COLUMNS ? QStringLiteral("more") : QString::number(words.count)));
        double v[VALUE + 1] = {};
        for (std::size_t i = 0; i < words.count; ++i) {
            const Column column = m_columns[i];
            if (column == SKIP)
                continue;
            v[column] = number(words.words[i]);
            if (!std::isfinite(v[column]))
                fail(QStringLiteral("non-finite %1 '%2'")
                         .arg(column <= Z ? QStringLiteral("coordinate") : QStringLiteral("value"),
                             quoted(words.words[i])));
            if (column >= RED && column <= BLUE && !isChannel(v[column]))
                fail(QStringLiteral("colour values must be whole numbers from 0 to 255, not '%1'")
                         .arg(quoted(words.words[i])));
        }
        appendOrFail(m_cloud.positions, Vaq::BaVec3d<double>(v[X], v[Y], v[Z]), m_file_name);
        if (m_has[NX])
            appendOrFail(
                m_cloud.normals, Vaq::BaVec3d<float>(float(v[NX]), float(v[NY]), float(v[NZ])), m_file_name);
        if (m_has[RED])
            appendOrFail(m_cloud.colors, Vaq::Color(uint8_t(v[RED]), uint8_t(v[GREEN]), uint8_t(v[BLUE])),
                m_file_name);
        if (m_has[VALUE])
            appendOrFail(m_cloud.values, float(v[VALUE]), m_file_name);
        if (m_guessing)
            guess(v[NX], v[NY], v[NZ]);
    }

    // Six unnamed values: normals while every triple is a unit vector, else colours while every
    // triple is whole numbers from 0 to 255; a file that is neither is refused at the point that
    // rules out both.
    void guess(double a, double b, double c)
    {
        m_unit = m_unit && std::abs(a * a + b * b + c * c - 1.0) < 0.02;
        m_channels = m_channels && isChannel(a) && isChannel(b) && isChannel(c);
        if (!m_unit && !m_channels)
            fail(QStringLiteral("values 4 to 6 are neither unit normals nor colours from 0 to 255 "
                                "(name them: '# x y z nx ny nz')"));
    }

    void takeColorsFromNormals()
    {
        reserveOrFail(m_cloud.colors, m_cloud.normals.size(), m_file_name);
        for (const Vaq::BaVec3d<float> &n : m_cloud.normals)
            m_cloud.colors.emplace_back(uint8_t(n.x), uint8_t(n.y), uint8_t(n.z));
        m_cloud.normals = {};
    }

    const QString &m_file_name;
    std::size_t m_line = 0;
    std::vector<Column> m_columns; // set by a naming comment or the first point
    bool m_named = false;
    bool m_has[VALUE + 1] = {};
    bool m_guessing = false;
    bool m_unit = true;
    bool m_channels = true;
    PointCloud m_cloud;
};

} // namespace

PointCloud readXyzPoints(std::string_view text, const QString &fileName, const ReleaseRead &release)
{
    return XyzReader(fileName).read(text, release);
}

} // namespace Gcad::Scene
