// The application's small modal dialogs: a message with OK, a question with OK and Cancel,
// and execDialog, through which every modal dialog of the application runs. A program
// without a user (a test, a scripted run) installs an answerer that reads and answers each
// dialog in place of the user.
#pragma once

#include <QString>

#include <functional>

class QDialog;
class QWidget;

namespace Vaq::GTools {

// Answers a dialog that execDialog shows: it may read the dialog's widgets and click its
// buttons. A dialog still open afterwards counts as closed without OK (rejected).
using DialogAnswerer = std::function<void(QDialog &dialog)>;

// Installs answerer for the dialogs shown from now on; an empty one gives them back to the
// user (QDialog::exec).
void setDialogAnswerer(DialogAnswerer answerer);

// Shows dialog modally and returns its result (QDialog::Accepted or QDialog::Rejected).
int execDialog(QDialog *dialog);

// A message titled title with the rich text and an OK button; returns when it is closed.
void OkDialog(const QString &title, const QString &text, QWidget *parent = nullptr);

// A question with the buttons okText and cancelText; true when okText was chosen.
bool OkCancelDialog(const QString &title, const QString &text, const QString &okText,
    const QString &cancelText, QWidget *parent = nullptr);

} // namespace Vaq::GTools
