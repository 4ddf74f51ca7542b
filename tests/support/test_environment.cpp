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
    setenv("VAQ_CONFIG_DIR", configFolder().path().toLocal8Bit().constData(), 1);
}

QString configDir()
{
    return configFolder().path();
}

} // namespace Vaq::Test
