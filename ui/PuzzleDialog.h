// The dialog of puzzle numbers: shows the number of the board in front of the player, ready to
// copy, and takes a number to play.
#pragma once

#include <QDialog>

#include <functional>

#include "Puzzle.h"
#include "PuzzleNumber.h"

class QLabel;
class QLineEdit;

namespace quorvik {

// What the player is told about a typed text that names no puzzle; a long text is cut short.
QString puzzleNumberMistake(const QString& typed);

class PuzzleDialog : public QDialog {
    Q_OBJECT

public:
    // Starts the puzzle a number names; false when there is no such puzzle.
    using StartPuzzle = std::function<bool(const PuzzleId&)>;
    // Starts a typed-in puzzle a puzzle code names; false when it has no solution.
    using StartTyped = std::function<bool(const Puzzle&)>;
    // Tells the player what went wrong; a message box unless a test puts in another.
    using Warn = std::function<void(QWidget* parent, const QString& message)>;

    PuzzleDialog(StartPuzzle start, StartTyped startTyped, QWidget* parent = nullptr);

    // Shows the dialog with the current board's number and a line about it, the input empty.
    void showNumber(const QString& number, const QString& note = {});
    void setWarn(Warn warn) { warn_ = std::move(warn); }

    QLineEdit* currentNumber() const { return current_; }
    QLineEdit* input() const { return input_; }

    // Plays the typed number or puzzle code: starts it and closes, or says why not and changes
    // nothing.
    void play();

private:
    StartPuzzle start_;
    StartTyped startTyped_;
    Warn warn_;
    QLineEdit* current_ = nullptr;
    QLabel* note_ = nullptr;
    QLineEdit* input_ = nullptr;
};

// The name of a grade as the player reads it: "leicht", "mittel", "schwer", "sehr schwer".
QString gradeName(Grade grade);

// The line about a board's solutions: that it has exactly one and how hard it is ("leicht",
// "mittel", "schwer", "sehr schwer"), noting a hard one asked for and not found, or that it has
// more than one.
QString solutionNote(bool oneSolution, Grade grade, Difficulty builtFor);

}  // namespace quorvik
