// A puzzle as a value: the board's size, the line numbers, the fleet, the clues and, where known,
// the solution, in the game's own terms. It is made from typed-in text or a puzzle code as well
// as by the generator, and it hands itself to the solver.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Mark.h"
#include "Solver.h"

namespace quorvik {

// The longest side a board can have.
inline constexpr int maxPuzzleSide = 31;

struct Clue {
    int x = 0;
    int y = 0;
    Mark mark = Mark::Segment;  // Water, Segment or a shape

    friend bool operator==(const Clue&, const Clue&) = default;
};

struct Puzzle {
    int columns = 0, rows = 0;                   // 1 to 31 each
    std::vector<int> columnNumbers, rowNumbers;  // segments per line; -1: no number ("?")
    std::vector<int> fleet;                      // fleet[length]: ships of that length; [0] unused
    std::vector<Clue> clues;                     // column by column, each cell at most once
    std::vector<Mark> solution;                  // x * rows + y: a shape or Water; empty: not known

    friend bool operator==(const Puzzle&, const Puzzle&) = default;
};

// A puzzle read from text, or why the text holds none (a German sentence).
struct PuzzleReading {
    std::optional<Puzzle> puzzle;
    std::string error;
};

// The segments the whole fleet has.
int fleetSegments(const Puzzle& puzzle);

// The solutions of a puzzle, counted up to a limit, with the first one found; a search that
// `cancel` stops says so, and its count is then only how many it had found.
struct PuzzleSolutions {
    int count = 0;               // at most the limit
    std::vector<Mark> solution;  // x * rows + y; empty when there is none
    bool cancelled = false;
};
PuzzleSolutions solvePuzzle(const Puzzle& puzzle, int limit,
                            const std::atomic<bool>* cancel = nullptr);

}  // namespace quorvik
