// The main window's fit on its screens: the legend's side for a screen too small for the level's
// own layout, and the start position that keeps the menu bar within reach.
#include <QtTest>

#include <climits>

#include "BoardView.h"
#include "ScreenFit.h"

using namespace quorvik;

namespace {

// Outer sizes of the main window without a frame, for levels 6 and 7 with the legend below and
// to the right of the board.
constexpr QSize level7Below(772, 804);
constexpr QSize level7Right(1348, 488);
constexpr QSize level6Right(906, 590);
constexpr QSize level6Below(466, 864);

// A desk screen and a laptop screen to its right, lower than it; the beginner window and the
// handle of its menu bar.
constexpr QRect desk(0, 0, 1920, 1200);
constexpr QRect laptop(1920, 0, 1366, 768);
constexpr QSize window(592, 386);
constexpr QRect handle(0, 0, 65, 19);

}  // namespace

class TestScreenFit : public QObject {
    Q_OBJECT

private slots:
    void legendSideFollowsTheScreen_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<QSize>("below");
        QTest::addColumn<QSize>("right");
        QTest::addColumn<QSize>("available");
        QTest::addColumn<bool>("expectBelow");
        QTest::newRow("level 7 fits a 1920x1200 screen as it is")
            << 7 << level7Below << level7Right << desk.size() << true;
        QTest::newRow("level 7 on 1366x768: to the right")
            << 7 << level7Below << level7Right << laptop.size() << false;
        QTest::newRow("level 7 on 1024x768: neither fits, below stays")
            << 7 << level7Below << level7Right << QSize(1024, 768) << true;
        QTest::newRow("exactly as tall as the area fits")
            << 8 << QSize(772, 768) << level7Right << laptop.size() << true;
        QTest::newRow("one pixel too wide to the right")
            << 8 << QSize(776, 800) << QSize(1367, 488) << laptop.size() << true;
        QTest::newRow("level 6 keeps it right even where below would fit")
            << 6 << level6Below << level6Right << QSize(800, 1280) << false;
    }
    void legendSideFollowsTheScreen() {
        QFETCH(int, level);
        QFETCH(QSize, below);
        QFETCH(QSize, right);
        QFETCH(QSize, available);
        QFETCH(bool, expectBelow);
        QCOMPARE(
            legendSide(levelInfo(level).legendPlace, below, right, available) == LegendPlace::Below,
            expectBelow);
    }

    // The largest zoom up to the normal size at which the window fits, at every level, on the
    // small screens players have: around the board a 20-pixel title bar, a 21-pixel menu bar,
    // the margins and a helps' bar of 40.
    void fitOnSmallScreens_data() {
        QTest::addColumn<QSize>("available");
        QTest::addColumn<QList<int>>("zooms");  // levels 4 to 8
        QTest::newRow("1024x768") << QSize(1024, 768) << QList<int>{100, 100, 100, 80, 80};
        QTest::newRow("1280x720") << QSize(1280, 720) << QList<int>{100, 100, 100, 90, 70};
        QTest::newRow("1366x768") << QSize(1366, 768) << QList<int>{100, 100, 100, 100, 80};
    }
    void fitOnSmallScreens() {
        QFETCH(QSize, available);
        QFETCH(QList<int>, zooms);
        for (int level = minLevel; level <= maxLevel; ++level) {
            const auto outer = [level, available](int zoom) {
                const BoardMetrics metrics{pitchForZoom(zoom)};
                const QSize around(8, 12 + 21 + 20 + 40);
                const QSize below = metrics.board(level, LegendPlace::Below) + around;
                const QSize right = metrics.board(level, LegendPlace::Right) + around;
                return legendSide(levelInfo(level).legendPlace, below, right, available) ==
                               LegendPlace::Below
                           ? below
                           : right;
            };
            const int zoom = fittingZoom(zoomSteps, normalZoom, outer, available);
            QCOMPARE(zoom, zooms[level - minLevel]);
            QVERIFY(fitsWithin(outer(zoom), available));
            const auto* next = std::upper_bound(zoomSteps.begin(), zoomSteps.end(), zoom);
            QVERIFY(zoom == normalZoom || !fitsWithin(outer(*next), available));
        }
        // Above the chosen zoom nothing is tried; where nothing fits, the smallest step.
        QCOMPARE(fittingZoom(
                     zoomSteps, 90, [](int) { return QSize(10, 10); }, available),
                 90);
        QCOMPARE(fittingZoom(
                     zoomSteps, 200, [](int) { return QSize(9999, 10); }, available),
                 60);
    }

    void reachablePosition_data() {
        QTest::addColumn<QPoint>("stored");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QList<QRect>>("areas");
        QTest::addColumn<QRect>("primary");
        QTest::addColumn<QPoint>("expected");
        const QList<QRect> both{desk, laptop};
        // The last places that keep the beginner window whole on the desk screen.
        const int right = 1920 - 592;
        const int bottom = 1200 - 386;
        QTest::newRow("on the primary screen")
            << QPoint(5, 5) << window << both << desk << QPoint(5, 5);
        QTest::newRow("menu bar across two screens")
            << QPoint(1900, 100) << window << both << desk << QPoint(1900, 100);
        QTest::newRow("whole handle at the right edge, window beyond")
            << QPoint(3286 - 65, 5) << window << both << desk << QPoint(3286 - 65, 5);
        QTest::newRow("handle one pixel past the right edge")
            << QPoint(3286 - 64, 5) << window << both << desk << QPoint(right, 5);
        QTest::newRow("one pixel left of the screens")
            << QPoint(-1, 5) << window << both << desk << QPoint(0, 5);
        QTest::newRow("below the lower screen, beside the taller")
            << QPoint(2000, 900) << window << both << desk << QPoint(right, bottom);
        QTest::newRow("menu bar below the lower edge")
            << QPoint(5, 1190) << window << both << desk << QPoint(5, bottom);
        QTest::newRow("a monitor removed")
            << QPoint(2000, 100) << window << QList<QRect>{desk} << desk << QPoint(right, 100);
        QTest::newRow("under a panel at the top")
            << QPoint(5, 5) << window << QList<QRect>{QRect(0, 30, 1920, 1170)}
            << QRect(0, 30, 1920, 1170) << QPoint(5, 30);
        // X11 would keep 99999 in 16 bits as -31073, off every screen too.
        QTest::newRow("99999") << QPoint(99999, 99999) << window << both << desk
                               << QPoint(right, bottom);
        QTest::newRow("largest int")
            << QPoint(INT_MAX, INT_MAX) << window << both << desk << QPoint(right, bottom);
        QTest::newRow("smallest int")
            << QPoint(INT_MIN, INT_MIN) << window << both << desk << QPoint(0, 0);
        QTest::newRow("window larger than the primary screen, top left first")
            << QPoint(99999, 5) << QSize(2000, 1300) << both << desk << QPoint(0, 0);
        QTest::newRow("no screen known: stays")
            << QPoint(99999, 5) << window << QList<QRect>{} << QRect() << QPoint(99999, 5);
    }
    void reachablePosition() {
        QFETCH(QPoint, stored);
        QFETCH(QSize, size);
        QFETCH(QList<QRect>, areas);
        QFETCH(QRect, primary);
        QFETCH(QPoint, expected);
        QCOMPARE(quorvik::reachablePosition(stored, size, handle, areas, primary), expected);
    }
};

QTEST_GUILESS_MAIN(TestScreenFit)
#include "tst_ScreenFit.moc"
