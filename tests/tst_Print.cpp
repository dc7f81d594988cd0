// Puzzles on paper, end to end: the PDF files of a booklet and of one puzzle with its solution,
// read back with pdfinfo and pdftotext (Debian's poppler-utils, which the tests need), and a
// file that cannot be written.
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "PrintSheet.h"
#include "ShipGame.h"

using namespace quorvik;

namespace {

// What a poppler tool prints; empty when it is missing or fails, which fails the checks.
QString popplerOutput(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning() << tool << "failed:" << process.errorString() << process.readAllStandardError();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A line's numbers as the text shows them: one after the other, blanks between.
QRegularExpression numbersInOrder(const std::vector<int>& numbers) {
    QStringList parts;
    for (const int n : numbers) {
        parts << QString::number(n);
    }
    return QRegularExpression(QStringLiteral("(^|\\s)%1(\\s|$)").arg(parts.join("\\s+")));
}

}  // namespace

class TestPrint : public QObject {
    Q_OBJECT

private slots:
    void pdfFile_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("perPage");
        QTest::addColumn<bool>("blocked");
        QTest::addColumn<int>("pages");
        // Three pages of four puzzles, then the twelve solutions small on one page.
        QTest::newRow("booklet of 12, four to a page") << 12 << 4 << false << 4;
        QTest::newRow("one puzzle, its solution on a page of its own") << 1 << 1 << false << 2;
        // A regular file where the folder should be: nothing can be created there.
        QTest::newRow("target that cannot be written") << 1 << 1 << true << 0;
    }

    void pdfFile() {
        QFETCH(int, count);
        QFETCH(int, perPage);
        QFETCH(bool, blocked);
        QFETCH(int, pages);
        std::uint32_t seed = 1;
        const auto seeds = [&seed] { return seed++; };
        std::vector<PaperPuzzle> puzzles;
        if (count > 1) {
            puzzles = bookletPuzzles(5, Difficulty::Any, count, seeds).value();
        } else {
            ShipGame game(seeds);
            game.setLevel(6);
            puzzles.push_back(paperPuzzle(game, true));
        }
        QCOMPARE(static_cast<int>(puzzles.size()), count);
        for (const PaperPuzzle& paper : puzzles) {
            QVERIFY(count == 1 || solvePuzzle(paper.puzzle, 2).count == 1);
        }

        const QTemporaryDir dir;
        const QString folder = blocked ? dir.filePath("blocker") : dir.path();
        if (blocked) {
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        const QString path = folder + "/puzzles.pdf";
        const std::optional<QString> error = savePdf(path, puzzles, {perPage, true, count > 1});
        if (blocked) {
            QVERIFY(error.has_value() && error->contains(path));
            QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                     QStringList{"blocker"});
            QCOMPARE(QFileInfo(folder).size(), 0);
            return;
        }
        QVERIFY2(!error, qPrintable(error.value_or(QString())));

        const QString info = popplerOutput("pdfinfo", {path});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))),
                 qPrintable(info));
        // Every number stands on its puzzle's page and again with its solution.
        const QString text = popplerOutput("pdftotext", {"-layout", path, "-"});
        for (const PaperPuzzle& paper : puzzles) {
            QVERIFY2(text.count(paper.number) >= 2, qPrintable(paper.number));
        }
        // The first puzzle's numbers, read from its place on the first page: the top left
        // quarter of an A4 page (595 x 842 points) or the whole page.
        const QString quarter = count > 1 ? "-W 297 -H 421" : "-W 595 -H 842";
        const QString first = popplerOutput(
            "pdftotext",
            QStringList{"-f", "1", "-l", "1", "-layout", "-r", "72", "-x", "0", "-y", "0"} +
                quarter.split(' ') + QStringList{path, "-"});
        const Puzzle& puzzle = puzzles.front().puzzle;
        QVERIFY2(first.contains(numbersInOrder(puzzle.columnNumbers)), qPrintable(first));
        QVERIFY2(first.contains(numbersInOrder(puzzle.rowNumbers)), qPrintable(first));
        if (count == 1) {
            const QString solution = popplerOutput("pdftotext", {"-f", "2", "-l", "2", path, "-"});
            QVERIFY(solution.contains("Lösung") && solution.contains(puzzles.front().number));
        }
    }
};

QTEST_MAIN(TestPrint)
#include "tst_Print.moc"
