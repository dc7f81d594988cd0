// The settings store must bring back the window position and the level exactly, read stored
// texts by its integer rule, stop a save at the first failure, and never leave a damaged or
// half-written file behind. Every test runs in its own configuration folder.
#include <QtTest>

#include <QRandomGenerator>

#include <sys/resource.h>
#include <climits>
#include <csignal>

#include "QuorvikIniFile.h"

namespace ini = quorvik::QuorvikIniFile;

namespace {

// What the stores of one test did; shared between the test and its factory.
struct Script {
    enum class Fault { None, CreateSection, RefuseWrite };
    Fault fault = Fault::None;
    int failAtWrite = 0;  // counted from 1
    int writes = 0;
    int closes = 0;
};

// The real store with a fault put in at one write, so that what did reach the file before the
// fault can be checked on disk.
class FaultyStore final : public ini::Store {
public:
    FaultyStore(std::unique_ptr<ini::Store> real, Script& script)
        : real_(std::move(real)), script_(script) {}

    std::int32_t GetIntegerValue(const QString& section, const QString& name,
                                 std::int32_t defaultValue) override {
        return real_->GetIntegerValue(section, name, defaultValue);
    }
    void PutIntegerValue(const QString& section, const QString& name, std::int32_t value) override {
        countWrite(section, name);
        real_->PutIntegerValue(section, name, value);
    }
    void PutTextValue(const QString& section, const QString& name, const QString& text) override {
        countWrite(section, name);
        real_->PutTextValue(section, name, text);
    }
    void CloseStore() noexcept override {
        ++script_.closes;
        real_->CloseStore();
    }

private:
    void countWrite(const QString& section, const QString& name) {
        if (++script_.writes != script_.failAtWrite) {
            return;
        }
        if (script_.fault == Script::Fault::CreateSection) {
            throw ini::StoreError("Failed to create key " + section);
        }
        if (script_.fault == Script::Fault::RefuseWrite) {
            throw ini::StoreError(QStringLiteral("Failed to set data for '%1'").arg(name));
        }
    }

    std::unique_ptr<ini::Store> real_;
    Script& script_;
};

// Lowers the largest file this process may write, so that a save fails in the middle of writing
// its file, as it would on a full disk. Works with root rights too.
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

void setVariables(int x1, int y1, int x2, int y2, int lev, const QString& ver) {
    ini::X1 = x1;
    ini::Y1 = y1;
    ini::X2 = x2;
    ini::Y2 = y2;
    ini::Lev = lev;
    ini::Ver = ver;
}

QList<int> variables() {
    return {ini::X1, ini::Y1, ini::X2, ini::Y2, ini::Lev};
}

const QList<int> defaults = {5, 5, 176, 140, 4};

}  // namespace

class TestQuorvikIniFile : public QObject {
    Q_OBJECT

    QTemporaryDir base_;
    std::unique_ptr<QTemporaryDir> home_;
    Script script_;

    QString iniFolder() const { return home_->path() + "/Software"; }
    QString iniPath() const { return iniFolder() + "/Quorvik.ini"; }

    void writeIni(const QByteArray& content) {
        QVERIFY(QDir().mkpath(iniFolder()));
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }
    QByteArray iniBytes() const {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The file's values as written, "Section/Name" -> the text after "=".
    QMap<QString, QString> rawValues() const {
        QMap<QString, QString> values;
        QString section;
        for (const QByteArray& line : iniBytes().split('\n')) {
            if (line.startsWith('[') && line.endsWith(']')) {
                section = QString::fromUtf8(line.mid(1, line.size() - 2));
            } else if (const qsizetype eq = line.indexOf('='); eq > 0) {
                values.insert(section + '/' + QString::fromUtf8(line.left(eq)),
                              QString::fromUtf8(line.mid(eq + 1)));
            }
        }
        return values;
    }
    QStringList strayFiles() const {
        QStringList files =
            QDir(iniFolder())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        files.removeOne("Quorvik.ini");
        return files;
    }
    void useFaultyStore() {
        ini::setStoreFactory([this](const QString& path) {
            return std::make_unique<FaultyStore>(ini::openIniStore(path), script_);
        });
    }

private slots:
    void initTestCase() {
        // Before the first QSettings object: the store must never reach the real home.
        QVERIFY(base_.isValid());
        qputenv("XDG_CONFIG_HOME", base_.path().toUtf8());
        QCOMPARE(ini::storeLocation(), base_.path() + "/Software/Quorvik.ini");
    }

    void init() {
        // A folder of its own per test, so that no test sees another one's file through
        // QSettings' in-process cache. QSettings resolves the user folder only once per
        // process, so it is resolved again here as a fresh start would.
        home_ = std::make_unique<QTemporaryDir>(base_.path() + "/home-XXXXXX");
        QVERIFY(home_->isValid());
        qputenv("XDG_CONFIG_HOME", home_->path().toUtf8());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
        QCOMPARE(ini::storeLocation(), iniPath());
        ini::setStoreFactory({});
        script_ = Script{};
        setVariables(0, 0, 0, 0, 0, QString());
    }

    void firstRunCreatesKeyAndYieldsDefaults() {
        // Values in the organisation's file do not count for the program.
        QVERIFY(QDir().mkpath(home_->path()));
        QFile organisation(home_->path() + "/Software.ini");
        QVERIFY(organisation.open(QIODevice::WriteOnly));
        organisation.write("[Position]\nX1=99\n[Options]\nLev=7\n");
        organisation.close();

        ini::LoadSettings();
        QCOMPARE(variables(), defaults);
        QCOMPARE(ini::valuesRead(), 5);
        QVERIFY(QFileInfo(iniFolder()).isDir());
        QVERIFY(!QFile::exists(iniPath()));  // the values appear at the first save
    }

    void saveWritesTextsAndLoadsThemBack_data() {
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<QString>("version");
        QTest::newRow("closed at level 7") << QList<int>{100, 50, 212, 330, 7} << "1.0.1.32";
        QTest::newRow("negative left, no version") << QList<int>{-300, 0, 176, 140, 6} << "";
        QTest::newRow("range ends")
            << QList<int>{INT_MIN, INT_MAX, -1, 2147483647, 9} << "1.0.1.32";
    }
    void saveWritesTextsAndLoadsThemBack() {
        QFETCH(QList<int>, values);
        QFETCH(QString, version);
        setVariables(values[0], values[1], values[2], values[3], values[4], version);
        ini::SaveSettings();

        QMap<QString, QString> expected;
        expected["Version/Ver"] = version;
        const QStringList keys = {"Position/X1", "Position/Y1", "Position/X2", "Position/Y2",
                                  "Options/Lev"};
        for (int i = 0; i < keys.size(); ++i) {
            expected[keys[i]] = QString::number(values[i]);
        }
        QCOMPARE(rawValues(), expected);  // nothing else in the store, every value as text

        setVariables(0, 0, 0, 0, 0, QString());
        ini::LoadSettings();
        QCOMPARE(variables(), values);
        QCOMPARE(ini::Ver, QString());  // the version is never read back
    }

    void textToInteger_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<std::int32_t>>("expected");
        const std::optional<std::int32_t> none;
        QTest::newRow("decimal") << "12" << std::optional(12);
        QTest::newRow("leading blank") << " 12" << std::optional(12);
        QTest::newRow("trailing blank") << "12 " << none;
        QTest::newRow("leading tab") << "\t12" << none;
        QTest::newRow("leading no-break space") << "\u00a012" << none;
        QTest::newRow("blank after sign") << "- 1" << none;
        QTest::newRow("plus") << "+7" << std::optional(7);
        QTest::newRow("leading zeros") << "007" << std::optional(7);
        QTest::newRow("many leading zeros") << QString(40, '0') + "1" << std::optional(1);
        QTest::newRow("largest") << "2147483647" << std::optional(INT_MAX);
        QTest::newRow("one above largest") << "2147483648" << none;
        QTest::newRow("smallest") << "-2147483648" << std::optional(INT_MIN);
        QTest::newRow("one below smallest") << "-2147483649" << none;
        QTest::newRow("far too many digits") << QString(30, '9') << none;
        QTest::newRow("dollar hex") << "$1F" << std::optional(31);
        QTest::newRow("x hex") << "x1F" << std::optional(31);
        QTest::newRow("X hex lower digits") << "X1f" << std::optional(31);
        QTest::newRow("0x hex") << "0x1F" << std::optional(31);
        QTest::newRow("0X hex") << "0X1F" << std::optional(31);
        QTest::newRow("eight F") << "$FFFFFFFF" << std::optional(-1);
        QTest::newRow("sign bit pattern") << "$80000000" << std::optional(INT_MIN);
        QTest::newRow("negated hex") << "-$1" << std::optional(-1);
        QTest::newRow("negated sign bit") << "-$80000000" << std::optional(INT_MIN);
        QTest::newRow("negated eight F") << "-$FFFFFFFF" << std::optional(1);
        QTest::newRow("blank, sign, 0x") << " -0x10" << std::optional(-16);
        QTest::newRow("nine significant hex") << "$100000000" << none;
        QTest::newRow("leading hex zero") << "$000000001" << std::optional(1);
        QTest::newRow("many leading hex zeros")
            << "0x" + QString(20, '0') + "7FFFFFFF" << std::optional(INT_MAX);
        QTest::newRow("empty") << "" << none;
        QTest::newRow("plus alone") << "+" << none;
        QTest::newRow("minus alone") << "-" << none;
        QTest::newRow("dollar alone") << "$" << none;
        QTest::newRow("0x alone") << "0x" << none;
        QTest::newRow("sign and prefix alone") << "-x" << none;
        QTest::newRow("letters") << "abc" << none;
        QTest::newRow("decimal with hex letter") << "1F" << none;
        QTest::newRow("hex with non-hex letter") << "$1G" << none;
        QTest::newRow("two minus") << "--1" << none;
        QTest::newRow("plus minus") << "+-1" << none;
        QTest::newRow("two prefixes") << "$0x1" << none;
        QTest::newRow("prefix before sign") << "$-1" << none;
        QTest::newRow("Arabic-Indic digits") << "\u0661\u0662" << none;
        QTest::newRow("fullwidth digits") << "\uff11\uff12" << none;
    }
    void textToInteger() {
        QFETCH(QString, text);
        QFETCH(std::optional<std::int32_t>, expected);
        QCOMPARE(ini::textToInteger(text), expected);
    }

    // What a hand-edited file holds for X1, as the INI reader hands it over.
    void storeReadsEditedFile_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("error");
        QTest::newRow("decimal") << QByteArray("X1=12") << 12 << "";
        QTest::newRow("blanks around an unquoted value") << QByteArray("X1= 12 ") << 12 << "";
        QTest::newRow("quoted leading blanks") << QByteArray("X1=\"  12\"") << 12 << "";
        QTest::newRow("quoted trailing blank") << QByteArray("X1=\"12 \"") << 5 << "";
        QTest::newRow("hex") << QByteArray("X1=0x1F") << 31 << "";
        QTest::newRow("empty") << QByteArray("X1=") << 5 << "";
        QTest::newRow("commas, read as a list") << QByteArray("X1=1, 2") << 5 << "";
        QTest::newRow("escaped at sign") << QByteArray("X1=@@12") << 5 << "";
        QTest::newRow("text up to a zero") << QByteArray("X1=@String(12\\0junk)") << 12 << "";
        QTest::newRow("empty byte array") << QByteArray("X1=@ByteArray()") << 5 << "";
        QTest::newRow("invalid marker") << QByteArray("X1=@Invalid()") << 5 << "";
        QTest::newRow("byte array")
            << QByteArray("X1=@ByteArray(12)") << 0 << "Invalid data type for 'X1'";
        QTest::newRow("variant") << QByteArray("X1=@Variant(\\0\\0\\0\\xe\\0%\\x8a\\x98)") << 0
                                 << "Invalid data type for 'X1'";
        QTest::newRow("rectangle")
            << QByteArray("X1=@Rect(1 2 3 4)") << 0 << "Invalid data type for 'X1'";
    }
    void storeReadsEditedFile() {
        QFETCH(QByteArray, line);
        QFETCH(int, expected);
        QFETCH(QString, error);
        writeIni("[Position]\n" + line + "\n");
        const auto store = ini::openIniStore("Software\\Quorvik");
        try {
            QCOMPARE(store->GetIntegerValue("Position", "X1", 5), expected);
            QVERIFY2(error.isEmpty(), "no error raised");
        } catch (const ini::StoreError& e) {
            QCOMPARE(e.message(), error);
            QCOMPARE(QString::fromUtf8(e.what()), error);
        }
    }

    // Texts the program writes must come back as they were, blanks and commas included.
    void storeKeepsTextsExactly_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("leading blank") << " 12" << 12;
        QTest::newRow("trailing blank") << "12 " << 5;
        QTest::newRow("leading tab") << "\t12" << 5;
        QTest::newRow("comma") << "1,2" << 5;
        QTest::newRow("zero inside") << QString("12") + QChar(u'\0') + "junk" << 12;
    }
    void storeKeepsTextsExactly() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const auto store = ini::openIniStore("Software\\Quorvik");
        store->PutTextValue("Position", "X1", text);
        store->PutIntegerValue("Position", "Y1", 9);
        QCOMPARE(store->GetIntegerValue("Position", "X1", 5), expected);
        QCOMPARE(store->GetIntegerValue("Position", "Y1", 5), 9);
    }

    void nonTextValueEndsLoad_data() {
        QTest::addColumn<int>("badIndex");
        QTest::addColumn<QString>("message");
        QTest::newRow("X1") << 0 << "Invalid data type for 'X1'";
        QTest::newRow("X2") << 2 << "Invalid data type for 'X2'";
        QTest::newRow("Lev") << 4 << "Invalid data type for 'Lev'";
    }
    void nonTextValueEndsLoad() {
        QFETCH(int, badIndex);
        QFETCH(QString, message);
        const QList<int> stored = {11, 22, 33, 44, 6};
        QStringList lines = {"X1=11", "Y1=22", "X2=33", "Y2=44", "Lev=6"};
        lines[badIndex] = lines[badIndex].section('=', 0, 0) + "=@ByteArray(7)";
        writeIni(("[Position]\n" + lines.mid(0, 4).join('\n') + "\n[Options]\n" + lines[4] + "\n")
                     .toUtf8());
        useFaultyStore();

        setVariables(77, 77, 77, 77, 77, QString());
        QString raised;
        try {
            ini::LoadSettings();
        } catch (const ini::StoreError& e) {
            raised = e.message();
        }
        QCOMPARE(raised, message);
        QCOMPARE(ini::valuesRead(), badIndex);
        QCOMPARE(script_.closes, 1);  // closed although the load failed
        QCOMPARE(variables(), stored.mid(0, badIndex) + QList<int>(5 - badIndex, 77));

        // The caller that goes on keeps what was read and takes defaults for the rest.
        setVariables(77, 77, 77, 77, 77, QString());
        QCOMPARE(ini::LoadSettingsOrDefaults(), std::optional<QString>(message));
        QCOMPARE(variables(), stored.mid(0, badIndex) + defaults.mid(badIndex));
        QCOMPARE(script_.closes, 2);
    }

    void saveStopsAtFirstFailure_data() {
        QTest::addColumn<Script::Fault>("fault");
        QTest::addColumn<int>("failAt");
        QTest::addColumn<QStringList>("written");
        const QStringList all = {"Version/Ver", "Position/X1", "Position/Y1",
                                 "Position/X2", "Position/Y2", "Options/Lev"};
        QTest::newRow("no failure") << Script::Fault::None << 0 << all;
        QTest::newRow("version refused") << Script::Fault::RefuseWrite << 1 << QStringList();
        QTest::newRow("third write refused") << Script::Fault::RefuseWrite << 3 << all.mid(0, 2);
        QTest::newRow("last write refused") << Script::Fault::RefuseWrite << 6 << all.mid(0, 5);
        QTest::newRow("version section not created")
            << Script::Fault::CreateSection << 1 << QStringList();
        QTest::newRow("options section not created")
            << Script::Fault::CreateSection << 6 << all.mid(0, 5);
    }
    void saveStopsAtFirstFailure() {
        QFETCH(Script::Fault, fault);
        QFETCH(int, failAt);
        QFETCH(QStringList, written);
        useFaultyStore();
        script_.fault = fault;
        script_.failAtWrite = failAt;
        setVariables(100, 50, 212, 330, 7, "1.0.1.32");

        ini::SaveSettings();
        QCOMPARE(script_.writes, failAt == 0 ? 6 : failAt);  // nothing tried after the failure
        QCOMPARE(script_.closes, 1);
        written.sort();
        QCOMPARE(rawValues().keys(), written);
        QCOMPARE(QFile::exists(iniPath()), !written.isEmpty());
    }

    void realStoreRefusesUnusableSection_data() {
        QTest::addColumn<QString>("section");
        QTest::newRow("empty") << "";
        QTest::newRow("slash") << "Position/Inner";
        QTest::newRow("backslash") << "Position\\Inner";
    }
    void realStoreRefusesUnusableSection() {
        QFETCH(QString, section);
        const auto store = ini::openIniStore("Software\\Quorvik");
        QString raised;
        try {
            store->PutTextValue(section, "X1", "12");
        } catch (const ini::StoreError& e) {
            raised = e.message();
        }
        QCOMPARE(raised, "Failed to create key " + section);
        QCOMPARE(store->GetIntegerValue(section, "X1", 5), 5);
        QVERIFY(!QFile::exists(iniPath()));
    }

    void keyThatCannotBeCreated() {
        // A plain file where the key's folder belongs.
        QFile blocker(iniFolder());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.write("not a folder");
        blocker.close();

        ini::LoadSettings();
        QCOMPARE(variables(), defaults);
        setVariables(1, 2, 3, 4, 5, "1.0.1.32");
        ini::SaveSettings();

        const auto store = ini::openIniStore("Software\\Quorvik");
        QString raised;
        try {
            store->PutTextValue("Version", "Ver", "1");
        } catch (const ini::StoreError& e) {
            raised = e.message();
        }
        QCOMPARE(raised, QStringLiteral("Failed to create key Version"));
        QVERIFY(blocker.open(QIODevice::ReadOnly));
        QCOMPARE(blocker.readAll(), QByteArray("not a folder"));
    }

    void interruptedWriteKeepsOldFile_data() {
        QTest::addColumn<QByteArray>("oldFile");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("limit");
        const QString longText(8000, u'9');
        QTest::newRow("cut inside a line") << QByteArray("[Position]\nX1=100\nY1=50\n") << "Version"
                                           << "Ver" << longText << 2048;
        QTest::newRow("damaged file, cut inside a line")
            << QByteArray("[Position]\nX1=100\n\x01\x02junk\n[Opt") << "Version"
            << "Ver" << longText << 2048;
        // The new file would read "[Position]\nY1=50\nX1=<text>\n\n[Version]\nVer=1\n". Cut
        // right after the X1 line it looks whole and holds the new X1, but lacks [Version].
        const QString text(500, u'7');
        QTest::newRow("cut at a line break")
            << QByteArray("[Position]\nY1=50\nX1=1\n\n[Version]\nVer=1\n") << "Position"
            << "X1" << text << int(QByteArray("[Position]\nY1=50\nX1=").size() + text.size() + 1);
    }
    void interruptedWriteKeepsOldFile() {
        QFETCH(QByteArray, oldFile);
        QFETCH(QString, section);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(int, limit);
        writeIni(oldFile);
        const auto store = ini::openIniStore("Software\\Quorvik");
        QString raised;
        {
            const FileSizeLimit sizeLimit(static_cast<rlim_t>(limit));
            try {
                store->PutTextValue(section, name, text);
            } catch (const ini::StoreError& e) {
                raised = e.message();
            }
        }
        QCOMPARE(raised, QStringLiteral("Failed to set data for '%1'").arg(name));
        QCOMPARE(iniBytes(), oldFile);
        QCOMPARE(strayFiles(), QStringList());
    }

    void interruptedSaveIsSilent() {
        setVariables(100, 50, 212, 330, 7, "1.0.1.32");
        ini::SaveSettings();
        const QByteArray before = iniBytes();
        setVariables(1, 2, 3, 4, 5, QString(8000, u'9'));
        {
            const FileSizeLimit sizeLimit(2048);
            ini::SaveSettings();
        }
        QCOMPARE(iniBytes(), before);
        QCOMPARE(strayFiles(), QStringList());
    }

    void readOnlyFolderKeepsOldFile() {
        setVariables(100, 50, 212, 330, 7, "1.0.1.32");
        ini::SaveSettings();
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

        setVariables(1, 2, 3, 4, 5, "9.9.9.9");
        ini::SaveSettings();
        QCOMPARE(iniBytes(), before);
        QCOMPARE(strayFiles(), QStringList());
    }

    void damagedFileReadsAsDefaults_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<int>>("expected");
        QByteArray junk(64 * 1024, '\0');
        QRandomGenerator random(7);
        for (char& byte : junk) {
            byte = static_cast<char>(random.bounded(256));
        }
        QTest::newRow("binary junk") << junk << defaults;
        QTest::newRow("unterminated header on a huge line")
            << "[Position" + QByteArray(3 * 1024 * 1024, 'A') << defaults;
        QTest::newRow("header without bracket") << QByteArray("[Posi\nX1=12\n") << defaults;
        QTest::newRow("huge value")
            << "[Position]\nX1=" + QByteArray(4 * 1024 * 1024, '7') + "\nY1=9\n"
            << QList<int>{5, 9, 176, 140, 4};
        QTest::newRow("zero bytes and broken UTF-8")
            << QByteArray("[Position]\nX1=\xff\xfe\0 12\nY2=\xc3\n", 26) << defaults;
        QTest::newRow("values among junk lines")
            << QByteArray("\x01\x02\n[Position]\n\x7f\xff junk\nX1=12\n==\n[Options]\nLev=6\n")
            << QList<int>{12, 5, 176, 140, 6};
    }
    void damagedFileReadsAsDefaults() {
        QFETCH(QByteArray, content);
        QFETCH(QList<int>, expected);
        writeIni(content);
        QCOMPARE(ini::LoadSettingsOrDefaults(), std::optional<QString>());
        QCOMPARE(variables(), expected);

        // The next save writes every value again.
        setVariables(1, 2, 3, 4, 5, "1.0.1.32");
        ini::SaveSettings();
        const QMap<QString, QString> values = rawValues();
        QCOMPARE(values.value("Version/Ver"), QStringLiteral("1.0.1.32"));
        QCOMPARE(values.value("Position/X1"), QStringLiteral("1"));
        QCOMPARE(values.value("Options/Lev"), QStringLiteral("5"));
    }
};

QTEST_GUILESS_MAIN(TestQuorvikIniFile)
#include "tst_QuorvikIniFile.moc"
