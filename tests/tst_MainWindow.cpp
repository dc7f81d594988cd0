// The main window: layout figures per level, the legend, the menus, clicks through to the rules,
// the settings across two window lifetimes and start-up after a damaged settings store.
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

namespace {

RuntimeRandom::SeedSource seedsFrom(quint32 first) {
    return [next = first]() mutable { return next++; };
}

// The day the tests play on, and a clock they move by hand.
const QDate testDay(2026, 12, 9);
std::int64_t fakeNow = 0;
bool overwriteAnswer = true;  // may another copy's newer game be overwritten

std::unique_ptr<MainWindow> startForm(QStringList* errors = nullptr, quint32 seed = 1) {
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

QRect geometryOf(const MainWindow& form, const char* name) {
    auto* widget = form.findChild<QWidget*>(QLatin1String(name));
    return widget != nullptr ? widget->geometry() : QRect();
}

QAction* action(const MainWindow& form, const char* name) {
    return form.findChild<QAction*>(QLatin1String(name));
}

QRgb cornerPixel(const MainWindow& form, int x, int y) {
    return form.boardView()->picture(ElementRef::grid(x, y)).pixel(0, 0);
}

// A left click on an element of the board, through the mouse.
void click(const MainWindow& form, const ElementRef& element) {
    BoardView* board = form.boardView();
    QTest::mouseClick(board, Qt::LeftButton, {}, board->elementRect(element).center());
}

ElementState shown(const MainWindow& form, const ElementRef& element) {
    return form.boardView()->shownState(element).value_or(ElementState());
}

// How many pixels of `img` are of `colour`.
int inkCount(const QImage& img, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            n += (img.pixel(x, y) | 0xFF000000) == colour;
        }
    }
    return n;
}

// The test runs offscreen with a 1920 x 1200 screen and a 1366 x 768 one right of it (see main).
QScreen* screenOfSize(const QSize& size) {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().size() == size) {
            return screen;
        }
    }
    return nullptr;
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QFile::remove(ini::storeLocation());
        removeStateFile();
        QFile::remove(recordFilePath());
    }

    void layoutPerLevel_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<int>("level");
        QTest::addColumn<QRect>("images");
        QTest::addColumn<QRect>("legend");
        QTest::addColumn<QRect>("buttons");
        QTest::addColumn<QSize>("main");
        // Legend to the right for levels 4 to 6, below the board for 7 and 8; legend rows 42
        // apart below the 18-pixel heading, ships 8 apart.
        const QSize large(1920, 1200);
        const QSize laptop(1366, 768);
        QTest::newRow("4") << large << 4 << QRect(4, 4, 310, 310) << QRect(352, 4, 228, 190)
                           << QRect(352, 194, 228, 120) << QSize(584, 356);
        QTest::newRow("5") << large << 5 << QRect(4, 4, 344, 412) << QRect(386, 4, 330, 232)
                           << QRect(386, 236, 330, 180) << QSize(720, 458);
        QTest::newRow("6") << large << 6 << QRect(4, 4, 412, 514) << QRect(454, 4, 440, 274)
                           << QRect(454, 278, 440, 240) << QSize(898, 560);
        QTest::newRow("7") << large << 7 << QRect(4, 4, 718, 412) << QRect(4, 454, 576, 316)
                           << QRect(580, 454, 142, 316) << QSize(764, 774);
        QTest::newRow("8") << large << 8 << QRect(4, 4, 922, 446) << QRect(4, 488, 720, 358)
                           << QRect(724, 488, 202, 358) << QSize(968, 850);
        // Too tall for 768 lines with the legend below, level 7 takes it to the right.
        QTest::newRow("7 on 1366x768")
            << laptop << 7 << QRect(4, 4, 718, 412) << QRect(760, 4, 576, 316)
            << QRect(760, 320, 576, 96) << QSize(1340, 458);
    }
    void layoutPerLevel() {
        QFETCH(QSize, screen);
        QFETCH(int, level);
        QFETCH(QRect, images);
        QFETCH(QRect, legend);
        QFETCH(QRect, buttons);
        QFETCH(QSize, main);
        QScreen* on = screenOfSize(screen);
        if (on == nullptr) {
            QSKIP("no screen of that size");
        }
        auto form = startForm();
        form->move(on->availableGeometry().topLeft() + QPoint(5, 5));
        form->setLevel(level);
        const BoardLayout& layout = form->boardView()->currentLayout();
        QCOMPARE(layout.images, images);
        QCOMPARE(layout.columns, QRect(4, images.bottom() + 1, images.width(), 38));
        QCOMPARE(layout.rows, QRect(images.right() + 1, 4, 38, images.height()));
        QCOMPARE(layout.legend, legend);
        QCOMPARE(geometryOf(*form, "PanelButtons"), buttons);
        QCOMPARE(geometryOf(*form, "PanelMain"), QRect(QPoint(4, 8), main));
        QCOMPARE(geometryOf(*form, "btnZeigen"), QRect(10, 10, 75, 25));
        QCOMPARE(geometryOf(*form, "btnNeu"), QRect(10, 45, 75, 25));
        // Every panel shows whole: the client area holds PanelMain with its margins.
        QVERIFY(form->centralWidget()->rect().contains(geometryOf(*form, "PanelMain")));
        QVERIFY(form->width() >= main.width() + 8);
        // Elements sit at a pitch of 34, 2 pixels inside their panel.
        const LevelInfo& info = levelInfo(level);
        const BoardView* board = form->boardView();
        QCOMPARE(board->elementRect(ElementRef::grid(info.maxCol, info.maxRow)),
                 QRect(info.maxCol * 34 + 2, info.maxRow * 34 + 2, 34, 34).translated(4, 4));
        QCOMPARE(board->elementRect(ElementRef::column(info.maxCol)),
                 QRect(info.maxCol * 34 + 2, 2, 34, 34).translated(layout.columns.topLeft()));
        QCOMPARE(board->elementRect(ElementRef::row(info.maxRow)),
                 QRect(2, info.maxRow * 34 + 2, 34, 34).translated(layout.rows.topLeft()));
        QCOMPARE(form->findChild<QLabel*>("heading")->text(),
                 QString::fromStdString(levelLabel(level)));
    }

    // Every size derives from the cell pitch by the same formulas; the buttons keep theirs, so
    // the view grows around them and the playing time on small boards. With the fit on, a board too
    // large for its screen is shown at the largest step that fits.
    void zoomedLayout_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<bool>("fit");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QSize>("main");
        const QSize large(1920, 1200);
        const QList<QSize> at60{{342, 234}, {422, 268}, {527, 328}, {460, 455}, {568, 500}};
        const QList<QSize> at130{{757, 462}, {933, 594}, {1163, 726}, {990, 1001}, {1254, 1099}};
        for (int level = 4; level <= 8; ++level) {
            QTest::addRow("%d at 60 %%", level)
                << large << level << 60 << false << 60 << at60[level - 4];
            QTest::addRow("%d at 130 %%", level)
                << large << level << 130 << false << 130 << at130[level - 4];
        }
        // 968 x 850 at the normal size: at 90 % still 775 high, at 80 % with room for the
        // helps' bar.
        QTest::newRow("8 on 1366x768, fitted")
            << QSize(1366, 768) << 8 << 100 << true << 80 << QSize(770, 674);
        QTest::newRow("8 on 1366x768, not fitted")
            << QSize(1366, 768) << 8 << 100 << false << 100 << QSize(968, 850);
    }
    void zoomedLayout() {
        QFETCH(QSize, screen);
        QFETCH(int, level);
        QFETCH(int, zoom);
        QFETCH(bool, fit);
        QFETCH(int, shown);
        QFETCH(QSize, main);
        QScreen* on = screenOfSize(screen);
        QVERIFY(on != nullptr);
        auto form = startForm();
        form->move(on->availableGeometry().topLeft() + QPoint(5, 5));
        action(*form, "Anpassen1")->setChecked(fit);
        form->setZoom(zoom);
        form->setLevel(level);
        QCOMPARE(form->chosenZoom(), zoom);
        QCOMPARE(form->shownZoom(), shown);
        QCOMPARE(geometryOf(*form, "PanelMain"), QRect(QPoint(4, 8), main));
        QCOMPARE(form->centralWidget()->size(), main + QSize(8, 12));
        const int pitch = pitchForZoom(shown);
        const int border = std::max(1, (2 * pitch + 17) / 34);
        const LevelInfo& info = levelInfo(level);
        const int inset = (4 * pitch + 17) / 34;
        QCOMPARE(form->boardView()->elementRect(ElementRef::grid(info.maxCol, info.maxRow)),
                 QRect(info.maxCol * pitch + border, info.maxRow * pitch + border, pitch, pitch)
                     .translated(inset, inset));
        QCOMPARE(form->boardView()->picture(ElementRef::grid(0, 0)).size(),
                 QSize(pitch - 2, pitch - 2));
    }

    void legendRowsAndShips() {
        auto form = startForm();
        form->setLevel(4);
        // Row r holds r + 1 ships of 4 - r segments: 22 25 25 23, 22 25 23, 22 23, 20.
        const QList<QList<int>> rows{{22, 25, 25, 23}, {22, 25, 23}, {22, 23}, {20}};
        for (int r = 0; r < 4; ++r) {
            for (int s = 0; s <= r; ++s) {
                for (int i = 0; i < rows[r].size(); ++i) {
                    const ElementRef e = ElementRef::legend(r, s, i);
                    QCOMPARE(shown(*form, e).shownCode, rows[r][i]);
                    QCOMPARE(
                        form->boardView()->elementRect(e).topLeft(),
                        form->boardView()->currentLayout().legend.topLeft() +
                            QPoint((int(rows[r].size()) * 34 + 8) * s + i * 34 + 4, 26 + 42 * r));
                    QVERIFY(form->boardView()->cellMenu(e) == nullptr);
                }
            }
            QVERIFY(form->boardView()->elementRect(ElementRef::legend(r, r + 1, 0)).isEmpty());
        }
    }

    void headingIsBlackAndFillsItsCell() {
        auto form = startForm();
        // The heavy face comes after the first paint.
        form->show();
        QTRY_VERIFY(form->boardView()->headingFaceSet());
        QCoreApplication::processEvents();
        const QFont font = form->findChild<QLabel*>("heading")->font();
        // A black face, not a bold one standing in for it: the game installs Inter Black.
        const QFontInfo face(font);
        QVERIFY2(face.family() == QStringLiteral("Arial Black") ||
                     face.styleName() == QStringLiteral("Black"),
                 qPrintable(face.family() + u' ' + face.styleName()));
        // The largest size whose cell fits the heading's 18 pixels.
        QVERIFY(QFontMetrics(font).height() <= 18);
        QFont larger = font;
        larger.setPixelSize(font.pixelSize() + 1);
        QVERIFY(QFontMetrics(larger).height() > 18);
        // The x of the board size stays an x.
        QTextLayout size(QStringLiteral("9x9"), font);
        size.beginLayout();
        size.createLine();
        size.endLayout();
        QCOMPARE(size.glyphRuns().first().glyphIndexes().value(1),
                 QRawFont::fromFont(font).glyphIndexesForString(QStringLiteral("x")).value(0));
    }

    void switchFromLevel8To4HidesOuterElements() {
        auto form = startForm();
        form->setLevel(8);
        form->setLevel(4);
        // The elements beyond the board are gone: no sliver of them shows or takes a click.
        const BoardView* board = form->boardView();
        for (const ElementRef& e : {ElementRef::grid(9, 0), ElementRef::grid(26, 12),
                                    ElementRef::row(9), ElementRef::column(9)}) {
            QVERIFY(board->elementRect(e).isEmpty());
        }
        const QRect last = board->elementRect(ElementRef::grid(8, 8));
        QCOMPARE(board->elementAt(QPoint(last.right() + 2, last.center().y())), std::nullopt);
        // Back at level 8 they show again, with the new game's state.
        form->setLevel(8);
        QCOMPARE(shown(*form, ElementRef::grid(26, 12)).shownCode, imgCovered);
        QCOMPARE(board->elementAt(board->elementRect(ElementRef::grid(26, 12)).center()),
                 std::optional(ElementRef::grid(26, 12)));
    }

    void menus() {
        auto form = startForm();
        QList<QMenu*> menus;
        for (QAction* a : form->menuBar()->actions()) {
            menus << a->menu();
        }
        QCOMPARE(menus.size(), 5);
        QCOMPARE(menus[0]->title(), QStringLiteral("&Spiel"));
        QCOMPARE(menus[1]->title(), QStringLiteral("&Bearbeiten"));
        QCOMPARE(menus[2]->title(), QStringLiteral("&Hilfen"));
        QCOMPARE(menus[3]->title(), QStringLiteral("&Ansicht"));
        QCOMPARE(menus[4]->title(), QStringLiteral("&?"));
        struct Entry {
            const char* name;
            const char* caption;
            QKeySequence shortcut;
            bool visible;
        };
        const QList<Entry> spiel{
            {"Neu1", "&Neu", QKeySequence(Qt::Key_F2), true},
            {"Spielnummer1", "&Spielnummer…", {}, true},
            {"Tagesraetsel1", "Tages&rätsel", {}, true},
            {"EigenesRaetsel1", "Eigenes Rätse&l…", {}, true},
            {"N8", "", {}, true},
            {"Drucken1", "&Drucken…", QKeySequence(Qt::CTRL | Qt::Key_P), true},
            {"AlsPdfSpeichern1", "Als PDF spei&chern…", {}, true},
            {"Raetselheft1", "Rätsel&heft…", {}, true},
            {"N1", "", {}, true},
            {"TMMLevel4", "&Anfänger Level", QKeySequence(Qt::ALT | Qt::Key_1), true},
            {"TMMLevel5", "&Fortgeschrittenen Level", QKeySequence(Qt::ALT | Qt::Key_2), true},
            {"TMMlevel6", "&Profi Level", QKeySequence(Qt::ALT | Qt::Key_3), true},
            {"TMMLevel7", "&Verrücktes Level", QKeySequence(Qt::ALT | Qt::Key_4), true},
            {"TMMLevel8", "&Irrsinniges Level", QKeySequence(Qt::ALT | Qt::Key_5), true},
            {"N6", "", {}, true},
            {"EindeutigeLoesung1", "&Eindeutige Lösung", {}, true},
            {"Schwierigkeit1", "Sch&wierigkeit", {}, true},
            {"Fortsetzen1", "Spiel beim nächsten Start f&ortsetzen", {}, true},
            {"ZeitAnzeigen1", "Zeit anzei&gen", {}, true},
            {"N2", "", {}, false},
            {"Zeigen1", "&Zeigen", QKeySequence(Qt::Key_F1), true},
            {"Bestzeiten1", "Bes&tzeiten", {}, true},
            {"N3", "", {}, true},
            {"Beenden1", "&Beenden", {}, true}};
        const QList<Entry> edit{
            {"Rueckgaengig1", "&Rückgängig", QKeySequence(Qt::CTRL | Qt::Key_Z), true},
            {"Wiederholen1", "&Wiederholen", QKeySequence(Qt::CTRL | Qt::Key_Y), true}};
        const QList<Entry> help{{"Anleitung1", "&Anleitung", {}, true},
                                {"TastenUndHilfen1", "&Tasten und Hilfen", {}, true},
                                {"N5", "", {}, true},
                                {"Info1", "&Info", {}, true}};
        const QList<Entry> helps{
            {"Tipp1", "&Tipp", QKeySequence(Qt::Key_F3), true},
            {"FehlerZeigen1", "&Fehler zeigen", QKeySequence(Qt::Key_F4), true},
            {"Mitzaehlen1", "&Mitzählen", {}, true}};
        const QList<Entry> view{
            {"Groesser1", "&Größer", QKeySequence(Qt::CTRL | Qt::Key_Plus), true},
            {"Kleiner1", "&Kleiner", QKeySequence(Qt::CTRL | Qt::Key_Minus), true},
            {"Normalgroesse1", "&Normalgröße", QKeySequence(Qt::CTRL | Qt::Key_0), true},
            {"N7", "", {}, true},
            {"Anpassen1", "An &Bildschirm anpassen", {}, true}};
        for (const auto& [menu, entries] :
             {std::pair{menus[0], spiel}, std::pair{menus[1], edit}, std::pair{menus[2], helps},
              std::pair{menus[3], view}, std::pair{menus[4], help}}) {
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
        // Redo also answers to Ctrl+Shift+Z; neither is offered before a move.
        QCOMPARE(action(*form, "Wiederholen1")->shortcuts().size(), 2);
        QCOMPARE(action(*form, "Wiederholen1")->shortcuts().at(1),
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        QVERIFY(!action(*form, "Rueckgaengig1")->isEnabled());
        QVERIFY(!action(*form, "Wiederholen1")->isEnabled());
        // The level entries are one radio group; the stored level's entry is checked.
        QActionGroup* group = action(*form, "TMMLevel4")->actionGroup();
        QVERIFY(group != nullptr && group->isExclusive());
        QCOMPARE(group->actions().size(), 5);
        QVERIFY(action(*form, "Anpassen1")->isChecked());
        QVERIFY(action(*form, "TMMLevel4")->isChecked());
        action(*form, "TMMLevel7")->trigger();
        QVERIFY(action(*form, "TMMLevel7")->isChecked());
        QVERIFY(!action(*form, "TMMLevel4")->isChecked());
        QCOMPARE(form->game().level(), 7);
        QCOMPARE(form->settings().level, 7);
    }

    // A number from the dialog starts its puzzle; a malformed or unknown one is refused with a
    // message and changes nothing.
    void puzzleNumbers_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");  // a part of what the player is told
        QTest::newRow("the number of a game") << "game"
                                              << "";
        QTest::newRow("typed loosely") << "loose"
                                       << "";
        QTest::newRow("malformed") << "8-3F2A91C0"
                                   << "ist keine Spielnummer";
        QTest::newRow("wrong check digit") << "wrongcheck"
                                           << "Tippfehler?";
        QTest::newRow("unknown level") << "level3"
                                       << "4 Anfänger Level, 5 Fortgeschrittenen Level";
        QTest::newRow("a seed that built no game") << "failing"
                                                   << "gibt es kein Spiel";
        QTest::newRow("empty") << ""
                               << "Bitte eine Spielnummer eingeben";
        QTest::newRow("a long text, cut short") << QString(9600, u'x') << "xxx…“ ist keine";
        QTest::newRow("a puzzle code miscopied") << "R-99C4H-304RH-855M4-4G148-CGNMM-95XNA-9V81H"
                                                 << "falsch abgeschrieben";
    }
    void puzzleNumbers() {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        const bool plays = message.isEmpty();
        ShipGame source(seedsFrom(77u));
        source.setUniqueMode(true);
        source.setLevel(7);
        const PuzzleId id{7, source.gameSeed(), true};
        QString number = QString::fromStdString(formatPuzzleNumber(id));
        if (typed == "game") {
            typed = number;
        } else if (typed == "loose") {
            typed = QStringLiteral("  ") +
                    number.toLower().replace(QLatin1Char('0'), QLatin1Char('o')) + " ";
        } else if (typed == "wrongcheck") {
            typed = number.left(number.size() - 1) + (number.endsWith('0') ? "1" : "0");
        } else if (typed == "level3") {
            typed = QStringLiteral("3-%1-").arg(id.seed, 8, 16, QLatin1Char('0')).toUpper() +
                    QLatin1Char(puzzleNumberCheck({3, id.seed, false}));
        } else if (typed == "failing") {
            // At level 8 some seeds find no fleet; their numbers are well formed.
            quint32 seed = 0;
            for (;; ++seed) {
                ShipGame probe(seedsFrom(seed));
                probe.setLevel(8);
                if (probe.attempts() >= 2) {
                    break;
                }
            }
            typed = QString::fromStdString(formatPuzzleNumber({8, seed, false}));
        }
        auto form = startForm(nullptr, 3);
        const std::string before = form->game().exportPlay();
        const QString numberBefore = form->puzzleNumber();
        form->findChild<QAction*>("Spielnummer1")->trigger();
        auto* dialog = form->findChild<PuzzleDialog*>();
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->currentNumber()->text(), numberBefore);
        QStringList warnings;
        dialog->setWarn([&warnings](QWidget*, const QString& text) { warnings << text; });
        dialog->input()->setText(typed);
        dialog->play();
        QCOMPARE(warnings.isEmpty(), plays);
        if (plays) {
            QCOMPARE(form->puzzleNumber(), number);
            QVERIFY(action(*form, "TMMLevel7")->isChecked());
            QCOMPARE(form->game().exportPlay(), source.exportPlay());
            QVERIFY(dialog->isHidden());
        } else {
            QCOMPARE(form->puzzleNumber(), numberBefore);
            QCOMPARE(form->game().exportPlay(), before);
            QVERIFY2(warnings.first().contains(message), qPrintable(warnings.first()));
            QVERIFY(warnings.first().size() < 200);
        }
    }

    // A chosen difficulty: one of four exclusive entries, it builds the next games (their
    // numbers carry it, the dialog names the grade) and is kept with the settings, the game in
    // progress with its number.
    // A puzzle from paper: pasted into the editor, checked, played to one of its two solutions
    // (the one the board did not start with), resumed after a restart, and kept out of the
    // best times.
    void typedInPuzzleFromTheEditor() {
        auto form = startForm(nullptr, 3);
        action(*form, "TMMLevel7")->trigger();
        action(*form, "EigenesRaetsel1")->trigger();
        auto* editor = form->findChild<PuzzleEditor*>();
        QVERIFY(editor != nullptr && editor->isVisible());
        // A count that runs long (a wide board with a large fleet and no clue) is cancelled.
        QString hard =
            "Flotte: 1x8 2x7 3x6 4x5 5x4 6x3 7x2 8x1\n"
            "9 1 9 1 8 1 9 1 7 1 7 2 8 1 6 2 6 5 4 6 5 5 3 6 2 5\n";
        for (const int n : {14, 5, 13, 7, 16, 6, 13, 8, 8, 12, 8, 10}) {
            hard += QString::number(n) + ' ' + QString(26, u'.') + '\n';
        }
        QVERIFY(editor->takeText(hard));
        editor->check();
        editor->cancelCheck();
        QVERIFY(editor->answer()->text().startsWith("Die Prüfung wurde abgebrochen"));
        editor->textView()->setPlainText("Flotte: 1x1\n  ? ? 0\n1 . . .\n");
        editor->findChild<QPushButton*>("btnTextUebernehmen")->click();
        QCOMPARE(editor->puzzle().columns, 3);
        editor->findChild<QPushButton*>("btnPruefen")->click();
        QTRY_COMPARE(editor->answer()->text(), QStringLiteral("Das Rätsel hat 2 Lösungen."));
        editor->findChild<QPushButton*>("btnSpielen")->click();
        QVERIFY(editor->isHidden() && form->game().isTypedIn());
        QVERIFY(form->puzzleNumber().startsWith("R-"));
        const int other = form->game().cell(0, 0).hasShip ? 1 : 0;
        form->play({Move::mark(other, 0, imgShipSingle)});
        QVERIFY(form->helpText().startsWith("Gelöst in"));
        QCOMPARE(form->game().cell(other, 0).face, CellFace::Found);
        const QString code = form->puzzleNumber();
        form->close();
        form.reset();
        auto again = startForm(nullptr, 900);
        QCOMPARE(again->puzzleNumber(), code);
        QCOMPARE(again->game().cell(other, 0).face, CellFace::Found);
        QCOMPARE(again->game().stepsDone(), std::size_t(1));
        QVERIFY(readRecordFile() == Record{});
        QVERIFY(action(*again, "TMMLevel7")->isChecked());  // kept for the next new game
        // Its code, typed into the number dialog, starts it afresh.
        again->findChild<QAction*>("Spielnummer1")->trigger();
        again->findChild<PuzzleDialog*>()->input()->setText(code);
        again->findChild<PuzzleDialog*>()->play();
        QCOMPARE(again->puzzleNumber(), code);
        QCOMPARE(again->game().cell(other, 0).face, CellFace::Normal);
    }

    void chosenDifficulty() {
        auto form = startForm(nullptr, 21);
        QVERIFY(action(*form, "Beliebig1")->isChecked());
        action(*form, "Leicht1")->trigger();
        QVERIFY(!action(*form, "Beliebig1")->isChecked());
        form->newGame();
        QVERIFY(form->puzzleNumber().startsWith(QStringLiteral("4L-")));
        form->findChild<QAction*>("Spielnummer1")->trigger();
        QCOMPARE(form->findChild<QLabel*>("lblLoesungen")->text(),
                 QStringLiteral("Dieses Spiel hat genau eine Lösung. Schwierigkeit: leicht."));
        form->play({Move::mark(form->game().cell(0, 0).isClue ? 1 : 0, 0, imgWater)});
        const QString number = form->puzzleNumber();
        const std::string play = form->game().exportPlay();
        form->close();
        form.reset();
        auto again = startForm(nullptr, 900);
        QCOMPARE(again->settings().difficulty, 1);
        QVERIFY(action(*again, "Leicht1")->isChecked());
        QCOMPARE(again->puzzleNumber(), number);
        QCOMPARE(again->game().exportPlay(), play);
    }

    // Closed half-way, a game comes back at the next start with the same pictures; with
    // resuming off, a new game starts and nothing is kept.
    void gameSurvivesARestart() {
        auto pictures = [](MainWindow& form) {
            QList<QImage> all;
            for (const ElementRef& ref : form.game().allElements()) {
                all << form.boardView()->picture(ref);
            }
            return all;
        };
        auto form = startForm(nullptr, 5);
        action(*form, "TMMLevel8")->trigger();
        form->play({Move::mark(3, 4, imgShipTop), Move::fillRow(6, true)});
        form->play({Move::tick(2, 1, 0)});
        form->showSolution();
        form->play({Move::toggle(20, 10)});
        const QList<QImage> before = pictures(*form);
        const QString number = form->puzzleNumber();
        form->close();
        form.reset();
        auto again = startForm(nullptr, 900);
        QCOMPARE(again->puzzleNumber(), number);
        QVERIFY(again->game().level() == 8);
        QVERIFY(pictures(*again) == before);
        // Its history came back too; a state file of the format without it resumes as well.
        QCOMPARE(again->game().stepsDone(), std::size_t(4));
        const QByteArray payload = readStateFile().value();
        QVERIFY(writeStateFile("QUORVIK-GAME 1" + payload.mid(payload.indexOf('\n'),
                                                              payload.indexOf("\nhistory-base ") +
                                                                  1 - payload.indexOf('\n'))));
        auto old = startForm(nullptr, 902);
        QCOMPARE(old->puzzleNumber(), number);
        QVERIFY(pictures(*old) == before);
        QVERIFY(!old->game().canUndo());
        old.reset();
        // A level entry starts a new game, whatever was restored, and an undo brings the
        // restored one back: its board, level, legend heading and history; the number dialog
        // follows.
        again->askPuzzleNumber();
        action(*again, "TMMLevel4")->trigger();
        const QString fresh = again->puzzleNumber();
        QVERIFY(fresh != number);
        again->undoMove();
        QCOMPARE(again->puzzleNumber(), number);
        QVERIFY(action(*again, "TMMLevel8")->isChecked());
        QVERIFY(pictures(*again) == before);
        QCOMPARE(again->game().stepsDone(), std::size_t(4));
        QCOMPARE(again->findChild<PuzzleDialog*>()->currentNumber()->text(), number);
        again->redoMove();
        QCOMPARE(again->puzzleNumber(), fresh);
        QCOMPARE(again->findChild<QLabel*>("heading")->text(),
                 QString::fromStdString(levelLabel(4)));
        // Resuming off: closed, nothing is kept, the next start is a new game.
        action(*again, "Fortsetzen1")->setChecked(false);
        again->close();
        again.reset();
        QVERIFY(!readStateFile());
        auto next = startForm(nullptr, 901);
        QVERIFY(!action(*next, "Fortsetzen1")->isChecked());
        QCOMPARE(next->game().level(), 4);
    }

    // The playing time runs from the first move while the window is in front, stops at the
    // game's end and goes on after a restart. Steps: a/d the window is activated/deactivated,
    // n/o minimised/shown normal, +N seconds pass, m a move, z "Zeigen", g a new game, r close
    // and start again,
    // x the same with the clock's line taken out of the kept game, h with a time past any
    // bound in it, k the program killed (no close) and started again.
    void clockRunsWhileInFront_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("seconds");
        QTest::newRow("from the first move") << "a +5 m +3" << 3;
        QTest::newRow("only while active") << "a m +5 d +7 a +2" << 7;
        QTest::newRow("not while minimised") << "a m +4 n +9 o a +1" << 5;
        QTest::newRow("shown solution stops it") << "a m +4 z +6 m +2" << 4;
        QTest::newRow("a resumed game goes on") << "a m +4 r +100 a +3" << 7;
        QTest::newRow("kept with the solution shown") << "a m +4 z r a +6 m" << 4;
        QTest::newRow("kept without its time") << "a m +4 x a +5 m +2" << 2;
        QTest::newRow("a time past any bound") << "a m +4 h a +5 m +2" << 2;
        QTest::newRow("steady play is kept") << "a m +1 m +1 m k a +2" << 3;
        QTest::newRow("a new game starts at nought") << "a m +5 g +3" << 0;
    }
    void clockRunsWhileInFront() {
        QFETCH(QString, steps);
        QFETCH(int, seconds);
        fakeNow = 1000;
        auto form = startForm(nullptr, 3);
        form->show();
        for (const QString& step : steps.split(u' ')) {
            if (step == "a" || step == "d") {
                QApplication::setActiveWindow(step == "a" ? form.get() : nullptr);
            } else if (step == "n" || step == "o") {
                step == "n" ? form->showMinimized() : form->showNormal();
            } else if (step.startsWith(u'+')) {
                fakeNow += step.mid(1).toInt() * 1000;
            } else if (step == "m") {
                form->play({Move::toggle(0, 0)});
            } else if (step == "z") {
                form->showSolution();
            } else if (step == "g") {
                form->newGame();
            } else if (step == "r" || step == "x" || step == "h" || step == "k") {
                step == "k" || form->close();
                if (step == "x" || step == "h") {
                    QByteArray kept = readStateFile().value_or("");
                    kept.truncate(kept.lastIndexOf("clock "));
                    QVERIFY(writeStateFile(kept +
                                           (step == "h" ? "clock 9223372036854775000 s -\n" : "")));
                }
                form.reset();
                form = startForm(nullptr, 4);
                form->show();
            }
        }
        QCOMPARE(form->clock().elapsed(), seconds * 1000);
        QTRY_COMPARE(form->clockText(), QString::fromStdString(formatPlayTime(seconds * 1000)));
        // Hidden by the option, and shown again with the time as it stands.
        action(*form, "ZeitAnzeigen1")->setChecked(false);
        QCOMPARE(form->clockText(), QString());
        action(*form, "ZeitAnzeigen1")->setChecked(true);
        QCOMPARE(form->clockText(), QString::fromStdString(formatPlayTime(seconds * 1000)));
        // The game counts once, also when kept across a restart or replaced by a new one; one
        // ended by "Zeigen" is not solved.
        form->newGame();
        const Record record = readRecordFile();
        QCOMPARE(record.level(4)->started, 1);
        QCOMPARE(record.level(4)->solved, 0);
    }

    // A copy asks before it overwrites another copy's newer game, and keeps it on a no.
    void anotherCopysNewerGameIsKept() {
        auto first = startForm(nullptr, 21);
        auto second = startForm(nullptr, 22);
        first->play({Move::toggle(1, 1)});
        first->saveGameInProgress();
        const std::optional<QByteArray> newer = readStateFile();
        second->play({Move::toggle(2, 2)});
        overwriteAnswer = false;
        second->close();
        overwriteAnswer = true;
        QVERIFY(newer && readStateFile() == newer);
    }

    // A game file that cannot be written is said once in the hint bar, not again at each save.
    void failedSaveIsSaidOnce() {
        auto form = startForm(nullptr, 23);
        QVERIFY(QDir().mkpath(stateFilePath()));  // a folder where the file would go
        form->play({Move::toggle(1, 1)});
        form->saveGameInProgress();
        QVERIFY(form->helpText().contains(stateFilePath()));
        form->play({Move::toggle(2, 2)});
        form->saveGameInProgress();
        QCOMPARE(form->helpText(), QString());
        QVERIFY(QDir(stateFilePath()).removeRecursively());
    }

    // A solved game enters the table of its kind at the place its time earns and says so in the
    // hint bar; counts and runs follow. Three times are in each table before: 1:00, 2:00, 5:00.
    void solvedGameEntersItsTable_data() {
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("place");
        QTest::addColumn<QString>("said");
        QTest::newRow("default") << 0 << 3 << 2
                                 << "Gelöst in 1:30 – Platz 2 der Bestzeiten im Anfänger Level.";
        QTest::newRow("one solution")
            << 1 << 0 << 1
            << "Gelöst in 1:30 – neue Bestzeit im Anfänger Level (eindeutige "
               "Lösung).";
        QTest::newRow("day's puzzle")
            << 2 << 3 << 2
            << "Gelöst in 1:30 – Platz 2 der Bestzeiten im Anfänger Level "
               "(Tagesrätsel).";
        QTest::newRow("ten faster times") << 0 << 10 << 0 << "Gelöst in 1:30.";
        QTest::newRow("after the solution was shown")
            << 0 << 0 << -1 << "Alle Schiffe sind gefunden, aber dieses Spiel zählt nicht";
    }
    void solvedGameEntersItsTable() {
        QFETCH(int, table);
        QFETCH(int, before);
        QFETCH(int, place);
        QFETCH(QString, said);
        const auto kind = static_cast<TimeTable>(table);
        for (int k = 0; k < before; ++k) {
            const std::int64_t ms =
                before > 3 ? 1000 * (k + 1) : std::array{60000, 120000, 300000}[std::size_t(k)];
            QVERIFY(addToRecordFile({GameEvent::Kind::Solved, 4, kind, ms, testDay.addDays(-3),
                                     false, testDay.addDays(-1)}));
        }
        fakeNow = 0;
        auto form = startForm(nullptr, 11);
        if (kind == TimeTable::Unique) {
            action(*form, "EindeutigeLoesung1")->setChecked(true);
            form->newGame();
        } else if (kind == TimeTable::Daily) {
            form->playPuzzleOfTheDay();
            QVERIFY(form->game().builtUnique());
            // The same puzzle for another player on the same day.
            auto other = startForm(nullptr, 77);
            other->playPuzzleOfTheDay();
            QCOMPARE(other->puzzleNumber(), form->puzzleNumber());
        }
        QApplication::setActiveWindow(form.get());
        const ShipGame& game = form->game();
        std::vector<Move> moves;
        for (int x = 0; x <= game.maxCol(); ++x) {
            for (int y = 0; y <= game.maxRow(); ++y) {
                if (game.cell(x, y).hasShip && !game.cell(x, y).isClue) {
                    moves.push_back(Move::mark(x, y, game.cell(x, y).shipCode));
                }
            }
        }
        if (place < 0) {
            form->showSolution();
            form->undoMove();
        }
        form->play({moves.front()});
        fakeNow += 90000;
        form->play(moves);
        QVERIFY2(form->helpText().startsWith(said), qPrintable(form->helpText()));
        // F3 keeps the sentence; Enter (shown the cursor first) changes nothing.
        const QString text = form->helpText();
        const std::string board = game.exportPlay();
        action(*form, "Tipp1")->trigger();
        QTest::keyClick(form.get(), Qt::Key_Return);
        QTest::keyClick(form.get(), Qt::Key_Return);
        QCOMPARE(form->helpText(), text);
        QCOMPARE(game.exportPlay(), board);
        if (place < 0) {
            return;
        }
        QVERIFY(!form->clock().running());
        const Record record = readRecordFile();
        const LevelRecord& level = *record.level(4);
        QCOMPARE(level.solved, before + 1);
        QCOMPARE(level.solvedUnaided, before + 1);
        QCOMPARE(level.currentRun, before + 1);
        const auto& times = level.times[static_cast<std::size_t>(table)];
        QCOMPARE(int(times.size()), std::min(before + 1, 10));
        if (place > 0) {
            QCOMPARE(times[static_cast<std::size_t>(place - 1)],
                     (RecordTime{90000, testDay, false}));
        }
        // The days' run: the day before (from the times put in first) and today.
        QCOMPARE(record.dayRunOn(testDay), kind == TimeTable::Daily ? 2 : 0);
        // The dialog lists the time at its place; "Zurücksetzen" clears the record.
        form->showBestTimes();
        auto* dialog = form->findChild<BestTimesDialog*>();
        QTreeWidget* list = dialog->table(4, kind);
        QCOMPARE(list->topLevelItemCount(), int(times.size()));
        if (place > 0) {
            QCOMPARE(list->topLevelItem(place - 1)->text(1), QStringLiteral("1:30"));
        }
        // Enter on the question keeps the record; yes clears it.
        QTimer::singleShot(
            0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Enter); });
        dialog->reset();
        QCOMPARE(list->topLevelItemCount(), int(times.size()));
        dialog->setConfirm([](QWidget*) { return true; });
        dialog->reset();
        QVERIFY(readRecordFile() == Record{});
        QCOMPARE(list->topLevelItemCount(), 0);
    }

    // A state file that is whole but does not hold a game of this board starts a clean new
    // game at the stored level, without a message.
    void damagedStateStartsANewGame_data() {
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header only") << QByteArray("QUORVIK-GAME 1\n");
        QTest::newRow("cut in the middle") << QByteArray("cut");
        QTest::newRow("random bytes") << QByteArray("random");
        QTest::newRow("another version") << QByteArray("version");
        QTest::newRow("malformed number") << QByteArray("QUORVIK-GAME 1\n8-XYZ\ncells\n");
        QTest::newRow("marks outside the board") << QByteArray("outside");
    }
    void damagedStateStartsANewGame() {
        QFETCH(QByteArray, payload);
        // A real game's state to damage: level 4, half played.
        QByteArray good;
        {
            auto form = startForm(nullptr, 11);
            form->play({Move::mark(2, 2, imgQuestion)});
            form->close();
            good = readStateFile().value();
        }
        if (payload == "cut") {
            payload = good.left(good.size() / 2);
        } else if (payload == "random") {
            RuntimeRandom bytes;
            payload = good;
            for (char& c : payload) {
                c = char(bytes.Random(256));
            }
        } else if (payload == "version") {
            payload = good;
            payload.replace("QUORVIK-GAME 2", "QUORVIK-GAME 3");
        } else if (payload == "outside") {
            // The play of a level-4 board under the number of a level-8 game.
            ShipGame wide(seedsFrom(3u));
            wide.setLevel(8);
            payload = good;
            const qsizetype first = payload.indexOf('\n') + 1;
            payload.replace(
                first, payload.indexOf('\n', first) - first,
                QByteArray::fromStdString(formatPuzzleNumber({8, wide.gameSeed(), false})));
        }
        QVERIFY(writeStateFile(payload));
        ini::Settings settings;
        settings.level = 6;
        ini::saveSettings(settings);
        QStringList errors;
        auto form = startForm(&errors, 12);
        QVERIFY(errors.isEmpty());
        QCOMPARE(form->game().level(), 6);
        for (int x = 0; x <= form->game().maxCol(); ++x) {
            for (int y = 0; y <= form->game().maxRow(); ++y) {
                const ElementState& c = form->game().cell(x, y);
                QCOMPARE(c.shownCode, c.isClue ? c.shipCode : imgCovered);
            }
        }
    }

    // "Tipp" shows a sentence and the cells it decides; taking it marks them as one step; the
    // next move clears it. "Fehler zeigen" frames exactly the wrong marks.
    void helpsShowAndClear() {
        auto form = startForm(nullptr, 21);
        form->findChild<QAction*>("Tipp1")->trigger();
        QVERIFY(!form->helpText().isEmpty());
        const std::vector<ElementRef> cells = form->highlighted();
        QVERIFY(!cells.empty());
        QTest::keyClick(form.get(), Qt::Key_Return);  // Enter takes the hint that shows
        QVERIFY(form->helpText().isEmpty());
        QVERIFY(form->highlighted().empty());
        for (const ElementRef& ref : cells) {
            QVERIFY(form->game().cell(ref.a, ref.b).shownCode != imgCovered);
        }
        form->undoMove();
        for (const ElementRef& ref : cells) {
            QCOMPARE(form->game().cell(ref.a, ref.b).shownCode, imgCovered);
        }
        // A ship mark where no ship lies, and a right one.
        QPoint water(-1, -1);
        QPoint ship(-1, -1);
        for (int x = 0; x <= form->game().maxCol(); ++x) {
            for (int y = 0; y <= form->game().maxRow(); ++y) {
                const ElementState& c = form->game().cell(x, y);
                if (!c.hasShip && water.x() < 0) {
                    water = QPoint(x, y);
                } else if (c.hasShip && !c.isClue && ship.x() < 0) {
                    ship = QPoint(x, y);
                }
            }
        }
        form->play({Move::mark(water.x(), water.y(), imgShipMiddle)});
        form->play(
            {Move::mark(ship.x(), ship.y(), form->game().cell(ship.x(), ship.y()).shipCode)});
        form->findChild<QAction*>("FehlerZeigen1")->trigger();
        QCOMPARE(form->highlighted().size(), std::size_t(1));
        QCOMPARE(form->highlighted().front(), ElementRef::grid(water.x(), water.y()));
        QVERIFY(form->helpText().contains(QStringLiteral("Eine Markierung")));
        // The board's state is untouched; the next move takes the frames away.
        QCOMPARE(form->game().cell(water.x(), water.y()).shownCode, imgShipMiddle);
        // The keyboard cursor on the same cell: its frame and the mistake's both show. A mouse
        // press hides the cursor until the next key.
        form->show();
        QTest::keyClick(form.get(), Qt::Key_Right);
        for (int i = 0; i < water.x(); ++i) {
            QTest::keyClick(form.get(), Qt::Key_Right);
        }
        for (int i = 0; i < water.y(); ++i) {
            QTest::keyClick(form.get(), Qt::Key_Down);
        }
        QCOMPARE(form->cursor(), ElementRef::grid(water.x(), water.y()));
        const QRect cell = form->boardView()->frameRect(form->cursor());
        const QImage shown = form->boardView()->grab(cell).toImage();
        QVERIFY(inkCount(shown, 0xFFFF00FF) > 50 && inkCount(shown, 0xFFFFD700) > 20);
        QTest::mousePress(form->boardView(), Qt::RightButton, {},
                          form->boardView()->elementRect(ElementRef::grid(0, 0)).center());
        QVERIFY(!form->cursorShown());
        QVERIFY(form->boardView()->frames(FrameKind::Cursor).empty());
        form->play({Move::toggle(water.x(), water.y())});
        QVERIFY(form->highlighted().empty());
        // With the solution shown, both helps say so.
        form->showSolution();
        for (const char* help : {"Tipp1", "FehlerZeigen1"}) {
            form->findChild<QAction*>(help)->trigger();
            QVERIFY(form->helpText().startsWith(QStringLiteral("Die Lösung wird gezeigt.")));
        }
    }

    // "Mitzählen": numbers and red frames follow the count after every move and undo, a complete
    // single ticks a legend ship unless one is ticked by hand, and off shows the model again.
    void tallyFollowsTheMarks() {
        auto form = startForm(nullptr, 2);  // no clue in the top left 3 x 3 cells
        action(*form, "Mitzaehlen1")->trigger();
        const int singles = form->game().legendRowCount() - 1;
        const auto ticked = [&](int ship) {
            return shown(*form, ElementRef::legend(singles, ship, 0)).face == CellFace::Wrong;
        };
        const auto red = [&](const ElementRef& e) {
            const QRect cell = form->boardView()->frameRect(e);
            return inkCount(form->boardView()->grab(cell).toImage(), 0xFFFF0000);
        };
        form->play({Move::mark(0, 0, imgShipSingle), Move::mark(1, 0, imgWater),
                    Move::mark(0, 1, imgWater)});
        QVERIFY(ticked(0));
        QCOMPARE(shown(*form, ElementRef::row(0)).lineDone,
                 form->game().rowNumber(0).shownCode == 1);
        form->play({Move::mark(1, 1, imgQuestion)});
        QVERIFY(!ticked(0));
        QCOMPARE(form->tallyFramed().back(), ElementRef::grid(1, 1));
        QVERIFY(red(ElementRef::grid(1, 1)) > 50);
        form->undoMove();
        QVERIFY(ticked(0));
        QCOMPARE(red(ElementRef::grid(1, 1)), 0);
        click(*form, ElementRef::legend(singles, 1, 0));
        QVERIFY(!ticked(0) && ticked(1));
        action(*form, "Mitzaehlen1")->trigger();
        for (const ElementRef& e : form->game().allElements()) {
            QVERIFY(shown(*form, e) == *form->game().element(e));
        }
        QVERIFY(form->tallyFramed().empty());
    }

    void levelEntryAlwaysStartsANewGame() {
        auto form = startForm(nullptr, 100);
        const QString before = form->puzzleNumber();
        action(*form, "TMMLevel4")->trigger();  // the level already checked
        QVERIFY(form->puzzleNumber() != before);
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
        click(*form, ElementRef::row(3));
        for (int x = 0; x <= game.maxCol(); ++x) {
            const ElementState& c = game.cell(x, 3);
            QCOMPARE(c.shownCode, c.isClue ? c.shipCode : imgWater);
        }
        click(*form, ElementRef::row(3));
        for (int x = 0; x <= game.maxCol(); ++x) {
            const ElementState& c = game.cell(x, 3);
            QCOMPARE(c.shownCode, c.isClue ? c.shipCode : imgCovered);
        }
        // A legend tick and untick, through any segment of the ship.
        click(*form, ElementRef::legend(1, 1, 2));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(shown(*form, ElementRef::legend(1, 1, i)).shownCode, imgWrongMark);
        }
        QCOMPARE(shown(*form, ElementRef::legend(1, 0, 0)).shownCode, imgShipLeft);
        click(*form, ElementRef::legend(1, 1, 2));
        const QList<int> shape{22, 25, 23};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(shown(*form, ElementRef::legend(1, 1, i)).shownCode, shape[i]);
        }
        // A grid cell click is water, and the cell's picture follows.
        int x = 0;
        while (game.cell(x, 8).isClue) {
            ++x;
        }
        click(*form, ElementRef::grid(x, 8));
        QCOMPARE(game.cell(x, 8).shownCode, imgWater);
        QCOMPARE(form->boardView()->picture(ElementRef::grid(x, 8)).pixel(10, 10),
                 qRgb(255, 255, 255));
        // A clue refuses the click and the menu alike.
        const QPoint clue = [&] {
            for (int cx = 0; cx <= game.maxCol(); ++cx) {
                for (int cy = 0; cy <= game.maxRow(); ++cy) {
                    if (game.cell(cx, cy).isClue) {
                        return QPoint(cx, cy);
                    }
                }
            }
            return QPoint();
        }();
        const std::size_t steps = game.stepsDone();
        click(*form, ElementRef::grid(clue.x(), clue.y()));
        std::unique_ptr<QMenu>(form->boardView()->cellMenu(ElementRef::grid(clue.x(), clue.y())))
            ->actions()
            .at(1)
            ->trigger();
        QCOMPARE(game.stepsDone(), steps);
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
                if (game.cell(x, y).hasShip && !game.cell(x, y).isClue) {
                    segments << QPoint(x, y);
                }
            }
        }
        for (const QPoint& p : segments) {
            QVERIFY(game.cell(p.x(), p.y()).shownCode != imgRightMark);
            const std::unique_ptr<QMenu> menu(
                form->boardView()->cellMenu(ElementRef::grid(p.x(), p.y())));
            auto* entry = menu->findChild<QAction*>(entryFor.at(game.cell(p.x(), p.y()).shipCode));
            QVERIFY(entry != nullptr);
            entry->trigger();
        }
        // The last choice solved the board: every found segment has its tick over the red
        // segment on silver, and the sums count only the clues.
        for (const QPoint& p : segments) {
            QCOMPARE(game.cell(p.x(), p.y()).shownCode, imgRightMark);
            QCOMPARE(cornerPixel(*form, p.x(), p.y()), qRgb(0xC0, 0xC0, 0xC0));
        }
        for (int y = 0; y <= game.maxRow(); ++y) {
            int clues = 0;
            for (int x = 0; x <= game.maxCol(); ++x) {
                clues += game.cell(x, y).isClue;
            }
            QCOMPARE(form->boardView()->hint(ElementRef::row(y)),
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
                const QRgb expected = c.isClue ? qRgb(0x80, 0x80, 0x80) : qRgb(0, 0, 0);
                QCOMPARE(cornerPixel(*form, x, y), expected);
                clues += c.isClue;
            }
        }
        QCOMPARE(clues, 6);
        action(*form, "Zeigen1")->trigger();
        for (int x = 0; x <= game.maxCol(); ++x) {
            for (int y = 0; y <= game.maxRow(); ++y) {
                const ElementState& c = game.cell(x, y);
                if (c.hasShip && !c.isClue) {
                    QCOMPARE(cornerPixel(*form, x, y), qRgb(0, 0, 0xFF));
                }
            }
        }
    }

    void infoAndManualFromTheMenu() {
        auto form = startForm();
        // Built on first use, not with the window.
        QVERIFY(form->findChild<AboutWindow*>() == nullptr);
        QVERIFY(form->findChild<ManualWindow*>() == nullptr);
        form->move(300, 100);
        action(*form, "Info1")->trigger();
        AboutWindow& about = *form->findChild<AboutWindow*>();
        QVERIFY(about.isVisible());
        QVERIFY(!about.isModal());
        QCOMPARE(about.version(), QStringLiteral("1.0.1.32"));
        // "Anleitung" is modal: it returns once the manual is closed, placed over the window by
        // its outer size, the first time too, when its frame is known only once it is shown.
        for (int showing = 1; showing <= 2; ++showing) {
            bool wasOpen = false;
            QRect shownAt;
            QTimer::singleShot(100, form.get(), [&] {
                ManualWindow& manual = *form->findChild<ManualWindow*>();
                wasOpen = manual.isVisible() && manual.isModal();
                shownAt = manual.frameGeometry();
                manual.close();
            });
            action(*form, "Anleitung1")->trigger();
            const ManualWindow& manual = *form->findChild<ManualWindow*>();
            QVERIFY(wasOpen);
            QVERIFY(shownAt.size() != manual.size());
            QCOMPARE(shownAt.topLeft(),
                     manualWindowPosition(form->frameGeometry(), shownAt.size()));
        }
    }

    void settingsAcrossTwoLifetimes() {
        {
            auto form = startForm();
            QCOMPARE(form->game().level(), 4);
            QCOMPARE(form->pos(), QPoint(5, 5));
            action(*form, "TMMLevel7")->trigger();
            QVERIFY(!action(*form, "Mitzaehlen1")->isChecked());
            action(*form, "Mitzaehlen1")->trigger();
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
        QVERIFY(action(*again, "Mitzaehlen1")->isChecked());
    }

    // A stored place from which the menu bar could not be reached moves the window onto the
    // primary screen, as near to the stored place as it fits.
    void startPlaceKeepsTheMenuBarReachable_data() {
        QTest::addColumn<QPoint>("stored");
        QTest::addColumn<bool>("kept");
        QTest::newRow("on the second screen") << QPoint(1920 + 700, 300) << true;
        QTest::newRow("below the lower screen") << QPoint(1920 + 700, 900) << false;
        QTest::newRow("largest int") << QPoint(INT_MAX, INT_MAX) << false;
        QTest::newRow("smallest int") << QPoint(INT_MIN, INT_MIN) << false;
        QTest::newRow("beyond 16 bits") << QPoint(99999, -40000) << false;
    }
    void startPlaceKeepsTheMenuBarReachable() {
        QFETCH(QPoint, stored);
        QFETCH(bool, kept);
        QDir().mkpath(QFileInfo(ini::storeLocation()).path());
        QFile file(ini::storeLocation());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("[Position]\nX1=%1\nY1=%2\n")
                       .arg(stored.x())
                       .arg(stored.y())
                       .toLatin1());
        file.close();
        auto form = startForm();
        const QRect primary = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint corner(
            std::clamp(stored.x(), primary.left(), primary.right() + 1 - form->width()),
            std::clamp(stored.y(), primary.top(), primary.bottom() + 1 - form->height()));
        QCOMPARE(form->pos(), kept ? stored : corner);
        // A click still reaches the rules, and the place the window took is what is saved.
        const int before = form->game().cell(0, 0).shownCode;
        if (!form->game().cell(0, 0).isClue) {
            click(*form, ElementRef::grid(0, 0));
            QVERIFY(form->game().cell(0, 0).shownCode != before);
        }
        const QPoint placed = form->pos();
        form->close();
        QSettings saved(ini::storeLocation(), QSettings::IniFormat);
        QCOMPARE(saved.value("Position/X1").toString(), QString::number(placed.x()));
        QCOMPARE(saved.value("Position/Y1").toString(), QString::number(placed.y()));
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
        QCOMPARE(shown(*form, ElementRef::grid(8, 8)).shownCode, form->game().cell(8, 8).shownCode);
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
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_MainWindow.moc"
