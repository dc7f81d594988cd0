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
    QMenu* spiel = bar->addMenu(QStringLiteral("&Spiel"));
    spiel->setObjectName(QStringLiteral("MMSpiel"));
    auto makeAction = [&window](QMenu* menu, const char* name, const QString& caption,
                                const QKeySequence& shortcut = {}) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        // Shortcuts work wherever the focus is in the main window.
        action->setShortcutContext(Qt::WindowShortcut);
        window.addAction(action);
        return action;
    };
    // An entry that gives a command: its action calls `slot` on the window.
    auto addCommand = [&makeAction, &window](QMenu* menu, const char* name, const QString& caption,
                                             auto slot, const QKeySequence& shortcut = {}) {
        QAction* action = makeAction(menu, name, caption, shortcut);
        QObject::connect(action, &QAction::triggered, &window, slot);
        return action;
    };
    auto addSeparator = [](QMenu* menu, const char* name) {
        QAction* separator = menu->addSeparator();
        separator->setObjectName(QLatin1String(name));
        return separator;
    };

    addCommand(spiel, "Neu1", QStringLiteral("&Neu"), &MainWindow::newGame,
               QKeySequence(Qt::Key_F2));
    addCommand(spiel, "Spielnummer1", QStringLiteral("&Spielnummer…"),
               &MainWindow::askPuzzleNumber);
    addCommand(spiel, "Tagesraetsel1", QStringLiteral("Tages&rätsel"),
               &MainWindow::playPuzzleOfTheDay);
    addCommand(spiel, "EigenesRaetsel1", QStringLiteral("Eigenes Rätse&l…"),
               &MainWindow::showPuzzleEditor);
    // The puzzle on paper, and booklets of new ones.
    addSeparator(spiel, "N8");
    addCommand(
        spiel, "Drucken1", QStringLiteral("&Drucken…"),
        [&window] { printGame(&window, window.game()); }, QKeySequence(Qt::CTRL | Qt::Key_P));
    addCommand(spiel, "AlsPdfSpeichern1", QStringLiteral("Als PDF spei&chern…"),
               [&window] { saveGamePdf(&window, window.game()); });
    addCommand(spiel, "Raetselheft1", QStringLiteral("Rätsel&heft…"), [&window] {
        makeBooklet(&window, window.game().level(), window.game().difficulty());
    });
    addSeparator(spiel, "N1");
    auto* levels = new QActionGroup(&window);
    levels->setExclusive(true);
    for (int level = minLevel; level <= maxLevel; ++level) {
        const LevelNames& info = levelNames(level);
        // Alt and the caption's first letter, which differs from level to level.
        QAction* action =
            makeAction(spiel, std::string(info.menuName).c_str(),
                       QLatin1Char('&') + QString::fromUtf8(info.caption),
                       QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_1 + level - minLevel)));
        action->setCheckable(true);
        action->setData(level);
        action->setChecked(level == minLevel);
        levels->addAction(action);
        menus.levels[static_cast<std::size_t>(level - minLevel)] = action;
    }
    // Choosing the level already checked starts a new game too.
    QObject::connect(levels, &QActionGroup::triggered, &window, &MainWindow::levelChosen);
    // Options of the game, stored with the settings.
    addSeparator(spiel, "N6");
    menus.unique = makeAction(spiel, "EindeutigeLoesung1", QStringLiteral("&Eindeutige Lösung"));
    menus.unique->setCheckable(true);
    QObject::connect(menus.unique, &QAction::toggled, &window,
                     [&window](bool on) { window.game().setUniqueMode(on); });
    // The difficulty of new games: any, as always, or one of three, each with one solution.
    QMenu* difficulty = spiel->addMenu(QStringLiteral("Sch&wierigkeit"));
    difficulty->setObjectName(QStringLiteral("MMSchwierigkeit"));
    difficulty->menuAction()->setObjectName(QStringLiteral("Schwierigkeit1"));
    menus.difficulty = new QActionGroup(&window);
    for (const char* caption : {"Beliebig", "Leicht", "Mittel", "Schwer"}) {
        QAction* choice = makeAction(difficulty, (std::string(caption) + '1').c_str(),
                                     QLatin1Char('&') + QString::fromLatin1(caption));
        choice->setCheckable(true);
        choice->setData(static_cast<int>(menus.difficulty->actions().size()));
        menus.difficulty->addAction(choice);
    }
    QObject::connect(
        menus.difficulty, &QActionGroup::triggered, &window, [&window](QAction* choice) {
            window.game().setDifficulty(static_cast<Difficulty>(choice->data().toInt()));
        });
    menus.resume =
        makeAction(spiel, "Fortsetzen1", QStringLiteral("Spiel beim nächsten Start f&ortsetzen"));
    menus.resume->setCheckable(true);
    menus.resume->setChecked(true);
    menus.showTime = makeAction(spiel, "ZeitAnzeigen1", QStringLiteral("Zeit anzei&gen"));
    menus.showTime->setCheckable(true);
    menus.showTime->setChecked(true);
    // Switched on, the game is kept from now on; switched off, its file goes.
    addSeparator(spiel, "N2")->setVisible(false);
    addCommand(spiel, "Zeigen1", QStringLiteral("&Zeigen"), &MainWindow::showSolution,
               QKeySequence(Qt::Key_F1));
    addCommand(spiel, "Bestzeiten1", QStringLiteral("Bes&tzeiten"), &MainWindow::showBestTimes);
    addSeparator(spiel, "N3");
    addCommand(spiel, "Beenden1", QStringLiteral("&Beenden"), &QWidget::close);

    // Every move can be taken back and done again, and so can the start of a new game.
    QMenu* edit = bar->addMenu(QStringLiteral("&Bearbeiten"));
    edit->setObjectName(QStringLiteral("MMBearbeiten"));
    menus.undo = addCommand(edit, "Rueckgaengig1", QStringLiteral("&Rückgängig"),
                            &MainWindow::undoMove, QKeySequence(Qt::CTRL | Qt::Key_Z));
    menus.redo = addCommand(edit, "Wiederholen1", QStringLiteral("&Wiederholen"),
                            &MainWindow::redoMove, QKeySequence(Qt::CTRL | Qt::Key_Y));
    menus.redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

    QMenu* helps = bar->addMenu(QStringLiteral("&Hilfen"));
    helps->setObjectName(QStringLiteral("MMHilfen"));
    addCommand(helps, "Tipp1", QStringLiteral("&Tipp"), &MainWindow::showHint,
               QKeySequence(Qt::Key_F3));
    addCommand(helps, "FehlerZeigen1", QStringLiteral("&Fehler zeigen"), &MainWindow::showMistakes,
               QKeySequence(Qt::Key_F4));
    menus.tally = makeAction(helps, "Mitzaehlen1", QStringLiteral("&Mitzählen"));
    menus.tally->setCheckable(true);

    // The board's size, kept with the settings.
    QMenu* view = bar->addMenu(QStringLiteral("&Ansicht"));
    view->setObjectName(QStringLiteral("MMAnsicht"));
    addCommand(view, "Groesser1", QStringLiteral("&Größer"), &MainWindow::zoomIn,
               QKeySequence(Qt::CTRL | Qt::Key_Plus));
    addCommand(view, "Kleiner1", QStringLiteral("&Kleiner"), &MainWindow::zoomOut,
               QKeySequence(Qt::CTRL | Qt::Key_Minus));
    addCommand(
        view, "Normalgroesse1", QStringLiteral("&Normalgröße"),
        [&window] { window.setZoom(normalZoom); }, QKeySequence(Qt::CTRL | Qt::Key_0));
    addSeparator(view, "N7");
    menus.fit = makeAction(view, "Anpassen1", QStringLiteral("An &Bildschirm anpassen"));
    menus.fit->setCheckable(true);
    menus.fit->setChecked(true);

    // The help menu stands last, where players look for it.
    QMenu* help = bar->addMenu(QStringLiteral("&?"));
    help->setObjectName(QStringLiteral("N4"));
    addCommand(help, "Anleitung1", QStringLiteral("&Anleitung"), &MainWindow::showManual);
    addCommand(help, "TastenUndHilfen1", QStringLiteral("&Tasten und Hilfen"),
               [&window] { showKeyHelp(&window); });
    addSeparator(help, "N5");
    addCommand(help, "Info1", QStringLiteral("&Info"), &MainWindow::showAbout);

    // F10 opens the first menu. The menu bar never keeps the keys without an open menu (after
    // Escape or a lone Alt): the arrows then move the board's cursor, which is what shows.
    auto* firstMenu = new QAction(&window);
    firstMenu->setObjectName(QStringLiteral("MenuF10"));
    firstMenu->setShortcut(QKeySequence(Qt::Key_F10));
    firstMenu->setShortcutContext(Qt::WindowShortcut);
    window.addAction(firstMenu);
    QObject::connect(firstMenu, &QAction::triggered, &window,
                     [bar] { bar->setActiveAction(bar->actions().constFirst()); });
    return menus;
}

}  // namespace quorvik
