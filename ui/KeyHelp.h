// "Tasten und Hilfen": a short German page on playing by keyboard, undo, the helps, puzzle
// numbers, resuming and the one-solution option.
#pragma once

class QWidget;

namespace quorvik {

// Shows the page over `parent`, modelessly; it goes when closed.
void showKeyHelp(QWidget* parent);

}  // namespace quorvik
