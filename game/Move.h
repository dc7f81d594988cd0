// The player's moves as values. Every change of a game after it is built is one of these moves:
// the window turns each click, key and menu entry into one, the model applies it, and the
// undo history keeps what it changed.
#pragma once

#include <optional>
#include <vector>

#include "Mark.h"

namespace quorvik {

enum class ElementKind { Grid, ColNumber, RowNumber, Legend };

// Names one element. Grid: a = column, b = row. ColNumber: a = column. RowNumber: a = row.
// Legend: a = legend row, b = ship in the row, c = segment of the ship.
struct ElementRef {
    ElementKind kind = ElementKind::Grid;
    int a = 0;
    int b = 0;
    int c = 0;
    friend bool operator==(const ElementRef&, const ElementRef&) = default;

    static ElementRef grid(int x, int y) { return {ElementKind::Grid, x, y, 0}; }
    static ElementRef column(int x) { return {ElementKind::ColNumber, x, 0, 0}; }
    static ElementRef row(int y) { return {ElementKind::RowNumber, y, 0, 0}; }
    static ElementRef legend(int r, int s, int i) { return {ElementKind::Legend, r, s, i}; }
};

struct Move {
    enum class Kind {
        Mark,          // grid cell (x, y) gets `placed`
        Toggle,        // grid cell (x, y): covered becomes water, anything else covered
        FillColumn,    // column x: its water and covered cells become water (water) or covered
        FillRow,       // row y, the same
        TickLegend,    // the legend ship (row y, ship x) gets the cross; its `segment` turns
        UntickLegend,  // the cross comes off; `segment` turns (-1: no segment named)
        ShowSolution,  // the solution display
    };
    Kind kind = Kind::Mark;
    int x = 0;
    int y = 0;
    Mark placed = Mark::Covered;  // Mark: the mark the cell gets
    int segment = 0;
    bool water = false;

    static Move mark(int x, int y, Mark placed) { return {.x = x, .y = y, .placed = placed}; }
    static Move toggle(int x, int y) { return {.kind = Kind::Toggle, .x = x, .y = y}; }
    static Move fillColumn(int x, bool water) {
        return {.kind = Kind::FillColumn, .x = x, .water = water};
    }
    static Move fillRow(int y, bool water) {
        return {.kind = Kind::FillRow, .y = y, .water = water};
    }
    static Move tick(int shipRow, int shipNo, int segment) {
        return {.kind = Kind::TickLegend, .x = shipNo, .y = shipRow, .segment = segment};
    }
    static Move untick(int shipRow, int shipNo, int segment) {
        return {.kind = Kind::UntickLegend, .x = shipNo, .y = shipRow, .segment = segment};
    }
    static Move showSolution() { return {.kind = Kind::ShowSolution}; }

    friend bool operator==(const Move&, const Move&) = default;
};

// What a move, an undo or a redo changed: the elements whose state is now different.
using ChangedElements = std::vector<ElementRef>;

}  // namespace quorvik
