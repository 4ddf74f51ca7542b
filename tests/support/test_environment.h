// The environment every test binary runs in: a private, empty configuration folder so that
// no test reads or writes the user's files. The display and runtime folder are the headless
// start's (Vaq::GL::HeadlessApplication).
#pragma once

#include <QString>

namespace Vaq::Test {

// Sets up the environment; call once from main before the application is created.
void setUpEnvironment();

// The configuration folder of this test run ($VAQ_CONFIG_DIR).
QString configDir();

} // namespace Vaq::Test
