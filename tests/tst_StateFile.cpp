// The state file must give back exactly what was written, replace the old file whole or not at
// all, and yield nothing, without blocking or reading without end, for anything but a whole file
// of its own format. Every test runs in a state folder of its own.
#include <QtTest>

#include <QRandomGenerator>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>

#include "StateFile.h"

using namespace quorvik;

namespace {

// Lowers the largest file this process may write, so that a write fails in the middle as it
// would on a full disk. Works with root rights too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails instead of killing us
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit lowered = old_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

private:
    rlimit old_{};
};

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

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes) {
        byte = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

const QByteArray game = "level 8 seed 3F2A91C0\nmarks 29 29 28 20 21 25\nshown 0\n";

enum class Fault { FileSizeLimit, TooLarge, ReadOnlyFolder, FolderAtFile, FileAtFolder };
enum class Special { Fifo, Folder, LinkToFifo, LinkToDevice, DanglingLink, HugeSparseFile };

}  // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Special)

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
        qputenv("HOME", (base_->path() + "/home").toUtf8());
    }
    void cleanup() {
        QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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
        QCOMPARE(snapshot(base_->path()).value(QDir(base_->path()).relativeFilePath(expected)),
                 stateFileContent(game));
        // The game is the player's own business: folder and file for the owner only.
        QCOMPARE(QFileInfo(QFileInfo(expected).path()).permissions() & 0077, 0);
        QCOMPARE(QFileInfo(expected).permissions() & 0077, 0);
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

    void symbolicLinkToAFileIsRead() {
        put({});
        QFile::remove(path());
        QFile real(base_->path() + "/elsewhere");
        QVERIFY(real.open(QIODevice::WriteOnly));
        real.write(stateFileContent(game));
        real.close();
        QVERIFY(QFile::link(real.fileName(), path()));
        QCOMPARE(readStateFile(), std::optional(game));
    }

    void failedWriteChangesNothing_data() {
        QTest::addColumn<Fault>("fault");
        QTest::newRow("disk full while writing") << Fault::FileSizeLimit;
        QTest::newRow("payload over the limit") << Fault::TooLarge;
        QTest::newRow("read-only folder") << Fault::ReadOnlyFolder;
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
            case Fault::ReadOnlyFolder:
                if (geteuid() == 0) {
                    QSKIP("root writes into read-only folders");
                }
                QVERIFY(writeStateFile(game));
                QVERIFY(QFile::setPermissions(folder(), QFile::ReadOwner | QFile::ExeOwner));
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
        QTest::newRow("header only") << whole.left(headerEnd);
        QTest::newRow("cut in the middle") << whole.left(whole.size() / 2);
        QTest::newRow("last byte missing") << whole.chopped(1);
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

    // A read that opened one of these would block or never end; the test's watchdog reports it.
    void specialFileIsPassedOver_data() {
        QTest::addColumn<Special>("special");
        QTest::newRow("pipe") << Special::Fifo;
        QTest::newRow("folder") << Special::Folder;
        QTest::newRow("link to a pipe") << Special::LinkToFifo;
        QTest::newRow("link to a device") << Special::LinkToDevice;
        QTest::newRow("dangling link") << Special::DanglingLink;
        QTest::newRow("huge sparse file") << Special::HugeSparseFile;
    }
    void specialFileIsPassedOver() {
        QFETCH(Special, special);
        QVERIFY(QDir().mkpath(folder()));
        const QByteArray target = QFile::encodeName(path());
        const QByteArray fifo = QFile::encodeName(base_->path() + "/fifo");
        switch (special) {
            case Special::Fifo:
                QCOMPARE(::mkfifo(target.constData(), 0600), 0);
                break;
            case Special::Folder:
                QVERIFY(QDir().mkpath(path()));
                break;
            case Special::LinkToFifo:
                QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
                QCOMPARE(::symlink(fifo.constData(), target.constData()), 0);
                break;
            case Special::LinkToDevice:
                QCOMPARE(::symlink("/dev/zero", target.constData()), 0);
                break;
            case Special::DanglingLink:
                QCOMPARE(::symlink("nowhere", target.constData()), 0);
                break;
            case Special::HugeSparseFile:
                put(stateFileContent(game));
                QVERIFY(QFile::resize(path(), qint64(1) << 30));
                break;
        }
        QCOMPARE(readStateFile(), std::nullopt);
        removeStateFile();
        if (special == Special::Folder) {
            QVERIFY(QFileInfo(path()).isDir());
        } else {
            // Replaced at the next write like any damaged file.
            QVERIFY(!QFileInfo(path()).isSymLink() && !QFileInfo::exists(path()));
            QVERIFY(writeStateFile(game));
            QCOMPARE(readStateFile(), std::optional(game));
        }
    }
};

QTEST_GUILESS_MAIN(TestStateFile)
#include "tst_StateFile.moc"
