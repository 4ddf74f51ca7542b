#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/gapp/vaq_gapp_command.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/host/gapp/vaq_gapp_documentation.h"
#include "gcad/host/gapp/vaq_gapp_parse.h"

#include <QObject>

#include <gtest/gtest.h>

#include <memory>

using namespace Vaq;
using namespace Vaq::GApp;

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

TEST(ParseParameters, emptyOrBlankIsAcceptedAnythingElseNamed)
{
    QString error = "untouched";
    EXPECT_TRUE(Parse::checkEmptyParameters("", &error));
    EXPECT_TRUE(Parse::checkEmptyParameters("  \t\n", &error));
    EXPECT_EQ(error, "untouched");
    EXPECT_FALSE(Parse::checkEmptyParameters("  size=3 ", &error));
    EXPECT_EQ(error, "no parameters expected: size=3");
    EXPECT_FALSE(Parse::checkEmptyParameters("x"));
}

TEST(CommandContainer, commandsRegisterOnConstructionAndLeaveOnDeletion)
{
    EXPECT_EQ(CommandContainer::getCommand("test.lookup"), nullptr);
    {
        NoOpCommand command("test.lookup", "look up");
        EXPECT_EQ(CommandContainer::getCommand("test.lookup"), &command);
        EXPECT_TRUE(CommandContainer::getCommandNames().contains("test.lookup"));
        EXPECT_EQ(command.getName(), "test.lookup");
        EXPECT_EQ(command.getMenuName(), "look up");
    }
    EXPECT_EQ(CommandContainer::getCommand("test.lookup"), nullptr);
    EXPECT_FALSE(CommandContainer::getCommandNames().contains("test.lookup"));
}

TEST(CommandContainer, secondCommandOfTheSameNameIsRefused)
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

    try {
        NoOpCommand unnamed(" ", "blank");
        FAIL() << "blank name did not throw";
    } catch (const ProgError &e) {
        EXPECT_EQ(e.message(), "invalid command name");
    }
}

TEST(CommandContainer, deleteAllDeletesEveryRegisteredCommand)
{
    new NoOpCommand("test.delete_a", "a");
    new NoOpCommand("test.delete_b", "b");
    CommandContainer::deleteAll();
    EXPECT_EQ(CommandContainer::getCommand("test.delete_a"), nullptr);
    EXPECT_EQ(CommandContainer::getCommand("test.delete_b"), nullptr);
    EXPECT_TRUE(CommandContainer::getCommandNames().isEmpty());
}

TEST(CommandDefaults, takesNoParametersIsAvailableAndRunsTheScriptInteractively)
{
    NoOpCommand command("test.defaults", "defaults", "doc_defaults");
    QString error;
    EXPECT_TRUE(command.parseParameters("", error));
    EXPECT_FALSE(command.parseParameters("a", error));
    EXPECT_EQ(error, "no parameters expected: a");
    EXPECT_TRUE(command.isAvailable());
    EXPECT_EQ(command.getDefaultParameters(), "");
    EXPECT_EQ(command.getDocumentationId(), "doc_defaults");
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
