// The manual window: its text line for line, the placing rule over the main window, modal
// showing, and re-wrapping the text when the window is resized.
#include <QtTest>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include "ManPage.h"

using namespace quorvik;

namespace {

int wrappedLineCount(const QTextEdit* view) {
    int lines = 0;
    for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next()) {
        lines += block.layout()->lineCount();
    }
    return lines;
}

}  // namespace

class TestManPage : public QObject {
    Q_OBJECT

private slots:
    void lines_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("title") << 1 << "Kurzanleitung Quorvik";
        QTest::newRow("first blank") << 2 << "";
        QTest::newRow("umlauts") << 3
                                 << "Ziel des Spiels ist es, die von Quorvik in einem Raster "
                                    "versteckten Schiffsmodelle unterschiedlicher Länge zu "
                                    "bestimmen.";
        // Kept as the player has always read it, without the space.
        QTest::newRow("EinRechtsklick")
            << 8
            << "Ein Linksklick auf ein Rasterfeld invertiert dieses Feld zwischen Wasser und "
               "verdeckt. EinRechtsklick auf ein Rasterfeld zeigt ein Menü für Schiffselemente.";
        QTest::newRow("F1") << 10 << "Die Taste 'F1 Zeigen' löst das aktuelle Spielfeld auf.";
        QTest::newRow("second blank") << 13 << "";
        QTest::newRow("third blank") << 15 << "";
        QTest::newRow("Hinweis") << 16 << "Hinweis:";
        QTest::newRow("last") << 17
                              << "Die Lösung ist nicht immer eindeutig. In diesem Fall bleibt "
                                 "es dem Zufall überlassen, ob der Spieler die richtige Wahl "
                                 "trifft.";
    }
    void lines() {
        QFETCH(int, line);
        QFETCH(QString, text);
        TManualForm form;
        const QTextDocument* document = form.textView()->document();
        QCOMPARE(document->blockCount(), 17);
        QCOMPARE(document->findBlockByNumber(line - 1).text(), text);
        QCOMPARE(manualLines().at(line - 1), text);
    }

    void onlyThreeBlankLines() {
        const QStringList text = manualLines();
        QCOMPARE(text.size(), 17);
        QList<int> blank;
        for (int i = 0; i < text.size(); ++i) {
            if (text.at(i).isEmpty()) {
                blank << i + 1;
            }
        }
        QCOMPARE(blank, QList<int>({2, 13, 15}));
        // One paragraph per line: nothing in the text may break a line by itself.
        for (const QString& line : text) {
            QVERIFY(!line.contains(QLatin1Char('\n')) && !line.contains(QChar::LineSeparator));
        }
    }

    void placing_data() {
        QTest::addColumn<QRect>("mainFrame");
        QTest::addColumn<QSize>("manual");
        QTest::addColumn<QPoint>("expected");
        // 300 + (-109 / 2) = 246 (toward zero, not -55), 100 + 55 / 2 = 127.
        QTest::newRow("over a larger main window")
            << QRect(300, 100, 400, 300) << QSize(509, 245) << QPoint(246, 127);
        // -52 and -166 are below 0 and become 10.
        QTest::newRow("default main window at the corner")
            << QRect(0, 0, 176, 140) << QSize(509, 245) << QPoint(10, 10);
        QTest::newRow("main window at negative coordinates")
            << QRect(-500, -300, 400, 300) << QSize(509, 245) << QPoint(10, 10);
        // Only the coordinate that falls below 0 is replaced.
        QTest::newRow("only the top clamped")
            << QRect(400, -50, 600, 100) << QSize(200, 300) << QPoint(600, 10);
        QTest::newRow("exactly 0 stays")
            << QRect(0, 0, 509, 245) << QSize(509, 245) << QPoint(0, 0);
        // -1 / 2 is 0 in integer division, so the result lands on 0 and is kept.
        QTest::newRow("odd difference rounds toward zero")
            << QRect(0, 0, 508, 244) << QSize(509, 245) << QPoint(0, 0);
        QTest::newRow("smaller manual centred")
            << QRect(100, 200, 600, 400) << QSize(201, 101) << QPoint(299, 349);
    }
    void placing() {
        QFETCH(QRect, mainFrame);
        QFETCH(QSize, manual);
        QFETCH(QPoint, expected);
        QCOMPARE(manualWindowPosition(mainFrame, manual), expected);
    }

    void window() {
        TManualForm form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Quorvik Kurzanleitung"));
        QVERIFY(form.windowFlags().testFlag(Qt::Tool));
        QVERIFY(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(form.minimumSize() != form.maximumSize());  // resizable
        QCOMPARE(form.size(), QSize(501, 218));
        QVERIFY(form.windowIcon().availableSizes().contains(QSize(48, 48)));
        QVERIFY(!form.isVisible());
    }

    void textView() {
        TManualForm form;
        QTextEdit* view = form.textView();
        QVERIFY(view->isReadOnly());
        QVERIFY(!(view->textInteractionFlags() & Qt::TextEditable));
        QCOMPARE(view->font().pixelSize(), 11);
        QCOMPARE(view->lineWrapMode(), QTextEdit::WidgetWidth);
        QCOMPARE(view->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(view->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff);
        QCOMPARE(view->viewport()->cursor().shape(), Qt::IBeamCursor);
        QCOMPARE(view->document()->defaultTextOption().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignLeft);

        // Typing changes nothing.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QString before = view->toPlainText();
        QTest::keyClicks(view, QStringLiteral("xyz"));
        QTest::keyClick(view, Qt::Key_Backspace);
        QCOMPARE(view->toPlainText(), before);
    }

    void showOverIsModalPlacedAndFocused() {
        TManualForm form;
        // An earlier showing made the frame known; the size the player gave the window then
        // stays and is centred.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.hide();
        form.resize(600, 300);
        const QRect mainFrame(200, 150, 400, 300);
        bool wasModal = false;
        bool hadFocus = false;
        QRect shownAt;
        QTimer::singleShot(0, &form, [&] {
            wasModal = QApplication::activeModalWidget() == &form;
            hadFocus = form.focusWidget() == form.textView();
            shownAt = form.frameGeometry();
            form.close();  // the close box
        });
        form.showOver(mainFrame);
        QVERIFY(wasModal);
        QVERIFY(hadFocus);
        QVERIFY(!form.isVisible());
        QCOMPARE(shownAt.size(), form.frameGeometry().size());
        QCOMPARE(form.size(), QSize(600, 300));
        QCOMPARE(shownAt.topLeft(), manualWindowPosition(mainFrame, shownAt.size()));
        QVERIFY((shownAt.center() - mainFrame.center()).manhattanLength() <= 2);
    }

    void firstPlacingUsesTheClientSize() {
        // Before the first showing no frame is known: the client size stands for the outer one.
        TManualForm form;
        const QRect mainFrame(300, 100, 400, 300);
        form.placeOver(mainFrame);
        QCOMPARE(form.frameGeometry().topLeft(),
                 manualWindowPosition(mainFrame, TManualForm::initialClientSize));
    }

    void placeOverClampsToTen() {
        TManualForm form;
        form.placeOver(QRect(0, 0, 176, 140));
        QCOMPARE(form.frameGeometry().topLeft(), QPoint(10, 10));
    }

    void escapeDoesNotClose() {
        TManualForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::keyClick(form.textView(), Qt::Key_Escape);
        QVERIFY(form.isVisible());
    }

    // Wider windows wrap the paragraphs onto fewer lines; a narrow one wraps them onto more
    // and scrolls down to the last line.
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
        TManualForm form;
        QTextEdit* view = form.textView();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        form.resize(wide, 218);
        QTRY_COMPARE(view->width(), wide);
        QCOMPARE(view->geometry(), form.rect());  // the view fills the client area
        const int wideLines = wrappedLineCount(view);

        form.resize(narrow, 218);
        QTRY_COMPARE(view->width(), narrow);
        QCOMPARE(view->geometry(), form.rect());
        const int narrowLines = wrappedLineCount(view);
        QVERIFY2(narrowLines > wideLines,
                 qPrintable(QStringLiteral("%1 vs %2").arg(narrowLines).arg(wideLines)));
        QVERIFY(wideLines >= 17);

        // No line is wider than the view: nothing would need horizontal scrolling.
        const qreal textWidth = view->document()->textWidth();
        QVERIFY(textWidth <= view->viewport()->width());
        for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next()) {
            for (int i = 0; i < block.layout()->lineCount(); ++i) {
                QVERIFY(block.layout()->lineAt(i).naturalTextWidth() <= textWidth);
            }
        }
        QCOMPARE(view->horizontalScrollBar()->maximum(), 0);

        // The scroll bar's end shows the last line.
        QScrollBar* bar = view->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        bar->setValue(bar->maximum());
        const QTextBlock last = view->document()->lastBlock();
        const QRectF lastRect = view->document()->documentLayout()->blockBoundingRect(last);
        QVERIFY(lastRect.bottom() - bar->value() <= view->viewport()->height());
        QVERIFY(lastRect.top() - bar->value() >= 0);
    }
};

QTEST_MAIN(TestManPage)
#include "tst_ManPage.moc"
