// Playing a typed-in puzzle: the board built from a Puzzle value, and the solution on the board
// that follows the player's marks, since a puzzle from paper may have several solutions and
// every one of them counts as right.
#include <algorithm>

#include "LayoutCounter.h"
#include "ShipGame.h"

namespace quorvik {

namespace {

// Whether the puzzle's parts fit its size and the board's storage.
bool fitsBoard(const Puzzle& p) {
    const auto lineFits = [](const std::vector<int>& numbers, int count, int length) {
        return static_cast<int>(numbers.size()) == count &&
               std::all_of(numbers.begin(), numbers.end(),
                           [length](int n) { return n >= -1 && n <= length; });
    };
    if (p.columns < 1 || p.columns > maxBoardSize || p.rows < 1 || p.rows > maxBoardSize ||
        !lineFits(p.columnNumbers, p.columns, p.rows) ||
        !lineFits(p.rowNumbers, p.rows, p.columns) ||
        p.fleet.size() > static_cast<std::size_t>(maxBoardSize) + 1) {
        return false;
    }
    return std::all_of(p.fleet.begin(), p.fleet.end(), [](int n) { return n >= 0; }) &&
           std::all_of(p.clues.begin(), p.clues.end(), [&p](const Clue& c) {
               return c.x >= 0 && c.x < p.columns && c.y >= 0 && c.y < p.rows &&
                      c.mark != Mark::Covered;
           });
}

}  // namespace

void ShipGame::keepLevel(int level) {
    level_ = levelInfo(level).level;
}

bool ShipGame::newGameFromPuzzle(const Puzzle& puzzle) {
    if (!fitsBoard(puzzle)) {
        return false;
    }
    // A solution handed in (found beside the window's thread, or kept in the game file) is
    // checked, which is quick with every cell fixed; without one, or with a wrong one, the
    // search looks for two.
    PuzzleSolutions found;
    const bool shapesOnly =
        std::none_of(puzzle.solution.begin(), puzzle.solution.end(),
                     [](Mark m) { return m == Mark::Covered || m == Mark::Segment; });
    if (shapesOnly &&
        puzzle.solution.size() == static_cast<std::size_t>(puzzle.columns * puzzle.rows)) {
        Puzzle fixed = puzzle;
        fixed.clues.clear();
        for (std::size_t k = 0; k < puzzle.solution.size(); ++k) {
            const int x = static_cast<int>(k) / puzzle.rows;
            const int y = static_cast<int>(k) % puzzle.rows;
            fixed.clues.push_back({x, y, puzzle.solution[k]});
        }
        const auto agrees = [&puzzle](const Clue& c) {
            const Mark there = puzzle.solution[static_cast<std::size_t>(c.x * puzzle.rows + c.y)];
            return c.mark == there || (c.mark == Mark::Segment && isShipMark(there));
        };
        if (std::all_of(puzzle.clues.begin(), puzzle.clues.end(), agrees) &&
            solvePuzzle(fixed, 1).count == 1) {
            found.count = -1;  // not counted
            found.solution = puzzle.solution;
        }
    }
    if (found.solution.empty()) {
        found = solvePuzzle(puzzle, 2);
    }
    if (found.count == 0) {
        return false;
    }
    keepForUndo();
    // The level stays, for the next new game (one of the table's, whatever was kept).
    level_ = levelInfo(level_).level;
    typedPuzzle_ = puzzle;
    typedPuzzle_->solution.clear();
    maxCol_ = puzzle.columns - 1;
    maxRow_ = puzzle.rows - 1;
    fleet_.fill(0);
    std::copy(puzzle.fleet.begin(), puzzle.fleet.end(), fleet_.begin());
    clueCount_ = static_cast<int>(puzzle.clues.size());
    attempts_ = 0;
    gameSeed_ = 0;
    builtUnique_ = false;
    extraClues_ = 0;
    builtDifficulty_ = Difficulty::Any;
    grade_.reset();
    spread_ = {};
    // A solution only checked is counted when asked.
    oneSolution_ = found.count > 0 ? std::optional(found.count == 1) : std::nullopt;
    resetBoard();
    for (int x = 0; x <= maxCol_; ++x) {
        mutableColNumber(x).number = puzzle.columnNumbers[index(x)];
    }
    for (int y = 0; y <= maxRow_; ++y) {
        mutableRowNumber(y).number = puzzle.rowNumbers[index(y)];
    }
    SolverLayout layout;
    for (const Mark mark : found.solution) {
        layout.push_back(isShipMark(mark) ? mark : Mark::Water);
    }
    setHiddenLayout(layout);
    firstSolution_ = layout;
    // A clue shows what it says, on grey, and never changes: a water clue water, a segment of
    // unknown kind a segment, whatever the solution on the board has there.
    for (const Clue& clue : puzzle.clues) {
        ElementState& c = mutableCell(clue.x, clue.y);
        c.isClue = true;
        c.mark = clue.mark;
        c.reveal = Reveal::Clue;
    }
    updateSums();
    history_.clear();
    done_ = 0;
    return true;
}

void ShipGame::setHiddenLayout(const SolverLayout& layout) {
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            ElementState& c = mutableCell(x, y);
            c.ship = layout[index(x * (maxRow_ + 1) + y)];
            c.hasShip = isShipMark(c.ship);
        }
    }
}

bool ShipGame::takeSolutionWith(const std::vector<SolverCell>& fixed) {
    const SolveResult found = countLayouts(solverPuzzle(), {1, fixed, nullptr, stepsDuringPlay});
    if (found.solutions.empty()) {
        return false;
    }
    setHiddenLayout(found.solutions.front());
    return true;
}

void ShipGame::followMarks() {
    if (!typedPuzzle_ || solutionShown()) {
        return;
    }
    const std::vector<SolverCell> marks = playerMarks();
    const bool agree = std::all_of(marks.begin(), marks.end(), [this](const SolverCell& m) {
        return cell(m.x, m.y).agreesWith(m.mark);
    });
    // Marks that no solution has together leave the solution as it is: the helps name them.
    if (!agree) {
        takeSolutionWith(marks);
    }
}

}  // namespace quorvik
