// The command line read with QCommandLineParser; the texts are the program's own, in German,
// since the parser's built-in help and messages are English.
#include "CommandLine.h"

#include <QCommandLineParser>
#include <QFile>

#include <atomic>
#include <cstdio>
#include <future>

#include "EscapedText.h"
#include "PuzzleCheck.h"
#include "PuzzleDialog.h"
#include "PuzzleText.h"
#include "VersionInfo.h"

namespace quorvik {

namespace {

const QString programName = QStringLiteral("quorvik");

// A number of each mode as the help and the messages show it.
QString exampleNumber(bool unique) {
    return QString::fromStdString(formatPuzzleNumber({8, 0x3F2A91C0u, unique}));
}

QString helpText() {
    return QStringLiteral(
               "Aufruf: %1 [Optionen]\n"
               "Logikrätsel: Finde die versteckte Flotte.\n"
               "\n"
               "Optionen:\n"
               "  --puzzle <Nummer>  startet das Rätsel mit dieser Spielnummer, zum Beispiel\n"
               "                     %2 (oder %3 mit eindeutiger Lösung)\n"
               "  --solve <Datei>    löst das Rätsel in der Datei (Text oder Rätselcode, „-“\n"
               "                     für die Standardeingabe) ohne Fenster und gibt die Zahl\n"
               "                     der Lösungen und eine Lösung aus; nach 10 Sekunden\n"
               "                     bricht die Suche ab\n"
               "  -h, --help         zeigt diese Hilfe\n"
               "  -v, --version      zeigt die Version\n")
        .arg(programName, exampleNumber(false), exampleNumber(true));
}

CommandLine exitWith(const QString& output, int exitCode = 0, const QString& error = {}) {
    return {CommandLine::Action::Exit, std::nullopt, {}, exitCode, output, error};
}

// What went wrong, for standard error with exit code 2: a file that cannot be read, say.
CommandLine failure(const QString& message) {
    return exitWith({}, commandLineErrorExitCode,
                    QStringLiteral("%1: %2\n").arg(programName, message));
}

// A mistake of the command line also points to the help.
CommandLine mistake(const QString& message) {
    return failure(QStringLiteral("%1\nMehr dazu: %2 --help").arg(message, programName));
}

// What QCommandLineParser refused, told in German. Besides unknown options it refuses only a
// missing value (--puzzle as the last argument) and a value for an option that takes none.
QString parseMistake(const QCommandLineParser& parser, const QStringList& arguments) {
    if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty()) {
        const QString& name = unknown.first();
        return QStringLiteral("Unbekannte Option „%1%2“.")
            .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), escapedText(name));
    }
    if (arguments.last() == QStringLiteral("--puzzle")) {
        return QStringLiteral("Nach „--puzzle“ fehlt die Spielnummer.");
    }
    if (arguments.last() == QStringLiteral("--solve")) {
        return QStringLiteral("Nach „--solve“ fehlt die Datei.");
    }
    for (const QString& argument : arguments.mid(1)) {
        if (argument.startsWith(QStringLiteral("--")) && argument.contains(u'=') &&
            !argument.startsWith(QStringLiteral("--puzzle=")) &&
            !argument.startsWith(QStringLiteral("--solve="))) {
            return QStringLiteral("„%1“: Diese Option erwartet keinen Wert.")
                .arg(escapedText(argument));
        }
    }
    return QStringLiteral("Die Befehlszeile lässt sich nicht lesen.");
}

// The solutions of `puzzle` up to solveCountLimit, the search on a thread of its own stopped
// once `timeLimit` has passed (at once when it is zero).
PuzzleSolutions solveWithin(const Puzzle& puzzle, std::chrono::milliseconds timeLimit) {
    std::atomic<bool> cancel{timeLimit <= std::chrono::milliseconds::zero()};
    std::future<PuzzleSolutions> solutions = std::async(
        std::launch::async, [&] { return solvePuzzle(puzzle, solveCountLimit, &cancel); });
    if (solutions.wait_for(timeLimit) == std::future_status::timeout) {
        cancel = true;
    }
    return solutions.get();
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption puzzleOption(QStringLiteral("puzzle"), {}, QStringLiteral("Nummer"));
    const QCommandLineOption solveOption(QStringLiteral("solve"), {}, QStringLiteral("Datei"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption versionOption(
        QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({puzzleOption, solveOption, helpOption, versionOption});

    // An empty list stands for a program started without even its name.
    const QStringList given = arguments.isEmpty() ? QStringList{programName} : arguments;
    if (!parser.parse(given)) {
        return mistake(parseMistake(parser, given));
    }
    if (const QStringList stray = parser.positionalArguments(); !stray.isEmpty()) {
        return mistake(
            QStringLiteral("Unerwartetes Argument „%1“.").arg(escapedText(stray.first())));
    }
    for (const QCommandLineOption* option : {&puzzleOption, &solveOption}) {
        if (parser.values(*option).size() > 1) {
            return mistake(QStringLiteral("„--%1“ ist mehr als einmal angegeben.")
                               .arg(option->names().constFirst()));
        }
    }
    const QStringList numbers = parser.values(puzzleOption);
    const QStringList files = parser.values(solveOption);
    if (!files.isEmpty() && !numbers.isEmpty()) {
        return mistake(QStringLiteral("„--solve“ und „--puzzle“ gehen nicht zusammen."));
    }
    std::optional<PuzzleId> puzzle;
    if (!numbers.isEmpty()) {
        puzzle = parsePuzzleNumber(numbers.first().toStdString());
        if (puzzleNumberProblem(numbers.first().toStdString()) == PuzzleNumberProblem::Malformed) {
            return mistake(
                QStringLiteral("„%1“ ist keine gültige Spielnummer. Eine Spielnummer "
                               "sieht so aus: %2 oder %3.")
                    .arg(escapedText(numbers.first()), exampleNumber(false), exampleNumber(true)));
        }
        if (!puzzle) {
            return mistake(puzzleNumberMistake(numbers.first()));
        }
    }
    if (parser.isSet(helpOption)) {
        return exitWith(helpText());
    }
    if (parser.isSet(versionOption)) {
        return exitWith(QStringLiteral("Quorvik %1\n").arg(programVersionText()));
    }
    const auto action = files.isEmpty() ? CommandLine::Action::Play : CommandLine::Action::Solve;
    return {action, puzzle, files.value(0), 0, {}, {}};
}

CommandLine solvePuzzleFile(const QString& file, std::chrono::milliseconds timeLimit) {
    // Far more than any board of 31 x 31 takes, even with a blank between all symbols.
    constexpr qint64 largestText = 1 << 20;
    const bool standardInput = file == QStringLiteral("-");
    const QString name = standardInput ? QStringLiteral("Standardeingabe")
                                       : QStringLiteral("„%1“").arg(escapedText(file));
    QFile input(standardInput ? QString() : file);
    const bool opened =
        standardInput ? input.open(stdin, QIODevice::ReadOnly) : input.open(QIODevice::ReadOnly);
    const QByteArray text = opened ? input.read(largestText + 1) : QByteArray();
    if (!opened || input.error() != QFileDevice::NoError) {
        return failure(QStringLiteral("%1 lässt sich nicht lesen.").arg(name));
    }
    if (text.size() > largestText) {
        return failure(QStringLiteral("%1 ist zu groß für ein Rätsel.").arg(name));
    }
    const PuzzleReading reading = readPuzzle(std::string_view(text.constData(), text.size()));
    if (!reading.puzzle) {
        return failure(QStringLiteral("%1: %2").arg(name, QString::fromStdString(reading.error)));
    }
    Puzzle puzzle = *reading.puzzle;
    const PuzzleSolutions solutions = solveWithin(puzzle, timeLimit);
    CommandLine result = exitWith({});
    if (solutions.cancelled) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeLimit).count();
        result.exitCode = solveStoppedExitCode;
        result.output =
            QStringLiteral("Die Suche wurde nach %1 Sekunden abgebrochen; bis dahin %2 gefunden.\n")
                .arg(seconds)
                .arg(solutions.count == 1
                         ? QStringLiteral("wurde 1 Lösung")
                         : QStringLiteral("wurden %1 Lösungen").arg(solutions.count));
    } else if (solutions.count == 0) {
        result.exitCode = noSolutionExitCode;
        result.output = QStringLiteral("Lösungen: 0\n");
        if (const std::optional<std::string> reason = noSolutionReason(puzzle)) {
            result.output += QString::fromStdString(*reason) + u'\n';
        }
    } else {
        result.output = solutions.count < solveCountLimit
                            ? QStringLiteral("Lösungen: %1\n").arg(solutions.count)
                            : QStringLiteral("Lösungen: mindestens %1\n").arg(solveCountLimit);
    }
    // The first solution found follows in the text form.
    if (solutions.count > 0) {
        puzzle.solution = solutions.solution;
        result.output += QString::fromStdString(writePuzzleText(puzzle, true));
    }
    return result;
}

bool mayHoldWindowSystemOptions(const QStringList& arguments) {
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QStringLiteral("--")) {
            return false;
        }
        if (argument.size() > 2 && argument[0] == u'-' && argument[1] != u'-') {
            return true;
        }
    }
    return false;
}

QStringList commandLineArguments(int argc, const char* const* argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

int finishCommandLine(const CommandLine& commandLine) {
    if (commandLine.action == CommandLine::Action::Solve) {
        return finishCommandLine(solvePuzzleFile(commandLine.solveFile));
    }
    std::fputs(commandLine.output.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
    std::fputs(commandLine.error.toLocal8Bit().constData(), stderr);
    return commandLine.exitCode;
}

}  // namespace quorvik
