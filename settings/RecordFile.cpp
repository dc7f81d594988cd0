// The record file: a checked text of one line per level, per time and for the days' puzzles,
// changed only under a lock by read, add, write, through the same whole-file code as the state
// file.
#include "RecordFile.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QLockFile>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>

#include "AtomicFile.h"

namespace quorvik {

namespace {

constexpr char magic[] = "QUORVIK-RECORD";
constexpr char formatVersion[] = "1";
constexpr char fileName[] = "record";
// How long a program waits for another one's change of the file.
constexpr int lockWaitMs = 2000;
// The free names tried for a damaged file when the .bak path holds something else.
constexpr int spareBackups = 9;

QString recordFolder() {
    return xdgFolder("XDG_DATA_HOME", ".local/share") + QStringLiteral("/Quorvik");
}

QByteArray dateText(const QDate& date) {
    return date.isValid() ? date.toString(Qt::ISODate).toLatin1() : QByteArray("-");
}

std::optional<QDate> dateField(const QByteArray& text) {
    if (text == "-") {
        return QDate();
    }
    const QDate date = QDate::fromString(QString::fromLatin1(text), Qt::ISODate);
    return date.isValid() && text.size() == 10 ? std::optional(date) : std::nullopt;
}

// A count or time without sign: at most 15 digits, so any value fits.
std::optional<std::int64_t> numberField(const QByteArray& text) {
    std::uint64_t value = 0;  // unsigned, so that no sign is taken
    const char* end = text.constData() + text.size();
    const auto [stop, error] = std::from_chars(text.constData(), end, value);
    if (text.isEmpty() || text.size() > 15 || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(value);
}

std::optional<int> countField(const QByteArray& text) {
    const std::optional<std::int64_t> value = numberField(text);
    return value && *value <= maxRecordCount ? std::optional(static_cast<int>(*value))
                                             : std::nullopt;
}

// The counts of a level's line, in the order the file keeps them.
constexpr std::array<int LevelRecord::*, 5> levelCounts{
    &LevelRecord::started, &LevelRecord::solved, &LevelRecord::solvedUnaided,
    &LevelRecord::currentRun, &LevelRecord::bestRun};

// One more, up to the largest count the file holds.
void countOne(int& count) {
    count = count < maxRecordCount ? count + 1 : maxRecordCount;
}

// Reads the lines of the record; false at the first line that does not read. Lines of a kind
// this program does not know are kept as they are, so a later program can add kinds.
bool readLines(const QByteArray& body, Record& record) {
    const QList<QByteArray> lines = body.split('\n');
    if (!body.isEmpty() && !body.endsWith('\n')) {
        return false;
    }
    for (qsizetype n = 0; n + 1 < lines.size(); ++n) {
        const QList<QByteArray> f = lines[n].split(' ');
        // The level a "level" or "time" line is about.
        const std::optional<int> level = countField(f.value(1));
        LevelRecord* entry = level ? record.level(*level) : nullptr;
        if (f[0] == "level" && f.size() == 7) {
            if (entry == nullptr) {
                return false;
            }
            for (std::size_t k = 0; k < levelCounts.size(); ++k) {
                const std::optional<int> count = countField(f[static_cast<qsizetype>(k) + 2]);
                if (!count) {
                    return false;
                }
                entry->*levelCounts[k] = *count;
            }
        } else if (f[0] == "time" && f.size() == 6) {
            const std::optional<int> table = countField(f[2]);
            const std::optional<std::int64_t> ms = numberField(f[3]);
            const std::optional<QDate> date = dateField(f[4]);
            if (entry == nullptr || !table || *table >= timeTableCount || !ms || !date ||
                (f[5] != "0" && f[5] != "1") ||
                entry->times[static_cast<std::size_t>(*table)].size() >= timesPerTable) {
                return false;
            }
            entry->times[static_cast<std::size_t>(*table)].push_back({*ms, *date, f[5] == "1"});
        } else if (f[0] == "days" && f.size() == 4) {
            const std::optional<QDate> last = dateField(f[1]);
            const std::optional<int> run = countField(f[2]);
            const std::optional<int> best = countField(f[3]);
            if (!last || !run || !best) {
                return false;
            }
            record.lastDaySolved = *last;
            record.dayRun = *run;
            record.bestDayRun = *best;
        } else if (f[0] == "level" || f[0] == "time" || f[0] == "days" || f[0].isEmpty()) {
            return false;
        } else {
            record.laterLines.append(lines[n]);
        }
    }
    return true;
}

// Renames the damaged file at `path` out of the way: to the .bak path over an earlier file
// there, or, when something else holds that path, to the first free spare name. False when no
// name took it; the file is then where it was.
bool setAside(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    const QByteArray backup = QFile::encodeName(path + QStringLiteral(".bak"));
    struct stat info {};
    if ((::lstat(backup.constData(), &info) != 0 || S_ISREG(info.st_mode)) &&
        std::rename(native.constData(), backup.constData()) == 0) {
        return true;
    }
    for (int n = 1; n <= spareBackups; ++n) {
        const QByteArray spare = backup + '.' + QByteArray::number(n);
        if (::lstat(spare.constData(), &info) != 0 && errno == ENOENT &&
            std::rename(native.constData(), spare.constData()) == 0) {
            return true;
        }
    }
    return false;
}

// What a read of the file found: the record, whether it was read (false: a file is there that
// cannot be opened), and whether the file may be written anew (nothing would be lost).
struct RecordRead {
    Record record;
    bool readable = true;
    bool writable = true;
};

// The record in the file; a damaged file is set aside when `mayMove` (the lock is held).
RecordRead readRecord(bool mayMove) {
    const QString path = recordFilePath();
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0) {
        return {};  // no file yet
    }
    // A regular file this program may not open is the player's record all the same.
    if (::stat(native.constData(), &info) == 0 && S_ISREG(info.st_mode) &&
        ::access(native.constData(), R_OK) != 0) {
        return {{}, false, false};
    }
    if (const std::optional<QByteArray> content = readRegularFile(path, maxRecordFileSize)) {
        if (std::optional<Record> record = parseRecordFile(*content)) {
            return {*record};
        }
    }
    // Kept for a look by hand; the record starts afresh.
    return {{}, true, mayMove && setAside(path)};
}

// Runs `change` on the record in the file under the lock, and writes the record back when
// nothing would be lost by it.
template <typename Change>
std::optional<int> underLock(Change change) {
    const QString folder = recordFolder();
    QLockFile lock(folder + QStringLiteral("/record.lock"));
    if (!QDir().mkpath(folder) || !takeLock(lock, lockWaitMs)) {
        return std::nullopt;
    }
    RecordRead read = readRecord(true);
    if (!read.writable) {
        return std::nullopt;
    }
    const int result = change(read.record);
    return writeFileWhole(folder, QString::fromLatin1(fileName), recordFileContent(read.record))
               ? std::optional(result)
               : std::nullopt;
}

}  // namespace

LevelRecord* Record::level(int level) {
    const int k = level - recordFirstLevel;
    return k >= 0 && k < recordLevelCount ? &levels[static_cast<std::size_t>(k)] : nullptr;
}

const LevelRecord* Record::level(int level) const {
    return const_cast<Record*>(this)->level(level);
}

int Record::dayRunOn(const QDate& today) const {
    return lastDaySolved.isValid() && lastDaySolved.daysTo(today) <= 1 ? dayRun : 0;
}

int addEvent(Record& record, const GameEvent& event) {
    LevelRecord* entry = record.level(event.level);
    if (entry == nullptr) {
        return 0;
    }
    countOne(entry->started);
    if (event.kind == GameEvent::Kind::NotSolved) {
        entry->currentRun = 0;
        return 0;
    }
    countOne(entry->solved);
    if (!event.helped) {
        countOne(entry->solvedUnaided);
    }
    countOne(entry->currentRun);
    entry->bestRun = std::max(entry->bestRun, entry->currentRun);
    if (event.table == TimeTable::Daily && event.puzzleDay.isValid()) {
        // Another level's puzzle of the same day, or an older day's, does not lengthen the run.
        const qint64 gap =
            record.lastDaySolved.isValid() ? record.lastDaySolved.daysTo(event.puzzleDay) : 2;
        if (gap >= 1) {
            record.dayRun = gap == 1 ? record.dayRun : 0;
            countOne(record.dayRun);
            record.lastDaySolved = event.puzzleDay;
            record.bestDayRun = std::max(record.bestDayRun, record.dayRun);
        }
    }
    auto& times = entry->times[static_cast<std::size_t>(event.table)];
    const std::int64_t milliseconds =
        std::clamp<std::int64_t>(event.milliseconds, 0, maxRecordMilliseconds);
    // After every equal time: the older entry keeps its place.
    const auto place =
        std::upper_bound(times.begin(), times.end(), milliseconds,
                         [](std::int64_t ms, const RecordTime& t) { return ms < t.milliseconds; });
    if (place == times.end() && times.size() >= timesPerTable) {
        return 0;
    }
    const auto index = place - times.begin();
    times.insert(place, {milliseconds, event.date, event.helped});
    if (times.size() > timesPerTable) {
        times.pop_back();
    }
    return static_cast<int>(index) + 1;
}

QByteArray recordFileContent(const Record& record) {
    QByteArray body;
    for (int level = recordFirstLevel; level < recordFirstLevel + recordLevelCount; ++level) {
        const LevelRecord& e = *record.level(level);
        body += "level " + QByteArray::number(level);
        for (const auto count : levelCounts) {
            body += ' ' + QByteArray::number(e.*count);
        }
        body += '\n';
        for (int table = 0; table < timeTableCount; ++table) {
            for (const RecordTime& t : e.times[static_cast<std::size_t>(table)]) {
                body += "time " + QByteArray::number(level) + ' ' + QByteArray::number(table) +
                        ' ' + QByteArray::number(t.milliseconds) + ' ' + dateText(t.date) + ' ' +
                        (t.helped ? '1' : '0') + '\n';
            }
        }
    }
    body += "days " + dateText(record.lastDaySolved) + ' ' + QByteArray::number(record.dayRun) +
            ' ' + QByteArray::number(record.bestDayRun) + '\n';
    // A later program's lines follow, as far as the file stays within what is read back.
    for (const QByteArray& line : record.laterLines) {
        if (body.size() + line.size() + 1 > maxRecordFileSize - 64) {
            break;
        }
        body += line + '\n';
    }
    return checkedContent(magic, formatVersion, body);
}

std::optional<Record> parseRecordFile(const QByteArray& content) {
    const std::optional<QByteArray> body =
        checkedBody(content, magic, formatVersion, maxRecordFileSize);
    Record record;
    if (!body || !readLines(*body, record)) {
        return std::nullopt;
    }
    return record;
}

QString recordFilePath() {
    return recordFolder() + u'/' + QString::fromLatin1(fileName);
}

Record readRecordFile(bool* readable) {
    // Setting a damaged file aside is done under the lock, so that it is never a whole file
    // that another copy of the program has just written.
    QLockFile lock(recordFolder() + QStringLiteral("/record.lock"));
    const bool locked = QDir().exists(recordFolder()) && takeLock(lock, lockWaitMs);
    RecordRead read = readRecord(locked);
    if (readable != nullptr) {
        *readable = read.readable;
    }
    return std::move(read.record);
}

std::optional<int> addToRecordFile(const GameEvent& event) {
    return underLock([&event](Record& record) { return addEvent(record, event); });
}

bool clearRecordFile() {
    return underLock([](Record& record) {
               record = {};
               return 0;
           })
        .has_value();
}

}  // namespace quorvik
