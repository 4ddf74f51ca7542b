// The application's modal dialogs answered by a test in place of the user, and the register of
// documentation ids.
#include "gcad/host/gapp/vaq_gapp_dialogs.h"
#include "gcad/host/gapp/vaq_gapp_documentation.h"

#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace Vaq;

namespace {

// Clicks the button with the text, if the dialog has one.
void click(QDialog &dialog, const QString &text)
{
    for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
        if (button->text() == text)
            button->click();
    }
}

class Dialogs : public testing::Test
{
protected:
    void TearDown() override { GTools::setDialogAnswerer({}); }
};

} // namespace

TEST_F(Dialogs, OkCancelDialogIsTrueOnlyForItsOkButton)
{
    QString title, text;
    QStringList buttons;
    QString choice;
    GTools::setDialogAnswerer([&](QDialog &dialog) {
        auto &box = static_cast<QMessageBox &>(dialog);
        title = box.windowTitle();
        text = box.text();
        buttons.clear();
        for (const QPushButton *button : box.findChildren<QPushButton *>())
            buttons << button->text();
        EXPECT_TRUE(box.isVisible());
        click(box, choice);
    });
    choice = "go";
    EXPECT_TRUE(GTools::OkCancelDialog("question", "<b>sure?</b>", "go", "stay"));
    EXPECT_EQ(title, "question");
    EXPECT_EQ(text, "<b>sure?</b>");
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({ "go", "stay" }));
    choice = "stay";
    EXPECT_FALSE(GTools::OkCancelDialog("question", "sure?", "go", "stay"));
    // Closed without a choice.
    choice.clear();
    EXPECT_FALSE(GTools::OkCancelDialog("question", "sure?", "go", "stay"));
}

TEST_F(Dialogs, ExecDialogReturnsTheAnswerAndClosesAnUnansweredDialog)
{
    QDialog dialog;
    GTools::setDialogAnswerer([](QDialog &shown) { shown.accept(); });
    EXPECT_EQ(GTools::execDialog(&dialog), QDialog::Accepted);
    // Left open: rejected, and no longer shown.
    GTools::setDialogAnswerer([](QDialog &) {});
    EXPECT_EQ(GTools::execDialog(&dialog), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());

    QString okTitle;
    GTools::setDialogAnswerer([&okTitle](QDialog &shown) { okTitle = shown.windowTitle(); });
    GTools::OkDialog("note", "text");
    EXPECT_EQ(okTitle, "note");
}

TEST(Documentation, IdsAreRegisteredOnceAndEmptyOnesIgnored)
{
    GApp::Documentation::registerId("test_page");
    GApp::Documentation::registerId("test_page");
    GApp::Documentation::registerId(QString());
    EXPECT_TRUE(GApp::Documentation::isRegistered("test_page"));
    EXPECT_FALSE(GApp::Documentation::isRegistered(QString()));
    EXPECT_EQ(GApp::Documentation::getIds().count("test_page"), 1);
}
