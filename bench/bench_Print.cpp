// Prints how long a booklet of 100 new puzzles at level 8 takes, building the puzzles (each with
// exactly one solution) and writing the PDF file (four to a page, the solutions at the back),
// and how large the file is. Runs without a screen; the file goes to a temporary folder.
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "PrintSheet.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    const int level = 8;
    const char* const names[] = {"beliebig", "leicht", "mittel", "schwer"};
    const QTemporaryDir dir;
    for (const quorvik::Difficulty difficulty :
         {quorvik::Difficulty::Any, quorvik::Difficulty::Easy, quorvik::Difficulty::Medium,
          quorvik::Difficulty::Hard}) {
        const Clock::time_point start = Clock::now();
        const auto puzzles =
            quorvik::bookletPuzzles(level, difficulty, count, quorvik::RuntimeRandom::clockSeed);
        const double built = secondsSince(start);
        const QString path = dir.filePath(QStringLiteral("booklet.pdf"));
        const Clock::time_point writing = Clock::now();
        const std::optional<QString> error = quorvik::savePdf(path, *puzzles, {4, true, true});
        const double written = secondsSince(writing);
        if (error) {
            std::fprintf(stderr, "%s\n", qPrintable(*error));
            return 1;
        }
        std::printf(
            "Booklet of %d puzzles at level %d, difficulty %s, 4 to a page:\n"
            "  building %.2f s, writing the PDF %.2f s, together %.2f s;"
            " %d pages, %lld bytes (%.0f KiB)\n",
            count, level, names[static_cast<int>(difficulty)], built, written, built + written,
            // Four puzzles to a page, then the small solutions.
            (count + 3) / 4 +
                (count + quorvik::smallSolutionsPerPage - 1) / quorvik::smallSolutionsPerPage,
            static_cast<long long>(QFileInfo(path).size()),
            static_cast<double>(QFileInfo(path).size()) / 1024.0);
    }
    return 0;
}
