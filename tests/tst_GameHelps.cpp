// What the game tells the player: the completion test, the solution display with how each cell
// is shown, the legend ticks, the chosen difficulty, hints, wrong marks and the running count.
#include "ShipGameFixture.h"

using namespace quorvik;

class TestGameHelps : public QObject {
    Q_OBJECT

private slots:
    void checkFinish_data() {
        QTest::addColumn<QList<QList<int>>>("marks");  // x, y, the mark's symbol
        QTest::addColumn<bool>("solved");
        const QList<QList<int>> ships{{0, 0, '<'}, {1, 0, '='}, {2, 0, '>'},
                                      {8, 1, '^'}, {8, 2, 'v'}, {3, 3, 'o'}};
        QTest::newRow("all shapes, rest covered") << ships << true;
        QList<QList<int>> water = ships;
        water << QList<int>{4, 4, '~'} << QList<int>{0, 8, '~'};
        QTest::newRow("with water") << water << true;
        QList<QList<int>> question = ships;
        question[1] = {1, 0, '?'};
        QTest::newRow("??? on a ship fails") << question << false;
        QList<QList<int>> wrongShape = ships;
        wrongShape[5] = {3, 3, '='};
        QTest::newRow("wrong shape fails") << wrongShape << false;
        QList<QList<int>> extra = ships;
        extra << QList<int>{6, 6, 'o'};
        QTest::newRow("mark without a ship fails") << extra << false;
        QList<QList<int>> stray = ships;
        stray << QList<int>{6, 6, '?'};
        QTest::newRow("??? without a ship fails") << stray << false;
        QList<QList<int>> missing = ships;
        missing.removeLast();
        QTest::newRow("a segment missing") << missing << false;
        QList<QList<int>> lastColumn = ships;
        lastColumn << QList<int>{8, 6, '?'};
        QTest::newRow("only fault in the last column") << lastColumn << false;
        QList<QList<int>> lastRow = ships;
        lastRow << QList<int>{4, 8, 'o'};
        QTest::newRow("only fault in the last row") << lastRow << false;
        QList<QList<int>> lastShip = ships;
        lastShip[4] = {8, 2, '='};
        QTest::newRow("wrong shape in the last column") << lastShip << false;
    }
    void checkFinish() {
        QFETCH(QList<QList<int>>, marks);
        QFETCH(bool, solved);
        ShipGame game(seedsFrom(1u));
        game.setLevel(4);
        loadBoard(game, fixture);
        for (const QList<int>& m : marks) {
            game.mutableCell(m[0], m[1]).mark = markOf(QChar(m[2]));
        }
        QCOMPARE(game.isFinished(), solved);
    }

    void completingCommandShowsTheSolution() {
        ShipGame game(seedsFrom(1u));
        game.setLevel(4);
        loadBoard(game, fixture, {{0, 0}});
        game.mutableCell(4, 4).mark = Mark::Water;
        const QList<QList<int>> moves{{1, 0, '='}, {2, 0, '>'}, {8, 1, '^'}, {8, 2, 'v'}};
        for (const QList<int>& m : moves) {
            game.apply(Move::mark(m[0], m[1], markOf(QChar(m[2]))));
            QCOMPARE(game.cell(m[0], m[1]).mark, markOf(QChar(m[2])));
            QCOMPARE(game.cell(m[0], m[1]).reveal, Reveal::None);  // not solved yet
        }
        game.apply(Move::mark(3, 3, Mark::Single));
        // Every non-clue segment now carries the tick over its segment on silver; clue, water
        // and covered cells stay as they were.
        for (const QPoint& p :
             {QPoint(1, 0), QPoint(2, 0), QPoint(8, 1), QPoint(8, 2), QPoint(3, 3)}) {
            QCOMPARE(game.cell(p.x(), p.y()).reveal, Reveal::Found);
        }
        QCOMPARE(game.cell(0, 0).mark, Mark::Left);
        QCOMPARE(game.cell(0, 0).reveal, Reveal::Clue);
        QCOMPARE(game.cell(4, 4).mark, Mark::Water);
        QCOMPARE(game.cell(5, 5).mark, Mark::Covered);
        // The sums recounted after the display find only the clue.
        QCOMPARE(game.rowNumber(0).markCount, 1);
        QCOMPARE(game.colNumber(8).markCount, 0);
        QCOMPARE(game.rowNumber(3).markCount, 0);
        // One step: taking it back leaves the last mark undone and nothing ticked.
        game.undo();
        QCOMPARE(game.cell(3, 3).mark, Mark::Covered);
        QCOMPARE(game.cell(1, 0).mark, Mark::Middle);
        QCOMPARE(game.cell(1, 0).reveal, Reveal::None);
        QCOMPARE(game.rowNumber(0).markCount, 3);
    }

    void solutionOnAFreshBoard() {
        ShipGame game(seedsFrom(1u));
        game.setLevel(4);
        loadBoard(game, fixture, {{1, 0}});
        game.mutableCell(2, 0).mark = Mark::Right;  // found before the display
        game.updateSums();
        game.apply(Move::showSolution());
        for (const QPoint& p : {QPoint(0, 0), QPoint(3, 3), QPoint(8, 1), QPoint(8, 2)}) {
            const ElementState& c = game.cell(p.x(), p.y());
            QCOMPARE(c.mark, c.ship);
            QCOMPARE(c.reveal, Reveal::Shown);
        }
        QCOMPARE(game.cell(1, 0).reveal, Reveal::Clue);
        QCOMPARE(game.cell(2, 0).reveal, Reveal::Found);
        QCOMPARE(game.cell(5, 5).mark, Mark::Covered);
        QCOMPARE(game.cell(5, 5).reveal, Reveal::None);
        // Asked for by the player, the display recounts nothing: the found segment still counts.
        QCOMPARE(game.rowNumber(0).markCount, 2);
        // A display that set no tick leaves a board that passes the completion test; here the
        // tick on (2, 0) keeps it unsolved.
        QVERIFY(!game.isFinished());
    }

    // What the display makes of each kind of cell, shown once, twice and three times: the
    // found segment's tick goes, it is filled in on blue, then ticked on blue.
    void solutionFacesOverRepeatedDisplays_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<QChar>("mark");
        QTest::addColumn<QString>("marks");          // the cell's mark after displays 1, 2, 3
        QTest::addColumn<QList<Reveal>>("reveals");  // and what the display made of it
        using R = Reveal;
        QTest::newRow("found") << 0 << 0 << QChar('<') << "<<<"
                               << QList<R>{R::Found, R::Shown, R::FoundShown};
        QTest::newRow("wrong shape")
            << 1 << 0 << QChar('>') << "===" << QList<R>{R::Shown, R::FoundShown, R::Shown};
        QTest::newRow("??? on a ship")
            << 3 << 3 << QChar('?') << "ooo" << QList<R>{R::Shown, R::FoundShown, R::Shown};
        QTest::newRow("??? on water")
            << 5 << 5 << QChar('?') << "???" << QList<R>{R::Wrong, R::Wrong, R::Wrong};
        QTest::newRow("shape on water")
            << 6 << 7 << QChar('=') << "===" << QList<R>{R::Wrong, R::Wrong, R::Wrong};
        QTest::newRow("water") << 7 << 7 << QChar('~') << "~~~"
                               << QList<R>{R::None, R::None, R::None};
        QTest::newRow("last column, last row")
            << 8 << 8 << QChar('o') << "ooo" << QList<R>{R::Wrong, R::Wrong, R::Wrong};
    }
    void solutionFacesOverRepeatedDisplays() {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(QChar, mark);
        QFETCH(QString, marks);
        QFETCH(QList<Reveal>, reveals);
        ShipGame game(seedsFrom(1u));
        game.setLevel(4);
        loadBoard(game, fixture);
        game.apply(Move::mark(x, y, markOf(mark)));
        for (int k = 0; k < 3; ++k) {
            game.apply(Move::showSolution());
            QCOMPARE(game.cell(x, y).mark, markOf(marks[k]));
            QCOMPARE(game.cell(x, y).reveal, reveals[k]);
        }
        // Each display is a step of its own; all three come off again.
        for (int k = 0; k < 3; ++k) {
            game.undo();
        }
        QCOMPARE(game.cell(x, y).mark, markOf(mark));
        QCOMPARE(game.cell(x, y).reveal, Reveal::None);
    }

    void cluesAreRevealedOnGrey() {
        ShipGame game(seedsFrom(4321u));
        for (int level = minLevel; level <= maxLevel; ++level) {
            game.setLevel(level);
            int clues = 0;
            for (int x = 0; x <= game.maxCol(); ++x) {
                for (int y = 0; y <= game.maxRow(); ++y) {
                    const ElementState& c = game.cell(x, y);
                    QCOMPARE(c.reveal == Reveal::Clue, c.isClue);
                    if (c.isClue) {
                        ++clues;
                        QCOMPARE(c.mark, c.ship);
                    } else {
                        QCOMPARE(c.reveal, Reveal::None);
                        QCOMPARE(c.mark, Mark::Covered);
                    }
                }
            }
            QCOMPARE(clues, game.clueCount());
        }
    }

    void legendTicks() {
        ShipGame game(seedsFrom(1u));
        game.setLevel(4);
        // Row 1 of the beginner legend holds two 3-ships: < = > each. Segment 2 of ship 1 is
        // clicked: it alone turns over, the whole ship gets the cross.
        game.apply(Move::tick(1, 1, 2));
        const QString shape = "<=>";
        for (int i = 0; i < 3; ++i) {
            const ElementState& e = *game.legendEntry(1, 1, i);
            QCOMPARE(e.reveal, Reveal::Wrong);
            QCOMPARE(e.mark, markOf(shape[i]));
            QCOMPARE(e.isCovered, i == 2);
        }
        QCOMPARE(game.legendEntry(1, 0, 0)->reveal, Reveal::None);  // the other ship stays
        game.apply(Move::untick(1, 1, 2));
        for (int i = 0; i < 3; ++i) {
            const ElementState& e = *game.legendEntry(1, 1, i);
            QCOMPARE(e.mark, markOf(shape[i]));
            QCOMPARE(e.reveal, Reveal::None);
            QVERIFY(!e.isCovered);
        }
    }

    // The one-solution mode: the same fleet and first clues as the default game of the same
    // seed, then clues until exactly one solution remains.
    void uniqueModeKeepsTheGameAndLeavesOneSolution_data() { levelRows(); }
    void uniqueModeKeepsTheGameAndLeavesOneSolution() {
        QFETCH(int, level);
        ShipGame unique(seedsFrom(100000u * unsigned(level)));
        unique.setUniqueMode(true);
        unique.setLevel(level);
        ShipGame plain(seedsFrom(1u));
        int extended = 0;
        for (int round = 0; round < 1000; ++round) {
            unique.newGame();
            QVERIFY(unique.builtUnique());
            // Taken as a value, the puzzle has one solution: the fleet hidden on the board (the
            // counting search is checked on the first games only: it is slow on full boards).
            if (round < 10) {
                const PuzzleSolutions solved = solvePuzzle(unique.puzzle(), 2);
                QCOMPARE(solved.count, 1);
                QVERIFY(solved.solution == unique.puzzle().solution);
            }
            QVERIFY(plain.newGameFromSeed(level, unique.gameSeed(), false));
            int clues = 0;
            for (int x = 0; x <= plain.maxCol(); ++x) {
                for (int y = 0; y <= plain.maxRow(); ++y) {
                    QCOMPARE(unique.cell(x, y).ship, plain.cell(x, y).ship);
                    QVERIFY(!plain.cell(x, y).isClue || unique.cell(x, y).isClue);
                    clues += unique.cell(x, y).isClue;
                }
            }
            QCOMPARE(clues, plain.clueCount() + unique.extraClues());
            extended += unique.extraClues() > 0;
            // The seed and the mode name the puzzle: rebuilt, it is the same.
            QVERIFY(plain.newGameFromSeed(level, unique.gameSeed(), true));
            QCOMPARE(plain.exportPlay(), unique.exportPlay());
            QCOMPARE(plain.extraClues(), unique.extraClues());
        }
        QVERIFY(extended > 0);
    }

    // A chosen difficulty: one solution and the grade asked for (a hard one is looked for among
    // so many puzzles that these seeds always find one), the fleet and the clues of the
    // one-solution game of its seed and more for an easier grade, and its number rebuilds it.
    void chosenDifficulty_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<Difficulty>("difficulty");
        for (int level = minLevel; level <= maxLevel; ++level) {
            QTest::addRow("%d leicht", level) << level << Difficulty::Easy;
            QTest::addRow("%d mittel", level) << level << Difficulty::Medium;
            QTest::addRow("%d schwer", level) << level << Difficulty::Hard;
        }
    }
    void chosenDifficulty() {
        QFETCH(int, level);
        QFETCH(Difficulty, difficulty);
        ShipGame game(seedsFrom(7000u * unsigned(level)));
        game.setDifficulty(difficulty);
        game.setLevel(level);
        ShipGame unique;
        for (int round = 0; round < 200; ++round) {
            if (round > 0) {
                game.newGame();  // the first round checks the game the level built
            }
            QVERIFY(game.builtUnique() && game.builtDifficulty() == difficulty);
            QCOMPARE(solve(game.solverPuzzle(), {}, 2).count, 1);
            QCOMPARE(game.grade(), gradePuzzle(game.solverPuzzle()));
            QCOMPARE(game.grade(), gradeAskedFor(difficulty));
            QVERIFY(unique.newGameFromSeed(level, game.gameSeed(), true));
            for (int x = 0; x <= game.maxCol(); ++x) {
                for (int y = 0; y <= game.maxRow(); ++y) {
                    QCOMPARE(game.cell(x, y).ship, unique.cell(x, y).ship);
                    QVERIFY(!unique.cell(x, y).isClue || game.cell(x, y).isClue);
                }
            }
            const std::optional<PuzzleId> id = parsePuzzleNumber(
                formatPuzzleNumber({level, game.gameSeed(), true, game.builtDifficulty()}));
            QVERIFY(id && unique.newGameFromSeed(id->level, id->seed, id->unique, id->difficulty));
            QCOMPARE(unique.exportPlay(), game.exportPlay());
        }
    }

    // Hints on a one-solution puzzle, taken one after the other from an empty board, never
    // contradict the fleet and solve the board.
    void hintsSolveAOneSolutionBoard_data() { levelRows(); }
    void hintsSolveAOneSolutionBoard() {
        QFETCH(int, level);
        ShipGame game(seedsFrom(700u + unsigned(level)));
        game.setUniqueMode(true);
        game.setLevel(level);
        for (int round = 0; round < 10; ++round) {
            game.newGame();
            int steps = 0;
            for (; steps < 2000; ++steps) {
                const ShipGame::Hint hint = game.nextHint();
                QVERIFY(hint.kind != ShipGame::Hint::Kind::WrongMark);
                if (hint.kind == ShipGame::Hint::Kind::Solved) {
                    break;
                }
                QVERIFY(!hint.cells.empty());
                for (const SolverCell& c : hint.cells) {
                    const ElementState& e = game.cell(c.x, c.y);
                    // A hint names only cells that do not show what it decides yet.
                    const Mark mark = c.mark;
                    QVERIFY(e.mark != mark && !e.isClue);
                    QVERIFY2(
                        e.hasShip ? mark == Mark::Segment || mark == e.ship : mark == Mark::Water,
                        qPrintable(QStringLiteral("%1,%2 %3").arg(c.x).arg(c.y).arg(int(c.mark))));
                }
                QVERIFY(!game.apply(game.hintMoves(hint)).empty());
            }
            // The marks completed the board: the display ticked every segment found.
            QVERIFY(steps > 0 && steps < 2000);
            for (int x = 0; x <= game.maxCol(); ++x) {
                for (int y = 0; y <= game.maxRow(); ++y) {
                    const ElementState& e = game.cell(x, y);
                    QVERIFY(!e.hasShip || e.isClue || e.reveal == Reveal::Found);
                }
            }
        }
    }

    // Hints from marks that are right but not finished: water everywhere else and "???" on
    // every segment asks for the shapes; every segment but those of the last column found is
    // not yet solved.
    void hintsFinishWhatMarksLeaveOpen_data() { levelRows(); }
    void hintsFinishWhatMarksLeaveOpen() {
        QFETCH(int, level);
        ShipGame game(seedsFrom(900u + unsigned(level)));
        game.setUniqueMode(true);
        game.setLevel(level);
        std::vector<Move> question;
        std::vector<Move> allButLast;
        bool lastColumnOpen = false;
        for (int x = 0; x <= game.maxCol(); ++x) {
            for (int y = 0; y <= game.maxRow(); ++y) {
                const ElementState& c = game.cell(x, y);
                if (!c.hasShip) {
                    question.push_back(Move::mark(x, y, Mark::Water));
                } else if (!c.isClue) {
                    question.push_back(Move::mark(x, y, Mark::Segment));
                    if (x < game.maxCol()) {
                        allButLast.push_back(Move::mark(x, y, c.ship));
                    }
                    lastColumnOpen |= x == game.maxCol();
                }
            }
        }
        game.apply(question);
        const ShipGame::Hint shapes = game.nextHint();
        QCOMPARE(shapes.kind, ShipGame::Hint::Kind::Deduction);
        for (const SolverCell& c : shapes.cells) {
            QCOMPARE(c.mark, game.cell(c.x, c.y).ship);
        }
        game.undo();
        game.apply(allButLast);
        if (lastColumnOpen) {
            QVERIFY(game.nextHint().kind != ShipGame::Hint::Kind::Solved);
        }
    }

    void wrongMarksAreFound_data() {
        QTest::addColumn<bool>("unique");
        QTest::addColumn<bool>("otherSolution");
        QTest::addColumn<bool>("shown");
        QTest::newRow("one solution") << true << false << false;
        QTest::newRow("several solutions") << false << false << false;
        QTest::newRow("a mark of another solution") << false << true << false;
        QTest::newRow("the solution shown") << false << true << true;
    }
    void wrongMarksAreFound() {
        QFETCH(bool, unique);
        QFETCH(bool, otherSolution);
        QFETCH(bool, shown);
        quint32 seed = 1;
        ShipGame game(seedsFrom(seed));
        game.setUniqueMode(unique);
        game.setLevel(6);
        while (game.hasOneSolution() != unique) {
            game.newGame();
        }
        // A ship mark diagonal to a clue is wrong in every solution; water there is right.
        QPoint clue(-1, -1);
        for (int x = 1; x < game.maxCol() && clue.x() < 0; ++x) {
            for (int y = 1; y < game.maxRow() && clue.x() < 0; ++y) {
                if (game.cell(x, y).isClue) {
                    clue = QPoint(x, y);
                }
            }
        }
        QVERIFY(clue.x() > 0);
        game.apply(Move::mark(clue.x() + 1, clue.y() + 1, Mark::Single));
        game.apply(Move::mark(clue.x() - 1, clue.y() - 1, Mark::Water));
        game.apply(Move::mark(clue.x() + 1, clue.y() - 1, Mark::Water));
        // A cell where a second solution differs from the fleet, marked as that one has it.
        QPoint other(-1, -1);
        if (otherSolution) {
            const SolveResult two = solve(game.solverPuzzle(), {}, 2);
            QCOMPARE(two.count, 2);
            const SolverLayout hidden = game.hiddenLayout();
            const SolverLayout& second = two.solutions[two.solutions[0] == hidden ? 1 : 0];
            for (std::size_t k = 0; k < hidden.size() && other.x() < 0; ++k) {
                if (hidden[k] != second[k]) {
                    other = QPoint(int(k) / (game.maxRow() + 1), int(k) % (game.maxRow() + 1));
                    game.apply(Move::mark(other.x(), other.y(), second[k]));
                }
            }
        }
        if (shown) {
            game.apply(Move::showSolution());
            QCOMPARE(game.nextHint().kind, ShipGame::Hint::Kind::Shown);
            return;
        }
        const ShipGame::Mistakes wrong = game.mistakes();
        QCOMPARE(int(wrong.impossible.size()), 1);
        QCOMPARE(QPoint(wrong.impossible[0].x, wrong.impossible[0].y), clue + QPoint(1, 1));
        QCOMPARE(int(wrong.otherSolution.size()), otherSolution ? 1 : 0);
        const ShipGame::Hint hint = game.nextHint();
        QCOMPARE(hint.kind, ShipGame::Hint::Kind::WrongMark);
        QCOMPARE(QPoint(hint.cells.at(0).x, hint.cells.at(0).y), clue + QPoint(1, 1));
        game.apply(game.hintMoves(hint));
        QCOMPARE(game.cell(clue.x() + 1, clue.y() + 1).mark, Mark::Covered);
        QVERIFY(game.mistakes().impossible.empty());
        if (otherSolution) {
            QCOMPARE(QPoint(wrong.otherSolution[0].x, wrong.otherSolution[0].y), other);
            const ShipGame::Hint next = game.nextHint();
            QCOMPARE(next.kind, ShipGame::Hint::Kind::OtherSolution);
            QCOMPARE(QPoint(next.cells.at(0).x, next.cells.at(0).y), other);
        }
    }

    // One string per row with the row's number after a bar, then the column numbers. s l r t b m
    // a single, left, right, upper and lower end and middle piece, ? "???", ~ water, . open;
    // capitals are clues. The fleet: two singles, a ship of 2 and one of 3.
    void boards_data() {
        QTest::addColumn<QStringList>("board");
        QTest::addColumn<QString>("count");
        QTest::newRow("done, a ship closed by the edge and water")
            << QStringList{"lr~.|2", "~~..|0", "....|1", "1110"} << "dd.d dd. 010";
        QTest::newRow("more ship marks than the number")
            << QStringList{"s~s~|1", "~~..|0", "....|0", "1010"} << "dddd xdd 100";
        QTest::newRow("fewer open cells than still needed")
            << QStringList{"~~.~|2", "??..|2", "....|0", "1110"} << "dd.d xdd 000";
        QTest::newRow("a ??? run is a ship")
            << QStringList{"???~|3", "~~~.|0", "....|0", "1110"} << "dddd ddd 001";
        QTest::newRow("pieces touching at a corner")
            << QStringList{"s~..|1", "~s~.|1", ".~..|0", "1100"} << "dddd ddd 000 0,0 1,1";
        QTest::newRow("a run longer than the longest ship")
            << QStringList{"????|4", "~~~~|0", "....|0", "1111"} << "dddd ddd 000 0,0 1,0 2,0 3,0";
        QTest::newRow("an end and a middle piece their neighbours contradict")
            << QStringList{"l~..|1", "~...|0", "...m|1", "1001"} << "dddd ddd 000 0,0 3,2";
        QTest::newRow("runs bent round a corner")
            << QStringList{"?....|1", "??...|2", ".....|0", "...??|2", "...?.|1", "21021"}
            << "ddddd ddddd 000 0,0 0,1 1,1 3,3 3,4 4,3";
        QTest::newRow("water where a clue's ship goes on")
            << QStringList{"T...|1", "~...|0", "....|0", "1000"} << "dddd ddd 000 0,1";
    }
    void boards() {
        QFETCH(QStringList, board);
        QFETCH(QString, count);
        SolverPuzzle puzzle;
        puzzle.cols = static_cast<int>(board.last().size());
        puzzle.rows = static_cast<int>(board.size()) - 1;
        puzzle.fleet = {0, 2, 1, 1};
        std::vector<SolverCell> marks;
        for (int y = 0; y < puzzle.rows; ++y) {
            puzzle.rowCounts.push_back(board[y].section(u'|', 1).toInt());
            for (int x = 0; x < puzzle.cols; ++x) {
                const QChar c = board[y][x];
                const auto shape = QStringLiteral("sblrtm").indexOf(c.toLower());
                const Mark mark =
                    shape >= 0 ? markOf(QStringLiteral("ov<>^=").at(shape)) : markOf(c);
                (c.isUpper() ? puzzle.clues : marks).push_back({x, y, mark});
            }
        }
        for (const QChar n : board.last()) {
            puzzle.colCounts.push_back(n.digitValue());
        }
        QCOMPARE(describe(liveFeedback(puzzle, marks)), count);
    }

    // Two puzzles with equal numbers and a clue over different hidden fleets (singles on either
    // diagonal of a square), played alike, give the same count.
    void hiddenFleetPlaysNoPart() {
        QStringList counts;
        for (const bool other : {false, true}) {
            ShipGame game;
            game.setLevel(4);
            game.resetBoard();
            game.placeSegment(other ? 2 : 0, 0, Mark::Single);
            game.placeSegment(other ? 0 : 2, 2, Mark::Single);
            game.placeSegment(8, 8, Mark::Single);
            game.mutableCell(8, 8).isClue = true;
            game.mutableCell(8, 8).mark = Mark::Single;  // a clue shows what it says
            game.updateSums();
            game.apply({Move::mark(0, 0, Mark::Single), Move::mark(1, 1, Mark::Segment),
                        Move::fillRow(2, true), Move::mark(7, 8, Mark::Water),
                        Move::mark(8, 7, Mark::Water)});
            counts << describe(game.liveFeedback());
        }
        // Column 1 and row 1 hold a ship mark too many, row 2 has no room for its single, column 2
        // still has; the clue is a complete single; the "???" touches a mark at a corner.
        QCOMPARE(counts[0], "dx.dddddd dxxdddddd 1000 0,0 1,1");
        QCOMPARE(counts[1], counts[0]);
    }
};

QTEST_GUILESS_MAIN(TestGameHelps)
#include "tst_GameHelps.moc"
