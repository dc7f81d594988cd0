// The counting search's inside, shared by its two files: the state of the board as the search
// goes (LayoutLines.h), the ship places it tries, and the search that counts the layouts
// (LayoutCounter.cpp) with the rules it applies on each step (LayoutRules.cpp).
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
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

// The layouts a count has found and the windows next to them it has still to search, shared by
// its counters when more than one runs.
class Pool {
public:
    explicit Pool(int limit) : limit_(limit) {}

    // Keeps a layout met by a search; true when it is new. With the limit reached the count is
    // over.
    bool add(SolverLayout layout);

    // The next window to search next to a layout found, in the order they were found, each of
    // `windows` windows twice: first quickly, then, once every layout found so far has had its
    // quick turn, `thorough`ly. False when none is left.
    bool nextWindow(std::size_t windows, SolverLayout& layout, std::size_t& window, bool& thorough);

    // Whether no layout is found yet.
    bool empty() {
        const std::lock_guard lock(mutex_);
        return found_.empty();
    }

    // Copies of the layouts found, from the `from`-th on.
    std::vector<SolverLayout> layoutsFrom(std::size_t from);

    // The next restart round to search, 0 first.
    unsigned nextRound() { return nextRound_++; }

    // Ends the count, as having met every layout when `complete`.
    void finish(bool complete);

    bool over() const { return over_.load(std::memory_order_relaxed); }

    // The layouts found, up to the limit; cancelled when the count ended neither complete nor
    // at the limit.
    SolveResult result();

private:
    const int limit_;
    // Read at every step of the counts, and written once: on a cache line of its own, apart from
    // the round count the counters by steps write.
    alignas(64) std::atomic<bool> over_{false};
    alignas(64) std::atomic<unsigned> nextRound_{0};
    std::mutex mutex_;
    bool complete_ = false;
    std::vector<SolverLayout> found_;
    std::set<SolverLayout> seen_;
    // Per turn, quick and thorough: the first layout found with windows still to search, and
    // its next window.
    std::array<std::size_t, 2> nearLayout_{};
    std::array<std::size_t, 2> nearWindow_{};
};

// Finds layouts by clauses, a formula over the cells and the ship places, handed to a solver
// that learns from each dead end: where the search by steps wanders through a board with few
// layouts for long, it often finds one soon, and only it tells a board without a layout soon.
// Keeps each layout in `pool`, the pool's own excluded from the next answer, until the count is
// over; ends it as complete once no other is left. With `between`, it stops after a few dead ends
// each time to call it, and goes on while it returns true.
void countByClauses(const SolverPuzzle& puzzle, const SolveOptions& options, Pool& pool,
                    const std::function<bool()>& between = {});

// One count of a puzzle's layouts: the search in restart rounds and next to the layouts found,
// and the table of lines solved, kept from round to round. A count that outlasts its first rounds
// goes on beside a second thread that counts by clauses and, once a layout is found, takes turns
// with a second counter by steps; all share one pool.
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
    // Searches from `start` in the restart rounds the pool gives out, one after the other, until
    // the count is over (false). With `pauseAfter` above 0, true once the rounds of this
    // counter have taken that many steps.
    bool rounds(const SolverPuzzle& puzzle, const SolveOptions& options, const State& start,
                long pauseAfter);

    struct Window {
        bool byColumns = true;
        int from = 0;
        int width = 0;
    };

    // Looks for more layouts next to those found: the board outside a window kept as a layout
    // has it, the window searched afresh with a few steps. The layouts of a board lie in
    // clusters that differ within one part of it, and a search of that part alone reaches a
    // neighbour in a few steps where a search from the start wanders through the whole board.
    // The windows are bands of columns and bands of rows a little wider and a little narrower
    // than half the board, every fourth line apart: a cluster may differ across the rows as well
    // as across the columns. Each layout met this way is one of the puzzle's, so the count stays
    // exact.
    void searchNear(const SolverPuzzle& puzzle, const SolveOptions& options);

    // Searches the columns (or rows) of the window afresh in at most `steps` steps, with the rest
    // of the board kept as in `layout`.
    void searchWindow(const SolverPuzzle& puzzle, const SolveOptions& options,
                      const SolverLayout& layout, const Window& window, long steps);

    bool outOfSteps() const { return stepLimit_ > 0 && stepsTaken_ >= stepLimit_; }

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

    bool stopped() const { return pool_->over() || cancelled_ || outOfNodes_; }

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
    Pool* pool_ = nullptr;
    long recorded_ = 0;  // the layouts this counter was first to find
    std::vector<Window> windows_;
};

}  // namespace quorvik::layout
