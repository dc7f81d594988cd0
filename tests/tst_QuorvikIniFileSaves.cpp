// The settings store saves all values or none and never blocks on, reads without end from, or
// leaves behind a damaged, locked, killed or half-written file. Every test runs in its own
// configuration folder.
#include "IniFileFixture.h"

class TestQuorvikIniFileSaves : public IniFileTest {
    Q_OBJECT

private slots:
    void initTestCase() { prepareBaseFolder(); }
    void init() { prepareTestFolder(); }

    // A save that fails at any point, in the program or in the store, leaves the values the
    // store held before: all of them, or no file at all.
    void saveIsAllOrNothing_data() {
        QTest::addColumn<Script::Fault>("fault");
        QTest::addColumn<int>("failAt");
        QTest::addColumn<bool>("fileBefore");
        QTest::newRow("no failure") << Script::Fault::None << 0 << true;
        QTest::newRow("first save, version refused") << Script::Fault::RefuseWrite << 1 << false;
        QTest::newRow("version refused") << Script::Fault::RefuseWrite << 1 << true;
        QTest::newRow("third write refused") << Script::Fault::RefuseWrite << 3 << true;
        QTest::newRow("last write refused") << Script::Fault::RefuseWrite << 13 << true;
        QTest::newRow("version section not created") << Script::Fault::CreateSection << 1 << true;
        QTest::newRow("options section not created") << Script::Fault::CreateSection << 6 << true;
        QTest::newRow("commit refused") << Script::Fault::RefuseCommit << 0 << true;
        QTest::newRow("first save, commit refused") << Script::Fault::RefuseCommit << 0 << false;
    }
    void saveIsAllOrNothing() {
        QFETCH(Script::Fault, fault);
        QFETCH(int, failAt);
        QFETCH(bool, fileBefore);
        const ini::Settings before = settingsOf({100, 50, 212, 330, 7, 0, 1}, "1.0.1.32");
        const ini::Settings after = settingsOf({1, 2, 3, 4, 5, 1, 0, 1}, "1.0.1.33");
        if (fileBefore) {
            ini::saveSettings(before);
        }
        useFaultyStore();
        script_.fault = fault;
        script_.failAtWrite = failAt;

        ini::saveSettings(after);
        QCOMPARE(script_.writes, failAt == 0 ? 13 : failAt);  // nothing tried after a failure
        QCOMPARE(script_.commits, failAt == 0 ? 1 : 0);
        QCOMPARE(script_.closes, 1);
        const bool saved = fault == Script::Fault::None;
        QCOMPARE(QFile::exists(iniPath()), saved || fileBefore);
        if (saved || fileBefore) {
            QCOMPARE(rawValues(), storedTexts(saved ? after : before));
        }
        QCOMPARE(strayFiles(), QStringList());
    }

    // A save killed at any moment leaves all old or all new values; the next one takes and
    // clears what the killed one left, also a lock that names no process. A lock that is no
    // file makes it give up at once, without reading it.
    void killedSaveLeavesOldOrNewValues_data() {
        QTest::addColumn<ini::CommitStep>("step");
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<QString>("lockLeft");  // empty, unreadable, a pipe, or as it was left
        QTest::newRow("holding the lock") << ini::CommitStep::Locked << false << "";
        QTest::newRow("lock still empty") << ini::CommitStep::Locked << false << "empty";
        QTest::newRow("lock unreadable") << ini::CommitStep::Locked << false << "unreadable";
        QTest::newRow("lock replaced by a pipe") << ini::CommitStep::Locked << false << "pipe";
        QTest::newRow("leftovers removed") << ini::CommitStep::LeftoversRemoved << false << "";
        QTest::newRow("staging file created") << ini::CommitStep::Staged << false << "";
        QTest::newRow("staging file written") << ini::CommitStep::Written << false << "";
        QTest::newRow("staging file checked") << ini::CommitStep::Checked << false << "";
        QTest::newRow("file replaced") << ini::CommitStep::Replaced << true << "";
    }
    void killedSaveLeavesOldOrNewValues() {
        QFETCH(ini::CommitStep, step);
        QFETCH(bool, replaced);
        QFETCH(QString, lockLeft);
        const ini::Settings before = settingsOf({100, 50, 212, 330, 7, 0, 1}, "1.0.1.32");
        const ini::Settings killed = settingsOf({1, 2, 3, 4, 5, 1, 0}, "1.0.1.33");
        const ini::Settings next = settingsOf({9, 8, 7, 6, 8, 1, 1}, "1.0.1.34");
        ini::saveSettings(before);
        QVERIFY(saveKilledAt(killed, step));
        QCOMPARE(rawValues(), storedTexts(replaced ? killed : before));
        QFile lock(iniPath() + ".lock");
        if (lockLeft == "pipe") {
            QVERIFY(lock.remove() &&
                    mkfifo(QFile::encodeName(lock.fileName()).constData(), 0600) == 0);
        } else if (!lockLeft.isEmpty()) {
            QVERIFY(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QVERIFY(lockLeft == "empty" || lock.setPermissions({}));
        }

        ini::saveSettings(next);
        const bool saved = lockLeft != "pipe";
        QCOMPARE(rawValues(), storedTexts(saved ? next : before));
        QCOMPARE(strayFiles(), saved ? QStringList() : QStringList{"Quorvik.ini.lock"});
    }

    // What reaches the disk is read back before it replaces the file: a staging file that a
    // disk damaged after the write does not replace it.
    void damagedStagingFileIsNotUsed_data() {
        QTest::addColumn<int>("cut");    // bytes cut off the end; -1 to add one
        QTest::addColumn<bool>("flip");  // a byte changed in place
        QTest::newRow("cut short") << 10 << false;
        QTest::newRow("a byte more") << -1 << false;
        QTest::newRow("a byte changed") << 0 << true;
    }
    void damagedStagingFileIsNotUsed() {
        QFETCH(int, cut);
        QFETCH(bool, flip);
        ini::saveSettings(settingsOf({100, 50, 212, 330, 7}, "1.0.1.32"));
        const QByteArray before = iniBytes();
        const auto store =
            ini::openIniStore("Software\\Quorvik", [this, cut, flip](ini::CommitStep step) {
                if (step != ini::CommitStep::Written) {
                    return;
                }
                const QStringList staged = strayFiles().filter(QRegularExpression("^\\.Quorvik"));
                QCOMPARE(staged.size(), 1);
                QFile file(iniFolder() + '/' + staged.first());
                QVERIFY(file.open(QIODevice::ReadWrite));
                QByteArray bytes = file.readAll();
                bytes = cut < 0 ? bytes + '\n' : bytes.left(bytes.size() - cut);
                if (flip) {
                    bytes[bytes.size() / 2] = '?';
                }
                QVERIFY(file.resize(0) && file.seek(0) && file.write(bytes) == bytes.size());
            });
        store->PutIntegerValue("Position", "X1", 1);
        store->PutTextValue("Version", "Ver", "1.0.1.33");
        QVERIFY(!store->Commit());
        QCOMPARE(iniBytes(), before);
        QCOMPARE(strayFiles(), QStringList());
    }

    // Two programs quitting at once: the file holds one program's values, never a mix.
    void concurrentSavesLeaveOneProgramsValues() {
        for (int round = 0; round < 10; ++round) {
            const ini::Settings first = settingsOf({round, 1, 1, 1, 4, 0, 1}, "first");
            const ini::Settings second = settingsOf({-round, 2, 2, 2, 8, 1, 0}, "second");
            std::array<pid_t, 2> children{};
            for (const ini::Settings* settings : {&first, &second}) {
                const pid_t child = fork();
                if (child == 0) {
                    ini::saveSettings(*settings);
                    _exit(0);
                }
                children[settings == &first ? 0 : 1] = child;
            }
            for (const pid_t child : children) {
                QVERIFY(child > 0 && waitpid(child, nullptr, 0) == child);
            }
            const QMap<QString, QString> values = rawValues();
            QVERIFY2(values == storedTexts(first) || values == storedTexts(second),
                     iniBytes().constData());
            QCOMPARE(strayFiles(), QStringList());
        }
    }

    // Another program that holds the lock longer than a save waits: the save gives up.
    void saveGivesUpWhileAnotherHoldsTheLock() {
        ini::saveSettings(settingsOf({100, 50, 212, 330, 7}, "1.0.1.32"));
        const QByteArray before = iniBytes();
        QLockFile other(iniPath() + ".lock");
        QVERIFY(other.tryLock(0));
        const auto store = ini::openIniStore("Software\\Quorvik");
        store->PutIntegerValue("Position", "X1", 1);
        QVERIFY(!store->Commit());
        QCOMPARE(iniBytes(), before);
    }

    void realStoreRefusesUnusableName_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty section") << ""
                                       << "X1"
                                       << "Failed to create key ";
        QTest::newRow("slash") << "Position/Inner"
                               << "X1"
                               << "Failed to create key Position/Inner";
        QTest::newRow("backslash") << "Position\\Inner"
                                   << "X1"
                                   << "Failed to create key Position\\Inner";
        QTest::newRow("the INI file's own section") << "general"
                                                    << "X1"
                                                    << "Failed to create key general";
        QTest::newRow("blank in section") << "Posi tion"
                                          << "X1"
                                          << "Failed to create key Posi tion";
        QTest::newRow("empty name") << "Position"
                                    << ""
                                    << "Failed to set data for ''";
        QTest::newRow("equals sign") << "Position"
                                     << "X1=2"
                                     << "Failed to set data for 'X1=2'";
        QTest::newRow("slash in name") << "Position"
                                       << "X/1"
                                       << "Failed to set data for 'X/1'";
    }
    void realStoreRefusesUnusableName() {
        QFETCH(QString, section);
        QFETCH(QString, name);
        QFETCH(QString, error);
        writeIni("[Position]\nX1=12\n[general]\nX1=12\n");
        const auto store = ini::openIniStore("Software\\Quorvik");
        QString raised;
        try {
            store->PutTextValue(section, name, "12");
        } catch (const ini::StoreError& e) {
            raised = e.message();
        }
        QCOMPARE(raised, error);
        QCOMPARE(store->GetIntegerValue(section, name, 5), 5);
        QCOMPARE(store->GetIntegerValue("Position", "X1", 5), 12);
    }

    void keyThatCannotBeCreated() {
        // A plain file where the key's folder belongs.
        QFile blocker(iniFolder());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.write("not a folder");
        blocker.close();

        ini::Settings loaded = settingsOf(untouched);
        ini::loadSettings(loaded);
        QCOMPARE(valuesOf(loaded), defaults);
        ini::saveSettings(settingsOf({1, 2, 3, 4, 5}, "1.0.1.32"));

        const auto store = ini::openIniStore("Software\\Quorvik");
        QString raised;
        try {
            store->PutTextValue("Version", "Ver", "1");
        } catch (const ini::StoreError& e) {
            raised = e.message();
        }
        QCOMPARE(raised, QStringLiteral("Failed to create key Version"));
        QVERIFY(!store->Commit());
        QVERIFY(blocker.open(QIODevice::ReadOnly));
        QCOMPARE(blocker.readAll(), QByteArray("not a folder"));
    }

    void interruptedWriteKeepsOldFile_data() {
        QTest::addColumn<QByteArray>("oldFile");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("limit");
        const QString longText(8000, u'9');
        QTest::newRow("cut inside a line")
            << QByteArray("[Position]\nX1=100\nY1=50\n") << longText << 2048;
        QTest::newRow("damaged file, cut inside a line")
            << QByteArray("[Position]\nX1=100\n\x01\x02junk\n[Opt") << longText << 2048;
        // Cut right after the X1 line, the new file "[Position]\nX1=<text>\n\n[Version]\nVer=1\n"
        // looks whole and holds the new X1, but lacks [Version].
        const QString text(500, u'7');
        QTest::newRow("cut at a line break")
            << QByteArray("[Position]\nX1=1\n\n[Version]\nVer=1\n") << text
            << int(QByteArray("[Position]\nX1=").size() + text.size() + 1);
    }
    void interruptedWriteKeepsOldFile() {
        QFETCH(QByteArray, oldFile);
        QFETCH(QString, text);
        QFETCH(int, limit);
        writeIni(oldFile);
        const auto store = ini::openIniStore("Software\\Quorvik");
        store->PutTextValue("Position", "X1", text);
        store->PutTextValue("Version", "Ver", "1");
        {
            const FileSizeLimit sizeLimit(static_cast<rlim_t>(limit));
            QVERIFY(!store->Commit());
        }
        QCOMPARE(iniBytes(), oldFile);
        QCOMPARE(strayFiles(), QStringList());
    }

    void interruptedSaveIsSilent() {
        ini::saveSettings(settingsOf({100, 50, 212, 330, 7}, "1.0.1.32"));
        const QByteArray before = iniBytes();
        {
            const FileSizeLimit sizeLimit(2048);
            ini::saveSettings(settingsOf({1, 2, 3, 4, 5}, QString(8000, u'9')));
        }
        QCOMPARE(iniBytes(), before);
        QCOMPARE(strayFiles(), QStringList());
    }

    void readOnlyFolderKeepsOldFile() {
        ini::saveSettings(settingsOf({100, 50, 212, 330, 7}, "1.0.1.32"));
        const QByteArray before = iniBytes();
        QVERIFY(!before.isEmpty());

        const auto writable = QFile::permissions(iniFolder());
        QVERIFY(QFile::setPermissions(iniFolder(), QFile::ReadOwner | QFile::ExeOwner));
        const auto restore = qScopeGuard([&] { QFile::setPermissions(iniFolder(), writable); });
        QFile probe(iniFolder() + "/probe");
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QSKIP("this process writes into read-only folders (root rights)");
        }

        ini::saveSettings(settingsOf({1, 2, 3, 4, 5}, "9.9.9.9"));
        QCOMPARE(iniBytes(), before);
        QCOMPARE(strayFiles(), QStringList());
    }

    // What else may be at the settings path: a load reads it as missing without blocking or
    // reading without end, a save fails silently and leaves it as it is. A link to a regular
    // file is followed, as long as a staging file fits beside the file linked to.
    void specialFileAtSettingsPath_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("linked");  // the regular file linked to, if any
        QTest::newRow("link to /dev/zero") << "/dev/zero"
                                           << "";
        QTest::newRow("link to /dev/full") << "/dev/full"
                                           << "";
        QTest::newRow("FIFO") << "fifo"
                              << "";
        QTest::newRow("folder") << "folder"
                                << "";
        QTest::newRow("dangling link") << "link"
                                       << "";
        QTest::newRow("link to a regular file") << "link"
                                                << "elsewhere.ini";
        QTest::newRow("link to a file too long a name for a staging file beside it")
            << "link" << QString(250, 'n') + ".ini";
    }
    void specialFileAtSettingsPath() {
        QFETCH(QString, kind);
        QFETCH(QString, linked);
        QVERIFY(QDir().mkpath(iniFolder()));
        const QByteArray path = QFile::encodeName(iniPath());
        if (kind.startsWith('/')) {
            QVERIFY(QFile::link(deviceLike(kind), iniPath()));
        } else if (kind == "fifo") {
            QCOMPARE(mkfifo(path.constData(), 0600), 0);
        } else if (kind == "folder") {
            QVERIFY(QDir().mkdir(iniPath()));
        } else {
            QVERIFY(QFile::link(home_->path() + "/elsewhere.ini", iniPath()));
        }
        const QByteArray content = "[Position]\nX1=12\n";
        if (!linked.isEmpty()) {
            QFile::remove(iniPath());
            QVERIFY(QFile::link(home_->path() + '/' + linked, iniPath()));
            QFile file(home_->path() + '/' + linked);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        struct stat before {};
        QCOMPARE(lstat(path.constData(), &before), 0);

        ini::Settings loaded = settingsOf(untouched);
        ini::loadSettings(loaded);
        QCOMPARE(valuesOf(loaded), (QList<int>{linked.isEmpty() ? 5 : 12} + defaults.mid(1)));
        // A killed save through the link left its staging file beside the file linked to.
        QFile(home_->path() + "/.elsewhere.ini.Ab12Cd").open(QIODevice::WriteOnly);
        const auto store = ini::openIniStore("Software\\Quorvik");
        store->PutIntegerValue("Position", "X1", 1);
        const bool commits = linked == "elsewhere.ini";
        QCOMPARE(store->Commit(), commits);

        struct stat after {};
        QCOMPARE(lstat(path.constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);  // the same link, FIFO or folder
        QCOMPARE(strayFiles(), QStringList());
        if (!linked.isEmpty()) {
            QCOMPARE(iniBytes(), commits ? QByteArray("[Position]\nX1=1\n") : content);
            // The leftover is another file's, beside the file with the long name.
            QStringList expected = {linked};
            if (!commits) {
                expected.prepend(".elsewhere.ini.Ab12Cd");
            }
            QCOMPARE(QDir(home_->path()).entryList(QDir::Hidden | QDir::Files), expected);
        }
    }

    // The saved file keeps the mode of the file it replaces; a first file gets the umask's.
    void savedFileMode_data() {
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("oldMode");  // -1: no file yet
        QTest::addColumn<int>("mode");
        QTest::newRow("new file, umask 022") << 022 << -1 << 0644;
        QTest::newRow("new file, umask 077") << 077 << -1 << 0600;
        QTest::newRow("new file, umask 002") << 002 << -1 << 0664;
        QTest::newRow("file the user gave 0640") << 022 << 0640 << 0640;
        QTest::newRow("file the user gave 0604") << 077 << 0604 << 0604;
    }
    void savedFileMode() {
        QFETCH(int, mask);
        QFETCH(int, oldMode);
        QFETCH(int, mode);
        if (oldMode >= 0) {
            writeIni("[Position]\nX1=12\n");
            QVERIFY(chmod(QFile::encodeName(iniPath()).constData(), mode_t(oldMode)) == 0);
        }
        const mode_t previous = umask(mode_t(mask));
        ini::saveSettings(settingsOf({1, 2, 3, 4, 5}));
        umask(previous);
        struct stat info {};
        QCOMPARE(stat(QFile::encodeName(iniPath()).constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 07777), mode);
    }

    // Files a killed save of this or an earlier version left go with the next save; files of
    // other names, and others' files of similar names, stay.
    void leftoversOfKilledSavesAreRemoved() {
        QVERIFY(QDir().mkpath(iniFolder()));
        const QStringList leftovers = {".Quorvik.ini.a1B2c3", ".Quorvik.ini.a1B2c3.lock",
                                       ".Quorvik.ini.a1B2c3.Zz9Yy8", ".Quorvik.ini.ZZZZZZ"};
        const QStringList kept = {
            ".Quorvik.ini.a1B2c", ".Quorvik.ini.a1B2c3d", ".Quorvik.ini.a1B2c3.lockx",
            "Quorvik.ini.bak",    ".Quorvik.ini",         ".Other.ini.a1B2c3",
            "Quorvik.ini.check"};
        for (const QString& name : leftovers + kept) {
            QFile file(iniFolder() + '/' + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        // A folder of a staging name is no file of this program; the check link of an earlier
        // version is, but not when it is a plain file (kept above).
        QVERIFY(QDir().mkdir(iniFolder() + "/.Quorvik.ini.Folder"));
        QVERIFY(QFile::link("Quorvik.ini", iniFolder() + "/Quorvik.ini.check.lnk"));
        QFile::remove(iniFolder() + "/Quorvik.ini.check");
        QVERIFY(QFile::link("Quorvik.ini", iniFolder() + "/Quorvik.ini.check"));

        ini::saveSettings(settingsOf({1, 2, 3, 4, 5}));
        QStringList expected = kept;
        expected.removeOne("Quorvik.ini.check");
        expected << ".Quorvik.ini.Folder"
                 << "Quorvik.ini.check.lnk";
        QStringList remaining = strayFiles();
        remaining.sort();
        expected.sort();
        QCOMPARE(remaining, expected);
    }
};

QTEST_GUILESS_MAIN(TestQuorvikIniFileSaves)
#include "tst_QuorvikIniFileSaves.moc"
