// Prints how long the running count of the player's marks takes on every level: on boards of
// random marks (water, "???", the six segments, open cells) and on the worst boards for it, every
// open cell a middle piece (every piece breaks a rule) or "???" (one run per line, all too long).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "LevelTable.h"
#include "ShipGame.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Times {
    std::vector<double> ms;
    void print(const char* what) {
        std::sort(ms.begin(), ms.end());
        const auto at = [&](double q) {
            return ms[std::min(ms.size() - 1, static_cast<std::size_t>(q * ms.size()))];
        };
        std::printf("  %-22s median %7.4f  p99 %7.4f  max %7.4f ms  (%zu)\n", what, at(0.5),
                    at(0.99), ms.back(), ms.size());
    }
};

// The time of one count of the game's board, the shorter of two runs (the machine is shared).
double timeCount(const quorvik::ShipGame& game, long& sink) {
    double best = 1e9;
    for (int run = 0; run < 2; ++run) {
        const auto start = Clock::now();
        const quorvik::LiveFeedback f = game.liveFeedback();
        best =
            std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        sink += static_cast<long>(f.conflicts.size()) + f.completeShips[1];
    }
    return best;
}

// Marks every cell but the clues with `mark`, as one step of the game.
void markAll(quorvik::ShipGame& game, const std::function<quorvik::Mark()>& mark) {
    std::vector<quorvik::Move> moves;
    for (int x = 0; x <= game.maxCol(); ++x) {
        for (int y = 0; y <= game.maxRow(); ++y) {
            if (!game.cell(x, y).isClue) {
                moves.push_back(quorvik::Move::mark(x, y, mark()));
            }
        }
    }
    game.apply(moves);
}

}  // namespace

int main(int argc, char** argv) {
    const int boards = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    std::printf("Running count of the marks (ShipGame::liveFeedback), %d boards per level\n",
                boards);
    using quorvik::Mark;
    static const Mark marks[] = {Mark::Water,  Mark::Covered, Mark::Segment,
                                 Mark::Single, Mark::Left,    Mark::Right,
                                 Mark::Top,    Mark::Bottom,  Mark::Middle};
    long sink = 0;
    for (int level = quorvik::minLevel; level <= quorvik::maxLevel; ++level) {
        std::uint32_t seed = 0;
        quorvik::ShipGame game([&seed] { return ++seed; });
        game.setLevel(level);
        std::printf("level %d (%d x %d):\n", level, game.maxCol() + 1, game.maxRow() + 1);
        Times random;
        Times middles;
        Times questions;
        std::uint32_t draw = 12345;
        for (int b = 0; b < boards; ++b) {
            markAll(game, [&draw] {
                draw = draw * 1103515245u + 12345u;
                return marks[(draw >> 16) % std::size(marks)];
            });
            random.ms.push_back(timeCount(game, sink));
            markAll(game, [] { return Mark::Middle; });
            middles.ms.push_back(timeCount(game, sink));
            markAll(game, [] { return Mark::Segment; });
            questions.ms.push_back(timeCount(game, sink));
        }
        random.print("random marks");
        middles.print("all middle pieces");
        questions.print("all \"???\"");
    }
    std::printf("(checksum %ld)\n", sink);
    return 0;
}
