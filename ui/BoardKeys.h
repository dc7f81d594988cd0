// Keyboard play on the board: a cursor over the grid, the line numbers and the legend, and the
// keys that act where it stands. A key makes the move a click on the same element makes.
#pragma once

#include <QObject>

#include <optional>

#include "BoardView.h"
#include "Move.h"
#include "ShipGame.h"

class QKeyEvent;

namespace quorvik {

class BoardKeys : public QObject {
    Q_OBJECT

public:
    BoardKeys(const ShipGame& game, BoardView& board, QObject* parent = nullptr)
        : QObject(parent), game_(game), board_(board) {}

    // The move a click on `element` makes, or nothing where a click does nothing; and the move
    // of a mark chosen for a grid cell (clues refuse it).
    static std::optional<Move> clickMove(const ShipGame& game, const ElementRef& element);
    static std::optional<Move> markMove(const ShipGame& game, const ElementRef& cell, Mark mark);

    // Acts on a key of keyboard play; false for any other key. The first key only shows the
    // cursor, so nothing happens where the player has not looked yet.
    bool handleKey(QKeyEvent* event);
    // Tab: from the grid to the legend and back.
    void switchArea();
    // The mouse was used: the cursor hides until the next key.
    void hideCursor();
    // Frames the cursor's element again, on the board as it is now.
    void placeFrame();

    const ElementRef& cursor() const { return cursor_; }
    bool cursorShown() const { return shown_; }

signals:
    void moveChosen(const Move& move);

private:
    void moveBy(int dx, int dy);
    void openMenu();

    const ShipGame& game_;
    BoardView& board_;
    ElementRef cursor_ = ElementRef::grid(0, 0);
    ElementRef boardCursor_ = ElementRef::grid(0, 0);  // where Tab from the legend goes back to
    bool shown_ = false;
};

}  // namespace quorvik
