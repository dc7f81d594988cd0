// The running count of the player's marks: lines done and over, complete ships, marks that break
// the rules, on small boards written as text; and that the hidden fleet plays no part in it.
#include <QtTest>

#include "LiveFeedback.h"
#include "ShipGame.h"

using namespace quorvik;

namespace {

// One string per row, the row's number after a bar, then a string of column numbers. Marks:
// s single, l r t b left, right, upper and lower end, m middle, ? "???", ~ water, . open; the
// capitals are clues. The fleet: two singles, one ship of 2 and one of 3.
LiveFeedback feedbackOf(const QStringList& board) {
    static const QString codes = QStringLiteral("sblrtm");  // 20 to 25 in cell-code order
    SolverPuzzle puzzle;
    puzzle.rows = static_cast<int>(board.size()) - 1;
    puzzle.cols = static_cast<int>(board.last().size());
    puzzle.fleet = {0, 2, 1, 1};
    std::vector<SolverCell> marks;
    for (int y = 0; y < puzzle.rows; ++y) {
        const QStringList parts = board[y].split(u'|');
        puzzle.rowCounts.push_back(parts[1].toInt());
        for (int x = 0; x < puzzle.cols; ++x) {
            const QChar c = parts[0][x];
            const auto segment = static_cast<int>(codes.indexOf(c.toLower()));
            const int code = segment >= 0 ? imgShipSingle + segment
                             : c == u'?'  ? imgQuestion
                             : c == u'~'  ? imgWater
                                          : imgCovered;
            (c.isUpper() ? puzzle.clues : marks).push_back({x, y, code});
        }
    }
    for (const QChar n : board.last()) {
        puzzle.colCounts.push_back(n.digitValue());
    }
    return liveFeedback(puzzle, marks);
}

// Lines as text: . open, d done, x over.
QString linesText(const std::vector<LineCount>& lines) {
    QString text;
    for (const LineCount l : lines) {
        text += l == LineCount::Done ? u'd' : l == LineCount::Over ? u'x' : u'.';
    }
    return text;
}

QString shipsText(const LiveFeedback& f) {
    QStringList counts;
    for (std::size_t n = 1; n < f.completeShips.size(); ++n) {
        counts << QString::number(f.completeShips[n]);
    }
    return counts.join(u',');
}

QString conflictsText(const LiveFeedback& f) {
    QStringList cells;
    for (const SolverCell& c : f.conflicts) {
        cells << QStringLiteral("%1,%2").arg(c.x).arg(c.y);
    }
    return cells.join(u' ');
}

}  // namespace

class TestLiveFeedback : public QObject {
    Q_OBJECT

private slots:
    void boards_data() {
        QTest::addColumn<QStringList>("board");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("ships");
        QTest::addColumn<QString>("conflicts");
        QTest::newRow("done, a ship closed by the edge and water")
            << QStringList{"lr~.|2", "~~..|0", "....|1", "1110"} << "dd.d"
            << "dd."
            << "0,1,0"
            << "";
        QTest::newRow("more ship marks than the number")
            << QStringList{"s~s.|1", "~~~.|0", "....|0", "1010"} << "dddd"
            << "xdd"
            << "1,0,0"
            << "";
        QTest::newRow("fewer open cells than still needed")
            << QStringList{"~~.~|2", "....|0", "....|0", "0010"} << "dd.d"
            << "xdd"
            << "0,0,0"
            << "";
        QTest::newRow("a ??? run is a ship")
            << QStringList{"???~|3", "~~~.|0", "....|0", "1110"} << "dddd"
            << "ddd"
            << "0,0,1"
            << "";
        QTest::newRow("pieces touching at a corner")
            << QStringList{"s~..|1", "~s~.|1", ".~..|0", "1100"} << "dddd"
            << "ddd"
            << "0,0,0"
            << "0,0 1,1";
        QTest::newRow("a run longer than the longest ship")
            << QStringList{"????|4", "~~~~|0", "....|0", "1111"} << "dddd"
            << "ddd"
            << "0,0,0"
            << "0,0 1,0 2,0 3,0";
        QTest::newRow("an end the water beside it contradicts")
            << QStringList{"l~..|1", "~...|0", "....|0", "1000"} << "dddd"
            << "ddd"
            << "0,0,0"
            << "0,0";
        QTest::newRow("a run bent round a corner")
            << QStringList{"?m..|2", ".?..|1", "....|0", "1200"} << "dddd"
            << "ddd"
            << "0,0,0"
            << "0,0 1,0 1,1";
        QTest::newRow("water where a clue's ship goes on")
            << QStringList{"T...|1", "~...|0", "....|0", "1000"} << "dddd"
            << "ddd"
            << "0,0,0"
            << "0,1";
    }
    void boards() {
        QFETCH(QStringList, board);
        const LiveFeedback f = feedbackOf(board);
        QFETCH(QString, columns);
        QCOMPARE(linesText(f.columns), columns);
        QFETCH(QString, rows);
        QCOMPARE(linesText(f.rows), rows);
        QFETCH(QString, ships);
        QCOMPARE(shipsText(f), ships);
        QFETCH(QString, conflicts);
        QCOMPARE(conflictsText(f), conflicts);
    }

    // Two puzzles with the same numbers and clues over different hidden fleets (singles on one
    // diagonal of a square or on the other), played alike, give the same feedback.
    void hiddenFleetPlaysNoPart() {
        std::vector<ShipGame> games(2);
        for (std::size_t g = 0; g < games.size(); ++g) {
            ShipGame& game = games[g];
            game.SetLevel(4);
            game.ResetBoard();
            game.PlaceSegment(g == 0 ? 0 : 2, 0, imgShipSingle);
            game.PlaceSegment(g == 0 ? 2 : 0, 2, imgShipSingle);
            game.PlaceSegment(8, 8, imgShipSingle);
            ElementState& clue = game.cell(8, 8);
            clue.IsFixed = true;
            clue.ImageIndex = clue.ShipIndex;
            clue.Face = CellFace::Clue;
            game.UpdateSums();
            game.apply({Move::mark(0, 0, imgShipSingle), Move::mark(1, 0, imgWater),
                        Move::mark(0, 1, imgWater), Move::mark(1, 1, imgQuestion),
                        Move::fillRow(2, true), Move::mark(7, 8, imgWater),
                        Move::mark(8, 7, imgWater)});
        }
        QVERIFY(games[0].hiddenLayout() != games[1].hiddenLayout());
        const LiveFeedback a = games[0].liveFeedback();
        const LiveFeedback b = games[1].liveFeedback();
        QCOMPARE(linesText(a.columns), linesText(b.columns));
        QCOMPARE(linesText(a.rows), linesText(b.rows));
        QCOMPARE(shipsText(a), shipsText(b));
        QCOMPARE(conflictsText(a), conflictsText(b));
        // What they agree on: row 0 holds its single, row 1 a ship mark too many, row 2 no room
        // for its single; the clue is a complete single; the "???" touches a mark at a corner.
        QCOMPARE(linesText(a.rows).left(3), QStringLiteral("dxx"));
        QCOMPARE(a.completeShips[1], 1);
        QCOMPARE(conflictsText(a), QStringLiteral("0,0 1,1"));
    }
};

QTEST_GUILESS_MAIN(TestLiveFeedback)
#include "tst_LiveFeedback.moc"
