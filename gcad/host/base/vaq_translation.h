// Translation of user-visible texts. A library installs its catalogue once at start-up;
// texts are then translated per context with Qt's translation machinery.
#pragma once

#include <QString>

namespace Vaq {

// Installs the catalogue <name>_<locale>.qm from the application's translation folder
// ($VAQ_TRANSLATIONS_DIR, else "translations" beside the program). Returns false when no
// catalogue exists for the current locale; texts then stay untranslated.
bool installTranslator(const QString &catalogue);

// Translates a text in a context ("GCAD_info", "GCAD_cmd", ...).
QString translate(const char *context, const char *text);

} // namespace Vaq
