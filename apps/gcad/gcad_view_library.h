// The viewer as an application of the library: the graphics board check when it starts, and
// a menu with the library's commands (card information, mesh benchmark, vertex cache
// benchmark), run as the application's main window runs commands.
#pragma once

class QMainWindow;

namespace Gcad {

// Adds the menu "Graphics", a button in the status bar, with an entry per command, titled with
// the command's menu name.
void addLibraryMenu(QMainWindow &window);

// Makes window the parent of the library's dialogs and, once the event loop runs, checks the
// graphics board as an application does at start-up, then saves the states it stored.
void checkBoardAtStart(QMainWindow &window);

} // namespace Gcad
