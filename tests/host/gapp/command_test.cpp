#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/gapp/vaq_gapp_command.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/host/gapp/vaq_gapp_documentation.h"
#include "gcad/host/gapp/vaq_gapp_parse.h"

#include "tests/support/prog_error_message.h"

#include <QObject>

#include <gtest/gtest.h>

using namespace Vaq;
using namespace Vaq::GApp;
using Vaq::Test::progErrorMessage;

namespace {

class NoOpCommand : public Command
{
public:
    using Command::Command;
    bool executeScript(const QString &) override
    {
        ++runs;
        return true;
    }
    int runs = 0;
};

} // namespace

TEST(CommandContainer, commandsRegisterOnConstructionAndLeaveOnDeletion)
{
    {
        NoOpCommand command("test.lookup", "look up");
        EXPECT_EQ(CommandContainer::getCommand("test.lookup"), &command);
        EXPECT_TRUE(CommandContainer::getCommandNames().contains("test.lookup"));
    }
    EXPECT_EQ(CommandContainer::getCommand("test.lookup"), nullptr);
    EXPECT_FALSE(CommandContainer::getCommandNames().contains("test.lookup"));

    new NoOpCommand("test.delete_a", "a");
    new NoOpCommand("test.delete_b", "b");
    CommandContainer::deleteAll();
    EXPECT_EQ(CommandContainer::getCommand("test.delete_a"), nullptr);
    EXPECT_TRUE(CommandContainer::getCommandNames().isEmpty());
}

TEST(CommandContainer, secondCommandOfTheSameNameOrABlankNameIsRefused)
{
    NoOpCommand first("test.twice", "first");
    try {
        NoOpCommand second("test.twice", "second");
        FAIL() << "second registration did not throw";
    } catch (const ProgError &e) {
        EXPECT_EQ(e.function(), "Vaq::GApp::CommandContainer::registerCommand");
        EXPECT_EQ(e.message(), "command already registered: test.twice");
    }
    // The failed one must not have taken the first out on its way.
    EXPECT_EQ(CommandContainer::getCommand("test.twice"), &first);
    EXPECT_EQ(progErrorMessage([] { NoOpCommand unnamed(" ", "blank"); }), "invalid command name");
}

TEST(CommandDefaults, takesNoParametersAndRunsTheScriptInteractively)
{
    QString error = "untouched";
    EXPECT_TRUE(Parse::checkEmptyParameters("  \t\n", &error));
    EXPECT_EQ(error, "untouched");
    EXPECT_FALSE(Parse::checkEmptyParameters("  size=3 ", &error));
    EXPECT_EQ(error, "no parameters expected: size=3");
    EXPECT_FALSE(Parse::checkEmptyParameters("x"));

    NoOpCommand command("test.defaults", "defaults", "doc_defaults");
    EXPECT_TRUE(command.parseParameters("", error));
    EXPECT_FALSE(command.parseParameters("a", error));
    EXPECT_EQ(error, "no parameters expected: a");
    EXPECT_TRUE(command.isAvailable());
    EXPECT_TRUE(command.executeInteractive(""));
    EXPECT_EQ(command.runs, 1);
}

TEST(Documentation, idIsFoundOnTheObjectOrItsNearestParent)
{
    QObject dialog;
    auto *button = new QObject(&dialog);
    auto *inner = new QObject(button);
    EXPECT_EQ(Documentation::getId(inner), "");
    Documentation::registerId(&dialog, "gcad_card_info");
    EXPECT_EQ(Documentation::getId(inner), "gcad_card_info");
    Documentation::registerId(button, "button_help");
    EXPECT_EQ(Documentation::getId(inner), "button_help");
    EXPECT_EQ(Documentation::getId(&dialog), "gcad_card_info");
    Documentation::registerId(button, "");
    EXPECT_EQ(Documentation::getId(inner), "gcad_card_info");
    EXPECT_EQ(Documentation::getId(nullptr), "");
}
