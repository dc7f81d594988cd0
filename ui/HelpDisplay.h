// What the helps show: the sentence in the helps' bar and the frames over the cells a help is
// about, the hint on offer until the next move, and the sentence of a solved game.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "BoardView.h"
#include "ShipGame.h"

namespace quorvik {

class GameSession;
class HelpBar;

class HelpDisplay {
public:
    // `relayout` sizes the window again when the bar shows or hides.
    HelpDisplay(GameSession& session, BoardView& board, HelpBar& bar,
                std::function<void()> relayout);

    // "Tipp": the next step with its reason; on a finished board the sentence of its end.
    void showHint();
    // The moves of the hint on offer; the offer ends.
    std::vector<Move> takeHint();
    // "Fehler zeigen": the marks that cannot be right and those of another solution.
    void showMistakes();
    // The end of a game: its solve with its place in the record (none: not recorded), or that
    // the record could not be written.
    void showEnd(bool solved, std::optional<int> place);
    // A board complete after its game's end: it does not count, and the player is told so.
    void showCompletedAfterEnd();
    // Finds the solve's sentence of a game kept or brought back.
    void restoreEndText();

    // A sentence of the window's own (a file that could not be read or written).
    void say(const QString& text) { show(text, {}, FrameKind::Hint, false); }
    // Hides the bar and the frames; the next move does so too.
    void clear();

    // The cells framed, and whether a hint that can be taken shows.
    const std::vector<ElementRef>& highlighted() const { return cells_; }
    bool hintShown() const;

private:
    // `otherCells`, marks of another solution, get a frame of their own.
    void show(const QString& text, const std::vector<SolverCell>& cells, FrameKind kind,
              bool canTake, const std::vector<SolverCell>& otherCells = {});
    // The sentence of a board that shows the whole fleet: its solve, or that it came after the
    // game's end and does not count.
    QString endText() const;

    GameSession& session_;
    BoardView& board_;
    HelpBar& bar_;
    std::function<void()> relayout_;
    std::vector<ElementRef> cells_;
    ShipGame::Hint hint_;
    QString solvedText_;  // the sentence of this game's solve; empty while not solved
};

}  // namespace quorvik
