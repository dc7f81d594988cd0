// The main window: the board view, the clock, the helps' bar, the menus and the dialogs around the
// game session. It turns the clicks its board view reports and the player's keys into moves for
// the session, and shows the elements each move, undo and redo changed. It holds no game logic.
#pragma once

#include <QLabel>
#include <QMainWindow>

#include <functional>
#include <optional>
#include <vector>

#include "BoardKeys.h"
#include "BoardView.h"
#include "GameSession.h"
#include "HelpBar.h"
#include "MainMenus.h"
#include "QuorvikIniFile.h"
#include "TileImageSet.h"
#include "WindowZoom.h"

class QAction;
class QTimer;

namespace quorvik {

class AboutWindow;
class BestTimesDialog;
class ManualWindow;
class PuzzleDialog;
class PuzzleEditor;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // What start-up takes from outside; tests replace both.
    struct Options {
        // Shows an error that escaped start-up, as the application's error handler would.
        std::function<void(const QString&)> reportError;
        // Where the generator takes its seeds from.
        RuntimeRandom::SeedSource seeds = RuntimeRandom::clockSeed;
        // The puzzle to start with (from the command line) instead of a new or resumed game.
        std::optional<PuzzleId> puzzle;
        // The playing time's clock and today's date.
        GameClock::TimeSource clock = GameClock::steadyMilliseconds;
        std::function<QDate()> today = &QDate::currentDate;
        // Asks whether the game file, changed by another running copy since this one read or
        // wrote it, shall be overwritten; a message box unless a test puts in another.
        std::function<bool(QWidget* parent)> confirmOverwrite;
    };

    MainWindow() : MainWindow(Options{}) {}
    explicit MainWindow(Options options, QWidget* parent = nullptr);

    // Applies a level: checks its menu entry, sets the legend heading, starts a new game.
    void setLevel(int level) { session_.setLevel(level); }
    void newGame() { session_.newGame(); }
    void showSolution() { play({Move::showSolution()}); }
    void levelChosen(QAction* sender);
    void showAbout();
    void showManual();
    // The number of the puzzle on the board, and starting the puzzle a number names (false, with
    // nothing changed, when there is none).
    QString puzzleNumber() const { return session_.puzzleNumber(); }
    bool startPuzzle(const PuzzleId& id) { return session_.startPuzzle(id); }
    void askPuzzleNumber();
    // "Eigenes Rätsel…": the window to type in a puzzle from paper.
    void showPuzzleEditor();
    // The day's puzzle at the current level, and the dialog of best times.
    void playPuzzleOfTheDay() { session_.startDailyPuzzle(); }
    void showBestTimes();
    // The playing time of the game on the board, and the clock's text as the window shows it.
    const GameClock& clock() const { return session_.clock(); }
    QString clockText() const { return !clockLabel_->isHidden() ? clockLabel_->text() : QString(); }
    // The helps: the next step with its reason, and the marks that cannot be right.
    void showHint();
    void takeHint() { play(helps_->takeHint()); }
    void showMistakes() {
        session_.markHelped();
        helps_->showMistakes();
    }
    // What the helps show: the sentence under the board and the cells they are about.
    QString helpText() const { return helps_->text(); }
    std::vector<ElementRef> highlighted() const { return helps_->highlighted(); }
    // What the running count of the marks frames red while it is on: numbers whose line holds
    // too many ship marks or has too little room, and marks that break the rules.
    const std::vector<ElementRef>& tallyFramed() const {
        return board_->frames(FrameKind::Conflict);
    }
    // Takes the last move back, or does the last move taken back again.
    void undoMove() {
        helps_->clear();
        session_.undo();
    }
    void redoMove() {
        helps_->clear();
        session_.redo();
    }
    // Applies moves of the player as one step and shows what they changed.
    void play(const std::vector<Move>& moves) {
        helps_->clear();
        session_.play(moves);
    }
    // Keeps everything the player has: the settings and the game in progress. Quitting by the
    // menu, the window's close, a signal or the end of the desktop session all come here.
    void saveAll();
    // Writes the game in progress (puzzle, marks, history) to the state file at once.
    void saveGameInProgress() { session_.save(); }
    // The board's size: the zoom the player chose (percent), the one shown (the chosen one, or
    // less where the window would not fit its screen), and a step larger, smaller or normal.
    int chosenZoom() const { return zoom_->chosen(); }
    int shownZoom() const { return zoom_->shown(); }
    void setZoom(int percent) { zoom_->setZoom(percent); }
    void zoomIn() { zoom_->zoomIn(); }
    void zoomOut() { zoom_->zoomOut(); }

    ShipGame& game() { return session_.game(); }
    const ShipGame& game() const { return session_.game(); }
    // The settings as loaded at start, with the level chosen since.
    const QuorvikIniFile::Settings& settings() const { return settings_; }

    // The board: its panels, elements and frames.
    BoardView* boardView() const { return board_; }

    // The keyboard cursor: where it is, and whether it is shown (only once a key was used).
    const ElementRef& cursor() const { return keys_->cursor(); }
    bool cursorShown() const { return keys_->cursorShown(); }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createPanels();
    // The running count of the marks handed to the board while "Mitzählen" is on; none while off.
    void showTally();
    void updateEditActions();
    // Shows a game that replaced the one on the board: its level, legend, board and number.
    void showGame();
    void showClock();

    Options options_;
    GameSession session_;
    TileImageSet tiles_;

    BoardKeys* keys_ = nullptr;
    MainMenus menus_;
    WindowZoom* zoom_ = nullptr;
    PuzzleDialog* puzzleDialog_ = nullptr;
    PuzzleEditor* puzzleEditor_ = nullptr;
    BestTimesDialog* bestTimesDialog_ = nullptr;

    QLabel* clockLabel_ = nullptr;
    QTimer* clockTimer_ = nullptr;

    // The helps' bar under the board and the frames over the cells they are about.
    HelpBar* helps_ = nullptr;
    QuorvikIniFile::Settings settings_;

    BoardView* board_ = nullptr;

    AboutWindow* aboutBox_ = nullptr;
    ManualWindow* manualForm_ = nullptr;
};

}  // namespace quorvik
