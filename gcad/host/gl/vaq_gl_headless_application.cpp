#include "gcad/host/gl/vaq_gl_headless_application.h"

#include "gcad/host/gl/vaq_gl_context.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>

namespace Vaq::GL {

namespace {

// Qt falls back to a folder of its own choosing when XDG_RUNTIME_DIR is missing, and says so
// on standard error at every start. A folder that only the user may enter (which Qt requires)
// and that goes with the process gives it one without the warning.
std::unique_ptr<QTemporaryDir> runtimeFolderIfMissing()
{
    if (std::getenv("XDG_RUNTIME_DIR"))
        return nullptr;
    auto folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/vaq-runtime-XXXXXX"));
    if (!folder->isValid())
        return nullptr; // Qt then falls back as it would anyway
    setenv("XDG_RUNTIME_DIR", folder->path().toLocal8Bit().constData(), 1);
    return folder;
}

} // namespace

HeadlessApplication::HeadlessApplication(int &argc, char **argv)
{
    // Every view renders into a framebuffer object, so no display is needed; a display that
    // cannot be opened leaves Qt on the offscreen platform too, instead of ending the program
    // (a window program asks platformName and says so).
    if (std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "wayland;xcb;offscreen", 0);
    else if (std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "xcb;offscreen", 0);
    else
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    m_runtime_folder = runtimeFolderIfMissing();
    m_application = std::make_unique<QApplication>(argc, argv);
}

HeadlessApplication::~HeadlessApplication() = default;

bool HeadlessApplication::startGL(QString *error)
{
    return GLContext::tryGetInstance(error) != nullptr;
}

} // namespace Vaq::GL
