// MainWindow: the application's central object for programs without a window. It registers
// the host's view settings on the program's configuration tree when it is created, runs
// commands by name (and knows which one is running), shows progress and a status text,
// counts drawing locks, holds repaint requests until the event loop delivers them, and saves
// the configuration. One exists per process; getInstance makes it on first use.
#pragma once

#include "gcad/host/gapp/vaq_gapp_progress.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <ostream>
#include <vector>

namespace Vaq::GApp {

class Command;

class MainWindow : public QObject
{
    Q_OBJECT

public:
    // Throws ProgError "only one instance allowed" while another main window exists.
    explicit MainWindow(QObject *parent = nullptr);
    ~MainWindow() override;

    // The main window; creates one (a child of the application object) when the program
    // made none itself.
    static MainWindow *getInstance();

    // Runs the command's executeScript with parameters; true on success. False, with the
    // reason in getLastError, for "unknown command: <name>", "command not available: <name>",
    // "<name>: <parameter error>", "command failed: <name>" and for an exception thrown by
    // the command ("command failed: <name>: <what>"), which does not leave this function.
    bool execute(const QString &commandName, const QString &parameters);
    // The same through the command's executeInteractive.
    bool executeInteractive(const QString &commandName, const QString &parameters);
    // The reason the last execute failed; empty after a success.
    const QString &getLastError() const { return m_last_error; }
    // The innermost command being executed, null when none runs.
    Command *getActiveCommand() const;

    // Progress of a long operation; see ProgressDisplay for what is shown where.
    void startProgress();
    void setProgress(int percent, const QString &text);
    void endProgress();
    ProgressDisplay &getProgressDisplay() { return m_progress; }
    // Where the progress bar goes; null silences it.
    void setProgressStream(std::ostream *stream) { m_progress.setStream(stream); }

    void setStatusText(const QString &text);
    void resetStatus() { setStatusText(QString()); }
    const QString &getStatusText() const { return m_status_text; }

    // Drawing is locked while a view is being rebuilt (resized for a snapshot, say); locks
    // nest. Throws ProgError "unlockDrawing without lockDrawing" for an unmatched unlock.
    void lockDrawing();
    void unlockDrawing();
    bool isDrawingLocked() const { return m_drawing_locks > 0; }
    int getDrawingLockCount() const { return m_drawing_locks; }

    // Asks the views to repaint. The request is delivered as the signal repaintRequested
    // once the event loop runs and drawing is not locked; several requests before that are
    // one repaint.
    void requestRepaint();
    // True while a repaint request waits for the event loop. A view that draws then is being
    // drawn by a command that has not let events run since it changed something: its picture
    // is about to be drawn again, which the renderers report as wrong signal handling.
    bool isRepaintSignalNeeded() const { return m_repaint_pending; }

    // The application's top-level window, over which its modal dialogs open; null in a
    // program without one. Not owned; forgotten when it is destroyed.
    void setWidget(QWidget *widget) { m_widget = widget; }
    QWidget *getWidget() const { return m_widget; }

    // Saves the process configuration tree (Cfg::getRoot) to its user file; false when the
    // file could not be written (the old one stays).
    bool saveConfiguration();

signals:
    void repaintRequested();
    void statusTextChanged(const QString &text);
    void commandFinished(const QString &commandName, bool succeeded);

private:
    bool run(const QString &commandName, const QString &parameters, bool interactive);
    void deliverRepaint();

    QString m_last_error;
    QPointer<QWidget> m_widget;
    std::vector<Command *> m_active;
    ProgressDisplay m_progress;
    QString m_status_text;
    int m_drawing_locks = 0;
    bool m_repaint_pending = false;
    bool m_repaint_scheduled = false;
};

} // namespace Vaq::GApp
