// A game as text and from text: the play text's round trip with its history, damaged play texts,
// the solver's view of the board and a puzzle typed in by the player.
#include "ShipGameFixture.h"

using namespace quorvik;

class TestTypedPuzzle : public QObject {
    Q_OBJECT

private slots:
    // The game in progress as text: a played game comes back element for element; a damaged or
    // foreign text changes nothing.
    void playExportRoundTrip() {
        ShipGame game(seedsFrom(31u));
        game.setLevel(6);
        const QList<QPoint> marks{{0, 0}, {3, 4}, {11, 14}, {5, 9}};
        const Mark shapes[] = {Mark::Single, Mark::Bottom, Mark::Left, Mark::Right};
        for (int k = 0; k < marks.size(); ++k) {
            game.apply(Move::mark(marks[k].x(), marks[k].y(), shapes[k]));
        }
        // A segment found, and "???" where no ship lies: a tick and a cross once shown.
        for (int x = 0, found = 0, wrong = 0; x <= game.maxCol(); ++x) {
            for (int y = 0; y <= game.maxRow(); ++y) {
                const ElementState& c = game.cell(x, y);
                if (c.hasShip && !c.isClue && found++ == 0) {
                    game.apply(Move::mark(x, y, c.ship));
                } else if (!c.hasShip && wrong++ == 40) {
                    game.apply(Move::mark(x, y, Mark::Segment));
                }
            }
        }
        game.apply(Move::fillRow(2, true));
        game.apply(Move::fillColumn(7, true));
        game.apply(Move::tick(1, 1, 0));
        // Every face, over two displays: found, filled in, wrong, then ticks on blue.
        for (int display = 0; display < 2; ++display) {
            game.apply(Move::showSolution());
            // Kept right after a display, its sums are still those of the move before it.
            ShipGame shown(seedsFrom(1u));
            QVERIFY(shown.newGameFromSeed(6, game.gameSeed()) &&
                    shown.importPlay(game.exportPlay()) &&
                    shown.importHistory(game.exportHistory()));
            for (const ElementRef& ref : game.allElements()) {
                QVERIFY(*shown.element(ref) == *game.element(ref));
            }
            game.apply(Move::toggle(10, 10));
            std::set<Reveal> reveals;
            for (const ElementRef& ref : game.allElements()) {
                reveals.insert(game.element(ref)->reveal);
            }
            QCOMPARE(int(reveals.size()), 5);
            // A line sum is counted from the marks, not read: a forged one does not come back.
            std::string text = game.exportPlay();
            const std::size_t sum = text.find('.', text.find("rows ")) + 1;
            text.replace(sum, text.find(' ', sum) - sum, "9");
            ShipGame restored(seedsFrom(1u));
            QVERIFY(restored.newGameFromSeed(6, game.gameSeed()));
            QVERIFY(restored.importPlay(text));
            for (const ElementRef& ref : game.allElements()) {
                QVERIFY(*restored.element(ref) == *game.element(ref));
            }
            QVERIFY(restored.stepsDone() == 0 && !restored.canRedo());
            // The history comes back with it: every step can be taken back.
            QVERIFY(restored.importHistory(game.exportHistory()));
            QCOMPARE(restored.stepsDone(), game.stepsDone());
            while (game.stepsDone() > 0) {
                QVERIFY(restored.undo() == game.undo());
            }
            for (const ElementRef& ref : game.allElements()) {
                QVERIFY(*restored.element(ref) == *game.element(ref));
            }
            while (game.canRedo()) {
                game.redo();
                restored.redo();
            }
        }
    }

    // Every kind of move comes back with the history through export and import, whatever state
    // an element was left in.
    void historyComesBackAfterEveryKind_data() {
        QTest::addColumn<std::vector<Move>>("moves");
        QTest::newRow("marks, toggles, lines")
            << std::vector<Move>{Move::mark(4, 4, Mark::Segment), Move::toggle(1, 1),
                                 Move::fillRow(2, true), Move::fillColumn(3, false)};
        QTest::newRow("tick and untick")
            << std::vector<Move>{Move::tick(1, 1, 0), Move::untick(1, 1, 0), Move::toggle(1, 1)};
        QTest::newRow("a cross after the solution changed") << std::vector<Move>{
            Move::mark(0, 0, Mark::Segment), Move::mark(1, 0, Mark::Segment), Move::showSolution(),
            Move::mark(0, 0, Mark::Water), Move::toggle(1, 0)};
    }
    void historyComesBackAfterEveryKind() {
        QFETCH(std::vector<Move>, moves);
        ShipGame game(seedsFrom(77u));
        game.setLevel(5);
        for (const Move& move : moves) {
            game.apply(move);
        }
        ShipGame restored(seedsFrom(1u));
        QVERIFY(restored.newGameFromSeed(5, game.gameSeed()));
        QVERIFY(restored.importPlay(game.exportPlay()));
        QVERIFY(restored.importHistory(game.exportHistory()));
        QCOMPARE(restored.stepsDone(), moves.size());
    }

    // A mark move of the history names its mark by the game file's code; a code that is no mark
    // covers the cell. Read back, the move must arrive at the board the game shows.
    void historyMarkCodes_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<Mark>("mark");
        QTest::addColumn<bool>("fits");
        const std::pair<int, Mark> marks[] = {
            {20, Mark::Single}, {21, Mark::Bottom}, {22, Mark::Left},  {23, Mark::Right},
            {24, Mark::Top},    {25, Mark::Middle}, {28, Mark::Water}, {29, Mark::Covered}};
        for (const auto& [code, mark] : marks) {
            QTest::addRow("%d", code) << code << mark << true;
        }
        for (const int code : {0, 26, 30, 40}) {
            QTest::addRow("%d, no mark", code) << code << Mark::Covered << true;
        }
        QTest::newRow("a single's code on a top end") << 20 << Mark::Top << false;
    }
    void historyMarkCodes() {
        QFETCH(int, code);
        QFETCH(Mark, mark);
        QFETCH(bool, fits);
        ShipGame game(seedsFrom(77u));
        game.setLevel(5);
        const int x = game.cell(4, 4).isClue ? 5 : 4;
        game.apply(Move::mark(x, 4, Mark::Segment));
        game.apply(Move::mark(x, 4, mark));
        // The last number of the history is the code of the last move, one above its value.
        std::string history = game.exportHistory();
        const std::size_t last = history.rfind('.') + 1;
        history.replace(last, history.size() - 1 - last, std::to_string(code + 1));
        ShipGame restored(seedsFrom(1u));
        QVERIFY(restored.newGameFromSeed(5, game.gameSeed()));
        QVERIFY(restored.importPlay(game.exportPlay()));
        QCOMPARE(restored.importHistory(history), fits);
    }

    // The solver sees the board the player sees: every line's count, the fleet and the clues.
    void solverPuzzleIsTheBoard() {
        ShipGame game(seedsFrom(3u));
        game.setLevel(5);
        const SolverPuzzle puzzle = game.solverPuzzle();
        QCOMPARE(puzzle.cols, 10);
        QCOMPARE(puzzle.rows, 12);
        QCOMPARE(int(puzzle.colCounts.size()), 10);
        QCOMPARE(int(puzzle.rowCounts.size()), 12);
        for (int x = 0; x < 10; ++x) {
            QCOMPARE(puzzle.colCounts[std::size_t(x)], game.colNumber(x).number);
        }
        for (int y = 0; y < 12; ++y) {
            QCOMPARE(puzzle.rowCounts[std::size_t(y)], game.rowNumber(y).number);
        }
        for (int n = 1; n <= 5; ++n) {
            QCOMPARE(puzzle.fleet.at(std::size_t(n)), 6 - n);
        }
        QCOMPARE(int(puzzle.clues.size()), game.clueCount());
        for (const SolverCell& clue : puzzle.clues) {
            QVERIFY(game.cell(clue.x, clue.y).isClue);
            QCOMPARE(clue.mark, game.cell(clue.x, clue.y).ship);
        }
    }

    void damagedPlayTextChangesNothing_data() {
        QTest::addColumn<QString>("change");
        QTest::newRow("empty") << "empty";
        QTest::newRow("cut in the middle") << "cut";
        QTest::newRow("last line break missing") << "nobreak";
        QTest::newRow("random bytes") << "random";
        QTest::newRow("another board's text") << "level8";
        QTest::newRow("unknown face") << "face";
        QTest::newRow("a clue shown as a mark") << "clue";
        QTest::newRow("a tick where no ship lies") << "tick";
        QTest::newRow("a cross on a ship") << "cross";
        QTest::newRow("a huge number") << "huge";
        QTest::newRow("a negative number") << "negative";
        QTest::newRow("a blank too many") << "blank";
        QTest::newRow("a line too many") << "extra";
        QTest::newRow("a line renamed") << "renamed";
        QTest::newRow("a legend entry half ticked") << "legend";
    }
    void damagedPlayTextChangesNothing() {
        QFETCH(QString, change);
        ShipGame game(seedsFrom(8u));
        game.setLevel(4);
        game.apply(Move::toggle(4, 4));
        std::string text = game.exportPlay();
        // The first clue's token and the first cell without a ship, by their place in "cells".
        int clue = -1;
        int water = -1;
        int ship = -1;
        for (int k = 0; k < 81; ++k) {
            const ElementState& c = game.cell(k / 9, k % 9);
            clue = clue < 0 && c.isClue ? k : clue;
            water = water < 0 && !c.hasShip ? k : water;
            ship = ship < 0 && c.hasShip && !c.isClue ? k : ship;
        }
        auto replaceToken = [&text](int k, const std::string& token) {
            std::size_t start = text.find(' ');
            for (int i = 0; i < k; ++i) {
                start = text.find(' ', start + 1);
            }
            const std::size_t end = text.find_first_of(" \n", start + 1);
            text.replace(start + 1, end - start - 1, token);
        };
        if (change == "empty") {
            text.clear();
        } else if (change == "cut") {
            text.resize(text.size() / 2);
        } else if (change == "nobreak") {
            text.pop_back();
        } else if (change == "random") {
            RuntimeRandom bytes;
            for (char& c : text) {
                c = char(bytes.Random(256));
            }
        } else if (change == "level8") {
            ShipGame other(seedsFrom(8u));
            other.setLevel(8);
            text = other.exportPlay();
        } else if (change == "face") {
            replaceToken(water, "29.9.29");
        } else if (change == "clue") {
            replaceToken(clue, "29.0.29");
        } else if (change == "tick") {
            replaceToken(water, "31.3.29");
        } else if (change == "cross") {
            replaceToken(ship, "30.5.32");
        } else if (change == "huge") {
            replaceToken(water, "99999.0.29");
        } else if (change == "negative") {
            replaceToken(water, "-1.0.29");
        } else if (change == "blank") {
            text.insert(text.find('\n'), " ");
        } else if (change == "extra") {
            text += "cells\n";
        } else if (change == "renamed") {
            text.replace(text.find("cols"), 4, "colz");
        } else if (change == "legend") {
            const std::size_t at = text.find("legend ") + 7;
            text.replace(at, text.find(' ', at) - at, "30.0.0");
        }
        const std::string before = game.exportPlay();
        QVERIFY(!game.importPlay(text));
        QCOMPARE(game.exportPlay(), before);
        QVERIFY(game.canUndo());
    }

    // A wrong mark comes first in the hints and in the check; right marks are never flagged,
    // on puzzles with one solution and with several. On one with several, a mark of another
    // solution is named as such, after the marks no solution has; with the solution shown, the
    // hint says so.
    // A typed-in puzzle: any of its solutions solves it, and only a mark that no solution has is
    // a mistake. Marks row by row, in the text form's symbols.
    void typedInPuzzle_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<bool>("solved");
        QTest::addColumn<int>("mistakes");
        const QString two = "Flotte: 1x1\n  ? ? 0\n1 . . .\n";
        QTest::newRow("two solutions, the first") << two << "o~~" << true << 0;
        QTest::newRow("two solutions, the second") << two << "~o." << true << 0;
        QTest::newRow("a mark of one solution") << two << "~.." << false << 0;
        QTest::newRow("a mark of none") << two << "..o" << false << 1;
        const QString clues = "Flotte: 1x2\n  ? ?\n? * .\n? ~ .\n";
        QTest::newRow("water and unknown kind clues") << clues << ".>.." << true << 0;
        QTest::newRow("the wrong end beside them") << clues << ".^.." << false << 1;
    }
    void typedInPuzzle() {
        QFETCH(QString, text);
        QFETCH(QString, marks);
        QFETCH(bool, solved);
        QFETCH(int, mistakes);
        const Puzzle puzzle = readPuzzleText(text.toStdString()).puzzle.value();
        ShipGame game(seedsFrom(1u));
        game.setLevel(4);
        QVERIFY(game.newGameFromPuzzle(puzzle));
        QCOMPARE(game.typedPuzzle(), puzzle);
        // The one with clues has one solution, the other two; small boards are always counted.
        QCOMPARE(game.knownOneSolution(), std::optional<bool>(text.contains('*')));
        const QString symbols = ".~*o^v<>#";  // in the order of Mark
        std::vector<Move> moves;
        for (int k = 0; k < marks.size(); ++k) {
            moves.push_back(Move::mark(k % puzzle.columns, k / puzzle.columns,
                                       Mark(symbols.indexOf(marks[k]))));
        }
        game.apply(moves);
        int found = 0;
        for (const ElementRef& ref : game.allElements()) {
            found += game.element(ref)->reveal == Reveal::Found;
        }
        QCOMPARE(found > 0 && !game.solutionShown(), solved);
        const ShipGame::Mistakes wrong = game.mistakes();
        QCOMPARE(int(wrong.impossible.size()), mistakes);
        QVERIFY(wrong.otherSolution.empty());
        // The hint names a mistake only where there is one, never a mark of another solution.
        const ShipGame::Hint::Kind hint = game.nextHint().kind;
        QCOMPARE(hint == ShipGame::Hint::Kind::WrongMark, mistakes > 0);
        QVERIFY(hint != ShipGame::Hint::Kind::OtherSolution);
        // Shown and read back, it shows the same solution, its history with it.
        game.apply(Move::showSolution());
        ShipGame again(seedsFrom(2u));
        QVERIFY(again.newGameFromPuzzle(puzzle));
        QVERIFY(again.importPlay(game.exportPlay()));
        QVERIFY(again.importHistory(game.exportHistory()));
        QCOMPARE(again.hiddenLayout(), game.hiddenLayout());
        QCOMPARE(again.exportPlay(), game.exportPlay());
        // Back to its level's games with the next new game.
        game.newGame();
        QVERIFY(!game.isTypedIn() && game.maxCol() == levelInfo(4).maxCol);
    }

    // The short search of a typed-in game may end before it knows whether there is one
    // solution: on this board (4 solutions, no clue; the one kept is handed in, as from the game
    // file) it leaves the answer open rather than call it several.
    void solutionCountLeftOpen() {
        const Puzzle solved = readPuzzleText(
                                  "Flotte: 1x8 2x7 3x6 4x5 5x4 6x3 7x2 8x1\n"
                                  "   4 4 7 2 8 1 6 4 5 5 4 4 4 4 3 7 3 7 2 8 3 7 2 6 1 9\n"
                                  "15 ~<>~o~<>~<#>~o~o~^~^~^~~<>\n"
                                  "3 ~~~~~~~~~~~~~~~~~#~#~#~~~~\n"
                                  "18 <###>~<###>~<##>~#~#~#~^~~\n"
                                  "5 ~~~~~~~~~~~~~~~~~#~#~#~#~^\n"
                                  "12 ~o~~o~o~<#>~~~~^~#~#~v~v~#\n"
                                  "4 ~~~~~~~~~~~~~~~v~v~#~~~~~#\n"
                                  "11 ~~^~^~<##>~~~~~~~~~v~<#>~#\n"
                                  "11 ^~#~#~~~~~~<#####>~~~~~~~#\n"
                                  "13 #~#~#~<##>~~~~~~~~~<###>~#\n"
                                  "10 v~v~v~~~~~~<####>~~~~~~~~#\n"
                                  "5 ~~~~~~~~o~~~~~~~~~^~^~~o~v\n"
                                  "13 ~<####>~~~<#>~~<>~v~v~~~~~\n")
                                  .puzzle.value();
        Puzzle puzzle = solved;
        puzzle.clues.clear();
        for (const Clue& c : solved.clues) {
            puzzle.solution.push_back(c.mark);  // column by column, as the solution is kept
        }
        ShipGame game(seedsFrom(1u));
        QVERIFY(game.newGameFromPuzzle(puzzle));
        QCOMPARE(game.knownOneSolution(), std::nullopt);
        QVERIFY(!game.hasOneSolution());
    }
};

QTEST_GUILESS_MAIN(TestTypedPuzzle)
#include "tst_TypedPuzzle.moc"
