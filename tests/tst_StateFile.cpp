// The state file must give back exactly what was written, replace the old file whole or not at
// all, and yield nothing, without blocking or reading without end, for anything but a whole file
// of its own format. Every test runs in a state folder of its own.
#include <QtTest>

#include <QLockFile>
#include <QRandomGenerator>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include "AtomicFile.h"
#include "FileSizeLimit.h"
#include "RecordFile.h"
#include "StateFile.h"

using namespace quorvik;

namespace {

// Everything below `root`: relative path -> content, "<folder>" or "<link to ...>".
QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QFile file(info.filePath());
        entries.insert(QDir(root).relativeFilePath(info.filePath()),
                       info.isSymLink() ? "<link to " + info.symLinkTarget().toUtf8() + '>'
                       : info.isDir()   ? QByteArray("<folder>")
                       : file.open(QIODevice::ReadOnly) ? file.readAll()
                                                        : QByteArray("<unreadable>"));
    }
    return entries;
}

int permissions(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes) {
        byte = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

const QByteArray game = "level 8 seed 3F2A91C0\nmarks 29 29 28 20 21 25\nshown 0\n";

enum class Fault { FileSizeLimit, TooLarge, FolderAtFile, FileAtFolder };

}  // namespace

Q_DECLARE_METATYPE(Fault)

class TestStateFile : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> base_;

    QString stateRoot() const { return base_->path() + "/state"; }
    QString folder() const { return stateRoot() + "/Quorvik"; }
    QString path() const { return folder() + "/game.state"; }

    void put(const QByteArray& bytes) {
        QVERIFY(QDir().mkpath(folder()));
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

private slots:
    void init() {
        base_ = std::make_unique<QTemporaryDir>();
        QVERIFY(base_->isValid());
        qputenv("XDG_STATE_HOME", stateRoot().toUtf8());
        qputenv("XDG_DATA_HOME", (base_->path() + "/data").toUtf8());
        qputenv("HOME", (base_->path() + "/home").toUtf8());
    }
    void location_data() {
        QTest::addColumn<QByteArray>("stateHome");
        QTest::addColumn<QString>("expected");
        QTest::newRow("XDG_STATE_HOME") << QByteArray("/S") << "/S/Quorvik/game.state";
        QTest::newRow("unset") << QByteArray() << "/home/.local/state/Quorvik/game.state";
        QTest::newRow("relative, ignored")
            << QByteArray("state") << "/home/.local/state/Quorvik/game.state";
    }
    void location() {
        QFETCH(QByteArray, stateHome);
        QFETCH(QString, expected);
        expected.replace("/S/", stateRoot() + '/').replace("/home/", base_->path() + "/home/");
        if (stateHome.isNull()) {
            qunsetenv("XDG_STATE_HOME");
        } else {
            qputenv("XDG_STATE_HOME", stateHome == "/S" ? stateRoot().toUtf8() : stateHome);
        }
        QCOMPARE(stateFilePath(), expected);
        QVERIFY(writeStateFile(game));
        QFile file(expected);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), stateFileContent(game));
        // The game is the player's own business: folder and file for the owner only.
        QCOMPARE(permissions(QFileInfo(expected).path()), 0700);
        QCOMPARE(permissions(expected), 0600);
    }

    void headerNamesFormatLengthAndChecksum() {
        // "cbf43926" is the published CRC-32 of "123456789".
        QCOMPARE(stateFileContent("123456789"),
                 QByteArray("QUORVIK-STATE 1 9 cbf43926\n123456789"));
    }

    void roundTrip_data() {
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("text lines") << game;
        QTest::newRow("any bytes") << QByteArray("\0\r\n\xff QUORVIK-STATE 1 0 00000000\n", 33);
        QTest::newRow("largest") << randomBytes(maxStatePayload, 1);
    }
    void roundTrip() {
        QFETCH(QByteArray, payload);
        QVERIFY(writeStateFile("an older game"));
        QVERIFY(writeStateFile(payload));
        QCOMPARE(readStateFile(), std::optional(payload));
        QCOMPARE(QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"game.state"});
    }

    void failedWriteChangesNothing_data() {
        QTest::addColumn<Fault>("fault");
        QTest::newRow("disk full while writing") << Fault::FileSizeLimit;
        QTest::newRow("payload over the limit") << Fault::TooLarge;
        QTest::newRow("a folder at the file's place") << Fault::FolderAtFile;
        QTest::newRow("a file at the folder's place") << Fault::FileAtFolder;
    }
    void failedWriteChangesNothing() {
        QFETCH(Fault, fault);
        QByteArray payload = randomBytes(64 * 1024, 2);
        std::unique_ptr<FileSizeLimit> limit;
        switch (fault) {
            case Fault::FileSizeLimit:
                QVERIFY(writeStateFile(game));
                limit = std::make_unique<FileSizeLimit>(4096);
                break;
            case Fault::TooLarge:
                QVERIFY(writeStateFile(game));
                payload = QByteArray(maxStatePayload + 1, 'x');
                break;
            case Fault::FolderAtFile:
                QVERIFY(QDir().mkpath(path()));
                break;
            case Fault::FileAtFolder:
                QVERIFY(QDir().mkpath(stateRoot()));
                QFile file(folder());
                QVERIFY(file.open(QIODevice::WriteOnly));
                break;
        }
        const QMap<QString, QByteArray> before = snapshot(base_->path());
        QVERIFY(!writeStateFile(payload));
        limit.reset();
        QCOMPARE(snapshot(base_->path()), before);
    }

    void leftoverOfAnInterruptedWriteIsRemoved() {
        put(stateFileContent(game));
        QFile leftover(folder() + "/game.state.new-x7Qp2a");
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.close();
        QVERIFY(writeStateFile(game));
        QVERIFY(!leftover.exists());
    }

    void damagedFileYieldsNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray whole = stateFileContent(game.repeated(20));
        const qsizetype headerEnd = whole.indexOf('\n') + 1;
        QByteArray changed = whole;
        changed[whole.size() - 10] = 'X';
        QByteArray otherVersion = whole;
        otherVersion.replace("QUORVIK-STATE 1 ", "QUORVIK-STATE 2 ");

        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut in the header") << whole.left(headerEnd / 2);
        QTest::newRow("cut in the middle") << whole.left(whole.size() / 2);
        QTest::newRow("a byte too many") << whole + '\n';
        QTest::newRow("a byte changed") << changed;
        QTest::newRow("random bytes") << randomBytes(4096, 3);
        QTest::newRow("another format version") << otherVersion;
        QTest::newRow("foreign file") << QByteArray("[Position]\nX1=5\nY1=5\n");
        QTest::newRow("over the limit") << stateFileContent(QByteArray(maxStatePayload + 1, 'x'));
    }
    void damagedFileYieldsNothing() {
        QFETCH(QByteArray, bytes);
        put(bytes);
        QCOMPARE(readStateFile(), std::nullopt);
    }

    // A read that opened a pipe or a device would block or never end; the test's watchdog
    // reports it.
    void onlyARegularFileIsRead_data() {
        QTest::addColumn<QString>("linkTo");  // empty: the thing itself at the file's place
        QTest::addColumn<QString>("thing");
        QTest::newRow("link to a file, read and written") << "elsewhere"
                                                          << "file";
        QTest::newRow("pipe") << ""
                              << "pipe";
        QTest::newRow("folder") << ""
                                << "folder";
        QTest::newRow("link to a pipe") << "elsewhere"
                                        << "pipe";
        QTest::newRow("link to a device") << "/dev/zero"
                                          << "";
        QTest::newRow("dangling link") << "nowhere"
                                       << "";
        QTest::newRow("huge sparse file") << ""
                                          << "sparse file";
    }
    void onlyARegularFileIsRead() {
        QFETCH(QString, linkTo);
        QFETCH(QString, thing);
        QVERIFY(QDir().mkpath(folder()));
        const QString at = linkTo.isEmpty() ? path() : QDir(base_->path()).filePath(linkTo);
        if (!linkTo.isEmpty()) {
            QCOMPARE(::symlink(QFile::encodeName(at).constData(), QFile::encodeName(path())), 0);
        }
        if (thing == "pipe") {
            QCOMPARE(::mkfifo(QFile::encodeName(at).constData(), 0600), 0);
        } else if (thing == "folder") {
            QVERIFY(QDir().mkpath(at));
        } else if (!thing.isEmpty()) {
            QFile file(at);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(stateFileContent(game));
            QVERIFY(thing == "file" || file.resize(qint64(1) << 30));
        }
        QCOMPARE(readStateFile(), thing == "file" ? std::optional(game) : std::nullopt);
        if (thing == "file") {
            // Written through: the link stays, the file it points to holds the new game.
            QVERIFY(writeStateFile("later"));
            QCOMPARE(snapshot(base_->path()),
                     (QMap<QString, QByteArray>{
                         {"elsewhere", stateFileContent("later")},
                         {"state", "<folder>"},
                         {"state/Quorvik", "<folder>"},
                         {"state/Quorvik/game.state", "<link to " + QFile::encodeName(at) + '>'}}));
        }

        // Removed, or replaced at the next write; a folder is left alone.
        removeStateFile();
        QCOMPARE(QFileInfo(path()).isDir(), thing == "folder" && linkTo.isEmpty());
        if (thing != "folder") {
            QVERIFY(!QFileInfo(path()).isSymLink() && !QFileInfo::exists(path()));
            QVERIFY(writeStateFile(game));
            QCOMPARE(readStateFile(), std::optional(game));
        }
    }

    // The record file, written by the same code: a file that is there but damaged is set aside
    // (one .bak) without a question, and the next game starts a fresh, whole record.
    void damagedRecordIsSetAside_data() {
        QTest::addColumn<QByteArray>("content");
        Record sample;
        addEvent(sample, {GameEvent::Kind::Solved, 6, TimeTable::Unique, 61000, {}, true, {}});
        QByteArray flipped = recordFileContent(sample);
        flipped[flipped.size() - 4] = '9';
        QTest::newRow("not a record") << QByteArray(
            "\x7f"
            "ELF\0\1",
            6);
        QTest::newRow("a digit changed") << flipped;
        QTest::newRow("larger than 1 MiB") << recordFileContent(sample) + QByteArray(1 << 20, '\n');
    }
    void damagedRecordIsSetAside() {
        QFETCH(QByteArray, content);
        QVERIFY(QDir().mkpath(QFileInfo(recordFilePath()).path()));
        QFile file(recordFilePath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        QVERIFY(readRecordFile() == Record{});
        QVERIFY(!QFile::exists(recordFilePath()));
        QFile bak(recordFilePath() + ".bak");
        QVERIFY(bak.open(QIODevice::ReadOnly));
        QCOMPARE(bak.readAll(), content);
        QCOMPARE(
            addToRecordFile({GameEvent::Kind::Solved, 5, TimeTable::Default, 9000, {}, false, {}}),
            std::optional(1));
        const Record fresh = readRecordFile();
        QCOMPARE(fresh.level(5)->solved, 1);
        QCOMPARE(fresh.level(6)->solved, 0);
    }

    // `thing` beside a record of `body` as a game of level 5 ends: nothing blocks, no record is
    // lost, nothing is written that the next read rejects; `kept` is a line the record holds.
    void recordAmongHostileThings_data() {
        QTest::addColumn<QString>("thing");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("recorded");
        QTest::addColumn<QByteArray>("kept");
        const QByteArray plain = "level 5 3 1 1 0 1\ndays - 0 0\n";
        QTest::newRow("pipe at the lock") << "pipe" << plain << false << plain;
        QTest::newRow("lock held as the program is asked to end")
            << "held" << plain << false << plain;
        QTest::newRow("unreadable record") << "unreadable" << plain << false << plain;
        QTest::newRow("folder at the .bak")
            << "folder" << QByteArray("days 0\n") << true << QByteArray("level 5 1 0 0 0 0\n");
        QTest::newRow("a count at its bound") << "" << QByteArray("level 5 1000000000 0 0 0 0\n")
                                              << true << QByteArray("level 5 1000000000 0 0 0 0\n");
        QTest::newRow("lines of a later version")
            << "" << QByteArray("streak 5 12 x\n" + plain) << true << QByteArray("streak 5 12 x\n");
    }
    void recordAmongHostileThings() {
        QFETCH(QString, thing);
        QFETCH(QByteArray, body);
        QFETCH(bool, recorded);
        QFETCH(QByteArray, kept);
        if (thing == "unreadable" && ::geteuid() == 0) {
            QSKIP("every file is readable with root rights");
        }
        const QString folder = QFileInfo(recordFilePath()).path();
        QVERIFY(QDir().mkpath(folder));
        const QByteArray content = "QUORVIK-RECORD 1 " + QByteArray::number(body.size()) + ' ' +
                                   checksumText(body) + '\n' + body;
        QFile file(recordFilePath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        const QByteArray lock = QFile::encodeName(folder + "/record.lock");
        if (thing == "pipe") {
            QCOMPARE(::mkfifo(lock.constData(), 0600), 0);
        } else if (thing == "unreadable") {
            QVERIFY(file.setPermissions({}));
        } else if (thing == "folder") {
            QVERIFY(QDir().mkpath(recordFilePath() + ".bak"));
        }
        QLockFile holder(QFile::decodeName(lock));
        QVERIFY(thing != "held" || holder.tryLock(0));
        bool readable = true;
        readRecordFile(&readable);
        QCOMPARE(readable, thing != "unreadable");
        const auto add = [] {
            return addToRecordFile(
                       {GameEvent::Kind::NotSolved, 5, TimeTable::Default, 0, {}, false, {}})
                .has_value();
        };
        // Lock waits end for good in a process asked to end, so a child is asked.
        if (thing == "held" && ::fork() == 0) {
            endLockWaits();
            ::_exit(add() ? 1 : 0);
        }
        int status = 0;
        QVERIFY(thing != "held" || (::wait(&status) > 0 && WIFEXITED(status)));
        QCOMPARE(thing == "held" ? WEXITSTATUS(status) == 1 : add(), recorded);
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray after = file.readAll();
        QVERIFY(after.contains(kept));
        QVERIFY(parseRecordFile(after));
        // A damaged record set aside is found whole under some name.
        if (!parseRecordFile(content)) {
            QVERIFY(snapshot(folder).values().contains(content));
        }
    }

    // Two programs finishing games at the same moment: every game of both is in the file.
    void twoWritersBothLand() {
        const auto addGames = [] {
            int added = 0;
            for (int k = 0; k < 20; ++k) {
                added += addToRecordFile(
                             {GameEvent::Kind::NotSolved, 7, TimeTable::Default, 0, {}, false, {}})
                             .has_value();
            }
            return added;
        };
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ::_exit(addGames() == 20 ? 0 : 1);
        }
        QCOMPARE(addGames(), 20);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QCOMPARE(readRecordFile().level(7)->started, 40);
        QVERIFY(!QFile::exists(recordFilePath() + ".bak"));
    }
};

QTEST_GUILESS_MAIN(TestStateFile)

#include "tst_StateFile.moc"
