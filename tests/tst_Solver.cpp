// The solver: layout counts against a plain enumeration on small boards, each deduction rule on a
// small board, deductions and the check of marks on generated games, and the hint sentences.
#include <QtTest>

#include <atomic>
#include <random>
#include <set>

#include "HintText.h"
#include "LayoutCounter.h"
#include "LayoutEnumeration.h"
#include "LayoutSearch.h"
#include "LevelTable.h"
#include "ShipGame.h"
#include "Solver.h"

using namespace quorvik;

Q_DECLARE_METATYPE(quorvik::Deduction)
Q_DECLARE_METATYPE(quorvik::Grade)

using namespace quorvik::enumeration;

namespace {

QString cellsText(const std::vector<SolverCell>& cells) {
    QStringList parts;
    for (const SolverCell& c : cells) {
        // The marks as the text form writes them, in the order of Mark.
        parts << QStringLiteral("%1,%2=%3")
                     .arg(c.x)
                     .arg(c.y)
                     .arg(QStringLiteral(".~*o^v<>#").at(int(c.mark)));
    }
    return parts.join(' ');
}

}  // namespace

class TestSolver : public QObject {
    Q_OBJECT

private slots:
    void countsMatchEnumeration_data();
    void countsMatchEnumeration();
    void countNextToLayoutsFound();
    void deductionRule_data();
    void deductionRule();
    void deductionsFollowTheHiddenLayout_data();
    void deductionsFollowTheHiddenLayout();
    void marksNoLayoutHas_data();
    void marksNoLayoutHas();
    void hintSentence_data();
    void hintSentence();
    void puzzleGrade_data();
    void puzzleGrade();
};

void TestSolver::countsMatchEnumeration_data() {
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("fleet");  // ships per length from 1 up
    QTest::addColumn<int>("unnumbered");    // lines whose number is not given, drawn at random
    QTest::addColumn<bool>("vagueClues");   // clues of water and of segments of unknown kind

    QTest::newRow("4x4, singles and a two") << 4 << 4 << QList<int>{2, 1} << 0 << false;
    QTest::newRow("5x5, one of each up to 3") << 5 << 5 << QList<int>{1, 1, 1} << 0 << false;
    QTest::newRow("6x6, the beginner fleet cut down")
        << 6 << 6 << QList<int>{3, 2, 1} << 0 << false;
    QTest::newRow("6x5, a four without threes") << 6 << 5 << QList<int>{1, 1, 0, 1} << 0 << false;
    QTest::newRow("3x7, narrow board") << 3 << 7 << QList<int>{1, 1, 1} << 0 << false;
    QTest::newRow("7x3, wide board with a five")
        << 7 << 3 << QList<int>{2, 0, 0, 0, 1} << 0 << false;
    QTest::newRow("6x6, only twos") << 6 << 6 << QList<int>{0, 4} << 0 << false;
    QTest::newRow("5x6, only singles") << 5 << 6 << QList<int>{6} << 0 << false;
    QTest::newRow("1x6, one column") << 1 << 6 << QList<int>{1, 1} << 0 << false;
    QTest::newRow("5x5, water and unknown kinds") << 5 << 5 << QList<int>{2, 1, 1} << 0 << true;
    QTest::newRow("5x5, two lines without number") << 5 << 5 << QList<int>{2, 1, 1} << 2 << false;
    QTest::newRow("6x4, many without number") << 6 << 4 << QList<int>{2, 2} << 6 << true;
}

void TestSolver::countsMatchEnumeration() {
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(QList<int>, fleet);
    QFETCH(int, unnumbered);
    QFETCH(bool, vagueClues);
    std::mt19937 rng(static_cast<unsigned>(cols * 31 + rows));
    const auto draw = [&rng](int k) { return static_cast<int>(rng() % static_cast<unsigned>(k)); };
    int withLayouts = 0;
    for (int trial = 0; trial < 120; ++trial) {
        SolverPuzzle p;
        p.cols = cols;
        p.rows = rows;
        p.fleet = {0};
        p.fleet.insert(p.fleet.end(), fleet.begin(), fleet.end());
        // A random layout gives the numbers; some of its segments become clues.
        SolverLayout layout(at(cols, 0, rows), Mark::Water);
        for (int n = static_cast<int>(fleet.size()); n >= 1; --n) {
            for (int s = 0; s < fleet[n - 1]; ++s) {
                for (int tries = 0; tries < 200; ++tries) {
                    const bool vertical = n > 1 && draw(2) == 1;
                    const int x = draw(cols);
                    const int y = draw(rows);
                    if (isFree(layout, cols, rows, x, y, n, vertical)) {
                        putShip(layout, rows, x, y, n, vertical, true);
                        break;
                    }
                }
            }
        }
        p.colCounts.assign(static_cast<std::size_t>(cols), 0);
        p.rowCounts.assign(static_cast<std::size_t>(rows), 0);
        for (int x = 0; x < cols; ++x) {
            for (int y = 0; y < rows; ++y) {
                const Mark there = layout[at(x, y, rows)];
                if (there != Mark::Water) {
                    ++p.colCounts[static_cast<std::size_t>(x)];
                    ++p.rowCounts[static_cast<std::size_t>(y)];
                }
                if (draw(vagueClues && there == Mark::Water ? 12 : 8) == 0 &&
                    (there != Mark::Water || vagueClues)) {
                    const bool vague = vagueClues && draw(2) == 0;
                    p.clues.push_back(
                        {x, y, vague && there != Mark::Water ? Mark::Segment : there});
                }
            }
        }
        // Marks of any kind, right or wrong; now and then a segment moved to another row.
        std::vector<SolverCell> marks;
        static const Mark kinds[] = {Mark::Water, Mark::Segment, Mark::Single, Mark::Bottom,
                                     Mark::Left,  Mark::Right,   Mark::Top,    Mark::Middle};
        for (int m = draw(3); m > 0; --m) {
            marks.push_back({draw(cols), draw(rows), kinds[draw(8)]});
        }
        if (trial % 5 == 4) {
            const auto from = static_cast<std::size_t>(draw(rows));
            if (p.rowCounts[from] > 0) {
                --p.rowCounts[from];
                ++p.rowCounts[static_cast<std::size_t>(draw(rows))];
            }
        }

        for (int i = 0; i < unnumbered; ++i) {
            (draw(2) == 0 ? p.colCounts[static_cast<std::size_t>(draw(cols))]
                          : p.rowCounts[static_cast<std::size_t>(draw(rows))]) = -1;
        }

        const std::set<SolverLayout> expected = Enumerator(p, marks).layouts();
        const SolveResult all = solve(p, marks, 100000);
        const QByteArray where = QByteArray("trial ") + QByteArray::number(trial);
        QVERIFY2(all.count == static_cast<int>(expected.size()), where);
        QCOMPARE(static_cast<int>(all.solutions.size()), all.count);
        for (const SolverLayout& s : all.solutions) {
            QVERIFY2(expected.count(s) == 1, where);
        }
        // A limit stops the count and keeps as many layouts.
        const SolveResult two = solve(p, marks, 2);
        QVERIFY2(two.count == std::min(all.count, 2), where);
        QCOMPARE(static_cast<int>(two.solutions.size()), two.count);
        // A search cancelled before it starts claims no layout and says so where one exists.
        const std::atomic<bool> cancel{true};
        const SolveResult cancelled = solve(p, {100000, marks, &cancel});
        QVERIFY2(cancelled.count == 0 && (cancelled.cancelled || all.count == 0), where);
        // The counting search finds the same layouts, each once, stops at the limit and when
        // cancelled.
        const SolveResult counted = countLayouts(p, {100000, marks, nullptr});
        QVERIFY2(counted.count == all.count &&
                     std::set<SolverLayout>(counted.solutions.begin(), counted.solutions.end()) ==
                         expected,
                 where);
        QVERIFY2(countLayouts(p, {2, marks, nullptr}).solutions.size() == two.solutions.size(),
                 where);
        const SolveResult stopped = countLayouts(p, {100000, marks, &cancel});
        QVERIFY2(stopped.count == 0 && (stopped.cancelled || all.count == 0), where);
        // So does the count by clauses, the second thread of a long count: it ends complete, or
        // with nothing when cancelled before it starts.
        layout::Pool pool(100000);
        layout::countByClauses(p, {100000, marks, nullptr}, pool);
        const SolveResult byClauses = pool.result();
        layout::Pool stoppedPool(100000);
        layout::countByClauses(p, {100000, marks, &cancel}, stoppedPool);
        QVERIFY2(stoppedPool.result().count == 0, where);
        QVERIFY2(
            !byClauses.cancelled && std::set<SolverLayout>(byClauses.solutions.begin(),
                                                           byClauses.solutions.end()) == expected,
            where);
        // A search cut short by its step limit says so, or has counted them all.
        const SolveResult cut = countLayouts(p, {100000, marks, nullptr, 20});
        QVERIFY2(cut.cancelled ? cut.count <= all.count : cut.count == all.count, where);
        withLayouts += all.count > 0;
    }
    // Most random boards keep the layout they were made from (marks and moved numbers aside).
    QVERIFY(withLayouts > 10);
}

// A count that runs out of steps on a dense board looks next to the layouts found, on two threads,
// with the clauses: each layout it gives is one of the puzzle's (the solver agrees once all its
// cells are fixed), none twice.
void TestSolver::countNextToLayoutsFound() {
    SolverPuzzle p{
        26, 12, {}, {17, 2, 19, 2, 13, 8, 11, 8, 12, 8, 5, 15}, {0, 8, 7, 6, 5, 4, 3, 2, 1}, {}};
    p.colCounts = {8, 0, 9, 1, 8, 2, 6, 3, 7, 2, 6, 3, 6, 5, 6, 4, 3, 5, 4, 3, 5, 6, 6, 6, 3, 3};
    SolveResult counted = countLayouts(p, {40, {}, nullptr});
    QVERIFY(!counted.cancelled);
    QCOMPARE(std::set<SolverLayout>(counted.solutions.begin(), counted.solutions.end()).size(),
             std::size_t{40});
    // So do the clauses alone when they stop every few dead ends for another search's turn.
    layout::Pool pool(5);
    int turns = 0;
    layout::countByClauses(p, {5, {}, nullptr}, pool, [&turns] { return ++turns > 0; });
    SolveResult byClauses = pool.result();
    QVERIFY(turns > 0 && byClauses.count == 5);
    counted.solutions.insert(counted.solutions.end(), byClauses.solutions.begin(),
                             byClauses.solutions.end());
    for (const SolverLayout& layout : counted.solutions) {
        std::vector<SolverCell> cells;
        for (std::size_t i = 0; i < layout.size(); ++i) {
            cells.push_back(
                {static_cast<int>(i) / p.rows, static_cast<int>(i) % p.rows, layout[i]});
        }
        QCOMPARE(solve(p, {2, cells}).count, 1);
    }
}

void TestSolver::deductionRule_data() {
    QTest::addColumn<QStringList>("board");
    QTest::addColumn<int>("rule");  // -1: no deduction
    QTest::addColumn<QString>("cells");
    QTest::addColumn<QString>("source");

    const auto rule = [](DeductionRule r) { return static_cast<int>(r); };
    QTest::newRow("an empty row is water, rows before columns")
        << QStringList{".<>.O", ".....", ".....", "<=>.o", "....."} << rule(DeductionRule::FullLine)
        << "0,1=~ 1,1=~ 2,1=~ 3,1=~ 4,1=~"
        << "-1,-1=.";
    QTest::newRow("a row holding its segments")
        << QStringList{"##~..", "~~~~.", "o.~.o"} << rule(DeductionRule::FullLine) << "3,0=~ 4,0=~"
        << "-1,-1=.";
    QTest::newRow("a line that needs all its open cells, kinds where the neighbours tell")
        << QStringList{".<>~O", "~~~~~", "~~~~~", "<=>~o", "~~~~~"}
        << rule(DeductionRule::LineNeedsAllOpen) << "0,3=< 1,3=# 2,3=> 4,3=o"
        << "-1,-1=.";
    QTest::newRow("water diagonal to a segment")
        << QStringList{"~~~~#", "##>.~", "~~~~~", "~~~~~", "##.o~"}
        << rule(DeductionRule::DiagonalWater) << "3,1=~"
        << "4,0=*";
    QTest::newRow("a left end continues to the right")
        << QStringList{"<=>~.", "...~o", "~~~~~", "L>.~.", ".~.~o"}
        << rule(DeductionRule::ClueNeighbours) << "1,3=* 0,4=~"
        << "0,3=<";
    QTest::newRow("a middle piece at the edge stands upright")
        << QStringList{"~~~~~~", "..~o~.", "~~~~~~", "<>~.~^", "~~~~~M", "..~o~v"}
        << rule(DeductionRule::ClueNeighbours) << "5,3=^ 5,5=v"
        << "5,4=#";
    QTest::newRow("a middle piece above water lies along its row")
        << QStringList{"~~.~.o", "~<M>..", "~~~~~~", "~...o.", "~<>...", "~~~~~~"}
        << rule(DeductionRule::ClueNeighbours) << "1,1=< 3,1=* 2,0=~"
        << "2,1=#";
    QTest::newRow("no longer ship is missing: the run is closed")
        << QStringList{".~~~o~", "<>~~.~", "~~~~#~", "o.~~#~", "~~~~B~", "LR~~~~"}
        << rule(DeductionRule::LengthComplete) << "4,1=~"
        << "4,2=*";
    QTest::newRow("a run as long as the longest missing ship, open on the left")
        << QStringList{"o.##R~", "~~~~~~", "~~~T~~", ".o~B~~", "~~~~~~", "~~~LR~"}
        << rule(DeductionRule::LengthComplete) << "1,0=~"
        << "2,0=*";
    QTest::newRow("only singles are missing: water below one")
        << QStringList{"~~.~o", "~~~~~", "LR~~~", "~~~~#", "~~o~."}
        << rule(DeductionRule::LengthComplete) << "4,4=~"
        << "4,3=*";
    QTest::newRow("cells no missing ship reaches")
        << QStringList{"~~~~~~", "~.~^..", "~o~=.^", "~.~v.v", "~o~...", "~.~<>."}
        << rule(DeductionRule::Unreachable) << "4,1=~ 4,2=~ 4,3=~ 4,4=~"
        << "-1,-1=.";
    QTest::newRow("a segment only one ship covers")
        << QStringList{"~~#~~~", "O~~~~~", "~~#=#.", "~~~~~~", "~T~.#>", "~B~~~~"}
        << rule(DeductionRule::OnlyPlacement) << "2,2=< 3,2=# 4,2=> 5,2=~"
        << "2,2=*";
    QTest::newRow("segments whose neighbours are decided")
        << QStringList{"~~~~~~", "T~~L#~", "M~~~~~", "#~O~T~", "~~~~B~", "~#~~~~"}
        << rule(DeductionRule::SegmentKind) << "4,1=> 0,3=v 1,5=o"
        << "-1,-1=.";
    QTest::newRow("a trial that breaks a line")
        << QStringList{"~...<#", "~~~~~~", "~<=>.#", "~~~~~~", "~<>..#", "~~~~~~"}
        << rule(DeductionRule::Trial) << "1,0=~"
        << "1,0=*";
    QTest::newRow("a trial of water that breaks the fleet")
        << QStringList{"~~~~~#", "<>.o~=", "~~~~~#", ".~^~~.", "..v.~o", "~~~~~~"}
        << rule(DeductionRule::Trial) << "0,1=*"
        << "0,1=~";
    QTest::newRow("nothing left to decide") << QStringList{"~LR~", "~~~~", "O~O~"} << -1 << ""
                                            << "";
}

void TestSolver::deductionRule() {
    QFETCH(QStringList, board);
    QFETCH(int, rule);
    QFETCH(QString, cells);
    QFETCH(QString, source);
    std::vector<SolverCell> marks;
    const SolverPuzzle p = boardOf(board, marks);
    const std::optional<Deduction> d = nextDeduction(p, marks);
    QCOMPARE(d ? static_cast<int>(d->rule) : -1, rule);
    if (d) {
        QCOMPARE(cellsText(d->cells), cells);
        QCOMPARE(cellsText({d->source}), source);
        // What it decides holds in every layout that has the marks.
        const SolveResult r = solve(p, marks, 100);
        QVERIFY(r.count > 0);
        for (const SolverLayout& layout : r.solutions) {
            for (const SolverCell& c : d->cells) {
                QVERIFY(agrees(c, layout, p.rows));
            }
        }
    }
}

void TestSolver::deductionsFollowTheHiddenLayout_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("games");
    for (int level = minLevel; level <= maxLevel; ++level) {
        QTest::addRow("level %d", level) << level << (level < 7 ? 30 : 15);
    }
}

// Every deduction agrees with the hidden layout, on games with one solution or several. On a
// game with one solution, hints from an empty board, with a revealed cell of the hidden layout
// wherever no rule applies, end on the solved board.
void TestSolver::deductionsFollowTheHiddenLayout() {
    QFETCH(int, level);
    QFETCH(int, games);
    std::uint32_t seed = 100;
    ShipGame game([&seed] { return ++seed; });
    game.setLevel(level);
    int unique = 0;
    for (int g = 0; g < games; ++g, game.newGame()) {
        const SolverPuzzle p = game.solverPuzzle();
        const SolverLayout hidden = game.hiddenLayout();
        const SolveResult r = solve(p);
        QVERIFY(r.count >= 1);
        const bool isUnique = r.count == 1;
        if (isUnique) {
            QVERIFY(r.solutions.front() == hidden);
            ++unique;
        }
        std::vector<SolverCell> known;
        SolverLayout mark(hidden.size(), Mark::Covered);
        for (const SolverCell& c : p.clues) {
            mark[at(c.x, c.y, p.rows)] = c.mark;
        }
        const auto exact = [&](std::size_t i) { return mark[i] == hidden[i]; };
        for (int step = 0; step < 2 * p.cols * p.rows; ++step) {
            const std::optional<Deduction> d = nextDeduction(p, known);
            if (d) {
                QVERIFY(!d->cells.empty());
                for (const SolverCell& c : d->cells) {
                    QVERIFY2(agrees(c, hidden, p.rows), qPrintable(quorvik::hintText(*d)));
                    mark[at(c.x, c.y, p.rows)] = c.mark;
                }
            } else if (isUnique) {
                // As "Tipp" does when no rule applies: reveal the first cell not yet exact.
                std::size_t i = 0;
                while (i < mark.size() && exact(i)) {
                    ++i;
                }
                if (i == mark.size()) {
                    break;
                }
                mark[i] = hidden[i];
            } else {
                break;
            }
            known.clear();
            for (std::size_t i = 0; i < mark.size(); ++i) {
                if (mark[i] != Mark::Covered) {
                    known.push_back(
                        {static_cast<int>(i) / p.rows, static_cast<int>(i) % p.rows, mark[i]});
                }
            }
        }
        if (isUnique) {
            for (std::size_t i = 0; i < mark.size(); ++i) {
                QVERIFY(exact(i));
            }
        }
    }
    QVERIFY(unique > 0);
}

void TestSolver::marksNoLayoutHas_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("mistake");
    for (const int level : {5, 8}) {
        for (const char* mistake : {"water where an end continues", "segment beside an end",
                                    "single where an end continues"}) {
            QTest::addRow("level %d, %s", level, mistake) << level << QString(mistake);
        }
    }
}

// A planted mistake that no layout can have is flagged, and none of the marks taken from the
// hidden layout is; on a game with one solution every mark that differs from it is flagged.
void TestSolver::marksNoLayoutHas() {
    QFETCH(int, level);
    QFETCH(QString, mistake);
    std::uint32_t seed = 500;
    ShipGame game([&seed] { return ++seed; });
    game.setLevel(level);
    for (int g = 0; g < 12; ++g, game.newGame()) {
        const SolverPuzzle p = game.solverPuzzle();
        const SolverLayout hidden = game.hiddenLayout();
        // An end clue and the cell it points to, which every layout fills.
        const auto end = std::find_if(p.clues.begin(), p.clues.end(), [](const SolverCell& c) {
            return c.mark != Mark::Single && c.mark != Mark::Middle;
        });
        QVERIFY(end != p.clues.end());
        const int dx = end->mark == Mark::Left ? 1 : end->mark == Mark::Right ? -1 : 0;
        const int dy = end->mark == Mark::Top ? 1 : end->mark == Mark::Bottom ? -1 : 0;
        SolverCell wrong{end->x + dx, end->y + dy, Mark::Water};
        if (mistake.startsWith("segment")) {
            wrong = {end->x + dy, end->y + dx, Mark::Segment};  // a side neighbour
            if (wrong.x < 0 || wrong.y < 0 || wrong.x >= p.cols || wrong.y >= p.rows) {
                wrong = {end->x - dy, end->y - dx, Mark::Segment};
            }
        } else if (mistake.startsWith("single")) {
            wrong.mark = Mark::Single;
        }
        std::vector<SolverCell> marks;
        for (int i = 0; i < static_cast<int>(hidden.size()); i += 4) {
            marks.push_back({i / p.rows, i % p.rows, hidden[static_cast<std::size_t>(i)]});
        }
        marks.push_back(wrong);
        const SolveResult r = solve(p);
        const std::vector<bool> flagged = quorvik::impossibleMarks(p, marks);
        QCOMPARE(flagged.size(), marks.size());
        for (std::size_t i = 0; i < marks.size(); ++i) {
            QCOMPARE(flagged[i], i + 1 == marks.size());
        }
        if (r.count == 1) {
            // Every single change of a right mark is a mistake on a game with one solution.
            std::vector<SolverCell> changed(marks.begin(), marks.end() - 1);
            for (SolverCell& c : changed) {
                c.mark = c.mark == Mark::Water ? Mark::Segment : Mark::Water;
            }
            for (const bool f : quorvik::impossibleMarks(p, changed)) {
                QVERIFY(f);
            }
        }
    }
}

void TestSolver::hintSentence_data() {
    QTest::addColumn<Deduction>("deduction");
    QTest::addColumn<QString>("text");

    const auto line = [](DeductionRule rule, bool column, int index, int count, int cells) {
        Deduction d;
        d.rule = rule;
        d.isColumn = column;
        d.line = index;
        d.count = count;
        d.cells.resize(static_cast<std::size_t>(cells));
        return d;
    };
    const auto from = [](DeductionRule rule, SolverCell source, int cells) {
        Deduction d;
        d.rule = rule;
        d.source = source;
        d.cells.resize(static_cast<std::size_t>(cells));
        return d;
    };
    QTest::newRow("full row") << line(DeductionRule::FullLine, false, 4, 4, 3)
                              << "Zeile 5 hat schon ihre 4 Segmente: die übrigen Felder sind "
                                 "Wasser.";
    QTest::newRow("full column of one")
        << line(DeductionRule::FullLine, true, 0, 1, 2)
        << "Spalte 1 hat schon ihr Segment: die übrigen Felder sind Wasser.";
    QTest::newRow("empty column") << line(DeductionRule::FullLine, true, 2, 0, 9)
                                  << "Spalte 3 hat kein Segment: alle ihre Felder sind Wasser.";
    QTest::newRow("one open cell left")
        << line(DeductionRule::LineNeedsAllOpen, false, 0, 3, 1)
        << "Zeile 1 braucht noch ein Segment und hat nur ein offenes Feld: dort liegt es.";
    QTest::newRow("two open cells left")
        << line(DeductionRule::LineNeedsAllOpen, true, 6, 5, 2)
        << "Spalte 7 braucht noch 2 Segmente und hat genau 2 offene Felder: beide sind Segmente.";
    QTest::newRow("diagonal")
        << from(DeductionRule::DiagonalWater, {3, 1, Mark::Segment}, 4)
        << "Schiffe berühren sich nicht, auch nicht über Eck: die Felder schräg neben dem "
           "Segment in Spalte 4, Zeile 2 sind Wasser.";
    QTest::newRow("upper end") << from(DeductionRule::ClueNeighbours, {0, 0, Mark::Top}, 3)
                               << "Spalte 1, Zeile 1 ist ein oberes Ende: unten geht das Schiff "
                                  "weiter, die anderen Nachbarn sind Wasser.";
    Deduction middle = from(DeductionRule::ClueNeighbours, {5, 2, Mark::Middle}, 2);
    middle.vertical = true;
    QTest::newRow("middle piece standing")
        << middle
        << "Das Mittelstück in Spalte 6, Zeile 3 liegt senkrecht: oben und unten geht das Schiff "
           "weiter, links und rechts ist Wasser.";
    Deduction closed = from(DeductionRule::LengthComplete, {2, 7, Mark::Left}, 1);
    closed.length = 3;
    QTest::newRow("longer ships found")
        << closed
        << "Alle Schiffe mit mehr als 3 Segmenten sind gefunden: das Schiff ab Spalte 3, Zeile 8 "
           "wird nicht länger, an seinen Enden ist Wasser.";
    Deduction unreachable = from(DeductionRule::Unreachable, {-1, -1, Mark::Covered}, 1);
    unreachable.cells = {{7, 2, Mark::Water}};
    QTest::newRow("unreachable cell")
        << unreachable
        << "Keines der noch fehlenden Schiffe passt auf das Feld in Spalte 8, Zeile 3: es ist "
           "Wasser.";
    Deduction placed = from(DeductionRule::OnlyPlacement, {4, 3, Mark::Segment}, 5);
    placed.ship = {4, 1, 5, true};
    QTest::newRow("only placement")
        << placed
        << "Nur ein Schiff passt über das Segment in Spalte 5, Zeile 4: ein Fünfer in Spalte 5, "
           "Zeile 2 bis 6.";
    Deduction kinds = from(DeductionRule::SegmentKind, {-1, -1, Mark::Covered}, 0);
    kinds.cells = {{1, 0, Mark::Left}, {2, 0, Mark::Middle}};
    QTest::newRow("kinds") << kinds
                           << "Die Nachbarn legen die Formen der Segmente in Spalte 2, Zeile 1 "
                              "und Spalte 3, Zeile 1 fest.";
    QTest::newRow("one cell of a full line")
        << line(DeductionRule::FullLine, true, 1, 2, 1)
        << "Spalte 2 hat schon ihre 2 Segmente: das übrige Feld ist Wasser.";
    QTest::newRow("trial of water")
        << from(DeductionRule::Trial, {9, 0, Mark::Water}, 1)
        << "Wasser in Spalte 10, Zeile 1 führt zu einem Widerspruch: dort liegt ein Segment.";
}

void TestSolver::hintSentence() {
    QFETCH(Deduction, deduction);
    QFETCH(QString, text);
    QCOMPARE(quorvik::hintText(deduction), text);
}

// The grade of a board from its clues alone, and the same asked with a limit: below the limit
// the grade itself, above it the grade just above the limit.
void TestSolver::puzzleGrade_data() {
    QTest::addColumn<QStringList>("board");
    QTest::addColumn<Grade>("grade");
    QTest::newRow("lines and clues")
        << QStringList{".o....", "....<R", "..^...", "..=.o.", "..B..."} << Grade::Easy;
    QTest::newRow("the fleet as well")
        << QStringList{".O...", ".....", "..<=>", ".....", "<>...", "....O"} << Grade::Medium;
    QTest::newRow("a trial") << QStringList{".....", "o..<R", ".....", "....o", "<=>.."}
                             << Grade::Hard;
    QTest::newRow("one solution the rules do not reach")
        << QStringList{"....o.^.", "......v.", ".<==>...", "........",
                       "....<>.o", "........", "<=R.o..."}
        << Grade::VeryHard;
    QTest::newRow("two solutions")
        << QStringList{"o...", "....", "..o.", "...."} << Grade::VeryHard;
}

void TestSolver::puzzleGrade() {
    QFETCH(QStringList, board);
    QFETCH(Grade, grade);
    std::vector<SolverCell> marks;
    const SolverPuzzle p = boardOf(board, marks);
    QCOMPARE(gradePuzzle(p), grade);
    QCOMPARE(gradePuzzle(p, Grade::Easy), std::min(grade, Grade::Medium));
    QCOMPARE(gradePuzzle(p, Grade::Medium), std::min(grade, Grade::Hard));
}

QTEST_GUILESS_MAIN(TestSolver)
#include "tst_Solver.moc"
