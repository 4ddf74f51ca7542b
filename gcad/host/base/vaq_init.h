// VaqInit: what the host framework knows about the application it runs in. Libraries ask it
// where their behaviour depends on the kind of application (some show more detail than
// others); the application sets it once at start-up.
#pragma once

namespace Vaq {

struct VaqInit
{
    // The kind of application, a number the host framework assigns; 0 when none was set.
    static inline int _app = 0;
};

} // namespace Vaq
