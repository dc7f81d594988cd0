// The main window: layout figures per level, the legend, the menus, clicks through to the rules,
// the settings across two window lifetimes and start-up after a damaged settings store.
#include <QtTest>

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include "About.h"
#include "CQVImageFrame.h"
#include "ManPage.h"
#include "QVMain.h"
#include "QuorvikIniFile.h"

using namespace quorvik;
namespace ini = QuorvikIniFile;

namespace {

RuntimeRandom::SeedSource seedsFrom(quint32 first) {
    return [next = first]() mutable { return next++; };
}

std::unique_ptr<TShipForm> startForm(QStringList* errors = nullptr, quint32 seed = 1) {
    TShipForm::Options options;
    options.seeds = seedsFrom(seed);
    options.reportError = [errors](const QString& message) {
        if (errors != nullptr) {
            *errors << message;
        }
    };
    return std::make_unique<TShipForm>(std::move(options));
}

QRect geometryOf(const TShipForm& form, const char* name) {
    auto* widget = form.findChild<QWidget*>(QLatin1String(name));
    return widget != nullptr ? widget->geometry() : QRect();
}

QAction* action(const TShipForm& form, const char* name) {
    return form.findChild<QAction*>(QLatin1String(name));
}

QRgb cornerPixel(const TQVImageFrame* frame) {
    return frame->picture().pixel(0, 0);
}

}  // namespace

class TestQVMain : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(ini::storeLocation()); }

    void layoutPerLevel_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<QRect>("images");
        QTest::addColumn<QRect>("legend");
        QTest::addColumn<QRect>("buttons");
        QTest::addColumn<QSize>("main");
        // Legend to the right for levels 4 to 6, below the board for 7 and 8; legend rows 42
        // apart below the 18-pixel heading, ships 8 apart.
        QTest::newRow("4") << 4 << QRect(4, 4, 310, 310) << QRect(352, 4, 228, 190)
                           << QRect(352, 194, 228, 120) << QSize(584, 356);
        QTest::newRow("5") << 5 << QRect(4, 4, 344, 412) << QRect(386, 4, 330, 232)
                           << QRect(386, 236, 330, 180) << QSize(720, 458);
        QTest::newRow("6") << 6 << QRect(4, 4, 412, 514) << QRect(454, 4, 440, 274)
                           << QRect(454, 278, 440, 240) << QSize(898, 560);
        QTest::newRow("7") << 7 << QRect(4, 4, 718, 412) << QRect(4, 454, 576, 316)
                           << QRect(580, 454, 142, 316) << QSize(764, 774);
        QTest::newRow("8") << 8 << QRect(4, 4, 922, 446) << QRect(4, 488, 720, 358)
                           << QRect(724, 488, 202, 358) << QSize(968, 850);
    }
    void layoutPerLevel() {
        QFETCH(int, level);
        QFETCH(QRect, images);
        QFETCH(QRect, legend);
        QFETCH(QRect, buttons);
        QFETCH(QSize, main);
        auto form = startForm();
        form->SetLevel(level);
        QCOMPARE(geometryOf(*form, "PanelImages"), images);
        QCOMPARE(geometryOf(*form, "PanelCol"), QRect(4, images.bottom() + 1, images.width(), 38));
        QCOMPARE(geometryOf(*form, "PanelRow"), QRect(images.right() + 1, 4, 38, images.height()));
        QCOMPARE(geometryOf(*form, "PanelLegend"), legend);
        QCOMPARE(geometryOf(*form, "PanelButtons"), buttons);
        QCOMPARE(geometryOf(*form, "PanelMain"), QRect(QPoint(4, 8), main));
        QCOMPARE(geometryOf(*form, "btnZeigen"), QRect(10, 10, 75, 25));
        QCOMPARE(geometryOf(*form, "btnNeu"), QRect(10, 45, 75, 25));
        // Every panel shows whole: the client area holds PanelMain with its margins.
        QVERIFY(form->centralWidget()->rect().contains(geometryOf(*form, "PanelMain")));
        QVERIFY(form->width() >= main.width() + 8);
        // Elements sit at a pitch of 34, 2 pixels inside their panel.
        const LevelInfo& info = levelInfo(level);
        QCOMPARE(form->gridFrame(info.maxCol, info.maxRow)->geometry(),
                 QRect(info.maxCol * 34 + 2, info.maxRow * 34 + 2, 34, 34));
        QCOMPARE(form->colFrame(info.maxCol)->geometry(), QRect(info.maxCol * 34 + 2, 2, 34, 34));
        QCOMPARE(form->rowFrame(info.maxRow)->geometry(), QRect(2, info.maxRow * 34 + 2, 34, 34));
        QCOMPARE(form->findChild<QLabel*>("Label1")->text(),
                 QString::fromStdString(levelLabel(level)));
    }

    void legendRowsAndShips() {
        auto form = startForm();
        form->SetLevel(4);
        // Row r holds r + 1 ships of 4 - r segments: 22 25 25 23, 22 25 23, 22 23, 20.
        const QList<QList<int>> rows{{22, 25, 25, 23}, {22, 25, 23}, {22, 23}, {20}};
        for (int r = 0; r < 4; ++r) {
            for (int s = 0; s <= r; ++s) {
                for (int i = 0; i < rows[r].size(); ++i) {
                    TQVImageFrame* frame = form->legendFrame(r, s, i);
                    QVERIFY(frame != nullptr);
                    QCOMPARE(frame->ImageIndex(), rows[r][i]);
                    QCOMPARE(frame->pos(),
                             QPoint((int(rows[r].size()) * 34 + 8) * s + i * 34 + 4, 26 + 42 * r));
                    QVERIFY(!frame->contextMenuEnabled());
                }
            }
            QVERIFY(form->legendFrame(r, r + 1, 0) == nullptr);
        }
        QCOMPARE(int(form->legendFrames().size()), 20);
        // A new game rebuilds the legend: its elements are new, as many as before.
        const QPointer<TQVImageFrame> old = form->legendFrame(0, 0, 0);
        form->Neu1Click();
        QVERIFY(old.isNull());
        QCOMPARE(int(form->legendFrames().size()), 20);
    }

    void switchFromLevel8To4KeepsOuterElements() {
        auto form = startForm();
        form->SetLevel(8);
        TQVImageFrame* outer = form->gridFrame(26, 12);
        TQVImageFrame* firstBeyond = form->gridFrame(9, 0);
        form->SetLevel(4);
        QCOMPARE(form->gridFrame(26, 12), outer);
        QCOMPARE(outer->geometry(), QRect(26 * 34 + 2, 12 * 34 + 2, 34, 34));
        // Only a 2-pixel strip of column 9 lies inside the resized panel.
        const QRect panel = geometryOf(*form, "PanelImages");
        QCOMPARE(firstBeyond->x(), 308);
        QCOMPARE(panel.width() - firstBeyond->x(), 2);
        QCOMPARE(form->rowFrame(9)->y(), 308);
        QCOMPARE(geometryOf(*form, "PanelRow").height() - form->rowFrame(9)->y(), 2);
    }

    void menus() {
        auto form = startForm();
        QList<QMenu*> menus;
        for (QAction* a : form->menuBar()->actions()) {
            menus << a->menu();
        }
        QCOMPARE(menus.size(), 2);
        QCOMPARE(menus[0]->title(), QStringLiteral("Spiel"));
        QCOMPARE(menus[1]->title(), QStringLiteral("?"));
        struct Entry {
            const char* name;
            const char* caption;
            QKeySequence shortcut;
            bool visible;
        };
        const QList<Entry> spiel{
            {"Neu1", "Neu", QKeySequence(Qt::Key_F2), true},
            {"N1", "", {}, true},
            {"TMMLevel4", "Anfänger Level", QKeySequence(Qt::ALT | Qt::Key_1), true},
            {"TMMLevel5", "Fortgeschrittenen Level", QKeySequence(Qt::ALT | Qt::Key_2), true},
            {"TMMlevel6", "Profi Level", QKeySequence(Qt::ALT | Qt::Key_3), true},
            {"TMMLevel7", "Verrücktes Level", QKeySequence(Qt::ALT | Qt::Key_4), true},
            {"TMMLevel8", "Irrsinniges Level", QKeySequence(Qt::ALT | Qt::Key_5), true},
            {"N2", "", {}, false},
            {"Zeigen1", "Zeigen", QKeySequence(Qt::Key_F1), true},
            {"Bestzeiten1", "Bestzeiten", {}, false},
            {"N3", "", {}, true},
            {"Beenden1", "Beenden", {}, true}};
        const QList<Entry> help{{"Anleitung1", "Anleitung", {}, true},
                                {"N5", "", {}, true},
                                {"Info1", "Info", {}, true}};
        for (const auto& [menu, entries] :
             {std::pair{menus[0], spiel}, std::pair{menus[1], help}}) {
            const QList<QAction*> actions = menu->actions();
            QCOMPARE(actions.size(), entries.size());
            for (int k = 0; k < entries.size(); ++k) {
                QCOMPARE(actions[k]->objectName(), QLatin1String(entries[k].name));
                QCOMPARE(actions[k]->text(), QString::fromUtf8(entries[k].caption));
                QCOMPARE(actions[k]->isSeparator(), entries[k].caption[0] == '\0');
                QCOMPARE(actions[k]->shortcut(), entries[k].shortcut);
                QCOMPARE(actions[k]->isVisible(), entries[k].visible);
            }
        }
        // The level entries are one radio group; the stored level's entry is checked.
        QActionGroup* group = action(*form, "TMMLevel4")->actionGroup();
        QVERIFY(group != nullptr && group->isExclusive());
        QCOMPARE(group->actions().size(), 5);
        QVERIFY(action(*form, "TMMLevel4")->isChecked());
        action(*form, "TMMLevel7")->trigger();
        QVERIFY(action(*form, "TMMLevel7")->isChecked());
        QVERIFY(!action(*form, "TMMLevel4")->isChecked());
        QCOMPARE(form->game().level(), 7);
        QCOMPARE(form->settings().Lev, 7);
    }

    void levelEntryAlwaysStartsANewGame() {
        auto form = startForm(nullptr, 100);
        const QPointer<TQVImageFrame> legend = form->legendFrame(0, 0, 0);
        action(*form, "TMMLevel4")->trigger();  // the level already checked
        QVERIFY(legend.isNull());
        QCOMPARE(form->game().level(), 4);
        // F2 keeps the level.
        action(*form, "TMMLevel5")->trigger();
        action(*form, "Neu1")->trigger();
        QCOMPARE(form->game().level(), 5);
    }

    void clicksReachTheRules() {
        auto form = startForm(nullptr, 7);
        ShipGame& game = form->game();
        // A row number twice: water, then covered again.
        TQVImageFrame* rowNumber = form->rowFrame(3);
        rowNumber->Image1Click();
        for (int x = 0; x <= game.maxCol(); ++x) {
            const ElementState& c = game.cell(x, 3);
            QCOMPARE(c.ImageIndex, c.IsFixed ? c.ShipIndex : imgWater);
        }
        rowNumber->Image1Click();
        for (int x = 0; x <= game.maxCol(); ++x) {
            const ElementState& c = game.cell(x, 3);
            QCOMPARE(c.ImageIndex, c.IsFixed ? c.ShipIndex : imgCovered);
        }
        // A legend tick and untick, through any segment of the ship.
        form->legendFrame(1, 1, 2)->Image1Click();
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(form->legendFrame(1, 1, i)->ImageIndex(), imgWrongMark);
        }
        QCOMPARE(form->legendFrame(1, 0, 0)->ImageIndex(), imgShipLeft);
        form->legendFrame(1, 1, 2)->Image1Click();
        const QList<int> shape{22, 25, 23};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(form->legendFrame(1, 1, i)->ImageIndex(), shape[i]);
        }
        // A grid cell click is water, and the cell's picture follows.
        int x = 0;
        while (game.cell(x, 8).IsFixed) {
            ++x;
        }
        form->gridFrame(x, 8)->Image1Click();
        QCOMPARE(game.cell(x, 8).ImageIndex, imgWater);
        QCOMPARE(form->gridFrame(x, 8)->picture().pixel(10, 10), qRgb(255, 255, 255));
    }

    void completingTheBoardByClicks() {
        auto form = startForm(nullptr, 21);
        ShipGame& game = form->game();
        std::map<int, QString> entryFor{{20, "TMISchiff_1"}, {21, "TMISchiff_2"},
                                        {22, "TMISchiff_3"}, {23, "TMISchiff_4"},
                                        {24, "TMISchiff_5"}, {25, "TMISchiff_6"}};
        QList<QPoint> segments;
        for (int x = 0; x <= game.maxCol(); ++x) {
            for (int y = 0; y <= game.maxRow(); ++y) {
                if (game.cell(x, y).HasShip && !game.cell(x, y).IsFixed) {
                    segments << QPoint(x, y);
                }
            }
        }
        for (const QPoint& p : segments) {
            QVERIFY(game.cell(p.x(), p.y()).ImageIndex != imgRightMark);
            TQVImageFrame* frame = form->gridFrame(p.x(), p.y());
            auto* entry = frame->PopupMenu1()->findChild<QAction*>(
                entryFor.at(game.cell(p.x(), p.y()).ShipIndex));
            QVERIFY(entry != nullptr);
            frame->PopUpClick(entry);
        }
        // The last choice solved the board: every found segment has its tick over the red
        // segment on silver, and the sums count only the clues.
        for (const QPoint& p : segments) {
            QCOMPARE(game.cell(p.x(), p.y()).ImageIndex, imgRightMark);
            QCOMPARE(cornerPixel(form->gridFrame(p.x(), p.y())), qRgb(0xC0, 0xC0, 0xC0));
        }
        for (int y = 0; y <= game.maxRow(); ++y) {
            int clues = 0;
            for (int x = 0; x <= game.maxCol(); ++x) {
                clues += game.cell(x, y).IsFixed;
            }
            QCOMPARE(form->rowFrame(y)->currentHint(),
                     QStringLiteral("Zeilensumme: %1").arg(clues));
        }
    }

    void backgroundsOfCluesAndSolution() {
        auto form = startForm(nullptr, 33);
        ShipGame& game = form->game();
        int clues = 0;
        for (int x = 0; x <= game.maxCol(); ++x) {
            for (int y = 0; y <= game.maxRow(); ++y) {
                const ElementState& c = game.cell(x, y);
                // Segment pictures are transparent at their corner; the frame of 29 is black.
                const QRgb expected = c.IsFixed ? qRgb(0x80, 0x80, 0x80) : qRgb(0, 0, 0);
                QCOMPARE(cornerPixel(form->gridFrame(x, y)), expected);
                clues += c.IsFixed;
            }
        }
        QCOMPARE(clues, 6);
        action(*form, "Zeigen1")->trigger();
        for (int x = 0; x <= game.maxCol(); ++x) {
            for (int y = 0; y <= game.maxRow(); ++y) {
                const ElementState& c = game.cell(x, y);
                if (c.HasShip && !c.IsFixed) {
                    QCOMPARE(cornerPixel(form->gridFrame(x, y)), qRgb(0, 0, 0xFF));
                }
            }
        }
    }

    void infoAndManualFromTheMenu() {
        auto form = startForm();
        TAboutBox about(form.get());
        TManualForm manual(form.get());
        form->setAuxiliaryWindows(&about, &manual);
        form->move(300, 100);
        action(*form, "Info1")->trigger();
        QVERIFY(about.isVisible());
        QVERIFY(!about.isModal());
        QCOMPARE(about.GetVersion(), QStringLiteral("1.0.1.32"));
        // "Anleitung" is modal: it returns once the manual is closed, placed over the window.
        // Before its first showing the manual's frame is unknown and its client size stands in.
        for (const QSize& size : {TManualForm::initialClientSize, QSize()}) {
            const QSize placedSize = size.isValid() ? size : manual.frameGeometry().size();
            bool wasOpen = false;
            QTimer::singleShot(100, &manual, [&] {
                wasOpen = manual.isVisible() && manual.isModal();
                manual.close();
            });
            action(*form, "Anleitung1")->trigger();
            QVERIFY(wasOpen);
            QCOMPARE(manual.frameGeometry().topLeft(),
                     manualWindowPosition(form->frameGeometry(), placedSize));
        }
    }

    void settingsAcrossTwoLifetimes() {
        {
            auto form = startForm();
            QCOMPARE(form->game().level(), 4);
            QCOMPARE(form->pos(), QPoint(5, 5));
            action(*form, "TMMLevel7")->trigger();
            form->move(100, 50);
            action(*form, "Beenden1")->trigger();
            QVERIFY(!form->isVisible());
        }
        QSettings stored(ini::storeLocation(), QSettings::IniFormat);
        QCOMPARE(stored.value("Options/Lev").toString(), QStringLiteral("7"));
        QCOMPARE(stored.value("Position/X1").toString(), QStringLiteral("100"));
        QCOMPARE(stored.value("Position/Y1").toString(), QStringLiteral("50"));
        QVERIFY(stored.value("Position/X2").toInt() > 700);
        QCOMPARE(stored.value("Version/Ver").toString(), QStringLiteral("1.0.1.32"));
        auto again = startForm();
        QCOMPARE(again->game().level(), 7);
        QCOMPARE(again->pos(), QPoint(100, 50));
        QVERIFY(action(*again, "TMMLevel7")->isChecked());
    }

    // Stored positions at the ends of the integer range or beyond what a window system keeps.
    void extremePositionStartsAWorkingWindow_data() {
        QTest::addColumn<QByteArray>("x1");
        QTest::addColumn<QByteArray>("y1");
        QTest::addColumn<QPoint>("placed");
        QTest::newRow("largest") << QByteArray("2147483647") << QByteArray("2147483647")
                                 << QPoint(32767, 32767);
        QTest::newRow("largest in hex")
            << QByteArray("$7FFFFFFF") << QByteArray("0") << QPoint(32767, 0);
        QTest::newRow("smallest") << QByteArray("-2147483648") << QByteArray("-2147483648")
                                  << QPoint(-32768, -32768);
        QTest::newRow("beyond 16 bits")
            << QByteArray("99999") << QByteArray("-40000") << QPoint(32767, -32768);
        QTest::newRow("left of the screen")
            << QByteArray("-300") << QByteArray("50") << QPoint(-300, 50);
    }
    void extremePositionStartsAWorkingWindow() {
        QFETCH(QByteArray, x1);
        QFETCH(QByteArray, y1);
        QFETCH(QPoint, placed);
        QDir().mkpath(QFileInfo(ini::storeLocation()).path());
        QFile file(ini::storeLocation());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Position]\nX1=" + x1 + "\nY1=" + y1 + "\n");
        file.close();
        auto form = startForm();
        QCOMPARE(form->pos(), placed);
        // The window is laid out as anywhere else, and a click still reaches the rules.
        QCOMPARE(geometryOf(*form, "PanelMain"), QRect(4, 8, 584, 356));
        QCOMPARE(form->centralWidget()->size(), QSize(592, 368));
        QVERIFY(form->frameGeometry().contains(form->geometry()));
        QCOMPARE(form->frameGeometry().topLeft(), placed);
        const int before = form->game().cell(0, 0).ImageIndex;
        if (!form->game().cell(0, 0).IsFixed) {
            form->gridFrame(0, 0)->Image1Click();
            QVERIFY(form->game().cell(0, 0).ImageIndex != before);
        }
        form->close();
        QSettings stored(ini::storeLocation(), QSettings::IniFormat);
        QCOMPARE(stored.value("Position/X1").toString(), QString::number(placed.x()));
        QCOMPARE(stored.value("Position/Y1").toString(), QString::number(placed.y()));
    }

    void damagedStoreStillStartsAGame() {
        QDir().mkpath(QFileInfo(ini::storeLocation()).path());
        QFile file(ini::storeLocation());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Position]\nX1=120\nY1=60\nX2=300\nY2=@ByteArray(12)\n[Options]\nLev=6\n");
        file.close();
        QStringList errors;
        auto form = startForm(&errors);
        QCOMPARE(errors, QStringList{QStringLiteral("Invalid data type for 'Y2'")});
        // The values read before the error stay; the level after it takes its default.
        QCOMPARE(form->pos(), QPoint(120, 60));
        QCOMPARE(form->game().level(), 4);
        QCOMPARE(form->gridFrame(8, 8)->ImageIndex(), form->game().cell(8, 8).ImageIndex);
        // Closing writes every value as text again, which repairs the store.
        form->close();
        QSettings stored(ini::storeLocation(), QSettings::IniFormat);
        QCOMPARE(stored.value("Position/Y2").typeId(), QMetaType::QString);
        QStringList again;
        auto repaired = startForm(&again);
        QVERIFY(again.isEmpty());
    }
};

int main(int argc, char** argv) {
    // The settings store must never be the real one of the user running the tests.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    TestQVMain test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_QVMain.moc"
