// Building the menu bar: each entry with its object name, caption, access key and shortcut.
#include "MainMenus.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <string>

#include "KeyHelp.h"
#include "LevelNames.h"
#include "MainWindow.h"
#include "PrintDialogs.h"

namespace quorvik {

MainMenus createMainMenus(MainWindow& window) {
    MainMenus menus;
    QMenuBar* bar = window.menuBar();
    const auto addMenu = [](auto* parent, const char* name, const char* caption) {
        QMenu* menu = parent->addMenu(QString::fromUtf8(caption));
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    // An entry of `menu`, or with no menu one that only has a shortcut.
    const auto addEntry = [&window](QMenu* menu, const std::string& name, const QString& caption,
                                    const QKeySequence& shortcut = {}) {
        QAction* action = menu != nullptr ? menu->addAction(caption) : new QAction(&window);
        action->setObjectName(QString::fromStdString(name));
        action->setShortcut(shortcut);
        // Shortcuts work wherever the focus is in the main window.
        action->setShortcutContext(Qt::WindowShortcut);
        window.addAction(action);
        return action;
    };
    // An entry that gives a command: its action calls `slot` on the window.
    const auto addCommand = [&addEntry, &window](QMenu* menu, const std::string& name,
                                                 const char* caption, auto slot,
                                                 const QKeySequence& shortcut = {}) {
        QAction* action = addEntry(menu, name, QString::fromUtf8(caption), shortcut);
        QObject::connect(action, &QAction::triggered, &window, slot);
        return action;
    };
    // A switch, checked or not at start.
    const auto addSwitch = [&addEntry](QMenu* menu, const std::string& name,
                                       const std::string& caption, bool on,
                                       const QKeySequence& shortcut = {}) {
        QAction* action = addEntry(menu, name, QString::fromStdString(caption), shortcut);
        action->setCheckable(true);
        action->setChecked(on);
        return action;
    };
    const auto addSeparator = [](QMenu* menu, const char* name) {
        QAction* separator = menu->addSeparator();
        separator->setObjectName(QLatin1String(name));
        return separator;
    };

    QMenu* spiel = addMenu(bar, "MMSpiel", "&Spiel");
    addCommand(spiel, "Neu1", "&Neu", &MainWindow::newGame, Qt::Key_F2);
    addCommand(spiel, "Spielnummer1", "&Spielnummer…", &MainWindow::askPuzzleNumber);
    addCommand(spiel, "Tagesraetsel1", "Tages&rätsel", &MainWindow::playPuzzleOfTheDay);
    addCommand(spiel, "EigenesRaetsel1", "Eigenes Rätse&l…", &MainWindow::showPuzzleEditor);
    // The puzzle on paper, and booklets of new ones.
    addSeparator(spiel, "N8");
    addCommand(
        spiel, "Drucken1", "&Drucken…", [&window] { printGame(&window, window.game()); },
        Qt::CTRL | Qt::Key_P);
    addCommand(spiel, "AlsPdfSpeichern1", "Als PDF spei&chern…",
               [&window] { saveGamePdf(&window, window.game()); });
    addCommand(spiel, "Raetselheft1", "Rätsel&heft…", [&window] {
        makeBooklet(&window, window.game().level(), window.game().difficulty());
    });
    addSeparator(spiel, "N1");
    auto* levels = new QActionGroup(&window);
    for (int level = minLevel; level <= maxLevel; ++level) {
        const LevelNames& info = levelNames(level);
        // Alt and the caption's first letter, which differs from level to level.
        QAction* action = addSwitch(spiel, std::string(info.menuName),
                                    '&' + std::string(info.caption), level == minLevel,
                                    Qt::ALT | static_cast<Qt::Key>(Qt::Key_1 + level - minLevel));
        action->setData(level);
        levels->addAction(action);
        menus.levels[static_cast<std::size_t>(level - minLevel)] = action;
    }
    // Choosing the level already checked starts a new game too.
    QObject::connect(levels, &QActionGroup::triggered, &window, &MainWindow::levelChosen);
    // Options of the game, stored with the settings.
    addSeparator(spiel, "N6");
    menus.unique = addSwitch(spiel, "EindeutigeLoesung1", "&Eindeutige Lösung", false);
    QObject::connect(menus.unique, &QAction::toggled, &window,
                     [&window](bool on) { window.game().setUniqueMode(on); });
    // The difficulty of new games: any, as always, or one of three, each with one solution.
    QMenu* difficulty = addMenu(spiel, "MMSchwierigkeit", "Sch&wierigkeit");
    difficulty->menuAction()->setObjectName(QStringLiteral("Schwierigkeit1"));
    menus.difficulty = new QActionGroup(&window);
    for (const char* caption : {"&Beliebig", "&Leicht", "&Mittel", "&Schwer"}) {
        QAction* choice = addSwitch(difficulty, std::string(caption + 1) + '1', caption, false);
        choice->setData(static_cast<int>(menus.difficulty->actions().size()));
        menus.difficulty->addAction(choice);
    }
    QObject::connect(
        menus.difficulty, &QActionGroup::triggered, &window, [&window](QAction* choice) {
            window.game().setDifficulty(static_cast<Difficulty>(choice->data().toInt()));
        });
    menus.resume = addSwitch(spiel, "Fortsetzen1", "Spiel beim nächsten Start f&ortsetzen", true);
    menus.showTime = addSwitch(spiel, "ZeitAnzeigen1", "Zeit anzei&gen", true);
    addSeparator(spiel, "N2")->setVisible(false);
    addCommand(spiel, "Zeigen1", "&Zeigen", &MainWindow::showSolution, Qt::Key_F1);
    addCommand(spiel, "Bestzeiten1", "Bes&tzeiten", &MainWindow::showBestTimes);
    addSeparator(spiel, "N3");
    addCommand(spiel, "Beenden1", "&Beenden", &QWidget::close);

    // Every move can be taken back and done again, and so can the start of a new game.
    QMenu* edit = addMenu(bar, "MMBearbeiten", "&Bearbeiten");
    menus.undo = addCommand(edit, "Rueckgaengig1", "&Rückgängig", &MainWindow::undoMove,
                            Qt::CTRL | Qt::Key_Z);
    menus.redo = addCommand(edit, "Wiederholen1", "&Wiederholen", &MainWindow::redoMove);
    menus.redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

    QMenu* helps = addMenu(bar, "MMHilfen", "&Hilfen");
    addCommand(helps, "Tipp1", "&Tipp", &MainWindow::showHint, Qt::Key_F3);
    addCommand(helps, "FehlerZeigen1", "&Fehler zeigen", &MainWindow::showMistakes, Qt::Key_F4);
    menus.tally = addSwitch(helps, "Mitzaehlen1", "&Mitzählen", false);

    // The board's size, kept with the settings.
    QMenu* view = addMenu(bar, "MMAnsicht", "&Ansicht");
    addCommand(view, "Groesser1", "&Größer", &MainWindow::zoomIn, Qt::CTRL | Qt::Key_Plus);
    addCommand(view, "Kleiner1", "&Kleiner", &MainWindow::zoomOut, Qt::CTRL | Qt::Key_Minus);
    addCommand(
        view, "Normalgroesse1", "&Normalgröße", [&window] { window.setZoom(normalZoom); },
        Qt::CTRL | Qt::Key_0);
    addSeparator(view, "N7");
    menus.fit = addSwitch(view, "Anpassen1", "An &Bildschirm anpassen", true);

    // The help menu stands last, where players look for it.
    QMenu* help = addMenu(bar, "N4", "&?");
    addCommand(help, "Anleitung1", "&Anleitung", &MainWindow::showManual);
    addCommand(help, "TastenUndHilfen1", "&Tasten und Hilfen", [&window] { showKeyHelp(&window); });
    addSeparator(help, "N5");
    addCommand(help, "Info1", "&Info", &MainWindow::showAbout);

    // F10 opens the first menu.
    addCommand(
        nullptr, "MenuF10", "", [bar] { bar->setActiveAction(bar->actions().constFirst()); },
        Qt::Key_F10);
    return menus;
}

}  // namespace quorvik
