// gcad check: the library's start-up check of the graphics board for scripted installs. Each
// dialog the check would show is printed instead (title, texts as plain text, choices) and
// closed without a choice, which changes no setting; the states the check stores are saved
// with the configuration, so that the application's next start only tells what changed since.
#include "apps/gcad/gcad_cli.h"
#include "apps/gcad/gcad_commands.h"

#include "gcad/benchmark/gcad_board_check.h"
#include "gcad/gcad_config.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/gapp/vaq_gapp_dialogs.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QRegularExpression>

#include <cstdio>

namespace Gcad {

namespace {

// Rich text as lines: line breaks and list items start new lines, other tags go.
QString plainText(QString html)
{
    html.replace(QRegularExpression(QStringLiteral("\\s*<br>\\s*")), QStringLiteral("\n"));
    html.replace(QRegularExpression(QStringLiteral("\\s*<li>")), QStringLiteral("\n- "));
    html.replace(QRegularExpression(QStringLiteral("<[^>]*>")), QString());
    return html.trimmed();
}

void printIndented(const QString &text)
{
    for (const QString &line : text.split('\n'))
        std::printf("  %s\n", line.toUtf8().constData());
}

// What the user would see of the dialog, in the order of its widgets.
void printDialog(QDialog &dialog)
{
    std::printf("%s\n", dialog.windowTitle().toUtf8().constData());
    for (QWidget *widget : dialog.findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(&dialog))
            continue;
        if (auto *label = qobject_cast<QLabel *>(widget); label && !label->text().isEmpty())
            printIndented(plainText(label->text()));
        else if (auto *choices = qobject_cast<QComboBox *>(widget)) {
            QStringList items;
            for (int i = 0; i < choices->count(); ++i)
                items << choices->itemText(i);
            printIndented(QStringLiteral("[%1]").arg(items.join(QStringLiteral(" | "))));
        } else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            printIndented(QStringLiteral("[%1]").arg(button->text()));
    }
    std::printf("\n");
}

} // namespace

int runCheck(const QStringList &arguments)
{
    rejectUnknownOptions(QStringLiteral("check"), arguments, {});
    using namespace Vaq;
    bool told = false;
    GTools::setDialogAnswerer([&told](QDialog &dialog) {
        told = true;
        printDialog(dialog);
    });
    GCAD::checkGraphicBoardConfiguration();
    GTools::setDialogAnswerer({});
    if (!told)
        std::printf(
            "nothing to tell: the graphics board is as at the last check or has its benchmark result\n");

    const Cfg::CfgNode &root = Cfg::getRoot();
    std::printf("stored: certified %u, software rendering %u, offscreen rendering %u, driver version '%s' "
                "(1 yes, 2 no, 0 not checked)\n",
        root.getUInt(GCAD::CFG_GCAD_INFO_CERTIFIED), root.getUInt(GCAD::CFG_GCAD_INFO_SOFTWARE_RENDERING),
        root.getUInt(GCAD::CFG_GCAD_INFO_OFFSCREEN_RENDERING),
        root.getString(GCAD::CFG_GCAD_INFO_DRIVER_VERSION).toUtf8().constData());
    std::fflush(stdout);
    if (!Cfg::saveRoot())
        return reportError(Cfg::getRootFileName(), QStringLiteral("cannot save the configuration"), 1);
    return 0;
}

} // namespace Gcad
