// The main window's menu bar: "Spiel", "Bearbeiten", "Hilfen", "Ansicht" and "?", with their
// object names, access keys and shortcuts.
#pragma once

#include <array>

#include "LevelTable.h"

class QAction;
class QActionGroup;

namespace quorvik {

class MainWindow;

// The entries whose state the window reads, sets or follows.
struct MainMenus {
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* unique = nullptr;
    QAction* resume = nullptr;
    QAction* showTime = nullptr;
    QAction* tally = nullptr;
    QAction* fit = nullptr;
    QActionGroup* difficulty = nullptr;  // "Beliebig", "Leicht", "Mittel", "Schwer": data 0 to 3
    std::array<QAction*, maxLevel - minLevel + 1> levels{};
};

// Builds the menu bar of `window` and connects the entries that call the window's commands; the
// window connects the switches it follows itself. Every shortcut works wherever the focus is in
// the window, and F10 opens the first menu.
MainMenus createMainMenus(MainWindow& window);

}  // namespace quorvik
