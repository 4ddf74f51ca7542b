// ProgError: the exception for programming errors and broken invariants.
// It carries the qualified function name, the source file name, the line and the message;
// what() reads "file(line): function: message". Throw it with VAQ_PROG_ERROR so that file
// and line are filled in.
#pragma once

#include <QString>

#include <exception>
#include <string>

namespace Vaq {

class ProgError : public std::exception
{
public:
    ProgError(const QString &function, const QString &file, int line, const QString &message);

    const QString &function() const { return m_function; }
    const QString &file() const { return m_file; }
    int line() const { return m_line; }
    const QString &message() const { return m_message; }

    const char *what() const noexcept override { return m_what.c_str(); }

private:
    QString m_function;
    QString m_file;
    int m_line;
    QString m_message;
    std::string m_what;
};

// The bare source name of a path: "/a/b/gcad_rcb.cpp" gives "gcad_rcb".
QString sourceName(const char *path);

} // namespace Vaq

#define VAQ_PROG_ERROR(function, message) \
    throw ::Vaq::ProgError((function), ::Vaq::sourceName(__FILE__), __LINE__, (message))
