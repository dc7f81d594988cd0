// The command line: a puzzle number to start with, help and version on standard output with
// exit code 0, every mistake told in German on standard error with exit code 2 and no window.
#include <QtTest>

#include "CommandLine.h"
#include "VersionInfo.h"

using namespace quorvik;

Q_DECLARE_METATYPE(std::optional<quorvik::PuzzleId>)

namespace {

const PuzzleId shared{8, 0x3F2A91C0u, true};
const QString number = QString::fromStdString(formatPuzzleNumber(shared));

// What every run of the program finds on its standard input: the code of a puzzle whose one
// ship lies in the first column, as a person might type it.
const QByteArray standardInput = "  r-11gm8-ogc\n";

}  // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parse_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");  // -1: play
        QTest::addColumn<std::optional<PuzzleId>>("puzzle");
        QTest::addColumn<QString>("text");  // start of the output, or a part of the error
        const std::optional<PuzzleId> none;
        const QString help = QStringLiteral("Aufruf: quorvik [Optionen]\n");
        const QString version = "Quorvik " + programVersionText() + '\n';

        QTest::newRow("nothing") << QStringList{"quorvik"} << -1 << none << "";
        QTest::newRow("not even the name") << QStringList{} << -1 << none << "";
        QTest::newRow("number") << QStringList{"quorvik", "--puzzle", number} << -1
                                << std::optional(shared) << "";
        QTest::newRow("number after =")
            << QStringList{"quorvik", "--puzzle=" + number} << -1 << std::optional(shared) << "";
        QTest::newRow("number as typed") << QStringList{"quorvik", "--puzzle", number.toLower()}
                                         << -1 << std::optional(shared) << "";
        QTest::newRow("--help") << QStringList{"quorvik", "--help"} << 0 << none << help;
        QTest::newRow("-h") << QStringList{"quorvik", "-h"} << 0 << none << help;
        QTest::newRow("--version") << QStringList{"quorvik", "--version"} << 0 << none << version;
        QTest::newRow("-v") << QStringList{"quorvik", "-v"} << 0 << none << version;
        QTest::newRow("help before version")
            << QStringList{"quorvik", "-v", "-h"} << 0 << none << help;
        QTest::newRow("unknown option")
            << QStringList{"quorvik", "--bunt"} << 2 << none << "Unbekannte Option „--bunt“";
        QTest::newRow("unknown short option")
            << QStringList{"quorvik", "-x", "--help"} << 2 << none << "Unbekannte Option „-x“";
        QTest::newRow("stray argument") << QStringList{"quorvik", number} << 2 << none
                                        << "Unerwartetes Argument „" + number + "“";
        QTest::newRow("number missing") << QStringList{"quorvik", "--puzzle"} << 2 << none
                                        << "Nach „--puzzle“ fehlt die Spielnummer";
        QTest::newRow("file to solve missing")
            << QStringList{"quorvik", "--solve"} << 2 << none << "Nach „--solve“ fehlt die Datei";
        QTest::newRow("malformed number, even with help")
            << QStringList{"quorvik", "--help", "--puzzle", "8-3F2A91C0"} << 2 << none
            << "„8-3F2A91C0“ ist keine gültige Spielnummer";
        QTest::newRow("two numbers")
            << QStringList{"quorvik", "--puzzle", number, "--puzzle", number} << 2 << none
            << "mehr als einmal";
        QTest::newRow("value for --version")
            << QStringList{"quorvik", "--version=2"} << 2 << none << "keinen Wert";
        QTest::newRow("control characters shown escaped")
            << QStringList{"quorvik", "--puzzle", "\x1b]0;T\a\x1b[31mX\x7f\u009b"} << 2 << none
            << "„\\x1b]0;T\\x07\\x1b[31mX\\x7f\\x9b“ ist keine";
    }
    void parse() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(std::optional<PuzzleId>, puzzle);
        QFETCH(QString, text);
        const CommandLine line = parseCommandLine(arguments);
        QCOMPARE(line.action == CommandLine::Action::Play, exitCode < 0);
        QCOMPARE(line.puzzle, puzzle);
        if (exitCode < 0) {
            QVERIFY(line.output.isEmpty() && line.error.isEmpty());
            return;
        }
        QCOMPARE(line.exitCode, exitCode);
        if (exitCode == commandLineErrorExitCode) {
            QVERIFY2(line.error.startsWith("quorvik: ") && line.error.contains(text),
                     qPrintable(line.error));
            QVERIFY(line.output.isEmpty());
        } else {
            QVERIFY2(line.output.startsWith(text), qPrintable(line.output));
            QVERIFY(line.error.isEmpty());
        }
    }

    // The numbers the help and the message show as examples are numbers, one of each mode.
    void examplesAreNumbers_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("help") << QStringList{"quorvik", "--help"};
        QTest::newRow("malformed number") << QStringList{"quorvik", "--puzzle", "8-"};
    }
    void examplesAreNumbers() {
        QFETCH(QStringList, arguments);
        const CommandLine line = parseCommandLine(arguments);
        static const QRegularExpression example(QStringLiteral("\\b\\d\\w?-\\w{8}-\\w\\b"));
        QSet<bool> modes;
        for (const auto& match : example.globalMatch(line.output + line.error)) {
            const std::optional<PuzzleId> id = parsePuzzleNumber(match.captured().toStdString());
            QVERIFY2(id, qPrintable(match.captured()));
            modes.insert(id->unique);
        }
        QCOMPARE(modes, (QSet<bool>{false, true}));
    }

    void windowSystemOptions_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("expected");
        QTest::newRow("-platform") << QStringList{"quorvik", "-platform", "xcb"} << true;
        QTest::newRow("-style after ours")
            << QStringList{"quorvik", "--puzzle", number, "-style=fusion"} << true;
        QTest::newRow("ours only") << QStringList{"quorvik", "--puzzle", number, "-h"} << false;
        QTest::newRow("after --") << QStringList{"quorvik", "--", "-platform"} << false;
    }
    void windowSystemOptions() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, expected);
        QCOMPARE(mayHoldWindowSystemOptions(arguments), expected);
    }

    // A search past the time limit stops and says so, with its own exit code.
    void solveStopped() {
        QFile puzzle(files.filePath("stopped.txt"));
        QVERIFY(puzzle.open(QIODevice::WriteOnly));
        puzzle.write("Flotte: 2x1\n 1 0 1\n1 . . .\n0 . . .\n1 . . .\n");
        puzzle.close();
        const CommandLine line = solvePuzzleFile(puzzle.fileName(), std::chrono::milliseconds(0));
        QCOMPARE(line.exitCode, solveStoppedExitCode);
        QCOMPARE(line.output, QStringLiteral("Die Suche wurde nach 0 Sekunden abgebrochen; bis "
                                             "dahin wurden 0 Lösungen gefunden.\n"));
    }

    // The program itself, where no window system is at hand: what it prints where, and how it
    // ends, before any window would open.
    void program_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("error");
        QTest::newRow("version") << QStringList{"--version"} << 0
                                 << ("Quorvik " + programVersionText().toUtf8() + '\n')
                                 << QByteArray();
        QTest::newRow("help") << QStringList{"-h"} << 0 << QByteArray("Aufruf: ") << QByteArray();
        QTest::newRow("unknown option") << QStringList{"--bunt"} << 2 << QByteArray()
                                        << QByteArray("quorvik: Unbekannte Option");
        QTest::newRow("malformed number")
            << QStringList{"--puzzle", "8-3F2A91C0"} << 2 << QByteArray()
            << QByteArray("quorvik: „8-3F2A91C0“ ist keine gültige Spielnummer");
        QTest::newRow("no display") << QStringList{} << 1 << QByteArray()
                                    << QByteArray("quorvik: Keine Anzeige erreichbar");
        QTest::newRow("display not there") << QStringList{"-display", ":999"} << 1 << QByteArray()
                                           << QByteArray("quorvik: Die Anzeige „:999“ ist nicht");
        QTest::newRow("Wayland display not there")
            << QStringList{"-platform", "wayland"} << 1 << QByteArray()
            << QByteArray("quorvik: Die Wayland-Anzeige „wayland-none“ ist nicht");
        const auto file = [this](const char* name, const QByteArray& text) {
            QFile out(files.filePath(name));
            return out.open(QIODevice::WriteOnly) && out.write(text) == text.size() ? out.fileName()
                                                                                    : QString();
        };
        QTest::newRow("solve a file")
            << QStringList{"--solve",
                           file("two.txt", "Flotte: 2x1\n 1 0 1\n1 . . .\n0 . . .\n1 . . .\n")}
            << 0 << QByteArray("Lösungen: 2\nFlotte: 2x1\n  1 0 1\n1 ") << QByteArray();
        QTest::newRow("solve a puzzle without solution")
            << QStringList{"--solve", file("none.txt", "Flotte: 1x2\n 1 1\n1 . .\n0 . .\n")} << 1
            << QByteArray(
                   "Lösungen: 0\nDie Zeilenzahlen ergeben zusammen 1, die Spaltenzahlen 2.\n")
            << QByteArray();
        QTest::newRow("solve standard input")
            << QStringList{"--solve", "-"} << 0
            << QByteArray("Lösungen: 1\nFlotte: 1x2\n  2 0\n1 ^ ~\n1 v ~\n") << QByteArray();
        QTest::newRow("solve a malformed file")
            << QStringList{"--solve", file("bad.txt", "Flotte: 1x2\n 2 0\n1 . . .\n")} << 2
            << QByteArray()
            << QByteArray("quorvik: „") + files.path().toUtf8() +
                   "/bad.txt“: Zeile 3: 3 Felder, erwartet 2.\n";
    }
    void program() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, error);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name :
             {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"}) {
            environment.remove(name);
        }
        QTemporaryDir runtime;  // where a Wayland display is looked for, and none is
        if (arguments.contains("wayland")) {
            environment.insert("XDG_RUNTIME_DIR", runtime.path());
            environment.insert("WAYLAND_DISPLAY", "wayland-none");
        }
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(QUORVIK_PROGRAM), arguments);
        process.write(standardInput);
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        const QByteArray out = process.readAllStandardOutput();
        const QByteArray err = process.readAllStandardError();
        QVERIFY2(out.startsWith(output) && out.isEmpty() == output.isEmpty(), out.constData());
        QVERIFY2(err.startsWith(error) && err.isEmpty() == error.isEmpty(), err.constData());
    }

private:
    QTemporaryDir files;  // the puzzles the program is given to solve
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
