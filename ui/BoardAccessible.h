// The painted board as assistive technology sees it: the board view with one child for every
// grid cell, every column and row number and every legend ship, each with a role, a German name
// and a state, read live from the game.
#pragma once

#include "Move.h"

class QAccessibleEvent;

namespace quorvik {

class BoardView;

// Registers the board view's accessible interface with Qt; more calls do nothing.
void installBoardAccessibility();

// Tells assistive technology that the keyboard cursor is on `element` now: a focus event for the
// element's child of the board, handed to `deliverAccessibleEvent`.
void announceBoardFocus(BoardView* board, const ElementRef& element);

// Where the board's accessibility events go: QAccessible::updateAccessibility, which passes them
// on only while assistive technology is active (no headless platform can switch that on), so a
// test puts a recorder here.
extern void (*deliverAccessibleEvent)(QAccessibleEvent* event);

}  // namespace quorvik
