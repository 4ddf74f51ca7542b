// Errors of the gcad program. Bad input (an unknown command or option, a bad value, a file
// that cannot be read) is a UsageError: one line "gcad: error: <what>: <why>" on standard
// error and exit status 2. Anything else that fails exits with 1.
#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>

namespace Gcad {

struct UsageError
{
    QString what;
    QString why;
};

// Prints the error line and returns the exit status for it.
int reportError(const QString &what, const QString &why, int status);

// The error for an argument that command does not know.
UsageError unknownOption(const QString &command, const QString &argument);

// Throws a UsageError for the first argument that is not in `known`.
void rejectUnknownOptions(const QString &command, const QStringList &arguments, const QStringList &known);

} // namespace Gcad
