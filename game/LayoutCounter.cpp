// The counting search: rows and columns as bit masks of the cells that may still take a segment,
// each step deciding one cell of the most constrained line (water, or the ship that covers it),
// every branch cut off as soon as a line, a clue or the fleet can no longer be satisfied.
#include "LayoutCounter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <random>
#include <set>

#include "CellCodes.h"

namespace quorvik {

namespace {

using Mask = std::uint32_t;

constexpr int maxSide = 31;
// The steps of the shortest restart round.
constexpr long restartUnit = 512;
// The need of a line without a number: more than any line can hold, and never counted down.
constexpr int unlimited = 1 << 20;

// The cells in a mask, counted by halves (std::popcount is a library call on processors the
// build does not assume to count bits in one instruction, and it is the search's hottest step).
constexpr int cellCount(Mask m) {
    m = m - ((m >> 1) & 0x55555555u);
    m = (m & 0x33333333u) + ((m >> 2) & 0x33333333u);
    return static_cast<int>((((m + (m >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24);
}

// The bits from `from` to `to` (both included, clipped to the board's 31 bits).
Mask bitsBetween(int from, int to) {
    from = std::max(from, 0);
    to = std::min(to, maxSide - 1);
    if (from > to) {
        return 0;
    }
    const std::uint64_t upTo = (std::uint64_t{1} << (to + 1)) - 1;
    return static_cast<Mask>(upTo & ~((std::uint64_t{1} << from) - 1));
}

// The starts of `n` open cells in a row within `open`.
Mask runStarts(Mask open, int n) {
    Mask starts = open;
    for (int i = 1; i < n && starts != 0; ++i) {
        starts &= open >> i;
    }
    return starts;
}

// The most ships of n cells that fit into one line side by side at these starts: taken greedily
// from the first, the next one a cell of water after the last.
int packed(Mask starts, int n) {
    int count = 0;
    while (starts != 0) {
        ++count;
        const int next = std::countr_zero(starts) + n + 1;
        starts = next >= maxSide ? 0 : starts & ~bitsBetween(0, next - 1);
    }
    return count;
}

// The most segments a line can still take in its open cells when no ship left is longer than
// `longest`: within a run of open cells, at most `longest` segments follow each other before a
// cell of water (a ship across the line is one segment of it).
int capacity(Mask open, int longest) {
    if (longest <= 0) {
        return 0;
    }
    const int cells = cellCount(open);
    if (cells <= longest) {
        return cells;  // no run longer than a ship
    }
    int total = 0;
    while (open != 0) {
        const int start = std::countr_zero(open);
        const int length = std::countr_one(open >> start);
        total += length - length / (longest + 1);
        open &= ~bitsBetween(start, start + length - 1);
    }
    return total;
}

// A lower bound of capacity() without going through the runs: the runs together lose at most
// one cell in `longest + 1` of all the open cells.
int roomAtLeast(Mask open, int longest) {
    const int cells = cellCount(open);
    return cells - cells / (longest + 1);
}

// How many ways there are to choose k of n cells, for n up to a line's 31 cells (at most
// 31 choose 15, well inside 64 bits); 0 when k is out of range.
std::int64_t waysToChoose(int n, int k) {
    static const auto table = [] {
        std::array<std::array<std::int64_t, maxSide + 1>, maxSide + 1> t{};
        for (int i = 0; i <= maxSide; ++i) {
            t[i][0] = 1;
            for (int j = 1; j <= i; ++j) {
                t[i][j] = t[i - 1][j - 1] + (j < i ? t[i - 1][j] : 0);
            }
        }
        return t;
    }();
    return k < 0 || k > n || n > maxSide ? 0 : table[n][k];
}

// The code a ship of n cells has in its k-th cell.
int pieceCode(int n, int k, bool vertical) {
    if (n == 1) {
        return imgShipSingle;
    }
    if (k == 0) {
        return vertical ? imgShipTop : imgShipLeft;
    }
    return k == n - 1 ? (vertical ? imgShipBottom : imgShipRight) : imgShipMiddle;
}

struct Placement {
    int x = 0;  // top or left cell
    int y = 0;
    int length = 0;
    bool vertical = false;
};

// What the search knows at one step. Small enough to copy into each branch, so that going back
// is nothing but dropping the copy.
struct State {
    std::array<Mask, maxSide> rowOpen{};  // per row, the cells that may still take a segment
    std::array<Mask, maxSide> colOpen{};  // the same per column, bit y for row y
    std::array<Mask, maxSide> rowShip{};  // per row, the segments placed
    // Per row, the open cells known to hold a segment (a clue, or forced by the numbers) that no
    // ship placed covers yet; the same per column.
    std::array<Mask, maxSide> rowSure{};
    std::array<Mask, maxSide> colSure{};
    std::array<int, maxSide> rowNeed{};  // segments still missing; `unlimited` without number
    std::array<int, maxSide> colNeed{};
    std::array<int, maxSide + 1> ships{};  // ships still to place, per length
    int segmentsLeft = 0;                  // of the ships still to place
    // Per length, the lowest placement index its ships still to place may take.
    std::array<int, maxSide + 1> from{};
    int rowNeedSum = 0;  // over the lines with a number
    int colNeedSum = 0;
};

class Counter {
public:
    Counter(const SolverPuzzle& puzzle, const SolveOptions& options)
        : cols_(puzzle.cols),
          rows_(puzzle.rows),
          limit_(std::max(options.limit, 1)),
          cancel_(options.cancel) {}

    SolveResult run(const SolverPuzzle& puzzle, const SolveOptions& options) {
        State start;
        SolveResult result;
        if (!setUp(puzzle, options, start)) {
            return result;
        }
        for (unsigned round = 0;; ++round) {
            budget_ = round == 0 ? 4 * restartUnit : restartUnit * luby(round);
            shuffle_ = round > 0;
            // Odd rounds decide cells all the way, even rounds place the long ships first: each
            // order gets stuck on boards where the other one does not.
            longFirstFrom_ = round % 2 == 0 ? 2 : maxSide + 1;
            rng_.seed(round);
            nodes_ = 0;
            outOfNodes_ = false;
            search(start);
            if (cancelled_ || !outOfNodes_ || static_cast<int>(found_.size()) >= limit_) {
                result.cancelled = cancelled_ && static_cast<int>(found_.size()) < limit_;
                break;
            }
        }
        result.count = std::min(static_cast<int>(found_.size()), limit_);
        found_.resize(static_cast<std::size_t>(result.count));
        result.solutions = std::move(found_);
        return result;
    }

private:
    bool setUp(const SolverPuzzle& p, const SolveOptions& options, State& s) {
        if (cols_ < 1 || rows_ < 1 || cols_ > maxSide || rows_ > maxSide ||
            static_cast<int>(p.colCounts.size()) != cols_ ||
            static_cast<int>(p.rowCounts.size()) != rows_) {
            return false;
        }
        shape_.assign(static_cast<std::size_t>(cols_ * rows_), 0);
        for (std::size_t n = 1; n < p.fleet.size(); ++n) {
            const int count = p.fleet[n];
            if (count > 0 && static_cast<int>(n) > std::max(cols_, rows_)) {
                return false;  // a ship longer than the board
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
            s.rowNeed[y] = n < 0 ? unlimited : n;
            s.rowNeedSum += std::max(n, 0);
            allRowsNumbered = allRowsNumbered && n >= 0;
            s.rowOpen[y] = allCols;
        }
        for (int x = 0; x < cols_; ++x) {
            const int n = p.colCounts[static_cast<std::size_t>(x)];
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
            int& shape = shape_[static_cast<std::size_t>(c.x * rows_ + c.y)];
            if (c.code == imgWater) {
                water[c.y] |= bit;
            } else if (c.code == imgQuestion || isSegmentCode(c.code)) {
                s.rowSure[c.y] |= bit;
                s.colSure[c.x] |= Mask{1} << c.y;
                if (c.code != imgQuestion) {
                    if (shape != 0 && shape != c.code) {
                        return false;  // two kinds given for one cell
                    }
                    shape = c.code;
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
        return settle(s, Changed{}) && feasible(s);
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

    // The cells of one line that its number forces to hold a segment: when the open cells can
    // just hold the number, every run of them no longer than the longest ship left is full.
    // False when they cannot hold it.
    static bool forcedInLine(Mask open, int need, int longest, Mask& forced) {
        forced = 0;
        if (roomAtLeast(open, longest) > need) {
            return true;  // the common case, without going through the runs
        }
        const int room = capacity(open, longest);
        if (room < need) {
            return false;
        }
        if (room > need) {
            return true;
        }
        while (open != 0) {
            const int start = std::countr_zero(open);
            const int length = std::countr_one(open >> start);
            const Mask run = bitsBetween(start, start + length - 1);
            if (length <= longest) {
                forced |= run;
            }
            open &= ~run;
        }
        return true;
    }

    int longestLeft(const State& s) const {
        int longest = longest_;
        while (longest > 0 && s.ships[longest] == 0) {
            --longest;
        }
        return longest;
    }

    // Draws what the numbers force until nothing changes: a line holding all its segments is
    // water in its open cells, a line with just room for its number has a segment in each cell
    // of that room, and each segment found so has water at its corners. False when a line or a
    // known segment can no longer be satisfied.
    bool settle(State& s, Changed changed) const {
        const int longest = longestLeft(s);
        changed.rows &= bitsBetween(0, rows_ - 1);
        changed.cols &= bitsBetween(0, cols_ - 1);
        while ((changed.rows | changed.cols) != 0) {
            const bool column = changed.rows == 0;
            Mask& pending = column ? changed.cols : changed.rows;
            const int line = std::countr_zero(pending);
            pending &= pending - 1;
            const int need = column ? s.colNeed[line] : s.rowNeed[line];
            Mask forced = 0;
            if (!settleLine(column ? s.colOpen[line] : s.rowOpen[line],
                            column ? s.colSure[line] : s.rowSure[line], need, longest, forced)) {
                return false;
            }
            (column ? changed.rows : changed.cols) |= forced;
            for (Mask m = forced; m != 0; m &= m - 1) {
                const int x = column ? line : std::countr_zero(m);
                const int y = column ? std::countr_zero(m) : line;
                if (need == 0) {
                    block(s, x, y);
                    continue;
                }
                s.rowSure[y] |= Mask{1} << x;
                s.colSure[x] |= Mask{1} << y;
                if (!waterAround(s, x, y, changed)) {
                    return false;
                }
            }
        }
        return true;
    }

    // What one line's number says about its open cells: in `forced`, the cells that become water
    // when the line holds all its segments, else the cells not yet known that must hold one.
    // False when the line can no longer be satisfied.
    static bool settleLine(Mask open, Mask sure, int need, int longest, Mask& forced) {
        forced = 0;
        if (sure != 0 && runStarts(sure, longest + 1) != 0) {
            return false;  // known segments in a row longer than any ship left
        }
        if (need >= unlimited) {
            return true;
        }
        if (sure != 0 && cellCount(sure) > need) {
            return false;
        }
        if (need == 0) {
            forced = open;
            return true;
        }
        if (!forcedInLine(open, need, longest, forced)) {
            return false;
        }
        forced &= ~sure;
        return true;
    }

    // Whether the state may still lead to a layout: each line has open cells for its need, each
    // segment clue not yet covered is open, the numbers ask no more segments than the fleet has
    // left, and each length finds room for its ships in the lines.
    bool feasible(const State& s) const {
        if (s.rowNeedSum > s.segmentsLeft || s.colNeedSum > s.segmentsLeft) {
            return false;
        }
        const int longest = longestLeft(s);
        int sure = 0;
        int alongSum = 0;
        for (int y = 0; y < rows_; ++y) {
            if ((s.rowSure[y] & ~s.rowOpen[y]) != 0) {
                return false;
            }
            sure += cellCount(s.rowSure[y]);
            if (!lineFits(s, s.rowOpen[y], s.rowNeed[y], longest, alongSum)) {
                return false;
            }
        }
        if (sure > s.segmentsLeft) {
            return false;
        }
        for (int x = 0; x < cols_; ++x) {
            if (!lineFits(s, s.colOpen[x], s.colNeed[x], longest, alongSum)) {
                return false;
            }
        }
        // A ship lies along one line only.
        int spare = 0;
        for (int n = 2; n <= longest; ++n) {
            spare += (n - 1) * s.ships[n];
        }
        if (alongSum > spare) {
            return false;
        }
        for (int n = longest_; n >= 2; --n) {
            const int wanted = s.ships[n];
            int room = 0;
            for (int y = 0; y < rows_ && room < wanted; ++y) {
                room += packed(allowedStarts(s, n, false, y), n);
            }
            for (int x = 0; x < cols_ && room < wanted; ++x) {
                room += packed(allowedStarts(s, n, true, x), n);
            }
            if (room < wanted) {
                return false;
            }
        }
        return true;
    }

    // Whether a line can take its number: no run of open cells holds more segments than the
    // longest ship left allows, and the segments fall into pieces (a ship along the line, or
    // one cell of a ship across it) with water between two pieces of one run, so at most
    // `open + runs - need` pieces fit, and the rest of the need must come from the length beyond
    // its first cell of ships along the line. That rest is added to `alongSum`.
    static bool lineFits(const State& s, Mask open, int need, int longest, int& alongSum) {
        if (need <= 0 || need >= unlimited) {
            return true;
        }
        if (roomAtLeast(open, longest) < need && capacity(open, longest) < need) {
            return false;
        }
        const int runs = cellCount(open & ~(open << 1));
        const int pieces = cellCount(open) + runs - need;
        const int along = need - pieces;
        if (along <= 0) {
            return true;
        }
        int longestRun = 0;
        for (Mask m = open; m != 0;) {
            const int start = std::countr_zero(m);
            const int length = std::countr_one(m >> start);
            longestRun = std::max(longestRun, length);
            m &= ~bitsBetween(start, start + length - 1);
        }
        int reach = 0;
        int left = pieces;
        for (int n = std::min(longest, longestRun); n >= 2 && left > 0 && reach < along; --n) {
            const int take = std::min(left, s.ships[n]);
            reach += take * (n - 1);
            left -= take;
        }
        alongSum += along;
        return reach >= along;
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
            for (int x = std::max(p.x - 1, 0); x <= std::min(p.x + 1, cols_ - 1); ++x) {
                if ((s.colSure[x] & ring & ~(x == p.x ? cells : 0)) != 0) {
                    return false;
                }
            }
            if ((shapedCol_[p.x] & cells) != 0) {
                for (int k = 0; k < n; ++k) {
                    const int shape = shape_[static_cast<std::size_t>(p.x * rows_ + p.y + k)];
                    if (shape != 0 && shape != pieceCode(n, k, true)) {
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
        for (int y = std::max(p.y - 1, 0); y <= std::min(p.y + 1, rows_ - 1); ++y) {
            if ((s.rowSure[y] & ring & ~(y == p.y ? cells : 0)) != 0) {
                return false;
            }
        }
        if ((shapedRow_[p.y] & cells) != 0) {
            for (int k = 0; k < n; ++k) {
                const int shape = shape_[static_cast<std::size_t>((p.x + k) * rows_ + p.y)];
                if (shape != 0 && shape != pieceCode(n, k, false)) {
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
            s.rowShip[y] |= Mask{1} << x;
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
        const bool longestGone = --s.ships[n] == 0 && longestLeft(s) < n;
        s.segmentsLeft -= n;
        // Only the lines around the ship changed, unless the longest ship left is shorter now.
        const Changed changed = longestGone ? Changed{} : Changed{ringRows, ringCols};
        return settle(s, changed) && feasible(s);
    }

    // The placement index that orders the ships of one length: rows' horizontal ships first,
    // then columns' vertical ones, each by its first cell.
    static int indexOf(const Placement& p) {
        return p.vertical ? 1024 + p.x * 32 + p.y : p.y * 32 + p.x;
    }

    // The starts of ships of n cells in line `line` (a row, or a column when `vertical`) that
    // the state still allows: open cells, room in the line, an index not below `from`.
    static Mask allowedStarts(const State& s, int n, bool vertical, int line) {
        const int need = vertical ? s.colNeed[line] : s.rowNeed[line];
        if (need < n) {
            return 0;
        }
        const int first = s.from[n] - (vertical ? 1024 + line * 32 : line * 32);
        if (first >= 32) {
            return 0;
        }
        const Mask starts = runStarts(vertical ? s.colOpen[line] : s.rowOpen[line], n);
        return first <= 0 ? starts : starts & ~bitsBetween(0, first - 1);
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

    // The places the lowest ship of n cells still to place may take.
    void lowestShips(const State& s, int n, std::vector<Placement>& out) const {
        out.clear();
        for (int vertical = 0; vertical < (n > 1 ? 2 : 1); ++vertical) {
            for (int line = 0; line < (vertical ? cols_ : rows_); ++line) {
                for (Mask m = allowedStarts(s, n, vertical == 1, line); m != 0; m &= m - 1) {
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

    // The first open cell of the line whose segments can lie in the fewest ways (choosing its
    // number of cells among its open ones: a nearly full line and a nearly empty one both leave
    // few), or the first open cell at all when no line with a number wants more. False when
    // there is none.
    bool tightestCell(const State& s, int& cx, int& cy) const {
        std::int64_t bestWays = -1;
        for (int y = 0; y < rows_; ++y) {
            if (s.rowNeed[y] > 0 && s.rowNeed[y] < unlimited) {
                const std::int64_t ways = waysToChoose(cellCount(s.rowOpen[y]), s.rowNeed[y]);
                if (bestWays < 0 || ways < bestWays) {
                    bestWays = ways;
                    cx = std::countr_zero(s.rowOpen[y]);
                    cy = y;
                }
            }
        }
        for (int x = 0; x < cols_; ++x) {
            if (s.colNeed[x] > 0 && s.colNeed[x] < unlimited) {
                const std::int64_t ways = waysToChoose(cellCount(s.colOpen[x]), s.colNeed[x]);
                if (bestWays < 0 || ways < bestWays) {
                    bestWays = ways;
                    cx = x;
                    cy = std::countr_zero(s.colOpen[x]);
                }
            }
        }
        if (bestWays >= 0) {
            return true;
        }
        for (int y = 0; y < rows_; ++y) {
            if (s.rowOpen[y] != 0) {
                cx = std::countr_zero(s.rowOpen[y]);
                cy = y;
                return true;
            }
        }
        return false;
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
    // covers the cell (cx, cy).
    struct Branching {
        std::vector<Placement> ships;
        bool lowest = false;
        bool water = false;
        State afterWater;  // the state with the cell water, settled
        int cx = 0;
        int cy = 0;
        std::size_t ways() const { return ships.size() + (water ? 1 : 0); }
    };

    // What to decide next: a segment clue not yet covered, with the fewest ships that may cover
    // it; else, while the longest ship left has at least `longFirstFrom_` cells, where the lowest
    // ship of that length lies; else the cell of the tightest line, unless the lowest ship of
    // some length has fewer places. False when the state can lead to no layout.
    bool choose(const State& s, Branching& b) const {
        std::vector<Placement> options;
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
        if (!tightestCell(s, b.cx, b.cy)) {
            return false;
        }
        coveringShips(s, b.cx, b.cy, b.ships);
        b.afterWater = s;
        block(b.afterWater, b.cx, b.cy);
        b.water = settle(b.afterWater, Changed{Mask{1} << b.cy, Mask{1} << b.cx}) &&
                  feasible(b.afterWater);
        for (int n = longest_; n >= 1 && b.ways() > 1; --n) {
            if (s.ships[n] == 0) {
                continue;
            }
            lowestShips(s, n, options);
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
    void search(const State& s) {
        if ((nodes_++ & 255) == 0 && cancel_ != nullptr &&
            cancel_->load(std::memory_order_relaxed)) {
            cancelled_ = true;
            return;
        }
        if (nodes_ > budget_) {
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
        Branching b;
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
                search(next);
                placed_.pop_back();
            }
            if (stopped()) {
                return;
            }
        }
        if (b.water) {
            search(b.afterWater);
        }
    }

    void record() {
        SolverLayout layout(static_cast<std::size_t>(cols_ * rows_), imgCovered);
        for (const Placement& p : placed_) {
            for (int k = 0; k < p.length; ++k) {
                const int x = p.vertical ? p.x : p.x + k;
                const int y = p.vertical ? p.y + k : p.y;
                layout[static_cast<std::size_t>(x * rows_ + y)] =
                    pieceCode(p.length, k, p.vertical);
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
    int longest_ = 0;                        // the longest length in the fleet
    std::array<Mask, maxSide> shapedRow_{};  // per row, the cells whose kind is given
    std::array<Mask, maxSide> shapedCol_{};
    std::vector<int> shape_;  // x * rows + y: the kind given (20 to 25) or 0
    std::vector<Placement> placed_;
    long nodes_ = 0;
    long budget_ = 0;
    bool outOfNodes_ = false;
    bool cancelled_ = false;
    bool shuffle_ = false;
    int longFirstFrom_ = 2;  // ships this long or longer are placed by their lowest place
    std::mt19937 rng_;
    std::vector<SolverLayout> found_;
    std::set<SolverLayout> seen_;
};

}  // namespace

SolveResult countLayouts(const SolverPuzzle& puzzle, const SolveOptions& options) {
    return Counter(puzzle, options).run(puzzle, options);
}

}  // namespace quorvik
