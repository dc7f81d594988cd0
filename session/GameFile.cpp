// The state file's payload: its kind and format, the puzzle number, the play's four lines, then
// optional sections of one line each, named by their first word ("history-base" and "history":
// the undo history; "clock"; "puzzle": the code of a typed-in puzzle, whose number line is "-").
// A section of a name not known is passed over; format 1 has none.
#include "GameFile.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <string_view>

#include "PuzzleCode.h"
#include "PuzzleNumber.h"

namespace quorvik {

namespace {

constexpr char stateHeader[] = "QUORVIK-GAME 2";
constexpr char stateHeaderWithoutSections[] = "QUORVIK-GAME 1";
constexpr int playLines = 4;

// The clock's section: "clock <ms> <flags> <puzzle day>", the flags s (started), e (ended) and
// h (helped), each or "-".
constexpr char clockTag[] = "clock ";
constexpr char puzzleTag[] = "puzzle ";
// The solution's symbols: the segments as in the text form, "~" where no ship lies; "-" (never
// written) reads as a cell the solution leaves open.
constexpr std::string_view solutionSymbols = "ov<>^#-~";
constexpr Mark solutionMarks[] = {Mark::Single, Mark::Bottom, Mark::Left,    Mark::Right,
                                  Mark::Top,    Mark::Middle, Mark::Covered, Mark::Water};

char solutionSymbol(Mark mark) {
    const auto* at = std::find(std::begin(solutionMarks), std::end(solutionMarks), mark);
    return at == std::end(solutionMarks) ? '-' : solutionSymbols[at - std::begin(solutionMarks)];
}

}  // namespace

bool showsSolution(const ShipGame& game) {
    for (int x = 0; x <= game.maxCol(); ++x) {
        for (int y = 0; y <= game.maxRow(); ++y) {
            const Reveal reveal = game.cell(x, y).reveal;
            if (reveal != Reveal::None && reveal != Reveal::Clue) {
                return true;
            }
        }
    }
    return false;
}

QByteArray gameFileContent(ShipGame& game, const QByteArray& puzzleNumber, const KeptTime& time,
                           qsizetype limit) {
    QByteArray payload(stateHeader);
    payload += '\n' + (game.isTypedIn() ? QByteArray("-") : puzzleNumber) + '\n';
    payload += QByteArray::fromStdString(game.exportPlay());
    if (game.isTypedIn()) {
        // The code, then the solution first found, so that a restart need not search again.
        QByteArray solution;
        for (const Mark mark : game.firstSolution()) {
            solution += solutionSymbol(mark);
        }
        payload += puzzleTag + QByteArray::fromStdString(puzzleCode(*game.typedPuzzle())) + ' ' +
                   solution + '\n';
    }
    const QByteArray history = QByteArray::fromStdString(game.exportHistory());
    // Should the history not fit in the file, the game is kept without it.
    if (payload.size() + history.size() <= limit) {
        payload += history;
    }
    const QByteArray flags = QByteArray(time.clock.started ? "s" : "") +
                             (time.clock.ended ? "e" : "") + (time.helped ? "h" : "");
    payload += clockTag + QByteArray::number(time.clock.elapsed) + ' ' +
               (flags.isEmpty() ? QByteArray("-") : flags) + ' ' +
               (time.puzzleDay.isValid() ? time.puzzleDay.toString(Qt::ISODate).toLatin1()
                                         : QByteArray("-")) +
               '\n';
    return payload;
}

std::optional<ReadGame> readGameFile(const QByteArray& payload, const ShipGame& base) {
    // The header, the puzzle number, the player's side of the game, then the sections.
    const QList<QByteArray> lines = payload.split('\n');
    if (lines.size() < 2 + playLines + 1 || !lines.back().isEmpty() ||
        (lines[0] != stateHeader &&
         (lines[0] != stateHeaderWithoutSections || lines.size() != 2 + playLines + 1))) {
        return std::nullopt;
    }
    const std::optional<PuzzleId> id = parsePuzzleNumber(lines[1].toStdString());
    const QByteArray play = lines.mid(2, playLines).join('\n') + '\n';
    QByteArray history;
    QList<QByteArray> clockFields;
    std::optional<Puzzle> typed;
    for (qsizetype k = 2 + playLines; k + 1 < lines.size(); ++k) {
        if (lines[k].startsWith("history-base ") || lines[k].startsWith("history ")) {
            history += lines[k] + '\n';
        } else if (lines[k].startsWith(clockTag)) {
            clockFields = lines[k].split(' ');
        } else if (lines[k].startsWith(puzzleTag) && lines[1] == "-") {
            const QList<QByteArray> fields = lines[k].split(' ');
            typed = readPuzzleCode(fields.value(1).toStdString()).puzzle;
            // A solution that does not fit is not taken: the game then searches for one.
            for (const char symbol : fields.value(2)) {
                const std::size_t at = solutionSymbols.find(symbol);
                if (typed && at != std::string_view::npos) {
                    typed->solution.push_back(solutionMarks[at]);
                }
            }
        }
    }
    ReadGame read{base, std::nullopt};
    const bool built =
        typed ? read.game.newGameFromPuzzle(*typed)
              : id && read.game.newGameFromSeed(id->level, id->seed, id->unique, id->difficulty);
    if (!built || !read.game.importPlay(play.toStdString())) {
        return std::nullopt;
    }
    // A history that does not lead to this board is dropped; the game itself still comes back.
    read.game.importHistory(history.toStdString());
    // A time out of the clock's range is not read: the game comes back without its time.
    bool elapsedRead = false;
    const qint64 elapsed = clockFields.size() == 4 ? clockFields[1].toLongLong(&elapsedRead) : 0;
    if (elapsedRead && elapsed >= 0 && elapsed <= maxPlayMilliseconds) {
        const QByteArray& flags = clockFields[2];
        read.time = KeptTime{{elapsed, flags.contains('s'), flags.contains('e')},
                             flags.contains('h'),
                             QDate::fromString(QString::fromLatin1(clockFields[3]), Qt::ISODate)};
    }
    return read;
}

}  // namespace quorvik
