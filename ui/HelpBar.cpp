// The helps' bar: hints, mistakes and the end of a game in a sentence and in frames, gone with
// the next move, and the bar's height for the window's layout.
#include "HelpBar.h"

#include <QApplication>

#include <algorithm>
#include <utility>

#include "GameSession.h"
#include "HintText.h"
#include "LevelNames.h"

namespace quorvik {

namespace {

constexpr int padding = 6;  // around the text and the button, inside the bar's frame

// The sentence of the solve of the session's game: its time and, when it entered a table of best
// times (place > 0), which.
QString solvedText(const GameSession& session, int place) {
    const QString text =
        QStringLiteral("Gelöst in %1")
            .arg(QString::fromStdString(formatPlayTime(session.clock().elapsed())));
    if (place <= 0) {
        return text + u'.';
    }
    const TimeTable table = session.timedTable();
    const QString where =
        QStringLiteral("im %1%2")
            .arg(QString::fromUtf8(levelNames(session.timedLevel()).caption))
            .arg(table == TimeTable::Unique  ? QStringLiteral(" (eindeutige Lösung)")
                 : table == TimeTable::Daily ? QStringLiteral(" (Tagesrätsel)")
                                             : QString());
    return place == 1
               ? text + QStringLiteral(" – neue Bestzeit %1.").arg(where)
               : text + QStringLiteral(" – Platz %1 der Bestzeiten %2.").arg(place).arg(where);
}

}  // namespace

HelpBar::HelpBar(GameSession& session, BoardView& board, std::function<void()> relayout,
                 QWidget* parent)
    : QFrame(parent), session_(session), board_(board), relayout_(std::move(relayout)) {
    setObjectName(QStringLiteral("PanelHilfe"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("lblHilfe"));
    label_->setWordWrap(true);
    take_ = new QPushButton(QStringLiteral("Übernehmen"), this);
    take_->setObjectName(QStringLiteral("btnUebernehmen"));
    take_->setFocusPolicy(Qt::NoFocus);
    take_->setToolTip(QStringLiteral("Übernimmt den Tipp (Eingabetaste oder noch einmal F3)"));
    connect(take_, &QPushButton::clicked, this, &HelpBar::takeClicked);
    hide();
}

void HelpBar::showHint() {
    // A finished board keeps the sentence of its end: there is nothing left to hint.
    if (session_.boardSolved()) {
        say(endText());
        return;
    }
    hint_ = session_.game().nextHint();
    using Kind = ShipGame::Hint::Kind;
    showHelp(hintSentence(hint_), hint_.cells,
             hint_.kind == Kind::OtherSolution ? FrameKind::OtherSolution : FrameKind::Hint,
             hint_.kind != Kind::Solved && hint_.kind != Kind::Shown);
}

std::vector<Move> HelpBar::takeHint() {
    return session_.game().hintMoves(std::exchange(hint_, {}));
}

void HelpBar::showMistakes() {
    const ShipGame& game = session_.game();
    if (game.solutionShown()) {
        showHelp(solutionShownText(), {}, FrameKind::Mistake, false);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ShipGame::Mistakes wrong = game.mistakes();
    QApplication::restoreOverrideCursor();
    showHelp(mistakesSentence(wrong.impossible.size(), wrong.otherSolution.size()),
             wrong.impossible, FrameKind::Mistake, false, wrong.otherSolution);
}

void HelpBar::showEnd(bool solved, std::optional<int> place) {
    // The bar's note when a game's end could not be written to the record.
    const QString note =
        place ? QString()
              : QStringLiteral("Das Ergebnis konnte nicht in die Bestzeiten eingetragen werden.");
    if (solved) {
        solvedText_ = solvedText(session_, place.value_or(0));
        say(note.isEmpty() ? solvedText_ : solvedText_ + u' ' + note);
    } else if (!note.isEmpty()) {
        say(note);
    }
}

void HelpBar::showCompletedAfterEnd() {
    if (solvedText_.isEmpty()) {
        say(endText());
    }
}

QString HelpBar::endText() const {
    return !solvedText_.isEmpty()
               ? solvedText_
               : QStringLiteral(
                     "Alle Schiffe sind gefunden, aber dieses Spiel zählt nicht als gelöst: Es "
                     "war schon beendet, mit „Zeigen“ oder einem neuen Spiel.");
}

void HelpBar::restoreEndText() {
    solvedText_ =
        session_.clock().ended() && session_.boardSolved() ? solvedText(session_, 0) : QString();
}

void HelpBar::showHelp(const QString& text, const std::vector<SolverCell>& cells, FrameKind kind,
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
    label_->setText(text);
    take_->setVisible(canTake);
    show();
    relayout_();
}

void HelpBar::clear() {
    for (FrameKind kind : {FrameKind::Hint, FrameKind::Mistake, FrameKind::OtherSolution}) {
        board_.clearFrames(kind);
    }
    cells_.clear();
    if (!isHidden()) {
        hide();
        relayout_();
    }
}

int HelpBar::arrange(const QPoint& topLeft, int width) {
    take_->adjustSize();
    const int textWidth = width - take_->width() - 4 * padding;
    label_->setFixedWidth(textWidth);
    const int height = std::max(label_->heightForWidth(textWidth), take_->height()) + 2 * padding;
    setGeometry(QRect(topLeft, QSize(width, height)));
    label_->setGeometry(8, padding, textWidth, height - 2 * padding);
    take_->move(width - take_->width() - 8, (height - take_->height()) / 2);
    return height;
}

int HelpBar::twoLineHeight() const {
    return std::max(2 * label_->fontMetrics().lineSpacing(), take_->sizeHint().height()) +
           2 * padding;
}

}  // namespace quorvik
