// The level table and the legend heading's text.
#include "LevelTable.h"

#include <cstdio>

namespace quorvik {

namespace {

// Level L hides L - n + 1 ships of every length n from L down to 1.
constexpr std::array<LevelInfo, 5> levels{{
    {4,
     "TMMLevel4",
     "Anfänger Level",
     "Anfänger Level: %dx%d",
     8,
     8,
     6,
     {0, 4, 3, 2, 1},
     LegendPlace::Right},
    {5,
     "TMMLevel5",
     "Fortgeschrittenen Level",
     "Fortgeschrittenen Level: %dx%d",
     9,
     11,
     13,
     {0, 5, 4, 3, 2, 1},
     LegendPlace::Right},
    {6,
     "TMMlevel6",
     "Profi Level",
     "Profi Level: %dx%d",
     11,
     14,
     21,
     {0, 6, 5, 4, 3, 2, 1},
     LegendPlace::Right},
    {7,
     "TMMLevel7",
     "Verrücktes Level",
     "Verrücktes Level: %dx%d",
     20,
     11,
     29,
     {0, 7, 6, 5, 4, 3, 2, 1},
     LegendPlace::Below},
    {8,
     "TMMLevel8",
     "Irrsinniges Level",
     "Irrsinniges Level: %dx%d",
     26,
     12,
     40,
     {0, 8, 7, 6, 5, 4, 3, 2, 1},
     LegendPlace::Below},
}};

}  // namespace

const LevelInfo& levelInfo(int level) {
    return levels[static_cast<std::size_t>((isValidLevel(level) ? level : minLevel) - minLevel)];
}

std::string levelLabel(int level) {
    const LevelInfo& info = levelInfo(level);
    // The format strings are fixed and short; the two counts are at most two digits each.
    char buffer[64];
    const std::string format(info.labelFormat);
    std::snprintf(buffer, sizeof buffer, format.c_str(), info.maxCol + 1, info.maxRow + 1);
    return buffer;
}

std::string levelDigits() {
    std::string list;
    for (const LevelInfo& info : levels) {
        list += (list.empty() ? "" : ", ") + std::to_string(info.level) + ' ';
        list += info.caption;
    }
    return list;
}

int shipCount(int level, int length) {
    if (length < 1 || length > maxBoardSize) {
        return 0;
    }
    return levelInfo(level).fleet[static_cast<std::size_t>(length)];
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
