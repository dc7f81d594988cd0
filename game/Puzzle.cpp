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

SolverInput solverInput(const Puzzle& puzzle) {
    SolverInput input;
    SolverPuzzle& p = input.puzzle;
    p.cols = puzzle.columns;
    p.rows = puzzle.rows;
    const int segments = fleetSegments(puzzle);
    p.colCounts = withDeducedNumber(puzzle.columnNumbers, segments);
    p.rowCounts = withDeducedNumber(puzzle.rowNumbers, segments);
    p.fleet = puzzle.fleet;
    for (const Clue& clue : puzzle.clues) {
        const SolverCell cell{clue.x, clue.y, clue.mark};
        (isShipMark(clue.mark) && clue.mark != Mark::Segment ? p.clues : input.fixed)
            .push_back(cell);
    }
    return input;
}

PuzzleSolutions solvePuzzle(const Puzzle& puzzle, int limit, const std::atomic<bool>* cancel) {
    const SolverInput input = solverInput(puzzle);
    const SolveResult result = countLayouts(input.puzzle, {limit, input.fixed, cancel});
    PuzzleSolutions solutions;
    solutions.count = result.count;
    solutions.cancelled = result.cancelled;
    if (!result.solutions.empty()) {
        solutions.solution = result.solutions.front();
    }
    return solutions;
}

}  // namespace quorvik
