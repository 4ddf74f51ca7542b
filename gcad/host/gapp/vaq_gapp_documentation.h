// Documentation: the register of help page ids. Dialogs and commands name the page that
// explains them; the application's help looks the ids up to open the right page.
#pragma once

#include <QString>
#include <QStringList>

namespace Vaq::GApp {

class Documentation
{
public:
    // Records id (registering it again is harmless); an empty id is ignored.
    static void registerId(const QString &id);
    static bool isRegistered(const QString &id);
    // All registered ids, sorted.
    static QStringList getIds();
};

} // namespace Vaq::GApp
