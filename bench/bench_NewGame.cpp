// Prints how long the rules take for a new game at every level (median and 99th percentile over
// many games) and how many board set-ups a game needs on average. No window is involved.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ShipGame.h"

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5000;
    std::printf("NewGame, %d games per level (production seeds)\n", games);
    std::printf("level  median_ms  p99_ms    max_ms    mean_attempts  games_retried\n");
    for (int level = quorvik::minLevel; level <= quorvik::maxLevel; ++level) {
        quorvik::ShipGame game;
        game.SetLevel(level);
        std::vector<double> times;
        times.reserve(static_cast<std::size_t>(games));
        long attempts = 0;
        int retried = 0;
        for (int i = 0; i < games; ++i) {
            const auto start = std::chrono::steady_clock::now();
            game.NewGame();
            const auto stop = std::chrono::steady_clock::now();
            times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
            // The game records 0 for a first-time success, else the number of set-ups.
            attempts += std::max(game.attempts(), 1);
            retried += game.attempts() > 0;
        }
        std::sort(times.begin(), times.end());
        const auto at = [&](double q) {
            return times[std::min(times.size() - 1, static_cast<std::size_t>(q * times.size()))];
        };
        std::printf("%5d  %9.4f  %8.4f  %8.4f  %13.3f  %13d\n", level, at(0.5), at(0.99),
                    times.back(), static_cast<double>(attempts) / games, retried);
    }
    return 0;
}
