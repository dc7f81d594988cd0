// The helps' sentences and frames: hints, mistakes and the end of a game, gone with the next move.
#include "HelpDisplay.h"

#include <QApplication>

#include <utility>

#include "BestTimesDialog.h"
#include "GameSession.h"
#include "HelpBar.h"
#include "HintText.h"

namespace quorvik {

HelpDisplay::HelpDisplay(GameSession& session, BoardView& board, HelpBar& bar,
                         std::function<void()> relayout)
    : session_(session), board_(board), bar_(bar), relayout_(std::move(relayout)) {}

void HelpDisplay::showHint() {
    // A finished board keeps the sentence of its end: there is nothing left to hint.
    if (session_.boardSolved()) {
        show(endText(), {}, FrameKind::Hint, false);
        return;
    }
    hint_ = session_.game().nextHint();
    using Kind = ShipGame::Hint::Kind;
    show(hintSentence(hint_), hint_.cells,
         hint_.kind == Kind::OtherSolution ? FrameKind::OtherSolution : FrameKind::Hint,
         hint_.kind != Kind::Solved && hint_.kind != Kind::Shown);
}

std::vector<Move> HelpDisplay::takeHint() {
    std::vector<Move> moves = session_.game().hintMoves(hint_);
    hint_ = {};
    return moves;
}

void HelpDisplay::showMistakes() {
    const ShipGame& game = session_.game();
    if (game.solutionShown()) {
        show(solutionShownText(), {}, FrameKind::Mistake, false);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ShipGame::Mistakes wrong = game.mistakes();
    QApplication::restoreOverrideCursor();
    show(mistakesSentence(wrong.impossible.size(), wrong.otherSolution.size()), wrong.impossible,
         FrameKind::Mistake, false, wrong.otherSolution);
}

void HelpDisplay::showEnd(bool solved, std::optional<int> place) {
    // The bar's note when a game's end could not be written to the record.
    const QString note =
        place ? QString()
              : QStringLiteral("Das Ergebnis konnte nicht in die Bestzeiten eingetragen werden.");
    if (solved) {
        solvedText_ = solvedText(session_.clock().elapsed(), session_.timedLevel(),
                                 session_.timedTable(), place.value_or(0));
        say(note.isEmpty() ? solvedText_ : solvedText_ + u' ' + note);
    } else if (!note.isEmpty()) {
        say(note);
    }
}

void HelpDisplay::showCompletedAfterEnd() {
    if (solvedText_.isEmpty()) {
        say(endText());
    }
}

QString HelpDisplay::endText() const {
    return !solvedText_.isEmpty()
               ? solvedText_
               : QStringLiteral(
                     "Alle Schiffe sind gefunden, aber dieses Spiel zählt nicht als gelöst: Es "
                     "war schon beendet, mit „Zeigen“ oder einem neuen Spiel.");
}

void HelpDisplay::restoreEndText() {
    const GameClock& clock = session_.clock();
    solvedText_ = clock.ended() && session_.boardSolved()
                      ? solvedText(clock.elapsed(), session_.timedLevel(), session_.timedTable(), 0)
                      : QString();
}

bool HelpDisplay::hintShown() const {
    return bar_.offersHint();
}

void HelpDisplay::show(const QString& text, const std::vector<SolverCell>& cells, FrameKind kind,
                       bool canTake, const std::vector<SolverCell>& otherCells) {
    clear();
    // The board view frames each kind in its own colour and line; the cells of both are what
    // the help is about.
    const auto onBoard = [this](const std::vector<SolverCell>& list) {
        std::vector<ElementRef> refs;
        for (const SolverCell& c : list) {
            if (session_.game().element(ElementRef::grid(c.x, c.y)) != nullptr) {
                refs.push_back(ElementRef::grid(c.x, c.y));
            }
        }
        return refs;
    };
    cells_ = onBoard(cells);
    const std::vector<ElementRef> others = onBoard(otherCells);
    board_.setFrames(kind, cells_);
    if (!others.empty()) {
        board_.setFrames(FrameKind::OtherSolution, others);
        cells_.insert(cells_.end(), others.begin(), others.end());
    }
    bar_.showText(text, canTake);
    relayout_();
}

void HelpDisplay::clear() {
    for (FrameKind kind : {FrameKind::Hint, FrameKind::Mistake, FrameKind::OtherSolution}) {
        board_.clearFrames(kind);
    }
    cells_.clear();
    if (!bar_.isHidden()) {
        bar_.hide();
        relayout_();
    }
}

}  // namespace quorvik
