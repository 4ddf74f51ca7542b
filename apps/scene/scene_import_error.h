// ImportError: a file the scene cannot take (missing, unreadable, malformed, empty ...). It
// names the file as the user gave it and says why in words meant for the user, so that a
// program can print both as they are.
#pragma once

#include <QString>

#include <exception>
#include <string>

namespace Gcad::Scene {

class ImportError : public std::exception
{
public:
    ImportError(const QString &fileName, const QString &reason)
        : m_file_name(fileName)
        , m_reason(reason)
        , m_what((fileName + QStringLiteral(": ") + reason).toStdString())
    {
    }

    const QString &fileName() const { return m_file_name; }
    const QString &reason() const { return m_reason; }
    // "<file>: <reason>"
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    QString m_file_name;
    QString m_reason;
    std::string m_what;
};

} // namespace Gcad::Scene
