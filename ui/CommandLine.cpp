// The command line read with QCommandLineParser; the texts are the program's own, in German,
// since the parser's built-in help and messages are English.
#include "CommandLine.h"

#include <QCommandLineParser>

#include <cstdio>

#include "EscapedText.h"
#include "PuzzleDialog.h"
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
               "  -h, --help         zeigt diese Hilfe\n"
               "  -v, --version      zeigt die Version\n")
        .arg(programName, exampleNumber(false), exampleNumber(true));
}

CommandLine mistake(const QString& message) {
    CommandLine result;
    result.action = CommandLine::Action::Exit;
    result.exitCode = commandLineErrorExitCode;
    result.error = QStringLiteral("%1: %2\nMehr dazu: %1 --help\n").arg(programName, message);
    return result;
}

CommandLine exitWith(const QString& output) {
    CommandLine result;
    result.action = CommandLine::Action::Exit;
    result.output = output;
    return result;
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
    for (const QString& argument : arguments.mid(1)) {
        if (argument.startsWith(QStringLiteral("--")) && argument.contains(u'=') &&
            !argument.startsWith(QStringLiteral("--puzzle="))) {
            return QStringLiteral("„%1“: Diese Option erwartet keinen Wert.")
                .arg(escapedText(argument));
        }
    }
    return QStringLiteral("Die Befehlszeile lässt sich nicht lesen.");
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption puzzleOption(QStringLiteral("puzzle"), QString(),
                                          QStringLiteral("Nummer"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption versionOption(
        QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({puzzleOption, helpOption, versionOption});

    // An empty list stands for a program started without even its name.
    const QStringList given = arguments.isEmpty() ? QStringList{programName} : arguments;
    if (!parser.parse(given)) {
        return mistake(parseMistake(parser, given));
    }
    if (const QStringList stray = parser.positionalArguments(); !stray.isEmpty()) {
        return mistake(
            QStringLiteral("Unerwartetes Argument „%1“.").arg(escapedText(stray.first())));
    }
    const QStringList numbers = parser.values(puzzleOption);
    if (numbers.size() > 1) {
        return mistake(QStringLiteral("„--puzzle“ ist mehr als einmal angegeben."));
    }
    std::optional<PuzzleId> puzzle;
    if (!numbers.isEmpty()) {
        puzzle = parsePuzzleNumber(numbers.first().toStdString());
        const PuzzleNumberProblem problem = puzzleNumberProblem(numbers.first().toStdString());
        if (problem == PuzzleNumberProblem::Malformed) {
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
    CommandLine result;
    result.puzzle = puzzle;
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
    std::fputs(commandLine.output.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
    std::fputs(commandLine.error.toLocal8Bit().constData(), stderr);
    return commandLine.exitCode;
}

}  // namespace quorvik
