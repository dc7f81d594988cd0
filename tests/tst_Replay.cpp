// Replays scripted sessions on every level with fixed seeds and compares what every element shows
// after each step (a hash of its pixels, cut out of one picture of the whole board, and for
// numbers its hint) with a committed recording. Clicks go through the mouse on the board.
// Any change to how the board is drawn has to reproduce the recording exactly.
//
// QUORVIK_REPLAY_RECORD=<file> writes a new recording instead of comparing;
// QUORVIK_REPLAY_DUMP=<file> writes every element's hash of every step, for finding a difference.
#include <QtTest>

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>
#include <memory>

#include "LevelNames.h"
#include "MainWindow.h"
#include "StateFile.h"

using namespace quorvik;

namespace {

// FNV-1a, 64 bits: stable across runs and machines.
quint64 fnv(const QByteArray& bytes, quint64 hash = 14695981039346656037ULL) {
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

QByteArray pixels(const QImage& board, const QRect& element) {
    const QImage image =
        board.copy(element.adjusted(1, 1, -1, -1)).convertToFormat(QImage::Format_ARGB32);
    QByteArray bytes;
    for (int y = 0; y < image.height(); ++y) {
        bytes.append(reinterpret_cast<const char*>(image.constScanLine(y)), image.width() * 4);
    }
    return bytes;
}

// The menu entries top to bottom and the mark each one makes.
constexpr Mark menuMarks[] = {Mark::Segment, Mark::Single, Mark::Top,   Mark::Left,
                              Mark::Middle,  Mark::Right,  Mark::Bottom};

int menuEntryFor(Mark mark) {
    for (int i = 0; i < 7; ++i) {
        if (menuMarks[i] == mark) {
            return i;
        }
    }
    return 0;
}

class Session {
public:
    Session(MainWindow& form, QStringList& lines, QStringList& dump, const QString& name)
        : form_(form), lines_(lines), dump_(dump), name_(name) {}

    int level() const {
        for (int l = minLevel; l <= maxLevel; ++l) {
            const LevelNames& info = levelNames(l);
            auto* a = form_.findChild<QAction*>(
                QString::fromLatin1(info.menuName.data(), info.menuName.size()));
            if (a != nullptr && a->isChecked()) {
                return l;
            }
        }
        return 0;
    }
    int maxCol() const { return levelInfo(level()).maxCol; }
    int maxRow() const { return levelInfo(level()).maxRow; }
    const ElementState& cell(int x, int y) const { return form_.game().cell(x, y); }

    // Cells by what they hide, in column-major order.
    QList<QPoint> cells(const std::function<bool(const ElementState&)>& which) const {
        QList<QPoint> out;
        for (int x = 0; x <= maxCol(); ++x) {
            for (int y = 0; y <= maxRow(); ++y) {
                if (which(cell(x, y))) {
                    out << QPoint(x, y);
                }
            }
        }
        return out;
    }
    QList<QPoint> clues() const {
        return cells([](const ElementState& f) { return f.isClue; });
    }
    QList<QPoint> shipCells() const {
        return cells([](const ElementState& f) { return f.hasShip && !f.isClue; });
    }
    QList<QPoint> waterCells() const {
        return cells([](const ElementState& f) { return !f.hasShip; });
    }

    void press(const ElementRef& element) {
        BoardView* board = form_.boardView();
        QTest::mouseClick(board, Qt::LeftButton, {}, board->elementRect(element).center());
    }
    void click(QPoint p) {
        press(ElementRef::grid(p.x(), p.y()));
        record(QStringLiteral("click %1,%2").arg(p.x()).arg(p.y()));
    }
    void menu(QPoint p, int entry) {
        const std::unique_ptr<QMenu> menu(
            form_.boardView()->cellMenu(ElementRef::grid(p.x(), p.y())));
        menu->actions().at(entry)->trigger();
        record(QStringLiteral("menu %1,%2 #%3").arg(p.x()).arg(p.y()).arg(entry));
    }
    void markTrue(QPoint p) { menu(p, menuEntryFor(cell(p.x(), p.y()).ship)); }
    void column(int x) {
        press(ElementRef::column(x));
        record(QStringLiteral("column %1").arg(x));
    }
    void row(int y) {
        press(ElementRef::row(y));
        record(QStringLiteral("row %1").arg(y));
    }
    void legend(int r, int s, int i) {
        press(ElementRef::legend(r, s, i));
        record(QStringLiteral("legend %1,%2,%3").arg(r).arg(s).arg(i));
    }
    void trigger(const char* name) {
        form_.findChild<QAction*>(QLatin1String(name))->trigger();
        record(QLatin1String(name));
    }

    void record(const QString& step) {
        ++stepNo_;
        quint64 hash = fnv(QByteArray::number(level()));
        const QString prefix = QStringLiteral("%1 %2").arg(name_).arg(stepNo_);
        BoardView* board = form_.boardView();
        const QImage shown = board->grab().toImage();
        auto add = [&](const QString& what, const ElementRef& e, bool withHint) {
            QByteArray bytes = pixels(shown, board->elementRect(e));
            if (withHint) {
                bytes += board->hint(e).toUtf8();
            }
            const quint64 h = fnv(bytes);
            hash = fnv(QByteArray::number(h), hash);
            dump_ << QStringLiteral("%1 %2 %3").arg(prefix, what).arg(h, 16, 16, QLatin1Char('0'));
        };
        for (int x = 0; x <= maxCol(); ++x) {
            for (int y = 0; y <= maxRow(); ++y) {
                add(QStringLiteral("cell %1,%2").arg(x).arg(y), ElementRef::grid(x, y), false);
            }
            add(QStringLiteral("col %1").arg(x), ElementRef::column(x), true);
        }
        for (int y = 0; y <= maxRow(); ++y) {
            add(QStringLiteral("row %1").arg(y), ElementRef::row(y), true);
        }
        const int legendLevel = level();
        for (int r = 0; r < legendLevel; ++r) {
            for (int s = 0; s <= r; ++s) {
                for (int i = 0; i < legendLevel - r; ++i) {
                    add(QStringLiteral("legend %1,%2,%3").arg(r).arg(s).arg(i),
                        ElementRef::legend(r, s, i), false);
                }
            }
        }
        lines_
            << QStringLiteral("%1 %2 %3").arg(prefix).arg(hash, 16, 16, QLatin1Char('0')).arg(step);
    }

private:
    MainWindow& form_;
    QStringList& lines_;
    QStringList& dump_;
    QString name_;
    int stepNo_ = 0;
};

// One session: every kind of step the player can take, on the level `start`.
void playSession(Session& s, int start) {
    static const char* const levelNames[] = {"TMMLevel4", "TMMLevel5", "TMMlevel6", "TMMLevel7",
                                             "TMMLevel8"};
    s.trigger(levelNames[start - minLevel]);

    // Clicks and marks on a clue change nothing.
    const QPoint clue = s.clues().first();
    s.click(clue);
    s.menu(clue, 3);

    // Left clicks: covered, water, covered, water.
    const QList<QPoint> water = s.waterCells();
    const QPoint w = water.at(water.size() / 3);
    s.click(w);
    s.click(w);
    s.click(w);

    // Every mark of the cell menu on one hidden segment, then its right shape.
    const QList<QPoint> ships = s.shipCells();
    const QPoint s1 = ships.at(0);
    for (int entry = 0; entry < 7; ++entry) {
        s.menu(s1, entry);
    }
    s.markTrue(s1);
    s.markTrue(ships.at(1));
    // Wrong marks: ship marks on water, "???" and a wrong shape on segments, water on a segment.
    const QPoint w2 = water.at(water.size() / 2);
    const QPoint w3 = water.at(water.size() - 1);
    s.menu(w2, 0);
    s.menu(w3, 3);
    s.menu(ships.at(2), 0);
    const int wrongShape = (menuEntryFor(s.cell(ships.at(3).x(), ships.at(3).y()).ship) + 1) % 7;
    s.menu(ships.at(3), wrongShape == 0 ? 1 : wrongShape);
    s.click(ships.at(4));

    // Line fills, each twice, and some left filled.
    s.column(w.x());
    s.column(w.x());
    s.row(w2.y());
    s.row(w2.y());
    s.column(s.maxCol());
    s.row(s.maxRow());
    s.row(0);

    // Legend: tick, another segment of the ticked ship, untick, and more ships ticked.
    s.legend(0, 0, 0);
    s.legend(0, 0, 1);
    s.legend(0, 0, 0);
    s.legend(0, 0, 1);
    s.legend(1, 1, 0);
    s.legend(start - 1, start - 1, 0);

    // The solution on a partly marked board, then play on the shown board.
    s.trigger("Zeigen1");
    s.click(s1);             // a found segment
    s.click(w2);             // a wrong mark
    s.menu(ships.at(5), 4);  // a segment filled in on blue
    s.click(ships.at(6));
    s.column(ships.at(7).x());  // a line through filled-in segments
    s.trigger("Zeigen1");
    s.trigger("Zeigen1");
    s.legend(1, 1, 0);

    // A fresh board shown, then a command that leaves the segments alone completes it.
    s.trigger("Neu1");
    s.trigger("Zeigen1");
    s.click(s.waterCells().first());
    s.click(s.waterCells().first());

    // A board completed by marks: water on a few cells, every segment its shape.
    s.trigger("Neu1");
    const QList<QPoint> sea = s.waterCells();
    s.click(sea.first());
    s.click(sea.last());
    s.menu(sea.at(sea.size() / 2), 0);
    s.click(sea.at(sea.size() / 2));
    for (const QPoint& p : s.shipCells()) {
        s.markTrue(p);
    }
    s.trigger("Zeigen1");
    s.click(s.shipCells().first());

    // Level changes both ways, then a new game.
    s.trigger("TMMLevel8");
    s.trigger("TMMLevel4");
    s.trigger("TMMLevel8");
    s.trigger("Neu1");
}

}  // namespace

class TestReplay : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(configDir_.isValid());
        qputenv("XDG_CONFIG_HOME", configDir_.path().toUtf8());
        qputenv("XDG_STATE_HOME", configDir_.path().toUtf8());
        qputenv("XDG_DATA_HOME", configDir_.path().toUtf8());
    }

    void sessionsShowWhatTheyShowed() {
        QStringList lines;
        QStringList dump;
        for (int start = minLevel; start <= maxLevel; ++start) {
            // Each session starts a new game: a game the last one saved while it was played
            // (a slow build gives the save time to come) is not resumed.
            removeStateFile();
            MainWindow::Options options;
            options.seeds = [next = quint32(1000 * start)]() mutable { return next++; };
            options.reportError = [](const QString&) {};
            MainWindow form(std::move(options));
            // The recording is of the normal size, which the fit to a small screen would shrink.
            form.findChild<QAction*>(QStringLiteral("Anpassen1"))->setChecked(false);
            Session session(form, lines, dump, QStringLiteral("L%1").arg(start));
            playSession(session, start);
        }

        if (const QByteArray dumpPath = qgetenv("QUORVIK_REPLAY_DUMP"); !dumpPath.isEmpty()) {
            QFile out(QString::fromLocal8Bit(dumpPath));
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Text));
            out.write(dump.join(QLatin1Char('\n')).toUtf8() + '\n');
        }
        if (const QByteArray recordPath = qgetenv("QUORVIK_REPLAY_RECORD"); !recordPath.isEmpty()) {
            QFile out(QString::fromLocal8Bit(recordPath));
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Text));
            out.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
            QSKIP("recording written");
        }

        QFile in(QStringLiteral(QUORVIK_REPLAY_RECORDING));
        QVERIFY2(in.open(QIODevice::ReadOnly | QIODevice::Text), "the recording is missing");
        const QStringList expected =
            QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(expected.size() > 400);
        for (qsizetype i = 0; i < std::min(expected.size(), lines.size()); ++i) {
            QVERIFY2(lines.at(i) == expected.at(i),
                     qPrintable(QStringLiteral("step differs:\n  now: %1\n  was: %2")
                                    .arg(lines.at(i), expected.at(i))));
        }
        QCOMPARE(lines.size(), expected.size());
    }

    // Random moves through the window, then every one undone and redone: the pictures on the
    // way back and forth are those the moves showed, on every level.
    void undoAndRedoShowThePicturesAgain() {
        for (int level = minLevel; level <= maxLevel; ++level) {
            MainWindow::Options options;
            options.seeds = [next = quint32(50 + level)]() mutable { return next++; };
            options.reportError = [](const QString&) {};
            MainWindow form(std::move(options));
            form.findChild<QAction*>(QStringLiteral("Anpassen1"))->setChecked(false);
            form.setLevel(level);
            QStringList lines;
            QStringList dump;
            Session session(form, lines, dump, QStringLiteral("U%1").arg(level));
            auto picture = [&] {
                session.record(QString());
                return lines.last().section(QLatin1Char(' '), 2, 2);
            };
            QStringList shown{picture()};
            RuntimeRandom pick;
            pick.setSeed(quint32(level));
            const Mark marks[] = {Mark::Single, Mark::Bottom,  Mark::Left,
                                  Mark::Right,  Mark::Top,     Mark::Middle,
                                  Mark::Water,  Mark::Covered, Mark::Segment};
            const LevelInfo& info = levelInfo(level);
            for (int step = 0; step < 60; ++step) {
                const int x = int(pick.Random(quint32(info.maxCol + 1)));
                const int y = int(pick.Random(quint32(info.maxRow + 1)));
                switch (pick.Random(6)) {
                    case 0:
                        form.play({Move::mark(x, y, marks[pick.Random(9)])});
                        break;
                    case 1:
                        session.press(ElementRef::column(x));
                        break;
                    case 2:
                        session.press(ElementRef::row(y));
                        break;
                    case 3:
                        session.press(ElementRef::legend(0, 0, int(pick.Random(quint32(level)))));
                        break;
                    case 4:
                        if (pick.Random(6) == 0) {
                            form.showSolution();
                            break;
                        }
                        [[fallthrough]];
                    default:
                        session.press(ElementRef::grid(x, y));
                        break;
                }
                // An action that changed nothing is no step of the history.
                if (form.game().stepsDone() == std::size_t(shown.size())) {
                    shown << picture();
                }
                QCOMPARE(form.game().stepsDone(), std::size_t(shown.size() - 1));
            }
            QVERIFY(shown.size() > 40);
            for (qsizetype k = shown.size() - 1; k > 0; --k) {
                form.undoMove();
                QCOMPARE(picture(), shown[k - 1]);
            }
            // Every move is undone; the next undo would bring back the game before this level.
            QVERIFY(form.game().stepsDone() == 0 && form.game().undoChangesGame());
            for (qsizetype k = 1; k < shown.size(); ++k) {
                form.redoMove();
                QCOMPARE(picture(), shown[k]);
            }
        }
    }

private:
    QTemporaryDir configDir_;
};

QTEST_MAIN(TestReplay)
#include "tst_Replay.moc"
