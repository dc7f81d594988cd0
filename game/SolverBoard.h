// The board as the solver sees it: what is known of each cell as bit masks per row and per
// column, the numbers, the fleet and the known segment kinds, and the rules that narrow what is
// known down one line or one cell at a time. Shared by the search and the deduction rules.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

#include "Solver.h"

namespace quorvik::solver {

using Mask = std::uint32_t;
using Lines = std::array<Mask, 32>;  // one mask per row (bit x) or per column (bit y)

constexpr int maxSide = 31;

// What the solver's kinds of segments hold where no kind is known yet.
constexpr Mark noShape = Mark::Covered;

constexpr Mask bit(int i) {
    return Mask{1} << i;
}
constexpr Mask lowBits(int n) {
    return n >= 32 ? ~Mask{0} : bit(n) - 1;
}
// Counted by halves, pairs, nibbles and bytes: the portable build has no popcount instruction.
inline int ones(Mask m) {
    m = m - ((m >> 1) & 0x55555555u);
    m = (m & 0x33333333u) + ((m >> 2) & 0x33333333u);
    return static_cast<int>((((m + (m >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24);
}
inline int lowest(Mask m) {
    return std::countr_zero(m);
}

// The most ships of n cells that fit side by side into the starts of one line: taken greedily
// from the first, each next one a cell of water after the last. The counting search uses it too.
inline int packed(Mask starts, int n) {
    int count = 0;
    while (starts != 0) {
        ++count;
        const int next = lowest(starts) + n + 1;
        starts = next >= 32 ? 0 : starts & ~lowBits(next);
    }
    return count;
}

// The start cells of the ships of n cells along a line that cover cell p.
inline Mask startsOver(int p, int n) {
    const int first = std::max(p - n + 1, 0);
    return lowBits(p - first + 1) << first;
}

// What a known segment kind means along the lines of one direction: in rows a left end starts a
// ship along the line and an upper end lies across it; in columns it is the other way round.
enum Role { roleSingle, roleMiddle, roleStart, roleEnd, roleAcrossStart, roleAcrossEnd, roleCount };

// The board seen along rows or along columns.
// The number of a line without one: the line rules pass it by.
constexpr int unknownCount = -1;

struct View {
    int length = 0;  // cells per line
    int lines = 0;
    Mask full = 0;                        // every cell of a line
    std::array<int, 32> target{};         // segments per line, or unknownCount
    std::array<Lines, roleCount> kind{};  // cells whose segment kind is known, by role
};

// What does not change while solving: size, numbers, fleet and the known segment kinds.
struct Frame {
    int cols = 0;
    int rows = 0;
    View byRow;
    View byCol;
    std::array<int, 32> fleet{};  // ships per length
    int longest = 0;
    std::array<std::array<Mark, 32>, 32> shape{};  // known kind per [x][y], noShape where none
};

// Adds `cells` to line i and the same cells, seen the other way, to the crossing lines.
inline void addCells(Lines& along, Lines& crossing, int i, Mask cells) {
    for (Mask fresh = cells & ~along[i]; fresh; fresh &= fresh - 1) {
        crossing[lowest(fresh)] |= bit(i);
    }
    along[i] |= cells;
}

// What is known: segments and water by rows (bit x of row y) and the same by columns (bit y of
// column x); every change goes to both.
struct Knowledge {
    Lines ship{};
    Lines water{};
    Lines shipCols{};
    Lines waterCols{};

    bool isShip(int x, int y) const { return (ship[y] >> x) & 1; }
    bool isWater(int x, int y) const { return (water[y] >> x) & 1; }
    void setShip(int x, int y) { addCells(ship, shipCols, y, bit(x)); }
    void setWater(int x, int y) { addCells(water, waterCols, y, bit(x)); }
};

// One direction of the knowledge: its lines and the crossing lines, changed together.
struct Side {
    Lines& ship;
    Lines& water;
    Lines& shipCrossing;
    Lines& waterCrossing;

    void addShip(int i, Mask cells) { addCells(ship, shipCrossing, i, cells); }
    void addWater(int i, Mask cells) { addCells(water, waterCrossing, i, cells); }
};

inline Side byRows(Knowledge& k) {
    return {k.ship, k.water, k.shipCols, k.waterCols};
}
inline Side byCols(Knowledge& k) {
    return {k.shipCols, k.waterCols, k.ship, k.water};
}

inline bool clashes(const Frame& f, const Knowledge& k) {
    for (int y = 0; y < f.rows; ++y) {
        if (k.ship[y] & k.water[y]) {
            return true;
        }
    }
    return false;
}

struct Setup {
    Frame frame;
    Knowledge known;
    bool consistent = true;
};

// Adds one cell (a clue, a mark, a deduction's result) to what is known.
void take(Setup& s, const SolverCell& c);

// The frame and the starting knowledge from the puzzle and a list of cells (clues, marks).
Setup setUp(const SolverPuzzle& p, const std::vector<SolverCell>& extra);

// The line, kind and diagonal rules in both directions until nothing changes. False on a
// contradiction.
bool basicRules(const Frame& f, Knowledge& k);

inline bool onBoard(const Frame& f, int x, int y) {
    return x >= 0 && x < f.cols && y >= 0 && y < f.rows;
}

// The kind of segment (x, y) as its four neighbours decide it, or noShape while one of them is
// open.
Mark kindAt(const Frame& f, const Knowledge& k, int x, int y);

// The layout of a board without open cells.
SolverLayout layoutOf(const Frame& f, const Knowledge& k);

}  // namespace quorvik::solver
