#include "gcad/host/gapp/vaq_gapp_parse.h"

namespace Vaq::Parse {

bool checkEmptyParameters(const QString &parameters, QString *error)
{
    const QString given = parameters.trimmed();
    if (given.isEmpty())
        return true;
    if (error)
        *error = QStringLiteral("no parameters expected: ") + given;
    return false;
}

} // namespace Vaq::Parse
