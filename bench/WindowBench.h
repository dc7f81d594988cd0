// What the main window's benchmarks share: a click on the board through the mouse, the process's
// memory as the kernel counts it, and the runs that watch the memory (WindowMemory.cpp).
#pragma once

#include <QTest>

#include <vector>

#include "MainWindow.h"

namespace windowbench {

// A left click on an element of the board, through the mouse.
inline void click(const quorvik::MainWindow& form, const quorvik::ElementRef& element) {
    quorvik::BoardView* board = form.boardView();
    QTest::mouseClick(board, Qt::LeftButton, {}, board->elementRect(element).center());
}

// A figure of /proc/self/status in KiB ("VmRSS", "VmHWM", ...), 0 when it cannot be read; the
// peak resident memory of this program image.
long statusKilobytes(const char* field);
long peakKilobytes();

// One step of four line fills at level 8: two rows and two columns, water and covered in turn.
std::vector<quorvik::Move> fourLineFills(int i);

// "--long-session", "--random-actions" and "--play-level-8": each prints its figures and returns
// the program's exit code.
int longSession();
int randomActions();
int playLevel8();

}  // namespace windowbench
