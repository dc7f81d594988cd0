// The main window: start-up and shutdown with the settings, the layout of each level, the legend,
// the menus and buttons, and the route from a click or a key to a move of the rules and from the
// model's state back to the pictures.
#include "QVMain.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <utility>

#include "About.h"
#include "BestTimesDialog.h"
#include "BoardKeys.h"
#include "Fonts.h"
#include "HintText.h"
#include "KeyHelp.h"
#include "LevelNames.h"
#include "ManPage.h"
#include "PrintDialogs.h"
#include "PuzzleDialog.h"
#include "QuorvikIniFile.h"
#include "ScreenFit.h"
#include "StateFile.h"
#include "VersionInfo.h"
#include "WindowFrame.h"

namespace quorvik {

namespace ini = QuorvikIniFile;

namespace {

// Margins of the board inside the window's client area, below the menu bar.
constexpr int panelMainLeft = 4;
constexpr int panelMainTop = 8;
constexpr int clientMarginRight = 4;
constexpr int clientMarginBottom = 4;

void showErrorBox(const QString& message) {
    QMessageBox::critical(nullptr, QApplication::applicationName(), message);
}

// The legend's side, from the window's outer size both ways on the screen it is on. `below` and
// `right` are the board view's sizes with the legend below the board and right of it.
LegendPlace legendSideOnScreen(const QMainWindow& window, int level, const QSize& below,
                               const QSize& right) {
    const QMargins frame = frameMargins(window);
    // Around the board view: its margins in the client area, the menu bar and the frame.
    const QSize around(panelMainLeft + clientMarginRight + frame.left() + frame.right(),
                       panelMainTop + clientMarginBottom + window.menuBar()->sizeHint().height() +
                           frame.top() + frame.bottom());
    const QScreen* screen = window.screen();
    return legendSide(levelInfo(level).legendPlace, below + around, right + around,
                      screen != nullptr ? screen->availableGeometry().size() : QSize());
}

// What the session takes of the window's options; `options` is the window's own, read when a
// question comes up.
GameSession::Options sessionOptions(const TShipForm::Options& options, QWidget* window) {
    return {options.seeds, options.clock, options.today,
            [&options, window] { return options.confirmOverwrite(window); }};
}

}  // namespace

TShipForm::TShipForm(QWidget* parent) : TShipForm(Options{}, parent) {}

TShipForm::TShipForm(Options options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)), session_(sessionOptions(options_, this)) {
    if (!options_.reportError) {
        options_.reportError = showErrorBox;
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
    FormCreate();
}

TShipForm::~TShipForm() = default;

void TShipForm::FormCreate() {
    setObjectName(QStringLiteral("ShipForm"));
    setWindowTitle(QStringLiteral("Quorvik"));
    setFont(windowFont());
    createPanels();
    createMenus();
    connectSession();
    // The window's smallest size is the board's, set by layoutWindow alone.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);

    FVersion_ = programVersionText();
    // A store error is shown as start-up's error; the values read before it stay, the others
    // take their defaults, and the window still opens with a game.
    if (const std::optional<QString> error = ini::LoadSettingsOrDefaults(settings_)) {
        options_.reportError(*error);
    }
    resize(settings_.X2, settings_.Y2);
    uniqueAction_->setChecked(settings_.Unique);
    difficultyGroup_->actions().at(settings_.Difficulty)->setChecked(true);
    game().setDifficulty(static_cast<Difficulty>(settings_.Difficulty));
    resumeAction_->setChecked(settings_.Resume);
    zoom_ = nearestZoomStep(settings_.Zoom);
    fitAction_->setChecked(settings_.Fit);
    showTimeAction_->setChecked(settings_.ShowTime);
    tallyAction_->setChecked(settings_.Tally);
    // A place from which the menu bar could not be reached moves onto the primary screen before
    // the window takes it (one near the limits of int would overflow the window's geometry), and
    // once more with the level's size and with the frame once that is known.
    const auto reachable = [this, stored = QPoint(settings_.X1, settings_.Y1)] {
        return reachablePlace(*this, stored, menuBar()->sizeHint());
    };
    move(reachable());
    startFirstGame(settings_.Lev);
    // With the fit on, the window then lies wholly on its screen.
    placeByFrame(*this, [this, reachable] {
        return fitAction_->isChecked() ? placeOnScreen(reachable()) : reachable();
    });
}

void TShipForm::connectSession() {
    connect(&session_, &GameSession::gameReplaced, this, &TShipForm::showGame);
    connect(&session_, &GameSession::changed, this, [this](const ChangedElements& elements) {
        refresh(elements);
        updateEditActions();
    });
    connect(&session_, &GameSession::clockChanged, this, &TShipForm::showClock);
    connect(&session_, &GameSession::gameEnded, this, &TShipForm::showEnd);
    // Complete after its end (the solution shown and taken back): the ticks show, but the
    // record has the game as not solved, and the player is told so.
    connect(&session_, &GameSession::completedAfterEnd, this, [this] {
        if (solvedText_.isEmpty()) {
            showHelp(endText(), {}, FrameKind::Hint, false);
        }
    });
    connect(&session_, &GameSession::recordFailed, this,
            [this] { showHelp(notRecordedText(), {}, FrameKind::Hint, false); });
    connect(&session_, &GameSession::saveFailed, this, [this] {
        showHelp(QStringLiteral("Das Spiel konnte nicht gespeichert werden: Die Datei %1 ist "
                                "nicht beschreibbar.")
                     .arg(stateFilePath()),
                 {}, FrameKind::Hint, false);
    });
}

void TShipForm::createPanels() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);

    board_ = new TBoardView(session_.game(), ImageList1, client);
    board_->move(panelMainLeft, panelMainTop);
    connect(board_->showButton(), &QPushButton::clicked, this, &TShipForm::Zeigen1Click);
    connect(board_->newButton(), &QPushButton::clicked, this, &TShipForm::Neu1Click);
    // The keyboard cursor is for keyboard play: a mouse press hides it until the next key.
    keys_ = new BoardKeys(game(), *board_, this);
    connect(board_, &TBoardView::elementPressed, keys_, &BoardKeys::hideCursor);
    connect(keys_, &BoardKeys::moveChosen, this, [this](const Move& move) { play({move}); });
    // The mouse makes the moves the keyboard makes, by the same mapping.
    connect(board_, &TBoardView::elementActivated, this, [this](const ElementRef& element) {
        if (const std::optional<Move> move = BoardKeys::clickMove(game(), element)) {
            play({*move});
        }
    });
    connect(board_, &TBoardView::markChosen, this, [this](const ElementRef& cell, int code) {
        if (const std::optional<Move> move = BoardKeys::markMove(game(), cell, code)) {
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
    connect(clockTimer_, &QTimer::timeout, this, &TShipForm::showClock);

    // The helps' bar: shown under the board only while a help has something to say.
    helpBar_ = new QFrame(client);
    helpBar_->setObjectName(QStringLiteral("PanelHilfe"));
    helpBar_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    helpLabel_ = new QLabel(helpBar_);
    helpLabel_->setObjectName(QStringLiteral("lblHilfe"));
    helpLabel_->setWordWrap(true);
    helpTake_ = new QPushButton(QStringLiteral("Übernehmen"), helpBar_);
    helpTake_->setObjectName(QStringLiteral("btnUebernehmen"));
    helpTake_->setFocusPolicy(Qt::NoFocus);
    helpTake_->setToolTip(QStringLiteral("Übernimmt den Tipp (Eingabetaste oder noch einmal F3)"));
    connect(helpTake_, &QPushButton::clicked, this, &TShipForm::takeHint);
    helpBar_->hide();
    // The window takes the keys itself; nothing else in it takes the focus.
    setFocusPolicy(Qt::StrongFocus);
}

void TShipForm::createMenus() {
    QMenu* spiel = menuBar()->addMenu(QStringLiteral("&Spiel"));
    spiel->setObjectName(QStringLiteral("MMSpiel"));
    auto makeAction = [this](QMenu* menu, const char* name, const QString& caption,
                             const QKeySequence& shortcut = {}) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        // Shortcuts work wherever the focus is in the main window.
        action->setShortcutContext(Qt::WindowShortcut);
        this->addAction(action);
        return action;
    };
    auto addSeparator = [](QMenu* menu, const char* name) {
        QAction* separator = menu->addSeparator();
        separator->setObjectName(QLatin1String(name));
        return separator;
    };

    connect(makeAction(spiel, "Neu1", QStringLiteral("&Neu"), QKeySequence(Qt::Key_F2)),
            &QAction::triggered, this, &TShipForm::Neu1Click);
    connect(makeAction(spiel, "Spielnummer1", QStringLiteral("&Spielnummer…")), &QAction::triggered,
            this, &TShipForm::Spielnummer1Click);
    connect(makeAction(spiel, "Tagesraetsel1", QStringLiteral("Tages&rätsel")), &QAction::triggered,
            this, &TShipForm::Tagesraetsel1Click);
    // The puzzle on paper, and booklets of new ones.
    addSeparator(spiel, "N8");
    connect(makeAction(spiel, "Drucken1", QStringLiteral("&Drucken…"),
                       QKeySequence(Qt::CTRL | Qt::Key_P)),
            &QAction::triggered, this, [this] { printGame(this, game()); });
    connect(makeAction(spiel, "AlsPdfSpeichern1", QStringLiteral("Als PDF spei&chern…")),
            &QAction::triggered, this, [this] { saveGamePdf(this, game()); });
    connect(makeAction(spiel, "Raetselheft1", QStringLiteral("Rätsel&heft…")), &QAction::triggered,
            this, [this] { makeBooklet(this, game().level(), game().difficulty()); });
    addSeparator(spiel, "N1");
    levelGroup_ = new QActionGroup(this);
    levelGroup_->setExclusive(true);
    for (int level = minLevel; level <= maxLevel; ++level) {
        const LevelNames& info = levelNames(level);
        // Alt and the caption's first letter, which differs from level to level.
        QAction* action = makeAction(
            spiel, std::string(info.menuName).c_str(),
            QLatin1Char('&') +
                QString::fromUtf8(info.caption.data(), static_cast<qsizetype>(info.caption.size())),
            QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_1 + level - minLevel)));
        action->setCheckable(true);
        action->setData(level);
        action->setChecked(level == minLevel);
        levelGroup_->addAction(action);
        levelActions_[static_cast<std::size_t>(level - minLevel)] = action;
    }
    // Choosing the level already checked starts a new game too.
    connect(levelGroup_, &QActionGroup::triggered, this, &TShipForm::TMMLevelClick);
    // Options of the game, stored with the settings.
    addSeparator(spiel, "N6");
    uniqueAction_ = makeAction(spiel, "EindeutigeLoesung1", QStringLiteral("&Eindeutige Lösung"));
    uniqueAction_->setCheckable(true);
    connect(uniqueAction_, &QAction::toggled, this, [this](bool on) { game().setUniqueMode(on); });
    // The difficulty of new games: any, as always, or one of three, each with one solution.
    QMenu* difficulty = spiel->addMenu(QStringLiteral("Sch&wierigkeit"));
    difficulty->setObjectName(QStringLiteral("MMSchwierigkeit"));
    difficulty->menuAction()->setObjectName(QStringLiteral("Schwierigkeit1"));
    difficultyGroup_ = new QActionGroup(this);
    for (const char* caption : {"Beliebig", "Leicht", "Mittel", "Schwer"}) {
        QAction* choice = makeAction(difficulty, (std::string(caption) + '1').c_str(),
                                     QLatin1Char('&') + QString::fromLatin1(caption));
        choice->setCheckable(true);
        choice->setData(static_cast<int>(difficultyGroup_->actions().size()));
        difficultyGroup_->addAction(choice);
    }
    connect(difficultyGroup_, &QActionGroup::triggered, this, [this](QAction* choice) {
        game().setDifficulty(static_cast<Difficulty>(choice->data().toInt()));
    });
    resumeAction_ =
        makeAction(spiel, "Fortsetzen1", QStringLiteral("Spiel beim nächsten Start f&ortsetzen"));
    resumeAction_->setCheckable(true);
    resumeAction_->setChecked(true);
    showTimeAction_ = makeAction(spiel, "ZeitAnzeigen1", QStringLiteral("Zeit anzei&gen"));
    showTimeAction_->setCheckable(true);
    showTimeAction_->setChecked(true);
    connect(showTimeAction_, &QAction::toggled, this, &TShipForm::showClock);
    // Switched on, the game is kept from now on; switched off, its file goes.
    connect(resumeAction_, &QAction::toggled, &session_, &GameSession::setKeepGame);
    addSeparator(spiel, "N2")->setVisible(false);
    connect(makeAction(spiel, "Zeigen1", QStringLiteral("&Zeigen"), QKeySequence(Qt::Key_F1)),
            &QAction::triggered, this, &TShipForm::Zeigen1Click);
    connect(makeAction(spiel, "Bestzeiten1", QStringLiteral("Bes&tzeiten")), &QAction::triggered,
            this, &TShipForm::Bestzeiten1Click);
    addSeparator(spiel, "N3");
    connect(makeAction(spiel, "Beenden1", QStringLiteral("&Beenden")), &QAction::triggered, this,
            &QWidget::close);

    // Every move can be taken back and done again, and so can the start of a new game.
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Bearbeiten"));
    edit->setObjectName(QStringLiteral("MMBearbeiten"));
    undoAction_ = makeAction(edit, "Rueckgaengig1", QStringLiteral("&Rückgängig"),
                             QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(undoAction_, &QAction::triggered, this, &TShipForm::undoMove);
    redoAction_ = makeAction(edit, "Wiederholen1", QStringLiteral("&Wiederholen"),
                             QKeySequence(Qt::CTRL | Qt::Key_Y));
    redoAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(redoAction_, &QAction::triggered, this, &TShipForm::redoMove);

    QMenu* helps = menuBar()->addMenu(QStringLiteral("&Hilfen"));
    helps->setObjectName(QStringLiteral("MMHilfen"));
    connect(makeAction(helps, "Tipp1", QStringLiteral("&Tipp"), QKeySequence(Qt::Key_F3)),
            &QAction::triggered, this, &TShipForm::Tipp1Click);
    connect(makeAction(helps, "FehlerZeigen1", QStringLiteral("&Fehler zeigen"),
                       QKeySequence(Qt::Key_F4)),
            &QAction::triggered, this, &TShipForm::FehlerZeigen1Click);
    tallyAction_ = makeAction(helps, "Mitzaehlen1", QStringLiteral("&Mitzählen"));
    tallyAction_->setCheckable(true);
    connect(tallyAction_, &QAction::toggled, this, [this] { refresh({}); });

    // The board's size, kept with the settings.
    QMenu* view = menuBar()->addMenu(QStringLiteral("&Ansicht"));
    view->setObjectName(QStringLiteral("MMAnsicht"));
    connect(makeAction(view, "Groesser1", QStringLiteral("&Größer"),
                       QKeySequence(Qt::CTRL | Qt::Key_Plus)),
            &QAction::triggered, this, &TShipForm::zoomIn);
    connect(makeAction(view, "Kleiner1", QStringLiteral("&Kleiner"),
                       QKeySequence(Qt::CTRL | Qt::Key_Minus)),
            &QAction::triggered, this, &TShipForm::zoomOut);
    connect(makeAction(view, "Normalgroesse1", QStringLiteral("&Normalgröße"),
                       QKeySequence(Qt::CTRL | Qt::Key_0)),
            &QAction::triggered, this, [this] { setZoom(normalZoom); });
    addSeparator(view, "N7");
    fitAction_ = makeAction(view, "Anpassen1", QStringLiteral("An &Bildschirm anpassen"));
    fitAction_->setCheckable(true);
    fitAction_->setChecked(true);
    connect(fitAction_, &QAction::toggled, this, [this] { applyZoom(); });

    // The help menu stands last, where players look for it.
    QMenu* help = menuBar()->addMenu(QStringLiteral("&?"));
    help->setObjectName(QStringLiteral("N4"));
    connect(makeAction(help, "Anleitung1", QStringLiteral("&Anleitung")), &QAction::triggered, this,
            &TShipForm::Anleitung1Click);
    connect(makeAction(help, "TastenUndHilfen1", QStringLiteral("&Tasten und Hilfen")),
            &QAction::triggered, this, [this] { showKeyHelp(this); });
    addSeparator(help, "N5");
    connect(makeAction(help, "Info1", QStringLiteral("&Info")), &QAction::triggered, this,
            &TShipForm::Info1Click);

    // F10 opens the first menu. The menu bar never keeps the keys without an open menu (after
    // Escape or a lone Alt): the arrows then move the board's cursor, which is what shows.
    auto* firstMenu = new QAction(this);
    firstMenu->setObjectName(QStringLiteral("MenuF10"));
    firstMenu->setShortcut(QKeySequence(Qt::Key_F10));
    firstMenu->setShortcutContext(Qt::WindowShortcut);
    addAction(firstMenu);
    connect(firstMenu, &QAction::triggered, this,
            [this] { menuBar()->setActiveAction(menuBar()->actions().constFirst()); });
    menuBar()->installEventFilter(this);
}

bool TShipForm::eventFilter(QObject* watched, QEvent* event) {
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

// --- Level, new game, solution ---

void TShipForm::SetLevel(int level) {
    session_.setLevel(level);
}

void TShipForm::showGame() {
    restoreEndText();
    showLevel();
    BuildBoard();
    if (puzzleDialog_ != nullptr && puzzleDialog_->isVisible()) {
        puzzleDialog_->currentNumber()->setText(puzzleNumber());
    }
}

void TShipForm::showLevel() {
    levelActions_[static_cast<std::size_t>(game().level() - minLevel)]->setChecked(true);
    board_->setHeading(QString::fromStdString(levelLabel(game().level())));
}

// --- Puzzle numbers ---

QString TShipForm::puzzleNumber() const {
    return session_.puzzleNumber();
}

bool TShipForm::startPuzzle(const PuzzleId& id) {
    return session_.startPuzzle(id);
}

void TShipForm::Spielnummer1Click() {
    if (puzzleDialog_ == nullptr) {
        puzzleDialog_ =
            new TPuzzleDialog([this](const PuzzleId& id) { return startPuzzle(id); }, this);
    }
    puzzleDialog_->showNumber(puzzleNumber(), solutionNote(game().hasOneSolution(), game().grade(),
                                                           game().builtDifficulty()));
}

void TShipForm::Tagesraetsel1Click() {
    session_.startDailyPuzzle();
}

void TShipForm::Bestzeiten1Click() {
    if (bestTimesDialog_ == nullptr) {
        bestTimesDialog_ = new TBestTimesDialog(this);
    }
    // A record that cannot be read is left as it is, and not shown as an empty one.
    bool readable = true;
    const Record record = readRecordFile(&readable);
    if (!readable) {
        showHelp(QStringLiteral("Die Bestzeiten können nicht gelesen werden: Die Datei %1 ist "
                                "nicht lesbar.")
                     .arg(recordFilePath()),
                 {}, FrameKind::Hint, false);
        return;
    }
    bestTimesDialog_->showRecord(record, game().level(), session_.today());
}

// --- The clock and the record ---

QString TShipForm::notRecordedText() {
    return QStringLiteral("Das Ergebnis konnte nicht in die Bestzeiten eingetragen werden.");
}

void TShipForm::showEnd(bool solved, std::optional<int> place) {
    const QString note = place ? QString() : notRecordedText();
    if (solved) {
        solvedText_ = solvedText(clock().elapsed(), session_.timedLevel(), session_.timedTable(),
                                 place.value_or(0));
        showHelp(note.isEmpty() ? solvedText_ : solvedText_ + u' ' + note, {}, FrameKind::Hint,
                 false);
    } else if (!note.isEmpty()) {
        showHelp(note, {}, FrameKind::Hint, false);
    }
}

QString TShipForm::clockText() const {
    return !clockLabel_->isHidden() ? clockLabel_->text() : QString();
}

void TShipForm::showClock() {
    clockLabel_->setText(QString::fromStdString(formatPlayTime(clock().elapsed())));
    clockLabel_->setVisible(showTimeAction_->isChecked());
    if (clock().running() != clockTimer_->isActive()) {
        clock().running() ? clockTimer_->start() : clockTimer_->stop();
    }
}

void TShipForm::startFirstGame(int storedLevel) {
    if (options_.puzzle && startPuzzle(*options_.puzzle)) {
        return;
    }
    if (resumeAction_->isChecked() && session_.resume()) {
        return;
    }
    SetLevel(storedLevel);
}

void TShipForm::saveGameInProgress() {
    session_.save();
}

// --- The helps ---

void TShipForm::Tipp1Click() {
    session_.markHelped();
    // Asked for again while its hint shows, the hint is taken.
    if (hintShown()) {
        takeHint();
        return;
    }
    // A finished board keeps the sentence of its end: there is nothing left to hint.
    if (session_.boardSolved()) {
        showHelp(endText(), {}, FrameKind::Hint, false);
        return;
    }
    hint_ = game().nextHint();
    const QString text = hintSentence(hint_);
    const bool takeable =
        hint_.kind != ShipGame::Hint::Kind::Solved && hint_.kind != ShipGame::Hint::Kind::Shown;
    showHelp(text, hint_.cells,
             hint_.kind == ShipGame::Hint::Kind::OtherSolution ? FrameKind::OtherSolution
                                                               : FrameKind::Hint,
             takeable);
}

void TShipForm::takeHint() {
    const std::vector<Move> moves = game().hintMoves(hint_);
    hint_ = {};
    play(moves);
}

void TShipForm::FehlerZeigen1Click() {
    session_.markHelped();
    if (game().solutionShown()) {
        showHelp(solutionShownText(), {}, FrameKind::Mistake, false);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ShipGame::Mistakes wrong = game().mistakes();
    QApplication::restoreOverrideCursor();
    const QString text = mistakesSentence(wrong.impossible.size(), wrong.otherSolution.size());
    showHelp(text, wrong.impossible, FrameKind::Mistake, false, wrong.otherSolution);
}

QString TShipForm::endText() const {
    return !solvedText_.isEmpty()
               ? solvedText_
               : QStringLiteral(
                     "Alle Schiffe sind gefunden, aber dieses Spiel zählt nicht als gelöst: Es "
                     "war schon beendet, mit „Zeigen“ oder einem neuen Spiel.");
}

void TShipForm::restoreEndText() {
    solvedText_ =
        clock().ended() && session_.boardSolved()
            ? solvedText(clock().elapsed(), session_.timedLevel(), session_.timedTable(), 0)
            : QString();
}

bool TShipForm::hintShown() const {
    return !helpBar_->isHidden() && !helpTake_->isHidden();
}

void TShipForm::showHelp(const QString& text, const std::vector<SolverCell>& cells, FrameKind kind,
                         bool canTake, const std::vector<SolverCell>& otherCells) {
    clearHelp();
    // The board view frames each kind in its colour; the cells of both are what the help is
    // about.
    const auto onBoard = [this](const std::vector<SolverCell>& list) {
        std::vector<ElementRef> refs;
        for (const SolverCell& c : list) {
            if (game().element(ElementRef::grid(c.x, c.y)) != nullptr) {
                refs.push_back(ElementRef::grid(c.x, c.y));
            }
        }
        return refs;
    };
    helpCells_ = onBoard(cells);
    const std::vector<ElementRef> others = onBoard(otherCells);
    board_->setFrames(kind, helpCells_);
    if (!others.empty()) {
        board_->setFrames(FrameKind::OtherSolution, others);
        helpCells_.insert(helpCells_.end(), others.begin(), others.end());
    }
    helpLabel_->setText(text);
    helpTake_->setVisible(canTake);
    helpBar_->show();
    layoutWindow();
}

void TShipForm::clearHelp() {
    for (FrameKind kind : {FrameKind::Hint, FrameKind::Mistake, FrameKind::OtherSolution}) {
        board_->clearFrames(kind);
    }
    helpCells_.clear();
    if (!helpBar_->isHidden()) {
        helpBar_->hide();
        layoutWindow();
    }
}

QString TShipForm::helpText() const {
    return !helpBar_->isHidden() ? helpLabel_->text() : QString();
}

std::vector<ElementRef> TShipForm::highlighted() const {
    return helpCells_;
}

void TShipForm::TMMLevelClick(QAction* sender) {
    const int level = sender->data().toInt();
    settings_.Lev = level;
    SetLevel(level);
}

void TShipForm::Neu1Click() {
    session_.newGame();
}

void TShipForm::Zeigen1Click() {
    play({Move::showSolution()});
}

// The About and manual windows are built on first use: the first frame does not wait for them.
void TShipForm::Info1Click() {
    if (aboutBox_ == nullptr) {
        aboutBox_ = new TAboutBox(this);
    }
    aboutBox_->showVersion(FVersion_);
}

void TShipForm::Anleitung1Click() {
    if (manualForm_ == nullptr) {
        manualForm_ = new TManualForm(this);
    }
    manualForm_->showOver(frameGeometry());
}

// --- Moves, undo and redo ---

void TShipForm::play(const std::vector<Move>& moves) {
    clearHelp();
    session_.play(moves);
}

void TShipForm::undoMove() {
    clearHelp();
    session_.undo();
}

void TShipForm::redoMove() {
    clearHelp();
    session_.redo();
}

void TShipForm::updateEditActions() {
    undoAction_->setEnabled(game().canUndo());
    redoAction_->setEnabled(game().canRedo());
}

// --- Window events ---

bool TShipForm::event(QEvent* event) {
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

void TShipForm::closeEvent(QCloseEvent* event) {
    saveAll();
    QMainWindow::closeEvent(event);
}

void TShipForm::saveAll() {
    settings_.X1 = x();
    settings_.Y1 = y();
    settings_.Y2 = height();
    settings_.X2 = width();
    settings_.Lev = game().level();
    settings_.Ver = FVersion_;
    settings_.Unique = uniqueAction_->isChecked();
    settings_.Resume = resumeAction_->isChecked();
    settings_.Zoom = zoom_;
    settings_.Fit = fitAction_->isChecked();
    settings_.ShowTime = showTimeAction_->isChecked();
    settings_.Tally = tallyAction_->isChecked();
    settings_.Difficulty = static_cast<std::int32_t>(game().difficulty());
    ini::SaveSettings(settings_);
    if (!settings_.Resume) {
        session_.endUnkeptGame();  // the game is not kept: it ends here
    }
    session_.save();
}

void TShipForm::refresh(const ChangedElements& elements) {
    board_->refresh(elements);
    showTally();
}

void TShipForm::showTally() {
    board_->setTally(tallyAction_->isChecked() ? game().liveFeedback() : LiveFeedback{});
}

// --- The board and the window's size ---

void TShipForm::BuildBoard() {
    setUpdatesEnabled(false);
    clearHelp();
    // The helps' search through the puzzle's solutions runs while the player looks at it.
    game().prepareHelps();
    shownZoom_ = fittedZoom();
    const int pitch = pitchForZoom(shownZoom_);
    board_->build(pitch, legendSideAt(pitch));
    showTally();
    layoutWindow();
    keys_->placeFrame();
    updateEditActions();
    setUpdatesEnabled(true);
    if (fitAction_->isChecked() && isVisible()) {
        move(placeOnScreen(pos()));
    }
}

// --- Zoom and the fit on the screen ---

void TShipForm::setZoom(int percent) {
    zoom_ = nearestZoomStep(percent);
    applyZoom();
}

void TShipForm::zoomIn() {
    // From the size shown: where the fit holds the board smaller, the step above it is tried.
    const auto* next = std::upper_bound(zoomSteps.begin(), zoomSteps.end(), shownZoom_);
    setZoom(next != zoomSteps.end() ? *next : zoomSteps.back());
}

void TShipForm::zoomOut() {
    const auto* at = std::lower_bound(zoomSteps.begin(), zoomSteps.end(), shownZoom_);
    setZoom(at != zoomSteps.begin() ? *(at - 1) : zoomSteps.front());
}

QSize TShipForm::outerSizeAt(int zoom) const {
    const int pitch = pitchForZoom(zoom);
    const QSize board = BoardMetrics{pitch}.board(game().level(), legendSideAt(pitch));
    const QMargins frame = frameMargins(*this);
    // A helps' bar of two lines, so that a hint's text and "Übernehmen" show too.
    const int helpBar =
        std::max(2 * helpLabel_->fontMetrics().lineSpacing(), helpTake_->sizeHint().height()) + 12 +
        clientMarginBottom;
    return {board.width() + panelMainLeft + clientMarginRight + frame.left() + frame.right(),
            board.height() + panelMainTop + clientMarginBottom + helpBar +
                menuBar()->sizeHint().height() + frame.top() + frame.bottom()};
}

int TShipForm::fittedZoom() const {
    const int chosen = maximised_ ? zoomSteps.back() : zoom_;
    const QScreen* on = screen();
    if ((!fitAction_->isChecked() && !maximised_) || on == nullptr) {
        return chosen;
    }
    return fittingZoom(
        zoomSteps, chosen, [this](int zoom) { return outerSizeAt(zoom); },
        on->availableGeometry().size());
}

void TShipForm::applyZoom() {
    shownZoom_ = fittedZoom();
    const int pitch = pitchForZoom(shownZoom_);
    // One repaint of the new size, not one per element moved.
    setUpdatesEnabled(false);
    board_->arrange(pitch, legendSideAt(pitch));
    layoutWindow();
    setUpdatesEnabled(true);
    if (fitAction_->isChecked() && isVisible() && !maximised_) {
        move(placeOnScreen(pos()));
    }
}

QPoint TShipForm::placeOnScreen(const QPoint& place) const {
    const QScreen* on = QGuiApplication::screenAt(place + QPoint(1, 1));
    if (on == nullptr) {
        on = screen();
    }
    if (on == nullptr) {
        return place;
    }
    return placeWithin(QRect(place, outerSize(*this)), on->availableGeometry());
}

void TShipForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Moved onto another screen, the window fits the board to that screen.
    if (!screenWatched_ && windowHandle() != nullptr) {
        screenWatched_ = true;
        connect(windowHandle(), &QWindow::screenChanged, this, [this] {
            if (fitAction_->isChecked()) {
                applyZoom();
            }
        });
    }
}

void TShipForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Maximised, the window shows the largest zoom that fits its screen; restored, the zoom
    // before.
    if (event->type() == QEvent::WindowStateChange) {
        const bool maximised = (windowState() & Qt::WindowMaximized) != 0;
        if (maximised != maximised_) {
            maximised_ = maximised;
            applyZoom();
        }
    }
}

LegendPlace TShipForm::legendSideAt(int pitch) const {
    const BoardMetrics metrics{pitch};
    const int level = game().level();
    return legendSideOnScreen(*this, level, metrics.board(level, LegendPlace::Below),
                              metrics.board(level, LegendPlace::Right));
}

void TShipForm::layoutWindow() {
    const QSize main = board_->size();
    // The helps' bar, while shown, lies under the board across its whole width.
    int helpHeight = 0;
    if (!helpBar_->isHidden()) {
        const int width = main.width();
        helpTake_->adjustSize();
        const int textWidth = width - helpTake_->width() - 24;
        helpLabel_->setFixedWidth(textWidth);
        const int textHeight = helpLabel_->heightForWidth(textWidth);
        helpHeight = std::max(textHeight, helpTake_->height()) + 12;
        helpBar_->setGeometry(panelMainLeft, panelMainTop + main.height() + clientMarginBottom,
                              width, helpHeight);
        helpLabel_->setGeometry(8, 6, textWidth, helpHeight - 12);
        helpTake_->move(width - helpTake_->width() - 8, (helpHeight - helpTake_->height()) / 2);
        helpHeight += clientMarginBottom;
    }
    centralWidget()->setFixedSize(panelMainLeft + main.width() + clientMarginRight,
                                  panelMainTop + main.height() + clientMarginBottom + helpHeight);
    // The window follows the board at once, not only when the event loop next lays it out. It
    // takes the board's size but keeps no largest size: a window manager offers its maximise
    // box only to a window it may make larger. Maximised, the window manager gives the size
    // and the board shows the largest zoom that fits it (changeEvent); a size asked for then
    // would end the maximised state, as the new size may reach the window before its state.
    layout()->activate();
    if (!maximised_) {
        const QSize boardWindow = layout()->totalSizeHint();
        setMinimumSize(boardWindow);
        resize(boardWindow);
    }
    board_->setFigures(height(), width(), static_cast<unsigned>(game().attempts()));
}

// --- Keyboard play ---

void TShipForm::keyPressEvent(QKeyEvent* event) {
    const bool enter =
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    // Enter takes the hint that shows (Space still does what a click does); on a solved board,
    // where the bar tells of the solve, it does nothing.
    if (enter && (hintShown() || session_.boardSolved())) {
        if (hintShown()) {
            takeHint();
        }
        return;
    }
    if (!keys_->handleKey(event)) {
        QMainWindow::keyPressEvent(event);
    }
}

}  // namespace quorvik
