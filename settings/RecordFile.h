// The player's record: the ten best times per level and kind of game, and per level how many
// games were started, solved and solved without help, with the runs of games solved in a row,
// and the run of days on which the day's puzzle was solved. It is kept in
// $XDG_DATA_HOME/Quorvik/record, a file that every running copy of the program changes under a
// lock by reading it, adding one game and writing it anew.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "LevelTable.h"

namespace quorvik {

// The levels the record counts (those of the level table) and the times kept per table.
inline constexpr int recordFirstLevel = minLevel;
inline constexpr int recordLevelCount = maxLevel - minLevel + 1;
inline constexpr std::size_t timesPerTable = 10;
// A record file larger than this is not read (and counts as damaged).
inline constexpr qsizetype maxRecordFileSize = 1024 * 1024;
// The largest count and time the file holds; a count stays there once it is reached, so the
// file written never holds a number its reader rejects.
inline constexpr int maxRecordCount = 1'000'000'000;
inline constexpr std::int64_t maxRecordMilliseconds = 999'999'999'999'999;

// The kinds of game with a table of times each: games built by default, games built to have
// one solution, and the day's puzzle.
enum class TimeTable { Default, Unique, Daily };
inline constexpr int timeTableCount = 3;

struct RecordTime {
    std::int64_t milliseconds = 0;
    QDate date;           // the day the game was solved
    bool helped = false;  // a help (hint or mistakes shown) was asked for

    friend bool operator==(const RecordTime&, const RecordTime&) = default;
};

struct LevelRecord {
    int started = 0;
    int solved = 0;
    int solvedUnaided = 0;
    int currentRun = 0;  // games solved in a row up to the last one
    int bestRun = 0;
    // Per table, fastest first, at most timesPerTable; equal times keep the older one first.
    std::array<std::vector<RecordTime>, timeTableCount> times;

    friend bool operator==(const LevelRecord&, const LevelRecord&) = default;
};

struct Record {
    std::array<LevelRecord, recordLevelCount> levels;
    QDate lastDaySolved;  // the puzzle day of the last day's puzzle solved
    int dayRun = 0;       // days in a row up to lastDaySolved
    int bestDayRun = 0;
    // Lines of kinds this program does not know (a later program's), kept for the next write.
    QList<QByteArray> laterLines;

    // The entry of a level of the table; nullptr for any other.
    LevelRecord* level(int level);
    const LevelRecord* level(int level) const;
    // The run of days as it stands on `today`: it is over once a day passed without a solve.
    int dayRunOn(const QDate& today) const;

    friend bool operator==(const Record&, const Record&) = default;
};

// The end of a game that was started (had a move): it counts as started, and as solved or not.
struct GameEvent {
    enum class Kind {
        Solved,     // the player completed the board
        NotSolved,  // the solution was shown, or a new game replaced a started one
    };
    Kind kind = Kind::NotSolved;
    int level = recordFirstLevel;
    TimeTable table = TimeTable::Default;
    std::int64_t milliseconds = 0;
    QDate date;  // today
    bool helped = false;
    QDate puzzleDay;  // for the day's puzzle: the day it belongs to
};

// Adds the event. For a solved game, returns its place in its table (1 = the best time) when it
// entered the table, else 0; 0 for a game not solved. An event of an unknown level changes
// nothing.
int addEvent(Record& record, const GameEvent& event);

// The file's content for `record`, and the record a content holds (nothing when it is damaged:
// a wrong header, length or checksum, or a line that does not read).
QByteArray recordFileContent(const Record& record);
std::optional<Record> parseRecordFile(const QByteArray& content);

// <$XDG_DATA_HOME or $HOME/.local/share>/Quorvik/record; the damaged file set aside is that path
// with ".bak".
QString recordFilePath();

// The record in the file. A file that was read and found damaged, or anything else at its place,
// is renamed to the .bak path (replacing an earlier regular file there; beside anything else at
// that path, to ".bak.1" up to ".bak.9") and an empty record is returned. A file that cannot be
// read (no permission) is left alone: an empty record, and `readable` set to false.
Record readRecordFile(bool* readable = nullptr);
// Adds one event to the record in the file, under the lock against other running copies: the
// file is read (as readRecordFile), the event added, the file written whole. Returns what
// addEvent returned, or nothing when the lock, the read or the write failed, or a damaged file
// could not be set aside (the file is then unchanged).
std::optional<int> addToRecordFile(const GameEvent& event);
// Replaces the file by an empty record, under the same lock; false when that failed.
bool clearRecordFile();

}  // namespace quorvik
