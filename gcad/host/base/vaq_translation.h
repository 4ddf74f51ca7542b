// Translation of user-visible texts. A library installs its catalogue once at start-up;
// texts are then translated per context with Qt's translation machinery.
#pragma once

#include <QString>

namespace Vaq {

// Installs the catalogue <name>_<locale>.qm from the first folder that has one for the current
// locale: $VAQ_TRANSLATIONS_DIR, "translations" beside the program, and the folder installed
// with the shared library that holds the host (share/<name>/translations beside its lib folder).
// Returns false when none has; texts then stay untranslated.
bool installTranslator(const QString &catalogue);

// Translates a text in a context ("GCAD_info", "GCAD_cmd", ...).
QString translate(const char *context, const char *text);

} // namespace Vaq
