#include "gcad/host/gapp/vaq_gapp_documentation.h"

#include <QObject>
#include <QVariant>

namespace Vaq::GApp {

namespace {
const char kProperty[] = "vaq_documentation_id";
}

void Documentation::registerId(QObject *object, const QString &id)
{
    if (!object)
        return;
    object->setProperty(kProperty, id.isEmpty() ? QVariant() : QVariant(id));
}

QString Documentation::getId(const QObject *object)
{
    for (; object; object = object->parent()) {
        const QString id = object->property(kProperty).toString();
        if (!id.isEmpty())
            return id;
    }
    return QString();
}

} // namespace Vaq::GApp
