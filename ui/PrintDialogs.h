// The way from the game menu's printing entries to paper: the options of a single puzzle, the
// booklet's choices, the print preview, the file to save, the progress of long work and the
// message when a file cannot be written. The pages themselves come from PrintSheet.
#pragma once

#include <QDialog>

#include "Difficulty.h"
#include "PrintSheet.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace quorvik {

class ShipGame;

// The options of printing or saving the puzzle on the board.
class PrintOptionsDialog : public QDialog {
    Q_OBJECT

public:
    PrintOptionsDialog(const QString& title, QWidget* parent);
    bool withMarks() const;
    bool withSolution() const;

private:
    QCheckBox* marks_ = nullptr;
    QCheckBox* solution_ = nullptr;
};

// The choices of a booklet: level, difficulty, how many puzzles and how many to a page, and
// whether it goes to the printer or into a PDF file.
class BookletDialog : public QDialog {
    Q_OBJECT

public:
    enum class Output { Printer, Pdf };

    BookletDialog(int level, Difficulty difficulty, QWidget* parent);
    int level() const;
    Difficulty difficulty() const;
    int count() const;
    int perPage() const;
    Output output() const { return output_; }

private:
    void choose(Output output);

    QComboBox* level_ = nullptr;
    QComboBox* difficulty_ = nullptr;
    QSpinBox* count_ = nullptr;
    QComboBox* perPage_ = nullptr;
    Output output_ = Output::Printer;
};

// "Drucken…": the options, then the print preview, from which the player prints.
void printGame(QWidget* parent, const ShipGame& game);
// "Als PDF speichern…": the options and the file, then the PDF; a message when it fails.
void saveGamePdf(QWidget* parent, const ShipGame& game);
// "Rätselheft…": the booklet's choices, the puzzles built under a progress dialog that can
// cancel, then the print preview or the PDF. The dialog starts at `level` and `difficulty`.
void makeBooklet(QWidget* parent, int level, Difficulty difficulty);

}  // namespace quorvik
