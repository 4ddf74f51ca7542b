#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/gapp/vaq_gapp_command.h"
#include "gcad/host/gapp/vaq_gapp_main_window.h"
#include "gcad/host/gapp/vaq_gapp_menu_callback.h"

#include "tests/support/test_environment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <stdexcept>

using namespace Vaq;
using namespace Vaq::GApp;

namespace {

// A command whose behaviour each test sets; it remembers how it was called.
class ProbeCommand : public Command
{
public:
    using Command::Command;

    bool isAvailable() const override { return available; }
    bool parseParameters(const QString &parameters, QString &error) const override
    {
        if (parameters == "bad") {
            error = "parameter 'bad' not understood";
            return false;
        }
        return true;
    }
    bool executeScript(const QString &parameters) override
    {
        scriptParameters = parameters;
        activeDuringRun = MainWindow::getMainWindow()->getActiveCommand();
        return body ? body() : true;
    }
    bool executeInteractive(const QString &parameters) override
    {
        interactiveParameters = parameters;
        return true;
    }

    bool available = true;
    std::function<bool()> body;
    QString scriptParameters = "<not run>";
    QString interactiveParameters = "<not run>";
    Command *activeDuringRun = nullptr;
};

class MainWindowTest : public testing::Test
{
protected:
    MainWindow window;
};

} // namespace

TEST_F(MainWindowTest, isTheProcessMainWindowAndOnlyOneIsAllowed)
{
    EXPECT_EQ(MainWindow::getMainWindow(), &window);
    try {
        MainWindow second;
        FAIL() << "second main window did not throw";
    } catch (const ProgError &e) {
        EXPECT_EQ(e.function(), "Vaq::GApp::MainWindow::MainWindow");
        EXPECT_EQ(e.message(), "only one instance allowed");
    }
    EXPECT_EQ(MainWindow::getInstance(), &window);
}

TEST_F(MainWindowTest, executeRunsTheScriptAndNamesEachCommandActiveWhileItRuns)
{
    ProbeCommand inner("test.inner", "inner");
    ProbeCommand outer("test.outer", "outer");
    Command *activeAfterInner = nullptr;
    outer.body = [&] {
        const bool ok = window.execute("test.inner", "p=1");
        activeAfterInner = window.getActiveCommand();
        return ok;
    };
    QSignalSpy finished(&window, &MainWindow::commandFinished);
    EXPECT_TRUE(window.execute("test.outer", ""));
    EXPECT_EQ(inner.scriptParameters, "p=1");
    EXPECT_EQ(inner.interactiveParameters, "<not run>");
    EXPECT_EQ(inner.activeDuringRun, &inner);
    EXPECT_EQ(outer.activeDuringRun, &outer);
    EXPECT_EQ(activeAfterInner, &outer);
    EXPECT_EQ(window.getActiveCommand(), nullptr);
    EXPECT_EQ(window.getLastError(), "");
    ASSERT_EQ(finished.size(), 2);
    EXPECT_EQ(finished[1][0].toString(), "test.outer");
    EXPECT_TRUE(finished[1][1].toBool());

    EXPECT_TRUE(window.executeInteractive("test.inner", "q"));
    EXPECT_EQ(inner.interactiveParameters, "q");
}

TEST_F(MainWindowTest, refusedFailingOrThrowingCommandsSayWhy)
{
    ProbeCommand command("test.failing", "failing");
    EXPECT_FALSE(window.execute("test.no_such_command", ""));
    EXPECT_EQ(window.getLastError(), "unknown command: test.no_such_command");
    EXPECT_FALSE(window.execute("test.failing", "bad"));
    EXPECT_EQ(window.getLastError(), "test.failing: parameter 'bad' not understood");
    command.available = false;
    EXPECT_FALSE(window.execute("test.failing", ""));
    EXPECT_EQ(window.getLastError(), "command not available: test.failing");
    EXPECT_EQ(command.scriptParameters, "<not run>");
    command.available = true;

    command.body = [] { return false; };
    EXPECT_FALSE(window.execute("test.failing", ""));
    EXPECT_EQ(window.getLastError(), "command failed: test.failing");

    command.body = []() -> bool { throw std::runtime_error("disk full"); };
    EXPECT_FALSE(window.execute("test.failing", ""));
    EXPECT_EQ(window.getLastError(), "command failed: test.failing: disk full");
    EXPECT_EQ(window.getActiveCommand(), nullptr);

    command.body = nullptr;
    EXPECT_TRUE(window.execute("test.failing", ""));
    EXPECT_EQ(window.getLastError(), "");
}

TEST_F(MainWindowTest, finishedCallbacksRunAfterEachCommandUnlessRegistrationIsDisabled)
{
    ProbeCommand command("test.callback", "callback");
    QStringList seen;
    const int id = MenuFunctionFinishedCallback::registerCallback(
        [&](const QString &name, bool ok) { seen << name + (ok ? " ok" : " failed"); });
    ASSERT_NE(id, 0);
    window.execute("test.callback", "");
    window.execute("test.callback", "bad"); // refused before running: no callback
    command.body = [] { return false; };
    window.execute("test.callback", "");
    MenuFunctionFinishedCallback::unregisterCallback(id);
    window.execute("test.callback", "");
    EXPECT_EQ(seen, QStringList({ "test.callback ok", "test.callback failed" }));

    MenuFunctionFinishedCallback::setCallbackRegistrationDisabled(true);
    EXPECT_TRUE(MenuFunctionFinishedCallback::isCallbackRegistrationDisabled());
    EXPECT_EQ(MenuFunctionFinishedCallback::registerCallback([](const QString &, bool) {}), 0);
    MenuFunctionFinishedCallback::setCallbackRegistrationDisabled(false);
}

TEST_F(MainWindowTest, repaintIsDeliveredOnceByTheEventLoopAndHeldUntilTheLastUnlock)
{
    QSignalSpy repaints(&window, &MainWindow::repaintRequested);
    EXPECT_FALSE(window.isRepaintSignalNeeded());
    window.requestRepaint();
    window.requestRepaint();
    EXPECT_TRUE(window.isRepaintSignalNeeded());
    EXPECT_EQ(repaints.size(), 0);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isRepaintSignalNeeded());
    EXPECT_EQ(repaints.size(), 1);

    // Locks nest: only the last unlock lets the repaint through.
    window.lockDrawing();
    window.lockDrawing();
    window.requestRepaint();
    window.unlockDrawing();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isDrawingLocked());
    EXPECT_EQ(window.getDrawingLockCount(), 1);
    EXPECT_TRUE(window.isRepaintSignalNeeded());
    EXPECT_EQ(repaints.size(), 1);
    window.unlockDrawing();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isRepaintSignalNeeded());
    EXPECT_EQ(repaints.size(), 2);

    try {
        window.unlockDrawing();
        FAIL() << "unmatched unlock did not throw";
    } catch (const ProgError &e) {
        EXPECT_EQ(e.function(), "Vaq::GApp::MainWindow::unlockDrawing");
        EXPECT_EQ(e.message(), "unlockDrawing without lockDrawing");
    }
    EXPECT_EQ(window.getDrawingLockCount(), 0);
}

TEST_F(MainWindowTest, statusTextIsKeptAndAnnouncedOnChange)
{
    QSignalSpy changes(&window, &MainWindow::statusTextChanged);
    window.setStatusText("run benchmark");
    window.setStatusText("run benchmark");
    EXPECT_EQ(window.getStatusText(), "run benchmark");
    window.resetStatus();
    EXPECT_EQ(window.getStatusText(), "");
    ASSERT_EQ(changes.size(), 2);
    EXPECT_EQ(changes[1][0].toString(), "");
}

TEST_F(MainWindowTest, progressGoesToTheGivenStream)
{
    std::ostringstream out;
    window.setProgressStream(&out);
    window.startProgress();
    window.setProgress(50, "run benchmark");
    window.endProgress();
    EXPECT_EQ(out.str(),
        "\r[------------------------------]   0%"
        "\r[###############---------------]  50% run benchmark"
        "\n");
    EXPECT_FALSE(window.getProgressDisplay().isActive());
}

TEST_F(MainWindowTest, saveConfigurationWritesTheProcessTree)
{
    Cfg::CfgNode &root = Cfg::getRoot();
    if (!root.exists("MainWindowTest/Saved"))
        root.addUInt("MainWindowTest/Saved", "", 0, 10, 0, 1, Cfg::CfgItem::FLAG_NONE);
    root.setUInt("MainWindowTest/Saved", 6);
    ASSERT_TRUE(window.saveConfiguration());
    QFile file(QDir(Vaq::Test::configDir()).filePath(Cfg::getRootFileName()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("MainWindowTest/Saved\tuint\t6\n"));
}

TEST(MainWindowMade, getMainWindowMakesOneWhenTheProgramHasNone)
{
    ASSERT_EQ(MainWindow::getInstance(), nullptr);
    MainWindow *made = MainWindow::getMainWindow();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(MainWindow::getMainWindow(), made);
    EXPECT_EQ(MainWindow::getInstance(), made);
    EXPECT_EQ(made->parent(), QCoreApplication::instance());
    delete made;
    EXPECT_EQ(MainWindow::getInstance(), nullptr);
}
