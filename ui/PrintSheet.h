// Puzzles on paper: one puzzle as a magazine prints it (the grid with its clues, the column and
// row numbers, the fleet to find, level, difficulty, puzzle number and a line for the time), its
// solution, and the pages of a single puzzle or a booklet, drawn as shapes and text on a printer
// or into a PDF file.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "Difficulty.h"
#include "Puzzle.h"
#include "RuntimeRandom.h"

class QPagedPaintDevice;

namespace quorvik {

class ShipGame;

// What a sheet shows of one puzzle.
struct PaperPuzzle {
    Puzzle puzzle;            // numbers, fleet, clues and the solution
    std::vector<Mark> marks;  // x * rows + y: the player's marks to show; empty: none
    QString caption;          // the level's heading, "Anfänger Level: 9x9"
    QString difficulty;       // "leicht" … "sehr schwer", or that it has several solutions
    QString number;           // the puzzle number that rebuilds it
};

// The game on the board as it goes on paper, with or without the player's marks.
PaperPuzzle paperPuzzle(const ShipGame& game, bool withMarks);

// `count` new puzzles of `level` built for `difficulty`, each with exactly one solution and each
// with its own number. `progress` hears how many are built and stops the work by returning
// false; then nothing is returned.
std::optional<std::vector<PaperPuzzle>> bookletPuzzles(
    int level, Difficulty difficulty, int count, RuntimeRandom::SeedSource seeds,
    const std::function<bool(int built)>& progress = {});

// How the puzzles go onto pages: `perPage` puzzles (1, 2 or 4) to a page, then, when asked for,
// the solutions: each on a page of its own, or small, twelve to a page.
struct SheetLayout {
    int perPage = 1;
    bool solutions = false;
    bool smallSolutions = false;
};
inline constexpr int smallSolutionsPerPage = 12;

// Paints the pages onto `device`, which is at its first page. `progress` hears each page begun
// and stops the painting by returning false. False when stopped or the device fails.
bool paintSheets(QPagedPaintDevice& device, const std::vector<PaperPuzzle>& puzzles,
                 const SheetLayout& layout, const std::function<bool(int page)>& progress = {});

// Writes the pages as a PDF file on A4 to `path`: staged beside it and renamed over it, so that
// a file that cannot be written whole leaves nothing new behind. The German sentence that says
// why it failed, or nothing.
std::optional<QString> savePdf(const QString& path, const std::vector<PaperPuzzle>& puzzles,
                               const SheetLayout& layout);

}  // namespace quorvik
