// What the file readers share: error texts that quote a bit of the file safely, memory that is
// asked for up front with a clear "out of memory", and a cursor over text made of blank-
// separated words that knows its line.
#pragma once

#include "apps/scene/scene_import_error.h"

#include <QString>

#include <cstddef>
#include <new>
#include <string_view>
#include <vector>

namespace Gcad::Scene {

// A piece of a file as an error message quotes it: at most 40 characters, anything that is
// not printable ASCII as '?', so that a binary file read by mistake still gives one short line.
QString quoted(std::string_view text);

// Throws ImportError "out of memory (<bytes in MB> MB needed)".
[[noreturn]] void failOutOfMemory(const QString &fileName, double bytes);

// Reserves room for count elements, or throws as failOutOfMemory.
template<typename T> void reserveOrFail(std::vector<T> &values, std::size_t count, const QString &fileName)
{
    try {
        values.reserve(count);
    } catch (const std::exception &) { // std::bad_alloc, or std::length_error beyond max_size()
        failOutOfMemory(fileName, double(count) * double(sizeof(T)));
    }
}

// Maps the pages of bytes at data in one call, rather than a page fault for each page.
void populatePages(const void *data, std::size_t bytes);

// reserveOrFail for count elements that will all be written; their memory is mapped at once.
template<typename T> void reserveToFill(std::vector<T> &values, std::size_t count, const QString &fileName)
{
    reserveOrFail(values, count, fileName);
    populatePages(values.data() + values.size(), (values.capacity() - values.size()) * sizeof(T));
}

// Appends value, doubling the room through reserveOrFail when it is full.
template<typename T> void appendOrFail(std::vector<T> &values, const T &value, const QString &fileName)
{
    if (values.size() == values.capacity())
        reserveOrFail(values, std::max<std::size_t>(1024, 2 * values.capacity()), fileName);
    values.push_back(value);
}

// Words of text separated by blanks (space, tab, CR, LF, FF, VT), read from the front.
class TextCursor
{
public:
    TextCursor(std::string_view text, const QString &fileName, std::size_t offset = 0, std::size_t line = 1)
        : m_text(text)
        , m_file_name(fileName)
        , m_pos(offset)
        , m_line(line)
    {
    }

    // Skips blanks; false at the end of the text.
    bool skipBlanks();
    // Skips the rest of the line, its line end included.
    void skipLine();
    // The next word, empty at the end of the text.
    std::string_view word();
    // The next word as a number; throws "line <n>: expected <what>, found '<word>'" otherwise.
    double number(const char *what);
    // The next word as a whole number from low to high, or the error above.
    long long integer(const char *what, long long low, long long high);
    // Throws unless the next word is keyword.
    void expect(std::string_view keyword);

    [[noreturn]] void fail(const QString &what) const;
    [[noreturn]] void failFound(const char *expected, std::string_view found) const;

    std::size_t offset() const { return m_pos; }
    std::size_t line() const { return m_line; }
    const QString &fileName() const { return m_file_name; }

private:
    std::string_view m_text;
    const QString &m_file_name;
    std::size_t m_pos;
    std::size_t m_line;
};

} // namespace Gcad::Scene
