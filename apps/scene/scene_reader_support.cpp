#include "apps/scene/scene_reader_support.h"

#include <fast_float/fast_float.h>

#include <sys/mman.h>
#include <unistd.h>

#include <charconv>
#include <cstdint>

namespace Gcad::Scene {

QString quoted(std::string_view text)
{
    constexpr std::size_t LONGEST = 40;
    QString result;
    for (std::size_t i = 0; i < std::min(text.size(), LONGEST); ++i) {
        const char c = text[i];
        result += c >= 0x20 && c < 0x7f ? QChar(c) : QChar('?');
    }
    return text.size() > LONGEST ? result + QStringLiteral("...") : result;
}

void failOutOfMemory(const QString &fileName, double bytes)
{
    throw ImportError(fileName, QStringLiteral("out of memory (%1 MB needed)").arg(bytes / 1e6, 0, 'f', 1));
}

void populatePages(const void *data, std::size_t bytes)
{
    // Only whole pages: a page that starts before data may belong to another allocation.
    const uintptr_t page = uintptr_t(::sysconf(_SC_PAGESIZE));
    const uintptr_t begin = (uintptr_t(data) + page - 1) & ~(page - 1);
    const uintptr_t end = (uintptr_t(data) + bytes) & ~(page - 1);
    // Small or refused (an older kernel): the pages fault in as they are written.
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_POPULATE_WRITE);
}

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

} // namespace

bool TextCursor::skipBlanks()
{
    while (m_pos < m_text.size() && isBlank(m_text[m_pos])) {
        if (m_text[m_pos] == '\n')
            ++m_line;
        ++m_pos;
    }
    return m_pos < m_text.size();
}

void TextCursor::skipLine()
{
    const std::size_t end = m_text.find('\n', m_pos);
    m_pos = end == std::string_view::npos ? m_text.size() : end + 1;
    m_line += end == std::string_view::npos ? 0 : 1;
}

std::string_view TextCursor::word()
{
    skipBlanks();
    const std::size_t start = m_pos;
    while (m_pos < m_text.size() && !isBlank(m_text[m_pos]))
        ++m_pos;
    return m_text.substr(start, m_pos - start);
}

double TextCursor::number(const char *what)
{
    const std::string_view text = word();
    // fast_float takes no leading '+' of the mantissa; some writers put one.
    const std::size_t plus = text.size() > 1 && text[0] == '+' && text[1] != '-' ? 1 : 0;
    double value = 0.0;
    const auto [end, error] = fast_float::from_chars(text.data() + plus, text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        failFound(what, text);
    return value;
}

long long TextCursor::integer(const char *what, long long low, long long high)
{
    const std::string_view text = word();
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low
        || value > high)
        failFound(what, text);
    return value;
}

void TextCursor::expect(std::string_view keyword)
{
    const std::string_view found = word();
    if (found != keyword)
        failFound(std::string(keyword).insert(0, "'").append("'").c_str(), found);
}

void TextCursor::fail(const QString &what) const
{
    throw ImportError(m_file_name, QStringLiteral("line %1: %2").arg(m_line).arg(what));
}

void TextCursor::failFound(const char *expected, std::string_view found) const
{
    if (found.empty())
        fail(QStringLiteral("expected %1, found the end of the file").arg(QLatin1String(expected)));
    fail(QStringLiteral("expected %1, found '%2'").arg(QLatin1String(expected), quoted(found)));
}

} // namespace Gcad::Scene
