// The settings store must bring back the window position, the level and the options exactly,
// read stored texts by its integer rule, save all values or none, and never block on, read
// without end from, or leave behind a damaged or half-written file. Every test runs in its own
// configuration folder.
#include <QtTest>

#include <QRandomGenerator>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <climits>
#include <csignal>

#include "QuorvikIniFile.h"

namespace ini = quorvik::QuorvikIniFile;

namespace {

// What the stores of one test did; shared between the test and its factory.
struct Script {
    enum class Fault { None, CreateSection, RefuseWrite, RefuseCommit };
    Fault fault = Fault::None;
    int failAtWrite = 0;  // counted from 1
    int writes = 0;
    int commits = 0;
    int closes = 0;
};

// The real store with a fault put in at one write or at the commit.
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
    bool Commit() override {
        ++script_.commits;
        return script_.fault != Script::Fault::RefuseCommit && real_->Commit();
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

// X1, Y1, X2, Y2, Lev, Unique, Resume, Zoom, Fit, ShowTime, Tally, Difficulty.
ini::Settings settingsOf(const QList<int>& values, const QString& version = QString()) {
    ini::Settings settings;
    settings.left = values[0];
    settings.top = values[1];
    settings.width = values[2];
    settings.height = values[3];
    settings.level = values[4];
    settings.unique = values.value(5, 0) != 0;
    settings.resume = values.value(6, 1) != 0;
    settings.zoom = values.value(7, 100);
    settings.fitToScreen = values.value(8, 1) != 0;
    settings.showTime = values.value(9, 1) != 0;
    settings.tally = values.value(10, 0) != 0;
    settings.difficulty = values.value(11, 0);
    settings.version = version;
    return settings;
}
QList<int> valuesOf(const ini::Settings& s) {
    return {s.left,
            s.top,
            s.width,
            s.height,
            s.level,
            s.unique ? 1 : 0,
            s.resume ? 1 : 0,
            s.zoom,
            s.fitToScreen ? 1 : 0,
            s.showTime ? 1 : 0,
            s.tally ? 1 : 0,
            s.difficulty};
}

const QList<int> defaults = {5, 5, 176, 140, 4, 0, 1, 100, 1, 1, 0, 0};
// What a load has not touched: none of it is a default.
const QList<int> untouched = {77, 77, 77, 77, 77, 1, 0, 150, 0, 0, 1, 2};

// The file's values as the store writes them for settings.
QMap<QString, QString> storedTexts(const ini::Settings& s) {
    return {{"Version/Ver", s.version},
            {"Position/X1", QString::number(s.left)},
            {"Position/Y1", QString::number(s.top)},
            {"Position/X2", QString::number(s.width)},
            {"Position/Y2", QString::number(s.height)},
            {"Options/Lev", QString::number(s.level)},
            {"Options/Unique", s.unique ? "1" : "0"},
            {"Options/Resume", s.resume ? "1" : "0"},
            {"Options/Zoom", QString::number(s.zoom)},
            {"Options/ZoomFit", s.fitToScreen ? "1" : "0"},
            {"Options/ShowTime", s.showTime ? "1" : "0"},
            {"Options/Tally", s.tally ? "1" : "0"},
            {"Options/Schwierigkeit", QString::number(s.difficulty)}};
}

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QByteArray bytes(size, '\0');
    QRandomGenerator random(seed);
    for (char& byte : bytes) {
        byte = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

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
    static QByteArray bytesOf(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QByteArray iniBytes() const { return bytesOf(iniPath()); }
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
    // A device to link to. With root rights a faulty store could replace the system's own
    // /dev/zero through the link, so the test then links to a node of the same device in its
    // folder; without them /dev cannot be written to.
    QString deviceLike(const QString& device) const {
        struct stat info {};
        if (geteuid() != 0 || stat(QFile::encodeName(device).constData(), &info) != 0) {
            return device;
        }
        const QString node = home_->path() + '/' + QFileInfo(device).fileName();
        return mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, info.st_rdev) == 0
                   ? node
                   : QString();
    }
    // Saves settings in a child process that kills itself when its save reaches `step`, as a
    // kill -9 at that moment would. Returns whether the child died there.
    static bool saveKilledAt(const ini::Settings& settings, ini::CommitStep step) {
        const pid_t child = fork();
        if (child == 0) {
            ini::setStoreFactory([step](const QString& path) {
                return ini::openIniStore(path, [step](ini::CommitStep reached) {
                    if (reached == step) {
                        raise(SIGKILL);
                    }
                });
            });
            ini::saveSettings(settings);
            _exit(0);
        }
        int status = 0;
        return child > 0 && waitpid(child, &status, 0) == child && WIFSIGNALED(status) &&
               WTERMSIG(status) == SIGKILL;
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
        // QSettings' in-process cache.
        home_ = std::make_unique<QTemporaryDir>(base_.path() + "/home-XXXXXX");
        QVERIFY(home_->isValid());
        qputenv("XDG_CONFIG_HOME", home_->path().toUtf8());
        QCOMPARE(ini::storeLocation(), iniPath());
        ini::setStoreFactory({});
        script_ = Script{};
    }

    void firstRunCreatesKeyAndYieldsDefaults() {
        // Values in the organisation's file do not count for the program.
        QVERIFY(QDir().mkpath(home_->path()));
        QFile organisation(home_->path() + "/Software.ini");
        QVERIFY(organisation.open(QIODevice::WriteOnly));
        organisation.write("[Position]\nX1=99\n[Options]\nLev=7\n");
        organisation.close();

        ini::Settings loaded = settingsOf(untouched, "9.9");
        ini::loadSettings(loaded);
        QCOMPARE(valuesOf(loaded), defaults);
        QCOMPARE(loaded.version, QStringLiteral("9.9"));  // the version is never read
        QCOMPARE(loaded, settingsOf(defaults, "9.9"));
        QVERIFY(QFileInfo(iniFolder()).isDir());
        QVERIFY(!QFile::exists(iniPath()));  // the values appear at the first save
    }

    void saveWritesTextsAndLoadsThemBack_data() {
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<QString>("version");
        QTest::newRow("closed at level 7")
            << QList<int>{100, 50, 212, 330, 7, 0, 1, 100, 1, 1, 0, 0} << "1.0.1.32";
        QTest::newRow("negative left, no version, options turned")
            << QList<int>{-300, 0, 176, 140, 6, 1, 0, 50, 0, 0, 1, 2} << "";
        QTest::newRow("range ends")
            << QList<int>{INT_MIN, INT_MAX, -1, 2147483647, 9, 1, 1, 200, 1, 1, 1, 3} << "1.0.1.32";
    }
    void saveWritesTextsAndLoadsThemBack() {
        QFETCH(QList<int>, values);
        QFETCH(QString, version);
        const ini::Settings saved = settingsOf(values, version);
        ini::saveSettings(saved);
        QCOMPARE(rawValues(), storedTexts(saved));  // nothing else, every value as text

        ini::Settings loaded = settingsOf(untouched);
        ini::loadSettings(loaded);
        QCOMPARE(valuesOf(loaded), values);
        QCOMPARE(loaded.version, QString());
    }

    // The options in a file written by hand or before they existed.
    void storedOptions_data() {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<bool>("unique");
        QTest::addColumn<bool>("resume");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<bool>("fit");
        QTest::addColumn<bool>("showTime");
        QTest::addColumn<int>("difficulty");
        QTest::newRow("not stored") << QByteArray() << false << true << 100 << true << true << 0;
        QTest::newRow("all turned")
            << QByteArray("Unique=1\nResume=0\nShowTime=0\nTally=1\nSchwierigkeit=3") << true
            << false << 100 << true << false << 3;
        QTest::newRow("as stored by default")
            << QByteArray("Unique=0\nResume=1\nShowTime=1\nSchwierigkeit=0") << false << true << 100
            << true << true << 0;
        QTest::newRow("hexadecimal") << QByteArray("Unique=$1\nResume=0x0\nSchwierigkeit=$2")
                                     << true << false << 100 << true << true << 2;
        QTest::newRow("neither 0 nor 1, out of range")
            << QByteArray("Unique=2\nResume=-1\nZoomFit=2\nShowTime=2\nSchwierigkeit=-1") << false
            << true << 100 << true << true << 0;
        QTest::newRow("not a number")
            << QByteArray("Unique=ja\nResume=\nZoom=gross\nSchwierigkeit=schwer") << false << true
            << 100 << true << true << 0;
        QTest::newRow("zoom at the range's ends, fit off")
            << QByteArray("Zoom=200\nZoomFit=0") << false << true << 200 << false << true << 0;
        QTest::newRow("zoom below the range, difficulty above")
            << QByteArray("Zoom=49\nSchwierigkeit=4") << false << true << 100 << true << true << 0;
        QTest::newRow("zoom above the range")
            << QByteArray("Zoom=201") << false << true << 100 << true << true << 0;
    }
    void storedOptions() {
        QFETCH(QByteArray, lines);
        QFETCH(bool, unique);
        QFETCH(bool, resume);
        QFETCH(int, zoom);
        QFETCH(bool, fit);
        QFETCH(bool, showTime);
        QFETCH(int, difficulty);
        writeIni("[Options]\nLev=6\n" + lines + "\n\n[Position]\nX1=100\nX2=212\nY1=50\nY2=330\n");
        ini::Settings loaded = settingsOf(untouched);
        ini::loadSettings(loaded);
        const int tally = lines.contains("Tally=1") ? 1 : 0;
        QCOMPARE(valuesOf(loaded), (QList<int>{100, 50, 212, 330, 6, unique, resume, zoom, fit,
                                               showTime, tally, difficulty}));
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
        QTest::newRow("hex digits at the ends of their ranges")
            << "0x09afAF" << std::optional(0x09afaf);
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

    // The store writes its file itself; it must be the file QSettings writes for the same
    // values, which QSettings reads back as the same texts.
    void storeWritesWhatQSettingsWrites_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("asInteger");
        QTest::newRow("integer") << "-300" << -300;
        QTest::newRow("empty") << "" << 5;
        QTest::newRow("leading blank") << " 12" << 12;
        QTest::newRow("trailing blank") << "12 " << 5;
        QTest::newRow("leading tab") << "\t12" << 5;
        QTest::newRow("comma") << "1,2" << 5;
        QTest::newRow("semicolon and equals") << "a;b=c" << 5;
        QTest::newRow("at sign") << "@12" << 5;
        QTest::newRow("looks like a type") << "@String(1)" << 5;
        QTest::newRow("zero inside") << QString("12") + QChar(u'\0') + "junk" << 12;
        QTest::newRow("zero before a digit") << QString("a") + QChar(u'\0') + "1" << 5;
        // After a numeric escape a hexadecimal digit is escaped too, the characters next to
        // them in the character set are not.
        QTest::newRow("control before hex digits") << QString(QChar(1)) + "09afAF" << 5;
        QString besideHex;
        for (const char c : QByteArray("/:`g@G")) {
            besideHex += QChar(1) + QString(QChar(c)) + '1';
        }
        QTest::newRow("control before characters beside hex digits") << besideHex << 5;
        QTest::newRow("quotes and backslashes") << "\"q\"\\x\\" << 5;
        QTest::newRow("line breaks and named controls") << "a\nb\rc\a\b\f\v" << 5;
        QTest::newRow("beyond ASCII")
            << QString::fromUtf8("\x7f\xc3\xbc\xe2\x82\xac\xf0\x9f\x98\x80") << 5;
        QTest::newRow("INI syntax") << "[Options]#x" << 5;
    }
    void storeWritesWhatQSettingsWrites() {
        QFETCH(QString, text);
        QFETCH(int, asInteger);
        const auto store = ini::openIniStore("Software\\Quorvik");
        store->PutTextValue("Version", "Ver", text);
        store->PutTextValue("Position", "X1", text);
        store->PutIntegerValue("Position", "Y1", -9);
        QVERIFY(store->Commit());

        const QString reference = home_->path() + "/reference.ini";
        {
            QSettings written(reference, QSettings::IniFormat);
            written.setValue("Position/Y1", "-9");
            written.setValue("Version/Ver", text);
            written.setValue("Position/X1", text);
        }
        QCOMPARE(iniBytes(), bytesOf(reference));
        const QSettings read(iniPath(), QSettings::IniFormat);
        QCOMPARE(read.value("Version/Ver"), QVariant(text));
        QCOMPARE(store->GetIntegerValue("Position", "X1", 5), asInteger);
        QCOMPARE(store->GetIntegerValue("Position", "Y1", 5), -9);
    }

    void nonTextValueEndsLoad_data() {
        QTest::addColumn<int>("badIndex");
        QTest::addColumn<QString>("message");
        QTest::newRow("X1") << 0 << "Invalid data type for 'X1'";
        QTest::newRow("X2") << 2 << "Invalid data type for 'X2'";
        QTest::newRow("Lev") << 4 << "Invalid data type for 'Lev'";
        QTest::newRow("Unique") << 5 << "Invalid data type for 'Unique'";
        QTest::newRow("Resume") << 6 << "Invalid data type for 'Resume'";
        QTest::newRow("Zoom") << 7 << "Invalid data type for 'Zoom'";
        QTest::newRow("ShowTime") << 9 << "Invalid data type for 'ShowTime'";
        QTest::newRow("Tally") << 10 << "Invalid data type for 'Tally'";
        QTest::newRow("Schwierigkeit") << 11 << "Invalid data type for 'Schwierigkeit'";
    }
    void nonTextValueEndsLoad() {
        QFETCH(int, badIndex);
        QFETCH(QString, message);
        const QList<int> stored = {11, 22, 33, 44, 6, 0, 1, 130, 1, 1, 0, 2};
        QStringList lines = {"X1=11",     "Y1=22",      "X2=33",    "Y2=44",
                             "Lev=6",     "Unique=0",   "Resume=1", "Zoom=130",
                             "ZoomFit=1", "ShowTime=1", "Tally=0",  "Schwierigkeit=2"};
        lines[badIndex] = lines[badIndex].section('=', 0, 0) + "=@ByteArray(7)";
        writeIni(("[Position]\n" + lines.mid(0, 4).join('\n') + "\n[Options]\n" +
                  lines.mid(4).join('\n') + "\n")
                     .toUtf8());
        useFaultyStore();

        ini::Settings loaded = settingsOf(untouched);
        QString raised;
        try {
            ini::loadSettings(loaded);
        } catch (const ini::StoreError& e) {
            raised = e.message();
        }
        QCOMPARE(raised, message);
        QCOMPARE(script_.closes, 1);  // closed although the load failed
        QCOMPARE(valuesOf(loaded), stored.mid(0, badIndex) + untouched.mid(badIndex));

        // The caller that goes on keeps what was read and takes defaults for the rest.
        loaded = settingsOf(untouched, "1.0");
        QCOMPARE(ini::loadSettingsOrDefaults(loaded), std::optional<QString>(message));
        QCOMPARE(valuesOf(loaded), stored.mid(0, badIndex) + defaults.mid(badIndex));
        QCOMPARE(loaded.version, QStringLiteral("1.0"));
        QCOMPARE(script_.closes, 2);
    }

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

    void damagedFileReadsAsDefaults_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<int>>("expected");
        const QByteArray values = "[Options]\nLev=6\n\n[Position]\nX1=12\n";
        const auto padded = [&values](qsizetype size) {
            return values + QByteArray(size - values.size() - 1, ';') + '\n';
        };
        QTest::newRow("binary junk") << randomBytes(64 * 1024, 7) << defaults;
        // Its staging copy once failed the check of a save, on every save.
        QTest::newRow("1 MiB of random bytes") << randomBytes(1024 * 1024, 3) << defaults;
        QTest::newRow("unterminated header on a huge line")
            << "[Position" + QByteArray(3 * 1024 * 1024, 'A') << defaults;
        QTest::newRow("header without bracket") << QByteArray("[Posi\nX1=12\n") << defaults;
        QTest::newRow("huge value")
            << "[Position]\nX1=" + QByteArray(4 * 1024 * 1024, '7') + "\nY1=9\n"
            << defaults;
        QTest::newRow("zero bytes and broken UTF-8")
            << QByteArray("[Position]\nX1=\xff\xfe\0 12\nY2=\xc3\n", 26) << defaults;
        QTest::newRow("values among junk lines")
            << QByteArray("\x01\x02\n[Position]\n\x7f\xff junk\nX1=12\n==\n[Options]\nLev=6\n")
            << QList<int>{12, 5, 176, 140, 6, 0, 1, 100, 1, 1, 0, 0};
        // Up to the size limit a file is read; beyond it, it counts as damaged.
        QTest::newRow("valid lines up to the limit")
            << padded(ini::MaxFileSize) << QList<int>{12, 5, 176, 140, 6, 0, 1, 100, 1, 1, 0, 0};
        QTest::newRow("valid lines one byte beyond") << padded(ini::MaxFileSize + 1) << defaults;
        QTest::newRow("2 MiB of valid lines") << padded(2 * 1024 * 1024) << defaults;
    }
    void damagedFileReadsAsDefaults() {
        QFETCH(QByteArray, content);
        QFETCH(QList<int>, expected);
        writeIni(content);
        ini::Settings loaded = settingsOf(untouched);
        QCOMPARE(ini::loadSettingsOrDefaults(loaded), std::optional<QString>());
        QCOMPARE(valuesOf(loaded), expected);

        // The next save takes: a clean file with every value, and nothing of the junk.
        const ini::Settings saved = settingsOf({1, 2, 3, 4, 5, 1, 0}, "1.0.1.32");
        ini::saveSettings(saved);
        QCOMPARE(rawValues(), storedTexts(saved));
        QVERIFY(iniBytes().size() < 200);
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

QTEST_GUILESS_MAIN(TestQuorvikIniFile)
#include "tst_QuorvikIniFile.moc"
