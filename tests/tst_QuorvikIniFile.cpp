// The settings store must bring back the window position, the level and the options exactly,
// read stored texts by its integer rule, write what QSettings writes, and read a damaged file as
// the defaults. Every test runs in its own configuration folder.
#include "IniFileFixture.h"

class TestQuorvikIniFile : public IniFileTest {
    Q_OBJECT

private slots:
    void initTestCase() { prepareBaseFolder(); }
    void init() { prepareTestFolder(); }

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
};

QTEST_GUILESS_MAIN(TestQuorvikIniFile)
#include "tst_QuorvikIniFile.moc"
