// Typed-in puzzles: the text form and the puzzle code bring back the very puzzle, the solver
// counts its solutions, a puzzle without one gets its simple reason, and malformed input a
// German sentence naming the line.
#include <QtTest>

#include "PuzzleCheck.h"
#include "PuzzleCode.h"
#include "PuzzleText.h"

using namespace quorvik;

namespace {

Puzzle read(const QString& text) {
    const PuzzleReading reading = readPuzzle(text.toStdString());
    return reading.puzzle.value_or(Puzzle{});
}

}  // namespace

class TestPuzzle : public QObject {
    Q_OBJECT

private slots:
    void solve_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");       // solutions, up to 10
        QTest::addColumn<QString>("reason");  // the simple reason for none, if any
        const QString twoSingles = "Flotte: 2x1\n  1 0 1\n%1 %2 . .\n0 . . .\n1 . . .\n";
        QTest::newRow("one") << "Flotte: 1x2\n  2 0\n1 . .\n1 . .\n" << 1 << "";
        QTest::newRow("two") << twoSingles.arg("1", ".") << 2 << "";
        QTest::newRow("water clue") << twoSingles.arg("1", "~") << 1 << "";
        QTest::newRow("segment of unknown kind") << twoSingles.arg("1", "*") << 1 << "";
        QTest::newRow("missing row number") << twoSingles.arg("?", "*") << 1 << "";
        QTest::newRow("missing column number") << "Flotte: 1x2\n  ? 0\n1 . .\n1 . .\n" << 1 << "";
        // Lines without a number among lines that are full, with long ships left: counted
        // apart, not taken for one another.
        QTest::newRow("missing numbers beside full lines")
            << "Flotte: 1x5 1x4 2x3\n  1 2 4 ? ? 1\n4 . . . . . .\n? . . . . . .\n"
               "0 . . . . . .\n5 . . . . . .\n0 . . . . . .\n3 . . . . . .\n"
               "0 . . . . . .\n3 ~ . . . . .\n"
            << 3 << "";
        QTest::newRow("typed loosely")
            << "\xEF\xBB\xBF\r\nflotte:1X2 \r\n\r\n 2   0\r\n1..\r\n1 . .  \r\n"
            << 1 << "";
        QTest::newRow("wide numbers")
            << "Flotte: 1×10\n   1 1 1 1 1 1 1 1 1 1 0 0\n10 < . . . . . . . . . . .\n"
            << 1 << "";
        QTest::newRow("widest board, a clue far from the last")
            << "Flotte: 1x1\n" + QString(" 0").repeated(30) + " 1\n0" + QString(" .").repeated(31) +
                   "\n0" + QString(" .").repeated(31) + "\n1" + QString(" .").repeated(30) + " *\n"
            << 1 << "";
        QTest::newRow("none, no simple reason") << "Flotte: 1x2\n  1 1\n1 . .\n1 . .\n" << 0 << "";
        QTest::newRow("sums differ")
            << "Flotte: 1x2\n  1 1\n1 . .\n0 . .\n"
            << 0 << "Die Zeilenzahlen ergeben zusammen 1, die Spaltenzahlen 2.";
        QTest::newRow("fleet too large")
            << "Flotte: 1x3\n  1 1 0\n1 . . .\n1 . . .\n0 . . .\n"
            << 0 << "Die Flotte hat 3 Schiffsteile, die Zeilenzahlen ergeben zusammen 2.";
        QTest::newRow("fleet too small, numbers missing")
            << "Flotte: 1x1\n  ? ? 1\n? . . .\n1 . . .\n1 . . .\n"
            << 0 << "Die Flotte hat 1 Schiffsteile, die angegebenen Zeilenzahlen schon 2.";
        QTest::newRow("ship longer than the board")
            << "Flotte: 1x3\n  2 0\n1 . .\n1 . .\n"
            << 0 << "Ein Schiff der Länge 3 passt nicht auf ein Brett mit 2 Spalten und 2 Zeilen.";
        QTest::newRow("clues touch at a corner")
            << "Flotte: 2x1\n  1 1 0\n1 o . .\n1 . o .\n0 . . .\n"
            << 0
            << "Die Schiffsteile in Spalte 1, Zeile 1 und Spalte 2, Zeile 2 berühren sich an "
               "einer Ecke.";
        QTest::newRow("clue in a line with 0")
            << "Flotte: 1x1\n  1 0\n1 . *\n0 . .\n"
            << 0 << "Das Schiffsteil in Spalte 2, Zeile 1 liegt in einer Spalte mit der Zahl 0.";
        QTest::newRow("end off the board") << "Flotte: 1x2\n  1 1\n2 > .\n0 . .\n"
                                           << 0
                                           << "Das rechte Ende in Spalte 1, Zeile 1 zeigt über "
                                              "den Rand des Bretts.";
        QTest::newRow("clue against its neighbour")
            << "Flotte: 1x2\n  2 0\n1 ^ .\n1 ~ .\n"
            << 0 << "Das obere Ende in Spalte 1, Zeile 1 passt nicht zu Spalte 1, Zeile 2.";
        QTest::newRow("more clues than the number")
            << "Flotte: 2x1\n  1 0 1\n1 o . o\n0 . . .\n1 . . .\n"
            << 0 << "Zeile 1 hat die Zahl 1, aber schon 2 Schiffsteile als Vorgabe.";
        QTest::newRow("no ship for the clue") << "Flotte: 1x2\n  1 1 0\n2 . # .\n0 . . .\n0 . . .\n"
                                              << 0
                                              << "Das Mittelstück in Spalte 2, Zeile 1 gehört zu "
                                                 "keinem Schiff der Flotte.";
    }
    void solve() {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(QString, reason);
        const PuzzleReading reading = readPuzzleText(text.toStdString());
        QVERIFY2(reading.puzzle, reading.error.c_str());
        Puzzle puzzle = *reading.puzzle;
        const PuzzleSolutions solutions = solvePuzzle(puzzle, 10);
        QCOMPARE(solutions.count, count);
        QCOMPARE(QString::fromStdString(noSolutionReason(puzzle).value_or("")), reason);
        QCOMPARE(read(QString::fromStdString(writePuzzleText(puzzle))), puzzle);
        std::string code = puzzleCode(puzzle);
        QCOMPARE(read(QString::fromStdString(code)), puzzle);
        QCOMPARE(read(QString::fromStdString(code).toLower()), puzzle);
        // The check catches every wrong digit and every swap of unequal neighbours (the hyphens
        // only group the digits).
        std::erase(code, '-');
        for (std::size_t i = 2; i < code.size(); ++i) {
            for (const char c : std::string_view("0123456789ABCDEFGHJKMNPQRSTVWXYZ")) {
                std::string changed = code;
                changed[i] = c;
                QVERIFY2(changed == code || !readPuzzleCode(changed).puzzle, changed.c_str());
            }
            std::string swapped = code;
            std::swap(swapped[i - 1], swapped[i]);
            QVERIFY2(swapped == code || !readPuzzleCode(swapped).puzzle, swapped.c_str());
        }
        // The solution printed reads back as a board with this solution alone.
        if (count > 0) {
            puzzle.solution = solutions.solution;
            QCOMPARE(read(QString::fromStdString(writePuzzleText(puzzle))).clues, puzzle.clues);
            const Puzzle solved = read(QString::fromStdString(writePuzzleText(puzzle, true)));
            const PuzzleSolutions again = solvePuzzle(solved, 10);
            QCOMPARE(again.count, 1);
            QCOMPARE(again.solution, solutions.solution);
        }
    }

    void malformed_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString board = "Flotte: 1x2\n 2 0\n%1\n";
        QTest::newRow("empty") << " \r\n\n"
                               << "Der Text enthält kein Rätsel.";
        QTest::newRow("no fleet") << "Rotte: 1x2\n 2 0\n1 . .\n"
                                  << "Zeile 1: Die erste Zeile nennt die Flotte, etwa „Flotte: "
                                     "1x4 2x3 3x2 4x1“.";
        QTest::newRow("ship") << "\nFlotte: 2*3\n"
                              << "Zeile 2: „2*3“ ist keine Angabe der Form Anzahl x Länge, etwa "
                                 "2x3.";
        QTest::newRow("length") << "Flotte: 1x32"
                                << "Zeile 1: Schiffe sind 1 bis 31 Felder "
                                   "lang, nicht 32.";
        QTest::newRow("no columns") << "Flotte: 1x2\n"
                                    << "Nach der Flotte fehlen die Zahlen der Spalten.";
        QTest::newRow("column number") << "Flotte: 1x2\n 2 a\n"
                                       << "Zeile 2: „a“ ist keine Spaltenzahl (eine Zahl oder "
                                          "„?“).";
        QTest::newRow("no rows") << board.arg("")
                                 << "Nach den Zahlen der Spalten fehlen die "
                                    "Zeilen des Bretts.";
        QTest::newRow("symbol") << board.arg("1 . x")
                                << "Zeile 3: „x“ ist kein Feldzeichen (. "
                                   "~ * o ^ v < > #).";
        QTest::newRow("symbol beyond ASCII") << board.arg("1 . ×")
                                             << "Zeile 3: „×“ ist kein "
                                                "Feldzeichen (. ~ * o ^ "
                                                "v < > #).";
        QTest::newRow("control character") << board.arg("1 .\x01")
                                           << "Zeile 3: „\\x01“ ist kein "
                                              "Feldzeichen (. ~ * o ^ "
                                              "v < > #).";
        QTest::newRow("row number") << board.arg("1 . .\n. . .")
                                    << "Zeile 4: Die Zeile beginnt nicht mit ihrer Zahl oder „?“.";
        QTest::newRow("cells") << board.arg("1 . .\n1 . . .") << "Zeile 4: 3 Felder, erwartet 2.";
        QTest::newRow("row number too large")
            << board.arg("3 . .") << "Zeile 3: Die Zahl 3 ist größer als die Zeile mit 2 Feldern.";
        QTest::newRow("column number too large")
            << board.arg("1 . .")
            << "Zeile 2: Die Zahl 2 der Spalte 1 ist größer als die 1 "
               "Felder der Spalte.";
        QTest::newRow("32 columns")
            << "Flotte: 1x2\n" + QString(" 0").repeated(32) << "Zeile 2: 32 Spalten, höchstens 31.";
        QTest::newRow("32 rows") << board.arg(QString("0 . .\n").repeated(32))
                                 << "Zeile 34: mehr als 31 Zeilen.";
        QTest::newRow("code, a letter not in it") << "r-12u45"
                                                  << "„u“ gehört nicht in einen "
                                                     "Rätselcode.";
        QTest::newRow("code, too short") << "R-"
                                         << "Der Rätselcode ist zu kurz.";
        QTest::newRow("code, nothing but zeros") << "R-0000000"
                                                 << "Der Rätselcode beschreibt kein gültiges "
                                                    "Rätsel.";
    }
    void malformed() {
        QFETCH(QString, text);
        QFETCH(QString, message);
        const PuzzleReading reading = readPuzzle(text.toStdString());
        QVERIFY(!reading.puzzle);
        QCOMPARE(QString::fromStdString(reading.error), message);
    }
};

QTEST_GUILESS_MAIN(TestPuzzle)
#include "tst_Puzzle.moc"
