// Puzzle numbers: a short text that names one puzzle by its level, the seed of the generator
// attempt that built it and whether the one-solution mode was on, for sharing and replaying.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Difficulty.h"

namespace quorvik {

// What a puzzle number names. The generator is exact and seeded, so these values give the same
// fleet and the same clues every time.
struct PuzzleId {
    int level;           // 4 to 8
    std::uint32_t seed;  // seed of the attempt that succeeded
    bool unique;         // built in the one-solution mode
    // Built for a chosen difficulty, which implies the one-solution mode.
    Difficulty difficulty = Difficulty::Any;

    friend bool operator==(const PuzzleId&, const PuzzleId&) = default;
};

// The layout of a number is
//
//     <level>[E|L|M|S]-<seed>-<check>        for example 8-3F2A91C0-5 or 8E-3F2A91C0-A
//
// <level> is one digit 4 to 8, followed by "E" (eindeutig) when the puzzle was built in the
// one-solution mode, or by "L", "M" or "S" (leicht, mittel, schwer) when it was built for that
// difficulty. <seed> is the 32-bit seed as exactly eight hexadecimal digits, leading zeros
// kept. <check> is one hexadecimal digit computed over level, mode and seed (see
// puzzleNumberCheck). Only digits, the letters A to F, the mode letter and two hyphens occur, so
// a number reads aloud digit by digit and types without a shift key.
//
// The check guards against typing errors: any one character typed wrong, left out or typed
// twice, and any two characters swapped, gives a text that is not a number, or whose check no
// longer fits. It never silently names another puzzle.

// The number of `id`: upper-case letters, no blanks. Empty when the level is not 4 to 8.
std::string formatPuzzleNumber(const PuzzleId& id);

// The puzzle a typed number names, or nothing when the text is not a number. Tolerated:
// blanks (spaces, tabs, line ends) before and after it, lower-case letters, and the letters
// O for the digit 0 and I or L for the digit 1 (none of them is a hexadecimal digit, so the
// reading is never ambiguous) but in the mode letter's place after the level; in place of a
// hyphen, any run of hyphens, dashes (en dash, em dash, minus sign and the like, in UTF-8) and
// blanks. Rejected: a level outside 4 to 8, a seed of other than eight digits, a missing or
// wrong check digit, anything else inside the number.
std::optional<PuzzleId> parsePuzzleNumber(std::string_view text);

// Why a text names no puzzle, so that the player can be told what to mend.
enum class PuzzleNumberProblem {
    None,          // it names a puzzle
    Empty,         // nothing but blanks
    Malformed,     // not laid out as a number
    UnknownLevel,  // laid out as a number, with a level that is not 4 to 8
    WrongCheck,    // a number whose check digit does not fit: a typing error
};
PuzzleNumberProblem puzzleNumberProblem(std::string_view text);

// The check digit ('0'-'9', 'A'-'F') of a number for `id`, for any level. The number's
// symbols, as values 0 to 15, are d1 = level, d2 = 14 in the one-solution mode, 1, 2 or 3 for
// the difficulties L, M and S, and 0 otherwise, d3..d10 = the seed's hexadecimal digits, most
// significant first. In GF(16) (with x^4 + x + 1) the check c makes d1 a^11 + ... + d10 a^2 +
// c a vanish, for a = x, which has order 15: the eleven weights are distinct and non-zero, so a
// single changed symbol, and any two unequal symbols swapped, change the sum.
char puzzleNumberCheck(const PuzzleId& id);

// The seed of the day's puzzle at `level`, the same on every machine: a fixed mix (SplitMix64)
// of the day's Julian day number, the level and the attempt. Attempt 0 is tried first; should
// its seed build no fleet, the next attempt's seed is taken, and so on.
std::uint32_t dailySeed(std::int64_t julianDay, int level, int attempt);

}  // namespace quorvik
