#include "apps/gcad/gcad_view_library.h"

#include "gcad/benchmark/gcad_board_check.h"
#include "gcad/benchmark/gcad_cmd_card_info.h"
#include "gcad/gcad_config.h"
#include "gcad/host/gapp/vaq_gapp_command.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/host/gapp/vaq_gapp_main_window.h"
#include "gcad/mesh/gcad_cmd_vertex_cache_benchmark.h"

#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace Gcad {

void addLibraryMenu(QMainWindow &window)
{
    using namespace Vaq;
    // In the status bar, so that the view keeps its place at the window's upper left corner.
    auto *button = new QToolButton(&window);
    button->setText(QStringLiteral("Graphics"));
    button->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(button);
    button->setMenu(menu);
    window.statusBar()->addPermanentWidget(button);
    for (const char *name :
        { GCAD::CardInfoCommand::NAME, GCAD::CMD_BENCHMARK_MESH, GCAD::VertexCacheBenchmarkCommand::NAME }) {
        const GApp::Command *command = GApp::CommandContainer::getCommand(QString::fromLatin1(name));
        if (!command)
            continue;
        QAction *action = menu->addAction(command->getMenuName());
        QObject::connect(action, &QAction::triggered, &window, [&window, name = command->getName()] {
            GApp::MainWindow *main = GApp::MainWindow::getInstance();
            const GApp::Command *command = GApp::CommandContainer::getCommand(name);
            if (!command)
                return;
            if (!command->isAvailable()) {
                window.statusBar()->showMessage(
                    QStringLiteral("not available with this graphics configuration"));
                return;
            }
            if (!main->executeInteractive(name, command->getDefaultParameters()))
                window.statusBar()->showMessage(main->getLastError());
        });
    }
}

void checkBoardAtStart(QMainWindow &window)
{
    Vaq::GApp::MainWindow::getInstance()->setWidget(&window);
    QTimer::singleShot(0, &window, [] {
        Vaq::GCAD::checkGraphicBoardConfiguration();
        Vaq::GApp::MainWindow::getInstance()->saveConfiguration();
    });
}

} // namespace Gcad
