// The game in progress as the state file keeps it: the puzzle number, the player's marks, the
// undo history and the clock, in the "QUORVIK-GAME 2" text format.
#pragma once

#include <QByteArray>
#include <QDate>

#include <optional>

#include "GameClock.h"
#include "ShipGame.h"

namespace quorvik {

// What the file keeps beside the game: the clock, whether a help was asked for, the puzzle's day.
struct KeptTime {
    ClockState clock;
    bool helped = false;
    QDate puzzleDay;
};

// The payload of a game and its time, at most `limit` bytes before the clock's line: a history
// that does not fit is left out.
QByteArray gameFileContent(ShipGame& game, const QByteArray& puzzleNumber, const KeptTime& time,
                           qsizetype limit);

// The game a payload keeps, built on a copy of `base` (its seed source and options), and its
// time; nothing when the payload holds no game. A payload without a readable time gives
// nothing for it.
struct ReadGame {
    ShipGame game;
    std::optional<KeptTime> time;
};
std::optional<ReadGame> readGameFile(const QByteArray& payload, const ShipGame& base);

// Whether the board shows the solution: the solution display marks every ship cell. A board that
// does so after a move of the player other than "Zeigen" was solved by that move.
bool showsSolution(const ShipGame& game);

}  // namespace quorvik
