// GLContext: the one EGL context all off-screen views share. It is made on Mesa's
// surfaceless platform without a config or surface (no display or GPU needed), and on the
// default EGL display where that platform is missing (GPU drivers).
#pragma once

#include <QString>

namespace Vaq::GL {

class GLContext
{
public:
    // The shared context, created on first use. Throws ProgError "no OpenGL context: "
    // followed by the reason when none can be made; a later call tries again.
    static GLContext *getInstance();
    // Like getInstance(), but returns null and the reason instead of throwing.
    static GLContext *tryGetInstance(QString *error);
    // Counts created contexts, so GL names from an older context can be told stale.
    static unsigned getSerial() { return _serial; }

    // Makes the context current on this thread (no surface); false when EGL refuses.
    bool makeCurrent();
    bool isCurrent() const;
    // "surfaceless" or "default", the EGL platform the context lives on.
    const QString &getPlatform() const { return m_platform; }

    ~GLContext();

private:
    GLContext() = default;
    bool create(QString *error);

    void *m_display = nullptr;
    void *m_context = nullptr;
    QString m_platform;

    static unsigned _serial;
};

} // namespace Vaq::GL
