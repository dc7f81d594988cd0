// Puzzle codes: a whole puzzle (size, numbers, fleet, clues) on one line with a check character,
// to share a typed-in puzzle as a puzzle number shares a generated one.
#pragma once

#include <string>
#include <string_view>

#include "Puzzle.h"

namespace quorvik {

// The layout of a code is
//
//     R-<data>-<check>        for example R-99C4H-304RH-855M4-4G148-CGNMM-95XNA-9V81G
//
// "R" and a hyphen, then the puzzle as a stream of bits written in base 32 with the digits
// 0-9 and the letters A-Z without I, L, O and U, in groups of five joined by hyphens, the
// check character last. The bits, most significant first: columns - 1 and rows - 1 (5 bits
// each); every column's then every row's number in as many bits as the line's length + 1 needs
// ("?" is the line's length + 1); the longest ship's length (5 bits) and the count of each
// length up to it; the number of clues and, for each clue column by column, the cells skipped
// since the one before and its mark (3 bits). Counts are written in groups of three bits, each
// with a bit before it that says whether another group follows. The last digit is padded with
// zero bits. A code never starts with a digit, so it is never taken for a puzzle number.
//
// The check is a digit c such that, with the data digits d1..dn as elements of GF(32) (with
// x^5 + x^2 + 1) and a = x, d1 a^n + ... + dn a + c = 0. Every weight is non-zero and
// neighbours' weights differ, so one wrong digit and two unequal neighbours swapped both change
// the sum.

// The code of `puzzle` (its solution is not part of it).
std::string puzzleCode(const Puzzle& puzzle);

// The puzzle a code names, or a German sentence saying what is wrong. Tolerated: blanks and
// hyphens anywhere, lower-case letters, O for 0 and I or L for 1.
PuzzleReading readPuzzleCode(std::string_view code);

}  // namespace quorvik
