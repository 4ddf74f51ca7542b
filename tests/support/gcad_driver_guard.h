// DriverGuard: plays a driver without some extensions or with other widget options for the
// length of a test. It sets environment variables of the host's GL layer and reads the
// driver again; the destructor gives the variables their earlier values (the fallback run of
// the GL tests sets VAQ_GL_DISABLE_EXTENSIONS for the whole process) and reads it once more.
// GCAD_SKIP_WITHOUT skips a test of something the driver does not offer.
#pragma once

#include "gcad/host/gl/vaq_gl_context.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace Vaq::Test {

class DriverGuard
{
public:
    DriverGuard() = default;
    DriverGuard(const char *name, const char *value) { set(name, value); }
    ~DriverGuard()
    {
        for (const auto &[name, earlier] : m_earlier) {
            if (earlier)
                setenv(name.c_str(), earlier->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        reread();
    }
    void set(const char *name, const char *value)
    {
        if (!m_earlier.count(name)) {
            const char *earlier = std::getenv(name);
            m_earlier[name] = earlier ? std::optional<std::string>(earlier) : std::nullopt;
        }
        setenv(name, value, 1);
        reread();
    }

    // Switches extensions (comma-separated names) off beside those already switched off.
    void disableExtensions(const std::string &names)
    {
        const char *earlier = std::getenv("VAQ_GL_DISABLE_EXTENSIONS");
        set("VAQ_GL_DISABLE_EXTENSIONS", (earlier && *earlier ? earlier + (',' + names) : names).c_str());
    }

private:
    static void reread()
    {
        GL::GLExtensions::resolve();
        GL::WidgetOptions::getInstance()->updateWidgetOptions();
    }
    std::map<std::string, std::optional<std::string>> m_earlier;
};

} // namespace Vaq::Test

// capability: a flag of GL::Capabilities, e.g. GCAD_SKIP_WITHOUT(bufferObjects).
#define GCAD_SKIP_WITHOUT(capability)                                                                        \
    if (Vaq::GL::GLContext::getInstance(), Vaq::GL::GLExtensions::getCapabilities().capability) {            \
    } else                                                                                                   \
        GTEST_SKIP() << "the driver offers no " #capability
