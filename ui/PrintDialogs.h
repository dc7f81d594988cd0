// The way from the game menu's printing entries to paper: the options of a single puzzle, the
// booklet's choices, the print preview, the file to save, the progress of long work and the
// message when a file cannot be written. The pages themselves come from PrintSheet.
#pragma once

#include "Difficulty.h"

class QWidget;

namespace quorvik {

class ShipGame;

// "Drucken…": the options, then the print preview, from which the player prints.
void printGame(QWidget* parent, const ShipGame& game);
// "Als PDF speichern…": the options and the file, then the PDF; a message when it fails.
void saveGamePdf(QWidget* parent, const ShipGame& game);
// "Rätselheft…": the booklet's choices, the puzzles built under a progress dialog that can
// cancel, then the print preview or the PDF. The dialog starts at `level` and `difficulty`.
void makeBooklet(QWidget* parent, int level, Difficulty difficulty);

}  // namespace quorvik
