// The helps' bar under the board: the sentence a help has to say (a hint with its reason, the
// mistakes, the end of a game) with "Übernehmen" for a hint that can be taken, and the frames
// over the cells the help is about. Hidden while no help has something to say; the next move
// hides it.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <functional>
#include <optional>
#include <vector>

#include "BoardView.h"
#include "ShipGame.h"

namespace quorvik {

class GameSession;

class HelpBar : public QFrame {
    Q_OBJECT

public:
    // `relayout` sizes the window again when the bar shows or hides.
    HelpBar(GameSession& session, BoardView& board, std::function<void()> relayout,
            QWidget* parent);

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
    void say(const QString& text) { showHelp(text, {}, FrameKind::Hint, false); }
    // Hides the bar and the frames.
    void clear();

    // The sentence shown, empty while the bar is hidden; the cells framed; whether a hint that
    // can be taken shows.
    QString text() const { return !isHidden() ? label_->text() : QString(); }
    const std::vector<ElementRef>& highlighted() const { return cells_; }
    bool hintShown() const { return !isHidden() && !take_->isHidden(); }

    // Lays the bar out `width` wide at `topLeft`, as high as its text needs; returns the height.
    int arrange(const QPoint& topLeft, int width);
    // The height of a bar whose text takes two lines.
    int twoLineHeight() const;

signals:
    // "Übernehmen" was clicked.
    void takeClicked();

private:
    // `otherCells`, marks of another solution, get a frame of their own.
    void showHelp(const QString& text, const std::vector<SolverCell>& cells, FrameKind kind,
                  bool canTake, const std::vector<SolverCell>& otherCells = {});
    // The sentence of a board that shows the whole fleet: its solve, or that it came after the
    // game's end and does not count.
    QString endText() const;

    GameSession& session_;
    BoardView& board_;
    std::function<void()> relayout_;
    QLabel* label_ = nullptr;
    QPushButton* take_ = nullptr;
    std::vector<ElementRef> cells_;
    ShipGame::Hint hint_;
    QString solvedText_;  // the sentence of this game's solve; empty while not solved
};

}  // namespace quorvik
