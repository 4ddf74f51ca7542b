// MenuFunctionFinishedCallback: functions the application runs after each command the main
// window executes (to refresh menus, record a macro, ...). A batch or scripted start
// disables registration, and whatever asks first (isCallbackRegistrationDisabled) knows
// that no user is at hand.
#pragma once

#include <QString>

#include <functional>

namespace Vaq::GApp {

class MenuFunctionFinishedCallback
{
public:
    using Callback = std::function<void(const QString &commandName, bool succeeded)>;

    static bool isCallbackRegistrationDisabled();
    static void setCallbackRegistrationDisabled(bool disabled);

    // Registers callback; returns its id for unregisterCallback, or 0 (nothing registered)
    // while registration is disabled.
    static int registerCallback(Callback callback);
    static void unregisterCallback(int id);

    // Runs the registered callbacks in registration order; the main window calls it.
    static void notify(const QString &commandName, bool succeeded);
};

} // namespace Vaq::GApp
