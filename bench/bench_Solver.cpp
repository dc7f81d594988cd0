// Prints how fast the solver is on generated games of every level: the uniqueness verdict, each
// step of a hint sequence from an empty board, and the check of the player's marks; and how many
// games have exactly one solution and how many of those the hints solve without a guess.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "CellCodes.h"
#include "LevelTable.h"
#include "ShipGame.h"
#include "Solver.h"

namespace {

using Clock = std::chrono::steady_clock;

// Runs `f` twice and returns its result with the shorter of the two times, so that a run the
// scheduler interrupted (the machine is shared) does not pass for a slow call.
template <typename F>
auto timed(F f, double& ms) {
    auto start = Clock::now();
    auto result = f();
    ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    start = Clock::now();
    result = f();
    ms = std::min(ms, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    return result;
}

struct Times {
    std::vector<double> ms;
    void add(double t) { ms.push_back(t); }
    void print(const char* what) {
        if (ms.empty()) {
            std::printf("  %-34s (none)\n", what);
            return;
        }
        std::sort(ms.begin(), ms.end());
        const auto at = [&](double q) {
            return ms[std::min(ms.size() - 1, static_cast<std::size_t>(q * ms.size()))];
        };
        std::printf("  %-34s median %8.4f  p99 %8.4f  max %8.4f ms  (%zu)\n", what, at(0.5),
                    at(0.99), ms.back(), ms.size());
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    std::printf(
        "Solver, %d generated games per level (seeds 1, 2, 3...); each time is the shorter\n"
        "of two runs of the same call\n",
        games);
    for (int level = quorvik::minLevel; level <= quorvik::maxLevel; ++level) {
        std::uint32_t seed = 0;
        quorvik::ShipGame game([&seed] { return ++seed; });
        game.SetLevel(level);
        Times verdict;
        Times hint;
        Times checkUnique;
        Times checkSeveral;
        int unique = 0;
        int solvedWithoutTrial = 0;
        int solvedWithTrials = 0;
        long trials = 0;
        for (int g = 0; g < games; ++g) {
            if (g > 0) {
                game.NewGame();
            }
            const quorvik::SolverPuzzle p = game.solverPuzzle();
            const quorvik::SolverLayout hidden = game.hiddenLayout();

            double ms = 0;
            const quorvik::SolveResult r = timed([&] { return quorvik::solve(p, {}, 2); }, ms);
            verdict.add(ms);
            const bool isUnique = r.count == 1;
            unique += isUnique;

            // Hints from an empty board, each applied as the player would, until none is left.
            std::vector<quorvik::SolverCell> known;
            std::vector<int> mark(hidden.size(), quorvik::imgCovered);
            bool usedTrial = false;
            for (;;) {
                const auto d = timed([&] { return quorvik::nextDeduction(p, known); }, ms);
                hint.add(ms);
                if (!d) {
                    break;
                }
                if (d->rule == quorvik::DeductionRule::Trial) {
                    usedTrial = true;
                    ++trials;
                }
                for (const quorvik::SolverCell& c : d->cells) {
                    mark[static_cast<std::size_t>(c.x * p.rows + c.y)] = c.code;
                }
                known.clear();
                for (int x = 0; x < p.cols; ++x) {
                    for (int y = 0; y < p.rows; ++y) {
                        const int code = mark[static_cast<std::size_t>(x * p.rows + y)];
                        if (code != quorvik::imgCovered) {
                            known.push_back({x, y, code});
                        }
                    }
                }
            }
            if (isUnique) {
                bool solved = true;
                for (const quorvik::SolverCell& c : p.clues) {
                    mark[static_cast<std::size_t>(c.x * p.rows + c.y)] = c.code;
                }
                for (std::size_t i = 0; i < hidden.size(); ++i) {
                    const bool water = hidden[i] == quorvik::imgCovered;
                    solved =
                        solved && (water ? mark[i] == quorvik::imgWater : mark[i] == hidden[i]);
                }
                solvedWithoutTrial += solved && !usedTrial;
                solvedWithTrials += solved;
            }

            // The player's marks: every third cell as it is in the hidden layout, and two
            // mistakes, water on a segment and a segment on water.
            std::vector<quorvik::SolverCell> marks;
            bool waterOnShip = false;
            bool shipOnWater = false;
            for (int i = 0; i < static_cast<int>(hidden.size()); ++i) {
                const int x = i / p.rows;
                const int y = i % p.rows;
                const int code = hidden[static_cast<std::size_t>(i)];
                const bool water = code == quorvik::imgCovered;
                if (!game.cell(x, y).IsFixed && i % 3 == 0) {
                    marks.push_back({x, y, water ? quorvik::imgWater : code});
                } else if (!game.cell(x, y).IsFixed && !water && !waterOnShip) {
                    marks.push_back({x, y, quorvik::imgWater});
                    waterOnShip = true;
                } else if (water && !shipOnWater && i % 3 == 1) {
                    marks.push_back({x, y, quorvik::imgQuestion});
                    shipOnWater = true;
                }
            }
            timed([&] { return quorvik::impossibleMarks(p, marks); }, ms);
            (isUnique ? checkUnique : checkSeveral).add(ms);
        }
        std::printf("level %d (%dx%d): %d of %d games have one solution (%.1f %%)\n", level,
                    game.maxCol() + 1, game.maxRow() + 1, unique, games, 100.0 * unique / games);
        std::printf(
            "  hints from an empty board solve %d of them (%.1f %%), %d without a trial (%.1f %%);"
            " %ld trials in all\n",
            solvedWithTrials, unique > 0 ? 100.0 * solvedWithTrials / unique : 0.0,
            solvedWithoutTrial, unique > 0 ? 100.0 * solvedWithoutTrial / unique : 0.0, trials);
        verdict.print("solve, limit 2 (verdict)");
        hint.print("nextDeduction, each step");
        checkUnique.print("impossibleMarks, one solution");
        checkSeveral.print("impossibleMarks, several solutions");
    }
    return 0;
}
