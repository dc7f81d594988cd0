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
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>

#include "About.h"
#include "CQVImageFrame.h"
#include "Fonts.h"
#include "HintText.h"
#include "KeyHelp.h"
#include "ManPage.h"
#include "PuzzleDialog.h"
#include "QVMessages.h"
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
// Panels keep a 2-pixel border around their elements.
constexpr int panelBorder = 2;
constexpr int numberPanelExtent = TShipForm::elementPitch + 2 * panelBorder;
// Legend ships of one row sit 8 pixels apart, legend rows 42 pixels apart.
constexpr int legendShipGap = 8;
constexpr int legendRowPitch = 42;
constexpr int legendHeadingHeight = 18;

QFrame* createPanel(QWidget* parent, const QString& name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    return panel;
}

// A frame around an element, drawn over the board and letting every click through to the
// element beneath: the keyboard cursor, and the cells a help is about.
class MarkerFrame : public QWidget {
public:
    MarkerFrame(QWidget* parent, const QString& name, const QColor& colour)
        : QWidget(parent), colour_(colour) {
        setObjectName(name);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        // Black outside, the colour inside: it stands out on silver, white, red, grey and blue.
        QPainter p(this);
        p.setPen(QPen(Qt::black, 2));
        p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
        p.setPen(QPen(colour_, 2));
        p.drawRect(QRectF(rect()).adjusted(3, 3, -3, -3));
    }

private:
    QColor colour_;
};

// The keyboard cursor's colour, and those of the cells a hint decides and of wrong marks.
const QColor cursorColour(0xFF, 0xD7, 0x00);
const QColor hintColour(0x00, 0xC0, 0x00);
const QColor errorColour(0xFF, 0x00, 0xFF);
// Marks of another solution than this game's: not a mistake of reasoning, so not magenta.
const QColor otherSolutionColour(0xFF, 0x80, 0x00);

// The state file's payload: its kind and format, the puzzle number, the play's four lines, then
// optional sections of one line each, named by their first word ("history-base" and "history":
// the undo history). A section of a name not known is passed over; format 1 has none.
constexpr char stateHeader[] = "QUORVIK-GAME 2";
constexpr char stateHeaderWithoutSections[] = "QUORVIK-GAME 1";
constexpr int playLines = 4;

void showErrorBox(const QString& message) {
    QMessageBox::critical(nullptr, QApplication::applicationName(), message);
}

// The legend's side, from the window's outer size both ways on the screen it is on. `board` is
// PanelMain's size without the legend.
LegendPlace legendSideOnScreen(const QMainWindow& window, int level, const QSize& board,
                               const QSize& legend) {
    const QMargins frame = frameMargins(window);
    // Around PanelMain: its margins in the client area, the menu bar and the frame.
    const QSize around(panelMainLeft + clientMarginRight + frame.left() + frame.right(),
                       panelMainTop + clientMarginBottom + window.menuBar()->sizeHint().height() +
                           frame.top() + frame.bottom());
    const QScreen* screen = window.screen();
    return legendSide(levelInfo(level).legendPlace, board + QSize(0, legend.height()) + around,
                      board + QSize(legend.width(), 0) + around,
                      screen != nullptr ? screen->availableGeometry().size() : QSize());
}

}  // namespace

TShipForm::TShipForm(QWidget* parent) : TShipForm(Options{}, parent) {}

TShipForm::TShipForm(Options options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)), game_(options_.seeds) {
    if (!options_.reportError) {
        options_.reportError = showErrorBox;
    }
    FormCreate();
}

TShipForm::~TShipForm() = default;

void TShipForm::setAuxiliaryWindows(TAboutBox* about, TManualForm* manual) {
    aboutBox_ = about;
    manualForm_ = manual;
}

void TShipForm::FormCreate() {
    setObjectName(QStringLiteral("ShipForm"));
    setWindowTitle(QStringLiteral("Quorvik"));
    setFont(windowFont());
    createPanels();
    createMenus();
    // The window takes the size of its board: it cannot be resized by dragging.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    saveTimer_ = new QTimer(this);
    saveTimer_->setSingleShot(true);
    saveTimer_->setInterval(saveDelayMs);
    connect(saveTimer_, &QTimer::timeout, this, &TShipForm::saveGameInProgress);

    FVersion_ = programVersionText();
    // A store error is shown as start-up's error; the values read before it stay, the others
    // take their defaults, and the window still opens with a game.
    if (const std::optional<QString> error = ini::LoadSettingsOrDefaults(settings_)) {
        options_.reportError(*error);
    }
    resize(settings_.X2, settings_.Y2);
    uniqueAction_->setChecked(settings_.Unique);
    difficultyGroup_->actions().at(settings_.Difficulty)->setChecked(true);
    game_.setDifficulty(static_cast<Difficulty>(settings_.Difficulty));
    resumeAction_->setChecked(settings_.Resume);
    // A place from which the menu bar could not be reached moves onto the primary screen before
    // the window takes it (one near the limits of int would overflow the window's geometry), and
    // once more with the level's size and with the frame once that is known.
    const auto reachable = [this, stored = QPoint(settings_.X1, settings_.Y1)] {
        return reachablePlace(*this, stored, menuBar()->sizeHint());
    };
    move(reachable());
    startFirstGame(settings_.Lev);
    placeByFrame(*this, reachable);
}

void TShipForm::createPanels() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);

    PanelMain = new QWidget(client);
    PanelMain->setObjectName(QStringLiteral("PanelMain"));
    PanelMain->move(panelMainLeft, panelMainTop);

    PanelImages = createPanel(PanelMain, QStringLiteral("PanelImages"));
    PanelCol = createPanel(PanelMain, QStringLiteral("PanelCol"));
    PanelRow = createPanel(PanelMain, QStringLiteral("PanelRow"));
    PanelLegend = createPanel(PanelMain, QStringLiteral("PanelLegend"));

    Label1 = new QLabel(QStringLiteral("Diese Schiffe suchen."), PanelLegend);
    Label1->setObjectName(QStringLiteral("Label1"));
    // The heading's heavy face, 18 pixels high with its leading.
    Label1->setFont(headingFont(legendHeadingHeight));
    Label1->move(4, 4);
    Label1->setFixedHeight(legendHeadingHeight);

    PanelButtons = new QFrame(PanelMain);
    PanelButtons->setObjectName(QStringLiteral("PanelButtons"));
    btnZeigen = new QPushButton(QStringLiteral("F1 Zeigen"), PanelButtons);
    btnZeigen->setObjectName(QStringLiteral("btnZeigen"));
    btnZeigen->setGeometry(10, 10, 75, 25);
    btnNeu = new QPushButton(QStringLiteral("F2 Neu"), PanelButtons);
    btnNeu->setObjectName(QStringLiteral("btnNeu"));
    btnNeu->setGeometry(10, 45, 75, 25);
    // Clicks on the board must not leave the focus on a button, where Space would press it.
    btnZeigen->setFocusPolicy(Qt::NoFocus);
    btnNeu->setFocusPolicy(Qt::NoFocus);
    connect(btnZeigen, &QPushButton::clicked, this, &TShipForm::Zeigen1Click);
    connect(btnNeu, &QPushButton::clicked, this, &TShipForm::Neu1Click);

    // Figures of the last layout, never shown to the player.
    PanelDebug = new QFrame(PanelButtons);
    PanelDebug->setObjectName(QStringLiteral("PanelDebug"));
    PanelDebug->setGeometry(8, 80, 80, 60);
    int top = 0;
    for (const char* caption : {"Fensterhöhe", "Fensterbreite", "DebugCounter"}) {
        auto* label = new QLabel(QString::fromUtf8(caption), PanelDebug);
        label->move(0, top);
        top += 14;
    }
    lblH = new QLabel(PanelDebug);
    lblH->setObjectName(QStringLiteral("lblH"));
    lblW = new QLabel(PanelDebug);
    lblW->setObjectName(QStringLiteral("lblW"));
    lblDbgCnt = new QLabel(PanelDebug);
    lblDbgCnt->setObjectName(QStringLiteral("lblDbgCnt"));
    lblH->move(60, 0);
    lblW->move(60, 14);
    lblDbgCnt->move(60, 28);
    PanelDebug->setVisible(false);

    cursorFrame_ = new MarkerFrame(PanelMain, QStringLiteral("KeyboardCursor"), cursorColour);

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
    addSeparator(spiel, "N1");
    levelGroup_ = new QActionGroup(this);
    levelGroup_->setExclusive(true);
    for (int level = minLevel; level <= maxLevel; ++level) {
        const LevelInfo& info = levelInfo(level);
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
    connect(uniqueAction_, &QAction::toggled, this, [this](bool on) { game_.setUniqueMode(on); });
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
        game_.setDifficulty(static_cast<Difficulty>(choice->data().toInt()));
    });
    resumeAction_ =
        makeAction(spiel, "Fortsetzen1", QStringLiteral("Spiel beim nächsten S&tart fortsetzen"));
    resumeAction_->setCheckable(true);
    resumeAction_->setChecked(true);
    // Switched on, the game is kept from now on; switched off, its file goes.
    connect(resumeAction_, &QAction::toggled, this, &TShipForm::scheduleSave);
    addSeparator(spiel, "N2")->setVisible(false);
    connect(makeAction(spiel, "Zeigen1", QStringLiteral("&Zeigen"), QKeySequence(Qt::Key_F1)),
            &QAction::triggered, this, &TShipForm::Zeigen1Click);
    makeAction(spiel, "Bestzeiten1", QStringLiteral("Bestzeiten"))->setVisible(false);
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

    QMenu* help = menuBar()->addMenu(QStringLiteral("?"));
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
    game_.SetLevel(level);
    showGame();
}

void TShipForm::showGame() {
    showLevel();
    BuildBoard();
    if (puzzleDialog_ != nullptr && puzzleDialog_->isVisible()) {
        puzzleDialog_->currentNumber()->setText(puzzleNumber());
    }
    scheduleSave();
}

void TShipForm::showLevel() {
    levelActions_[static_cast<std::size_t>(game_.level() - minLevel)]->setChecked(true);
    Label1->setText(QString::fromStdString(game_.levelText()));
    Label1->adjustSize();
    Label1->setFixedHeight(legendHeadingHeight);
}

// --- Puzzle numbers and the game kept across a restart ---

QString TShipForm::puzzleNumber() const {
    return QString::fromStdString(formatPuzzleNumber(
        {game_.level(), game_.gameSeed(), game_.builtUnique(), game_.builtDifficulty()}));
}

bool TShipForm::startPuzzle(const PuzzleId& id) {
    if (!game_.NewGameFromSeed(id.level, id.seed, id.unique, id.difficulty)) {
        return false;
    }
    showGame();
    return true;
}

void TShipForm::Spielnummer1Click() {
    if (puzzleDialog_ == nullptr) {
        puzzleDialog_ =
            new TPuzzleDialog([this](const PuzzleId& id) { return startPuzzle(id); }, this);
    }
    puzzleDialog_->showNumber(puzzleNumber(), solutionNote(game_.hasOneSolution(), game_.grade(),
                                                           game_.builtDifficulty()));
}

void TShipForm::startFirstGame(int storedLevel) {
    if (options_.puzzle && startPuzzle(*options_.puzzle)) {
        return;
    }
    if (resumeAction_->isChecked() && resumeGame()) {
        return;
    }
    SetLevel(storedLevel);
}

bool TShipForm::resumeGame() {
    const std::optional<QByteArray> payload = readStateFile();
    if (!payload) {
        return false;
    }
    // The header, the puzzle number, the player's side of the game, then the sections.
    const QList<QByteArray> lines = payload->split('\n');
    if (lines.size() < 2 + playLines + 1 || !lines.back().isEmpty() ||
        (lines[0] != stateHeader &&
         (lines[0] != stateHeaderWithoutSections || lines.size() != 2 + playLines + 1))) {
        return false;
    }
    const std::optional<PuzzleId> id = parsePuzzleNumber(lines[1].toStdString());
    QByteArray play;
    for (int k = 2; k < 2 + playLines; ++k) {
        play += lines[k] + '\n';
    }
    ShipGame restored(game_);
    if (!id || !restored.NewGameFromSeed(id->level, id->seed, id->unique, id->difficulty) ||
        !restored.importPlay(play.toStdString())) {
        return false;
    }
    QByteArray history;
    for (qsizetype k = 2 + playLines; k + 1 < lines.size(); ++k) {
        if (lines[k].startsWith("history-base ") || lines[k].startsWith("history ")) {
            history += lines[k] + '\n';
        }
    }
    // A history that does not lead to this board is dropped; the game itself still comes back.
    restored.importHistory(history.toStdString());
    game_ = std::move(restored);
    showLevel();
    BuildBoard();
    return true;
}

void TShipForm::saveGameInProgress() {
    saveTimer_->stop();
    if (!resumeAction_->isChecked()) {
        // Not to be resumed: nothing of this game is kept.
        removeStateFile();
        return;
    }
    QByteArray payload(stateHeader);
    payload += '\n' + puzzleNumber().toLatin1() + '\n';
    payload += QByteArray::fromStdString(game_.exportPlay());
    const QByteArray history = QByteArray::fromStdString(game_.exportHistory());
    // Should the history not fit in the file, the game is kept without it.
    if (payload.size() + history.size() <= maxStatePayload) {
        payload += history;
    }
    // A state that cannot be written is lost, the game with it; nothing else depends on it.
    writeStateFile(payload);
}

void TShipForm::scheduleSave() {
    saveTimer_->start();
}

// --- The helps ---

void TShipForm::Tipp1Click() {
    // Asked for again while its hint shows, the hint is taken.
    if (hintShown()) {
        takeHint();
        return;
    }
    hint_ = game_.nextHint();
    const auto cellName = [](const SolverCell& c) {
        return QStringLiteral("Spalte %1, Zeile %2").arg(c.x + 1).arg(c.y + 1);
    };
    QString text;
    switch (hint_.kind) {
        case ShipGame::Hint::Kind::WrongMark:
            text = QStringLiteral(
                       "Die Markierung in %1 kann nicht stimmen: keine Lösung hat sie. "
                       "„Übernehmen“ deckt das Feld wieder zu.")
                       .arg(cellName(hint_.cells.front()));
            break;
        case ShipGame::Hint::Kind::OtherSolution:
            text = QStringLiteral(
                       "Die Markierung in %1 passt zu einer anderen Lösung, aber nicht zu den "
                       "Schiffen dieses Spiels. Als gelöst gilt das Brett nur mit ihnen. "
                       "„Übernehmen“ deckt das Feld wieder zu.")
                       .arg(cellName(hint_.cells.front()));
            break;
        case ShipGame::Hint::Kind::Shown:
            text = solutionShownText();
            break;
        case ShipGame::Hint::Kind::Deduction:
            text = hintText(hint_.deduction);
            break;
        case ShipGame::Hint::Kind::Reveal:
            text = QStringLiteral(
                       "Hier hilft keine Regel mehr weiter, nur Probieren. Ein Feld "
                       "der Lösung: %1.")
                       .arg(cellName(hint_.cells.front()));
            break;
        case ShipGame::Hint::Kind::Solved:
            text = QStringLiteral("Alle Schiffe sind gefunden; die offenen Felder sind Wasser.");
            break;
    }
    const bool takeable =
        hint_.kind != ShipGame::Hint::Kind::Solved && hint_.kind != ShipGame::Hint::Kind::Shown;
    showHelp(text, hint_.cells,
             hint_.kind == ShipGame::Hint::Kind::OtherSolution ? otherSolutionColour : hintColour,
             takeable);
}

void TShipForm::takeHint() {
    const std::vector<Move> moves = game_.hintMoves(hint_);
    hint_ = {};
    play(moves);
}

void TShipForm::FehlerZeigen1Click() {
    if (game_.solutionShown()) {
        showHelp(solutionShownText(), {}, errorColour, false);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ShipGame::Mistakes wrong = game_.mistakes();
    QApplication::restoreOverrideCursor();
    const auto impossible = wrong.impossible.size();
    const auto other = wrong.otherSolution.size();
    QString text =
        impossible == 0 && other == 0 ? QStringLiteral(
                                            "Keine Markierung widerspricht den Zahlen und den "
                                            "aufgedeckten Segmenten.")
        : impossible == 0 ? QString()
        : impossible == 1
            ? QStringLiteral("Eine Markierung kann nicht stimmen (magenta).")
            : QStringLiteral("%1 Markierungen können nicht stimmen (magenta).").arg(impossible);
    if (other > 0) {
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) +
                (other == 1 ? QStringLiteral("Eine Markierung (orange) passt zu einer anderen "
                                             "Lösung, aber nicht zu den Schiffen dieses Spiels.")
                            : QStringLiteral("%1 Markierungen (orange) passen zu einer anderen "
                                             "Lösung, aber nicht zu den Schiffen dieses Spiels.")
                                  .arg(other)) +
                QStringLiteral(" Als gelöst gilt das Brett nur mit diesen Schiffen.");
    }
    showHelp(text, wrong.impossible, errorColour, false, wrong.otherSolution);
}

QString TShipForm::solutionShownText() {
    return QStringLiteral(
        "Die Lösung wird gezeigt. „Rückgängig“ (Strg+Z) nimmt sie zurück, „Neu“ (F2) beginnt ein "
        "neues Spiel.");
}

bool TShipForm::hintShown() const {
    return !helpBar_->isHidden() && !helpTake_->isHidden();
}

void TShipForm::showHelp(const QString& text, const std::vector<SolverCell>& cells,
                         const QColor& colour, bool canTake,
                         const std::vector<SolverCell>& otherCells) {
    clearHelp();
    std::vector<std::pair<SolverCell, QColor>> framed;
    for (const SolverCell& c : cells) {
        framed.emplace_back(c, colour);
    }
    for (const SolverCell& c : otherCells) {
        framed.emplace_back(c, otherSolutionColour);
    }
    for (const auto& [c, frameColour] : framed) {
        TQVImageFrame* frame = gridFrame(c.x, c.y);
        if (frame == nullptr) {
            continue;
        }
        auto* marker = new MarkerFrame(PanelMain, QStringLiteral("HelpMarker"), frameColour);
        marker->setGeometry(QRect(frame->mapTo(PanelMain, QPoint(0, 0)), frame->size()));
        marker->show();
        marker->raise();
        helpMarkers_.push_back(marker);
        helpCells_.push_back(ElementRef::grid(c.x, c.y));
    }
    cursorFrame_->raise();
    helpLabel_->setText(text);
    helpTake_->setVisible(canTake);
    helpBar_->show();
    layoutPanels();
}

void TShipForm::clearHelp() {
    qDeleteAll(helpMarkers_);
    helpMarkers_.clear();
    helpCells_.clear();
    if (!helpBar_->isHidden()) {
        helpBar_->hide();
        layoutPanels();
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
    game_.NewGame();
    showGame();
}

void TShipForm::Zeigen1Click() {
    play({Move::showSolution()});
}

void TShipForm::Info1Click() {
    if (aboutBox_ != nullptr) {
        aboutBox_->showVersion(FVersion_);
    }
}

void TShipForm::Anleitung1Click() {
    if (manualForm_ != nullptr) {
        manualForm_->showOver(frameGeometry());
    }
}

// --- Moves, undo and redo ---

void TShipForm::play(const std::vector<Move>& moves) {
    clearHelp();
    const ChangedElements changed = game_.apply(moves);
    refresh(changed);
    updateEditActions();
    if (!changed.empty()) {
        scheduleSave();
    }
}

void TShipForm::undoMove() {
    clearHelp();
    if (game_.undoChangesGame()) {
        // The game a new game replaced comes back whole: its level, board and legend.
        game_.undo();
        showGame();
    } else {
        refresh(game_.undo());
        updateEditActions();
        scheduleSave();
    }
}

void TShipForm::redoMove() {
    clearHelp();
    if (game_.redoChangesGame()) {
        game_.redo();
        showGame();
    } else {
        refresh(game_.redo());
        updateEditActions();
        scheduleSave();
    }
}

void TShipForm::updateEditActions() {
    undoAction_->setEnabled(game_.canUndo());
    redoAction_->setEnabled(game_.canRedo());
}

// --- The cell command ---

bool TShipForm::event(QEvent* event) {
    if (event->type() == CellCommandEvent::eventType) {
        // The one place where a cell command becomes a move. A legend segment names itself, so
        // that the segment's own alternation is the model's too.
        const auto* command = static_cast<CellCommandEvent*>(event);
        const std::optional<ElementRef>& source = command->source();
        const int segment = source && source->kind == ElementKind::Legend ? source->c : -1;
        play({moveFromCellCommand(command->wParam(), command->lParam(), segment)});
        // The sender turned its own copy over; it shows the model's state again, changed or not.
        if (source) {
            refreshElement(*source);
        }
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        // Tab would otherwise move the focus; on the board it switches between grid and legend.
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            switchCursorArea(key->key() == Qt::Key_Tab);
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
    settings_.Lev = game_.level();
    settings_.Ver = FVersion_;
    settings_.Unique = uniqueAction_->isChecked();
    settings_.Resume = resumeAction_->isChecked();
    settings_.Difficulty = static_cast<std::int32_t>(game_.difficulty());
    ini::SaveSettings(settings_);
    saveGameInProgress();
}

// --- Showing the model's state ---

TQVImageFrame* TShipForm::frameFor(const ElementRef& e) const {
    switch (e.kind) {
        case ElementKind::Grid:
            return gridFrame(e.a, e.b);
        case ElementKind::ColNumber:
            return colFrame(e.a);
        case ElementKind::RowNumber:
            return rowFrame(e.a);
        case ElementKind::Legend:
            return legendFrame(e.a, e.b, e.c);
    }
    return nullptr;
}

void TShipForm::refresh(const ChangedElements& elements) {
    for (const ElementRef& element : elements) {
        refreshElement(element);
    }
}

void TShipForm::refreshElement(const ElementRef& element) {
    const ElementState* state = game_.element(element);
    TQVImageFrame* frame = frameFor(element);
    if (state == nullptr || frame == nullptr) {
        return;
    }
    frame->refresh(*state, ImageList1);
    // The numbers' hints say how many ship marks their line holds so far.
    if (element.kind == ElementKind::ColNumber) {
        frame->setHint(QStringLiteral("Spaltensumme: %1").arg(state->ReihenSumme));
    } else if (element.kind == ElementKind::RowNumber) {
        frame->setHint(QStringLiteral("Zeilensumme: %1").arg(state->ReihenSumme));
    }
}

// --- Elements and layout ---

TQVImageFrame* TShipForm::gridFrame(int x, int y) const {
    if (x < 0 || x >= maxBoardSize || y < 0 || y >= maxBoardSize) {
        return nullptr;
    }
    return FGrid[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
}

TQVImageFrame* TShipForm::colFrame(int x) const {
    return x >= 0 && x < maxBoardSize ? FColNumbers[static_cast<std::size_t>(x)] : nullptr;
}

TQVImageFrame* TShipForm::rowFrame(int y) const {
    return y >= 0 && y < maxBoardSize ? FRowNumbers[static_cast<std::size_t>(y)] : nullptr;
}

TQVImageFrame* TShipForm::legendFrame(int r, int s, int i) const {
    const ElementState* entry = game_.legendEntry(r, s, i);
    if (entry == nullptr) {
        return nullptr;
    }
    const auto index = static_cast<std::size_t>(entry - game_.legend().data());
    return index < FLegendList.size() ? FLegendList[index] : nullptr;
}

TQVImageFrame* TShipForm::createFrame(QWidget* panel, const QString& name, int left, int top,
                                      const ElementRef& place) {
    auto* frame = new TQVImageFrame(panel);
    frame->setObjectName(name);
    frame->move(left, top);
    frame->setPlace(place);
    return frame;
}

void TShipForm::BuildBoard() {
    setUpdatesEnabled(false);
    clearHelp();
    const int maxCol = game_.maxCol();
    const int maxRow = game_.maxRow();
    // Grid and number elements live as long as the window; those beyond the current board keep
    // their places but are hidden, so no part of them shows or takes a click.
    for (int i = 0; i < maxBoardSize; ++i) {
        for (int j = 0; j < maxBoardSize; ++j) {
            TQVImageFrame*& cell = FGrid[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
            const bool onBoard = i <= maxCol && j <= maxRow;
            if (cell == nullptr && onBoard) {
                cell = createFrame(PanelImages, QStringLiteral("FrameIF_%1_%2").arg(i).arg(j),
                                   i * elementPitch + panelBorder, j * elementPitch + panelBorder,
                                   ElementRef::grid(i, j));
                cell->setImageList(&ImageList1);
            }
            if (cell != nullptr) {
                cell->setVisible(onBoard);
            }
        }
        TQVImageFrame*& number = FColNumbers[static_cast<std::size_t>(i)];
        if (number == nullptr && i <= maxCol) {
            number =
                createFrame(PanelCol, QStringLiteral("FrameIC_%1").arg(i),
                            i * elementPitch + panelBorder, panelBorder, ElementRef::column(i));
            number->setContextMenuEnabled(false);
            number->setShowHint(true);
        }
        if (number != nullptr) {
            number->setVisible(i <= maxCol);
        }
        TQVImageFrame*& rowNumber = FRowNumbers[static_cast<std::size_t>(i)];
        if (rowNumber == nullptr && i <= maxRow) {
            rowNumber = createFrame(PanelRow, QStringLiteral("FrameIR_%1").arg(i), panelBorder,
                                    i * elementPitch + panelBorder, ElementRef::row(i));
            rowNumber->setContextMenuEnabled(false);
            rowNumber->setShowHint(true);
        }
        if (rowNumber != nullptr) {
            rowNumber->setVisible(i <= maxRow);
        }
    }
    BuildLegend();
    // The helps' search through the puzzle's solutions runs while the player looks at it.
    game_.prepareHelps();
    refresh(game_.allElements());
    layoutPanels();
    placeCursorFrame();
    updateEditActions();
    setUpdatesEnabled(true);
}

void TShipForm::BuildLegend() {
    // Legend entries are made anew for every game; the old ones go first.
    qDeleteAll(FLegendList);
    FLegendList.clear();
    const int top0 = Label1->y() + Label1->height() + 4;
    int width = 0;
    int height = 0;
    for (int r = 0; r < game_.legendRowCount(); ++r) {
        const int length = game_.legendRowLength(r);
        for (int s = 0; s < game_.legendShipCount(r); ++s) {
            for (int i = 0; i < length; ++i) {
                const int left = (length * elementPitch + legendShipGap) * s + i * elementPitch + 4;
                const int top = top0 + r * legendRowPitch;
                TQVImageFrame* frame = createFrame(
                    PanelLegend, QStringLiteral("FrameIF_%1_%2_%3").arg(r).arg(s).arg(i), left, top,
                    ElementRef::legend(r, s, i));
                frame->setContextMenuEnabled(false);
                frame->setImageList(&ImageList1);
                frame->show();
                FLegendList.push_back(frame);
                width = std::max(width, left + numberPanelExtent);
                height = std::max(height, top + numberPanelExtent);
            }
        }
    }
    PanelLegend->resize(width, height);
}

void TShipForm::layoutPanels() {
    const int maxCol = game_.maxCol();
    const int maxRow = game_.maxRow();
    // 34 per column or row plus the panel's border on both sides.
    PanelImages->setGeometry(4, 4, maxCol * elementPitch + elementPitch + 2 * panelBorder,
                             maxRow * elementPitch + elementPitch + 2 * panelBorder);
    const QRect images = PanelImages->geometry();
    PanelCol->setGeometry(images.left(), images.top() + images.height(), images.width(),
                          numberPanelExtent);
    PanelRow->setGeometry(images.left() + images.width(), images.top(), numberPanelExtent,
                          images.height());
    const QSize legend = PanelLegend->size();
    // PanelMain's size without the legend.
    const QSize board(2 * images.left() + images.width() + PanelRow->width(),
                      2 * images.top() + images.height() + PanelCol->height());
    QSize main;
    if (legendSideOnScreen(*this, game_.level(), board, legend) == LegendPlace::Below) {
        // Wide boards: the legend below the numbers, the buttons to its right.
        PanelLegend->move(images.left(), PanelCol->y() + PanelCol->height());
        PanelButtons->setGeometry(PanelLegend->x() + legend.width(), PanelLegend->y(),
                                  PanelCol->width() - legend.width(), legend.height());
        main = QSize(2 * images.left() + images.width() + PanelRow->width(),
                     2 * images.top() + images.height() + PanelCol->height() + legend.height());
    } else {
        // The legend right of the row numbers, the buttons below it.
        PanelLegend->move(PanelRow->x() + PanelRow->width(), images.top());
        PanelButtons->setGeometry(PanelLegend->x(), PanelLegend->y() + legend.height(),
                                  legend.width(), images.height() - legend.height());
        main = QSize(2 * images.left() + images.width() + PanelRow->width() + legend.width(),
                     2 * images.top() + images.height() + PanelCol->height());
    }
    PanelMain->resize(main);
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
    // The window follows the board at once, not only when the event loop next lays it out.
    layout()->activate();
    lblH->setText(QString::number(height()));
    lblW->setText(QString::number(width()));
    lblDbgCnt->setText(QString::number(static_cast<unsigned>(game_.attempts())));
}

// --- Keyboard play ---
//
// The cursor moves over the grid and, past its last column and row, over the row and column
// numbers; Tab takes it to the legend and back. The first key only shows it, so nothing happens
// where the player has not looked yet.

std::optional<Move> TShipForm::clickMove(const ElementRef& element) const {
    const ElementState* state = game_.element(element);
    if (state == nullptr) {
        return std::nullopt;
    }
    switch (element.kind) {
        case ElementKind::Grid:
            // Clues do not change, as with the mouse.
            return state->IsFixed ? std::nullopt
                                  : std::optional(Move::toggle(element.a, element.b));
        case ElementKind::ColNumber:
            return Move::fillColumn(element.a, state->IsCovered);
        case ElementKind::RowNumber:
            return Move::fillRow(element.a, state->IsCovered);
        case ElementKind::Legend:
            return state->IsCovered ? Move::untick(element.a, element.b, element.c)
                                    : Move::tick(element.a, element.b, element.c);
    }
    return std::nullopt;
}

void TShipForm::keyPressEvent(QKeyEvent* event) {
    if (!handleBoardKey(event)) {
        QMainWindow::keyPressEvent(event);
    }
}

bool TShipForm::handleBoardKey(QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    const int key = event->key();
    const bool menuKey =
        key == Qt::Key_Menu || (key == Qt::Key_F10 && (event->modifiers() & Qt::ShiftModifier));
    // The marks of the cell menu, by the first letter of their German names: Einer, Oben,
    // Links, Mitte, Rechts, Unten; "?" (or F for Frage) for "???", W for water; Delete or
    // Backspace covers the cell again.
    static const std::pair<QChar, int> markKeys[] = {
        {u'?', imgQuestion},  {u'F', imgQuestion},   {u'E', imgShipSingle},
        {u'O', imgShipTop},   {u'L', imgShipLeft},   {u'M', imgShipMiddle},
        {u'R', imgShipRight}, {u'U', imgShipBottom}, {u'W', imgWater}};
    int mark = -1;
    if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
        mark = imgCovered;
    } else if (event->text().size() == 1) {
        const QChar typed = event->text().at(0).toUpper();
        for (const auto& [ch, code] : markKeys) {
            if (typed == ch) {
                mark = code;
            }
        }
    }
    const bool arrow =
        key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    const bool activate = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    if (!arrow && !activate && !menuKey && mark < 0) {
        return false;
    }
    // Enter takes the hint that shows (Space still does what a click does).
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && hintShown()) {
        takeHint();
        return true;
    }
    if (!cursorShown_) {
        showCursor();
        return true;
    }
    if (arrow) {
        moveCursor(key == Qt::Key_Left    ? -1
                   : key == Qt::Key_Right ? 1
                                          : 0,
                   key == Qt::Key_Up     ? -1
                   : key == Qt::Key_Down ? 1
                                         : 0);
    } else if (activate) {
        activateCursor();
    } else if (menuKey) {
        openMenuAtCursor();
    } else {
        markAtCursor(mark);
    }
    return true;
}

void TShipForm::showCursor() {
    cursorShown_ = true;
    placeCursorFrame();
}

void TShipForm::moveCursor(int dx, int dy) {
    if (cursor_.kind == ElementKind::Legend) {
        const int r = std::clamp(cursor_.a + dy, 0, game_.legendRowCount() - 1);
        const int s =
            std::clamp(dx == 0 ? cursor_.b : cursor_.b + dx, 0, game_.legendShipCount(r) - 1);
        cursor_ = ElementRef::legend(r, s, 0);
    } else {
        // The grid with the row numbers as one more column and the column numbers as one more
        // row; their corner holds no element.
        const int maxCol = game_.maxCol();
        const int maxRow = game_.maxRow();
        int gx = cursor_.kind == ElementKind::RowNumber ? maxCol + 1 : cursor_.a;
        int gy = cursor_.kind == ElementKind::ColNumber   ? maxRow + 1
                 : cursor_.kind == ElementKind::RowNumber ? cursor_.a
                                                          : cursor_.b;
        const int nx = std::clamp(gx + dx, 0, maxCol + 1);
        const int ny = std::clamp(gy + dy, 0, maxRow + 1);
        if (nx <= maxCol || ny <= maxRow) {
            gx = nx;
            gy = ny;
        }
        cursor_ = gx > maxCol   ? ElementRef::row(gy)
                  : gy > maxRow ? ElementRef::column(gx)
                                : ElementRef::grid(gx, gy);
    }
    placeCursorFrame();
}

void TShipForm::switchCursorArea(bool /*forward*/) {
    // Two areas only, so either direction goes to the other one.
    if (!cursorShown_) {
        showCursor();
        return;
    }
    if (cursor_.kind == ElementKind::Legend) {
        cursor_ = boardCursor_;
    } else {
        boardCursor_ = cursor_;
        cursor_ = ElementRef::legend(0, 0, 0);
    }
    placeCursorFrame();
}

void TShipForm::placeCursorFrame() {
    // A level change may leave the cursor beyond the new board or legend.
    if (game_.element(cursor_) == nullptr) {
        cursor_ = cursor_.kind == ElementKind::Legend ? ElementRef::legend(0, 0, 0)
                                                      : ElementRef::grid(0, 0);
    }
    TQVImageFrame* frame = frameFor(cursor_);
    if (!cursorShown_ || frame == nullptr) {
        cursorFrame_->hide();
        return;
    }
    QRect area(frame->mapTo(PanelMain, QPoint(0, 0)), frame->size());
    if (cursor_.kind == ElementKind::Legend) {
        // The whole ship: a click on any of its segments ticks it.
        for (int i = 1; i < game_.legendRowLength(cursor_.a); ++i) {
            if (TQVImageFrame* segment = legendFrame(cursor_.a, cursor_.b, i)) {
                area |= QRect(segment->mapTo(PanelMain, QPoint(0, 0)), segment->size());
            }
        }
    }
    cursorFrame_->setGeometry(area);
    cursorFrame_->raise();
    cursorFrame_->show();
}

void TShipForm::activateCursor() {
    if (const std::optional<Move> move = clickMove(cursor_)) {
        play({*move});
    }
}

void TShipForm::markAtCursor(int code) {
    const ElementState* state = game_.element(cursor_);
    if (cursor_.kind == ElementKind::Grid && state != nullptr && !state->IsFixed) {
        play({Move::mark(cursor_.a, cursor_.b, code)});
    }
}

void TShipForm::openMenuAtCursor() {
    TQVImageFrame* frame = frameFor(cursor_);
    if (cursor_.kind != ElementKind::Grid || frame == nullptr) {
        return;
    }
    // The cell's own menu below the cell, its first entry active, so the arrows and Enter work
    // at once; a choice goes the way of a mouse choice.
    QMenu* menu = frame->PopupMenu1();
    menu->setActiveAction(menu->actions().constFirst());
    menu->popup(frame->mapToGlobal(QPoint(0, frame->height())));
}

}  // namespace quorvik
