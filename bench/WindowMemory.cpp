// The window benchmarks that watch the memory: a long session of line fills and new games, random
// actions of a player, and a level-8 game played for a while, each printing what the process holds.
#include <QAction>
#include <QEventLoop>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <malloc.h>

#include <cstdio>
#include <random>
#include <vector>

#include "WindowBench.h"

namespace {

// The heap as the allocator sees it, in KiB: what the program holds, and what the allocator has
// taken from the system (the difference is free space it keeps, fragmentation included).
std::pair<long, long> heapKilobytes() {
    const struct mallinfo2 info = ::mallinfo2();
    return {long((info.uordblks + info.hblkhd) / 1024), long((info.arena + info.hblkhd) / 1024)};
}

// Random actions of a player in this process, from a fixed seed: moves, undo and redo, zoom
// steps, levels, new games, hints, the solution, and the dialogs opened and closed again.
// Prints the resident memory after 1,000 and after 20,000 actions, the heap in use and the heap
// taken at both moments, and the resident memory once the allocator has given its free heap back.
// The event loop runs for a second and a half, as while a player thinks.
void thinkingPause() {
    QEventLoop loop;
    QTimer::singleShot(1500, &loop, &QEventLoop::quit);
    loop.exec();
}

// The kinds of action named in QUORVIK_BENCH_LEAVE_OUT (numbers 0 to 15 as in the draw below,
// separated by commas) are drawn but not done: a way to find which kind a figure comes from.
std::vector<bool> kindsLeftOut() {
    std::vector<bool> leftOut(16, false);
    for (const QByteArray& kind : qgetenv("QUORVIK_BENCH_LEAVE_OUT").split(',')) {
        bool ok = false;
        const int k = kind.trimmed().toInt(&ok);
        if (ok && k >= 0 && k < int(leftOut.size())) {
            leftOut[static_cast<std::size_t>(k)] = true;
        }
    }
    return leftOut;
}

}  // namespace

namespace windowbench {

// One step of four line fills at level 8: two rows and two columns, water and covered in turn.
std::vector<quorvik::Move> fourLineFills(int i) {
    const bool water = (i / 13) % 2 == 0;
    return {quorvik::Move::fillRow(i % 13, water), quorvik::Move::fillRow((i + 5) % 13, water),
            quorvik::Move::fillColumn(i % 27, water),
            quorvik::Move::fillColumn((i + 11) % 27, water)};
}

// The peak resident memory of this program image. The kernel's own figure (VmHWM) is used
// rather than getrusage, which would carry over the peak of the process that started this one.
long statusKilobytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray name = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(name)) {
            return line.mid(name.size()).trimmed().split(' ').first().toLong();
        }
    }
    return 0;
}

long peakKilobytes() {
    return statusKilobytes("VmHWM");
}

// A long session in this process: 20,000 steps of four line fills at level 8, then 200 new
// games, each with a few moves, the saves on their timer included. Prints the resident memory
// before, after the moves and after the new games, and the peak.
int longSession() {
    quorvik::MainWindow form;
    form.show();
    form.setLevel(8);
    QCoreApplication::processEvents();
    const long before = statusKilobytes("VmRSS");
    for (int i = 0; i < 20000; ++i) {
        form.play(fourLineFills(i));
        if (i % 50 == 0) {
            QTest::qWait(quorvik::GameSession::saveDelayMs + 20);
        }
    }
    const long afterMoves = statusKilobytes("VmRSS");
    for (int game = 0; game < 200; ++game) {
        form.newGame();
        for (int i = 0; i < 10; ++i) {
            form.play(fourLineFills(i));
        }
        QCoreApplication::processEvents();
    }
    QTest::qWait(quorvik::GameSession::saveDelayMs + 20);
    std::printf("%ld %ld %ld %ld\n", before, afterMoves, statusKilobytes("VmRSS"), peakKilobytes());
    return 0;
}

int randomActions() {
    quorvik::MainWindow form;
    form.show();
    std::mt19937 random(20261209u);
    const auto below = [&random](int n) { return static_cast<int>(random() % unsigned(n)); };
    const std::vector<bool> leftOut = kindsLeftOut();
    const QStringList dialogActions{QStringLiteral("Bestzeiten1"), QStringLiteral("Spielnummer1"),
                                    QStringLiteral("TastenUndHilfen1")};
    long afterWarmUp = 0;
    long anonymousAfterWarmUp = 0;
    std::pair<long, long> heapAfterWarmUp;
    const auto playOne = [&] {
        const quorvik::ShipGame& game = form.game();
        const int x = below(game.maxCol() + 1);
        const int y = below(game.maxRow() + 1);
        const int kind = below(16);
        if (leftOut[static_cast<std::size_t>(kind)]) {
            return;
        }
        switch (kind) {
            case 0:
            case 1:
            case 2:
            case 3:
                // Water, covered, a segment shape or "???".
                form.play({quorvik::Move::mark(
                    x, y,
                    std::array{quorvik::Mark::Water, quorvik::Mark::Covered, quorvik::Mark::Single,
                               quorvik::Mark::Middle, quorvik::Mark::Segment}[below(5)])});
                break;
            case 4:
            case 5:
                form.play({quorvik::Move::toggle(x, y)});
                break;
            case 6:
                form.play({quorvik::Move::fillRow(y, below(2) == 0)});
                break;
            case 7:
                form.undoMove();
                break;
            case 8:
                form.redoMove();
                break;
            case 9:
                below(2) == 0 ? form.zoomIn() : form.zoomOut();
                break;
            case 10:
                form.setLevel(quorvik::minLevel + below(quorvik::maxLevel - quorvik::minLevel + 1));
                break;
            case 11:
                form.newGame();
                break;
            case 12:
                form.showHint();
                break;
            case 13:
                below(4) == 0 ? form.showSolution() : form.showMistakes();
                break;
            default:
                form.findChild<QAction*>(dialogActions[below(int(dialogActions.size()))])
                    ->trigger();
                QCoreApplication::processEvents();
                for (QWidget* window : QApplication::topLevelWidgets()) {
                    if (window != &form && window->isVisible()) {
                        window->close();
                    }
                }
                break;
        }
        QCoreApplication::processEvents();
    };
    // The actions arrive one at a time in a running event loop, as a player's input does, so
    // that what Qt deletes once control is back in the loop (a closed dialog, the animation
    // object the main window's layout makes on each resize) goes after each action as in the
    // game, and does not pile up to the end of the run.
    QEventLoop loop;
    QTimer next;
    int action = 0;
    QObject::connect(&next, &QTimer::timeout, &loop, [&] {
        playOne();
        ++action;
        if (action == 1000) {
            next.stop();
            thinkingPause();
            afterWarmUp = statusKilobytes("VmRSS");
            anonymousAfterWarmUp = statusKilobytes("RssAnon");
            heapAfterWarmUp = heapKilobytes();
            next.start();
        } else if (action == 20000) {
            next.stop();
            loop.quit();
        }
    });
    next.start(0);
    loop.exec();
    const std::pair<long, long> heap = heapKilobytes();
    const long resident = statusKilobytes("VmRSS");
    const long anonymous = statusKilobytes("RssAnon");
    // A player's pause: the window gives the free heap back after a new game; what remains is
    // held.
    thinkingPause();
    std::printf("%ld %ld %ld %ld %ld %ld %ld %ld %ld\n", afterWarmUp, resident,
                heapAfterWarmUp.first, heap.first, heapAfterWarmUp.second, heap.second,
                statusKilobytes("VmRSS"), anonymousAfterWarmUp, anonymous);
    return 0;
}

// A level-8 game played for a while in this process: 300 clicks on cells and numbers, a display
// of the solution, five new games; then the peak memory.
int playLevel8() {
    quorvik::MainWindow form;
    form.show();
    form.setLevel(8);
    QCoreApplication::processEvents();
    for (int round = 0; round < 5; ++round) {
        for (int i = 0; i < 300; ++i) {
            const int x = (i * 7) % 27;
            const int y = (i * 5) % 13;
            if (i % 10 == 0) {
                click(form, quorvik::ElementRef::column(x));
            } else {
                click(form, quorvik::ElementRef::grid(x, y));
            }
            QCoreApplication::processEvents();
        }
        form.showSolution();
        form.newGame();
        QCoreApplication::processEvents();
    }
    std::printf("0 %ld\n", peakKilobytes());
    return 0;
}

}  // namespace windowbench
