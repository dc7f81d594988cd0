// Prints what the settings store costs: the time of one saveSettings, how often a save replaces
// the settings file and how much it writes, and how long a start takes with a normal, a damaged
// and a very large settings file. Figures are printed, never checked against a clock.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "MainWindow.h"
#include "QuorvikIniFile.h"

namespace ini = quorvik::QuorvikIniFile;

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The store's calls, in one place.
void saveValues(int round) {
    ini::Settings settings;
    settings.left = 100 + round % 7;
    settings.top = 50;
    settings.width = 592;
    settings.height = 380;
    settings.level = 4 + round % 5;
    settings.version = QStringLiteral("1.0.1.32");
    ini::saveSettings(settings);
}
void loadValues() {
    ini::Settings settings;
    (void)ini::loadSettingsOrDefaults(settings);
}

QString settingsFile() {
    return ini::storeLocation();
}

// Bytes this process has handed to write calls so far.
long long bytesWritten() {
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("wchar:")) {
            return line.mid(6).trimmed().toLongLong();
        }
    }
    return 0;
}

// Counts, through inotify, the files written in the settings folder and the times the settings
// file itself was replaced by a rename.
class FolderWatch {
public:
    explicit FolderWatch(const QString& folder) : fd_(inotify_init1(IN_NONBLOCK)) {
        inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_CLOSE_WRITE | IN_MOVED_TO);
    }
    ~FolderWatch() { close(fd_); }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Reads the events so far; adds them to filesWritten and replacements.
    void collect(const QString& fileName) {
        alignas(inotify_event) char buffer[64 * 1024];
        for (;;) {
            const ssize_t got = read(fd_, buffer, sizeof buffer);
            if (got <= 0) {
                return;
            }
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                const QString name = event->len > 0 ? QFile::decodeName(event->name) : QString();
                if (event->mask & IN_CLOSE_WRITE) {
                    ++filesWritten;
                }
                if ((event->mask & IN_MOVED_TO) && name == fileName) {
                    ++replacements;
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

    long filesWritten = 0;
    long replacements = 0;

private:
    int fd_;
};

void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(content);
    }
}

QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, '\0');
    QRandomGenerator random(13);
    for (char& byte : bytes) {
        byte = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

// A settings file of the program's values whose section "Position" goes on with valid lines of
// other keys up to the given size (none for 0).
QByteArray validFile(qsizetype size) {
    QByteArray bytes =
        "[Options]\nLev=6\n\n[Version]\nVer=1.0.1.32\n\n[Position]\nX1=100\nX2=592\nY1=50\n"
        "Y2=380\n";
    for (int i = 0; bytes.size() < size; ++i) {
        bytes += "Key" + QByteArray::number(i) + "=" + QByteArray(40, 'v') + "\n";
    }
    // Exactly `size` bytes: the last line is cut short.
    if (size > 0 && bytes.size() > size) {
        bytes.truncate(size);
        bytes.back() = '\n';
    }
    return bytes;
}

struct SaveFigures {
    double medianMs;
    double filesWritten;
    double replacements;
    double kibWritten;
};

// Saves `runs` times, each over the file `start` holds (an empty `start`: over what the save
// before wrote, after a first save outside the count).
SaveFigures measureSaves(const QByteArray& start, int runs) {
    const QString file = settingsFile();
    const QString name = QFileInfo(file).fileName();
    QFile::remove(file);
    saveValues(runs);
    FolderWatch watch(QFileInfo(file).path());
    std::vector<double> times;
    long long bytes = 0;
    long setupWrites = 0;
    for (int i = 0; i < runs; ++i) {
        if (!start.isEmpty()) {
            writeFile(file, start);
            ++setupWrites;
        }
        watch.collect(name);
        const long long bytesBefore = bytesWritten();
        const auto begin = Clock::now();
        saveValues(i);
        times.push_back(millisecondsSince(begin));
        bytes += bytesWritten() - bytesBefore;
    }
    watch.collect(name);
    return {median(times), double(watch.filesWritten - setupWrites) / runs,
            double(watch.replacements) / runs, double(bytes) / runs / 1024.0};
}

// One save right after a killed save left a lock holding `lock` (unreadable too, if asked):
// its time in milliseconds and whether the values reached the file.
std::pair<double, bool> saveAfterLock(const QByteArray& lock, bool unreadable) {
    const QString file = settingsFile();
    saveValues(1);
    writeFile(file + QStringLiteral(".lock"), lock);
    if (unreadable) {
        QFile::setPermissions(file + QStringLiteral(".lock"), {});
    }
    const auto begin = Clock::now();
    saveValues(2);
    const double ms = millisecondsSince(begin);
    QFile saved(file);
    const bool reached = saved.open(QIODevice::ReadOnly) && saved.readAll().contains("Lev=6");
    QFile::remove(file + QStringLiteral(".lock"));
    return {ms, reached};
}

// One start in this process: the load alone, or the whole main window, in milliseconds.
int startOnce(const QString& mode) {
    const auto begin = Clock::now();
    if (mode == QLatin1String("--load")) {
        loadValues();
    } else {
        quorvik::MainWindow::Options options;
        options.reportError = [](const QString&) {};
        const quorvik::MainWindow form(std::move(options));
    }
    std::printf("%.3f\n", millisecondsSince(begin));
    return 0;
}

// Starts this program again a few times over the given settings file; the median time.
double startInChild(const QString& mode, const QByteArray& content, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        writeFile(settingsFile(), content);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {mode});
        if (!child.waitForFinished(600000)) {
            child.kill();
            child.waitForFinished();
            continue;
        }
        bool ok = false;
        const double ms = child.readAllStandardOutput().trimmed().toDouble(&ok);
        if (ok) {
            times.push_back(ms);
        }
    }
    return median(times);
}

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.contains(QLatin1String("propagateSizeHints"))) {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qInstallMessageHandler(quietHandler);
    if (argc > 1) {
        // A child: the parent has set the settings folder.
        QApplication app(argc, argv);
        return startOnce(QString::fromLocal8Bit(argv[1]));
    }
    // A scratch settings folder, so that the benchmark neither reads nor changes the player's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);

    const QByteArray normal = validFile(0);
    const QByteArray validMiB = validFile(1024 * 1024);
    const QByteArray damagedMiB = randomBytes(1024 * 1024);

    std::printf(
        "saveSettings (median ms; per save: files written in the folder, replacements of "
        "the settings file, KiB written)\n");
    const auto printSave = [](const char* what, const SaveFigures& f) {
        std::printf("  %-32s %9.3f ms  %5.1f files  %4.1f replacements  %9.1f KiB\n", what,
                    f.medianMs, f.filesWritten, f.replacements, f.kibWritten);
    };
    printSave("normal file, repeated saves", measureSaves(QByteArray(), 50));
    printSave("over a normal file", measureSaves(normal, 50));
    printSave("over a 1 MiB file of valid lines", measureSaves(validMiB, 5));
    printSave("over a 1 MiB damaged file", measureSaves(damagedMiB, 5));

    std::printf("saveSettings right after a killed save's lock (ms, values saved)\n");
    // No process has a number above the kernel's largest, 4194304.
    const std::pair<const char*, QByteArray> locks[] = {
        {"empty lock", QByteArray()},
        {"lock of a process that is gone", "4194305\nquorvik\n\n"},
        {"lock without a process number", "quorvik\n"}};
    for (const auto& [what, lock] : locks) {
        const auto [ms, reached] = saveAfterLock(lock, false);
        std::printf("  %-32s %9.3f ms  %s\n", what, ms, reached ? "saved" : "dropped");
    }
    const auto [ms, reached] = saveAfterLock(QByteArray(), true);
    std::printf("  %-32s %9.3f ms  %s\n", "unreadable lock (mode 000)", ms,
                reached ? "saved" : "dropped");

    constexpr int runs = 11;
    std::printf("Start (median of %d fresh processes, ms)\n", runs);
    std::printf("  settings file                    load       window\n");
    const auto printStart = [&](const char* what, const QByteArray& content, int count) {
        const double load = startInChild(QStringLiteral("--load"), content, count);
        const double window = startInChild(QStringLiteral("--window"), content, count);
        std::printf("  %-32s %8.3f   %8.3f\n", what, load, window);
        return window;
    };
    const double normalStart = printStart("normal", normal, runs);
    const double damagedStart = printStart("1 MiB damaged (random bytes)", damagedMiB, runs);
    printStart("1 MiB of valid lines", validMiB, runs);
    printStart("50 MiB of valid lines", validFile(50 * 1024 * 1024), 3);
    std::printf("window start, 1 MiB damaged over normal: %+.3f ms\n", damagedStart - normalStart);
    return 0;
}
