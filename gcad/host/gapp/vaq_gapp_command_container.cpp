#include "gcad/host/gapp/vaq_gapp_command_container.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/gapp/vaq_gapp_command.h"

#include <algorithm>
#include <vector>

namespace Vaq::GApp {

namespace {
// Registration order matters for deleteAll; the register is small, a vector suffices.
std::vector<Command *> &commands()
{
    static std::vector<Command *> registered;
    return registered;
}
} // namespace

Command *CommandContainer::getCommand(const QString &name)
{
    for (Command *command : commands())
        if (command->getName() == name)
            return command;
    return nullptr;
}

QStringList CommandContainer::getCommandNames()
{
    QStringList names;
    for (const Command *command : commands())
        names.append(command->getName());
    names.sort();
    return names;
}

void CommandContainer::deleteAll()
{
    // Each destructor takes its command out of the list.
    while (!commands().empty())
        delete commands().back();
}

void CommandContainer::registerCommand(Command *command)
{
    const char *function = "Vaq::GApp::CommandContainer::registerCommand";
    if (command->getName().trimmed().isEmpty())
        VAQ_PROG_ERROR(function, "invalid command name");
    if (getCommand(command->getName()))
        VAQ_PROG_ERROR(function, QStringLiteral("command already registered: ") + command->getName());
    commands().push_back(command);
}

void CommandContainer::unregisterCommand(Command *command)
{
    auto &list = commands();
    list.erase(std::remove(list.begin(), list.end(), command), list.end());
}

} // namespace Vaq::GApp
