#include "gcad/host/gapp/vaq_gapp_command.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/host/gapp/vaq_gapp_parse.h"

#include "tests/support/prog_error_message.h"

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

TEST(CommandContainer, commandsRegisterOnConstructionLeaveOnDeletionAndNamesAreUnique)
{
    {
        NoOpCommand command("test.lookup", "look up");
        EXPECT_EQ(CommandContainer::getCommand("test.lookup"), &command);
        EXPECT_TRUE(CommandContainer::getCommandNames().contains("test.lookup"));
    }
    EXPECT_FALSE(CommandContainer::getCommandNames().contains("test.lookup"));

    new NoOpCommand("test.delete_a", "a");
    new NoOpCommand("test.delete_b", "b");
    CommandContainer::deleteAll();
    EXPECT_EQ(CommandContainer::getCommand("test.delete_a"), nullptr);
    EXPECT_TRUE(CommandContainer::getCommandNames().isEmpty());

    NoOpCommand first("test.twice", "first");
    EXPECT_EQ(progErrorMessage([] { NoOpCommand second("test.twice", "second"); }),
        "command already registered: test.twice");
    // The failed one must not have taken the first out on its way.
    EXPECT_EQ(CommandContainer::getCommand("test.twice"), &first);
    EXPECT_EQ(progErrorMessage([] { NoOpCommand unnamed(" ", "blank"); }), "invalid command name");
}

TEST(CommandDefaults, takesNoParametersAndRunsTheScriptInteractively)
{
    QString error;
    EXPECT_TRUE(Parse::checkEmptyParameters("  \t\n", &error));
    NoOpCommand command("test.defaults", "defaults", "doc_defaults");
    EXPECT_FALSE(command.parseParameters("  size=3 ", error));
    EXPECT_EQ(error, "no parameters expected: size=3");
    EXPECT_TRUE(command.executeInteractive(""));
    EXPECT_EQ(command.runs, 1);
}
