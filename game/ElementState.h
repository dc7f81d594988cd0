// The state every element of the board carries: grid cells, column and row numbers and legend
// segments. The model holds the one true copy; the window shows what it says.
#pragma once

#include <cstdint>

#include "Mark.h"

namespace quorvik {

// What the game has revealed of an element beyond the player's mark. Together with the mark, the
// hidden segment and the number it decides completely what the element shows.
enum class Reveal : std::uint8_t {
    None,        // the player's mark, a number or a legend ship as it is
    Clue,        // a clue given at the start
    Shown,       // the hidden segment, filled in by the solution display
    Found,       // the player's segment, ticked as found by the solution display
    FoundShown,  // ticked by a later display over a segment an earlier one filled in
    Wrong,       // crossed out: a mark where no ship lies, or a legend ship ticked off
};

class ElementState {
public:
    // Grid cell: the player's mark, the clue, or the segment the solution display filled in or
    // ticked; under a cross, the wrong mark. Legend: the shape of its segment.
    Mark mark = Mark::Covered;
    // Grid cell: the hidden segment, Water without a ship.
    Mark ship = Mark::Water;
    // Numbers: the line's count of segments, -1 for a line without a number.
    int number = 0;
    bool hasShip = false;   // grid cell: a ship segment lies here
    bool isClue = false;    // grid cell: a clue, revealed at the start
    bool isCovered = true;  // numbers and legend: alternates the meaning of the next click
    int markCount = 0;      // numbers: how many cells of the line carry a ship mark
    int shipLength = 0;     // legend: highest segment index of the ship (length - 1)
    int shipInRow = 0;      // legend: which ship of its legend row, 0 leftmost
    int legendRow = 0;      // legend: the legend row, 0 for the longest ships

    // Numbers: shown paler, as a line that holds exactly its count of ship marks. Only the
    // window sets it, while it keeps count of the player's marks; the rules leave it false.
    bool lineDone = false;

    Reveal reveal = Reveal::None;

    // Whether the mark lies open to the rules: a tick or a cross over it takes it out of the
    // line sums, the fills and the completion test.
    bool markOpen() const {
        return reveal != Reveal::Found && reveal != Reveal::FoundShown && reveal != Reveal::Wrong;
    }

    // Grid cell: whether `placed` agrees with the hidden segment, or its absence: "???" agrees
    // with any segment.
    bool agreesWith(Mark placed) const {
        return hasShip ? placed == Mark::Segment || placed == ship : placed == Mark::Water;
    }

    // Whether two states show the same thing and send the same commands.
    friend bool operator==(const ElementState&, const ElementState&) = default;
};

}  // namespace quorvik
