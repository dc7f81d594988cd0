// The level table and the legend heading's text.
#include "LevelTable.h"

#include <array>
#include <cstdio>

namespace quorvik {

namespace {

constexpr std::array<LevelInfo, 5> levels{{
    {4, "TMMLevel4", "Anfänger Level", "Anfänger Level: %dx%d", 8, 8, 6},
    {5, "TMMLevel5", "Fortgeschrittenen Level", "Fortgeschrittenen Level: %dx%d", 9, 11, 13},
    {6, "TMMlevel6", "Profi Level", "Profi Level: %dx%d", 11, 14, 21},
    {7, "TMMLevel7", "Verrücktes Level", "Verrücktes Level: %dx%d", 20, 11, 29},
    {8, "TMMLevel8", "Irrsinniges Level", "Irrsinniges Level: %dx%d", 26, 12, 40},
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

}  // namespace quorvik
