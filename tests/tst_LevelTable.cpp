// The level table's figures and texts, and the clamp of levels outside the table.
#include <QtTest>

#include "LevelNames.h"
#include "LevelTable.h"

using namespace quorvik;

class TestLevelTable : public QObject {
    Q_OBJECT

private slots:
    void table_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("expectedLevel");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("clues");
        QTest::addColumn<int>("segments");
        QTest::newRow("4") << 4 << 4 << "Anfänger Level"
                           << "Anfänger Level: 9x9" << 9 << 9 << 6 << 20;
        QTest::newRow("5") << 5 << 5 << "Fortgeschrittenen Level"
                           << "Fortgeschrittenen Level: 10x12" << 10 << 12 << 13 << 35;
        QTest::newRow("6") << 6 << 6 << "Profi Level"
                           << "Profi Level: 12x15" << 12 << 15 << 21 << 56;
        QTest::newRow("7") << 7 << 7 << "Verrücktes Level"
                           << "Verrücktes Level: 21x12" << 21 << 12 << 29 << 84;
        QTest::newRow("8") << 8 << 8 << "Irrsinniges Level"
                           << "Irrsinniges Level: 27x13" << 27 << 13 << 40 << 120;
        // A damaged settings store may hand over any number: it becomes the beginner level.
        QTest::newRow("3") << 3 << 4 << "Anfänger Level"
                           << "Anfänger Level: 9x9" << 9 << 9 << 6 << 20;
        QTest::newRow("9") << 9 << 4 << "Anfänger Level"
                           << "Anfänger Level: 9x9" << 9 << 9 << 6 << 20;
        QTest::newRow("negative") << -2147483647 - 1 << 4 << "Anfänger Level"
                                  << "Anfänger Level: 9x9" << 9 << 9 << 6 << 20;
    }
    void table() {
        QFETCH(int, level);
        QFETCH(int, expectedLevel);
        QFETCH(QString, caption);
        QFETCH(QString, label);
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(int, clues);
        QFETCH(int, segments);
        const LevelInfo& info = levelInfo(level);
        QCOMPARE(info.level, expectedLevel);
        const std::string_view shown = levelNames(level).caption;
        QCOMPARE(QString::fromUtf8(shown.data(), qsizetype(shown.size())), caption);
        QCOMPARE(QString::fromStdString(levelLabel(level)), label);
        QCOMPARE(info.maxCol + 1, columns);
        QCOMPARE(info.maxRow + 1, rows);
        QCOMPARE(info.clueCount, clues);
        QCOMPARE(segmentCount(info.level), segments);
    }

    void boardsFitTheStorage() {
        for (int level = minLevel; level <= maxLevel; ++level) {
            QVERIFY(levelInfo(level).maxCol < maxBoardSize);
            QVERIFY(levelInfo(level).maxRow < maxBoardSize);
        }
    }
};

QTEST_GUILESS_MAIN(TestLevelTable)
#include "tst_LevelTable.moc"
