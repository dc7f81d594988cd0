// The dialog of puzzle numbers: shows the number of the board in front of the player, ready to
// copy, and takes a number to play.
#pragma once

#include <QDialog>

#include <functional>

#include "PuzzleNumber.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace quorvik {

class TPuzzleDialog : public QDialog {
    Q_OBJECT

public:
    // Starts the puzzle a number names; false when there is no such puzzle.
    using StartPuzzle = std::function<bool(const PuzzleId&)>;
    // Tells the player what went wrong; a message box unless a test puts in another.
    using Warn = std::function<void(QWidget* parent, const QString& message)>;

    TPuzzleDialog(StartPuzzle start, QWidget* parent = nullptr);

    // Shows the dialog with the current board's number, the input empty.
    void showNumber(const QString& number);
    // Puts in the line that says how hard the current board is (see gradeText).
    void showGrade(const QString& text);
    QLabel* grade() const { return grade_; }
    void setWarn(Warn warn) { warn_ = std::move(warn); }

    QLineEdit* currentNumber() const { return current_; }
    QLineEdit* input() const { return input_; }

    // Plays the typed number: starts it and closes, or says why not and changes nothing.
    void play();

private:
    StartPuzzle start_;
    Warn warn_;
    QLineEdit* current_ = nullptr;
    QLineEdit* input_ = nullptr;
    QLabel* grade_ = nullptr;
};

// How hard a puzzle is, as the dialog says it: its grade when it has one solution ("leicht",
// "mittel", "schwer", "sehr schwer"), noting a hard one asked for and not found, else that it
// has several solutions.
QString gradeText(bool oneSolution, Grade grade, Difficulty builtFor);

}  // namespace quorvik
