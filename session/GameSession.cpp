// The game session: every change of the game goes through here, so the clock, the record and the
// game file follow the game on the board without the window's help.
#include "GameSession.h"

#include <QTimer>

#include <algorithm>
#include <utility>

#include "GameFile.h"
#include "PuzzleCode.h"
#include "StateFile.h"

namespace quorvik {

GameSession::GameSession(Options options, QObject* parent)
    : QObject(parent),
      options_(std::move(options)),
      game_(options_.seeds),
      clock_(options_.clock),
      saveTimer_(new QTimer(this)),
      knownState_(readStateFile()) {
    saveTimer_->setSingleShot(true);
    saveTimer_->setInterval(saveDelayMs);
    connect(saveTimer_, &QTimer::timeout, this, &GameSession::save);
}

QString GameSession::puzzleNumber() const {
    if (const std::optional<Puzzle>& typed = game_.typedPuzzle()) {
        return QString::fromStdString(puzzleCode(*typed));
    }
    return QString::fromStdString(formatPuzzleNumber(
        {game_.level(), game_.gameSeed(), game_.builtUnique(), game_.builtDifficulty()}));
}

// --- Games that replace the one on the board ---

void GameSession::leaveGame() {
    // Left unfinished, a started game counts as not solved (replaced() records it once the new
    // game is there); brought back, its clock stays stopped.
    ClockState left = clock_.state();
    left.ended = left.ended || left.started;
    game_.setKeptClock(left);
}

void GameSession::replaced() {
    if (clock_.started() && !clock_.ended() && !timedTypedIn_ &&
        !addToRecordFile({GameEvent::Kind::NotSolved, timedLevel_, timedTable_, clock_.elapsed(),
                          options_.today(), helped_, puzzleDay_})) {
        recordFailed_ = true;
    }
    clock_.reset();
    // From here on the clock is the new game's.
    timedTypedIn_ = game_.isTypedIn();
    helped_ = false;
    puzzleDay_ = {};
    emit clockChanged();
}

void GameSession::finishReplacing() {
    emit gameReplaced();
    if (std::exchange(recordFailed_, false)) {
        emit recordFailed();
    }
    scheduleSave();
}

bool GameSession::tookBoard(bool took) {
    if (took) {
        replaced();
        finishReplacing();
    }
    return took;
}

void GameSession::setLevel(int level) {
    leaveGame();
    game_.setLevel(level);
    tookBoard(true);
}

void GameSession::newGame() {
    leaveGame();
    game_.newGame();
    tookBoard(true);
}

bool GameSession::startPuzzle(const PuzzleId& id) {
    leaveGame();
    return tookBoard(game_.newGameFromSeed(id.level, id.seed, id.unique, id.difficulty));
}

bool GameSession::startTypedPuzzle(const Puzzle& puzzle) {
    leaveGame();
    return tookBoard(game_.newGameFromPuzzle(puzzle));
}

void GameSession::startDailyPuzzle() {
    // The same seeds everywhere; the rare seed that builds no fleet passes to the next one.
    const QDate day = options_.today();
    const int level = game_.level();
    for (int attempt = 0; attempt < 256; ++attempt) {
        if (startPuzzle({level, dailySeed(day.toJulianDay(), level, attempt), true})) {
            puzzleDay_ = day;
            return;
        }
    }
}

bool GameSession::resume(int level) {
    const std::optional<QByteArray> payload = readStateFile();
    game_.keepLevel(level);
    std::optional<ReadGame> read = payload ? readGameFile(*payload, game_) : std::nullopt;
    if (!read) {
        return false;
    }
    game_ = std::move(read->game);
    replaced();
    if (read->time) {
        puzzleDay_ = read->time->puzzleDay;
        helped_ = read->time->helped;
        clock_.restore(read->time->clock);
    } else {
        // A game kept without its time: a board showing the solution has ended.
        clock_.restore({0, false, showsSolution(game_)});
    }
    timeThisGame();
    emit gameReplaced();
    emit clockChanged();
    return true;
}

// --- Moves ---

void GameSession::timeThisGame() {
    timedLevel_ = game_.level();
    timedTable_ = puzzleDay_.isValid()  ? TimeTable::Daily
                  : game_.builtUnique() ? TimeTable::Unique
                                        : TimeTable::Default;
    timedTypedIn_ = game_.isTypedIn();
}

void GameSession::ended(bool solved) {
    clock_.stop();
    emit clockChanged();
    if (timedTypedIn_) {
        emit gameEnded(solved, 0);  // typed-in puzzles have no best times
        return;
    }
    const std::optional<int> place =
        addToRecordFile({solved ? GameEvent::Kind::Solved : GameEvent::Kind::NotSolved, timedLevel_,
                         timedTable_, clock_.elapsed(), options_.today(), helped_, puzzleDay_});
    emit gameEnded(solved, place);
}

bool GameSession::boardSolved() const {
    return showsSolution(game_) && !game_.solutionShown();
}

void GameSession::play(const std::vector<Move>& moves) {
    if (!clock_.started()) {
        clock_.start();
        timeThisGame();
        emit clockChanged();
    }
    const bool wasOver = clock_.ended();
    const ChangedElements elements = game_.apply(moves);
    emit changed(elements);
    if (!elements.empty()) {
        scheduleSave();
    }
    if (!wasOver && showsSolution(game_)) {
        ended(std::none_of(moves.begin(), moves.end(),
                           [](const Move& m) { return m.kind == Move::Kind::ShowSolution; }));
    } else if (wasOver && !elements.empty() && boardSolved()) {
        emit completedAfterEnd();
    }
}

void GameSession::step(bool (ShipGame::*changesGame)() const, ChangedElements (ShipGame::*take)()) {
    if ((game_.*changesGame)()) {
        // The game a new game replaced, or an undo left, comes back whole, with its time.
        leaveGame();
        (game_.*take)();
        replaced();
        clock_.restore(game_.keptClock());
        emit clockChanged();
        finishReplacing();
    } else {
        emit changed((game_.*take)());
        scheduleSave();
    }
}

// --- The game file ---

void GameSession::save() {
    saveTimer_->stop();
    if (keepsState_ && readStateFile() != knownState_) {
        keepsState_ = options_.confirmOverwrite();
    }
    if (!keepsState_) {
        return;
    }
    if (!keepGame_) {
        // Not to be resumed: nothing of this game is kept.
        removeStateFile();
        knownState_.reset();
        return;
    }
    const QByteArray payload = gameFileContent(
        game_, puzzleNumber().toLatin1(), {clock_.state(), helped_, puzzleDay_}, maxStatePayload);
    if (writeStateFile(payload)) {
        knownState_ = payload;
        saveFailShown_ = false;
    } else if (!std::exchange(saveFailShown_, true)) {
        emit saveFailed();
    }
}

void GameSession::scheduleSave() {
    // Later changes do not put the save off: steady play is written every saveDelayMs. A change
    // that finds the save overdue (the event loop was held up) writes at once.
    const std::int64_t now = options_.clock();
    if (!saveTimer_->isActive()) {
        unsavedSince_ = now;
        saveTimer_->start();
    } else if (now - unsavedSince_ >= saveDelayMs) {
        save();
    }
}

}  // namespace quorvik
