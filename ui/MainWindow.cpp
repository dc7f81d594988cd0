// The main window: start-up and shutdown with the settings, and the wiring of the menus, the
// dialogs, the board view and the keys to the game session; the session's signals back to the
// board, the clock and the helps.
#include "MainWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <utility>

#include "AboutWindow.h"
#include "BestTimesDialog.h"
#include "DialogKept.h"
#include "Fonts.h"
#include "HeapTrim.h"
#include "LevelNames.h"
#include "ManualWindow.h"
#include "PuzzleDialog.h"
#include "PuzzleEditor.h"
#include "StateFile.h"
#include "VersionInfo.h"
#include "WindowFrame.h"

namespace quorvik {

namespace ini = QuorvikIniFile;

MainWindow::MainWindow(Options options, QWidget* parent)
    : QMainWindow(parent),
      options_(std::move(options)),
      session_({options_.seeds, options_.clock, options_.today,
                [this] { return options_.confirmOverwrite(this); }}) {
    if (!options_.reportError) {
        options_.reportError = [](const QString& message) {
            QMessageBox::critical(nullptr, QApplication::applicationName(), message);
        };
    }
    if (!options_.confirmOverwrite) {
        options_.confirmOverwrite = [](QWidget* parent) {
            return QMessageBox::question(
                       parent, QApplication::applicationName(),
                       QStringLiteral("Ein anderes laufendes Quorvik hat inzwischen sein Spiel "
                                      "gespeichert. Soll es durch dieses Spiel ersetzt werden?"),
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
        };
    }
    setObjectName(QStringLiteral("ShipForm"));
    setWindowTitle(QStringLiteral("Quorvik"));
    setFont(windowFont());
    createPanels();
    menus_ = createMainMenus(*this);
    connect(menus_.showTime, &QAction::toggled, this, &MainWindow::showClock);
    // Switched on, the game is kept from now on; switched off, its file goes.
    connect(menus_.resume, &QAction::toggled, &session_, &GameSession::setKeepGame);
    connect(menus_.tally, &QAction::toggled, this, &MainWindow::showTally);
    zoom_ = new WindowZoom(*this, *board_, *helps_, game(), *menus_.fit);
    connect(menus_.fit, &QAction::toggled, zoom_, &WindowZoom::apply);
    // The menu bar never keeps the keys without an open menu (after Escape or a lone Alt): the
    // arrows then move the board's cursor, which is what shows.
    menuBar()->installEventFilter(this);
    // The session's signals: another game, changed elements, the clock, a game's end, a file
    // that could not be written.
    connect(&session_, &GameSession::gameReplaced, this, &MainWindow::showGame);
    connect(&session_, &GameSession::gameReplaced, this, &releaseFreeHeapSoon);
    connect(&session_, &GameSession::changed, this, [this](const ChangedElements& elements) {
        board_->refresh(elements);
        showTally();
        updateEditActions();
    });
    connect(&session_, &GameSession::clockChanged, this, &MainWindow::showClock);
    connect(&session_, &GameSession::gameEnded, helps_, &HelpBar::showEnd);
    // Complete after its end (the solution shown and taken back): the ticks show, but the
    // record has the game as not solved, and the player is told so.
    connect(&session_, &GameSession::completedAfterEnd, helps_, &HelpBar::showCompletedAfterEnd);
    connect(&session_, &GameSession::recordFailed, this,
            [this] { helps_->showEnd(false, std::nullopt); });
    connect(&session_, &GameSession::saveFailed, this, [this] {
        helps_->say(QStringLiteral("Das Spiel konnte nicht gespeichert werden: Die Datei %1 ist "
                                   "nicht beschreibbar.")
                        .arg(stateFilePath()));
    });
    // The window's smallest size is the board's, set by layoutWindow alone.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);

    // A store error is shown as start-up's error; the values read before it stay, the others
    // take their defaults, and the window still opens with a game.
    if (const std::optional<QString> error = ini::loadSettingsOrDefaults(settings_)) {
        options_.reportError(*error);
    }
    resize(settings_.width, settings_.height);
    menus_.unique->setChecked(settings_.unique);
    menus_.difficulty->actions().at(settings_.difficulty)->setChecked(true);
    game().setDifficulty(static_cast<Difficulty>(settings_.difficulty));
    menus_.resume->setChecked(settings_.resume);
    zoom_->choose(settings_.zoom);
    menus_.fit->setChecked(settings_.fitToScreen);
    menus_.showTime->setChecked(settings_.showTime);
    menus_.tally->setChecked(settings_.tally);
    // A place from which the menu bar could not be reached moves onto the primary screen before
    // the window takes it (one near the limits of int would overflow the window's geometry), and
    // once more with the level's size and with the frame once that is known.
    const auto reachable = [this, stored = QPoint(settings_.left, settings_.top)] {
        return reachablePlace(*this, stored, menuBar()->sizeHint());
    };
    move(reachable());
    // The first game: the command line's puzzle, else the game kept at the last close, else a new
    // game at the stored level.
    if (!(options_.puzzle && startPuzzle(*options_.puzzle)) &&
        !(menus_.resume->isChecked() && session_.resume(settings_.level))) {
        setLevel(settings_.level);
    }
    // With the fit on, the window then lies wholly on its screen.
    placeByFrame(*this, [this, reachable] {
        return menus_.fit->isChecked() ? zoom_->placeOnScreen(reachable()) : reachable();
    });
}

void MainWindow::createPanels() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);

    board_ = new BoardView(session_.game(), tiles_, client);
    board_->move(panelMainLeft, panelMainTop);
    connect(board_->showButton(), &QPushButton::clicked, this, &MainWindow::showSolution);
    connect(board_->newButton(), &QPushButton::clicked, this, &MainWindow::newGame);
    connect(board_, &BoardView::firstFramePainted, this, [this] { game().prepareHelps(); });
    // The keyboard cursor is for keyboard play: a mouse press hides it until the next key.
    keys_ = new BoardKeys(game(), *board_, this);
    connect(board_, &BoardView::elementPressed, keys_, &BoardKeys::hideCursor);
    connect(keys_, &BoardKeys::moveChosen, this, [this](const Move& move) { play({move}); });
    // The mouse makes the moves the keyboard makes, by the same mapping.
    connect(board_, &BoardView::elementActivated, this, [this](const ElementRef& element) {
        if (const std::optional<Move> move = BoardKeys::clickMove(game(), element)) {
            play({*move});
        }
    });
    connect(board_, &BoardView::markChosen, this, [this](const ElementRef& cell, Mark mark) {
        if (const std::optional<Move> move = BoardKeys::markMove(game(), cell, mark)) {
            play({*move});
        }
    });

    // The playing time under the buttons, in the room the buttons' panel has on every level.
    clockLabel_ = new QLabel(board_->buttonsPanel());
    clockLabel_->setObjectName(QStringLiteral("lblZeit"));
    clockLabel_->setGeometry(10, 78, 75, 18);
    clockLabel_->setAlignment(Qt::AlignCenter);
    clockTimer_ = new QTimer(this);
    clockTimer_->setInterval(250);
    connect(clockTimer_, &QTimer::timeout, this, &MainWindow::showClock);

    // The helps' bar: shown under the board only while a help has something to say.
    helps_ = new HelpBar(
        session_, *board_, [this] { zoom_->layoutWindow(); }, client);
    connect(helps_, &HelpBar::takeClicked, this, &MainWindow::takeHint);
    // The window takes the keys itself; nothing else in it takes the focus.
    setFocusPolicy(Qt::StrongFocus);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == menuBar() && event->type() == QEvent::FocusIn) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (menuBar()->hasFocus() && QApplication::activePopupWidget() == nullptr) {
                    setFocus(Qt::OtherFocusReason);
                }
            },
            Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showGame() {
    helps_->restoreEndText();
    menus_.levels[static_cast<std::size_t>(game().level() - minLevel)]->setChecked(true);
    board_->setHeading(game().isTypedIn() ? QStringLiteral("Eigenes Rätsel (%1 × %2)")
                                                .arg(game().maxCol() + 1)
                                                .arg(game().maxRow() + 1)
                                          : QString::fromStdString(levelLabel(game().level())));
    setUpdatesEnabled(false);
    helps_->clear();
    // The helps' search through the puzzle's solutions runs while the player looks at it, from
    // the first frame on, so that it does not compete with the start for the processor.
    if (board_->headingFaceSet()) {
        game().prepareHelps();
    }
    zoom_->buildBoard();
    showTally();
    zoom_->layoutWindow();
    keys_->placeFrame();
    updateEditActions();
    setUpdatesEnabled(true);
    zoom_->keepOnScreen();
    if (puzzleDialog_ != nullptr && puzzleDialog_->isVisible()) {
        puzzleDialog_->currentNumber()->setText(puzzleNumber());
    }
}

void MainWindow::askPuzzleNumber() {
    PuzzleDialog& dialog = keptDialog(puzzleDialog_, [this] {
        return new PuzzleDialog([this](const PuzzleId& id) { return startPuzzle(id); },
                                [this](const Puzzle& p) { return session_.startTypedPuzzle(p); },
                                this);
    });
    // A typed-in puzzle is not graded: on a large board that would take long.
    const std::optional<bool> one = game().knownOneSolution();
    dialog.showNumber(
        puzzleNumber(),
        !game().isTypedIn()
            ? solutionNote(one.value_or(false), game().grade(), game().builtDifficulty())
        : !one ? QStringLiteral("Ob dieses Rätsel genau eine Lösung hat, ließ sich nicht schnell "
                                "genug klären.")
        : *one ? QStringLiteral("Dieses Rätsel hat genau eine Lösung.")
               : QStringLiteral("Dieses Rätsel hat mehr als eine Lösung."));
}

void MainWindow::showPuzzleEditor() {
    if (puzzleEditor_ == nullptr) {
        puzzleEditor_ = new PuzzleEditor(
            tiles_, [this](const Puzzle& p) { return session_.startTypedPuzzle(p); }, this);
    }
    puzzleEditor_->show();
    puzzleEditor_->raise();
    puzzleEditor_->activateWindow();
}

void MainWindow::showBestTimes() {
    // A record that cannot be read is left as it is, and not shown as an empty one.
    bool readable = true;
    const Record record = readRecordFile(&readable);
    if (!readable) {
        helps_->say(QStringLiteral("Die Bestzeiten können nicht gelesen werden: Die Datei %1 ist "
                                   "nicht lesbar.")
                        .arg(recordFilePath()));
        return;
    }
    keptDialog(bestTimesDialog_, [this] {
        return new BestTimesDialog(this);
    }).showRecord(record, game().level(), session_.today());
}

void MainWindow::showClock() {
    clockLabel_->setText(QString::fromStdString(formatPlayTime(clock().elapsed())));
    clockLabel_->setVisible(menus_.showTime->isChecked());
    if (clock().running() != clockTimer_->isActive()) {
        clock().running() ? clockTimer_->start() : clockTimer_->stop();
    }
}

void MainWindow::showHint() {
    session_.markHelped();
    // Asked for again while its hint shows, the hint is taken.
    helps_->hintShown() ? takeHint() : helps_->showHint();
}

void MainWindow::levelChosen(QAction* sender) {
    settings_.level = sender->data().toInt();
    setLevel(settings_.level);
}

// The About and manual windows, like the dialogs, are built on first use and after a close.
void MainWindow::showAbout() {
    keptDialog(aboutBox_, [this] {
        return new AboutWindow(this);
    }).showVersion(programVersionText());
}

void MainWindow::showManual() {
    keptDialog(manualForm_, [this] { return new ManualWindow(this); }).showOver(frameGeometry());
}

void MainWindow::updateEditActions() {
    menus_.undo->setEnabled(game().canUndo());
    menus_.redo->setEnabled(game().canRedo());
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::ActivationChange || event->type() == QEvent::WindowStateChange) {
        // The time runs only while the player has the window in front.
        session_.setActive(isActiveWindow() && !isMinimized());
    }
    if (event->type() == QEvent::KeyPress) {
        // Tab would otherwise move the focus; on the board it switches between grid and legend.
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keys_->switchArea();
            return true;
        }
    }
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    saveAll();
    QMainWindow::closeEvent(event);
}

void MainWindow::saveAll() {
    settings_.left = x();
    settings_.top = y();
    settings_.height = height();
    settings_.width = width();
    settings_.level = game().level();
    settings_.version = programVersionText();
    settings_.unique = menus_.unique->isChecked();
    settings_.resume = menus_.resume->isChecked();
    settings_.zoom = zoom_->chosen();
    settings_.fitToScreen = menus_.fit->isChecked();
    settings_.showTime = menus_.showTime->isChecked();
    settings_.tally = menus_.tally->isChecked();
    settings_.difficulty = static_cast<std::int32_t>(game().difficulty());
    ini::saveSettings(settings_);
    if (!settings_.resume) {
        session_.endUnkeptGame();  // the game is not kept: it ends here
    }
    session_.save();
}

void MainWindow::showTally() {
    board_->setTally(menus_.tally->isChecked() ? game().liveFeedback() : LiveFeedback{});
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    const bool enter =
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    // Enter takes the hint that shows (Space still does what a click does); on a solved board,
    // where the bar tells of the solve, it does nothing.
    if (enter && helps_->hintShown()) {
        takeHint();
    } else if (!(enter && session_.boardSolved()) && !keys_->handleKey(event)) {
        QMainWindow::keyPressEvent(event);
    }
}

}  // namespace quorvik
