#include "tests/support/test_environment.h"

#include <QTemporaryDir>

#include <cstdlib>

namespace Vaq::Test {

namespace {
QTemporaryDir &configFolder()
{
    static QTemporaryDir folder;
    return folder;
}
} // namespace

void setUpEnvironment()
{
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("XDG_RUNTIME_DIR"))
        setenv("XDG_RUNTIME_DIR", configFolder().path().toLocal8Bit().constData(), 1);
    setenv("VAQ_CONFIG_DIR", configFolder().path().toLocal8Bit().constData(), 1);
}

QString configDir()
{
    return configFolder().path();
}

} // namespace Vaq::Test
