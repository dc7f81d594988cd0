// The counting search: rows and columns as bit masks of the cells that may still take a segment,
// each step deciding one cell of the most constrained line (water, or the ship that covers it),
// every branch cut off as soon as a line, a clue or the fleet can no longer be satisfied; when
// its restarts stop finding layouts, it searches half the board afresh next to each one found.
#include "LayoutCounter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <random>
#include <set>
#include <tuple>

#include "LayoutLines.h"

namespace quorvik {

namespace layout {
namespace {

// The steps of the shortest restart round.
constexpr long restartUnit = 512;
// The most a round's steps are multiplied while it keeps finding layouts.
constexpr long maxBoost = 1 << 12;
// The steps of a search next to a layout found, in one window of the board.
constexpr long nearSteps = 8 * restartUnit;
// The lines between two windows of the same width next to a layout found.
constexpr int nearStride = 4;

// The shape a ship of n cells has in its k-th cell.
Mark pieceShape(int n, int k, bool vertical) {
    if (n == 1) {
        return Mark::Single;
    }
    if (k == 0) {
        return vertical ? Mark::Top : Mark::Left;
    }
    return k == n - 1 ? (vertical ? Mark::Bottom : Mark::Right) : Mark::Middle;
}

struct Placement {
    int x = 0;  // top or left cell
    int y = 0;
    int length = 0;
    bool vertical = false;
};

class Counter {
public:
    Counter(const SolverPuzzle& puzzle, const SolveOptions& options)
        : cols_(puzzle.cols),
          rows_(puzzle.rows),
          limit_(std::max(options.limit, 1)),
          cancel_(options.cancel),
          stepLimit_(options.stepLimit),
          lines_(std::size_t{1} << lineTableBits_) {}

    SolveResult run(const SolverPuzzle& puzzle, const SolveOptions& options) {
        State start;
        SolveResult result;
        if (!setUp(puzzle, options, start)) {
            return result;
        }
        long boost = 1;
        for (unsigned round = 0;;) {
            budget_ = (round == 0 ? 4 * restartUnit : restartUnit * luby(round)) * boost;
            shuffle_ = round > 0;
            // Odd rounds decide cells all the way, even rounds place the long ships first: each
            // order gets stuck on boards where the other one does not.
            longFirstFrom_ = round % 2 == 0 ? 2 : maxSide + 1;
            rng_.seed(round);
            nodes_ = 0;
            outOfNodes_ = false;
            const std::size_t before = found_.size();
            search(start);
            stepsTaken_ += nodes_;
            cancelled_ = cancelled_ || (outOfNodes_ && stepLimit_ > 0 && stepsTaken_ >= stepLimit_);
            if (cancelled_ || !outOfNodes_ || static_cast<int>(found_.size()) >= limit_) {
                result.cancelled = cancelled_ && static_cast<int>(found_.size()) < limit_;
                break;
            }
            // Layouts lie in clusters: a round that found new ones goes on in the same order
            // with twice the steps; once that finds nothing new, the search looks next to the
            // layouts found, and then goes on with the next round.
            if (found_.size() > before && boost < maxBoost) {
                boost *= 2;
                continue;
            }
            boost = 1;
            ++round;
            if (nearDone_ < found_.size()) {
                searchNear(puzzle, options);
                cancelled_ = cancelled_ || (stepLimit_ > 0 && stepsTaken_ >= stepLimit_);
                if (cancelled_ || static_cast<int>(found_.size()) >= limit_) {
                    result.cancelled = cancelled_ && static_cast<int>(found_.size()) < limit_;
                    break;
                }
            }
        }
        result.count = std::min(static_cast<int>(found_.size()), limit_);
        found_.resize(static_cast<std::size_t>(result.count));
        result.solutions = std::move(found_);
        return result;
    }

private:
    // Looks for more layouts next to those found: the board outside a window kept as a layout
    // has it, the window searched afresh with a few steps. The layouts of a board lie in
    // clusters that differ within one part of it, and a search of that part alone reaches a
    // neighbour in a few steps where a search from the start wanders through the whole board.
    // The windows are bands of columns and bands of rows a little wider and a little narrower
    // than half the board, every fourth line apart: a cluster may differ across the rows as well
    // as across the columns. Each layout met this way is one of the puzzle's, so the count stays
    // exact.
    void searchNear(const SolverPuzzle& puzzle, const SolveOptions& options) {
        for (; nearDone_ < found_.size(); ++nearDone_) {
            const SolverLayout layout = found_[nearDone_];  // a copy, as found_ grows
            for (const bool byColumns : {true, false}) {
                const int side = byColumns ? cols_ : rows_;
                for (const int width : {side / 2 + 1, side / 2 - 1}) {
                    for (int step = 0; width > 0 && step * nearStride < side - width + nearStride;
                         ++step) {
                        const int from = std::min(step * nearStride, side - width);
                        searchWindow(puzzle, options, layout, byColumns, from, width);
                        if (static_cast<int>(found_.size()) >= limit_ || cancelled_ ||
                            (stepLimit_ > 0 && stepsTaken_ >= stepLimit_)) {
                            return;
                        }
                    }
                }
            }
        }
    }

    // Searches the columns (or rows) from `from` on, `width` of them, with the rest of the
    // board kept as in `layout`.
    void searchWindow(const SolverPuzzle& puzzle, const SolveOptions& options,
                      const SolverLayout& layout, bool byColumns, int from, int width) {
        SolveOptions near{limit_, options.fixed, nullptr, 0};
        for (int x = 0; x < cols_; ++x) {
            for (int y = 0; y < rows_; ++y) {
                const int at = byColumns ? x : y;
                if (at < from || at >= from + width) {
                    near.fixed.push_back({x, y, layout[static_cast<std::size_t>(x * rows_ + y)]});
                }
            }
        }
        const auto ownShapes = std::make_tuple(shape_, shapedRow_, shapedCol_);
        const int longFirstFrom = longFirstFrom_;
        State start;
        if (setUp(puzzle, near, start)) {
            budget_ = nearSteps;
            nodes_ = 0;
            outOfNodes_ = false;
            shuffle_ = false;
            longFirstFrom_ = 2;
            search(start);
            stepsTaken_ += nodes_;
        }
        std::tie(shape_, shapedRow_, shapedCol_) = ownShapes;
        longFirstFrom_ = longFirstFrom;
    }

    bool setUp(const SolverPuzzle& p, const SolveOptions& options, State& s) {
        if (cols_ < 1 || rows_ < 1 || cols_ > maxSide || rows_ > maxSide ||
            static_cast<int>(p.colCounts.size()) != cols_ ||
            static_cast<int>(p.rowCounts.size()) != rows_) {
            return false;
        }
        shape_.assign(static_cast<std::size_t>(cols_ * rows_), Mark::Covered);
        for (std::size_t n = 1; n < p.fleet.size(); ++n) {
            const int count = p.fleet[n];
            if (count > 0 && static_cast<int>(n) > std::max(cols_, rows_)) {
                return false;  // a ship longer than the board
            }
            if (count > cols_ * rows_) {
                return false;  // more ships than cells (and more than the state counts)
            }
            if (count > 0) {
                s.ships[n] = count;
                s.segmentsLeft += count * static_cast<int>(n);
                longest_ = std::max(longest_, static_cast<int>(n));
            }
        }
        const Mask allCols = bitsBetween(0, cols_ - 1);
        const Mask allRows = bitsBetween(0, rows_ - 1);
        bool allRowsNumbered = true;
        bool allColsNumbered = true;
        for (int y = 0; y < rows_; ++y) {
            const int n = p.rowCounts[static_cast<std::size_t>(y)];
            if (n > cols_) {
                return false;  // more segments than the row has cells
            }
            s.rowNeed[y] = n < 0 ? unlimited : n;
            s.rowNeedSum += std::max(n, 0);
            allRowsNumbered = allRowsNumbered && n >= 0;
            s.rowOpen[y] = allCols;
        }
        for (int x = 0; x < cols_; ++x) {
            const int n = p.colCounts[static_cast<std::size_t>(x)];
            if (n > rows_) {
                return false;
            }
            s.colNeed[x] = n < 0 ? unlimited : n;
            s.colNeedSum += std::max(n, 0);
            allColsNumbered = allColsNumbered && n >= 0;
            s.colOpen[x] = allRows;
        }
        // Every segment lies in one row and one column.
        if ((allRowsNumbered && s.rowNeedSum != s.segmentsLeft) ||
            (allColsNumbered && s.colNeedSum != s.segmentsLeft)) {
            return false;
        }
        std::vector<SolverCell> given = p.clues;
        given.insert(given.end(), options.fixed.begin(), options.fixed.end());
        std::array<Mask, maxSide> water{};
        for (const SolverCell& c : given) {
            if (c.x < 0 || c.y < 0 || c.x >= cols_ || c.y >= rows_) {
                return false;
            }
            const Mask bit = Mask{1} << c.x;
            Mark& shape = shape_[static_cast<std::size_t>(c.x * rows_ + c.y)];
            if (c.mark == Mark::Water) {
                water[c.y] |= bit;
            } else if (isShipMark(c.mark)) {
                s.rowSure[c.y] |= bit;
                s.colSure[c.x] |= Mask{1} << c.y;
                if (c.mark != Mark::Segment) {
                    if (shape != Mark::Covered && shape != c.mark) {
                        return false;  // two kinds given for one cell
                    }
                    shape = c.mark;
                    shapedRow_[c.y] |= bit;
                    shapedCol_[c.x] |= Mask{1} << c.y;
                }
            }
        }
        for (int y = 0; y < rows_; ++y) {
            if ((water[y] & s.rowSure[y]) != 0) {
                return false;
            }
            for (Mask m = water[y]; m != 0; m &= m - 1) {
                block(s, std::countr_zero(m), y);
            }
        }
        for (int y = 0; y < rows_; ++y) {
            for (Mask m = s.rowSure[y]; m != 0; m &= m - 1) {
                Changed unused;
                if (!waterAround(s, std::countr_zero(m), y, unused)) {
                    return false;
                }
            }
        }
        return settle(s, Changed{}) && feasible(s, rows_, cols_, longest_);
    }

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
    bool waterAround(State& s, int x, int y, Changed& changed) const {
        const Mask corners = bitsBetween(x - 1, x + 1) & ~(Mask{1} << x);
        for (int cy = y - 1; cy <= y + 1; cy += 2) {
            if (cy < 0 || cy >= rows_) {
                continue;
            }
            if ((s.rowSure[cy] & corners) != 0) {
                return false;
            }
            const Mask water = s.rowOpen[cy] & corners;
            if (water != 0) {
                changed.rows |= Mask{1} << cy;
                changed.cols |= water;
                for (Mask m = water; m != 0; m &= m - 1) {
                    block(s, std::countr_zero(m), cy);
                }
            }
        }
        return true;
    }

    // Draws what the numbers force until nothing changes: an open cell that holds a segment in
    // no way to fill its line with its number turns to water, one that holds a segment in every
    // way gets one, and each segment found so has water at its corners. False when a line or a
    // known segment can no longer be satisfied.
    bool settle(State& s, Changed changed) const {
        const int longest = longestLeft(s, longest_);
        // The lengths a run of segments along a line may have: one cell (a single, or a ship
        // across the line) and each length with ships left.
        std::uint32_t runs = longest > 0 ? 2u : 0u;
        for (int n = 2; n <= longest; ++n) {
            runs |= s.ships[n] > 0 ? 1u << n : 0u;
        }
        changed.rows &= bitsBetween(0, rows_ - 1);
        changed.cols &= bitsBetween(0, cols_ - 1);
        // The rows first, each time one is left to look at, then the columns.
        while ((changed.rows | changed.cols) != 0) {
            if (changed.rows != 0 ? !settleLine<false>(s, changed, longest, runs)
                                  : !settleLine<true>(s, changed, longest, runs)) {
                return false;
            }
        }
        return true;
    }

    // Looks at the first row (or column) in `changed`: draws what its number forces and marks
    // the lines that changed with it. False when the line or a segment found cannot be.
    // Kept inside settle(), where it runs some ten times a call.
    template <bool column>
    [[gnu::always_inline]] bool settleLine(State& s, Changed& changed, int longest,
                                           std::uint32_t runs) const {
        Mask& pending = column ? changed.cols : changed.rows;
        const int line = std::countr_zero(pending);
        pending &= pending - 1;
        const int need = column ? s.colNeed[line] : s.rowNeed[line];
        auto& openAlong = column ? s.colOpen : s.rowOpen;  // this line and those beside it
        Mask& open = openAlong[line];
        const Mask sure = column ? s.colSure[line] : s.rowSure[line];
        if (sure == 0 && need > 0 && (need >= unlimited || roomAtLeast(open, longest) > need)) {
            return true;  // the common case: room to spare, nothing forced by the numbers
        }
        Mask water = 0;
        Mask segments = 0;
        const int length = column ? rows_ : cols_;
        if (!lineSolved(open, sure, need, length, runs, water, segments)) {
            return false;
        }
        (column ? changed.rows : changed.cols) |= water | segments;
        open &= ~water;
        auto& across = column ? s.rowOpen : s.colOpen;
        for (Mask m = water; m != 0; m &= m - 1) {
            across[std::countr_zero(m)] &= ~(Mask{1} << line);
        }
        if (segments == 0) {
            return true;
        }
        (column ? s.colSure : s.rowSure)[line] |= segments;
        auto& sureAcross = column ? s.rowSure : s.colSure;
        for (Mask m = segments; m != 0; m &= m - 1) {
            sureAcross[std::countr_zero(m)] |= Mask{1} << line;
        }
        // The corners of the new segments, all at once (as waterAround() does for one): in the
        // lines on both sides, the cells next to a segment's cell along the line.
        const Mask corners = (segments << 1 | segments >> 1) & bitsBetween(0, length - 1);
        auto& sideSure = column ? s.colSure : s.rowSure;
        const int sides = column ? cols_ : rows_;
        for (int side = line - 1; side <= line + 1; side += 2) {
            if (side < 0 || side >= sides) {
                continue;
            }
            if ((sideSure[side] & corners) != 0) {
                return false;
            }
            const Mask water = openAlong[side] & corners;
            if (water != 0) {
                (column ? changed.cols : changed.rows) |= Mask{1} << side;
                (column ? changed.rows : changed.cols) |= water;
                openAlong[side] &= ~water;
                for (Mask m = water; m != 0; m &= m - 1) {
                    across[std::countr_zero(m)] &= ~(Mask{1} << side);
                }
            }
        }
        return true;
    }

    // solveLine() through a table of the lines met before: sibling branches of the search
    // share most of their lines, so most lines are met many times.
    bool lineSolved(Mask open, Mask sure, int need, int length, std::uint32_t runs, Mask& water,
                    Mask& segments) const {
        const std::uint64_t cells = open | std::uint64_t{sure} << 32;
        const std::uint64_t rest = std::uint64_t{1} << 63 | std::uint64_t{runs} << 16 |
                                   static_cast<std::uint64_t>(length) << 8 |
                                   static_cast<std::uint64_t>(need);
        const std::uint64_t hash = (cells ^ rest * 0x9E3779B97F4A7C15u) * 0xBF58476D1CE4E5B9u;
        SolvedLine& entry = lines_[hash >> (64 - lineTableBits_)];
        if (entry.cells != cells || entry.rest != rest) {
            entry.cells = cells;
            entry.rest = rest;
            entry.fits = solveLine(open, sure, need, length, runs, entry.water, entry.segments);
        }
        water = entry.water;
        segments = entry.segments;
        return entry.fits;
    }

    // Whether a ship may lie at `p`: its cells open, its row or column with room for it, the
    // kinds given for its cells its own, and no segment clue next to it that it leaves out.
    bool fits(const State& s, const Placement& p) const {
        const int n = p.length;
        if (p.vertical) {
            const Mask cells = bitsBetween(p.y, p.y + n - 1);
            if ((s.colOpen[p.x] & cells) != cells || s.colNeed[p.x] < n) {
                return false;
            }
            const Mask ring = bitsBetween(p.y - 1, p.y + n);
            if ((((p.x > 0 ? s.colSure[p.x - 1] : 0) | (p.x + 1 < cols_ ? s.colSure[p.x + 1] : 0) |
                  (s.colSure[p.x] & ~cells)) &
                 ring) != 0) {
                return false;
            }
            if ((shapedCol_[p.x] & cells) != 0) {
                for (int k = 0; k < n; ++k) {
                    const Mark shape = shape_[static_cast<std::size_t>(p.x * rows_ + p.y + k)];
                    if (shape != Mark::Covered && shape != pieceShape(n, k, true)) {
                        return false;
                    }
                }
            }
            return true;
        }
        const Mask cells = bitsBetween(p.x, p.x + n - 1);
        if ((s.rowOpen[p.y] & cells) != cells || s.rowNeed[p.y] < n) {
            return false;
        }
        const Mask ring = bitsBetween(p.x - 1, p.x + n);
        if ((((p.y > 0 ? s.rowSure[p.y - 1] : 0) | (p.y + 1 < rows_ ? s.rowSure[p.y + 1] : 0) |
              (s.rowSure[p.y] & ~cells)) &
             ring) != 0) {
            return false;
        }
        if ((shapedRow_[p.y] & cells) != 0) {
            for (int k = 0; k < n; ++k) {
                const Mark shape = shape_[static_cast<std::size_t>((p.x + k) * rows_ + p.y)];
                if (shape != Mark::Covered && shape != pieceShape(n, k, false)) {
                    return false;
                }
            }
        }
        return true;
    }

    // Puts the ship in: its cells taken, the cells around it water (ships never touch), the
    // lines' needs and the fleet counted down. False when the state can lead to no layout.
    bool place(State& s, const Placement& p) const {
        const int n = p.length;
        const int w = p.vertical ? 1 : n;
        const int h = p.vertical ? n : 1;
        for (int k = 0; k < n; ++k) {
            const int x = p.vertical ? p.x : p.x + k;
            const int y = p.vertical ? p.y + k : p.y;
            s.rowSure[y] &= ~(Mask{1} << x);
            s.colSure[x] &= ~(Mask{1} << y);
            if (s.rowNeed[y] < unlimited) {
                --s.rowNeed[y];
                --s.rowNeedSum;
            }
            if (s.colNeed[x] < unlimited) {
                --s.colNeed[x];
                --s.colNeedSum;
            }
        }
        const Mask ringCols = bitsBetween(p.x - 1, p.x + w) & bitsBetween(0, cols_ - 1);
        const Mask ringRows = bitsBetween(p.y - 1, p.y + h) & bitsBetween(0, rows_ - 1);
        for (int y = std::max(p.y - 1, 0); y <= std::min(p.y + h, rows_ - 1); ++y) {
            s.rowOpen[y] &= ~ringCols;
        }
        for (int x = std::max(p.x - 1, 0); x <= std::min(p.x + w, cols_ - 1); ++x) {
            s.colOpen[x] &= ~ringRows;
        }
        const bool longestGone = --s.ships[n] == 0 && longestLeft(s, longest_) < n;
        s.segmentsLeft -= n;
        // Only the lines around the ship changed, unless the longest ship left is shorter now.
        const Changed changed = longestGone ? Changed{} : Changed{ringRows, ringCols};
        return settle(s, changed) && feasible(s, rows_, cols_, longest_);
    }

    // The placement index that orders the ships of one length: rows' horizontal ships first,
    // then columns' vertical ones, each by its first cell.
    static int indexOf(const Placement& p) {
        return p.vertical ? 1024 + p.x * 32 + p.y : p.y * 32 + p.x;
    }

    // The ships that may cover the cell, longest first.
    void coveringShips(const State& s, int cx, int cy, std::vector<Placement>& out) const {
        out.clear();
        for (int n = longest_; n >= 1; --n) {
            if (s.ships[n] == 0) {
                continue;
            }
            for (int vertical = 0; vertical < (n > 1 ? 2 : 1); ++vertical) {
                const int at = vertical ? cy : cx;
                const Mask starts = allowedStarts(s, n, vertical == 1, vertical ? cx : cy) &
                                    bitsBetween(at - n + 1, at);
                for (Mask m = starts; m != 0; m &= m - 1) {
                    const int start = std::countr_zero(m);
                    const Placement p{vertical ? cx : start, vertical ? start : cy, n,
                                      vertical == 1};
                    if (fits(s, p)) {
                        out.push_back(p);
                    }
                }
            }
        }
    }

    // The places the lowest ship of n cells still to place may take; only the first `enough`
    // of them when there are more.
    void lowestShips(const State& s, int n, std::vector<Placement>& out,
                     std::size_t enough = SIZE_MAX) const {
        out.clear();
        for (int vertical = 0; vertical < (n > 1 ? 2 : 1); ++vertical) {
            // The lines wholly before the lowest index left hold no place (see indexOf()).
            const int firstLine = std::max((s.from[n] - (vertical ? 1024 : 0)) / 32, 0);
            for (int line = firstLine; line < (vertical ? cols_ : rows_) && out.size() < enough;
                 ++line) {
                for (Mask m = allowedStarts(s, n, vertical == 1, line);
                     m != 0 && out.size() < enough; m &= m - 1) {
                    const int start = std::countr_zero(m);
                    const Placement p{vertical ? line : start, vertical ? start : line, n,
                                      vertical == 1};
                    if (fits(s, p)) {
                        out.push_back(p);
                    }
                }
            }
        }
    }

    bool stopped() const {
        return static_cast<int>(found_.size()) >= limit_ || cancelled_ || outOfNodes_;
    }

    // The restart budgets 1 1 2 1 1 2 4 1 1 2 ..., each a multiple of the first: whatever number
    // of steps a lucky order needs, the rounds up to it cost at most a few times as much.
    static long luby(unsigned i) {
        unsigned size = 1;
        unsigned sequence = 0;
        while (size < i + 1) {
            ++sequence;
            size = 2 * size + 1;
        }
        while (size - 1 != i) {
            size = (size - 1) >> 1;
            --sequence;
            i %= size;
        }
        return 1L << sequence;
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
    bool choose(const State& s, Branching& b) const {
        std::vector<Placement>& options = b.others;
        bool clue = false;
        for (int y = 0; y < rows_; ++y) {
            for (Mask m = s.rowSure[y]; m != 0; m &= m - 1) {
                coveringShips(s, std::countr_zero(m), y, options);
                if (options.empty()) {
                    return false;
                }
                if (!clue || options.size() < b.ships.size()) {
                    b.ships.swap(options);
                    b.cx = std::countr_zero(m);
                    b.cy = y;
                    clue = true;
                }
            }
        }
        if (clue) {
            return true;
        }
        int longestLeft = longest_;
        while (s.ships[longestLeft] == 0) {
            --longestLeft;
        }
        if (longestLeft >= longFirstFrom_) {
            lowestShips(s, longestLeft, b.ships);
            b.lowest = true;
            return true;
        }
        if (!tightestCell(s, rows_, cols_, b.cx, b.cy)) {
            return false;
        }
        coveringShips(s, b.cx, b.cy, b.ships);
        b.afterWater = s;
        block(b.afterWater, b.cx, b.cy);
        b.water = settle(b.afterWater, Changed{Mask{1} << b.cy, Mask{1} << b.cx}) &&
                  feasible(b.afterWater, rows_, cols_, longest_);
        for (int n = longest_; n >= 1 && b.ways() > 1; --n) {
            if (s.ships[n] == 0) {
                continue;
            }
            // Only whether there are fewer places than ships or than ways so far matters.
            lowestShips(s, n, options, std::max(b.ways(), static_cast<std::size_t>(s.ships[n])));
            if (static_cast<int>(options.size()) < s.ships[n]) {
                return false;
            }
            if (options.size() < b.ways()) {
                b.ships.swap(options);
                b.lowest = true;
                b.water = false;
            }
        }
        return true;
    }

    // Goes through the layouts that follow from `s`. The branches of a choice share no layout,
    // so each layout is met once in a round.
    void search(const State& s, std::size_t depth = 0) {
        if ((nodes_++ & 255) == 0 && cancel_ != nullptr &&
            cancel_->load(std::memory_order_relaxed)) {
            cancelled_ = true;
            return;
        }
        if (nodes_ > budget_ || (stepLimit_ > 0 && stepsTaken_ + nodes_ >= stepLimit_)) {
            outOfNodes_ = true;
            return;
        }
        if (s.segmentsLeft == 0) {
            bool covered = s.rowNeedSum == 0 && s.colNeedSum == 0;
            for (int y = 0; y < rows_ && covered; ++y) {
                covered = s.rowSure[y] == 0;
            }
            if (covered) {
                record();
            }
            return;
        }
        if (depth == branchings_.size()) {
            branchings_.emplace_back();
        }
        Branching& b = branchings_[depth];
        b.clear();
        if (!choose(s, b)) {
            return;
        }
        if (shuffle_) {
            std::shuffle(b.ships.begin(), b.ships.end(), rng_);
        }
        for (const Placement& p : b.ships) {
            State next = s;
            if (b.lowest) {
                next.from[p.length] = indexOf(p) + 1;
            }
            if (place(next, p)) {
                placed_.push_back(p);
                search(next, depth + 1);
                placed_.pop_back();
            }
            if (stopped()) {
                return;
            }
        }
        if (b.water) {
            search(b.afterWater, depth + 1);
        }
    }

    void record() {
        SolverLayout layout(static_cast<std::size_t>(cols_ * rows_), Mark::Water);
        for (const Placement& p : placed_) {
            for (int k = 0; k < p.length; ++k) {
                const int x = p.vertical ? p.x : p.x + k;
                const int y = p.vertical ? p.y + k : p.y;
                layout[static_cast<std::size_t>(x * rows_ + y)] =
                    pieceShape(p.length, k, p.vertical);
            }
        }
        if (seen_.insert(layout).second) {
            found_.push_back(std::move(layout));
        }
    }

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

}  // namespace
}  // namespace layout

SolveResult countLayouts(const SolverPuzzle& puzzle, const SolveOptions& options) {
    return layout::Counter(puzzle, options).run(puzzle, options);
}

}  // namespace quorvik
