// The manual window: its text line for line, the placing rule over the main window, modal
// showing, and re-wrapping the text when the window is resized.
#include <QtTest>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include "ManualWindow.h"

using namespace quorvik;

class TestManualWindow : public QObject {
    Q_OBJECT

private slots:
    void lines_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("title") << 1 << "Kurzanleitung Quorvik";
        QTest::newRow("blank 2") << 2 << "";
        QTest::newRow("umlaut") << 3
                                << "Ziel des Spiels ist es, die von Quorvik in einem Raster "
                                   "versteckten Schiffsmodelle unterschiedlicher Länge zu "
                                   "bestimmen.";
        QTest::newRow("Rechtsklick")
            << 8
            << "Ein Linksklick auf ein Rasterfeld invertiert dieses Feld zwischen Wasser und "
               "verdeckt. Ein Rechtsklick auf ein Rasterfeld zeigt ein Menü für Schiffselemente.";
        QTest::newRow("blank 13") << 13 << "";
        QTest::newRow("blank 15") << 15 << "";
        QTest::newRow("Hinweis") << 16 << "Hinweis:";
    }
    void lines() {
        QFETCH(int, line);
        QFETCH(QString, text);
        ManualWindow form;
        const QTextDocument* document = form.textView()->document();
        QCOMPARE(document->blockCount(), 17);  // one paragraph per line, none split or joined
        QCOMPARE(document->findBlockByNumber(line - 1).text(), text);
        QCOMPARE(manualLines().count(QString()), 3);
    }

    void placing_data() {
        QTest::addColumn<QRect>("mainFrame");
        QTest::addColumn<QSize>("manual");
        QTest::addColumn<QPoint>("expected");
        // 300 + (-109 / 2) = 246 (toward zero, not -55), 100 + 55 / 2 = 127.
        QTest::newRow("over a larger main window")
            << QRect(300, 100, 400, 300) << QSize(509, 245) << QPoint(246, 127);
        // -166 and -52 are below 0 and become 10.
        QTest::newRow("default main window in the corner")
            << QRect(0, 0, 176, 140) << QSize(509, 245) << QPoint(10, 10);
        QTest::newRow("main window at negative coordinates")
            << QRect(-500, -300, 400, 300) << QSize(509, 245) << QPoint(10, 10);
        QTest::newRow("only the top below 0")
            << QRect(400, -50, 600, 100) << QSize(200, 300) << QPoint(600, 10);
        // -1 / 2 is 0, so both land on 0, which is kept.
        QTest::newRow("odd difference, exactly 0")
            << QRect(0, 0, 508, 244) << QSize(509, 245) << QPoint(0, 0);
    }
    void placing() {
        QFETCH(QRect, mainFrame);
        QFETCH(QSize, manual);
        QFETCH(QPoint, expected);
        QCOMPARE(manualWindowPosition(mainFrame, manual), expected);
    }

    void showOverIsModalPlacedAndFocused() {
        ManualWindow form;
        QCOMPARE(form.size(), ManualWindow::initialClientSize);
        // An earlier showing made the frame known; the size the player gave the window then
        // stays and is centred.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.close();
        form.resize(600, 300);
        const QRect mainFrame(200, 150, 400, 300);
        bool wasModal = false;
        bool viewHadFocus = false;
        bool escapeClosed = false;
        QRect shownAt;
        QTimer::singleShot(0, &form, [&] {
            wasModal = QApplication::activeModalWidget() == &form;
            viewHadFocus = form.focusWidget() == form.textView();
            shownAt = form.frameGeometry();
            QTest::keyClick(form.textView(), Qt::Key_Escape);
            escapeClosed = !form.isVisible();
        });
        form.showOver(mainFrame);
        QVERIFY(wasModal);
        QVERIFY(viewHadFocus);
        QVERIFY(escapeClosed);
        QCOMPARE(form.size(), QSize(600, 300));
        QCOMPARE(shownAt.topLeft(), manualWindowPosition(mainFrame, shownAt.size()));
    }

    void readOnly() {
        ManualWindow form;
        QTextEdit* view = form.textView();
        QCOMPARE(view->viewport()->cursor().shape(), Qt::IBeamCursor);
        QCOMPARE(view->font().pixelSize(), 11);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QString before = view->toPlainText();
        QTest::keyClicks(view, QStringLiteral("xyz"));
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(view->toPlainText(), before);
    }

    // Wider wraps onto fewer lines; narrower onto more, scrolled down to the last line, and
    // never anything to scroll sideways.
    void rewrap_data() {
        QTest::addColumn<int>("narrow");
        QTest::addColumn<int>("wide");
        QTest::newRow("first size and wider") << 501 << 900;
        QTest::newRow("narrow and first size") << 200 << 501;
        QTest::newRow("very narrow and narrow") << 80 << 200;
    }
    void rewrap() {
        QFETCH(int, narrow);
        QFETCH(int, wide);
        ManualWindow form;
        QTextEdit* view = form.textView();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const auto lineCount = [view] {
            int lines = 0;
            for (QTextBlock b = view->document()->begin(); b.isValid(); b = b.next()) {
                lines += b.layout()->lineCount();
                for (int i = 0; i < b.layout()->lineCount(); ++i) {
                    if (b.layout()->lineAt(i).naturalTextWidth() > view->viewport()->width()) {
                        return -1;
                    }
                }
            }
            return lines;
        };
        form.resize(wide, 218);
        QTRY_COMPARE(view->geometry(), form.rect());  // the view fills the client area
        const int wideLines = lineCount();
        form.resize(narrow, 218);
        QTRY_COMPARE(view->geometry(), form.rect());
        const int narrowLines = lineCount();
        QVERIFY(wideLines >= 17);
        QVERIFY2(narrowLines > wideLines, qPrintable(QString::number(narrowLines)));
        QCOMPARE(view->horizontalScrollBar()->maximum(), 0);

        QScrollBar* bar = view->verticalScrollBar();
        bar->setValue(bar->maximum());
        const QRectF last =
            view->document()->documentLayout()->blockBoundingRect(view->document()->lastBlock());
        QVERIFY(bar->maximum() > 0);
        QVERIFY(last.top() >= bar->value());
        QVERIFY(last.bottom() - bar->value() <= view->viewport()->height());
    }
};

QTEST_MAIN(TestManualWindow)
#include "tst_ManualWindow.moc"
