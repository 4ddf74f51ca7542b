#include "gcad/host/gapp/vaq_gapp_command.h"

#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/host/gapp/vaq_gapp_parse.h"

namespace Vaq::GApp {

Command::Command(const QString &name, const QString &menuName, const QString &documentationId)
    : m_name(name)
    , m_menu_name(menuName)
    , m_documentation_id(documentationId)
{
    CommandContainer::registerCommand(this);
}

Command::~Command()
{
    CommandContainer::unregisterCommand(this);
}

bool Command::isAvailable() const
{
    return true;
}

QString Command::getDefaultParameters() const
{
    return QString();
}

bool Command::parseParameters(const QString &parameters, QString &error) const
{
    return Parse::checkEmptyParameters(parameters, &error);
}

bool Command::executeInteractive(const QString &parameters)
{
    return executeScript(parameters);
}

} // namespace Vaq::GApp
