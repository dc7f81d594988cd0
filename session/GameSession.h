// The life of a game, apart from any window: the game on the board and the games kept for undo,
// new games, levels, puzzle numbers and the day's puzzle, the clock, the record of each game's
// end and the game file, written soon after every change and read back at start.
#pragma once

#include <QDate>
#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "GameClock.h"
#include "PuzzleNumber.h"
#include "RecordFile.h"
#include "ShipGame.h"

class QTimer;

namespace quorvik {

class GameSession : public QObject {
    Q_OBJECT

public:
    struct Options {
        RuntimeRandom::SeedSource seeds = RuntimeRandom::clockSeed;
        GameClock::TimeSource clock = GameClock::steadyMilliseconds;
        std::function<QDate()> today = &QDate::currentDate;
        // Whether the game file, changed by another running copy since this one read or wrote
        // it, shall be overwritten.
        std::function<bool()> confirmOverwrite = [] { return false; };
    };

    // The game in progress reaches the game file at most this long after its first unsaved
    // change, however many changes follow.
    static constexpr int saveDelayMs = 700;

    explicit GameSession(Options options, QObject* parent = nullptr);

    // The game stays the same object for the session's life; a new game replaces its content.
    ShipGame& game() { return game_; }
    const ShipGame& game() const { return game_; }
    const GameClock& clock() const { return clock_; }
    QDate today() const { return options_.today(); }
    QString puzzleNumber() const;
    // The level and table the clock's game counts for in the record.
    int timedLevel() const { return timedLevel_; }
    TimeTable timedTable() const { return timedTable_; }

    // Games that replace the one on the board; the replaced one, when started, is recorded as
    // not solved. startPuzzle is false, with nothing changed, where the number names no puzzle.
    void setLevel(int level);
    void newGame();
    bool startPuzzle(const PuzzleId& id);
    // A typed-in puzzle; false, with nothing changed, where it has no solution. Its time does
    // not enter the record.
    bool startTypedPuzzle(const Puzzle& puzzle);
    void startDailyPuzzle();
    // The game kept in the game file at the last close; false where there is none. A typed-in
    // game has no level of its own: it keeps `level` for the menu and the next new game.
    bool resume(int level);

    // Moves of the player as one step; undo and redo, across games too.
    void play(const std::vector<Move>& moves);
    void undo() { step(&ShipGame::undoChangesGame, &ShipGame::undo); }
    void redo() { step(&ShipGame::redoChangesGame, &ShipGame::redo); }

    // A help was asked for: the game's time enters the record marked so.
    void markHelped() { helped_ = true; }
    // The time runs only while the player has the window in front.
    void setActive(bool active) {
        clock_.setActive(active);
        emit clockChanged();
    }
    // Whether the player's marks show the whole fleet (not the solution display).
    bool boardSolved() const;

    // Whether the game is kept for the next start; without, the game file is removed.
    void setKeepGame(bool keep) {
        keepGame_ = keep;
        scheduleSave();
    }
    // Writes the game file soon: saveDelayMs after the first change not yet written.
    void scheduleSave();
    // Writes the game file at once.
    void save();
    // The end of a game that is not kept: a started one is recorded as not solved.
    void endUnkeptGame() { replaced(); }

signals:
    // Another game is on the board (new, numbered, resumed, or brought back by undo or redo).
    void gameReplaced();
    // A move, undo or redo changed these elements of the game on the board.
    void changed(const ChangedElements& elements);
    // The clock started, stopped, ran on or off, or was reset.
    void clockChanged();
    // The game ended: solved by the player, or by showing the solution. `place` is its place in
    // the record's table (0: none), nothing where the record could not be written.
    void gameEnded(bool solved, std::optional<int> place);
    // The board became complete after the game had ended; it does not count.
    void completedAfterEnd();
    // The replaced game's end could not be written to the record.
    void recordFailed();
    // The game file could not be written; said once until a write succeeds again.
    void saveFailed();

private:
    // Before and after another game takes the board.
    void leaveGame();
    void replaced();
    void finishReplacing();
    // Both, when `took` says that another game took the board; returns `took`.
    bool tookBoard(bool took);
    // An undo or a redo: `take` it, and when `changesGame` says so, another game takes the board.
    void step(bool (ShipGame::*changesGame)() const, ChangedElements (ShipGame::*take)());
    // The clock's game, its level and table in the record, is the one on the board.
    void timeThisGame();
    void ended(bool solved);

    Options options_;
    ShipGame game_;
    GameClock clock_;
    int timedLevel_ = 0;
    TimeTable timedTable_ = TimeTable::Default;
    bool timedTypedIn_ = false;  // the clock's game is a typed-in puzzle: no record
    bool helped_ = false;
    QDate puzzleDay_;
    bool recordFailed_ = false;  // to be said once the next game is on the board

    bool keepGame_ = true;
    QTimer* saveTimer_ = nullptr;
    std::int64_t unsavedSince_ = 0;  // the first change not yet written, on options_.clock
    // The game file's payload as this copy last read or wrote it, and whether this copy still
    // keeps its game there (not after the player declined to overwrite another copy's).
    std::optional<QByteArray> knownState_;
    bool keepsState_ = true;
    bool saveFailShown_ = false;
};

}  // namespace quorvik
