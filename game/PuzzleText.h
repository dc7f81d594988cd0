// The text form of a puzzle, to be typed in by hand from paper and printed for a person:
//
//     Flotte: 1x4 2x3 3x2 4x1
//       3 1 2 ? 0 4 1 2 3 2
//     2 . . . . . . . . . .
//     ? . . ~ . . . . . . .
//     1 . . . . < . . . . .
//     ...
//
// The first line names the fleet as count x length ("×" and "X" do as well). The next gives
// the number of every column, a "?" where a column has none. Each further line is a row: its
// number or "?", then one symbol per cell: "." unknown, "~" water, "*" a segment of unknown
// kind, "o" a single ship, "^" an upper end, "v" a lower end, "<" a left end, ">" a right end,
// "#" a middle piece. Blanks between symbols are optional; blank lines, blanks at line ends and
// CR LF line ends are ignored. The board has as many columns as the second line has numbers
// and as many rows as there are row lines, 1 to 31 each.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Puzzle.h"

namespace quorvik {

// The puzzle a text describes, or a German sentence naming the line and what is wrong there.
PuzzleReading readPuzzleText(std::string_view text);

// The text of `puzzle`, which reads back to the same puzzle (its solution aside). With
// `withSolution` and a known solution the cells show the solution instead of the clues.
std::string writePuzzleText(const Puzzle& puzzle, bool withSolution = false);

// The value of a word of one to `maxDigits` decimal digits and nothing else (no sign, no blank),
// or nothing: the numbers of the game's text forms.
std::optional<int> decimalWord(std::string_view word, std::size_t maxDigits);

// A puzzle from either form: a puzzle code when the text is one line (blank lines aside) that
// starts with an "R", otherwise the text form, which takes at least three lines.
PuzzleReading readPuzzle(std::string_view text);

}  // namespace quorvik
