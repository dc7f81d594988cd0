// The About window: its controls' places and looks, the version property, and showing it
// again and again as the one modeless window.
#include <QtTest>

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include "About.h"

using namespace quorvik;

namespace {

int aboutBoxCount() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        count += qobject_cast<TAboutBox*>(widget) ? 1 : 0;
    }
    return count;
}

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void window() {
        TAboutBox box;
        QCOMPARE(box.windowTitle(), QStringLiteral("Quorvik Info"));
        QCOMPARE(box.size(), QSize(298, 279));
        QCOMPARE(box.minimumSize(), box.maximumSize());  // not resizable
        const Qt::WindowFlags flags = box.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!box.isModal());
        QVERIFY(!box.isVisible());  // created hidden
    }

    // Positions are relative to the container; labels size themselves, so only their place is
    // fixed (a width or height of 0 in the table), and they must hold their whole text.
    void controlGeometry_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("Panel1") << "Panel1"
                                << "AboutBox" << QRect(8, 8, 281, 221);
        QTest::newRow("ProgramIcon") << "ProgramIcon"
                                     << "Panel1" << QRect(8, 8, 121, 121);
        QTest::newRow("Label1") << "Label1"
                                << "Panel1" << QRect(160, 16, 0, 0);
        QTest::newRow("Label2") << "Label2"
                                << "Panel1" << QRect(160, 40, 0, 0);
        QTest::newRow("ProductName") << "ProductName"
                                     << "Panel1" << QRect(152, 80, 0, 0);
        QTest::newRow("Version") << "Version"
                                 << "Panel1" << QRect(168, 112, 0, 0);
        QTest::newRow("VNumber") << "VNumber"
                                 << "Panel1" << QRect(208, 112, 0, 0);
        QTest::newRow("Credit") << "Credit"
                                << "Panel1" << QRect(64, 148, 0, 0);
        QTest::newRow("Comments") << "Comments"
                                  << "Panel1" << QRect(12, 172, 261, 26);
        QTest::newRow("OKButton") << "OKButton"
                                  << "AboutBox" << QRect(120, 238, 65, 33);
    }
    void controlGeometry() {
        QFETCH(QString, name);
        QFETCH(QString, container);
        QFETCH(QRect, rect);
        TAboutBox box;
        auto* control = box.findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->parentWidget()->objectName(), container);
        if (rect.width() > 0) {
            QCOMPARE(control->geometry(), rect);
        } else {
            QCOMPARE(control->pos(), rect.topLeft());
            auto* label = qobject_cast<QLabel*>(control);
            QVERIFY(label);
            QVERIFY(!label->text().isEmpty());
            const QFontMetrics metrics(label->font());
            QVERIFY(label->width() >= metrics.horizontalAdvance(label->text()));
            QVERIFY(label->height() >= metrics.height());
        }
        // Everything on the panel lies inside it.
        QVERIFY(control->parentWidget()->rect().contains(control->geometry()));
    }

    void fonts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<QColor>("colour");
        const QColor black(Qt::black);
        QTest::newRow("Label1") << "Label1" << 19 << true << true << black;
        QTest::newRow("Label2") << "Label2" << 19 << true << true << black;
        QTest::newRow("ProductName") << "ProductName" << 16 << true << false << black;
        QTest::newRow("Version") << "Version" << 11 << false << false << black;
        QTest::newRow("VNumber") << "VNumber" << 11 << false << false << black;
        QTest::newRow("Credit") << "Credit" << 11 << false << false << black;
        QTest::newRow("Comments") << "Comments" << 11 << false << false << QColor(255, 0, 0);
    }
    void fonts() {
        QFETCH(QString, name);
        QFETCH(int, pixelSize);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(QColor, colour);
        TAboutBox box;
        auto* label = box.findChild<QLabel*>(name);
        QVERIFY(label);
        const QFont font = label->font();
        QCOMPARE(font.pixelSize(), pixelSize);
        QCOMPARE(font.bold(), bold);
        QCOMPARE(font.italic(), italic);
        QCOMPARE(label->palette().color(QPalette::WindowText), colour);
        // The face actually used is a sans serif of the Arial metrics.
        const QString family = QFontInfo(font).family();
        QVERIFY2(family == QLatin1String("Arial") || family == QLatin1String("Liberation Sans"),
                 qPrintable(family));
    }

    void noticeFillsTwoLines() {
        TAboutBox box;
        auto* comments = box.findChild<QLabel*>(QStringLiteral("Comments"));
        QVERIFY(comments);
        QVERIFY(comments->wordWrap());
        const int lines =
            comments->heightForWidth(comments->width()) / QFontMetrics(comments->font()).height();
        QCOMPARE(lines, 2);
        // The notice must stay within the panel above the button.
        QVERIFY(comments->geometry().bottom() < box.findChild<QWidget*>("Panel1")->height());
    }

    void emblemIsDrawnUnscaled() {
        TAboutBox box;
        auto* icon = box.findChild<QLabel*>(QStringLiteral("ProgramIcon"));
        QVERIFY(icon);
        const QImage picture(QStringLiteral(":/dialogs/AboutEmblem.png"));
        QCOMPARE(picture.size(), QSize(121, 121));
        QCOMPARE(picture.depth(), 32);  // 24-bit colour, held as RGB32
        QVERIFY(!picture.hasAlphaChannel());
        const QImage shown = icon->grab().toImage().convertToFormat(picture.format());
        QCOMPARE(shown.size(), picture.size());
        QCOMPARE(shown, picture);
    }

    void okButtonIsDefaultAndHasFocus() {
        TAboutBox box;
        auto* ok = box.findChild<QPushButton*>(QStringLiteral("OKButton"));
        QVERIFY(ok);
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QVERIFY(ok->isDefault());
        box.showVersion(QStringLiteral("1.0.1.32"));
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(box.focusWidget(), ok);
    }

    void versionProperty() {
        TAboutBox box;
        // Before the first "Info" the label still has its design text, passed through the
        // property by the form's creation.
        QCOMPARE(box.property("strVersion").toString(), QStringLiteral("1.00.00"));
        QVERIFY(box.setProperty("strVersion", QStringLiteral("3.4.5.6")));
        QCOMPARE(box.GetVersion(), QStringLiteral("3.4.5.6"));
        auto* number = box.findChild<QLabel*>(QStringLiteral("VNumber"));
        QVERIFY(number);
        QCOMPARE(number->text(), QStringLiteral("3.4.5.6"));
        // The label grows with a longer number instead of cutting it off.
        box.SetVersion(QStringLiteral("65535.65535.65535.65535"));
        QVERIFY(number->width() >= QFontMetrics(number->font()).horizontalAdvance(number->text()));
    }

    void showVersion_data() {
        QTest::addColumn<QString>("version");
        QTest::newRow("release") << "1.0.1.32";
        // A program without version numbers shows an empty number, never the design text.
        QTest::newRow("no version") << QString();
    }
    void showVersion() {
        QFETCH(QString, version);
        TAboutBox box;
        box.showVersion(version);
        QVERIFY(box.isVisible());
        QCOMPARE(box.GetVersion(), version);
        QVERIFY(box.findChild<QLabel*>(QStringLiteral("VNumber"))->text() != "1.00.00");
    }

    void infoTwiceKeepsOneWindow() {
        TAboutBox box;
        const int before = aboutBoxCount();
        box.showVersion(QStringLiteral("1.0.1.32"));
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.showVersion(QStringLiteral("2.10.0.7"));
        QCOMPARE(aboutBoxCount(), before);
        QVERIFY(box.isVisible());
        QCOMPARE(box.GetVersion(), QStringLiteral("2.10.0.7"));
    }

    void firstShowingIsCentredThenKeepsItsPlace() {
        TAboutBox box;
        box.showVersion(QStringLiteral("1.0.1.32"));
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QRect screen = box.screen()->geometry();
        // The frame is not known before the first showing, so the centre may be off by half of
        // the frame's extra size.
        const QPoint offset = box.frameGeometry().center() - screen.center();
        const QSize frameExtra = box.frameGeometry().size() - box.size();
        QVERIFY2(qAbs(offset.x()) <= frameExtra.width() / 2 + 1, "centred across the screen");
        QVERIFY2(qAbs(offset.y()) <= frameExtra.height() / 2 + 1, "centred down the screen");

        const QPoint moved = screen.topLeft() + QPoint(40, 30);
        box.move(moved);
        box.OKButtonClick();
        QVERIFY(!box.isVisible());
        box.showVersion(QStringLiteral("1.0.1.32"));
        QCOMPARE(box.pos(), moved);
    }

    // What hides the window, and that hiding never destroys it.
    void hiding_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("hides");
        QTest::newRow("Return presses OK") << int(Qt::Key_Return) << true;
        QTest::newRow("Enter presses OK") << int(Qt::Key_Enter) << true;
        QTest::newRow("Escape does nothing") << int(Qt::Key_Escape) << false;
    }
    void hiding() {
        QFETCH(int, key);
        QFETCH(bool, hides);
        QPointer<TAboutBox> box = new TAboutBox;
        box->showVersion(QStringLiteral("1.0.1.32"));
        QVERIFY(QTest::qWaitForWindowExposed(box));
        QTest::keyClick(box->focusWidget(), Qt::Key(key));
        QCOMPARE(box->isVisible(), !hides);
        if (hides) {
            QCOMPARE(box->result(), int(QDialog::Accepted));
        }
        box->close();  // the close box
        QCoreApplication::processEvents();
        QVERIFY(box);
        QVERIFY(!box->isVisible());
        delete box;
    }

    void okButtonClickHides() {
        TAboutBox box;
        box.showVersion(QStringLiteral("1.0.1.32"));
        QTest::mouseClick(box.findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
        QVERIFY(!box.isVisible());
        QCOMPARE(box.result(), 1);
    }
};

QTEST_MAIN(TestAbout)
#include "tst_About.moc"
