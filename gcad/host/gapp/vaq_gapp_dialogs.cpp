#include "gcad/host/gapp/vaq_gapp_dialogs.h"

#include <QMessageBox>
#include <QPushButton>

namespace Vaq::GTools {

namespace {

DialogAnswerer &answerer()
{
    static DialogAnswerer instance;
    return instance;
}

} // namespace

void setDialogAnswerer(DialogAnswerer newAnswerer)
{
    answerer() = std::move(newAnswerer);
}

int execDialog(QDialog *dialog)
{
    if (!answerer())
        return dialog->exec();
    dialog->setResult(QDialog::Rejected);
    // Shown for the answerer's sake only: nothing appears on a screen.
    dialog->setAttribute(Qt::WA_DontShowOnScreen);
    dialog->show();
    answerer()(*dialog);
    if (dialog->isVisible())
        dialog->reject();
    return dialog->result();
}

void OkDialog(const QString &title, const QString &text, QWidget *parent)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::RichText);
    execDialog(&box);
}

bool OkCancelDialog(const QString &title, const QString &text, const QString &okText,
    const QString &cancelText, QWidget *parent)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::RichText);
    QPushButton *ok = box.addButton(okText, QMessageBox::AcceptRole);
    box.addButton(cancelText, QMessageBox::RejectRole);
    box.setDefaultButton(ok);
    execDialog(&box);
    return box.clickedButton() == ok;
}

} // namespace Vaq::GTools
