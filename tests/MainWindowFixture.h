// What the main window's tests share: a window started on a fake clock and day, its widgets
// and actions by name, pixels and screens, the stored files removed before each test, and a
// main that runs a test offscreen on a large screen with a laptop's screen right of it.
#pragma once

#include <QtTest>

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRawFont>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QTreeWidget>

#include <climits>

#include "AboutWindow.h"
#include "BestTimesDialog.h"
#include "BoardView.h"
#include "LevelNames.h"
#include "MainWindow.h"
#include "ManualWindow.h"
#include "PuzzleDialog.h"
#include "PuzzleEditor.h"
#include "QuorvikIniFile.h"
#include "RecordFile.h"
#include "StateFile.h"

using namespace quorvik;
namespace ini = QuorvikIniFile;

inline RuntimeRandom::SeedSource seedsFrom(quint32 first) {
    return [next = first]() mutable { return next++; };
}

// The day the tests play on, and a clock they move by hand.
inline const QDate testDay(2026, 12, 9);
inline std::int64_t fakeNow = 0;
inline bool overwriteAnswer = true;  // may another copy's newer game be overwritten

inline std::unique_ptr<MainWindow> startForm(QStringList* errors = nullptr, quint32 seed = 1) {
    MainWindow::Options options;
    options.seeds = seedsFrom(seed);
    options.clock = [] { return fakeNow; };
    options.today = [] { return testDay; };
    options.confirmOverwrite = [](QWidget*) { return overwriteAnswer; };
    options.reportError = [errors](const QString& message) {
        if (errors != nullptr) {
            *errors << message;
        }
    };
    return std::make_unique<MainWindow>(std::move(options));
}

inline QRect geometryOf(const MainWindow& form, const char* name) {
    auto* widget = form.findChild<QWidget*>(QLatin1String(name));
    return widget != nullptr ? widget->geometry() : QRect();
}

inline QAction* action(const MainWindow& form, const char* name) {
    return form.findChild<QAction*>(QLatin1String(name));
}

inline QRgb cornerPixel(const MainWindow& form, int x, int y) {
    return form.boardView()->picture(ElementRef::grid(x, y)).pixel(0, 0);
}

// A left click on an element of the board, through the mouse.
inline void click(const MainWindow& form, const ElementRef& element) {
    BoardView* board = form.boardView();
    QTest::mouseClick(board, Qt::LeftButton, {}, board->elementRect(element).center());
}

inline ElementState shown(const MainWindow& form, const ElementRef& element) {
    return form.boardView()->shownState(element).value_or(ElementState());
}

// How many pixels of `img` are of `colour`.
inline int inkCount(const QImage& img, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            n += (img.pixel(x, y) | 0xFF000000) == colour;
        }
    }
    return n;
}

// The test runs offscreen with a 1920 x 1200 screen and a 1366 x 768 one right of it (see main).
inline QScreen* screenOfSize(const QSize& size) {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().size() == size) {
            return screen;
        }
    }
    return nullptr;
}

// Every test starts without settings, game in progress or record.
inline void removeStoredFiles() {
    QFile::remove(ini::storeLocation());
    removeStateFile();
    QFile::remove(recordFilePath());
}

template <class Test>
int runMainWindowTest(int argc, char** argv) {
    // The settings store must never be the real one of the user running the tests.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("XDG_STATE_HOME", config.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", config.path().toLocal8Bit());
    // Offscreen, two screens: a large one and a laptop's right of it.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        QFile screens(config.filePath(QStringLiteral("screens.json")));
        if (screens.open(QIODevice::WriteOnly)) {
            screens.write(R"({"screens": [
                {"name": "1 large", "x": 0, "y": 0, "width": 1920, "height": 1200},
                {"name": "2 laptop", "x": 1920, "y": 0, "width": 1366, "height": 768}]})");
            screens.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
        }
    }
    QApplication app(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}
