// What the tests of the rules share: a small board with its ships, a check that a board's ships
// are whole and apart, counting seeds, one table row per level and the live count as text.
#pragma once

#include <QtTest>

#include <map>
#include <set>

#include "PuzzleNumber.h"
#include "PuzzleText.h"
#include "ShipGame.h"

using namespace quorvik;

Q_DECLARE_METATYPE(quorvik::Difficulty)
Q_DECLARE_METATYPE(quorvik::Move)
Q_DECLARE_METATYPE(quorvik::Mark)
Q_DECLARE_METATYPE(quorvik::Reveal)
Q_DECLARE_METATYPE(std::vector<quorvik::Move>)

// The mark of a board symbol: o < > ^ v = the shapes as in the fixture, ? a segment of unknown
// kind, ~ water, anything else covered.
inline Mark markOf(QChar symbol) {
    static const std::map<QChar, Mark> marks{
        {'o', Mark::Single}, {'<', Mark::Left},   {'>', Mark::Right},   {'^', Mark::Top},
        {'v', Mark::Bottom}, {'=', Mark::Middle}, {'?', Mark::Segment}, {'~', Mark::Water}};
    const auto it = marks.find(symbol);
    return it == marks.end() ? Mark::Covered : it->second;
}

// A small fixture: a horizontal 3-ship in row 0, a vertical 2-ship in column 8, a single.
inline const QStringList fixture{"<=>......",  //
                                 "........^",  //
                                 "........v",  //
                                 "...o.....",  //
                                 ".........",  //
                                 ".........",  //
                                 ".........",  //
                                 ".........",  //
                                 "........."};

struct Ship {
    int x, y, length;
    bool vertical;
};

// Finds the ships of a board as side-connected groups of ship cells.
inline QList<Ship> findShips(const ShipGame& game, QString* fault) {
    QList<Ship> ships;
    std::set<std::pair<int, int>> seen;
    for (int x = 0; x <= game.maxCol(); ++x) {
        for (int y = 0; y <= game.maxRow(); ++y) {
            if (!game.cell(x, y).hasShip || seen.count({x, y})) {
                continue;
            }
            // Ships start at their upper-left cell in this scan order.
            int length = 1;
            bool vertical = false;
            if (y < game.maxRow() && game.cell(x, y + 1).hasShip) {
                vertical = true;
            }
            while (true) {
                const int nx = vertical ? x : x + length;
                const int ny = vertical ? y + length : y;
                if (!game.isOnBoard(nx, ny) || !game.cell(nx, ny).hasShip) {
                    break;
                }
                ++length;
            }
            for (int k = 0; k < length; ++k) {
                const int cx = vertical ? x : x + k;
                const int cy = vertical ? y + k : y;
                seen.insert({cx, cy});
                Mark expected = Mark::Middle;
                if (length == 1) {
                    expected = Mark::Single;
                } else if (k == 0) {
                    expected = vertical ? Mark::Top : Mark::Left;
                } else if (k == length - 1) {
                    expected = vertical ? Mark::Bottom : Mark::Right;
                }
                if (game.cell(cx, cy).ship != expected) {
                    *fault = QStringLiteral("segment %1 at %2,%3, expected %4")
                                 .arg(int(game.cell(cx, cy).ship))
                                 .arg(cx)
                                 .arg(cy)
                                 .arg(int(expected));
                }
            }
            ships << Ship{x, y, length, vertical};
        }
    }
    // Cells of different ships must not touch, not even at a corner.
    std::map<std::pair<int, int>, int> owner;
    for (int i = 0; i < ships.size(); ++i) {
        for (int k = 0; k < ships[i].length; ++k) {
            owner[{ships[i].vertical ? ships[i].x : ships[i].x + k,
                   ships[i].vertical ? ships[i].y + k : ships[i].y}] = i;
        }
    }
    for (const auto& [pos, id] : owner) {
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) {
                const auto it = owner.find({pos.first + dx, pos.second + dy});
                if (it != owner.end() && it->second != id) {
                    *fault = QStringLiteral("ships touch at %1,%2").arg(pos.first).arg(pos.second);
                }
            }
        }
    }
    return ships;
}

// Seeds counting up from `first`: a fixed seed reproduces a game, and a failed attempt (which
// calls Randomize again) gets the next seed instead of repeating itself forever.
inline RuntimeRandom::SeedSource seedsFrom(quint32 first) {
    return [next = first]() mutable { return next++; };
}

// One table row per level, 4 to 8.
inline void levelRows() {
    QTest::addColumn<int>("level");
    for (int level = minLevel; level <= maxLevel; ++level) {
        QTest::newRow(qPrintable(QString::number(level))) << level;
    }
}

// The first seed from 0 on whose level-8 attempt finds no fleet (`fails`), or finds one.
inline quint32 levelEightSeed(bool fails) {
    for (quint32 seed = 0;; ++seed) {
        ShipGame probe(seedsFrom(seed));
        probe.setLevel(8);
        if ((probe.attempts() >= 2) == fails) {
            return seed;
        }
    }
}

// The count as text: columns, then rows (. open, d done, x over), complete ships of length 1, 2,
// ..., then the conflicting marks as x,y.
inline QString describe(const LiveFeedback& f) {
    QString text;
    for (const std::vector<LineCount>* lines : {&f.columns, &f.rows}) {
        for (const LineCount l : *lines) {
            text += l == LineCount::Done ? u'd' : l == LineCount::Over ? u'x' : u'.';
        }
        text += u' ';
    }
    for (std::size_t n = 1; n < f.completeShips.size(); ++n) {
        text += QString::number(f.completeShips[n]);
    }
    for (const SolverCell& c : f.conflicts) {
        text += QStringLiteral(" %1,%2").arg(c.x).arg(c.y);
    }
    return text;
}

// A beginner board from nine rows: o single, < > left and right end, ^ v upper and lower end,
// = middle, anything else no ship. Clues are listed separately; the board is otherwise covered.
// The board is built through the game's generation steps and writable elements.
struct HandMadeBoard {
    static void load(ShipGame& game, const QStringList& rows, const QList<QPoint>& clues) {
        game.resetBoard();
        for (int y = 0; y < rows.size(); ++y) {
            for (int x = 0; x < rows[y].size(); ++x) {
                const Mark shape = markOf(rows[y][x]);
                if (isShape(shape)) {
                    game.placeSegment(x, y, shape);
                }
            }
        }
        for (const QPoint& p : clues) {
            ElementState& c = game.mutableCell(p.x(), p.y());
            c.isClue = true;
            c.mark = c.ship;
            c.reveal = Reveal::Clue;
        }
        game.updateSums();
    }
};

inline void loadBoard(ShipGame& game, const QStringList& rows, const QList<QPoint>& clues = {}) {
    HandMadeBoard::load(game, rows, clues);
}
