#include "gcad/benchmark/gcad_board_check.h"

#include "gcad/benchmark/gcad_benchmark_result_container.h"
#include "gcad/benchmark/gcad_dlg_card_info.h"
#include "gcad/benchmark/gcad_dlg_check_board.h"
#include "gcad/gcad_config.h"
#include "gcad/host/base/vaq_translation.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/gapp/vaq_gapp_command.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/host/gapp/vaq_gapp_dialogs.h"
#include "gcad/host/gapp/vaq_gapp_main_window.h"
#include "gcad/host/gapp/vaq_gapp_menu_callback.h"
#include "gcad/host/gl/vaq_gl_graphic_card_db.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"

namespace Vaq::GCAD {

namespace {

// The host's software-rendering setting is a list: automatic, off, on.
constexpr unsigned SOFTWARE_RENDERING_ON = 2;

BoardState currentState()
{
    GL::WidgetOptions *widgetOptions = GL::WidgetOptions::getInstance();
    const GL::WidgetOptions::Options &options = widgetOptions->getCurrentWidgetOptions();
    BoardState state;
    state.softwareRendering = options.softwareRendering;
    state.offscreenAvailable = options.offscreenMode != GL::WidgetOptions::OM_OFF;
    state.driverVersion = options.driverVersion;
    state.certified = GL::GraphicCardDB::getInstance()->isDriverValid();
    return state;
}

StoredBoardState storedState(const Cfg::CfgNode &configuration)
{
    StoredBoardState stored;
    stored.certified = configuration.getUInt(CFG_GCAD_INFO_CERTIFIED);
    stored.softwareRendering = configuration.getUInt(CFG_GCAD_INFO_SOFTWARE_RENDERING);
    stored.offscreenAvailable = configuration.getUInt(CFG_GCAD_INFO_OFFSCREEN_RENDERING);
    stored.driverVersion = configuration.getString(CFG_GCAD_INFO_DRIVER_VERSION);
    return stored;
}

void storeState(Cfg::CfgNode &configuration, const BoardState &state)
{
    auto flag = [](bool value) { return value ? 1u : 2u; };
    configuration.setUInt(CFG_GCAD_INFO_CERTIFIED, flag(state.certified));
    configuration.setUInt(CFG_GCAD_INFO_SOFTWARE_RENDERING, flag(state.softwareRendering));
    configuration.setUInt(CFG_GCAD_INFO_OFFSCREEN_RENDERING, flag(state.offscreenAvailable));
    configuration.setString(CFG_GCAD_INFO_DRIVER_VERSION, state.driverVersion);
}

bool hasResultForCurrentConfiguration()
{
    BenchmarkResultContainer *store = BenchmarkResultContainer::getInstance();
    BenchmarkResult result;
    return store && store->getResult(GL::WidgetOptions::getInstance()->getCurrentWidgetOptions(), &result);
}

// Switches to software rendering for this and the next starts.
void switchToSoftwareRendering(Cfg::CfgNode &configuration, BoardState &state)
{
    configuration.setList(GL::CFG_SOFTWARE_RENDERING, SOFTWARE_RENDERING_ON);
    GApp::MainWindow::getInstance()->saveConfiguration();
    GL::WidgetOptions *widgetOptions = GL::WidgetOptions::getInstance();
    widgetOptions->setSoftwareRenderingSetting(int(SOFTWARE_RENDERING_ON));
    widgetOptions->updateWidgetOptions();
    const GL::WidgetOptions::Options &options = widgetOptions->getCurrentWidgetOptions();
    state.softwareRendering = options.softwareRendering;
    state.offscreenAvailable = options.offscreenMode != GL::WidgetOptions::OM_OFF;
}

void runBenchmarkAndShowCard(QWidget *parent)
{
    if (const GApp::Command *benchmark = GApp::CommandContainer::getCommand(CMD_BENCHMARK_MESH))
        GApp::MainWindow::getInstance()->execute(benchmark->getName(), benchmark->getDefaultParameters());
    CardInfoDialog cardInfo(parent);
    GTools::execDialog(&cardInfo);
}

} // namespace

bool isBoardStateChanged(unsigned stored, bool now)
{
    if (stored == 1)
        return !now;
    if (stored == 2)
        return now;
    return true;
}

BoardCheckPlan planBoardCheck(const BoardState &now, const StoredBoardState &stored, bool hasResult)
{
    BoardCheckPlan plan;
    bool show = false;
    if (!now.softwareRendering && now.offscreenAvailable) {
        show = !hasResult;
        if (!stored.driverVersion.isEmpty() && stored.driverVersion != now.driverVersion) {
            show = true;
            plan.driverChanged = true;
            hasResult = false;
        }
    }
    show = show || isBoardStateChanged(stored.certified, now.certified)
        || isBoardStateChanged(stored.softwareRendering, now.softwareRendering)
        || isBoardStateChanged(stored.offscreenAvailable, now.offscreenAvailable);
    if (!show)
        plan.message = BoardMessage::NONE;
    else if (now.softwareRendering)
        plan.message = BoardMessage::SOFTWARE_RENDERING;
    else if (!now.offscreenAvailable)
        plan.message = BoardMessage::OFFSCREEN_DISABLED;
    else if (!hasResult)
        plan.message = BoardMessage::CHECK_DIALOG;
    else
        plan.message = BoardMessage::STATES_ONLY;
    return plan;
}

void checkGraphicBoardConfiguration()
{
    if (GApp::MenuFunctionFinishedCallback::isCallbackRegistrationDisabled())
        return;
    Cfg::CfgNode &configuration = Cfg::getRoot();
    BoardState state = currentState();
    const BoardCheckPlan plan
        = planBoardCheck(state, storedState(configuration), hasResultForCurrentConfiguration());
    QWidget *parent = GApp::MainWindow::getInstance()->getWidget();

    switch (plan.message) {
    case BoardMessage::NONE:
        return;
    case BoardMessage::SOFTWARE_RENDERING:
        GTools::OkDialog(translate("GCAD_info", "software rendering enabled"),
            translate("GCAD_info",
                "not all graphic cards have quality OpenGL support. therefore the application will be "
                "started in software rendering mode. this has the following disadvantages:")
                + CheckBoardDialog::softwareRenderingCosts(),
            parent);
        break;
    case BoardMessage::OFFSCREEN_DISABLED:
        GTools::OkDialog(translate("GCAD_info", "offscreen rendering disabled"),
            translate("GCAD_info",
                "offscreen rendering has been disabled by the application. this happens due to limited "
                "graphic card ressources, driver incompatibility or wrong settings in the preferences. this "
                "has the following disadvantages:")
                + CheckBoardDialog::htmlList({ translate("GCAD_info", "snapshot may have incorrect areas"),
                    translate("GCAD_info", "no high resolution snapshots"),
                    translate("GCAD_info", "no optimal 3d performance"),
                    translate("GCAD_info", "no graphic card benchmark possible") }),
            parent);
        break;
    case BoardMessage::CHECK_DIALOG: {
        CheckBoardDialog dialog(state.certified, plan.driverChanged, parent);
        GTools::execDialog(&dialog);
        if (dialog.getSelection() == CheckBoardDialog::SEL_SOFTWARE_RENDERING)
            switchToSoftwareRendering(configuration, state);
        else if (dialog.getSelection() == CheckBoardDialog::SEL_HARDWARE_RENDERING)
            runBenchmarkAndShowCard(parent);
        break;
    }
    case BoardMessage::STATES_ONLY:
        break;
    }
    storeState(configuration, state);
}

} // namespace Vaq::GCAD
