// The main window: the board, its numbers and legend, the two buttons and the menus. It owns the
// puzzle model, turns the cell commands of its elements and the player's keys into moves, and
// after every move, undo and redo shows the changed elements from the model's state.
#pragma once

#include <QMainWindow>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "PuzzleNumber.h"
#include "QuorvikIniFile.h"
#include "ShipGame.h"
#include "TileImageSet.h"

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace quorvik {

class TAboutBox;
class TManualForm;
class TPuzzleDialog;
class TQVImageFrame;

class TShipForm : public QMainWindow {
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
    };

    static constexpr int elementPitch = 34;

    explicit TShipForm(QWidget* parent = nullptr);
    explicit TShipForm(Options options, QWidget* parent = nullptr);
    ~TShipForm() override;

    // The About and manual windows, created after the main window (not owned).
    void setAuxiliaryWindows(TAboutBox* about, TManualForm* manual);

    // Applies a level: checks its menu entry, sets the legend heading, starts a new game.
    void SetLevel(int level);
    void Neu1Click();
    void Zeigen1Click();
    void TMMLevelClick(QAction* sender);
    void Info1Click();
    void Anleitung1Click();
    // The number of the puzzle on the board, and starting the puzzle a number names (false, with
    // nothing changed, when there is none).
    QString puzzleNumber() const;
    bool startPuzzle(const PuzzleId& id);
    void Spielnummer1Click();
    // The helps: the next step with its reason, and the marks that cannot be right.
    void Tipp1Click();
    void takeHint();
    void FehlerZeigen1Click();
    // What the helps show: the sentence under the board and the cells they are about.
    QString helpText() const;
    std::vector<ElementRef> highlighted() const;
    // Takes the last move back, or does the last move taken back again.
    void undoMove();
    void redoMove();
    // Applies moves of the player as one step and shows what they changed.
    void play(const std::vector<Move>& moves);
    // Keeps everything the player has: the settings and the game in progress. Quitting by the
    // menu, the window's close, a signal or the end of the desktop session all come here.
    void saveAll();
    // The game in progress reaches the state file this long after the last change.
    static constexpr int saveDelayMs = 700;
    // Writes the game in progress (puzzle, marks, history) to the state file at once.
    void saveGameInProgress();

    ShipGame& game() { return game_; }
    const QString& FVersion() const { return FVersion_; }
    // The settings as loaded at start, with the level chosen since.
    const QuorvikIniFile::Settings& settings() const { return settings_; }
    TileImageSet& imageList() { return ImageList1; }

    // The elements as the window shows them; nullptr where none was created.
    TQVImageFrame* gridFrame(int x, int y) const;
    TQVImageFrame* colFrame(int x) const;
    TQVImageFrame* rowFrame(int y) const;
    TQVImageFrame* legendFrame(int r, int s, int i) const;
    const std::vector<TQVImageFrame*>& legendFrames() const { return FLegendList; }
    TQVImageFrame* frameFor(const ElementRef& element) const;

    // The keyboard cursor: where it is, and whether it is shown (only once a key was used).
    const ElementRef& cursor() const { return cursor_; }
    bool cursorShown() const { return cursorShown_; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void createPanels();
    void createMenus();
    TQVImageFrame* createFrame(QWidget* panel, const QString& name, int left, int top,
                               const ElementRef& place);
    // Places and shows the board of the finished game; creates grid and number elements on
    // first need, hides those beyond the board, and makes the legend anew.
    void BuildBoard();
    void BuildLegend();
    void layoutPanels();
    // Shows the model's state in the given elements.
    void refresh(const ChangedElements& elements);
    void refreshElement(const ElementRef& element);
    void updateEditActions();
    // The first game: the command line's puzzle, else the game kept at the last close, else a new
    // game at the stored level.
    void startFirstGame(int storedLevel);
    bool resumeGame();
    // Writes the game in progress soon, once the player pauses.
    void scheduleSave();
    void showLevel();
    // Shows a game that replaced the one on the board: its level, board, legend and number.
    void showGame();
    // The helps' sentence and highlighted cells, gone with the next move.
    // `otherCells`, marks of another solution, get a colour of their own.
    void showHelp(const QString& text, const std::vector<SolverCell>& cells, const QColor& colour,
                  bool canTake, const std::vector<SolverCell>& otherCells = {});
    // Whether a hint that can be taken shows.
    bool hintShown() const;
    static QString solutionShownText();
    void clearHelp();

    // Keyboard play.
    bool handleBoardKey(QKeyEvent* event);
    void moveCursor(int dx, int dy);
    void switchCursorArea(bool forward);
    void showCursor();
    void placeCursorFrame();
    void activateCursor();
    void markAtCursor(int code);
    void openMenuAtCursor();
    // The move that a click on `element` makes, or nothing where a click does nothing.
    std::optional<Move> clickMove(const ElementRef& element) const;

    Options options_;
    ShipGame game_;
    TileImageSet ImageList1;
    QString FVersion_;

    ElementRef cursor_ = ElementRef::grid(0, 0);
    ElementRef boardCursor_ = ElementRef::grid(0, 0);  // where Tab from the legend goes back to
    bool cursorShown_ = false;
    QWidget* cursorFrame_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QAction* uniqueAction_ = nullptr;
    QAction* resumeAction_ = nullptr;
    QActionGroup* difficultyGroup_ = nullptr;
    TPuzzleDialog* puzzleDialog_ = nullptr;
    QTimer* saveTimer_ = nullptr;

    // The helps' bar under the board and the frames over the cells they are about.
    QFrame* helpBar_ = nullptr;
    QLabel* helpLabel_ = nullptr;
    QPushButton* helpTake_ = nullptr;
    std::vector<QWidget*> helpMarkers_;
    std::vector<ElementRef> helpCells_;
    ShipGame::Hint hint_;
    QuorvikIniFile::Settings settings_;

    QWidget* PanelMain = nullptr;
    QFrame* PanelImages = nullptr;
    QFrame* PanelCol = nullptr;
    QFrame* PanelRow = nullptr;
    QFrame* PanelLegend = nullptr;
    QLabel* Label1 = nullptr;
    QFrame* PanelButtons = nullptr;
    QPushButton* btnZeigen = nullptr;
    QPushButton* btnNeu = nullptr;
    QFrame* PanelDebug = nullptr;
    QLabel* lblH = nullptr;
    QLabel* lblW = nullptr;
    QLabel* lblDbgCnt = nullptr;

    std::array<std::array<TQVImageFrame*, maxBoardSize>, maxBoardSize> FGrid{};  // [col][row]
    std::array<TQVImageFrame*, maxBoardSize> FColNumbers{};
    std::array<TQVImageFrame*, maxBoardSize> FRowNumbers{};
    // The current legend's elements, in the model's order (row, ship, segment).
    std::vector<TQVImageFrame*> FLegendList;

    QActionGroup* levelGroup_ = nullptr;
    std::array<QAction*, maxLevel - minLevel + 1> levelActions_{};

    TAboutBox* aboutBox_ = nullptr;
    TManualForm* manualForm_ = nullptr;
};

}  // namespace quorvik
