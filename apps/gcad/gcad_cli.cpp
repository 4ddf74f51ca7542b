#include "apps/gcad/gcad_cli.h"

#include <cstdio>

namespace Gcad {

int reportError(const QString &what, const QString &why, int status)
{
    std::fprintf(stderr, "gcad: error: %s: %s\n", what.toUtf8().constData(), why.toUtf8().constData());
    return status;
}

UsageError unknownOption(const QString &command, const QString &argument)
{
    return UsageError { argument, QStringLiteral("unknown option of '%1' (see gcad --help)").arg(command) };
}

void rejectUnknownOptions(const QString &command, const QStringList &arguments, const QStringList &known)
{
    for (const QString &argument : arguments)
        if (!known.contains(argument))
            throw unknownOption(command, argument);
}

} // namespace Gcad
