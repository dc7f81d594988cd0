// The window "Eigenes Rätsel": a puzzle from paper typed in (size, numbers, fleet, clues) or
// pasted as text, checked for its solutions beside the window's thread, kept in a text file or
// the clipboard, and started as a game.
#pragma once

#include <QDialog>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "Puzzle.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QThread;
class QGridLayout;

namespace quorvik {

class PuzzleGrid;
class TileImageSet;

class PuzzleEditor : public QDialog {
    Q_OBJECT

public:
    // Starts the puzzle as a game; false when it has no solution.
    using StartPuzzle = std::function<bool(const Puzzle&)>;

    // Solutions are counted up to this many.
    static constexpr int countLimit = 100;

    PuzzleEditor(const TileImageSet& tiles, StartPuzzle start, QWidget* parent = nullptr);
    // A count still running is cancelled and waited for.
    ~PuzzleEditor() override;

    // The puzzle as typed in so far, and another one to edit (a running count is cancelled).
    Puzzle puzzle() const;
    void setPuzzle(const Puzzle& puzzle);

    // Reads a puzzle from its text form or its code; false, with the German reason shown and
    // the puzzle kept, where the text holds none.
    bool takeText(const QString& text);

    // "Prüfen": the simple reason for no solution at once, else the count beside the window's
    // thread, which "Abbrechen" stops.
    void check();
    void cancelCheck();
    // "Spielen": starts the puzzle and closes, or says why not; a puzzle not yet counted is
    // counted first, beside the window's thread.
    void play();
    // Clipboard and files: the text form out, a text or code in.
    void copyText();
    void copyCode();
    void pasteText();
    void openFile();
    void saveFile();

    QLabel* answer() const { return answer_; }
    QPlainTextEdit* textView() const { return text_; }

private:
    // Builds the fleet's spin boxes for ships up to `longest`, keeping the counts typed.
    void buildFleet(int longest);
    // The board, the text and the answer after a change of the puzzle.
    void puzzleEdited();
    void sizeEdited();
    void countFinished();
    // Starts the puzzle last counted with the solution the count found.
    void startCounted();

    StartPuzzle start_;
    QSpinBox* columns_ = nullptr;
    QSpinBox* rows_ = nullptr;
    QGridLayout* fleetLayout_ = nullptr;
    std::vector<QSpinBox*> fleet_;  // [length - 1]
    PuzzleGrid* grid_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QLabel* answer_ = nullptr;
    QPushButton* checkButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    bool showingPuzzle_ = false;  // the controls are being set from a puzzle: no edits

    // The running count: its thread, its cancel flag and its result, shared with the thread.
    struct Count {
        Puzzle puzzle;
        std::atomic<bool> cancel{false};
        PuzzleSolutions result;
    };
    QThread* worker_ = nullptr;
    std::shared_ptr<Count> counted_;  // the last count that ended
    bool playWhenCounted_ = false;
    int run_ = 0;  // counts started
    std::shared_ptr<Count> count_;
};

}  // namespace quorvik
