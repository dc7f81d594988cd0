// The rules the counting search applies on each step: a puzzle's numbers, fleet and clues set up
// as a state, a ship put in with water round it, and what the numbers then force along each line
// until nothing changes; and the places a ship may take.
#include <algorithm>
#include <array>
#include <bit>

#include "LayoutSearch.h"

namespace quorvik::layout {

Mark pieceShape(int n, int k, bool vertical) {
    if (n == 1) {
        return Mark::Single;
    }
    if (k == 0) {
        return vertical ? Mark::Top : Mark::Left;
    }
    return k == n - 1 ? (vertical ? Mark::Bottom : Mark::Right) : Mark::Middle;
}

bool Counter::setUp(const SolverPuzzle& p, const SolveOptions& options, State& s) {
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

bool Counter::waterAround(State& s, int x, int y, Changed& changed) const {
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

template <bool column>
inline bool Counter::settleLine(State& s, Changed& changed, int longest, std::uint32_t runs) const {
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

bool Counter::settle(State& s, Changed changed) const {
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

bool Counter::lineSolved(Mask open, Mask sure, int need, int length, std::uint32_t runs,
                         Mask& water, Mask& segments) const {
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

bool Counter::fits(const State& s, const Placement& p) const {
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

bool Counter::place(State& s, const Placement& p) const {
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

void Counter::coveringShips(const State& s, int cx, int cy, std::vector<Placement>& out) const {
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
                const Placement p{vertical ? cx : start, vertical ? start : cy, n, vertical == 1};
                if (fits(s, p)) {
                    out.push_back(p);
                }
            }
        }
    }
}

void Counter::lowestShips(const State& s, int n, std::vector<Placement>& out,
                          std::size_t enough) const {
    out.clear();
    for (int vertical = 0; vertical < (n > 1 ? 2 : 1); ++vertical) {
        // The lines wholly before the lowest index left hold no place (see indexOf()).
        const int firstLine = std::max((s.from[n] - (vertical ? 1024 : 0)) / 32, 0);
        for (int line = firstLine; line < (vertical ? cols_ : rows_) && out.size() < enough;
             ++line) {
            for (Mask m = allowedStarts(s, n, vertical == 1, line); m != 0 && out.size() < enough;
                 m &= m - 1) {
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

}  // namespace quorvik::layout
