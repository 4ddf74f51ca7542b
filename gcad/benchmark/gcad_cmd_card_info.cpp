#include "gcad/benchmark/gcad_cmd_card_info.h"

#include "gcad/benchmark/gcad_dlg_card_info.h"
#include "gcad/host/base/vaq_translation.h"
#include "gcad/host/gapp/vaq_gapp_dialogs.h"
#include "gcad/host/gapp/vaq_gapp_main_window.h"

namespace Vaq::GCAD {

const char *const CardInfoCommand::NAME = "sys.show_graphics_card_info";

CardInfoCommand::CardInfoCommand()
    : GApp::Command(NAME, translate("GCAD_cmd", "card info"), QStringLiteral("gcad_card_info"))
{
}

bool CardInfoCommand::executeInteractive(const QString &)
{
    CardInfoDialog dialog(GApp::MainWindow::getInstance()->getWidget());
    GTools::execDialog(&dialog);
    return true;
}

bool CardInfoCommand::executeScript(const QString &)
{
    return true;
}

} // namespace Vaq::GCAD
