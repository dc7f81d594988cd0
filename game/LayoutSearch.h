// The counting search's inside, shared by its two files: the state of the board as the search
// goes (LayoutLines.h), the ship places it tries, and the search that counts the layouts
// (LayoutCounter.cpp) with the rules it applies on each step (LayoutRules.cpp).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <random>
#include <set>
#include <vector>

#include "LayoutLines.h"
#include "Solver.h"

namespace quorvik::layout {

// The shape a ship of n cells has in its k-th cell.
Mark pieceShape(int n, int k, bool vertical);

struct Placement {
    int x = 0;  // top or left cell
    int y = 0;
    int length = 0;
    bool vertical = false;
};

// One count of a puzzle's layouts: the search in restart rounds and next to the layouts found,
// the layouts met, and the table of lines solved, kept from round to round.
class Counter {
public:
    Counter(const SolverPuzzle& puzzle, const SolveOptions& options)
        : cols_(puzzle.cols),
          rows_(puzzle.rows),
          limit_(std::max(options.limit, 1)),
          cancel_(options.cancel),
          stepLimit_(options.stepLimit),
          lines_(std::size_t{1} << lineTableBits_) {}

    SolveResult run(const SolverPuzzle& puzzle, const SolveOptions& options);

private:
    // Looks for more layouts next to those found: the board outside a window kept as a layout
    // has it, the window searched afresh with a few steps. The layouts of a board lie in
    // clusters that differ within one part of it, and a search of that part alone reaches a
    // neighbour in a few steps where a search from the start wanders through the whole board.
    // The windows are bands of columns and bands of rows a little wider and a little narrower
    // than half the board, every fourth line apart: a cluster may differ across the rows as well
    // as across the columns. Each layout met this way is one of the puzzle's, so the count stays
    // exact.
    void searchNear(const SolverPuzzle& puzzle, const SolveOptions& options);

    // Searches the columns (or rows) from `from` on, `width` of them, with the rest of the
    // board kept as in `layout`.
    void searchWindow(const SolverPuzzle& puzzle, const SolveOptions& options,
                      const SolverLayout& layout, bool byColumns, int from, int width);

    bool setUp(const SolverPuzzle& p, const SolveOptions& options, State& s);

    // The cell can no longer take a segment.
    static void block(State& s, int x, int y) {
        s.rowOpen[y] &= ~(Mask{1} << x);
        s.colOpen[x] &= ~(Mask{1} << y);
    }

    // The lines whose cells changed since settle() last looked at them, bit y for row y.
    struct Changed {
        Mask rows = ~Mask{0};
        Mask cols = ~Mask{0};
    };

    // The cell holds a segment: its four corner neighbours are water, since ships never touch
    // but along their length. False when one of them is known to hold a segment.
    bool waterAround(State& s, int x, int y, Changed& changed) const;

    // Draws what the numbers force until nothing changes: an open cell that holds a segment in
    // no way to fill its line with its number turns to water, one that holds a segment in every
    // way gets one, and each segment found so has water at its corners. False when a line or a
    // known segment can no longer be satisfied.
    bool settle(State& s, Changed changed) const;

    // Looks at the first row (or column) in `changed`: draws what its number forces and marks
    // the lines that changed with it. False when the line or a segment found cannot be.
    // Kept inside settle(), where it runs some ten times a call.
    template <bool column>
    [[gnu::always_inline]] bool settleLine(State& s, Changed& changed, int longest,
                                           std::uint32_t runs) const;

    // solveLine() through a table of the lines met before: sibling branches of the search
    // share most of their lines, so most lines are met many times.
    bool lineSolved(Mask open, Mask sure, int need, int length, std::uint32_t runs, Mask& water,
                    Mask& segments) const;

    // Whether a ship may lie at `p`: its cells open, its row or column with room for it, the
    // kinds given for its cells its own, and no segment clue next to it that it leaves out.
    bool fits(const State& s, const Placement& p) const;

    // Puts the ship in: its cells taken, the cells around it water (ships never touch), the
    // lines' needs and the fleet counted down. False when the state can lead to no layout.
    bool place(State& s, const Placement& p) const;

    // The placement index that orders the ships of one length: rows' horizontal ships first,
    // then columns' vertical ones, each by its first cell.
    static int indexOf(const Placement& p) {
        return p.vertical ? 1024 + p.x * 32 + p.y : p.y * 32 + p.x;
    }

    // The ships that may cover the cell, longest first.
    void coveringShips(const State& s, int cx, int cy, std::vector<Placement>& out) const;

    // The places the lowest ship of n cells still to place may take; only the first `enough`
    // of them when there are more.
    void lowestShips(const State& s, int n, std::vector<Placement>& out,
                     std::size_t enough = SIZE_MAX) const;

    bool stopped() const {
        return static_cast<int>(found_.size()) >= limit_ || cancelled_ || outOfNodes_;
    }

    // How the search goes on from one state: each ship in `ships` put in, and the cell water
    // when `water` says so. With `lowest`, the ships are the places of the lowest ship of their
    // length still to place, and the others of that length then lie above it; otherwise each
    // covers the cell (cx, cy). One is kept per depth of the search and used again, with its
    // lists, by every step at that depth.
    struct Branching {
        std::vector<Placement> ships;
        std::vector<Placement> others;  // the places choose() weighs against `ships`
        bool lowest = false;
        bool water = false;
        State afterWater;  // the state with the cell water, settled
        int cx = 0;
        int cy = 0;
        std::size_t ways() const { return ships.size() + (water ? 1 : 0); }
        void clear() {
            ships.clear();
            lowest = false;
            water = false;
            cx = 0;
            cy = 0;
        }
    };

    // What to decide next: a segment clue not yet covered, with the fewest ships that may cover
    // it; else, while the longest ship left has at least `longFirstFrom_` cells, where the lowest
    // ship of that length lies; else the cell of the tightest line, unless the lowest ship of
    // some length has fewer places. False when the state can lead to no layout.
    bool choose(const State& s, Branching& b) const;

    // Goes through the layouts that follow from `s`. The branches of a choice share no layout,
    // so each layout is met once in a round.
    void search(const State& s, std::size_t depth = 0);

    void record();

    const int cols_;
    const int rows_;
    const int limit_;
    const std::atomic<bool>* const cancel_;
    const long stepLimit_;
    long stepsTaken_ = 0;                    // in the rounds before this one
    int longest_ = 0;                        // the longest length in the fleet
    std::array<Mask, maxSide> shapedRow_{};  // per row, the cells whose kind is given
    std::array<Mask, maxSide> shapedCol_{};
    std::vector<Mark> shape_;  // x * rows + y: the kind given, or Covered
    std::vector<Placement> placed_;
    std::deque<Branching> branchings_;  // per depth of the search; a deque keeps them in place
    struct SolvedLine {
        std::uint64_t cells = 0;
        std::uint64_t rest = 0;  // 0 for an empty entry: a key's top bit is always set
        Mask water = 0;
        Mask segments = 0;
        bool fits = false;
    };
    // A puzzle from paper meets few lines: a small table is set up faster than it would help.
    const int lineTableBits_ = cols_ * rows_ <= 15 * 15 ? 11 : 14;
    mutable std::vector<SolvedLine> lines_;
    long nodes_ = 0;
    long budget_ = 0;
    bool outOfNodes_ = false;
    bool cancelled_ = false;
    bool shuffle_ = false;
    int longFirstFrom_ = 2;  // ships this long or longer are placed by their lowest place
    std::mt19937 rng_;
    std::vector<SolverLayout> found_;
    std::size_t nearDone_ = 0;  // the layouts found whose windows have been searched
    std::set<SolverLayout> seen_;
};

}  // namespace quorvik::layout
