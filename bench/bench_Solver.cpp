// Prints how fast the solver is: counting up to the limit on 10x10 puzzles as they are printed on
// paper and on a set of hard boards (large sparse boards, boards without clues, boards with many
// solutions, dense boards mostly without one); and on generated games of every level the uniqueness
// verdict, each step of a hint sequence from an empty board, the check of the player's marks, and
// how many games have exactly one solution and how many of those the hints solve without a guess.
//
//   bench_Solver [games] [paper puzzles] [both|solve|count] [cap in seconds] [case] [limit]
//   bench_Solver 0 0 family [cap in seconds] [seeds] [first seed]: the family of the hardest
//   case alone
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "LayoutCounter.h"
#include "LevelTable.h"
#include "ShipGame.h"
#include "Solver.h"

using quorvik::Mark;

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

// Makes puzzles from a seeded generator: a random layout of a fleet, its numbers, some clues.
class PuzzleMaker {
public:
    explicit PuzzleMaker(unsigned seed) : rng_(seed) {}

    int draw(int k) { return static_cast<int>(rng_() % static_cast<unsigned>(k)); }

    // A layout of `fleet` (ships per length, index 0 unused) on a board of cols x rows, longest
    // ships first at random free places; the numbers are read from it.
    quorvik::SolverPuzzle layout(int cols, int rows, const std::vector<int>& fleet) {
        for (;;) {
            hidden_.assign(static_cast<std::size_t>(cols * rows), Mark::Water);
            bool placed = true;
            for (int n = static_cast<int>(fleet.size()) - 1; n >= 1 && placed; --n) {
                for (int s = 0; s < fleet[static_cast<std::size_t>(n)] && placed; ++s) {
                    placed = false;
                    for (int tries = 0; tries < 2000 && !placed; ++tries) {
                        placed =
                            tryShip(cols, rows, draw(cols), draw(rows), n, n > 1 && draw(2) == 1);
                    }
                }
            }
            if (!placed) {
                continue;
            }
            quorvik::SolverPuzzle p;
            p.cols = cols;
            p.rows = rows;
            p.fleet = fleet;
            p.colCounts.assign(static_cast<std::size_t>(cols), 0);
            p.rowCounts.assign(static_cast<std::size_t>(rows), 0);
            for (int x = 0; x < cols; ++x) {
                for (int y = 0; y < rows; ++y) {
                    const bool ship = hidden(x, y, rows) != Mark::Water;
                    p.colCounts[static_cast<std::size_t>(x)] += ship;
                    p.rowCounts[static_cast<std::size_t>(y)] += ship;
                }
            }
            return p;
        }
    }

    // Adds `count` clues at random cells of the layout: a segment as it is, or water.
    void addClues(quorvik::SolverPuzzle& p, int count) {
        for (int i = 0; i < count; ++i) {
            const int x = draw(p.cols);
            const int y = draw(p.rows);
            p.clues.push_back({x, y, hidden(x, y, p.rows)});
        }
    }

    // Adds clues where two layouts differ until one is left: a puzzle as printed on paper.
    void makeUnique(quorvik::SolverPuzzle& p) {
        for (;;) {
            const quorvik::SolveResult r = quorvik::solve(p, {}, 2);
            if (r.count < 2) {
                return;
            }
            std::vector<int> differ;
            for (std::size_t i = 0; i < r.solutions[0].size(); ++i) {
                if (r.solutions[0][i] != r.solutions[1][i]) {
                    differ.push_back(static_cast<int>(i));
                }
            }
            const int i = differ[static_cast<std::size_t>(draw(static_cast<int>(differ.size())))];
            p.clues.push_back({i / p.rows, i % p.rows, hidden_[static_cast<std::size_t>(i)]});
        }
    }

    // Drops every clue the puzzle can do without and keep one solution: as few clues as a
    // puzzle printed on paper has.
    static void dropSpareClues(quorvik::SolverPuzzle& p) {
        for (std::size_t i = p.clues.size(); i-- > 0;) {
            quorvik::SolverPuzzle fewer = p;
            fewer.clues.erase(fewer.clues.begin() + static_cast<std::ptrdiff_t>(i));
            if (quorvik::solve(fewer, {}, 2).count == 1) {
                p = fewer;
            }
        }
    }

private:
    Mark hidden(int x, int y, int rows) const {
        return hidden_[static_cast<std::size_t>(x * rows + y)];
    }

    bool tryShip(int cols, int rows, int x, int y, int n, bool vertical) {
        const int w = vertical ? 1 : n;
        const int h = vertical ? n : 1;
        if (x + w > cols || y + h > rows) {
            return false;
        }
        for (int cx = std::max(x - 1, 0); cx <= std::min(x + w, cols - 1); ++cx) {
            for (int cy = std::max(y - 1, 0); cy <= std::min(y + h, rows - 1); ++cy) {
                if (hidden(cx, cy, rows) != Mark::Water) {
                    return false;
                }
            }
        }
        for (int k = 0; k < n; ++k) {
            const Mark shape = n == 1       ? Mark::Single
                               : k == 0     ? (vertical ? Mark::Top : Mark::Left)
                               : k == n - 1 ? (vertical ? Mark::Bottom : Mark::Right)
                                            : Mark::Middle;
            hidden_[static_cast<std::size_t>((vertical ? x : x + k) * rows +
                                             (vertical ? y + k : y))] = shape;
        }
        return true;
    }

    std::mt19937 rng_;
    quorvik::SolverLayout hidden_;
};

// The usual paper fleet: a four, two threes, three twos, four singles.
const std::vector<int> paperFleet{0, 4, 3, 2, 1};
// A large fleet for a 31 x 31 board: 36 ships up to length 8, 120 segments.
const std::vector<int> largeFleet{0, 8, 7, 6, 5, 4, 3, 2, 1};

// 10x10 puzzles with the paper fleet and as few clues as one solution needs.
void benchPaper(int count) {
    PuzzleMaker maker(2024);
    Times times;
    Times counted;
    int disagree = 0;
    for (int i = 0; i < count; ++i) {
        quorvik::SolverPuzzle p = maker.layout(10, 10, paperFleet);
        maker.makeUnique(p);
        PuzzleMaker::dropSpareClues(p);
        double ms = 0;
        const int solved = timed([&] { return quorvik::solve(p, {}, 2); }, ms).count;
        times.add(ms);
        const int fast = timed(
                             [&] {
                                 return quorvik::countLayouts(p, {2, {}, nullptr});
                             },
                             ms)
                             .count;
        counted.add(ms);
        disagree += solved != fast;
    }
    std::printf("10x10 puzzles as on paper, one solution, no spare clue (seed 2024):\n");
    times.print("solve, limit 2");
    counted.print("countLayouts, limit 2");
    std::printf("  counts that differ: %d\n", disagree);
}

struct HardCase {
    std::string name;
    quorvik::SolverPuzzle puzzle;
    bool countOnly = false;  // past any cap for solve(), which has no learning
};

std::vector<HardCase> hardCases() {
    std::vector<HardCase> cases;
    for (unsigned seed = 1; seed <= 4; ++seed) {
        PuzzleMaker maker(seed);
        quorvik::SolverPuzzle p = maker.layout(31, 31, largeFleet);
        cases.push_back({"31x31 large fleet, no clue #" + std::to_string(seed), p});
        maker.addClues(p, 3);
        cases.push_back({"31x31 large fleet, 3 clues #" + std::to_string(seed), p});
        maker.addClues(p, 12);
        cases.push_back({"31x31 large fleet, 15 clues #" + std::to_string(seed), p});
    }
    for (unsigned seed = 1; seed <= 3; ++seed) {
        PuzzleMaker maker(100 + seed);
        cases.push_back({"10x10 paper fleet, no clue #" + std::to_string(seed),
                         maker.layout(10, 10, paperFleet)});
        cases.push_back({"26x12 fleet 8..1, no clue #" + std::to_string(seed),
                         maker.layout(26, 12, largeFleet)});
        // Many solutions: every other line without a number.
        quorvik::SolverPuzzle p = maker.layout(31, 31, largeFleet);
        for (std::size_t i = 0; i < 31; i += 2) {
            p.rowCounts[i] = -1;
            p.colCounts[i] = -1;
        }
        cases.push_back({"31x31 large fleet, half the numbers #" + std::to_string(seed), p});
    }
    // Mostly without a solution, which only a search through all of the board can tell: twelve
    // segments moved from one column to another and twelve from one row to another.
    for (unsigned seed = 1; seed <= 6; ++seed) {
        PuzzleMaker maker(200 + seed);
        quorvik::SolverPuzzle p = maker.layout(26, 12, largeFleet);
        for (int move = 0; move < 12; ++move) {
            for (std::vector<int>* line : {&p.colCounts, &p.rowCounts}) {
                const int side = static_cast<int>(line->size());
                int& from = (*line)[static_cast<std::size_t>(maker.draw(side))];
                int& to = (*line)[static_cast<std::size_t>(maker.draw(side))];
                if (from > 0 && to < (line == &p.colCounts ? 12 : 26)) {
                    --from;
                    ++to;
                }
            }
        }
        cases.push_back({"26x12 fleet 8..1, numbers moved #" + std::to_string(seed), p, true});
    }
    return cases;
}

// The hard set: each case counted up to 2 and up to 100 (or only up to `onlyLimit` when it is
// above 0, to profile one search); the worst time over all of them.
void benchHard(int capSeconds, int only, int onlyLimit, bool counter) {
    std::printf("Hard boards, counted up to the limit by %s:\n",
                counter ? "countLayouts" : "solve");
    double worst = 0;
    std::string worstName;
    const std::vector<HardCase> cases = hardCases();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const HardCase& c = cases[i];
        if ((only >= 0 && static_cast<int>(i) != only) || (!counter && c.countOnly)) {
            continue;
        }
        for (const int limit : {2, 100}) {
            if (onlyLimit > 0 && limit != onlyLimit) {
                continue;
            }
            // A search that runs past the cap is cancelled, so that the set always ends.
            std::atomic<bool> cancel{false};
            std::mutex m;
            std::condition_variable finished;
            bool over = false;
            std::thread watchdog([&] {
                std::unique_lock lock(m);
                if (!finished.wait_for(lock, std::chrono::seconds(capSeconds),
                                       [&] { return over; })) {
                    cancel = true;
                }
            });
            const auto start = Clock::now();
            const quorvik::SolveOptions options{limit, {}, &cancel};
            const quorvik::SolveResult r = counter ? quorvik::countLayouts(c.puzzle, options)
                                                   : quorvik::solve(c.puzzle, options);
            const double ms =
                std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            {
                std::lock_guard lock(m);
                over = true;
            }
            finished.notify_one();
            watchdog.join();
            std::printf("  %-40s limit %3d: %3d layouts %10.2f ms%s\n", c.name.c_str(), limit,
                        r.count, ms, r.cancelled ? " (cancelled)" : "");
            std::fflush(stdout);
            if (ms > worst) {
                worst = ms;
                worstName = c.name + ", limit " + std::to_string(limit);
            }
        }
    }
    std::printf("  worst %.2f ms (%s)\n", worst, worstName.c_str());
}

// The family of the hardest hard case: dense 26x12 boards with the fleet 8..1 and no clue, one
// per seed from `first` to `last`, counted up to 100 (a count past `capSeconds` is cancelled).
// Prints the median, the worst and how many took a second or more.
void benchFamily(int first, int last, int capSeconds) {
    Times times;
    int slow = 0;
    for (int seed = first; seed <= last; ++seed) {
        PuzzleMaker maker(static_cast<unsigned>(seed));
        const quorvik::SolverPuzzle p = maker.layout(26, 12, largeFleet);
        std::atomic<bool> cancel{false};
        const auto start = Clock::now();
        auto counted = std::async(std::launch::async, [&] {
            return quorvik::countLayouts(p, {100, {}, &cancel});
        });
        if (counted.wait_for(std::chrono::seconds(capSeconds)) == std::future_status::timeout) {
            cancel = true;
        }
        const quorvik::SolveResult r = counted.get();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        std::printf("  seed %3d: %3d layouts %10.2f ms%s\n", seed, r.count, ms,
                    r.cancelled ? " (cancelled)" : "");
        std::fflush(stdout);
        times.add(ms);
        slow += ms >= 1000;
    }
    std::printf("26x12 fleet 8..1, no clue, seeds %d to %d, counted up to 100:\n", first, last);
    times.print("countLayouts, limit 100");
    std::printf("  a second or more: %d of %d\n", slow, last - first + 1);
}

}  // namespace

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::max(0, std::atoi(argv[1])) : 10000;
    const int paper = argc > 2 ? std::max(1, std::atoi(argv[2])) : 500;
    const std::string hard = argc > 3 ? argv[3] : "both";
    const int cap = argc > 4 ? std::max(1, std::atoi(argv[4])) : 60;
    if (hard == "family") {
        const int seeds = argc > 5 ? std::max(1, std::atoi(argv[5])) : 30;
        const int first = argc > 6 ? std::max(1, std::atoi(argv[6])) : 1;
        benchFamily(first, first + seeds - 1, cap);
        return 0;
    }
    benchPaper(paper);
    std::fflush(stdout);
    const int only = argc > 5 ? std::atoi(argv[5]) : -1;
    const int onlyLimit = argc > 6 ? std::atoi(argv[6]) : 0;
    if (hard == "both" || hard == "solve") {
        benchHard(cap, only, onlyLimit, false);
    }
    if (hard == "both" || hard == "count") {
        benchHard(cap, only, onlyLimit, true);
    }
    if (games == 0) {
        return 0;
    }
    std::printf(
        "Solver, %d generated games per level (seeds 1, 2, 3...); each time is the shorter\n"
        "of two runs of the same call\n",
        games);
    for (int level = quorvik::minLevel; level <= quorvik::maxLevel; ++level) {
        std::uint32_t seed = 0;
        quorvik::ShipGame game([&seed] { return ++seed; });
        game.setLevel(level);
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
                game.newGame();
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
            std::vector<Mark> mark(hidden.size(), Mark::Covered);
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
                    mark[static_cast<std::size_t>(c.x * p.rows + c.y)] = c.mark;
                }
                known.clear();
                for (int x = 0; x < p.cols; ++x) {
                    for (int y = 0; y < p.rows; ++y) {
                        const Mark there = mark[static_cast<std::size_t>(x * p.rows + y)];
                        if (there != Mark::Covered) {
                            known.push_back({x, y, there});
                        }
                    }
                }
            }
            if (isUnique) {
                bool solved = true;
                for (const quorvik::SolverCell& c : p.clues) {
                    mark[static_cast<std::size_t>(c.x * p.rows + c.y)] = c.mark;
                }
                for (std::size_t i = 0; i < hidden.size(); ++i) {
                    solved = solved && mark[i] == hidden[i];
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
                const Mark there = hidden[static_cast<std::size_t>(i)];
                const bool water = there == Mark::Water;
                if (!game.cell(x, y).isClue && i % 3 == 0) {
                    marks.push_back({x, y, there});
                } else if (!game.cell(x, y).isClue && !water && !waterOnShip) {
                    marks.push_back({x, y, Mark::Water});
                    waterOnShip = true;
                } else if (water && !shipOnWater && i % 3 == 1) {
                    marks.push_back({x, y, Mark::Segment});
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
