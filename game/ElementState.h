// The state every element of the board carries: grid cells, column and row numbers and legend
// segments. The window's cell elements show this state; the rules read and write it.
#pragma once

#include <string>

#include "CellCodes.h"

namespace quorvik {

class ElementState {
public:
    // The code the element shows now: a grid cell's mark, a number's target, a legend picture.
    int ImageIndex = imgCovered;
    // Grid cell: the hidden segment's code, or 29 without a ship. Legend: its own picture.
    int ShipIndex = imgCovered;
    bool HasShip = false;   // grid cell: a ship segment lies here
    bool IsFixed = false;   // grid cell: a clue, revealed at the start
    int Col = -1;           // -1 where the element has no column
    int Row = -1;           // -1 where the element has no row
    bool IsCovered = true;  // numbers and legend: alternates the meaning of the next click
    bool IsLegend = false;
    int ReihenSumme = 0;  // numbers: how many cells of the line carry a ship mark
    int ShipLength = 0;   // legend: highest segment index of the ship (length - 1)
    int ShipNo = 0;       // legend: which ship of its legend row, 0 leftmost
    int ShipRow = 0;      // legend: the legend row, 0 for the longest ships

    // The tooltip the element shows when hints are on; "Summe: 0" until the sums are counted.
    std::string Hint = "Summe: 0";
    bool ShowHint = false;

    // Whether the element draws through the image set when its code changes. Grid cells and
    // legend segments do; number elements are drawn directly once a fleet is complete.
    bool ImageListAttached = false;

    // Column and row number roles exclude each other: setting one clears the other.
    bool IsColElement() const { return isColElement_; }
    bool IsRowElement() const { return isRowElement_; }
    void SetIsColElement(bool value) {
        isColElement_ = value;
        isRowElement_ = !value;
    }
    void SetIsRowElement(bool value) {
        isRowElement_ = value;
        isColElement_ = !value;
    }

    // Resets to the defaults a fresh element has. ShipRow and the row-number flag are kept;
    // the column-number flag is cleared without touching its companion.
    void Preset();

    bool IsGridCell() const { return Col >= 0 && Row >= 0; }

private:
    bool isColElement_ = false;
    bool isRowElement_ = false;
};

}  // namespace quorvik
