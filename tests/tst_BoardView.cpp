// The painted board: which element a click finds and reports, the cell menu and its entries,
// mouse sequences, the numbers' hints, sharp pictures on dense screens, and what assistive
// technology reads of the elements.
#include <QtTest>

#include <QAccessible>
#include <QContextMenuEvent>
#include <QMenu>
#include <QToolTip>

#include <memory>

#include "BoardAccessible.h"
#include "BoardView.h"
#include "TileImageSet.h"

using namespace quorvik;

Q_DECLARE_METATYPE(quorvik::ElementRef)

namespace {

QString named(const ElementRef& e) {
    return QStringLiteral("%1:%2,%3,%4").arg(int(e.kind)).arg(e.a).arg(e.b).arg(e.c);
}

QList<QAccessibleInterface*> focusEventTargets;
void recordFocusEvent(QAccessibleEvent* event) {
    if (event->type() == QAccessible::Focus) {
        focusEventTargets << event->accessibleInterface();
    }
}

}  // namespace

class TestBoardView : public QObject {
    Q_OBJECT

    std::unique_ptr<TileImageSet> set;
    ShipGame game;
    std::unique_ptr<QWidget> window;
    BoardView* board = nullptr;
    QStringList reported;

    QPoint centre(const ElementRef& e) const { return board->elementRect(e).center(); }

private slots:
    void initTestCase() {
        set = std::make_unique<TileImageSet>();
        QVERIFY(game.newGameFromSeed(4, 4711));
    }
    void init() {
        window = std::make_unique<QWidget>();
        board = new BoardView(game, *set, window.get());
        board->build(34, LegendPlace::Right);
        reported.clear();
        connect(board, &BoardView::elementActivated, this,
                [this](const ElementRef& e) { reported << named(e); });
        connect(board, &BoardView::markChosen, this, [this](const ElementRef& e, Mark mark) {
            reported << named(e) + QStringLiteral(" #%1").arg(int(mark));
        });
    }
    void cleanup() { window.reset(); }

    // A left click on an element's picture reports the element; bevels, gaps and the space
    // beyond the board report nothing.
    void leftClick_data() {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, QPoint at, const ElementRef& e) {
            QTest::newRow(name) << at << named(e);
        };
        row("grid cell", {4 + 2 + 3 * 34 + 17, 4 + 2 + 5 * 34 + 17}, ElementRef::grid(3, 5));
        row("grid cell, first pixel", {4 + 2 + 1, 4 + 2 + 1}, ElementRef::grid(0, 0));
        row("grid cell, last pixel", {4 + 2 + 8 * 34 + 32, 4 + 2 + 32}, ElementRef::grid(8, 0));
        row("column number", {4 + 2 + 4 * 34 + 10, 4 + 310 + 2 + 10}, ElementRef::column(4));
        row("row number", {4 + 310 + 2 + 10, 4 + 2 + 7 * 34 + 10}, ElementRef::row(7));
        row("legend, second ship", {4 + 310 + 38 + 4 + 3 * 34 + 8 + 34 + 5, 4 + 26 + 42 + 5},
            ElementRef::legend(1, 1, 1));
        row("legend, single", {4 + 310 + 38 + 4 + 3 * 42 + 5, 4 + 26 + 3 * 42 + 5},
            ElementRef::legend(3, 3, 0));
        QTest::newRow("bevel") << QPoint(4 + 2 + 34, 30) << QString();
        QTest::newRow("panel border") << QPoint(5, 30) << QString();
        QTest::newRow("between ships")
            << QPoint(4 + 310 + 38 + 4 + 4 * 34 + 3, 4 + 26 + 5) << QString();
        QTest::newRow("heading") << QPoint(4 + 310 + 38 + 10, 10) << QString();
        QTest::newRow("corner of the numbers") << QPoint(4 + 310 + 10, 4 + 310 + 10) << QString();
    }
    void leftClick() {
        QFETCH(QPoint, at);
        QFETCH(QString, expected);
        QTest::mouseClick(board, Qt::LeftButton, {}, at);
        QCOMPARE(reported, expected.isEmpty() ? QStringList() : QStringList{expected});
    }

    void menuEntry_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("mark");
        const char* ship = "Schiff";
        QTest::newRow("question") << 0 << "TMIFrage_1"
                                  << "???" << int(Mark::Segment);
        QTest::newRow("single") << 1 << "TMISchiff_1" << ship << int(Mark::Single);
        QTest::newRow("upper end") << 2 << "TMISchiff_5" << ship << int(Mark::Top);
        QTest::newRow("left end") << 3 << "TMISchiff_3" << ship << int(Mark::Left);
        QTest::newRow("middle") << 4 << "TMISchiff_6" << ship << int(Mark::Middle);
        QTest::newRow("right end") << 5 << "TMISchiff_4" << ship << int(Mark::Right);
        QTest::newRow("lower end") << 6 << "TMISchiff_2" << ship << int(Mark::Bottom);
    }
    void menuEntry() {
        QFETCH(int, position);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(int, mark);
        QMenu* menu = board->cellMenu(ElementRef::grid(8, 4));
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.size(), 7);
        QAction* action = actions.at(position);
        QCOMPARE(action->objectName(), name);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->icon().cacheKey(), set->menuIcon(Mark(mark)).cacheKey());
        // Chosen by the key shown beside it.
        menu->popup(QPoint());
        QTest::keyClick(menu, action->shortcut()[0].key());
        QCOMPARE(reported,
                 QStringList{named(ElementRef::grid(8, 4)) + QStringLiteral(" #%1").arg(mark)});
    }

    // The menu opens on a right click on grid cells only; a closed menu is released.
    void menuOpens_data() {
        QTest::addColumn<ElementRef>("element");
        QTest::addColumn<bool>("opens");
        QTest::newRow("grid cell") << ElementRef::grid(1, 1) << true;
        QTest::newRow("column number") << ElementRef::column(1) << false;
        QTest::newRow("legend entry") << ElementRef::legend(0, 0, 1) << false;
    }
    void menuOpens() {
        QFETCH(ElementRef, element);
        QFETCH(bool, opens);
        window->show();
        for (int round = 0; round < 2; ++round) {
            QContextMenuEvent rightClick(QContextMenuEvent::Mouse, centre(element),
                                         board->mapToGlobal(centre(element)));
            QCoreApplication::sendEvent(board, &rightClick);
            auto* menu = board->findChild<QMenu*>();
            QCOMPARE(menu != nullptr && menu->isVisible(), opens);
            if (menu != nullptr) {
                // An entry chosen in the open menu reaches the window, and the menu goes.
                QAction* single = menu->actions().at(1);
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(single).center());
                QCOMPARE(reported.size(), round + 1);
                QCOMPARE(reported.last(),
                         named(element) + QStringLiteral(" #%1").arg(int(Mark::Single)));
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(board->findChild<QMenu*>() == nullptr);
        }
    }

    // P press, R release, D double click, O release on another element, X right click.
    void mouseSequences_data() {
        QTest::addColumn<QString>("sequence");
        QTest::addColumn<int>("clicks");
        QTest::newRow("click") << "PR" << 1;
        QTest::newRow("two clicks") << "PRPR" << 2;
        QTest::newRow("double click") << "PRDR" << 1;
        QTest::newRow("double click with second press") << "PRPDR" << 1;
        QTest::newRow("released elsewhere") << "PO" << 0;
        QTest::newRow("release alone") << "R" << 0;
        QTest::newRow("right button") << "X" << 0;
    }
    void mouseSequences() {
        QFETCH(QString, sequence);
        QFETCH(int, clicks);
        const QPoint at = centre(ElementRef::grid(0, 0));
        for (QChar step : sequence) {
            if (step == 'P') {
                QTest::mousePress(board, Qt::LeftButton, {}, at);
            } else if (step == 'R') {
                QTest::mouseRelease(board, Qt::LeftButton, {}, at);
            } else if (step == 'D') {
                QTest::mouseDClick(board, Qt::LeftButton, {}, at);
            } else if (step == 'O') {
                QTest::mouseRelease(board, Qt::LeftButton, {}, centre(ElementRef::grid(1, 0)));
            } else {
                QTest::mouseClick(board, Qt::RightButton, {}, at);
            }
        }
        QCOMPARE(reported.size(), clicks);
    }

    // Numbers hint at their line's sum; other elements have no hint.
    void hint_data() {
        QTest::addColumn<ElementRef>("element");
        QTest::addColumn<QString>("expected");
        QTest::newRow("grid cell") << ElementRef::grid(2, 2) << QString();
        QTest::newRow("column") << ElementRef::column(3) << QStringLiteral("Spaltensumme: %1");
        QTest::newRow("row") << ElementRef::row(6) << QStringLiteral("Zeilensumme: %1");
    }
    void hint() {
        QFETCH(ElementRef, element);
        QFETCH(QString, expected);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QHelpEvent ask(QEvent::ToolTip, centre(element), board->mapToGlobal(centre(element)));
        QCoreApplication::sendEvent(board, &ask);
        QCOMPARE(QToolTip::text(),
                 expected.isEmpty() ? expected : expected.arg(game.element(element)->markCount));
        QToolTip::hideText();
    }

    // At a device pixel ratio of 2 every picture pixel becomes a 2 x 2 block of its own colour.
    void sharpOnDenseScreens() {
        const ElementRef cell = ElementRef::grid(2, 3);
        const QRect area = board->elementRect(cell).adjusted(1, 1, -1, -1);
        QImage rendered(board->size() * 2, QImage::Format_RGB32);
        rendered.setDevicePixelRatio(2.0);
        rendered.fill(Qt::green);
        board->render(&rendered);
        const QImage picture = board->picture(cell);
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                QCOMPARE(rendered.pixel(2 * area.left() + x, 2 * area.top() + y),
                         picture.pixel(x / 2, y / 2));
            }
        }
    }

    // Assistive technology finds every cell, number and legend ship by name and role, and the
    // keyboard cursor moves its focus.
    void accessibleElements_data() {
        QTest::addColumn<ElementRef>("element");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::newRow("covered cell")
            << ElementRef::grid(4, 2) << int(QAccessible::Cell) << "Zeile 3, Spalte 5: verdeckt";
        QTest::newRow("column") << ElementRef::column(0) << int(QAccessible::Button)
                                << QStringLiteral("Spaltensumme %1, davon %2 markiert");
        QTest::newRow("cruiser") << ElementRef::legend(1, 1, 0) << int(QAccessible::CheckBox)
                                 << "Kreuzer";
        QTest::newRow("boat") << ElementRef::legend(3, 2, 0) << int(QAccessible::CheckBox)
                              << "Boot";
    }
    void accessibleElements() {
        QFETCH(ElementRef, element);
        QFETCH(int, role);
        QFETCH(QString, name);
        if (name.contains(QLatin1Char('%'))) {
            name = name.arg(game.element(element)->number).arg(game.element(element)->markCount);
        }
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(board);
        QVERIFY(view != nullptr);
        // 81 cells, 18 numbers, 10 ships besides the widgets in the view.
        QVERIFY(view->childCount() >= 109);
        QAccessibleInterface* found = nullptr;
        for (int i = 0; i < view->childCount() && found == nullptr; ++i) {
            QAccessibleInterface* child = view->child(i);
            if (child != nullptr && child->text(QAccessible::Name) == name &&
                child->rect().center() == board->mapToGlobal(board->frameRect(element).center())) {
                found = child;
            }
        }
        QVERIFY2(found != nullptr, qPrintable(name));
        QCOMPARE(int(found->role()), role);
        QCOMPARE(view->indexOfChild(found) >= 0, true);
        QCOMPARE(found->parent(), view);

        // The cursor's element is the board's focus, and assistive technology is told so.
        focusEventTargets.clear();
        deliverAccessibleEvent = recordFocusEvent;
        board->setFrames(FrameKind::Cursor, {element});
        deliverAccessibleEvent = QAccessible::updateAccessibility;
        QVERIFY(found->state().focused);
        QCOMPARE(view->focusChild(), found);
        QCOMPARE(focusEventTargets, QList<QAccessibleInterface*>{found});
    }
};

QTEST_MAIN(TestBoardView)
#include "tst_BoardView.moc"
