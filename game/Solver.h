// The solver: counts the layouts of a fleet that fit the line numbers and the revealed segments,
// names the next step a person can take without guessing, and finds the player's marks that no
// layout has. Works on any board up to 31 x 31 and any fleet; it reads a puzzle and changes
// nothing.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "Difficulty.h"
#include "Mark.h"

namespace quorvik {

// One cell with a mark: a shape, Segment (a segment of unknown kind) or Water.
struct SolverCell {
    int x = 0;
    int y = 0;
    Mark mark = Mark::Covered;
};

struct SolverPuzzle {
    int cols = 0;                   // 1 to 31
    int rows = 0;                   // 1 to 31
    std::vector<int> colCounts;     // segments per column, -1 for a column without a number
    std::vector<int> rowCounts;     // segments per row, -1 for a row without a number
    std::vector<int> fleet;         // fleet[n]: ships of length n; index 0 unused
    std::vector<SolverCell> clues;  // a shape, Segment (of any kind) or Water
};

// The longest length with ships in `fleet` (fleet[n]: ships of length n), 0 without ships.
inline int longestShip(const std::vector<int>& fleet) {
    for (std::size_t n = fleet.size(); n-- > 1;) {
        if (fleet[n] > 0) {
            return static_cast<int>(n);
        }
    }
    return 0;
}

// A full layout: one mark per cell at index x * rows + y; a shape, or Water where no ship lies.
using SolverLayout = std::vector<Mark>;

struct SolveResult {
    int count = 0;  // layouts found, at most the limit asked for
    std::vector<SolverLayout> solutions;
    bool cancelled = false;  // stopped by the cancel flag: the count is only a lower bound
};

struct SolveOptions {
    int limit = 2;                  // layouts to stop after (at least 1)
    std::vector<SolverCell> fixed;  // cells every layout must agree with
    // A flag another thread may set to stop the search early; none when null.
    const std::atomic<bool>* cancel = nullptr;
    // countLayouts() only: the steps after which it stops as if cancelled (0: no end), so that
    // a search the window waits for ends in a fraction of a second on any board.
    long stepLimit = 0;
};

// Counts the layouts that fit the numbers, the fleet and the clues and that agree with the
// `fixed` cells (Water, Segment of any kind, or exactly that shape), stopping at
// the limit or when cancelled, and returns them.
SolveResult solve(const SolverPuzzle& puzzle, const SolveOptions& options);
inline SolveResult solve(const SolverPuzzle& puzzle, const std::vector<SolverCell>& fixed = {},
                         int limit = 2) {
    return solve(puzzle, SolveOptions{limit, fixed, nullptr});
}

// What the layouts of a puzzle have in each cell, found by one search through all of them.
struct SolutionSpread {
    // Per cell at index x * rows + y: one bit per mark some layout has there, bit m for the mark
    // of value m (a shape, or Water for no ship). Empty for a puzzle without layouts.
    std::vector<std::uint16_t> marks;
    int count = 0;           // layouts seen, at most the limit
    bool cancelled = false;  // stopped by the cancel flag before every layout was seen
    // Whether every layout was seen, so a mark without its bit is in none.
    bool complete(int limit) const { return !cancelled && count < limit; }
    // Whether some layout seen has `mark` (Water, Segment for any shape, or that shape).
    bool has(int rows, const SolverCell& mark) const;
};

// Goes through the layouts of `puzzle`, stopping after `limit` or once `cancel` is set, and
// gathers what each cell holds.
SolutionSpread solutionSpread(const SolverPuzzle& puzzle, int limit,
                              const std::atomic<bool>* cancel = nullptr);

// The reasons a deduction can have, in the order they are tried.
enum class DeductionRule {
    FullLine,          // a line holds all its segments: its open cells are water
    LineNeedsAllOpen,  // a line needs every open cell: they are segments
    DiagonalWater,     // ships never touch at a corner: cells diagonal to a segment are water
    ClueNeighbours,    // a segment's kind decides its neighbours
    LengthComplete,    // every longer ship is found: this one cannot grow, its ends are water
    Unreachable,       // no ship still missing fits over these cells: water
    OnlyPlacement,     // only one ship position covers this segment: the ship lies there
    SegmentKind,       // the neighbours of these segments decide their kinds
    Trial,             // assuming the other value leads to a contradiction
};

// A ship position: top or left cell, length, orientation.
struct SolverShip {
    int x = 0;
    int y = 0;
    int length = 0;
    bool vertical = false;
};

struct Deduction {
    DeductionRule rule = DeductionRule::FullLine;
    // The cells it decides: Water, Segment, or the shape when the kind is known.
    std::vector<SolverCell> cells{};
    // FullLine, LineNeedsAllOpen: the line and its number.
    bool isColumn = false;
    int line = -1;
    int count = 0;
    // DiagonalWater: the segment; ClueNeighbours: the clue with its shape; LengthComplete: the
    // first cell of the run; OnlyPlacement: the segment it covers; Trial: the cell with the
    // value assumed (Segment or Water).
    SolverCell source{-1, -1, Mark::Covered};
    // ClueNeighbours of a middle piece: the orientation it takes; LengthComplete: the run's.
    bool vertical = false;
    // LengthComplete: the run's length, the longest a missing ship can still have.
    int length = 0;
    // OnlyPlacement: the ship's position.
    SolverShip ship{};
};

// The next deduction a person can make from the clues and the `known` cells (the player's
// correct marks: Water, Segment or a shape), by the rules in the order of DeductionRule; a trial
// assumes one cell's value and reasons on with the other rules. A line without a number gives no
// step by its number. Nothing when no rule applies or every cell and every segment's kind is
// decided.
std::optional<Deduction> nextDeduction(const SolverPuzzle& puzzle,
                                       const std::vector<SolverCell>& known);

// The grade of a rule: Easy up to ClueNeighbours, Medium up to SegmentKind, Hard for a trial.
Grade gradeOf(DeductionRule rule);

// The grade of a puzzle: the hints from the clues alone, each step taken, until every cell is
// decided. Below Hard, `limit` stops the reasoning at the first step that needs a rule beyond
// the limit's, and the answer is then the grade just above it: harder than the limit.
Grade gradePuzzle(const SolverPuzzle& puzzle, Grade limit = Grade::VeryHard);

// For each mark (Water, Segment or a shape; Covered is never flagged): whether no layout that fits
// the numbers, the fleet and the clues has it there.
std::vector<bool> impossibleMarks(const SolverPuzzle& puzzle, const std::vector<SolverCell>& marks);

}  // namespace quorvik
