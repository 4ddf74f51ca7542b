// Parameter parsing helpers for commands. A command gets its parameters as one text (from a
// script line or a dialog); these helpers check it and say what is wrong in words the user
// can act on.
#pragma once

#include <QString>

namespace Vaq::Parse {

// True when parameters holds nothing but white space. Otherwise false, and error (when
// given) becomes "no parameters expected: <parameters, trimmed>".
bool checkEmptyParameters(const QString &parameters, QString *error = nullptr);

} // namespace Vaq::Parse
