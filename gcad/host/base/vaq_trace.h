// Traces: diagnostics that do not stop the program. Each goes to standard output as
// "function(line): message" followed by a newline and a flush, so traces interleave
// correctly with a crash or with other output.
#pragma once

#include <QString>

namespace Vaq {

void trace(const char *function, int line, const QString &message);

} // namespace Vaq

#define VAQ_TRACE(function, message) ::Vaq::trace((function), __LINE__, (message))
