// The subcommands of the gcad program. Each takes the arguments after its name and returns
// the exit status; bad input is thrown as UsageError.
#pragma once

#include <QStringList>

namespace Gcad {

// Prints the graphics configuration the library sees, one "label: value" per line.
int runInfo(const QStringList &arguments);

} // namespace Gcad
