#include "gcad/host/gapp/vaq_gapp_main_window.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/gapp/vaq_gapp_command.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/host/gapp/vaq_gapp_menu_callback.h"
#include "gcad/host/gapp/vaq_gapp_view_settings.h"

#include <QCoreApplication>
#include <QTimer>

#include <exception>

namespace Vaq::GApp {

namespace {
MainWindow *_instance = nullptr;
}

MainWindow::MainWindow(QObject *parent)
    : QObject(parent)
{
    if (_instance)
        VAQ_PROG_ERROR("Vaq::GApp::MainWindow::MainWindow", "only one instance allowed");
    _instance = this;
    registerViewSettings(Cfg::getRoot());
}

MainWindow::~MainWindow()
{
    m_progress.end();
    if (_instance == this)
        _instance = nullptr;
}

MainWindow *MainWindow::getInstance()
{
    // Owned by the application object so that it goes with it; deleting it earlier is fine.
    if (!_instance)
        new MainWindow(QCoreApplication::instance());
    return _instance;
}

bool MainWindow::execute(const QString &commandName, const QString &parameters)
{
    return run(commandName, parameters, false);
}

bool MainWindow::executeInteractive(const QString &commandName, const QString &parameters)
{
    return run(commandName, parameters, true);
}

Command *MainWindow::getActiveCommand() const
{
    return m_active.empty() ? nullptr : m_active.back();
}

bool MainWindow::run(const QString &commandName, const QString &parameters, bool interactive)
{
    m_last_error.clear();
    Command *command = CommandContainer::getCommand(commandName);
    if (!command) {
        m_last_error = QStringLiteral("unknown command: ") + commandName;
        return false;
    }
    if (!command->isAvailable()) {
        m_last_error = QStringLiteral("command not available: ") + commandName;
        return false;
    }
    QString parameterError;
    if (!command->parseParameters(parameters, parameterError)) {
        m_last_error = commandName + QStringLiteral(": ") + parameterError;
        return false;
    }

    m_active.push_back(command);
    bool succeeded = false;
    try {
        succeeded
            = interactive ? command->executeInteractive(parameters) : command->executeScript(parameters);
        // A nested execute may have left its own error behind; this run's outcome decides.
        m_last_error = succeeded ? QString() : QStringLiteral("command failed: ") + commandName;
    } catch (const std::exception &e) {
        m_last_error = QStringLiteral("command failed: %1: %2").arg(commandName, QString::fromUtf8(e.what()));
    }
    m_active.pop_back();

    MenuFunctionFinishedCallback::notify(commandName, succeeded);
    emit commandFinished(commandName, succeeded);
    return succeeded;
}

void MainWindow::startProgress()
{
    m_progress.start();
}

void MainWindow::setProgress(int percent, const QString &text)
{
    m_progress.set(percent, text);
}

void MainWindow::endProgress()
{
    m_progress.end();
}

void MainWindow::setStatusText(const QString &text)
{
    if (text == m_status_text)
        return;
    m_status_text = text;
    emit statusTextChanged(text);
}

void MainWindow::lockDrawing()
{
    ++m_drawing_locks;
}

void MainWindow::unlockDrawing()
{
    if (m_drawing_locks == 0)
        VAQ_PROG_ERROR("Vaq::GApp::MainWindow::unlockDrawing", "unlockDrawing without lockDrawing");
    if (--m_drawing_locks == 0 && m_repaint_pending && !m_repaint_scheduled) {
        m_repaint_scheduled = true;
        QTimer::singleShot(0, this, &MainWindow::deliverRepaint);
    }
}

void MainWindow::requestRepaint()
{
    m_repaint_pending = true;
    if (m_repaint_scheduled)
        return;
    m_repaint_scheduled = true;
    QTimer::singleShot(0, this, &MainWindow::deliverRepaint);
}

void MainWindow::deliverRepaint()
{
    m_repaint_scheduled = false;
    // Held while locked; the last unlock schedules the delivery again.
    if (!m_repaint_pending || isDrawingLocked())
        return;
    m_repaint_pending = false;
    emit repaintRequested();
}

bool MainWindow::saveConfiguration()
{
    return Cfg::saveRoot();
}

} // namespace Vaq::GApp
