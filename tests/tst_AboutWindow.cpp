// The About window: its controls' places and looks, the version property, and showing it
// again and again as the one modeless window.
#include <QtTest>

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "AboutWindow.h"

using namespace quorvik;

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    // Places are relative to the container. Labels size themselves, so a row without a size
    // fixes only the place, and the label must hold its whole text.
    void controls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<int>("pixelSize");  // 0: not a text control
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<QColor>("colour");
        const QColor black(Qt::black);
        const QColor red(255, 0, 0);
        QTest::newRow("Panel1") << "Panel1"
                                << "AboutBox" << QRect(8, 8, 281, 221) << 0 << false << false
                                << black;
        QTest::newRow("ProgramIcon")
            << "ProgramIcon"
            << "Panel1" << QRect(8, 8, 121, 121) << 0 << false << false << black;
        QTest::newRow("Label1") << "Label1"
                                << "Panel1" << QRect(160, 16, 0, 0) << 19 << true << true << black;
        QTest::newRow("Label2") << "Label2"
                                << "Panel1" << QRect(160, 40, 0, 0) << 19 << true << true << black;
        QTest::newRow("ProductName")
            << "ProductName"
            << "Panel1" << QRect(152, 80, 0, 0) << 16 << true << false << black;
        QTest::newRow("Version") << "Version"
                                 << "Panel1" << QRect(168, 112, 0, 0) << 11 << false << false
                                 << black;
        QTest::newRow("VNumber") << "VNumber"
                                 << "Panel1" << QRect(208, 112, 0, 0) << 11 << false << false
                                 << black;
        QTest::newRow("Credit") << "Credit"
                                << "Panel1" << QRect(64, 148, 0, 0) << 11 << false << false
                                << black;
        // Fixed at 26 pixels: the notice must wrap onto exactly two lines of the window font.
        QTest::newRow("Comments") << "Comments"
                                  << "Panel1" << QRect(12, 172, 261, 26) << 11 << false << false
                                  << red;
        QTest::newRow("OKButton") << "OKButton"
                                  << "AboutBox" << QRect(120, 238, 65, 33) << 0 << false << false
                                  << black;
    }
    void controls() {
        QFETCH(QString, name);
        QFETCH(QString, container);
        QFETCH(QRect, rect);
        QFETCH(int, pixelSize);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(QColor, colour);
        AboutWindow box;
        QCOMPARE(box.size(), QSize(298, 279));
        QCOMPARE(box.minimumSize(), box.maximumSize());
        auto* control = box.findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->parentWidget()->objectName(), container);
        QVERIFY(control->parentWidget()->rect().contains(control->geometry()));
        auto* label = qobject_cast<QLabel*>(control);
        if (rect.width() > 0) {
            QCOMPARE(control->geometry(), rect);
        } else {
            QCOMPARE(control->pos(), rect.topLeft());
            QVERIFY(label && !label->text().isEmpty());
            QVERIFY(label->width() >= QFontMetrics(label->font()).horizontalAdvance(label->text()));
        }
        if (pixelSize == 0) {
            return;
        }
        QVERIFY(label);
        QCOMPARE(label->font().pixelSize(), pixelSize);
        QCOMPARE(label->font().bold(), bold);
        QCOMPARE(label->font().italic(), italic);
        QCOMPARE(label->palette().color(QPalette::WindowText), colour);
        const QString family = QFontInfo(label->font()).family();
        QVERIFY2(family == "Arial" || family == "Liberation Sans", qPrintable(family));
        if (label->wordWrap()) {
            QVERIFY(label->heightForWidth(label->width()) <= label->height());
            QVERIFY(label->heightForWidth(label->width()) > QFontMetrics(label->font()).height());
        }
    }

    void emblemIsDrawnUnscaled() {
        AboutWindow box;
        const QImage picture(QStringLiteral(":/dialogs/AboutEmblem.png"));
        QCOMPARE(picture.size(), QSize(121, 121));
        QVERIFY(!picture.hasAlphaChannel());
        const QImage shown = box.findChild<QLabel*>("ProgramIcon")
                                 ->grab()
                                 .toImage()
                                 .convertToFormat(picture.format());
        QCOMPARE(shown, picture);
    }

    void showVersion_data() {
        QTest::addColumn<QString>("version");
        QTest::newRow("release") << "1.0.1.32";
        // A program without version numbers shows an empty number, never the design text.
        QTest::newRow("no version") << QString();
    }
    void showVersion() {
        QFETCH(QString, version);
        AboutWindow box;
        // Before "Info" the label holds its design text, passed through the property.
        QCOMPARE(box.version(), QStringLiteral("1.00.00"));
        box.showVersion(version);
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(box.findChild<QLabel*>("VNumber")->text(), version);
        QCOMPARE(box.focusWidget(), box.findChild<QPushButton*>("OKButton"));
        QVERIFY(!box.isModal());
    }

    void infoTwiceKeepsOneWindowAndItsPlace() {
        AboutWindow box;
        const auto aboutBoxes = [] {
            int count = 0;
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                count += qobject_cast<AboutWindow*>(widget) ? 1 : 0;
            }
            return count;
        };
        box.showVersion(QStringLiteral("1.0.1.32"));
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        // The first showing centres the window's outer rectangle on the screen, although its
        // frame is known only once it is shown; halving may leave a pixel.
        QVERIFY(box.frameGeometry().size() != box.size());
        const QPoint offset = box.frameGeometry().center() - box.screen()->geometry().center();
        QVERIFY2(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1,
                 qPrintable(QStringLiteral("%1, %2").arg(offset.x()).arg(offset.y())));

        const QPoint moved = box.screen()->geometry().topLeft() + QPoint(40, 30);
        box.move(moved);
        box.showVersion(QStringLiteral("2.10.0.7"));  // while open
        QCOMPARE(aboutBoxes(), 1);
        QCOMPARE(box.version(), QStringLiteral("2.10.0.7"));
        box.findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
        QVERIFY(!box.isVisible());
        box.showVersion(QStringLiteral("3.0.0.0"));  // after hiding: where it was left
        QCOMPARE(aboutBoxes(), 1);
        QCOMPARE(box.pos(), moved);
    }

    // OK, Enter, Escape and the close box hide the window (never destroy it); only OK and Enter
    // accept it.
    void hiding_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("hides");
        QTest::newRow("Return presses OK") << int(Qt::Key_Return) << true;
        QTest::newRow("Enter presses OK") << int(Qt::Key_Enter) << true;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << true;
        QTest::newRow("close box") << 0 << true;
    }
    void hiding() {
        QFETCH(int, key);
        QFETCH(bool, hides);
        AboutWindow box;
        box.showVersion(QStringLiteral("1.0.1.32"));
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        if (key) {
            QTest::keyClick(box.focusWidget(), Qt::Key(key));
        } else {
            box.close();
        }
        QCoreApplication::processEvents();  // a deferred delete would happen here
        QCOMPARE(box.isVisible(), !hides);
        if (hides && key != 0 && key != Qt::Key_Escape) {
            QCOMPARE(box.result(), int(QDialog::Accepted));
        }
    }
};

QTEST_MAIN(TestAbout)
#include "tst_AboutWindow.moc"
