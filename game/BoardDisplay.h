// What the rules need of a display: the image set's background colour and drawing one element's
// picture. The window implements it; tests record the calls. The rules call it in the order in
// which the pictures must be laid down, since a draw on the transparent background keeps what the
// element showed before.
#pragma once

namespace quorvik {

// The image set's background colour: what a picture's transparent pixels become.
enum class Background {
    Silver,  // #C0C0C0, normal play
    Grey,    // #808080, clues revealed at the start
    Blue,    // #0000FF, segments the solution fills in
    None,    // transparent pixels keep what the element already shows (marks 30 and 31)
};

enum class ElementKind { Grid, ColNumber, RowNumber, Legend };

// Names one element. Grid: a = column, b = row. ColNumber: a = column. RowNumber: a = row.
// Legend: a = legend row, b = ship in the row, c = segment of the ship.
struct ElementRef {
    ElementKind kind = ElementKind::Grid;
    int a = 0;
    int b = 0;
    int c = 0;
    friend bool operator==(const ElementRef&, const ElementRef&) = default;
};

class BoardDisplay {
public:
    virtual ~BoardDisplay() = default;

    virtual void setBackground(Background background) = 0;

    // Draws picture `code` into the element on the current background. For grid cells and
    // legend segments `code` is a picture of the set (0 to 33); for number elements it is the
    // line's count, which may exceed 19 on the widest board.
    virtual void drawElement(const ElementRef& element, int code) = 0;

    // A level was applied: board extent, clue count and legend heading are new.
    virtual void levelChanged() {}
    // A new game begins; attempts follow until a fleet fits.
    virtual void newGameStarted() {}
    // The legend's entries were created anew for the current level.
    virtual void legendRebuilt() {}
    // The new game's fleet and clues are complete; the board can be laid out and shown.
    virtual void newGameFinished() {}
    // The line sums and the numbers' hints were recounted.
    virtual void sumsUpdated() {}
};

}  // namespace quorvik
