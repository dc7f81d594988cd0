// What the solver says about the puzzle and the player's marks: one solution, the grade, the
// spread of the layouts, the mistakes, the next hint and the live count.
#include "ShipGame.h"

#include <future>
#include <optional>

#include "LayoutCounter.h"

namespace quorvik {

namespace {

// More layouts than any generated puzzle has been seen to have; beyond it the marks no layout
// seen has are looked at one by one.
constexpr int spreadLimit = 1 << 16;

// The marks of the grid cells that `keep` selects, column by column.
template <typename Keep>
std::vector<SolverCell> marksWhere(const ShipGame& game, Keep keep) {
    std::vector<SolverCell> marks;
    for (int x = 0; x <= game.maxCol(); ++x) {
        for (int y = 0; y <= game.maxRow(); ++y) {
            if (keep(game.cell(x, y))) {
                marks.push_back({x, y, game.cell(x, y).mark});
            }
        }
    }
    return marks;
}

}  // namespace

// --- The solver's view ---

Puzzle ShipGame::puzzle() const {
    const SolverPuzzle seen = solverPuzzle();
    Puzzle value;
    value.columns = seen.cols;
    value.rows = seen.rows;
    value.columnNumbers = seen.colCounts;
    value.rowNumbers = seen.rowCounts;
    // Without the storage beyond the longest ship.
    value.fleet.assign(seen.fleet.begin(), seen.fleet.begin() + longestShip(seen.fleet) + 1);
    for (const SolverCell& clue : seen.clues) {
        value.clues.push_back({clue.x, clue.y, clue.mark});
    }
    value.solution = hiddenLayout();
    return value;
}

SolverPuzzle ShipGame::solverPuzzle() const {
    SolverPuzzle puzzle;
    puzzle.cols = maxCol_ + 1;
    puzzle.rows = maxRow_ + 1;
    for (int x = 0; x <= maxCol_; ++x) {
        puzzle.colCounts.push_back(colNumber(x).number);
    }
    for (int y = 0; y <= maxRow_; ++y) {
        puzzle.rowCounts.push_back(rowNumber(y).number);
    }
    puzzle.fleet.assign(fleet_.begin(), fleet_.end());
    // A clue shows what it says: a segment, water or a segment of unknown kind.
    puzzle.clues = marksWhere(*this, [](const ElementState& c) { return c.isClue; });
    return puzzle;
}

SolverLayout ShipGame::hiddenLayout() const {
    SolverLayout layout;
    layout.reserve(index((maxCol_ + 1) * (maxRow_ + 1)));
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            layout.push_back(cell(x, y).ship);
        }
    }
    return layout;
}

std::optional<bool> ShipGame::knownOneSolution() const {
    if (!oneSolution_ && typedPuzzle_) {
        // A search that ends before it is sure leaves the answer open; it is asked again later.
        const SolveResult found = countLayouts(solverPuzzle(), {2, {}, nullptr, stepsDuringPlay});
        if (!found.cancelled) {
            oneSolution_ = found.count == 1;
        }
    } else if (!oneSolution_) {
        oneSolution_ =
            spread_.valid() ? spread().count == 1 : solve(solverPuzzle(), {}, 2).count == 1;
    }
    return oneSolution_;
}

Grade ShipGame::grade() const {
    if (!grade_) {
        grade_ = gradePuzzle(solverPuzzle());
    }
    return *grade_;
}

void ShipGame::prepareHelps() const {
    // A typed-in puzzle may have more layouts than any search goes through in time: its helps
    // ask the counting search about each mark instead.
    if (!spread_.valid() && !typedPuzzle_) {
        spread_ = std::async(std::launch::async, [puzzle = solverPuzzle()] {
                      return solutionSpread(puzzle, spreadLimit);
                  }).share();
    }
}

const SolutionSpread& ShipGame::spread() const {
    if (!spread_.valid()) {
        std::promise<SolutionSpread> now;
        now.set_value(solutionSpread(solverPuzzle(), spreadLimit));
        spread_ = now.get_future().share();
    }
    return spread_.get();
}

std::vector<SolverCell> ShipGame::playerMarks() const {
    return marksWhere(*this, [](const ElementState& c) {
        return !c.isClue && c.reveal == Reveal::None && c.mark != Mark::Covered;
    });
}

LiveFeedback ShipGame::liveFeedback() const {
    // Once the solution is shown, a cell counts as the segment filled in or ticked, and a cross
    // as the mark under it: the mark the cell keeps.
    const std::vector<SolverCell> shown = marksWhere(
        *this, [](const ElementState& c) { return !c.isClue && c.mark != Mark::Covered; });
    return quorvik::liveFeedback(solverPuzzle(), shown);
}

ShipGame::Mistakes ShipGame::mistakes() const {
    Mistakes found;
    std::vector<SolverCell> differing = playerMarks();
    std::erase_if(differing,
                  [this](const SolverCell& m) { return cell(m.x, m.y).agreesWith(m.mark); });
    if (differing.empty()) {
        return found;
    }
    if (oneSolution_.value_or(false)) {
        // The one solution is the hidden fleet.
        found.impossible = std::move(differing);
        return found;
    }
    if (typedPuzzle_) {
        // The marks have no solution together (else the board would hold it); each alone may.
        for (const SolverCell& m : differing) {
            // A mark is named impossible only when the search has shown it.
            const SolveResult layouts =
                countLayouts(solverPuzzle(), {1, {m}, nullptr, stepsDuringPlay});
            (layouts.count == 0 && !layouts.cancelled ? found.impossible : found.otherSolution)
                .push_back(m);
        }
        return found;
    }
    const SolutionSpread& layouts = spread();
    oneSolution_ = layouts.count == 1;
    std::vector<SolverCell> unseen;
    for (const SolverCell& m : differing) {
        if (layouts.has(maxRow_ + 1, m)) {
            found.otherSolution.push_back(m);
        } else if (layouts.complete(spreadLimit)) {
            found.impossible.push_back(m);
        } else {
            unseen.push_back(m);
        }
    }
    if (!unseen.empty()) {
        const std::vector<bool> flagged = quorvik::impossibleMarks(solverPuzzle(), unseen);
        for (std::size_t k = 0; k < unseen.size(); ++k) {
            (flagged[k] ? found.impossible : found.otherSolution).push_back(unseen[k]);
        }
    }
    return found;
}

bool ShipGame::solutionShown() const {
    for (int x = 0; x <= maxCol_; ++x) {
        for (int y = 0; y <= maxRow_; ++y) {
            const Reveal reveal = cell(x, y).reveal;
            if (reveal == Reveal::Shown || reveal == Reveal::FoundShown ||
                reveal == Reveal::Wrong) {
                return true;
            }
        }
    }
    return false;
}

ShipGame::Hint ShipGame::nextHint() const {
    if (solutionShown()) {
        return {.kind = Hint::Kind::Shown};
    }
    // A wrong mark first: reasoning from it would lead astray. One that no solution has comes
    // before one of another solution.
    const Mistakes wrong = mistakes();
    if (!wrong.impossible.empty() || !wrong.otherSolution.empty()) {
        const bool impossible = !wrong.impossible.empty();
        const SolverCell& m = impossible ? wrong.impossible.front() : wrong.otherSolution.front();
        return {.kind = impossible ? Hint::Kind::WrongMark : Hint::Kind::OtherSolution,
                .cells = {{m.x, m.y, Mark::Covered}}};
    }
    // The first segment neither shown with its shape (by the player or the solution display)
    // nor a clue: without one the rest is water, which need not be marked.
    std::optional<SolverCell> unshown;
    for (int x = 0; x <= maxCol_ && !unshown; ++x) {
        for (int y = 0; y <= maxRow_ && !unshown; ++y) {
            const ElementState& c = cell(x, y);
            if (c.hasShip && c.mark != c.ship && c.reveal == Reveal::None) {
                unshown = {x, y, c.ship};
            }
        }
    }
    if (!unshown) {
        return {.kind = Hint::Kind::Solved};
    }
    if (const std::optional<Deduction> step = nextDeduction(solverPuzzle(), playerMarks())) {
        Hint hint{.kind = Hint::Kind::Deduction, .deduction = *step};
        // Only what the player does not show yet: a step may restate a mark's kind.
        for (const SolverCell& decided : step->cells) {
            const ElementState& c = cell(decided.x, decided.y);
            // Every mark agrees with the fleet here, so a shape already shows a ship.
            const Mark mark = decided.mark;
            const bool shown = c.mark == mark || (mark == Mark::Segment && isShipMark(c.mark));
            if (!shown && !c.isClue && c.reveal == Reveal::None) {
                hint.cells.push_back(decided);
            }
        }
        if (!hint.cells.empty()) {
            return hint;
        }
    }
    // No rule helps: that segment is shown.
    return {.kind = Hint::Kind::Reveal, .cells = {*unshown}};
}

std::vector<Move> ShipGame::hintMoves(const Hint& hint) const {
    std::vector<Move> moves;
    for (const SolverCell& c : hint.cells) {
        moves.push_back(Move::mark(c.x, c.y, c.mark));
    }
    return moves;
}

}  // namespace quorvik
