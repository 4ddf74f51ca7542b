// DriverGuard: plays a driver without some extensions or with other widget options for the
// length of a test. It sets environment variables of the host's GL layer and reads the
// driver again; the destructor unsets them and reads it once more.
#pragma once

#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace Vaq::Test {

class DriverGuard
{
public:
    DriverGuard(const char *name, const char *value) { set(name, value); }
    ~DriverGuard()
    {
        for (const std::string &name : m_names)
            unsetenv(name.c_str());
        reread();
    }
    void set(const char *name, const char *value)
    {
        setenv(name, value, 1);
        m_names.emplace_back(name);
        reread();
    }

private:
    static void reread()
    {
        GL::GLExtensions::resolve();
        GL::WidgetOptions::getInstance()->updateWidgetOptions();
    }
    std::vector<std::string> m_names;
};

} // namespace Vaq::Test
