// The state every element of the board carries: grid cells, column and row numbers and legend
// segments. The model holds the one true copy; the window's cell elements show copies of it.
#pragma once

#include <cstdint>

#include "CellCodes.h"

namespace quorvik {

// How an element's picture is laid down. A face and the codes of the element decide its picture
// completely, whatever happened before.
enum class CellFace : std::uint8_t {
    Normal,         // shownCode on silver: marks, covered cells, numbers, the plain legend
    Clue,           // the hidden segment on grey: a clue revealed at the start
    Revealed,       // the hidden segment on blue: filled in by the solution display
    Found,          // the tick over the segment the player marked, on silver
    FoundRevealed,  // the tick over a segment that an earlier display filled in, on blue
    Wrong,          // the cross over the picture in beneath on silver: a wrong mark, a ticked ship
};

class ElementState {
public:
    // The code the element shows now: a grid cell's mark, a number's target, a legend picture.
    // The rules read it: 30 and 31 are neither water nor a ship mark.
    int shownCode = imgCovered;
    // Grid cell: the hidden segment's code, or 29 without a ship. Legend: its own picture.
    int shipCode = imgCovered;
    bool hasShip = false;   // grid cell: a ship segment lies here
    bool isClue = false;    // grid cell: a clue, revealed at the start
    int col = -1;           // -1 where the element has no column
    int row = -1;           // -1 where the element has no row
    bool isCovered = true;  // numbers and legend: alternates the meaning of the next click
    bool isLegend = false;
    int markCount = 0;   // numbers: how many cells of the line carry a ship mark
    int shipLength = 0;  // legend: highest segment index of the ship (length - 1)
    int shipInRow = 0;   // legend: which ship of its legend row, 0 leftmost
    int legendRow = 0;   // legend: the legend row, 0 for the longest ships

    // Numbers: shown paler, as a line that holds exactly its count of ship marks. Only the
    // window sets it, while it keeps count of the player's marks; the rules leave it false.
    bool lineDone = false;

    CellFace face = CellFace::Normal;
    // Under a cross (face Wrong): the code of the picture the cross lies over.
    int beneath = imgCovered;

    // Column and row number roles exclude each other: setting one clears the other.
    bool isColumnNumber() const { return isColElement_; }
    bool isRowNumber() const { return isRowElement_; }
    void setColumnNumber(bool value) {
        isColElement_ = value;
        isRowElement_ = !value;
    }
    void setRowNumber(bool value) {
        isRowElement_ = value;
        isColElement_ = !value;
    }

    // Resets to the defaults a fresh element has. legendRow and the row-number flag are kept;
    // the column-number flag is cleared without touching its companion.
    void reset();

    bool isGridCell() const { return col >= 0 && row >= 0; }

    // Whether two states show the same picture and send the same commands.
    friend bool operator==(const ElementState&, const ElementState&) = default;

private:
    bool isColElement_ = false;
    bool isRowElement_ = false;
};

}  // namespace quorvik
