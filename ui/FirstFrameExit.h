// A start-up hook for the benchmark that times whole starts: with QUORVIK_EXIT_AFTER_FIRST_FRAME
// set in the environment, the program prints one line, "first frame", its peak memory in KiB and
// the milliseconds since its own start-up code ran (once the libraries are loaded, before main),
// as soon as its first frame is painted, and ends there without saving anything. The benchmark
// times the game and a bare Qt window alike, from their start to that line.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace quorvik {

// The moment the program's own start-up code runs: static initialisation, before main.
inline const std::chrono::steady_clock::time_point programStart = std::chrono::steady_clock::now();

class FirstFrameExit : public QObject {
public:
    static void installWhenAsked() {
        if (qEnvironmentVariableIsSet("QUORVIK_EXIT_AFTER_FIRST_FRAME")) {
            QCoreApplication::instance()->installEventFilter(new FirstFrameExit);
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // The window paints all its widgets, then sends the frame; a zero timer runs after both.
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            QTimer::singleShot(0, [] {
                rusage usage{};
                getrusage(RUSAGE_SELF, &usage);
                const std::chrono::duration<double, std::milli> sinceStart =
                    std::chrono::steady_clock::now() - programStart;
                std::printf("first frame %ld %.3f\n", usage.ru_maxrss, sinceStart.count());
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool painted_ = false;
};

}  // namespace quorvik
