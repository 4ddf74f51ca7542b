// CardInfoCommand: the command "sys.show_graphics_card_info", which shows the graphics card's
// data and performance index in CardInfoDialog. It takes no parameters; run from a script it
// does nothing, since nobody would see the dialog.
#pragma once

#include "gcad/host/gapp/vaq_gapp_command.h"

namespace Vaq::GCAD {

class CardInfoCommand : public GApp::Command
{
public:
    static const char *const NAME;

    CardInfoCommand();

    // Opens the dialog modally over the main window.
    bool executeInteractive(const QString &parameters) override;
    bool executeScript(const QString &parameters) override;
};

} // namespace Vaq::GCAD
