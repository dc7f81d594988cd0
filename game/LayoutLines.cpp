// The layout counter's checks over all lines at once: whether the lines, the pieces they must
// hold and the fleet left still fit together, and which line leaves the fewest ways to place
// its segments.
#include "LayoutLines.h"

#include <bit>

#include "SolverBoard.h"

namespace quorvik::layout {

namespace {

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

// Whether a line still wants segments by its number: the lines lineFits() looks at.
bool numbered(int need) {
    return need > 0 && need < unlimited;
}

// Whether a line with a number (see numbered()) can take it: no run of open cells holds more
// segments than the longest ship left allows, and the segments fall into pieces (a ship along the
// line, or one cell of a ship across it) with water between two pieces of one run, so at most `open
// + runs - need` pieces fit, and the rest of the need must come from the length beyond its first
// cell of ships along the line. That rest is added to `alongSum`.
bool lineFits(const State& s, Mask open, int need, int longest, int& alongSum) {
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
        const int take = std::min<int>(left, s.ships[n]);
        reach += take * (n - 1);
        left -= take;
    }
    alongSum += along;
    return reach >= along;
}

}  // namespace

bool solveLine(Mask open, Mask sure, int need, int length, std::uint32_t runs, Mask& water,
               Mask& segments) {
    water = 0;
    segments = 0;
    if (need < 0 || (sure & ~open) != 0) {
        return false;
    }
    // Bit c of a count set: c segments before a point where a run or a water cell may begin
    // (forward), or c segments there that can still end in the number (backward). A run of k
    // segments takes k open cells and the water cell after it, unless it ends the line.
    using Counts = std::uint64_t;
    const Counts all = (Counts{1} << (std::min(need, length) + 1)) - 1;
    const Counts done = need >= unlimited ? all : need > length ? 0 : Counts{1} << need;
    if (done == 0) {
        return false;
    }
    // Per cell, the run lengths that may begin there (bit k), so that each pass goes through
    // the runs that begin at a cell and no other length.
    std::array<std::uint32_t, maxSide> lengthsAt{};
    const Mask line = bitsBetween(0, length - 1);
    for (std::uint32_t m = runs & ~1u; m != 0; m &= m - 1) {
        const int k = std::countr_zero(m);
        // The cell after the run must be able to be water: not a known segment (or the end).
        const Mask starts = runStarts(open, k) & ~(sure >> k) & line;
        for (Mask at = starts; at != 0; at &= at - 1) {
            lengthsAt[std::countr_zero(at)] |= std::uint32_t{1} << k;
        }
    }
    std::array<Counts, maxSide + 2> forward{};
    std::array<Counts, maxSide + 2> backward{};
    forward[0] = 1;
    for (int i = 0; i < length; ++i) {
        const Counts at = forward[i];
        if (at == 0) {
            continue;
        }
        if (((sure >> i) & 1u) == 0) {
            forward[i + 1] |= at;
        }
        for (std::uint32_t m = lengthsAt[i]; m != 0; m &= m - 1) {
            const int k = std::countr_zero(m);
            forward[std::min(i + k + 1, length)] |= (at << k) & all;
        }
    }
    if ((forward[length] & done) == 0) {
        return false;
    }
    backward[length] = done;
    Mask canBeWater = 0;
    Mask canHold = 0;
    for (int i = length - 1; i >= 0; --i) {
        Counts from = 0;
        if (((sure >> i) & 1u) == 0) {
            from = backward[i + 1];
            if ((forward[i] & from) != 0) {
                canBeWater |= Mask{1} << i;
            }
        }
        for (std::uint32_t m = lengthsAt[i]; m != 0; m &= m - 1) {
            const int k = std::countr_zero(m);
            const Counts after = backward[std::min(i + k + 1, length)] >> k;
            from |= after;
            if ((forward[i] & after) != 0) {
                canHold |= static_cast<Mask>(((std::uint64_t{1} << k) - 1) << i);
                canBeWater |= i + k < length ? Mask{1} << (i + k) : 0;
            }
        }
        backward[i] = from;
    }
    water = open & ~canHold;
    segments = open & ~sure & ~canBeWater;
    return true;
}

bool feasible(const State& s, int rows, int cols, int longestInFleet) {
    if (s.rowNeedSum > s.segmentsLeft || s.colNeedSum > s.segmentsLeft) {
        return false;
    }
    const int longest = longestLeft(s, longestInFleet);
    int sure = 0;
    int alongSum = 0;
    for (int y = 0; y < rows; ++y) {
        if ((s.rowSure[y] & ~s.rowOpen[y]) != 0) {
            return false;
        }
        sure += cellCount(s.rowSure[y]);
        if (numbered(s.rowNeed[y]) && !lineFits(s, s.rowOpen[y], s.rowNeed[y], longest, alongSum)) {
            return false;
        }
    }
    if (sure > s.segmentsLeft) {
        return false;
    }
    for (int x = 0; x < cols; ++x) {
        if (numbered(s.colNeed[x]) && !lineFits(s, s.colOpen[x], s.colNeed[x], longest, alongSum)) {
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
    for (int n = longestInFleet; n >= 2; --n) {
        const int wanted = s.ships[n];
        int room = 0;
        for (int y = 0; y < rows && room < wanted; ++y) {
            room += solver::packed(allowedStarts(s, n, false, y), n);
        }
        for (int x = 0; x < cols && room < wanted; ++x) {
            room += solver::packed(allowedStarts(s, n, true, x), n);
        }
        if (room < wanted) {
            return false;
        }
    }
    return true;
}

bool tightestCell(const State& s, int rows, int cols, int& cx, int& cy) {
    std::int64_t bestWays = -1;
    for (int y = 0; y < rows; ++y) {
        if (s.rowNeed[y] > 0 && s.rowNeed[y] < unlimited) {
            const std::int64_t ways = waysToChoose(cellCount(s.rowOpen[y]), s.rowNeed[y]);
            if (bestWays < 0 || ways < bestWays) {
                bestWays = ways;
                cx = std::countr_zero(s.rowOpen[y]);
                cy = y;
            }
        }
    }
    for (int x = 0; x < cols; ++x) {
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
    for (int y = 0; y < rows; ++y) {
        if (s.rowOpen[y] != 0) {
            cx = std::countr_zero(s.rowOpen[y]);
            cy = y;
            return true;
        }
    }
    return false;
}

}  // namespace quorvik::layout
