// Drives the real main window offscreen and prints, per level, how long a new game (F2), a level
// change and one cell click take including the repaint, how long the window takes from its
// construction to its first paint, and the process's peak memory, each beside a bare Qt main
// window started the same way; how long the game in progress takes to reach its file, and how much
// a long session of moves and new games grows the process. Figures are printed, never checked
// against a clock; a zoom step at level 8, and a level-8 cell click with the running count off
// and on. "--compare-starts [level] [rounds]" only starts the game and a bare window (at its
// usual size and at the game's) in turn; "--compare-process-starts [level] [rounds]" times whole
// starts of the game's own program and of a bare Qt window program, from the start to the first
// frame.
// Under callgrind (bench/count_startup.sh) a single start counts only its span from the window's
// construction to its first paint.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <malloc.h>
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_TOGGLE_COLLECT
#endif

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "MainWindow.h"
#include "QuorvikIniFile.h"
#include "StateFile.h"
#include "WindowBench.h"

using namespace windowbench;

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Figures {
    double median;
    double p99;
};

Figures measure(int runs, const std::function<void()>& step) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        step();
        // The repaint the step asked for happens here.
        QCoreApplication::processEvents();
        times.push_back(millisecondsSince(start));
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2],
            times[std::min(times.size() - 1, static_cast<std::size_t>(0.99 * times.size()))]};
}

// The offscreen platform reports on every fixed-size window that it cannot pass size hints on.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.contains(QLatin1String("propagateSizeHints"))) {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

// Notices the first paint of any widget of the window.
class FirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted = true;
        }
        return QObject::eventFilter(watched, event);
    }
};

// One start in this process: construction to first paint, then the peak memory. A level from
// 1 to 8 is stored in the settings first, so that the game starts at it.
int startOnce(bool bare, int level, QSize size = {}) {
    if (level > 0) {
        quorvik::QuorvikIniFile::Settings settings;
        quorvik::QuorvikIniFile::loadSettingsOrDefaults(settings);
        settings.level = level;
        quorvik::QuorvikIniFile::saveSettings(settings);
    }
    FirstPaint watcher;
    QApplication::instance()->installEventFilter(&watcher);
    // Under callgrind started with --collect-atstart=no, only what lies between the toggles is
    // counted; elsewhere the toggles do nothing.
    CALLGRIND_TOGGLE_COLLECT;
    const auto start = Clock::now();
    std::unique_ptr<QMainWindow> window;
    if (bare) {
        window = std::make_unique<QMainWindow>();
        window->menuBar()->addMenu(QStringLiteral("Spiel"));
        window->resize(size.isValid() ? size : QSize(592, 380));
    } else {
        window = std::make_unique<quorvik::MainWindow>();
    }
    window->show();
    while (!watcher.painted) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    CALLGRIND_TOGGLE_COLLECT;
    std::printf("%.3f %ld %d %d\n", millisecondsSince(start), peakKilobytes(), window->width(),
                window->height());
    return 0;
}

// One start of this program in the given mode: the time to the first paint, the peak memory
// and the window's size; zeros when the start failed.
struct Start {
    double milliseconds = 0;
    long kilobytes = 0;
    QSize size;
};
Start startInChild(const QStringList& arguments) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(30000);
    const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
    if (parts.size() < 2) {
        return {};
    }
    return {parts[0].toDouble(), parts[1].toLong(),
            parts.size() == 4 ? QSize(parts[2].toInt(), parts[3].toInt()) : QSize()};
}

// The median time and memory of a few starts in the given mode.
std::pair<double, long> startInChild(const QString& mode, int runs) {
    std::vector<double> times;
    std::vector<long> memory;
    for (int i = 0; i < runs; ++i) {
        const Start start = startInChild(QStringList{mode});
        if (start.kilobytes > 0) {
            times.push_back(start.milliseconds);
            memory.push_back(start.kilobytes);
        }
    }
    if (times.empty()) {
        return {0, 0};
    }
    std::sort(times.begin(), times.end());
    std::sort(memory.begin(), memory.end());
    return {times[times.size() / 2], memory[memory.size() / 2]};
}

// The game at `level`, the bare main window at its usual size and the bare window at the
// game's size started in turn, one of each per round, so that the machine's changing load falls
// on all alike; prints the median times to the first paint and the median peak memory, and the
// game's ratios to both. The window of the game's size shows how much of the difference the
// pixels of a larger window account for (the first frame fills and sends every one of them).
void compareStarts(int rounds, const QString& level) {
    std::vector<Start> game;
    std::vector<Start> bare;
    std::vector<Start> sized;
    for (int i = 0; i < rounds; ++i) {
        game.push_back(startInChild({QStringLiteral("--start-game"), level}));
        bare.push_back(startInChild({QStringLiteral("--start-bare")}));
        const QSize size = game.back().size;
        sized.push_back(
            startInChild({QStringLiteral("--start-bare"), QStringLiteral("0"),
                          QString::number(size.width()), QString::number(size.height())}));
    }
    const auto median = [](std::vector<Start> starts, auto part) {
        std::vector<double> values;
        for (const Start& s : starts) {
            values.push_back(static_cast<double>(s.*part));
        }
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    const double gameStart = median(game, &Start::milliseconds);
    const double bareStart = median(bare, &Start::milliseconds);
    const double sizedStart = median(sized, &Start::milliseconds);
    const double gameKib = median(game, &Start::kilobytes);
    const double bareKib = median(bare, &Start::kilobytes);
    const double sizedKib = median(sized, &Start::kilobytes);
    const QSize size = game.front().size;
    std::printf(
        "start to first paint, level %s, %d rounds in turn: game %.2f ms (%dx%d), bare main "
        "window %.2f ms (ratio %.2f), bare window of the game's size %.2f ms (ratio %.2f); peak "
        "memory %.0f KiB against %.0f KiB (ratio %.2f) and %.0f KiB (ratio %.2f)\n",
        qPrintable(level), rounds, gameStart, size.width(), size.height(), bareStart,
        ratio(gameStart, bareStart), sizedStart, ratio(gameStart, sizedStart), gameKib, bareKib,
        ratio(gameKib, bareKib), sizedKib, ratio(gameKib, sizedKib));
}

// Whole starts, as the player has them: the game's program and a bare Qt main window
// (bench_BareWindow, Qt Widgets alone), each timed here from before its start to the line it
// prints once its first frame is painted (FirstFrameExit.h), in turn, one of each per round; and
// inside each program, from its start-up code (once its libraries are loaded) to that frame.
// Each game start has a runtime folder of its own, so that none meets the socket of the one
// before. Prints the medians and the game's ratios, and the medians of the peak memory.
void compareProcessStarts(int rounds, int level) {
    quorvik::QuorvikIniFile::Settings settings;
    quorvik::QuorvikIniFile::loadSettingsOrDefaults(settings);
    settings.level = level;
    quorvik::QuorvikIniFile::saveSettings(settings);
    const QString folder = QCoreApplication::applicationDirPath();
    QTemporaryDir runtime;
    int started = 0;
    // Per program: the whole starts, the starts from the start-up code, the peak memory.
    using Starts = std::array<std::vector<double>, 3>;
    const auto startOnce = [&](const QString& program, Starts& starts,
                               const QStringList& arguments = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QUORVIK_EXIT_AFTER_FIRST_FRAME"), QStringLiteral("1"));
        const QString own = runtime.filePath(QString::number(++started));
        QDir().mkpath(own);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), own);
        QProcess child;
        child.setProcessEnvironment(environment);
        const auto start = Clock::now();
        child.start(program, arguments);
        while (!child.canReadLine() && child.waitForReadyRead(30000)) {
        }
        const double milliseconds = millisecondsSince(start);
        const QList<QByteArray> words = child.readLine().trimmed().split(' ');
        child.waitForFinished(30000);
        if (words.size() == 4) {
            starts[0].push_back(milliseconds);
            starts[1].push_back(words[3].toDouble());
            starts[2].push_back(words[2].toDouble());
        }
    };
    // The game's window size at this level, from a start in this process.
    QSize size;
    {
        quorvik::MainWindow window;
        size = window.size();
    }
    Starts game;
    Starts bare;
    Starts sized;
    for (int i = 0; i < rounds; ++i) {
        startOnce(folder + QStringLiteral("/../ui/quorvik"), game);
        startOnce(folder + QStringLiteral("/bench_BareWindow"), bare);
        startOnce(folder + QStringLiteral("/bench_BareWindow"), sized,
                  {QString::number(size.width()), QString::number(size.height())});
    }
    if (game[0].empty() || bare[0].empty() || sized[0].empty()) {
        std::printf("whole starts: no start reached its first frame\n");
        return;
    }
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    std::printf(
        "starts to the first frame, level %d, %d rounds in turn (medians); the game's "
        "window %dx%d:\n",
        level, rounds, size.width(), size.height());
    // The ratio of each round's two starts, which ran a moment apart, follows a changing load
    // of the machine less than the ratio of the medians.
    const auto roundRatio = [&median](const std::vector<double>& a, const std::vector<double>& b) {
        std::vector<double> ratios;
        for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
            ratios.push_back(a[i] / b[i]);
        }
        return median(ratios);
    };
    const char* const what[] = {"whole start, ms", "from the start-up code, ms",
                                "peak memory, KiB"};
    for (std::size_t k = 0; k < 3; ++k) {
        std::printf(
            "  %-28s game %9.1f  bare main window %9.1f  ratio %.2f (by round %.2f)  at the "
            "game's size %9.1f  ratio %.2f (by round %.2f)\n",
            what[k], median(game[k]), median(bare[k]), median(game[k]) / median(bare[k]),
            roundRatio(game[k], bare[k]), median(sized[k]), median(game[k]) / median(sized[k]),
            roundRatio(game[k], sized[k]));
    }
}

}  // namespace

int main(int argc, char** argv) {
    // A scratch settings folder, so that the benchmark neither reads nor changes the player's.
    // The starts measured in child processes share the parent's folder, and so its settings and
    // the game it kept.
    QTemporaryDir config;
    if (qEnvironmentVariableIsEmpty("QUORVIK_BENCH_HOME")) {
        qputenv("QUORVIK_BENCH_HOME", config.path().toLocal8Bit());
    }
    qputenv("XDG_CONFIG_HOME", qgetenv("QUORVIK_BENCH_HOME"));
    qputenv("XDG_STATE_HOME", qgetenv("QUORVIK_BENCH_HOME"));
    qputenv("XDG_DATA_HOME", qgetenv("QUORVIK_BENCH_HOME"));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int startLevel = arguments.size() > 2 ? arguments[2].toInt() : 0;
    if (arguments.size() > 1 && arguments[1] == QLatin1String("--start-game")) {
        return startOnce(false, startLevel);
    }
    if (arguments.size() > 1 && arguments[1] == QLatin1String("--start-bare")) {
        return startOnce(
            true, startLevel,
            arguments.size() > 4 ? QSize(arguments[3].toInt(), arguments[4].toInt()) : QSize());
    }
    if (arguments.size() > 1 && arguments[1] == QLatin1String("--compare-starts")) {
        compareStarts(arguments.size() > 3 ? arguments[3].toInt() : 20,
                      arguments.size() > 2 ? arguments[2] : QStringLiteral("8"));
        return 0;
    }
    if (arguments.size() > 1 && arguments[1] == QLatin1String("--compare-process-starts")) {
        compareProcessStarts(arguments.size() > 3 ? arguments[3].toInt() : 20,
                             startLevel > 0 ? startLevel : 8);
        return 0;
    }
    if (arguments.size() > 1 && arguments[1] == QLatin1String("--play-level-8")) {
        return playLevel8();
    }
    if (arguments.size() > 1 && arguments[1] == QLatin1String("--long-session")) {
        return longSession();
    }
    if (arguments.size() > 1 && arguments[1] == QLatin1String("--random-actions")) {
        return randomActions();
    }

    quorvik::MainWindow form;
    form.show();
    QCoreApplication::processEvents();

    constexpr int runs = 200;
    std::printf("Main window, offscreen, %d runs each (median / 99th percentile, ms)\n", runs);
    std::printf("level  new_game_F2          cell_click\n");
    for (int level = quorvik::minLevel; level <= quorvik::maxLevel; ++level) {
        form.setLevel(level);
        QCoreApplication::processEvents();
        const Figures newGame = measure(runs, [&] { QTest::keyClick(&form, Qt::Key_F2); });
        // Clicks on a covered cell of the last row toggle it between covered and water.
        int x = 0;
        while (form.game().cell(x, form.game().maxRow()).isClue) {
            ++x;
        }
        const quorvik::ElementRef cell = quorvik::ElementRef::grid(x, form.game().maxRow());
        const Figures clicked = measure(runs, [&] { click(form, cell); });
        std::printf("%5d  %7.3f / %7.3f    %7.3f / %7.3f\n", level, newGame.median, newGame.p99,
                    clicked.median, clicked.p99);
    }
    // Each change measured alone: the other direction's change is done outside the clock.
    auto change = [&](int from, int to) {
        std::vector<double> times;
        for (int i = 0; i < 100; ++i) {
            form.setLevel(from);
            QCoreApplication::processEvents();
            const auto start = Clock::now();
            form.setLevel(to);
            QCoreApplication::processEvents();
            times.push_back(millisecondsSince(start));
        }
        std::sort(times.begin(), times.end());
        return Figures{times[times.size() / 2], times[times.size() * 99 / 100]};
    };
    const Figures fourToEight = change(4, 8);
    const Figures eightToFour = change(8, 4);
    std::printf("level change 4 -> 8: %.3f / %.3f ms\n", fourToEight.median, fourToEight.p99);
    std::printf("level change 8 -> 4: %.3f / %.3f ms\n", eightToFour.median, eightToFour.p99);

    // BEGIN undo
    // Undo and redo of a line fill at level 8, each with its repaint.
    form.setLevel(8);
    QCoreApplication::processEvents();
    click(form, quorvik::ElementRef::column(3));
    QCoreApplication::processEvents();
    std::vector<double> undoTimes;
    std::vector<double> redoTimes;
    for (int i = 0; i < runs; ++i) {
        undoTimes.push_back(
            measure(1, [&] { QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier); }).median);
        redoTimes.push_back(
            measure(1, [&] { QTest::keyClick(&form, Qt::Key_Y, Qt::ControlModifier); }).median);
    }
    std::sort(undoTimes.begin(), undoTimes.end());
    std::sort(redoTimes.begin(), redoTimes.end());
    std::printf("level 8 line fill: undo %.3f / %.3f ms, redo %.3f / %.3f ms\n",
                undoTimes[undoTimes.size() / 2], undoTimes[undoTimes.size() * 99 / 100],
                redoTimes[redoTimes.size() / 2], redoTimes[redoTimes.size() * 99 / 100]);
    // END undo

    // A cell click at level 8 with its repaint, with the running count of the marks off and on
    // (on, every click also recounts the board and updates numbers, legend and red frames).
    form.setLevel(8);
    QCoreApplication::processEvents();
    {
        int x = 0;
        while (form.game().cell(x, form.game().maxRow()).isClue) {
            ++x;
        }
        const quorvik::ElementRef cell = quorvik::ElementRef::grid(x, form.game().maxRow());
        QAction* tally = form.findChild<QAction*>(QStringLiteral("Mitzaehlen1"));
        for (const bool on : {false, true}) {
            tally->setChecked(on);
            QCoreApplication::processEvents();
            const Figures clicked = measure(runs, [&] { click(form, cell); });
            std::printf("level 8 cell click, Mitzählen %s: %.3f / %.3f ms\n", on ? "on " : "off",
                        clicked.median, clicked.p99);
        }
        tally->setChecked(false);
    }

    // The game in progress written to its file at level 8, with a full history of line fills.
    {
        form.setLevel(8);
        for (int i = 0; i < int(quorvik::maxHistorySteps); ++i) {
            form.play(fourLineFills(i));
        }
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            const auto start = Clock::now();
            form.saveGameInProgress();
            times.push_back(millisecondsSince(start));
        }
        std::sort(times.begin(), times.end());
        std::printf(
            "level 8 state write, %zu steps of history, %lld bytes: median %.3f ms, "
            "worst %.3f ms\n",
            quorvik::maxHistorySteps,
            static_cast<long long>(quorvik::readStateFile().value_or(QByteArray()).size()),
            times[times.size() / 2], times.back());
    }
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--long-session")});
        child.waitForFinished(-1);
        const QList<QByteArray> kib = child.readAllStandardOutput().trimmed().split(' ');
        if (kib.size() == 4) {
            std::printf(
                "long session, resident KiB: start %s, after 20000 steps of four line "
                "fills %s (%+ld), after 200 new games %s (%+ld in all); peak %s\n",
                kib[0].constData(), kib[1].constData(), kib[1].toLong() - kib[0].toLong(),
                kib[2].constData(), kib[2].toLong() - kib[0].toLong(), kib[3].constData());
        }
    }
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--random-actions")});
        child.waitForFinished(-1);
        const QList<QByteArray> kib = child.readAllStandardOutput().trimmed().split(' ');
        if (kib.size() == 9) {
            std::printf(
                "random actions, KiB after 1000 and after 20000: resident %s, %s (%+ld); heap in "
                "use %s, %s (%+ld); heap taken %s, %s (%+ld); resident after a pause of 1.5 s "
                "%s (%+ld)\n",
                kib[0].constData(), kib[1].constData(), kib[1].toLong() - kib[0].toLong(),
                kib[2].constData(), kib[3].constData(), kib[3].toLong() - kib[2].toLong(),
                kib[4].constData(), kib[5].constData(), kib[5].toLong() - kib[4].toLong(),
                kib[6].constData(), kib[6].toLong() - kib[0].toLong());
            std::printf(
                "random actions, anonymous resident KiB: after 1000 %s, after 20000 %s "
                "(%+ld)\n",
                kib[7].constData(), kib[8].constData(), kib[8].toLong() - kib[7].toLong());
        }
    }
    // A zoom step at level 8 with its repaint: larger, then back, with the fit off so that the
    // step is not held back by the screen.
    {
        form.findChild<QAction*>(QStringLiteral("Anpassen1"))->setChecked(false);
        form.setZoom(100);
        form.setLevel(8);
        QCoreApplication::processEvents();
        std::vector<double> up;
        std::vector<double> down;
        for (int i = 0; i < 50; ++i) {
            up.push_back(measure(1, [&] { form.zoomIn(); }).median);
            down.push_back(measure(1, [&] { form.zoomOut(); }).median);
        }
        std::sort(up.begin(), up.end());
        std::sort(down.begin(), down.end());
        std::printf(
            "level 8 zoom step with repaint: 100 -> 115 %% %.3f / %.3f ms, "
            "115 -> 100 %% %.3f / %.3f ms\n",
            up[up.size() / 2], up[up.size() * 99 / 100], down[down.size() / 2],
            down[down.size() * 99 / 100]);
        form.setZoom(100);
        form.findChild<QAction*>(QStringLiteral("Anpassen1"))->setChecked(true);
    }

    const auto [playTime, playMemory] = startInChild(QStringLiteral("--play-level-8"), 3);
    static_cast<void>(playTime);
    std::printf("peak memory after playing level 8: %ld KiB\n", playMemory);

    const auto [gameStart, gameMemory] = startInChild(QStringLiteral("--start-game"), 15);
    const auto [bareStart, bareMemory] = startInChild(QStringLiteral("--start-bare"), 15);
    std::printf("start to first paint: game %.2f ms, bare main window %.2f ms (ratio %.2f)\n",
                gameStart, bareStart, bareStart > 0 ? gameStart / bareStart : 0.0);
    std::printf("peak memory: game %ld KiB, bare main window %ld KiB (ratio %.2f)\n", gameMemory,
                bareMemory, bareMemory > 0 ? double(gameMemory) / double(bareMemory) : 0.0);

    // A start that restores a level-8 game kept at the last close, beside a start that builds a
    // new level-8 game; both read the same settings.
    {
        quorvik::MainWindow played;
        played.setLevel(8);
        for (int i = 0; i < 60; ++i) {
            click(played, quorvik::ElementRef::grid((i * 7) % 27, (i * 5) % 13));
        }
        click(played, quorvik::ElementRef::column(4));
        click(played, quorvik::ElementRef::legend(0, 0, 0));
        played.close();
    }
    const auto [resumedStart, resumedMemory] = startInChild(QStringLiteral("--start-game"), 15);
    quorvik::removeStateFile();
    const auto [newStart, newMemory] = startInChild(QStringLiteral("--start-game"), 15);
    std::printf(
        "start at level 8: restoring a kept game %.2f ms, a new game %.2f ms (%+.2f ms); "
        "bare main window %.2f ms (ratio %.2f)\n",
        resumedStart, newStart, resumedStart - newStart, bareStart,
        bareStart > 0 ? resumedStart / bareStart : 0.0);
    std::printf(
        "start at level 8, new game, to first paint: ratio %.2f to the bare main window; "
        "peak memory %ld KiB against %ld KiB (ratio %.2f)\n",
        bareStart > 0 ? newStart / bareStart : 0.0, newMemory, bareMemory,
        bareMemory > 0 ? double(newMemory) / double(bareMemory) : 0.0);
    return 0;
}
