// The main window: layout figures per level, the legend, the menus, the helps, clicks through to
// the rules, the info and manual windows.
#include "Fonts.h"
#include "MainWindowFixture.h"

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init() { removeStoredFiles(); }

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
        // Row r holds r + 1 ships of 4 - r segments: <==>, <=>, <>, o.
        constexpr Mark L = Mark::Left, M = Mark::Middle, R = Mark::Right;
        const QList<QList<Mark>> rows{{L, M, M, R}, {L, M, R}, {L, R}, {Mark::Single}};
        for (int r = 0; r < 4; ++r) {
            for (int s = 0; s <= r; ++s) {
                for (int i = 0; i < rows[r].size(); ++i) {
                    const ElementRef e = ElementRef::legend(r, s, i);
                    QCOMPARE(shown(*form, e).mark, rows[r][i]);
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
        // The largest size whose cell fits the heading's 18 pixels, and those of the zoom
        // steps' heights, which the search reaches from above and from below its first guess.
        for (const int height : {18, 11, 14, 23, 27, 31, 36, 40}) {
            const QFont fitted = height == 18 ? font : headingFont(height);
            QVERIFY(QFontMetrics(fitted).height() <= height);
            QFont larger = fitted;
            larger.setPixelSize(fitted.pixelSize() + 1);
            QVERIFY2(QFontMetrics(larger).height() > height, qPrintable(QString::number(height)));
        }
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
        QCOMPARE(shown(*form, ElementRef::grid(26, 12)).mark, Mark::Covered);
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
            QVERIFY(form->game().cell(ref.a, ref.b).mark != Mark::Covered);
        }
        form->undoMove();
        for (const ElementRef& ref : cells) {
            QCOMPARE(form->game().cell(ref.a, ref.b).mark, Mark::Covered);
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
        form->play({Move::mark(water.x(), water.y(), Mark::Middle)});
        form->play({Move::mark(ship.x(), ship.y(), form->game().cell(ship.x(), ship.y()).ship)});
        form->findChild<QAction*>("FehlerZeigen1")->trigger();
        QCOMPARE(form->highlighted().size(), std::size_t(1));
        QCOMPARE(form->highlighted().front(), ElementRef::grid(water.x(), water.y()));
        QVERIFY(form->helpText().contains(QStringLiteral("Eine Markierung")));
        // The board's state is untouched; the next move takes the frames away.
        QCOMPARE(form->game().cell(water.x(), water.y()).mark, Mark::Middle);
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
            return shown(*form, ElementRef::legend(singles, ship, 0)).reveal == Reveal::Wrong;
        };
        const auto red = [&](const ElementRef& e) {
            const QRect cell = form->boardView()->frameRect(e);
            return inkCount(form->boardView()->grab(cell).toImage(), 0xFFFF0000);
        };
        form->play({Move::mark(0, 0, Mark::Single), Move::mark(1, 0, Mark::Water),
                    Move::mark(0, 1, Mark::Water)});
        QVERIFY(ticked(0));
        QCOMPARE(shown(*form, ElementRef::row(0)).lineDone, form->game().rowNumber(0).number == 1);
        form->play({Move::mark(1, 1, Mark::Segment)});
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
            QCOMPARE(c.mark, c.isClue ? c.ship : Mark::Water);
        }
        click(*form, ElementRef::row(3));
        for (int x = 0; x <= game.maxCol(); ++x) {
            const ElementState& c = game.cell(x, 3);
            QCOMPARE(c.mark, c.isClue ? c.ship : Mark::Covered);
        }
        // A legend tick and untick, through any segment of the ship.
        click(*form, ElementRef::legend(1, 1, 2));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(shown(*form, ElementRef::legend(1, 1, i)).reveal, Reveal::Wrong);
        }
        QCOMPARE(shown(*form, ElementRef::legend(1, 0, 0)).reveal, Reveal::None);
        click(*form, ElementRef::legend(1, 1, 2));
        const QList<Mark> shape{Mark::Left, Mark::Middle, Mark::Right};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(shown(*form, ElementRef::legend(1, 1, i)).reveal, Reveal::None);
            QCOMPARE(shown(*form, ElementRef::legend(1, 1, i)).mark, shape[i]);
        }
        // A grid cell click is water, and the cell's picture follows.
        int x = 0;
        while (game.cell(x, 8).isClue) {
            ++x;
        }
        click(*form, ElementRef::grid(x, 8));
        QCOMPARE(game.cell(x, 8).mark, Mark::Water);
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
        std::map<Mark, QString> entryFor{
            {Mark::Single, "TMISchiff_1"}, {Mark::Bottom, "TMISchiff_2"},
            {Mark::Left, "TMISchiff_3"},   {Mark::Right, "TMISchiff_4"},
            {Mark::Top, "TMISchiff_5"},    {Mark::Middle, "TMISchiff_6"}};
        QList<QPoint> segments;
        for (int x = 0; x <= game.maxCol(); ++x) {
            for (int y = 0; y <= game.maxRow(); ++y) {
                if (game.cell(x, y).hasShip && !game.cell(x, y).isClue) {
                    segments << QPoint(x, y);
                }
            }
        }
        for (const QPoint& p : segments) {
            QVERIFY(game.cell(p.x(), p.y()).reveal != Reveal::Found);
            const std::unique_ptr<QMenu> menu(
                form->boardView()->cellMenu(ElementRef::grid(p.x(), p.y())));
            auto* entry = menu->findChild<QAction*>(entryFor.at(game.cell(p.x(), p.y()).ship));
            QVERIFY(entry != nullptr);
            entry->trigger();
        }
        // The last choice solved the board: every found segment has its tick over the red
        // segment on silver, and the sums count only the clues.
        for (const QPoint& p : segments) {
            QCOMPARE(game.cell(p.x(), p.y()).reveal, Reveal::Found);
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
};

int main(int argc, char** argv) {
    return runMainWindowTest<TestMainWindow>(argc, argv);
}

#include "tst_MainWindow.moc"
