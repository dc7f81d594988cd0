// Times the record's change at the end of a game: lock, read, add one game, write the file whole
// and flush it, as a program does when a game is solved. The record is full (ten times in every
// table of every level) so the file is as large as it gets. Prints median and worst; asserts
// nothing.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "RecordFile.h"

using namespace quorvik;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    const QDate day(2026, 12, 9);
    for (int level = 4; level <= 8; ++level) {
        for (int table = 0; table < timeTableCount; ++table) {
            for (int k = 0; k < 10; ++k) {
                addToRecordFile({GameEvent::Kind::Solved, level, static_cast<TimeTable>(table),
                                 60000 + 1000 * k, day, k % 2 == 0, day});
            }
        }
    }
    const int rounds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 200;
    std::vector<double> ms;
    QElapsedTimer timer;
    for (int k = 0; k < rounds; ++k) {
        timer.start();
        addToRecordFile({k % 3 == 0 ? GameEvent::Kind::Solved : GameEvent::Kind::NotSolved,
                         4 + k % 5, static_cast<TimeTable>(k % 3), 30000 + 17 * k, day, false,
                         day});
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("record write (lock, read, add, write, fsync), file of %lld bytes, %d rounds:\n",
                static_cast<long long>(QFileInfo(recordFilePath()).size()), rounds);
    std::printf("  median %.3f ms, worst %.3f ms\n", ms[ms.size() / 2], ms.back());
    return 0;
}
