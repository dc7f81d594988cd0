// Drives the real program in a real X server: starts it with a scratch settings folder, presses
// its keys and clicks its cells with xdotool, and reads what it shows from screenshots.
// Run under xvfb-run; the program's path is the first argument.
#include <QtTest>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>

namespace {

QString programPath;

constexpr QRgb black = 0xFF000000;
constexpr QRgb white = 0xFFFFFFFF;
constexpr QRgb grey = 0xFF808080;
constexpr QRgb blue = 0xFF0000FF;
constexpr QRgb red = 0xFFFF0000;
constexpr QRgb cyan = 0xFF00FFFF;
constexpr QRgb cursorYellow = 0xFFFFD700;

// Runs a helper program and returns its standard output; fails the test when it fails.
QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0) {
        qWarning() << program << arguments << "failed:" << process.readAllStandardError();
        return {};
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

}  // namespace

class TestRealWindow : public QObject {
    Q_OBJECT

    QTemporaryDir config_;
    QProcess game_;
    QString window_;
    QRect screen_;
    QRect geometry_;
    QImage shot_;
    QPoint board_;        // top left of cell (0, 0)'s picture on the screen
    QImage boardBefore_;  // the board's pixels before the program was closed

    void xdotool(const QStringList& arguments) { run(QStringLiteral("xdotool"), arguments); }

    void refresh() {
        const QString shell = run("xdotool", {"getwindowgeometry", "--shell", window_});
        QMap<QString, int> values;
        for (const QString& line : shell.split('\n')) {
            const QStringList pair = line.split('=');
            if (pair.size() == 2) {
                values[pair[0]] = pair[1].toInt();
            }
        }
        geometry_ = QRect(values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]);
        const QString file = config_.filePath("shot.png");
        run("import", {"-window", "root", file});
        shot_ = QImage(file).convertToFormat(QImage::Format_RGB32);
    }

    QRgb at(int x, int y) const { return shot_.pixel(x, y) | 0xFF000000; }
    QRgb cellPixel(int col, int row, int px, int py) const {
        return at(board_.x() + col * 34 + px, board_.y() + row * 34 + py);
    }

    // Counts pixels of one colour in a screen rectangle.
    int count(const QRect& area, QRgb colour) const {
        int n = 0;
        const QRect r = area.intersected(shot_.rect());
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                n += at(x, y) == colour;
            }
        }
        return n;
    }

    // Covered cells show silver inside a black frame; clue cells a segment on grey.
    int coveredCells(int cols, int rows) const {
        int n = 0;
        for (int c = 0; c < cols; ++c) {
            for (int r = 0; r < rows; ++r) {
                n += cellPixel(c, r, 0, 0) == black && cellPixel(c, r, 16, 16) == 0xFFC0C0C0;
            }
        }
        return n;
    }
    int clueCells(int cols, int rows) const {
        int n = 0;
        for (int c = 0; c < cols; ++c) {
            for (int r = 0; r < rows; ++r) {
                n += cellPixel(c, r, 0, 0) == grey;
            }
        }
        return n;
    }

    // Looks again until `shown` holds or about ten seconds have passed: a slow machine (or the
    // sanitizer build) may take longer to repaint than a fast one.
    bool refreshUntil(const std::function<bool()>& shown) {
        for (int i = 0; i < 40; ++i) {
            refresh();
            if (shown()) {
                return true;
            }
            QTest::qWait(100);
        }
        return false;
    }

    void key(const char* keys, const std::function<bool()>& shown) {
        xdotool({"windowfocus", "--sync", window_});
        xdotool({"key", "--clearmodifiers", QLatin1String(keys)});
        refreshUntil(shown);
    }

    int boardCount(int cols, int rows, QRgb colour) const {
        return count(QRect(board_, QSize(cols * 34, rows * 34)), colour);
    }

    // Starts the program again and waits for its window.
    void startAgain() {
        window_.clear();
        game_.start(programPath, {});
        QVERIFY(game_.waitForStarted());
        for (int i = 0; i < 100 && window_.isEmpty(); ++i) {
            QTest::qWait(200);
            window_ = run("xdotool", {"search", "--onlyvisible", "--name", "^Quorvik$"})
                          .split('\n')
                          .first();
        }
        QVERIFY2(!window_.isEmpty(), "the game's window did not appear again");
    }

private slots:
    void initTestCase() {
        QVERIFY2(!programPath.isEmpty(), "usage: tst_RealWindow <path of the program>");
        QVERIFY(config_.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config_.path());
        env.insert("XDG_STATE_HOME", config_.path());
        env.insert("XDG_DATA_HOME", config_.path());
        env.insert("QT_QPA_PLATFORM", "xcb");
        game_.setProcessEnvironment(env);
        // A place left of every screen, far enough for X11 to wrap it onto the right of the
        // coordinate space (-40000 becomes 25536).
        QVERIFY(QDir(config_.path()).mkpath("Software"));
        QFile stored(config_.filePath("Software/Quorvik.ini"));
        QVERIFY(stored.open(QIODevice::WriteOnly));
        stored.write("[Position]\nX1=-40000\nY1=5\n");
        stored.close();
        const QStringList display = run("xdotool", {"getdisplaygeometry"}).split(' ');
        QCOMPARE(display.size(), 2);
        screen_ = QRect(0, 0, display[0].toInt(), display[1].toInt());
        game_.setProcessChannelMode(QProcess::ForwardedChannels);
        game_.start(programPath, {});
        QVERIFY(game_.waitForStarted());
        // Wait for the window to appear.
        for (int i = 0; i < 100 && window_.isEmpty(); ++i) {
            QTest::qWait(200);
            QProcess search;
            search.start("xdotool", {"search", "--onlyvisible", "--name", "^Quorvik$"});
            search.waitForFinished();
            window_ = QString::fromLocal8Bit(search.readAllStandardOutput()).split('\n').first();
        }
        QVERIFY2(!window_.isEmpty(), "the game's window did not appear");
        // The board's first cell lies below the menu bar: find the top of the black frames of
        // covered cells in the board's columns 2 to 8, once the window shows them.
        const bool found = refreshUntil([this] {
            const int left = geometry_.x() + 4 + 4 + 3;
            int top = shot_.height();
            for (int c = 2; c <= 8; ++c) {
                const int x = left + c * 34 + 16;
                for (int y = geometry_.y(); y < geometry_.y() + 120; ++y) {
                    if (at(x, y) == black && at(x, y + 1) == black && at(x, y + 2) != black) {
                        top = std::min(top, y);
                        break;
                    }
                }
            }
            board_ = QPoint(left, top);
            return top < shot_.height();
        });
        QVERIFY2(found, "no board found in the window");
    }

    void startsOnTheScreen() {
        QVERIFY2(screen_.contains(geometry_), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                             .arg(geometry_.x())
                                                             .arg(geometry_.y())
                                                             .arg(geometry_.width())
                                                             .arg(geometry_.height())));
    }

    void freshBeginnerBoard() {
        QCOMPARE(coveredCells(9, 9), 81 - 6);
        QCOMPARE(clueCells(9, 9), 6);
        // Numbers below and right of the board; the legend's red ships right of the numbers,
        // nothing red below the column numbers.
        const QRect rowNumbers(board_.x() + 9 * 34 + 4, board_.y(), 32, 9 * 34);
        const QRect legend(rowNumbers.right() + 4, board_.y(), 220, 190);
        QVERIFY(rowNumbers.width() > 0);
        QVERIFY(count(rowNumbers, 0xFFC0C0C0) > 1000);
        QVERIFY(count(rowNumbers, black) + count(rowNumbers, 0xFFC0C0C0) <
                rowNumbers.width() * rowNumbers.height());
        QVERIFY(count(legend, red) > 5000);
        QCOMPARE(count(QRect(board_.x(), board_.y() + 9 * 34 + 40, 300, 200), red), 0);
    }

    void solutionOnBlue() {
        key("F1", [this] { return boardCount(9, 9, blue) > 500; });
        QVERIFY(boardCount(9, 9, blue) > 500);
        QCOMPARE(clueCells(9, 9), 6);
    }

    void newGameIsCovered() {
        key("F2", [this] { return boardCount(9, 9, blue) == 0; });
        QCOMPARE(boardCount(9, 9, blue), 0);
        QCOMPARE(coveredCells(9, 9), 81 - 6);
    }

    // Level 7 fits the screen whole: with its legend below the board where the screen is tall
    // enough, else to its right.
    void level7IsWiderAndFitsTheScreen() {
        const int before = geometry_.width();
        // The window may take its new size before the new board is painted in it.
        key("alt+4", [this, before] {
            return geometry_.width() > before + 150 && coveredCells(21, 12) == 21 * 12 - 29;
        });
        QVERIFY2(geometry_.width() > before + 150, qPrintable(QString::number(geometry_.width())));
        QCOMPARE(coveredCells(21, 12), 21 * 12 - 29);
        QCOMPARE(clueCells(21, 12), 29);
        QVERIFY2(screen_.contains(geometry_), qPrintable(QStringLiteral("%1x%2 on %3x%4")
                                                             .arg(geometry_.width())
                                                             .arg(geometry_.height())
                                                             .arg(screen_.width())
                                                             .arg(screen_.height())));
        // The legend's ships below the column numbers or right of the row numbers.
        const int below = count(QRect(board_.x(), board_.y() + 12 * 34 + 40, 560, 300), red);
        const int right = count(QRect(board_.x() + 21 * 34 + 40, board_.y(), 560, 300), red);
        QVERIFY(below > 10000 || right > 10000);
    }

    void clickMakesWater() {
        int col = 0;
        while (cellPixel(col, 0, 0, 0) != black) {
            ++col;
        }
        xdotool({"mousemove", QString::number(board_.x() + col * 34 + 16),
                 QString::number(board_.y() + 16), "click", "1"});
        refreshUntil([this, col] { return cellPixel(col, 0, 16, 16) == white; });
        QCOMPARE(cellPixel(col, 0, 16, 16), white);
        QCOMPARE(cellPixel(col, 0, 0, 0), black);
    }

    // The whole board from the keyboard on the 21 x 12 board: the cursor, toggling, marks by
    // letter and by the cell's menu, undo and redo, a line number and a legend ship.
    void keyboardPlay() {
        const QRect board(board_, QSize(21 * 34, 12 * 34));
        QCOMPARE(count(board, cursorYellow), 0);  // a mouse player never sees the cursor
        key("Right", [&] { return count(board, cursorYellow) > 50; });
        QVERIFY(count(board, cursorYellow) > 50);
        // Cell (0, 0) holds the cursor; walk it to the first covered cell of row 1.
        int col = 0;
        while (cellPixel(col, 1, 16, 16) != 0xFFC0C0C0 || cellPixel(col, 1, 4, 16) != 0xFFC0C0C0) {
            ++col;
        }
        xdotool({"windowfocus", "--sync", window_});
        xdotool({"key", "--clearmodifiers", "Down"});
        for (int i = 0; i < col; ++i) {
            xdotool({"key", "--clearmodifiers", "Right"});
        }
        key("space", [&] { return cellPixel(col, 1, 16, 16) == white; });
        QCOMPARE(cellPixel(col, 1, 16, 16), white);
        const QRect cell(board_.x() + col * 34, board_.y() + 34, 32, 32);
        key("question", [&] { return count(cell, cyan) > 20; });
        QVERIFY(count(cell, cyan) > 20);
        key("e", [&] { return cellPixel(col, 1, 16, 16) == red; });
        QCOMPARE(cellPixel(col, 1, 4, 27), 0xFFC0C0C0);  // the round single ship
        key("ctrl+z", [&] { return count(cell, cyan) > 20; });
        QVERIFY(count(cell, cyan) > 20);
        key("ctrl+y", [&] { return cellPixel(col, 1, 16, 16) == red; });
        QCOMPARE(cellPixel(col, 1, 16, 16), red);
        // The cell's menu: "???", single, then the upper end, chosen with Enter.
        key("shift+F10", [] { return true; });
        xdotool({"key", "--clearmodifiers", "Down", "Down"});
        key("Return", [&] { return cellPixel(col, 1, 4, 27) == red; });
        QCOMPARE(cellPixel(col, 1, 4, 27), red);
        // Past the last column lies the row number: Space fills its covered cells with water.
        for (int i = col; i < 21; ++i) {
            xdotool({"key", "--clearmodifiers", "Right"});
        }
        const auto coveredInRow1 = [this] {
            int n = 0;
            for (int c = 0; c < 21; ++c) {
                n += cellPixel(c, 1, 0, 0) == black && cellPixel(c, 1, 16, 16) == 0xFFC0C0C0;
            }
            return n;
        };
        QVERIFY(coveredInRow1() > 0);
        key("space", [&] { return coveredInRow1() == 0; });
        QCOMPARE(coveredInRow1(), 0);
        // Tab takes the cursor to the legend; Space ticks the longest ship.
        // Below the board or right of it, as the screen allows: the whole window is looked at.
        const QRect legend = geometry_;
        key("Tab", [&] { return count(legend, cursorYellow) > 50; });
        const int blackBefore = count(legend, black);
        key("space", [&] { return count(legend, black) > blackBefore + 200; });
        QVERIFY(count(legend, black) > blackBefore + 200);
        key("ctrl+shift+z", [] { return true; });  // nothing to redo: nothing changes
        key("ctrl+z", [&] { return count(legend, black) < blackBefore + 200; });
        QVERIFY(count(legend, black) < blackBefore + 200);
        // Tab again: back to the row number the cursor came from.
        const QRect rowNumber(board_.x() + 21 * 34, board_.y() + 30, 42, 42);
        key("Tab", [&] { return count(rowNumber, cursorYellow) > 50; });
        QVERIFY(count(rowNumber, cursorYellow) > 50);
    }

    void beendenSavesTheSettings() {
        // What the board shows at the end, to be found again after the restart.
        refresh();
        boardBefore_ = shot_.copy(QRect(board_, QSize(21 * 34, 12 * 34)));
        // Open "Spiel" with a click on its title, then the last entry, "Beenden".
        xdotool({"mousemove", QString::number(geometry_.x() + 20),
                 QString::number(geometry_.y() + 8), "click", "1"});
        QTest::qWait(500);
        xdotool({"key", "Up", "Return"});
        QVERIFY2(game_.waitForFinished(10000), "the program did not end after \"Beenden\"");
        QCOMPARE(game_.exitStatus(), QProcess::NormalExit);
        QFile file(config_.filePath("Software/Quorvik.ini"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains("[Options]\nLev=7\n"), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("X1=%1\n").arg(geometry_.x())), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Y1=%1\n").arg(geometry_.y())), qPrintable(text));
        QVERIFY(text.contains("Ver=1.0.1.32"));
    }

    // Started again, the program shows the game it was closed with: the same marks, fills,
    // legend tick and clues in every cell (looked at inside the cells, where no cursor lies).
    void restartKeepsTheGame() {
        QVERIFY(!boardBefore_.isNull());
        startAgain();
        const auto differing = [this] {
            int n = 0;
            for (int c = 0; c < 21; ++c) {
                for (int r = 0; r < 12; ++r) {
                    for (int p = 8; p <= 24; p += 4) {
                        n += (boardBefore_.pixel(c * 34 + p, r * 34 + p) | 0xFF000000) !=
                             cellPixel(c, r, p, p);
                    }
                }
            }
            return n;
        };
        refreshUntil([&] { return differing() == 0; });
        QCOMPARE(differing(), 0);
    }

    // Started again while it runs, the program hands over to the running window and ends; the
    // running window starts the puzzle it was given, and keeps it in the game file.
    void secondStartHandsOver_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("bare") << QStringList();
        QTest::newRow("a puzzle number") << QStringList{"--puzzle", "7-00001234-2"};
    }
    void secondStartHandsOver() {
        QFETCH(QStringList, arguments);
        QProcess second;
        second.setProcessEnvironment(game_.processEnvironment());
        second.start(programPath, arguments);
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(game_.state(), QProcess::Running);
        const auto kept = [&] {
            QFile state(config_.filePath("Quorvik/game.state"));
            return state.open(QIODevice::ReadOnly) && state.readAll().contains("\n7-00001234-2\n");
        };
        QVERIFY(arguments.isEmpty() || refreshUntil(kept));
    }

    // A move is kept a second later even when the program is killed outright; asked to end by
    // SIGTERM at once after a move, it quits as "Beenden" does, with the move saved.
    void movesOutliveAKillAndATerm() {
        for (const bool kill : {true, false}) {
            int col = 0;
            while (col < 21 &&
                   (cellPixel(col, 3, 0, 0) != black || cellPixel(col, 3, 16, 16) != 0xFFC0C0C0)) {
                ++col;
            }
            QVERIFY(col < 21);
            xdotool({"mousemove", QString::number(board_.x() + col * 34 + 16),
                     QString::number(board_.y() + 3 * 34 + 16), "click", "1"});
            QVERIFY(refreshUntil([&] { return cellPixel(col, 3, 16, 16) == white; }));
            if (kill) {
                QTest::qWait(1000);
                game_.kill();
            } else {
                game_.terminate();
            }
            QVERIFY(game_.waitForFinished(10000));
            if (!kill) {
                QCOMPARE(game_.exitStatus(), QProcess::NormalExit);
                QCOMPARE(game_.exitCode(), 0);
            }
            startAgain();
            QVERIFY(refreshUntil([&] { return cellPixel(col, 3, 16, 16) == white; }));
        }
        game_.terminate();
        QVERIFY(game_.waitForFinished(10000));
    }

    // On an X server of its own under openbox, the maximise box (a double click on the title)
    // shows the board larger (more black frame pixels), restoring the size before; a size
    // dragged outside the maximised state goes back to the board's; with the server gone, the
    // zoom chosen is saved.
    void maximisedUnderAWindowManagerAndSavedWhenTheDisplayGoes() {
        if (QStandardPaths::findExecutable("openbox").isEmpty()) {
            QVERIFY2(qEnvironmentVariableIsEmpty("CI"), "openbox is missing");
            QSKIP("openbox is not installed");
        }
        QProcess server, manager, game;
        server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24"});
        QVERIFY(server.waitForReadyRead(10000));
        QProcessEnvironment env = game_.processEnvironment();
        env.insert("DISPLAY", ':' + server.readLine().trimmed());
        QTemporaryDir home;  // a first start: the beginner level at the normal size
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"}) {
            env.insert(name, home.path());
        }
        const auto on = [&](const QString& program, const QStringList& arguments) {
            QProcess tool;
            tool.setProcessEnvironment(env);
            tool.start(program, arguments);
            tool.waitForFinished(10000);
            return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
        };
        manager.setProcessEnvironment(env);
        game.setProcessEnvironment(env);
        // Ready once it names itself on the root window. With other servers starting beside it,
        // the manager now and then cannot open the new display at once: it is started again.
        QTRY_VERIFY_WITH_TIMEOUT(
            manager.state() == QProcess::NotRunning
                ? (manager.start("openbox", {}), false)
                : on("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id"),
            20000);
        game.start(programPath, {});
        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(
            !(window = on("xdotool", {"search", "--onlyvisible", "--name", "^Quorvik$"})).isEmpty(),
            20000);
        const auto info = [&](const QString& field) {
            return QRegularExpression(field + ":\\s+(-?\\d+)")
                .match(on("xwininfo", {"-id", window}))
                .captured(1)
                .toInt();
        };
        const auto blackInWindow = [&] {
            on("import", {"-window", "root", home.filePath("own.png")});
            shot_ = QImage(home.filePath("own.png")).convertToFormat(QImage::Format_RGB32);
            return count(QRect(info("Absolute upper-left X"), info("Absolute upper-left Y"),
                               info("Width"), info("Height")),
                         black);
        };
        const QStringList toggleMaximised{"mousemove", "--window", window, "60", "-10",
                                          "click",     "--repeat", "2",    "1"};
        const int normal = info("Width");
        on("xdotool", {"windowactivate", "--sync", window, "key", "ctrl+plus"});
        QTRY_VERIFY_WITH_TIMEOUT(info("Width") > normal, 10000);
        const int zoomed = info("Width");
        const int zoomedBlack = blackInWindow();
        on("xdotool", toggleMaximised);
        QTRY_VERIFY_WITH_TIMEOUT(info("Width") > 1200 && blackInWindow() > zoomedBlack * 3 / 2,
                                 10000);
        on("xdotool", toggleMaximised);
        QTRY_COMPARE_WITH_TIMEOUT(info("Width"), zoomed, 10000);
        on("xdotool", {"windowsize", "--sync", window, "1100", "900"});  // as a drag would
        QTRY_COMPARE_WITH_TIMEOUT(info("Width"), zoomed, 10000);
        server.terminate();
        QVERIFY(game.waitForFinished(10000) && manager.waitForFinished(10000));
        QFile file(home.filePath("Software/Quorvik.ini"));
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll().contains("Zoom=115\n"));
    }

    void cleanupTestCase() {
        if (game_.state() != QProcess::NotRunning) {
            game_.kill();
            game_.waitForFinished();
        }
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QStringList arguments = app.arguments();
    if (arguments.size() > 1 && !arguments[1].startsWith('-')) {
        programPath = arguments.takeAt(1);
    }
    TestRealWindow test;
    return QTest::qExec(&test, arguments);
}

#include "tst_RealWindow.moc"
