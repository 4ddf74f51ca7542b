#include "gcad/host/gapp/vaq_gapp_menu_callback.h"

#include <utility>
#include <vector>

namespace Vaq::GApp {

namespace {
struct Registry
{
    bool disabled = false;
    int next_id = 1;
    std::vector<std::pair<int, MenuFunctionFinishedCallback::Callback>> callbacks;
};

Registry &registry()
{
    static Registry r;
    return r;
}
} // namespace

bool MenuFunctionFinishedCallback::isCallbackRegistrationDisabled()
{
    return registry().disabled;
}

void MenuFunctionFinishedCallback::setCallbackRegistrationDisabled(bool disabled)
{
    registry().disabled = disabled;
}

int MenuFunctionFinishedCallback::registerCallback(Callback callback)
{
    Registry &r = registry();
    if (r.disabled || !callback)
        return 0;
    const int id = r.next_id++;
    r.callbacks.emplace_back(id, std::move(callback));
    return id;
}

void MenuFunctionFinishedCallback::unregisterCallback(int id)
{
    auto &list = registry().callbacks;
    std::erase_if(list, [id](const auto &entry) { return entry.first == id; });
}

void MenuFunctionFinishedCallback::notify(const QString &commandName, bool succeeded)
{
    // A copy, so that a callback may unregister itself.
    const auto callbacks = registry().callbacks;
    for (const auto &entry : callbacks)
        entry.second(commandName, succeeded);
}

} // namespace Vaq::GApp
