// The environment every test binary runs in: Qt's offscreen platform when no display
// exists, and a private, empty configuration folder so that no test reads or writes the
// user's files.
#pragma once

#include <QString>

namespace Vaq::Test {

// Sets up the environment; call once from main before the QApplication is created.
void setUpEnvironment();

// The configuration folder of this test run ($VAQ_CONFIG_DIR).
QString configDir();

} // namespace Vaq::Test
