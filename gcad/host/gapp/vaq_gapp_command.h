// Command: one operation the application offers by name ("sys.run_benchmark"), from a menu
// (interactive) or from a script. A command registers itself with the CommandContainer when
// it is constructed and leaves it when it is deleted; the main window runs it by name.
#pragma once

#include <QString>

namespace Vaq::GApp {

class Command
{
public:
    // Registers the command under name. Throws ProgError "command already registered: <name>"
    // (or "invalid command name" for an empty one); nothing is registered then.
    Command(const QString &name, const QString &menuName, const QString &documentationId = QString());
    virtual ~Command();

    Command(const Command &) = delete;
    Command &operator=(const Command &) = delete;

    const QString &getName() const { return m_name; }
    // The translated title shown in menus and progress messages.
    const QString &getMenuName() const { return m_menu_name; }
    const QString &getDocumentationId() const { return m_documentation_id; }

    // Whether the command can run now (hardware, state of the application). Default: yes.
    virtual bool isAvailable() const;
    // The parameter text the command runs with when the user gives none.
    virtual QString getDefaultParameters() const;
    // Checks parameters before a run; false with the reason in error. Default: the command
    // takes none (Parse::checkEmptyParameters).
    virtual bool parseParameters(const QString &parameters, QString &error) const;

    // Runs with the user at hand (may open dialogs). Default: executeScript.
    virtual bool executeInteractive(const QString &parameters);
    // Runs unattended; true on success.
    virtual bool executeScript(const QString &parameters) = 0;

private:
    QString m_name;
    QString m_menu_name;
    QString m_documentation_id;
};

} // namespace Vaq::GApp
