// The version text: four numbers in decimal, separated by full stops, and empty without numbers.
#include <QtTest>

#include "VersionInfo.h"

using namespace quorvik;

Q_DECLARE_METATYPE(std::optional<quorvik::FileVersion>)

class TestVersionInfo : public QObject {
    Q_OBJECT

private slots:
    void format_data() {
        QTest::addColumn<std::optional<FileVersion>>("version");
        QTest::addColumn<QString>("expected");
        QTest::newRow("this release") << std::optional(FileVersion{1, 0, 1, 32}) << "1.0.1.32";
        QTest::newRow("no leading zeros") << std::optional(FileVersion{2, 10, 0, 7}) << "2.10.0.7";
        QTest::newRow("all zero") << std::optional(FileVersion{0, 0, 0, 0}) << "0.0.0.0";
        // Each part is unsigned 16-bit: the top value must not come out negative or truncated.
        QTest::newRow("largest parts")
            << std::optional(FileVersion{65535, 65535, 65535, 65535}) << "65535.65535.65535.65535";
        QTest::newRow("order of the parts") << std::optional(FileVersion{4, 3, 2, 1}) << "4.3.2.1";
        // Empty, not "0.0.0.0": a program without version numbers saves an empty version.
        QTest::newRow("no version numbers") << std::optional<FileVersion>() << QString();
    }
    void format() {
        QFETCH(std::optional<FileVersion>, version);
        QFETCH(QString, expected);
        QCOMPARE(formatFileVersion(version), expected);
    }

    void programVersionIsTheProjectVersion() {
        const std::optional<FileVersion> version = programFileVersion();
        QVERIFY(version.has_value());
        QCOMPARE(programVersionText(), QStringLiteral(QUORVIK_EXPECTED_VERSION));
        QCOMPARE(programVersionText(), formatFileVersion(version));
    }
};

QTEST_GUILESS_MAIN(TestVersionInfo)
#include "tst_VersionInfo.moc"
