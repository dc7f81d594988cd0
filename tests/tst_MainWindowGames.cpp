// The main window's games: puzzle numbers, typed-in puzzles, the chosen difficulty, the game kept
// across restarts, the clock, the record of times, the settings across two window lifetimes and
// start-up after a damaged settings store.
#include "MainWindowFixture.h"

class TestMainWindowGames : public QObject {
    Q_OBJECT

private slots:
    void init() { removeStoredFiles(); }

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
        form->play({Move::mark(other, 0, Mark::Single)});
        QVERIFY(form->helpText().startsWith("Gelöst in"));
        QCOMPARE(form->game().cell(other, 0).reveal, Reveal::Found);
        const QString code = form->puzzleNumber();
        form->close();
        form.reset();
        auto again = startForm(nullptr, 900);
        QCOMPARE(again->puzzleNumber(), code);
        QCOMPARE(again->game().cell(other, 0).reveal, Reveal::Found);
        QCOMPARE(again->game().stepsDone(), std::size_t(1));
        QVERIFY(readRecordFile() == Record{});
        QVERIFY(action(*again, "TMMLevel7")->isChecked());  // kept for the next new game
        // Its code, typed into the number dialog, starts it afresh.
        again->findChild<QAction*>("Spielnummer1")->trigger();
        again->findChild<PuzzleDialog*>()->input()->setText(code);
        again->findChild<PuzzleDialog*>()->play();
        QCOMPARE(again->puzzleNumber(), code);
        QCOMPARE(again->game().cell(other, 0).reveal, Reveal::None);
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
        form->play({Move::mark(form->game().cell(0, 0).isClue ? 1 : 0, 0, Mark::Water)});
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
        form->play({Move::mark(3, 4, Mark::Top), Move::fillRow(6, true)});
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
                    moves.push_back(Move::mark(x, y, game.cell(x, y).ship));
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
        // Closed and asked for again, it is built anew where the player left it.
        dialog->move(dialog->pos() + QPoint(40, 30));
        const QPoint moved = dialog->pos();
        dialog->close();
        form->showBestTimes();
        QCOMPARE(form->findChild<BestTimesDialog*>()->pos(), moved);
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
            form->play({Move::mark(2, 2, Mark::Segment)});
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
                QCOMPARE(c.mark, c.isClue ? c.ship : Mark::Covered);
            }
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
        const Mark before = form->game().cell(0, 0).mark;
        if (!form->game().cell(0, 0).isClue) {
            click(*form, ElementRef::grid(0, 0));
            QVERIFY(form->game().cell(0, 0).mark != before);
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
        QCOMPARE(shown(*form, ElementRef::grid(8, 8)).mark, form->game().cell(8, 8).mark);
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
    return runMainWindowTest<TestMainWindowGames>(argc, argv);
}

#include "tst_MainWindowGames.moc"
