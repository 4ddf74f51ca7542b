// CommandContainer: the process-wide register of the application's commands by name.
// Commands enter and leave it themselves (constructor and destructor of Command); the
// application owns them and deletes whatever is left with deleteAll at shutdown.
#pragma once

#include <QString>
#include <QStringList>

namespace Vaq::GApp {

class Command;

class CommandContainer
{
public:
    // The command registered under name, or null.
    static Command *getCommand(const QString &name);
    // All registered names, sorted.
    static QStringList getCommandNames();
    // Deletes every registered command, the last registered first.
    static void deleteAll();

private:
    friend class Command;
    // Throws ProgError "invalid command name" or "command already registered: <name>".
    static void registerCommand(Command *command);
    static void unregisterCommand(Command *command);
};

} // namespace Vaq::GApp
