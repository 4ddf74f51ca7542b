// GLTools: the library's default GL state, which every renderer returns to after each pass.
// initDefaults establishes it and checkDefaults reads it back from GL to verify it, so a
// renderer that leaks state is caught right after it drew.
#pragma once

#include <QString>

namespace Vaq::GL {

class GLTools
{
public:
    // Lighting on; polygon mode fill front and back; depth writes on; GL_BLEND on with
    // GL_ONE, GL_ZERO; line smoothing off; polygon offset fill on; face culling off;
    // colour material off; line width 1; depth test on (GL_LEQUAL); stencil test on with
    // the stencil handler's op (GL_KEEP, GL_KEEP, GL_REPLACE).
    static void initDefaults();
    // Whether the current state is the default one; difference (optional) names the first
    // setting that differs, e.g. "GL_LINE_SMOOTH enabled".
    static bool checkDefaults(QString *difference = nullptr);
    // Tells the user that graphics memory ran out (a trace, and a message box when a
    // widget application runs).
    static void showMemoryWarning(const QString &what = QString());
};

} // namespace Vaq::GL
