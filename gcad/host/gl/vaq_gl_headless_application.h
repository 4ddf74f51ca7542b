// HeadlessApplication: how a program or a test binary starts when it draws only off-screen.
// It picks Qt's offscreen platform when there is no display (or it cannot be opened), gives Qt a private runtime
// folder when the session names none (so that Qt starts without warnings), creates the
// QApplication that dialogs, cursors and event processing need; startGL makes the GL context.
#pragma once

#include <QString>

#include <memory>

class QApplication;
class QTemporaryDir;

namespace Vaq::GL {

class HeadlessApplication
{
public:
    // argc and argv as main received them; Qt takes out the options it knows. A platform
    // the user chose with QT_QPA_PLATFORM is kept.
    HeadlessApplication(int &argc, char **argv);
    ~HeadlessApplication();
    HeadlessApplication(const HeadlessApplication &) = delete;
    HeadlessApplication &operator=(const HeadlessApplication &) = delete;

    // Makes the shared GL context current, creating it on first use; false with the reason
    // when the driver offers none.
    static bool startGL(QString *error);

private:
    std::unique_ptr<QTemporaryDir> m_runtime_folder; // outlives the application
    std::unique_ptr<QApplication> m_application;
};

} // namespace Vaq::GL
