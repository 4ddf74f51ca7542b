#include "gcad/host/gapp/vaq_gapp_command.h"
#include "gcad/host/gapp/vaq_gapp_main_window.h"

#include "tests/support/prog_error_message.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>
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
        activeDuringRun = MainWindow::getInstance()->getActiveCommand();
        return body ? body() : true;
    }

    bool available = true;
    std::function<bool()> body;
    QString scriptParameters = "<not run>";
    Command *activeDuringRun = nullptr;
};

class MainWindowTest : public testing::Test
{
protected:
    MainWindow window;
};

} // namespace

TEST_F(MainWindowTest, executeRunsTheScriptAndNamesEachCommandActiveWhileItRunsAndOnlyOneWindowIsAllowed)
{
    ProbeCommand inner("test.inner", "inner");
    ProbeCommand outer("test.outer", "outer");
    Command *activeAfterInner = nullptr;
    outer.body = [&] {
        const bool ok = window.execute("test.inner", "p=1");
        activeAfterInner = window.getActiveCommand();
        return ok;
    };
    EXPECT_TRUE(window.execute("test.outer", ""));
    EXPECT_EQ(inner.scriptParameters, "p=1");
    EXPECT_EQ(inner.activeDuringRun, &inner);
    EXPECT_EQ(activeAfterInner, &outer);
    EXPECT_EQ(window.getActiveCommand(), nullptr);

    EXPECT_EQ(MainWindow::getInstance(), &window);
    EXPECT_EQ(Vaq::Test::progErrorMessage([] { MainWindow second; }), "only one instance allowed");
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
    // Success clears the last error.
    command.body = nullptr;
    EXPECT_TRUE(window.execute("test.failing", ""));
    EXPECT_EQ(window.getLastError(), "");
}

TEST_F(MainWindowTest, repaintIsDeliveredOnceByTheEventLoopAndHeldUntilTheLastUnlock)
{
    QSignalSpy repaints(&window, &MainWindow::repaintRequested);
    window.requestRepaint();
    window.requestRepaint();
    EXPECT_EQ(repaints.size(), 0);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(repaints.size(), 1);

    // Locks nest: only the last unlock lets the repaint through.
    window.lockDrawing();
    window.lockDrawing();
    window.requestRepaint();
    window.unlockDrawing();
    QCoreApplication::processEvents();
    EXPECT_EQ(repaints.size(), 1);
    window.unlockDrawing();
    QCoreApplication::processEvents();
    EXPECT_EQ(repaints.size(), 2);

    EXPECT_EQ(
        Vaq::Test::progErrorMessage([&] { window.unlockDrawing(); }), "unlockDrawing without lockDrawing");
}

TEST(MainWindowMade, getInstanceMakesOneWhenTheProgramHasNone)
{
    MainWindow *made = MainWindow::getInstance();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(MainWindow::getInstance(), made);
    EXPECT_EQ(made->parent(), QCoreApplication::instance());
    delete made;
    // Deleting it early is fine: one the program makes takes its place.
    MainWindow own;
    EXPECT_EQ(MainWindow::getInstance(), &own);
}
