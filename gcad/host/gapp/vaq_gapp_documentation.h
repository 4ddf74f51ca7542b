// Documentation: ties dialogs and widgets to pages of the user documentation. A help key
// looks up the id of the focused object or of the nearest parent that has one.
#pragma once

#include <QString>

class QObject;

namespace Vaq::GApp {

class Documentation
{
public:
    // Gives object the documentation id (an empty id removes it).
    static void registerId(QObject *object, const QString &id);
    // The id of object or of its nearest parent with one; empty when none has.
    static QString getId(const QObject *object);
};

} // namespace Vaq::GApp
