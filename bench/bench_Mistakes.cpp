// Prints how long "Fehler zeigen" and "Tipp" take on a board full of wrong marks, on generated
// games of every level: the call the window makes once the layouts of the puzzle are known (they
// are looked for beside the window's thread when the puzzle is shown), and that search itself.
// Times are the processor time of the calling thread, the shorter of two runs, so that other
// work on the machine does not count.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "LevelTable.h"
#include "ShipGame.h"
#include "Solver.h"

namespace {

double threadMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

template <typename F>
double timed(F f) {
    double best = 0;
    for (int run = 0; run < 2; ++run) {
        const double start = threadMs();
        f();
        const double ms = threadMs() - start;
        best = run == 0 ? ms : std::min(best, ms);
    }
    return best;
}

struct Times {
    std::vector<double> ms;
    std::uint32_t worstSeed = 0;
    void add(double t, std::uint32_t seed) {
        if (ms.empty() || t > *std::max_element(ms.begin(), ms.end())) {
            worstSeed = seed;
        }
        ms.push_back(t);
    }
    void print(const char* what) {
        std::sort(ms.begin(), ms.end());
        const auto at = [&](double q) {
            return ms[std::min(ms.size() - 1, static_cast<std::size_t>(q * ms.size()))];
        };
        std::printf("  %-40s median %7.3f  p99 %7.3f  max %8.3f ms  (seed %08X)\n", what, at(0.5),
                    at(0.99), ms.back(), worstSeed);
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    std::printf(
        "Helps on %d generated games per level (seeds 1, 2, 3...), every open cell marked\n"
        "wrong: water on each segment, a ship mark on each water cell\n",
        games);
    for (int level = quorvik::minLevel; level <= quorvik::maxLevel; ++level) {
        std::uint32_t seed = 0;
        quorvik::ShipGame game([&seed] { return ++seed; });
        game.setLevel(level);
        Times mistakes;
        Times hint;
        Times spread;
        int several = 0;
        std::size_t otherMost = 0;
        for (int g = 0; g < games; ++g) {
            if (g > 0) {
                game.newGame();
            }
            spread.add(
                timed([&] { return quorvik::solutionSpread(game.solverPuzzle(), 1 << 16).count; }),
                game.gameSeed());
            game.prepareHelps();
            several += game.spread().count > 1;
            std::vector<quorvik::Move> wrong;
            static const quorvik::Mark shipMarks[] = {quorvik::Mark::Segment, quorvik::Mark::Single,
                                                      quorvik::Mark::Left, quorvik::Mark::Top,
                                                      quorvik::Mark::Middle};
            for (int x = 0; x <= game.maxCol(); ++x) {
                for (int y = 0; y <= game.maxRow(); ++y) {
                    const quorvik::ElementState& c = game.cell(x, y);
                    if (!c.isClue) {
                        wrong.push_back(quorvik::Move::mark(
                            x, y, c.hasShip ? quorvik::Mark::Water : shipMarks[(x + y) % 5]));
                    }
                }
            }
            game.apply(wrong);
            mistakes.add(timed([&] {
                             const quorvik::ShipGame::Mistakes m = game.mistakes();
                             otherMost = std::max(otherMost, m.otherSolution.size());
                         }),
                         game.gameSeed());
            hint.add(timed([&] { return game.nextHint(); }), game.gameSeed());
        }
        std::printf(
            "level %d (%dx%d), %d games with several solutions; at most %zu marks of "
            "another solution\n",
            level, game.maxCol() + 1, game.maxRow() + 1, several, otherMost);
        mistakes.print("Fehler zeigen (layouts known)");
        hint.print("Tipp (layouts known)");
        spread.print("search for the layouts (once a puzzle)");
    }
    return 0;
}
