// The bevels round the board's panels and elements, and the frames drawn over cells: how each
// looks, for the board view on screen and on paper.
#pragma once

#include <QPalette>
#include <QRect>

class QPainter;

namespace quorvik {

// The frames drawn over cells, each kind with its own colour and its own line or mark, so that
// they differ without colour too. Helps and feedback are outer frames at the element's edge,
// the keyboard cursor a dashed ring inside them, so all show at once.
enum class FrameKind {
    Cursor,         // the keyboard cursor: yellow, a dashed ring inside the cell
    Hint,           // the cells a hint decides: green, one solid line
    Mistake,        // marks that cannot be right: magenta, a dotted line
    OtherSolution,  // marks of another solution than this game's: orange, a double line
    Conflict,       // marks in conflict with what is known: red, a line with corner triangles
};

// A raised bevel of one pixel round `r`: light along the top and the left, dark along the bottom
// and the right. On an unscaled raster device it is filled as four strips, the very pixels
// qDrawShadePanel's lines give, for a fraction of their cost (a level-8 board has 511 bevels);
// elsewhere, scaled or printed, qDrawShadePanel draws it.
void drawRaisedBevel(QPainter& painter, const QRect& r, const QPalette& palette);

// One frame of `kind` round `r`, with lines `w` thick. Helps and feedback have a black line
// outside their own, so that they stand out on silver, white, red, grey and blue.
void paintFrame(QPainter& p, FrameKind kind, const QRect& r, int w);

}  // namespace quorvik
