// Prints how long the rules take for a new game at every level (median, 99th percentile and
// worst over many games) and how many board set-ups a game needs on average, in the default mode
// and in the one-solution mode, with the share of games that needed extra clues there. Then the
// check of the player's marks on one-solution puzzles, the share of each grade per level with no
// difficulty chosen, and new games for each chosen difficulty. No window is involved.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ShipGame.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Spread {
    double median, p99, max;
};

Spread spread(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const auto at = [&](double q) {
        return times[std::min(times.size() - 1, static_cast<std::size_t>(q * times.size()))];
    };
    return {at(0.5), at(0.99), times.back()};
}

}  // namespace

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5000;
    for (const bool unique : {false, true}) {
        std::printf("newGame%s, %d games per level (production seeds)\n",
                    unique ? " in the one-solution mode" : "", games);
        std::printf("level  median_ms  p99_ms    max_ms    mean_attempts  games_retried%s\n",
                    unique ? "  with_extra_clues  mean_extra  max_extra" : "");
        for (int level = quorvik::minLevel; level <= quorvik::maxLevel; ++level) {
            quorvik::ShipGame game;
            game.setUniqueMode(unique);
            game.setLevel(level);
            std::vector<double> times;
            times.reserve(static_cast<std::size_t>(games));
            long attempts = 0;
            int retried = 0;
            int extended = 0;
            long extra = 0;
            int mostExtra = 0;
            for (int i = 0; i < games; ++i) {
                const auto start = Clock::now();
                game.newGame();
                times.push_back(millisecondsSince(start));
                // The game records 0 for a first-time success, else the number of set-ups.
                attempts += std::max(game.attempts(), 1);
                retried += game.attempts() > 0;
                extended += game.extraClues() > 0;
                extra += game.extraClues();
                mostExtra = std::max(mostExtra, game.extraClues());
            }
            const Spread s = spread(times);
            std::printf("%5d  %9.4f  %8.4f  %8.4f  %13.3f  %13d", level, s.median, s.p99, s.max,
                        static_cast<double>(attempts) / games, retried);
            if (unique) {
                std::printf("  %15.1f%%  %10.2f  %9d", 100.0 * extended / games,
                            static_cast<double>(extra) / games, mostExtra);
            }
            std::printf("\n");
        }
    }

    // "Fehler zeigen" on one-solution puzzles: every hidden segment marked, one in three wrongly.
    std::printf("Check of the marks on one-solution puzzles, %d games per level\n", games / 10);
    std::printf("level  median_ms  p99_ms    max_ms\n");
    for (int level = quorvik::minLevel; level <= quorvik::maxLevel; ++level) {
        quorvik::ShipGame game;
        game.setUniqueMode(true);
        game.setLevel(level);
        std::vector<double> times;
        for (int i = 0; i < games / 10; ++i) {
            game.newGame();
            int k = 0;
            for (int x = 0; x <= game.maxCol(); ++x) {
                for (int y = 0; y <= game.maxRow(); ++y) {
                    const quorvik::ElementState& c = game.cell(x, y);
                    if (c.hasShip && !c.isClue) {
                        game.apply(quorvik::Move::mark(
                            x, y, ++k % 3 == 0 ? quorvik::Mark::Segment : c.ship));
                    }
                }
            }
            const auto start = Clock::now();
            const auto wrong = game.mistakes().impossible;
            times.push_back(millisecondsSince(start));
            static_cast<void>(wrong);
        }
        const Spread s = spread(times);
        std::printf("%5d  %9.4f  %8.4f  %8.4f\n", level, s.median, s.p99, s.max);
    }

    // The grades of the games built as always, from the same seeds in both modes.
    const int graded = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
    const char* gradeNames[] = {"leicht", "mittel", "schwer", "sehr_schwer"};
    std::printf("Grades with no difficulty chosen, %d games per level (seeds 1, 2, 3...)\n",
                graded);
    std::printf(
        "mode    level  leicht  mittel  schwer  sehr_schwer  several  grade_median_ms  "
        "grade_max_ms\n");
    for (const bool unique : {false, true}) {
        for (int level = quorvik::minLevel; level <= quorvik::maxLevel; ++level) {
            std::uint32_t seed = 0;
            quorvik::ShipGame game([&seed] { return ++seed; });
            game.setUniqueMode(unique);
            game.setLevel(level);
            std::array<int, 4> count{};
            int several = 0;
            std::vector<double> times;
            for (int i = 0; i < graded; ++i) {
                if (i > 0) {
                    game.newGame();
                }
                const auto start = Clock::now();
                const quorvik::Grade grade = game.grade();
                times.push_back(millisecondsSince(start));
                ++count[static_cast<std::size_t>(grade)];
                several += !game.hasOneSolution();
            }
            const Spread s = spread(times);
            const auto share = [&](int n) { return 100.0 * n / graded; };
            std::printf("%-6s  %5d  %5.1f%%  %5.1f%%  %5.1f%%  %10.1f%%  %6.1f%%  %15.4f  %12.4f\n",
                        unique ? "E" : "plain", level, share(count[0]), share(count[1]),
                        share(count[2]), share(count[3]), share(several), s.median, s.max);
        }
    }

    // New games for a chosen difficulty: the time of newGame and what it built.
    std::printf("newGame for a chosen difficulty, %d games per level (production seeds)\n", graded);
    std::printf(
        "difficulty  level  median_ms  p99_ms    max_ms    mean_extra  max_extra  "
        "one_solution  grade: leicht mittel schwer sehr_schwer\n");
    for (const quorvik::Difficulty difficulty :
         {quorvik::Difficulty::Easy, quorvik::Difficulty::Medium, quorvik::Difficulty::Hard}) {
        for (int level = quorvik::minLevel; level <= quorvik::maxLevel; ++level) {
            quorvik::ShipGame game;
            game.setDifficulty(difficulty);
            game.setLevel(level);
            std::vector<double> times;
            std::array<int, 4> count{};
            long extra = 0;
            int mostExtra = 0;
            int oneSolution = 0;
            for (int i = 0; i < graded; ++i) {
                const auto start = Clock::now();
                game.newGame();
                times.push_back(millisecondsSince(start));
                ++count[static_cast<std::size_t>(game.grade())];
                extra += game.extraClues();
                mostExtra = std::max(mostExtra, game.extraClues());
                oneSolution += game.hasOneSolution();
            }
            const Spread s = spread(times);
            std::printf("%-10s  %5d  %9.4f  %8.4f  %8.4f  %10.2f  %9d  %12d  %13d %6d %6d %11d\n",
                        gradeNames[static_cast<int>(quorvik::gradeAskedFor(difficulty))], level,
                        s.median, s.p99, s.max, static_cast<double>(extra) / graded, mostExtra,
                        oneSolution, count[0], count[1], count[2], count[3]);
        }
    }
    return 0;
}
