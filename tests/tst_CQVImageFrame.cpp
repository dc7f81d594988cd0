// The cell element: the commands its clicks and its menu send to the window, the refusals,
// the picture it keeps between draws, its hint and its sharp drawing on dense screens.
#include <QtTest>

#include <QContextMenuEvent>
#include <QMenu>
#include <QToolTip>

#include <functional>
#include <memory>

#include "CQVImageFrame.h"
#include "QVMessages.h"
#include "TileImageSet.h"

using namespace quorvik;

namespace {

// Stands in for the main window: records every cell command as "a,b,code".
class RecordingWindow : public QWidget {
public:
    QStringList commands;
    std::function<void()> onCommand;

protected:
    bool event(QEvent* e) override {
        if (e->type() != CellCommandEvent::eventType) {
            return QWidget::event(e);
        }
        const auto* c = static_cast<CellCommandEvent*>(e);
        commands << QStringLiteral("%1,%2,%3").arg(c->a()).arg(c->b()).arg(c->lParam());
        if (onCommand) {
            onCommand();
        }
        return true;
    }
};

void click(TQVImageFrame& frame) {
    QTest::mouseClick(frame.Image1(), Qt::LeftButton);
}

}  // namespace

class TestCQVImageFrame : public QObject {
    Q_OBJECT

    std::unique_ptr<TileImageSet> set;
    std::unique_ptr<RecordingWindow> window;
    TQVImageFrame* frame = nullptr;

private slots:
    void initTestCase() { set = std::make_unique<TileImageSet>(); }
    void init() {
        set->setBackground(Background::Silver);
        window = std::make_unique<RecordingWindow>();
        frame = new TQVImageFrame(window.get());
    }
    void cleanup() { window.reset(); }

    void layout() {
        QCOMPARE(frame->size(), QSize(34, 34));
        QCOMPARE(frame->frameStyle(), int(QFrame::Panel | QFrame::Raised));
        QCOMPARE(frame->lineWidth(), 1);
        QCOMPARE(frame->Image1()->geometry(), QRect(1, 1, 32, 32));
        QVERIFY(frame->findChild<QMenu*>() == nullptr);  // built on the first right click
    }

    // One left click per role; the window already sees the element turned over.
    void leftClick_data() {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("colElement");
        QTest::addColumn<bool>("legend");
        QTest::addColumn<bool>("covered");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("coveredAfter");
        QTest::newRow("grid cell") << 3 << 5 << false << false << true << "3,5,35" << true;
        QTest::newRow("grid 30,30") << 30 << 30 << false << false << false << "30,30,35" << false;
        QTest::newRow("grid before legend") << 2 << 4 << false << true << true << "2,4,35" << true;
        QTest::newRow("column covered") << 4 << -1 << true << false << true << "4,1,37" << false;
        QTest::newRow("column open") << 4 << -1 << true << false << false << "4,0,37" << true;
        QTest::newRow("column before legend")
            << 6 << -1 << true << true << true << "6,1,37" << false;
        QTest::newRow("row covered") << -1 << 7 << false << false << true << "7,1,36" << false;
        QTest::newRow("row open") << -1 << 7 << false << false << false << "7,0,36" << true;
        QTest::newRow("legend ticks") << -1 << -1 << false << true << false << "2,1,38" << true;
        QTest::newRow("legend unticks") << -1 << -1 << false << true << true << "2,1,39" << false;
    }
    void leftClick() {
        QFETCH(int, col);
        QFETCH(int, row);
        QFETCH(bool, colElement);
        QFETCH(bool, legend);
        QFETCH(bool, covered);
        QFETCH(QString, command);
        QFETCH(bool, coveredAfter);
        frame->setCol(col);
        frame->setRow(row);
        frame->setIsColElement(colElement);
        frame->setIsLegend(legend);
        frame->setIsCovered(covered);
        frame->setShipNo(2);
        frame->setShipRow(1);
        bool turnedOverFirst = false;
        window->onCommand = [&] { turnedOverFirst = frame->IsCovered() == coveredAfter; };
        click(*frame);
        QCOMPARE(window->commands, QStringList{command});
        QVERIFY(turnedOverFirst);
        QCOMPARE(frame->IsCovered(), coveredAfter);
    }

    // Clues refuse clicks and menu entries; an element without a window has no one to tell;
    // only a grid cell's menu may name a cell.
    void sendsNothing_data() {
        QTest::addColumn<bool>("clue");
        QTest::addColumn<bool>("inWindow");
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("clue, click") << true << true << 2 << false;
        QTest::newRow("clue, menu") << true << true << 2 << true;
        QTest::newRow("no window, click") << false << false << -1 << false;
        QTest::newRow("no window, menu") << false << false << 2 << true;
        QTest::newRow("no cell, menu") << false << true << -1 << true;
    }
    void sendsNothing() {
        QFETCH(bool, clue);
        QFETCH(bool, inWindow);
        QFETCH(int, col);
        QFETCH(bool, byMenu);
        TQVImageFrame alone;
        TQVImageFrame* f = inWindow ? frame : &alone;
        f->setImageList(set.get());
        f->setCol(col);
        f->setRow(col < 0 ? -1 : 3);
        f->setIsFixed(clue);
        f->setImageIndex(imgShipLeft);
        const QImage before = f->picture();
        if (byMenu) {
            f->PopupMenu1()->actions().at(1)->trigger();
        } else {
            click(*f);
        }
        QVERIFY(window->commands.isEmpty());
        QCOMPARE(f->IsCovered(), true);
        QCOMPARE(f->ImageIndex(), int(imgShipLeft));
        QCOMPARE(f->picture(), before);
    }

    void menuEntry_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("code");
        const char* ship = "Schiff";
        QTest::newRow("question") << 0 << "TMIFrage_1"
                                  << "???" << 32;
        QTest::newRow("single") << 1 << "TMISchiff_1" << ship << 20;
        QTest::newRow("upper end") << 2 << "TMISchiff_5" << ship << 24;
        QTest::newRow("left end") << 3 << "TMISchiff_3" << ship << 22;
        QTest::newRow("middle") << 4 << "TMISchiff_6" << ship << 25;
        QTest::newRow("right end") << 5 << "TMISchiff_4" << ship << 23;
        QTest::newRow("lower end") << 6 << "TMISchiff_2" << ship << 21;
    }
    void menuEntry() {
        QFETCH(int, position);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(int, code);
        frame->setImageList(set.get());
        frame->setCol(9);
        frame->setRow(4);
        const QList<QAction*> actions = frame->PopupMenu1()->actions();
        QCOMPARE(actions.size(), 7);
        QAction* action = actions.at(position);
        QCOMPARE(action->objectName(), name);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->icon().cacheKey(), set->menuIcon(code).cacheKey());
        // Chosen by the key shown beside it.
        frame->PopupMenu1()->popup(QPoint());
        QTest::keyClick(frame->PopupMenu1(), action->shortcut()[0].key());
        QCOMPARE(window->commands, QStringList{QStringLiteral("9,4,%1").arg(code)});
        QCOMPARE(frame->ImageIndex(), int(imgCovered));  // the window decides, not the element
    }

    // The menu opens on a right click on grid cells only, and only while it is switched on.
    void menuOpens_data() {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("opens");
        QTest::newRow("grid cell") << 1 << 1 << true << true;
        QTest::newRow("grid cell, menu off") << 1 << 1 << false << false;
        QTest::newRow("column number") << 1 << -1 << true << false;
        QTest::newRow("legend entry") << -1 << -1 << true << false;
    }
    void menuOpens() {
        QFETCH(int, col);
        QFETCH(int, row);
        QFETCH(bool, enabled);
        QFETCH(bool, opens);
        frame->setCol(col);
        frame->setRow(row);
        frame->setContextMenuEnabled(enabled);
        window->show();
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5),
                                     frame->Image1()->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(frame->Image1(), &rightClick);
        auto* menu = frame->findChild<QMenu*>();
        QCOMPARE(menu != nullptr && menu->isVisible(), opens);
        if (menu != nullptr) {
            menu->hide();
        }
        // A closed menu is released: kept for every cell, menus grew with play.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(frame->findChild<QMenu*>() == nullptr);
    }

    // An entry chosen in the open menu still reaches the window, and the menu goes after it.
    void entryChosenInOpenMenu() {
        frame->setCol(2);
        frame->setRow(6);
        window->show();
        for (int round = 0; round < 2; ++round) {
            QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5),
                                         frame->Image1()->mapToGlobal(QPoint(5, 5)));
            QCoreApplication::sendEvent(frame->Image1(), &rightClick);
            auto* menu = frame->findChild<QMenu*>();
            QVERIFY(menu != nullptr && menu->isVisible());
            QAction* single = menu->actions().at(1);
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(single).center());
            QCOMPARE(window->commands.size(), round + 1);
            QCOMPARE(window->commands.last(), QStringLiteral("2,6,20"));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(frame->findChild<QMenu*>() == nullptr);
        }
    }

    // P press, R release, D double click, O release outside, X right click.
    void mouseSequences_data() {
        QTest::addColumn<QString>("sequence");
        QTest::addColumn<int>("commands");
        QTest::newRow("click") << "PR" << 1;
        QTest::newRow("two clicks") << "PRPR" << 2;
        QTest::newRow("double click") << "PRDR" << 1;
        QTest::newRow("double click with second press") << "PRPDR" << 1;
        QTest::newRow("released outside") << "PO" << 0;
        QTest::newRow("release alone") << "R" << 0;
        QTest::newRow("right button") << "X" << 0;
    }
    void mouseSequences() {
        QFETCH(QString, sequence);
        QFETCH(int, commands);
        frame->setCol(0);
        frame->setRow(0);
        QWidget* image = frame->Image1();
        for (QChar step : sequence) {
            if (step == 'P') {
                QTest::mousePress(image, Qt::LeftButton);
            } else if (step == 'R') {
                QTest::mouseRelease(image, Qt::LeftButton);
            } else if (step == 'D') {
                QTest::mouseDClick(image, Qt::LeftButton);
            } else if (step == 'O') {
                QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(40, 40));
            } else {
                QTest::mouseClick(image, Qt::RightButton);
            }
        }
        QCOMPARE(window->commands.size(), commands);
    }

    void flagsExclude_data() {
        QTest::addColumn<bool>("column");
        QTest::addColumn<bool>("value");
        QTest::newRow("column on") << true << true;
        QTest::newRow("column off") << true << false;
        QTest::newRow("row on") << false << true;
        QTest::newRow("row off") << false << false;
    }
    void flagsExclude() {
        QFETCH(bool, column);
        QFETCH(bool, value);
        frame->setIsColElement(!value);
        frame->setIsRowElement(!value);
        column ? frame->setIsColElement(value) : frame->setIsRowElement(value);
        QCOMPARE(frame->IsColElement(), column == value);
        QCOMPARE(frame->IsRowElement(), column != value);
    }

    // A code without a picture is stored and the picture stays.
    void drawing_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("draws");
        QTest::newRow("index 28") << "index" << 28 << true;
        QTest::newRow("index 33") << "index" << 33 << true;
        QTest::newRow("index 34") << "index" << 34 << false;
        QTest::newRow("index 40") << "index" << 40 << false;
        QTest::newRow("index -1") << "index" << -1 << false;
    }
    void drawing() {
        QFETCH(QString, way);
        QFETCH(int, code);
        QFETCH(bool, draws);
        frame->setImageList(set.get());
        frame->setImageIndex(imgShipLeft);
        const QImage before = frame->picture();
        QImage expected;
        QVERIFY(way == "index");
        frame->setImageIndex(code);
        set->DrawPicture(code, expected);
        QCOMPARE(frame->ImageIndex(), code);
        QCOMPARE(frame->picture(), draws ? expected : before);
    }

    // Attaching draws the current code; detached, a new code is stored and not drawn.
    void attachAndDetach() {
        frame->setImageIndex(imgWater);
        QVERIFY(frame->picture().isNull());
        frame->setImageList(set.get());
        QImage water;
        set->DrawPicture(imgWater, water);
        QCOMPARE(frame->picture(), water);
        frame->setImageList(nullptr);
        frame->setImageIndex(imgShipSingle);
        QCOMPARE(frame->picture(), water);
    }

    // The picture persists: a mark drawn with no background lies over the segment.
    void markOverSegment() {
        frame->setImageList(set.get());
        frame->setImageIndex(imgShipSingle);
        QImage expected = frame->picture().copy();
        set->setBackground(Background::None);
        frame->setImageIndex(imgWrongMark);
        set->DrawPicture(imgWrongMark, expected);
        QCOMPARE(frame->picture(), expected);
        QCOMPARE(frame->picture().pixel(2, 16), QRgb(0xFFFF0000));  // the circle beside the cross
    }

    // The element shows a copy of the model's state: a refresh replaces the copy and its
    // picture, whatever the element showed before, and the next click sends from the copy.
    void refreshShowsTheModelsCopy() {
        frame->setImageList(set.get());
        set->setBackground(Background::Blue);
        frame->setImageIndex(imgShipSingle);  // a picture on blue, left over from before
        set->setBackground(Background::Silver);
        ElementState model;
        model.Col = 5;
        model.SetIsColElement(true);
        model.ImageIndex = 3;
        frame->setPlace(ElementRef::column(5));
        frame->refresh(model, *set);
        QImage three;
        set->DrawNumber(3, three);
        QCOMPARE(frame->picture(), three);
        click(*frame);
        QCOMPARE(window->commands, QStringList{"5,1,37"});
        // The click turned the copy over, never the model's state.
        QVERIFY(!frame->IsCovered());
        QVERIFY(model.IsCovered);
        frame->refresh(model, *set);
        QVERIFY(frame->IsCovered());
    }

    void hint_data() {
        QTest::addColumn<bool>("show");
        QTest::addColumn<QString>("expected");
        QTest::newRow("hints off") << false << QString();
        QTest::newRow("hints on") << true << QStringLiteral("Spaltensumme: 3");
    }
    void hint() {
        QFETCH(bool, show);
        QFETCH(QString, expected);
        QCOMPARE(frame->Hint(), QStringLiteral("Summe: 0"));
        frame->setShowHint(show);
        frame->setHint(QStringLiteral("Spaltensumme: 3"));  // the sums changed after hints were on
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QWidget* image = frame->Image1();
        QHelpEvent ask(QEvent::ToolTip, QPoint(4, 4), image->mapToGlobal(QPoint(4, 4)));
        QCoreApplication::sendEvent(image, &ask);
        QCOMPARE(QToolTip::text(), expected);
        QToolTip::hideText();
    }

    // At a device pixel ratio of 2 every picture pixel becomes a 2 x 2 block of its own colour.
    void sharpOnDenseScreens() {
        frame->setImageList(set.get());
        frame->setImageIndex(imgShipSingle);
        QImage rendered(64, 64, QImage::Format_RGB32);
        rendered.setDevicePixelRatio(2.0);
        rendered.fill(Qt::green);
        frame->Image1()->render(&rendered);
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                QCOMPARE(rendered.pixel(x, y), frame->picture().pixel(x / 2, y / 2));
            }
        }
    }
};

QTEST_MAIN(TestCQVImageFrame)
#include "tst_CQVImageFrame.moc"
