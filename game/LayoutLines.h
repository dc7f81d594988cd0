// What the layout counter knows and reasons about its lines, for LayoutCounter.cpp only: the state
// as bit masks, what a line's number forces (inline, as the search runs it on every changed line),
// the dead-end checks for lines, pieces and fleet, and the choice of the line to decide next.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

namespace quorvik::layout {

using Mask = std::uint32_t;

constexpr int maxSide = 31;
// The need of a line without a number: more than any line can hold, and never counted down. It
// fits in the byte of the key under which the table of solved lines keeps a line's need.
constexpr int unlimited = 0xFF;

// The cells in a mask, counted by halves (std::popcount is a library call on processors the
// build does not assume to count bits in one instruction, and it is the search's hottest step).
constexpr int cellCount(Mask m) {
    m = m - ((m >> 1) & 0x55555555u);
    m = (m & 0x33333333u) + ((m >> 2) & 0x33333333u);
    return static_cast<int>((((m + (m >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24);
}

// The bits from `from` to `to` (both included, clipped to the board's 31 bits); none when `from`
// lies after `to`. Without branches: the search asks for such masks at nearly every turn.
inline Mask bitsBetween(int from, int to) {
    const std::uint64_t upTo = (std::uint64_t{1} << std::clamp(to + 1, 0, maxSide)) - 1;
    const std::uint64_t below = (std::uint64_t{1} << std::clamp(from, 0, maxSide)) - 1;
    return static_cast<Mask>(upTo & ~below);
}

// The starts of `n` open cells in a row within `open`: the starts of runs of twice the length
// found so far, doubling, then the last part added by one more overlap.
inline Mask runStarts(Mask open, int n) {
    Mask starts = open;
    int length = 1;
    while (2 * length <= n && starts != 0) {
        starts &= starts >> length;
        length *= 2;
    }
    return length < n ? starts & (starts >> (n - length)) : starts;
}

// The most segments a run of `cells` open cells can take when no ship left is longer than
// `longest` (both at most 31): all but one cell in `longest + 1`. From a table, as the search asks
// at nearly every line it looks at and a division takes long.
inline int runRoom(int cells, int longest) {
    static constexpr auto table = [] {
        std::array<std::array<std::uint8_t, maxSide + 1>, maxSide + 1> t{};
        for (int l = 0; l <= maxSide; ++l) {
            for (int c = 0; c <= maxSide; ++c) {
                t[l][c] = static_cast<std::uint8_t>(c - c / (l + 1));
            }
        }
        return t;
    }();
    return table[longest][cells];
}

// The most segments a line can still take in its open cells when no ship left is longer than
// `longest`: within a run of open cells, at most `longest` segments follow each other before a
// cell of water (a ship across the line is one segment of it).
inline int capacity(Mask open, int longest) {
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
        total += runRoom(length, longest);
        open &= ~bitsBetween(start, start + length - 1);
    }
    return total;
}

// A lower bound of capacity() without going through the runs: the runs together lose at most
// one cell in `longest + 1` of all the open cells.
inline int roomAtLeast(Mask open, int longest) {
    return runRoom(cellCount(open), longest);
}

// What the search knows at one step. Small enough to copy into each branch, so that going back
// is nothing but dropping the copy; the counts are short, as each branch tried copies them.
struct State {
    std::array<Mask, maxSide> rowOpen{};  // per row, the cells that may still take a segment
    std::array<Mask, maxSide> colOpen{};  // the same per column, bit y for row y
    // Per row, the open cells known to hold a segment (a clue, or forced by the numbers) that no
    // ship placed covers yet; the same per column.
    std::array<Mask, maxSide> rowSure{};
    std::array<Mask, maxSide> colSure{};
    // Segments still missing; `unlimited` without number.
    std::array<std::int16_t, maxSide> rowNeed{};
    std::array<std::int16_t, maxSide> colNeed{};
    std::array<std::int16_t, maxSide + 1> ships{};  // ships still to place, per length
    int segmentsLeft = 0;                           // of the ships still to place
    // Per length, the lowest placement index its ships still to place may take.
    std::array<std::int16_t, maxSide + 1> from{};
    int rowNeedSum = 0;  // over the lines with a number
    int colNeedSum = 0;
};

// The longest length with ships still to place; 0 once the fleet is placed.
inline int longestLeft(const State& s, int longestInFleet) {
    int longest = longestInFleet;
    while (longest > 0 && s.ships[longest] == 0) {
        --longest;
    }
    return longest;
}

// The starts of ships of n cells in line `line` (a row, or a column when `vertical`) that
// the state still allows: open cells, room in the line, an index not below `from`.
inline Mask allowedStarts(const State& s, int n, bool vertical, int line) {
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

// What a line and its number (or `unlimited`) say about each of its open cells, found by going
// through the line from both ends and keeping, per cell, the counts of segments and the length of
// the run of segments so far that can still end in the line's number. A run of k segments along the
// line is one ship of k cells when k > 1 (open cells never touch a placed ship), so only the
// lengths in `runs` (bit k) make runs. In `water` the open cells that hold a segment in no way to
// fill the line, in `segments` those not yet known that hold one in every way. False when the line
// cannot be filled at all.
bool solveLine(Mask open, Mask sure, int need, int length, std::uint32_t runs, Mask& water,
               Mask& segments);

// Whether the state may still lead to a layout: each line has open cells for its need, each
// segment clue not yet covered is open, the numbers ask no more segments than the fleet has
// left, and each length finds room for its ships in the lines.
bool feasible(const State& s, int rows, int cols, int longestInFleet);

// The first open cell of the line whose segments can lie in the fewest ways (choosing its
// number of cells among its open ones: a nearly full line and a nearly empty one both leave
// few), or the first open cell at all when no line with a number wants more. False when
// there is none.
bool tightestCell(const State& s, int rows, int cols, int& cx, int& cy);

}  // namespace quorvik::layout
