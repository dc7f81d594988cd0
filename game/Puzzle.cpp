// The puzzle value and its way into the solver.
#include "Puzzle.h"

#include "LayoutCounter.h"

namespace quorvik {

namespace {

// Every segment lies in one row and one column, so a direction with exactly one line without
// a number has it: the fleet's segments less the others. With more such lines the numbers stay
// missing (-1) for the solver.
std::vector<int> withDeducedNumber(std::vector<int> numbers, int segments) {
    int missing = 0;
    int given = 0;
    for (const int n : numbers) {
        n < 0 ? ++missing : given += n;
    }
    if (missing == 1 && given <= segments) {
        for (int& n : numbers) {
            if (n < 0) {
                n = segments - given;
            }
        }
    }
    return numbers;
}

}  // namespace

int fleetSegments(const Puzzle& puzzle) {
    int segments = 0;
    for (std::size_t length = 1; length < puzzle.fleet.size(); ++length) {
        segments += static_cast<int>(length) * puzzle.fleet[length];
    }
    return segments;
}

PuzzleSolutions solvePuzzle(const Puzzle& puzzle, int limit, const std::atomic<bool>* cancel) {
    // The shape clues are the solver's clues; water and segments of unknown kind are cells its
    // layouts must agree with.
    const int segments = fleetSegments(puzzle);
    SolverPuzzle p{.cols = puzzle.columns,
                   .rows = puzzle.rows,
                   .colCounts = withDeducedNumber(puzzle.columnNumbers, segments),
                   .rowCounts = withDeducedNumber(puzzle.rowNumbers, segments),
                   .fleet = puzzle.fleet,
                   .clues = {}};
    std::vector<SolverCell> fixed;
    for (const Clue& clue : puzzle.clues) {
        const SolverCell cell{clue.x, clue.y, clue.mark};
        (isShipMark(clue.mark) && clue.mark != Mark::Segment ? p.clues : fixed).push_back(cell);
    }
    const SolveResult result = countLayouts(p, {limit, fixed, cancel});
    return {.count = result.count,
            .solution = result.solutions.empty() ? SolverLayout{} : result.solutions.front(),
            .cancelled = result.cancelled};
}

}  // namespace quorvik
