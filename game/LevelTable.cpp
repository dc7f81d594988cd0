// The level table and the fleet figures read from it.
#include "LevelTable.h"

namespace quorvik {

namespace {

// Level L hides L - n + 1 ships of every length n from L down to 1.
constexpr std::array<LevelInfo, 5> levels{{
    {4, 8, 8, 6, {0, 4, 3, 2, 1}, LegendPlace::Right},
    {5, 9, 11, 13, {0, 5, 4, 3, 2, 1}, LegendPlace::Right},
    {6, 11, 14, 21, {0, 6, 5, 4, 3, 2, 1}, LegendPlace::Right},
    {7, 20, 11, 29, {0, 7, 6, 5, 4, 3, 2, 1}, LegendPlace::Below},
    {8, 26, 12, 40, {0, 8, 7, 6, 5, 4, 3, 2, 1}, LegendPlace::Below},
}};

}  // namespace

const LevelInfo& levelInfo(int level) {
    return levels[static_cast<std::size_t>((isValidLevel(level) ? level : minLevel) - minLevel)];
}

int shipCount(int level, int length) {
    return length < 1 || length > maxBoardSize
               ? 0
               : levelInfo(level).fleet[static_cast<std::size_t>(length)];
}

int segmentCount(int level) {
    int total = 0;
    for (int n = 1; n <= maxBoardSize; ++n) {
        total += n * shipCount(level, n);
    }
    return total;
}

std::vector<int> fleetLengths(int level) {
    std::vector<int> lengths;
    for (int n = maxBoardSize; n >= 1; --n) {
        if (shipCount(level, n) > 0) {
            lengths.push_back(n);
        }
    }
    return lengths;
}

}  // namespace quorvik
