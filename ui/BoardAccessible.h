// The painted board as assistive technology sees it: the board view with one child for every
// grid cell, every column and row number and every legend ship, each with a role, a German name
// and a state, read live from the game.
#pragma once

#include <QString>

#include "Move.h"

namespace quorvik {

class BoardView;

// Registers the board view's accessible interface with Qt; more calls do nothing.
void installBoardAccessibility();

// Tells assistive technology that the keyboard cursor is on `element` now.
void announceBoardFocus(BoardView* board, const ElementRef& element);

// An element's accessible name: "Zeile 3, Spalte 5: Wasser", "Spaltensumme 4, davon 2
// markiert", "Kreuzer, abgehakt".
QString accessibleName(const BoardView& board, const ElementRef& element);

}  // namespace quorvik
