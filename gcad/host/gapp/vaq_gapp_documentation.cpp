#include "gcad/host/gapp/vaq_gapp_documentation.h"

#include <set>

namespace Vaq::GApp {

namespace {

std::set<QString> &ids()
{
    static std::set<QString> instance;
    return instance;
}

} // namespace

void Documentation::registerId(const QString &id)
{
    if (!id.isEmpty())
        ids().insert(id);
}

bool Documentation::isRegistered(const QString &id)
{
    return ids().count(id) > 0;
}

QStringList Documentation::getIds()
{
    return QStringList(ids().begin(), ids().end());
}

} // namespace Vaq::GApp
